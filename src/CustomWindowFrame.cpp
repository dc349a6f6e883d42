#include "CustomWindowFrame.h"
#include "ui_CustomWindowFrame.h"

#include "AppConstants.h"
#include "MultiLanguage.h"
#include "QAbout.h"
#include "QNetWorkProcess.h"
#include "RegistryTool.h"
#include "platform/WindowSystem.h"

#include <QCursor>
#include <QDesktopServices>
#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QMutex>
#include <QScreen>
#include <QUrl>

#include <iterator>

namespace {

// Taken for each step of a move or resize. The step moves the native window; should that ever deliver
// another mouse move before it returns, the nested step is dropped rather than waiting on itself.
QMutex windowMoveMutex;

// How close to the top or bottom edge the pointer must come to resize, in pixels.
constexpr int ResizeGrip = 3;

// The heights of the double-click toggle: the full available height, or this preset one, placed a
// quarter of the available height down. The width is the main window's.
constexpr int FrameWidth = 500;
constexpr int PresetHeight = 590;

// Help entries, told apart by their data.
enum HelpEntry
{
    FaqEntry = 2,
    SupportEntry = 3,
    AboutEntry = 4,
    CheckUpdateEntry = 5,
    ShowLogEntry = 6
};

struct LanguageEntry
{
    int id;
    const char* name; // in the language itself, never translated
};

// In id order; the menu lists them by name.
const LanguageEntry LanguageEntries[] = {
    {1, "English"}, {2, "Français"}, {3, "Português"}, {4, "Italiano"}, {5, "Deutsch"}, {6, "Español"}, {7, "日本語"},
};
constexpr int LanguageMenuOrder[] = {5, 1, 6, 2, 4, 3, 7};

} // namespace

CustomWindowFrame::CustomWindowFrame(QWidget* content, QWidget* parent)
    : QMainWindow(parent), ui(new Ui_CustomWindowFrame)
{
    ui->setupUi(this);
    if (content)
        ui->gridLayout_2->addWidget(content);
    // The height toggle is reached by a double-click on the title bar only.
    ui->btn_maximize->hide();
    initWindowStyle();
    initMenu();
    initConnections();
    setWindowTitle(ProductDisplayName);
    ui->label_title->setText(ProductDisplayName);
}

CustomWindowFrame::~CustomWindowFrame()
{
    delete ui;
}

void CustomWindowFrame::initWindowStyle()
{
    setWindowFlags(Qt::FramelessWindowHint);
    // The edges are found from hover events.
    setAttribute(Qt::WA_Hover);
    if (platform::compositingManagerRunning()) {
        // The margin of the central widget stays see-through and holds the shadow.
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_TranslucentBackground);
        auto* shadow = new QGraphicsDropShadowEffect(this);
        shadow->setOffset(0, 0);
        shadow->setBlurRadius(8);
        shadow->setColor(QColor(100, 100, 100, 140));
        ui->frame_backgrond->setGraphicsEffect(shadow);
    } else {
        // Without a compositor a see-through margin comes out black: draw a thin grey outline instead.
        ui->gridLayout->setContentsMargins(1, 1, 1, 1);
        // The children have read the form's sheet by now. A widget that is not yet polished would keep that old
        // sheet beside the new one and paint its margin see-through; once polished, it takes the new one in full.
        ui->centralwidget->ensurePolished();
        ui->centralwidget->setStyleSheet(
            QStringLiteral("QWidget#centralwidget{background-color: rgb(190, 198, 206); border: none;}"));
    }
}

void CustomWindowFrame::initConnections()
{
    for (QAction* action : {actionFaq, actionSupport, actionCheckUpdate, actionAbout, actionShowLog})
        connect(action, &QAction::triggered, this, &CustomWindowFrame::onHelpMenuTriggered);
    connect(ui->btn_minimize, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(ui->btn_close, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->btn_maximize, &QPushButton::clicked, this, &CustomWindowFrame::toggleMaximized);
    connect(MultiLanguage::gInstance(), &MultiLanguage::languageChanged, this, &CustomWindowFrame::onLanguageChanged);
}

bool CustomWindowFrame::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
    case QEvent::HoverMove:
        updateCursor();
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

void CustomWindowFrame::updateCursor()
{
    // The edge chosen at the press holds until the release.
    if (isResizing || isMaximized())
        return;
    const int pointerY = QCursor::pos().y();
    const QRect frame = frameGeometry();
    if (qAbs(pointerY - frame.top()) <= ResizeGrip)
        resizeEdge = TopEdge;
    else if (qAbs(pointerY - frame.bottom()) <= ResizeGrip)
        resizeEdge = BottomEdge;
    else
        resizeEdge = NoEdge;
    setCursor(resizeEdge == NoEdge ? Qt::ArrowCursor : Qt::SizeVerCursor);
}

bool CustomWindowFrame::isOnTitleBar(const QPoint& framePos) const
{
    return ui->frame_title->rect().contains(ui->frame_title->mapFrom(this, framePos));
}

void CustomWindowFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        // An edge under the pointer wins over the title bar: its top rows are the window's top edge.
        if (resizeEdge != NoEdge) {
            isResizing = true;
        } else if (isOnTitleBar(event->pos())) {
            lastMousePos = event->globalPos();
            isMoving = true;
        }
    }
    event->ignore();
}

void CustomWindowFrame::mouseMoveEvent(QMouseEvent* event)
{
    event->ignore();
    if (!windowMoveMutex.tryLock())
        return;
    if (isMoving) {
        move(pos() + (event->globalPos() - lastMousePos));
        lastMousePos = event->globalPos();
    } else if (isResizing && resizeEdge != NoEdge && minimumHeight() != maximumHeight()) {
        QRect rect = frameGeometry();
        const int pointerY = event->globalPos().y();
        // The dragged edge stops where the height reaches its limits; the other edge stays put.
        if (resizeEdge == TopEdge)
            rect.setTop(qBound(rect.bottom() + 1 - maximumHeight(), pointerY, rect.bottom() + 1 - minimumHeight()));
        else
            rect.setBottom(qBound(rect.top() - 1 + minimumHeight(), pointerY, rect.top() - 1 + maximumHeight()));
        setGeometry(rect);
    }
    windowMoveMutex.unlock();
}

void CustomWindowFrame::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        isMoving = false;
        isResizing = false;
    }
    event->ignore();
}

void CustomWindowFrame::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isOnTitleBar(event->pos()))
        toggleMaximized();
    QMainWindow::mouseDoubleClickEvent(event);
}

void CustomWindowFrame::toggleMaximized()
{
    toggleHeight(QGuiApplication::primaryScreen()->availableGeometry());
}

void CustomWindowFrame::toggleHeight(const QRect& available)
{
    // The heights count from the top of the available area, so that a panel at the top of the screen
    // does not cover the title bar.
    if (isFullHeight) {
        resize(FrameWidth, PresetHeight);
        move(x(), available.top() + available.height() / 4);
    } else {
        resize(FrameWidth, available.height());
        move(x(), available.top());
    }
    isFullHeight = !isFullHeight;
}

void CustomWindowFrame::onLanguageChanged()
{
    ui->retranslateUi(this);
    retranslateMenu();
    setWindowTitle(ProductDisplayName);
    ui->label_title->setText(ProductDisplayName);
    update();
}

void CustomWindowFrame::initMenu()
{
    menu = new QMenu(this);
    menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint);

    actionFaq = new QAction(this);
    actionSupport = new QAction(this);
    actionCheckUpdate = new QAction(this);
    actionAbout = new QAction(this);
    actionLanguage = new QAction(this);
    actionShowLog = new QAction(this);
    retranslateMenu();
    actionFaq->setData(int(FaqEntry));
    actionSupport->setData(int(SupportEntry));
    actionAbout->setData(int(AboutEntry));
    actionCheckUpdate->setData(int(CheckUpdateEntry));
    actionShowLog->setData(int(ShowLogEntry));

    menu->addAction(actionLanguage);
    menu->addSeparator();
    menu->addActions({actionFaq, actionSupport, actionShowLog, actionCheckUpdate, actionAbout});
    ui->btn_menu->setMenu(menu);

    auto* languageMenu = new QMenu(this);
    QAction* languageActions[std::size(LanguageEntries) + 1] = {};
    for (const LanguageEntry& entry : LanguageEntries) {
        auto* action = new QAction(QString::fromUtf8(entry.name), languageMenu);
        action->setData(entry.id);
        connect(action, &QAction::triggered, this, &CustomWindowFrame::onLanguageActionTriggered);
        languageActions[entry.id] = action;
    }
    for (int id : LanguageMenuOrder)
        languageMenu->addAction(languageActions[id]);
    actionLanguage->setMenu(languageMenu);
    initLanguageChecks(languageMenu);
}

void CustomWindowFrame::initLanguageChecks(QMenu* languageMenu)
{
    const int stored = RegistryTool::gInstance()->language();
    QAction* storedAction = nullptr;
    const auto actions = languageMenu->actions();
    for (QAction* action : actions) {
        action->setCheckable(true);
        if (action->data().toInt() == stored)
            storedAction = action;
    }
    // A stored id that no entry has leaves them all unchecked until the user picks one.
    if (storedAction)
        updateLanguageChecks(storedAction);
}

void CustomWindowFrame::updateLanguageChecks(QAction* checked)
{
    const auto actions = actionLanguage->menu()->actions();
    for (QAction* action : actions)
        action->setChecked(false);
    checked->setChecked(true);
}

void CustomWindowFrame::onLanguageActionTriggered()
{
    auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    // Picking the checked entry again must leave it checked, not toggle it off.
    updateLanguageChecks(action);
    const int id = action->data().toInt();
    MultiLanguage::gInstance()->loadLanguage(id);
    RegistryTool::gInstance()->setLanguage(id);
}

void CustomWindowFrame::onHelpMenuTriggered()
{
    auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    switch (action->data().toInt()) {
    case FaqEntry:
        QDesktopServices::openUrl(QUrl(FaqPageUrl, QUrl::TolerantMode));
        break;
    case SupportEntry:
        QDesktopServices::openUrl(QUrl(SupportPageUrl, QUrl::TolerantMode));
        break;
    case AboutEntry: {
        // Deletes itself when closed.
        auto* about = new QAbout(this);
        about->exec();
        break;
    }
    case CheckUpdateEntry:
        QNetWorkProcess::gInstance()->setManualCheck();
        QNetWorkProcess::gInstance()->checkUpdate();
        break;
    case ShowLogEntry:
        QDesktopServices::openUrl(QUrl::fromLocalFile(perUserPath(AppLogDir)));
        break;
    default:
        break;
    }
}

void CustomWindowFrame::retranslateMenu()
{
    actionFaq->setText(tr("Product FAQ"));
    actionSupport->setText(tr("Feedback and Support"));
    actionCheckUpdate->setText(tr("Check for Updates"));
    actionAbout->setText(tr("About"));
    actionLanguage->setText(tr("Language"));
    actionShowLog->setText(tr("Show Log in Explorer"));
}

// The class's virtual table goes with its meta-object code. Kept in this object rather than in the
// library's shared moc object, so that only programs that use the class need the update library.
#include "moc_CustomWindowFrame.cpp"
