#include "AppConstants.h"
#include "CompressSettingWidget.h"
#include "CustomWindowFrame.h"
#include "FakeUpdateService.h"
#include "MainWindow.h"
#include "ModalWatcher.h"
#include "MultiLanguage.h"
#include "PdfFixtures.h"
#include "QAbout.h"
#include "RegistryTool.h"

#include "UrlCatcher.h"

#include <QtTest>
#include <QApplication>
#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QNetworkProxy>
#include <QPushButton>
#include <QScreen>

namespace {

const QHostAddress ServiceHost(QStringLiteral(VELMORA_TEST_HOST));
constexpr int ContentMinimumHeight = 300;
const QPoint FramePos(100, 50);
constexpr int FrameHeight = 400;

// Sends a mouse event to the widget under the global position, as the window system would.
void sendMouse(QWidget* window, QEvent::Type type, const QPoint& global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QWidget* target = window->childAt(window->mapFromGlobal(global));
    if (!target)
        target = window;
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Moves the pointer there, so that the frame sees it hover.
void hover(const QPoint& global)
{
    QCursor::setPos(global);
    QCoreApplication::processEvents();
}

void drag(QWidget* window, const QPoint& from, const QPoint& to)
{
    hover(from);
    sendMouse(window, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    const QPoint middle = (from + to) / 2;
    sendMouse(window, QEvent::MouseMove, middle, Qt::NoButton, Qt::LeftButton);
    sendMouse(window, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    sendMouse(window, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

} // namespace

class TestCustomWindowFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formMeasurements_data();
    void formMeasurements();
    void titleButtons();
    void opaqueWithoutCompositor();
    void hoverEdges_data();
    void hoverEdges();
    void moveByTitleBar();
    void resizeByEdges_data();
    void resizeByEdges();
    void heightToggle_data();
    void heightToggle();
    void doubleClick();
    void minimiseAndClose();
    void languageChangeKeepsTitle_data();
    void languageChangeKeepsTitle();

    void menuOrder();
    void languageChecks_data();
    void languageChecks();
    void pickLanguage();
    void helpEntries_data();
    void helpEntries();
    void checkForUpdatesIsManual();
    void aboutBox_data();
    void aboutBox();

private:
    QMenu* menu() const { return frame->findChild<QPushButton*>(QStringLiteral("btn_menu"))->menu(); }
    QMenu* languageMenu() const { return menu()->actions().first()->menu(); }
    QAction* helpAction(int data) const;
    void showFrame();

    std::unique_ptr<CustomWindowFrame> frame;
    FakeUpdateService service;
    UrlCatcher catcher;
};

void TestCustomWindowFrame::initTestCase()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QVERIFY2(service.listen(ServiceHost, VELMORA_TEST_PORT), qPrintable(service.errorString()));
    service.setAnswer(QStringLiteral("/API/install_success/"), {200, R"({"code":200})"});
    for (const char* scheme : {"https", "http", "file"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
}

void TestCustomWindowFrame::init()
{
    catcher.urls.clear();
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("content"));
    content->setMaximumWidth(500);
    content->setMinimumHeight(ContentMinimumHeight);
    frame = std::make_unique<CustomWindowFrame>(content);
    frame->setFixedWidth(500);
    frame->resize(500, FrameHeight);
    frame->move(FramePos);
}

void TestCustomWindowFrame::cleanup()
{
    frame.reset();
    MultiLanguage::gInstance()->loadLanguage(1);
    RegistryTool::gInstance()->setLanguage(1);
}

void TestCustomWindowFrame::showFrame()
{
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    QCOMPARE(frame->geometry(), QRect(FramePos, QSize(500, FrameHeight)));
}

QAction* TestCustomWindowFrame::helpAction(int data) const
{
    const auto actions = menu()->actions();
    for (QAction* action : actions) {
        if (action->data() == QVariant(data))
            return action;
    }
    return nullptr;
}

void TestCustomWindowFrame::formMeasurements_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QRect>("geometry"); // in the frame's background, or in the About box

    // The frame at 500 x 400 with its 1-pixel outline: 498 wide inside.
    // clang-format off
    QTest::newRow("title bar")      << "frame" << "frame_title"   << QRect(0, 0, 498, 31);
    QTest::newRow("icon")           << "frame" << "label_icon"    << QRect(6, 7, 16, 16);
    QTest::newRow("content area")   << "frame" << "mainWidget"    << QRect(0, 31, 498, 367);
    QTest::newRow("content")        << "frame" << "content"       << QRect(0, 31, 498, 367);
    QTest::newRow("about: logo")    << "about" << "label"         << QRect(132, 20, 75, 75);
    QTest::newRow("about: product") << "about" << "lab_product"   << QRect(0, 115, 341, 20);
    QTest::newRow("about: version") << "about" << "lab_version"   << QRect(5, 140, 331, 20);
    QTest::newRow("about: more")    << "about" << "btnMoreInfo"   << QRect(129, 170, 81, 25);
    QTest::newRow("about: rights")  << "about" << "lab_copyright" << QRect(0, 210, 341, 20);
    // clang-format on
}

void TestCustomWindowFrame::formMeasurements()
{
    QFETCH(QString, form);
    QFETCH(QString, object);
    QFETCH(QRect, geometry);

    if (form == QLatin1String("frame")) {
        showFrame();
        auto* background = frame->findChild<QWidget*>(QStringLiteral("frame_backgrond"));
        auto* widget = frame->findChild<QWidget*>(object);
        QVERIFY(background && widget);
        QVERIFY(widget->isVisible());
        QCOMPARE(QRect(widget->mapTo(background, QPoint(0, 0)), widget->size()), geometry);
        return;
    }
    auto* about = new QAbout(nullptr);
    QPointer<QAbout> guard(about);
    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    auto* widget = about->findChild<QWidget*>(object);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    // Stretches by up to 30 pixels in height only.
    QCOMPARE(about->minimumSize(), QSize(340, 240));
    QCOMPARE(about->maximumSize(), QSize(340, 270));
    about->close();
    QTRY_VERIFY(guard.isNull());
}

void TestCustomWindowFrame::titleButtons()
{
    // Side by side at the right end of the title bar, in this order; the height toggle has no button.
    showFrame();
    auto* title = frame->findChild<QWidget*>(QStringLiteral("frame_title"));
    int right = title->width();
    for (const char* name : {"btn_close", "btn_minimize", "btn_menu"}) {
        auto* button = frame->findChild<QPushButton*>(QString::fromLatin1(name));
        QVERIFY(button->isVisible());
        const QRect geometry(button->mapTo(title, QPoint(0, 0)), button->size());
        QCOMPARE(geometry.right(), right - 1);
        QCOMPARE(geometry.top(), 0);
        QCOMPARE(geometry.height(), 30);
        QVERIFY2(geometry.width() >= 30, name);
        right = geometry.left();
    }
    QVERIFY(title->width() - right <= 180);
    QVERIFY(frame->findChild<QPushButton*>(QStringLiteral("btn_maximize"))->isHidden());
    QCOMPARE(frame->findChild<QPushButton*>(QStringLiteral("btn_menu"))->focusPolicy(), Qt::NoFocus);
}

void TestCustomWindowFrame::opaqueWithoutCompositor()
{
    // The tests run without a compositor: a see-through band would come out black.
    showFrame();
    QCOMPARE(frame->windowFlags() & Qt::FramelessWindowHint, Qt::FramelessWindowHint);
    QVERIFY(frame->testAttribute(Qt::WA_Hover));
    QVERIFY(!frame->testAttribute(Qt::WA_TranslucentBackground));
    auto* background = frame->findChild<QWidget*>(QStringLiteral("frame_backgrond"));
    QCOMPARE(background->graphicsEffect(), nullptr);
    QCOMPARE(background->geometry(), QRect(1, 1, 498, FrameHeight - 2));
    const QImage image = frame->grab().toImage();
    const QColor band = image.pixelColor(0, FrameHeight / 2);
    QCOMPARE(band.alpha(), 255);
    // The outline, not the window's own grey showing through a band that stayed see-through.
    QCOMPARE(band.name(), QColor(190, 198, 206).name());
}

void TestCustomWindowFrame::hoverEdges_data()
{
    QTest::addColumn<int>("y"); // from the frame's top
    QTest::addColumn<Qt::CursorShape>("shape");

    QTest::newRow("top row") << 0 << Qt::SizeVerCursor;
    QTest::newRow("3 below top") << 3 << Qt::SizeVerCursor;
    QTest::newRow("4 below top") << 4 << Qt::ArrowCursor;
    QTest::newRow("middle") << FrameHeight / 2 << Qt::ArrowCursor;
    QTest::newRow("4 above bottom") << FrameHeight - 1 - 4 << Qt::ArrowCursor;
    QTest::newRow("3 above bottom") << FrameHeight - 1 - 3 << Qt::SizeVerCursor;
    QTest::newRow("bottom row") << FrameHeight - 1 << Qt::SizeVerCursor;
}

void TestCustomWindowFrame::hoverEdges()
{
    QFETCH(int, y);
    QFETCH(Qt::CursorShape, shape);

    showFrame();
    // From elsewhere, so that the shape must change.
    const Qt::CursorShape other = shape == Qt::ArrowCursor ? Qt::SizeVerCursor : Qt::ArrowCursor;
    hover(FramePos + QPoint(250, other == Qt::ArrowCursor ? FrameHeight / 2 : 1));
    QTRY_COMPARE(frame->cursor().shape(), other);
    hover(FramePos + QPoint(200, y));
    QTRY_COMPARE(frame->cursor().shape(), shape);
}

void TestCustomWindowFrame::moveByTitleBar()
{
    showFrame();
    const QPoint title = FramePos + QPoint(60, 15);
    drag(frame.get(), title, title + QPoint(40, 25));
    QCOMPARE(frame->pos(), FramePos + QPoint(40, 25));

    // Once released, the pointer moves alone; a press on the content does not move the window.
    sendMouse(frame.get(), QEvent::MouseMove, title + QPoint(90, 60), Qt::NoButton, Qt::NoButton);
    const QPoint content = frame->pos() + QPoint(250, 200);
    drag(frame.get(), content, content + QPoint(30, 30));
    QCOMPARE(frame->pos(), FramePos + QPoint(40, 25));
}

void TestCustomWindowFrame::resizeByEdges_data()
{
    QTest::addColumn<int>("pressY"); // from the frame's top
    QTest::addColumn<int>("dragBy");
    QTest::addColumn<int>("top"); // expected, from the frame's old top
    QTest::addColumn<int>("height");

    // The dragged edge goes to the pointer's row; the other one stays.
    const int bottom = FrameHeight - 1;
    const int minimum = 1 + 31 + ContentMinimumHeight + 1;
    // clang-format off
    QTest::newRow("top up, on the title bar") << 1 << -50 << -49 << FrameHeight + 49;
    QTest::newRow("top down")                 << 2 << 40 << 42 << FrameHeight - 42;
    QTest::newRow("top past minimum")         << 0 << 200 << FrameHeight - minimum << minimum;
    QTest::newRow("bottom down")              << bottom << 60 << 0 << FrameHeight + 60;
    QTest::newRow("bottom up")                << bottom - 2 << -30 << 0 << FrameHeight - 32;
    QTest::newRow("bottom past minimum")      << bottom << -300 << 0 << minimum;
    // clang-format on
}

void TestCustomWindowFrame::resizeByEdges()
{
    QFETCH(int, pressY);
    QFETCH(int, dragBy);
    QFETCH(int, top);
    QFETCH(int, height);

    showFrame();
    const QPoint press = FramePos + QPoint(60, pressY);
    drag(frame.get(), press, press + QPoint(25, dragBy));
    // An edge press on the title bar resizes; it never moves the window sideways.
    QCOMPARE(frame->geometry(), QRect(FramePos.x(), FramePos.y() + top, 500, height));
}

void TestCustomWindowFrame::heightToggle_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("full");
    QTest::addColumn<QRect>("preset");

    QTest::newRow("1040 high") << QRect(0, 0, 1920, 1040) << QRect(100, 0, 500, 1040) << QRect(100, 260, 500, 590);
    QTest::newRow("odd height") << QRect(0, 0, 1366, 731) << QRect(100, 0, 500, 731) << QRect(100, 182, 500, 590);
    QTest::newRow("panel at the top") << QRect(0, 32, 1920, 1048) << QRect(100, 32, 500, 1048)
                                      << QRect(100, 294, 500, 590);
}

void TestCustomWindowFrame::heightToggle()
{
    QFETCH(QRect, available);
    QFETCH(QRect, full);
    QFETCH(QRect, preset);

    showFrame();
    frame->toggleHeight(available);
    QCOMPARE(frame->geometry(), full);
    frame->toggleHeight(available);
    QCOMPARE(frame->geometry(), preset);
    frame->toggleHeight(available);
    QCOMPARE(frame->geometry(), full);
}

void TestCustomWindowFrame::doubleClick()
{
    showFrame();
    const QPoint title = FramePos + QPoint(60, 15);
    hover(title);
    sendMouse(frame.get(), QEvent::MouseButtonDblClick, title, Qt::RightButton, Qt::RightButton);
    sendMouse(frame.get(), QEvent::MouseButtonRelease, title, Qt::RightButton, Qt::NoButton);
    QCOMPARE(frame->geometry(), QRect(FramePos, QSize(500, FrameHeight)));

    const QPoint content = FramePos + QPoint(60, 200);
    hover(content);
    sendMouse(frame.get(), QEvent::MouseButtonDblClick, content, Qt::LeftButton, Qt::LeftButton);
    sendMouse(frame.get(), QEvent::MouseButtonRelease, content, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(frame->geometry(), QRect(FramePos, QSize(500, FrameHeight)));

    hover(title);
    sendMouse(frame.get(), QEvent::MouseButtonDblClick, title, Qt::LeftButton, Qt::LeftButton);
    sendMouse(frame.get(), QEvent::MouseButtonRelease, title, Qt::LeftButton, Qt::NoButton);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(frame->geometry(), QRect(FramePos.x(), available.top(), 500, available.height()));
}

void TestCustomWindowFrame::minimiseAndClose()
{
    showFrame();
    QTest::mouseClick(frame->findChild<QPushButton*>(QStringLiteral("btn_minimize")), Qt::LeftButton);
    QTRY_VERIFY(frame->isMinimized());
    frame->showNormal();
    QTest::mouseClick(frame->findChild<QPushButton*>(QStringLiteral("btn_close")), Qt::LeftButton);
    QVERIFY(!frame->isVisible());
}

void TestCustomWindowFrame::languageChangeKeepsTitle_data()
{
    QTest::addColumn<int>("id");
    for (int id = 1; id <= 7; ++id)
        QTest::addRow("%d", id) << id;
}

void TestCustomWindowFrame::languageChangeKeepsTitle()
{
    QFETCH(int, id);

    showFrame();
    MultiLanguage::gInstance()->loadLanguage(id);
    QCOMPARE(frame->windowTitle(), ProductDisplayName);
    QCOMPARE(frame->findChild<QLabel*>(QStringLiteral("label_title"))->text(), ProductDisplayName);
    QCOMPARE(frame->findChild<QLabel*>(QStringLiteral("label_icon"))->text(), QString());
    const auto buttons = frame->findChildren<QPushButton*>();
    QCOMPARE(buttons.size(), 4);
    for (QPushButton* button : buttons)
        QCOMPARE(button->text(), QString());
    // The menu speaks the new language.
    const auto translated = [](const char* text) { return QCoreApplication::translate("CustomWindowFrame", text); };
    QCOMPARE(helpAction(2)->text(), translated("Product FAQ"));
    QCOMPARE(helpAction(3)->text(), translated("Feedback and Support"));
    QCOMPARE(helpAction(4)->text(), translated("About"));
    QCOMPARE(helpAction(5)->text(), translated("Check for Updates"));
    QCOMPARE(helpAction(6)->text(), translated("Show Log in Explorer"));
    QCOMPARE(menu()->actions().first()->text(), translated("Language"));
}

void TestCustomWindowFrame::menuOrder()
{
    QStringList entries;
    const auto actions = menu()->actions();
    for (QAction* action : actions)
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(entries, QStringList({"Language", "-", "Product FAQ", "Feedback and Support", "Show Log in Explorer",
                                   "Check for Updates", "About"}));
    QVERIFY(menu()->windowFlags() & Qt::FramelessWindowHint);

    QStringList names;
    QList<int> ids;
    const auto languages = languageMenu()->actions();
    for (QAction* action : languages) {
        QVERIFY(action->isCheckable());
        names << action->text();
        ids << action->data().toInt();
    }
    QCOMPARE(names, QStringList({"Deutsch", "English", "Español", "Français", "Italiano", "Português", "日本語"}));
    QCOMPARE(ids, QList<int>({5, 1, 6, 2, 4, 3, 7}));
}

void TestCustomWindowFrame::languageChecks_data()
{
    QTest::addColumn<QVariant>("stored"); // invalid: nothing stored
    QTest::addColumn<QString>("checked"); // empty: none

    QTest::newRow("nothing stored") << QVariant() << "English";
    QTest::newRow("English") << QVariant(1) << "English";
    QTest::newRow("German") << QVariant(5) << "Deutsch";
    QTest::newRow("Japanese") << QVariant(7) << "日本語";
    QTest::newRow("unknown id") << QVariant(9) << QString();
    QTest::newRow("not a number") << QVariant(QStringLiteral("fr")) << QString();
}

void TestCustomWindowFrame::languageChecks()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, checked);

    RegistryTool::gInstance(); // names the application, which the settings below follow
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, OrganizationName, ProductDisplayName);
    if (stored.isValid())
        settings.setValue(QStringLiteral("language"), stored);
    else
        settings.remove(QStringLiteral("language"));
    settings.sync();

    CustomWindowFrame newFrame(nullptr);
    QStringList checkedNames;
    const auto languages =
        newFrame.findChild<QPushButton*>(QStringLiteral("btn_menu"))->menu()->actions().first()->menu()->actions();
    for (QAction* action : languages) {
        if (action->isChecked())
            checkedNames << action->text();
    }
    QCOMPARE(checkedNames, checked.isEmpty() ? QStringList() : QStringList(checked));
}

void TestCustomWindowFrame::pickLanguage()
{
    // Every open form follows: the main window, its rows and their hidden level dialogs.
    QTemporaryDir pdfs;
    const QString pdf = pdfs.filePath(QStringLiteral("letter.pdf"));
    QVERIFY(PdfFixtures::writePlain(pdf, 2));
    MainWindow* window = MainWindow::gInstance();
    window->addPdfFiles({pdf});
    // A row builds its level dialog when it is first opened; it stays, hidden, from then on.
    QString openedTitle;
    const auto openLevelDialog = [window, &openedTitle](int row) {
        ModalWatcher cancel([&openedTitle](QWidget* modal) {
            openedTitle = modal->windowTitle();
            static_cast<QDialog*>(modal)->reject();
        });
        window->findChildren<QPushButton*>(QStringLiteral("btn_compressSetting")).at(row)->click();
        return openedTitle;
    };
    QCOMPARE(openLevelDialog(0), QStringLiteral("Compress Setting"));
    const auto texts = [window] {
        return QStringList{window->findChild<QPushButton*>(QStringLiteral("btn_compress"))->text(),
                           window->findChild<QLabel*>(QStringLiteral("label_pages"))->text(),
                           window->findChild<CompressSettingWidget*>()->windowTitle()};
    };
    QCOMPARE(texts(), (QStringList{"Compress", "2 Pages", "Compress Setting"}));

    showFrame();
    QSignalSpy changed(MultiLanguage::gInstance(), &MultiLanguage::languageChanged);
    const auto languages = languageMenu()->actions();
    QAction* german = languages.at(0);
    // Twice: picking the checked entry keeps it checked and loads it again.
    for (int times = 1; times <= 2; ++times) {
        german->trigger();
        QCOMPARE(changed.count(), times);
        QCOMPARE(RegistryTool::gInstance()->language(), 5);
        for (QAction* action : languages)
            QCOMPARE(action->isChecked(), action == german);
    }
    // Qt's own texts follow.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    QCOMPARE(frame->windowTitle(), ProductDisplayName);
    QCOMPARE(helpAction(2)->text(), QStringLiteral("Häufige Fragen"));
    QCOMPARE(texts(), (QStringList{"Komprimieren", "2 Seiten", "Komprimierungseinstellungen"}));
    // A row listed now builds its dialog in the language of the moment.
    const QString second = pdfs.filePath(QStringLiteral("memo.pdf"));
    QVERIFY(PdfFixtures::writePlain(second, 1));
    window->addPdfFiles({second});
    QCOMPARE(openLevelDialog(1), QStringLiteral("Komprimierungseinstellungen"));

    languages.at(1)->trigger();
    QCOMPARE(RegistryTool::gInstance()->language(), 1);
    QCOMPARE(texts(), (QStringList{"Compress", "2 Pages", "Compress Setting"}));
    window->btn_clear_clicked();
    QVERIFY(!german->isChecked());
}

void TestCustomWindowFrame::helpEntries_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("language");
    QTest::addColumn<QUrl>("opened");

    const QUrl logFolder = QUrl::fromLocalFile(QDir::homePath() + QStringLiteral("/.local/share/Tamrik/Zolvane/Log/"));
    QTest::newRow("FAQ") << 2 << 1 << QUrl(FaqPageUrl);
    QTest::newRow("support") << 3 << 1 << QUrl(SupportPageUrl);
    // The pages are the ones the menu names, whatever the language.
    QTest::newRow("FAQ in French") << 2 << 2 << QUrl(FaqPageUrl);
    QTest::newRow("log folder") << 6 << 1 << logFolder;
}

void TestCustomWindowFrame::helpEntries()
{
    QFETCH(int, entry);
    QFETCH(int, language);
    QFETCH(QUrl, opened);

    RegistryTool::gInstance()->setLanguage(language);
    QAction* action = helpAction(entry);
    QVERIFY(action);
    action->trigger();
    QCOMPARE(catcher.urls, QList<QUrl>({opened}));
    QVERIFY(opened.scheme() == QLatin1String("file") || opened.toString().startsWith(SiteRoot));
}

void TestCustomWindowFrame::checkForUpdatesIsManual()
{
    // An up-to-date answer says something only on a check the user asked for.
    service.setAnswer(QStringLiteral("/API/update_information/"), {200, R"({"code":201})"});
    QStringList texts;
    ModalWatcher watcher([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            modal->close();
            QFAIL("not a message box");
        }
        texts << box->text();
        box->button(QMessageBox::Ok)->click();
    });
    showFrame();
    helpAction(5)->trigger();
    QCOMPARE(texts, QStringList(QStringLiteral("Zolvane 3.1.0 is currently the newest version available.")));
}

void TestCustomWindowFrame::aboutBox_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QUrl>("productPage");

    QTest::newRow("English") << 1 << QUrl(ProductPageUrl);
    QTest::newRow("Japanese") << 7 << QUrl(SiteRoot + QStringLiteral("jp/zolvane/"));
}

void TestCustomWindowFrame::aboutBox()
{
    QFETCH(int, language);
    QFETCH(QUrl, productPage);

    RegistryTool::gInstance()->setLanguage(language);
    MultiLanguage::gInstance()->loadLanguage(language);
    showFrame();
    QPointer<QAbout> opened;
    ModalWatcher watcher([&](QWidget* modal) {
        opened = qobject_cast<QAbout*>(modal);
        if (!opened) {
            modal->close();
            QFAIL("not the About box");
        }
        QCOMPARE(opened->parentWidget(), frame.get());
        // A close button and nothing else.
        const Qt::WindowFlags flags = opened->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowContextHelpButtonHint | Qt::WindowMinMaxButtonsHint)));
        QCOMPARE(opened->windowTitle(), QCoreApplication::translate("QAbout", "About"));
        QCOMPARE(opened->findChild<QLabel*>(QStringLiteral("lab_product"))->text(), ProductDisplayName);
        QCOMPARE(opened->findChild<QLabel*>(QStringLiteral("lab_version"))->text(),
                 QCoreApplication::translate("QAbout", "Version %1").arg(QStringLiteral("3.1.0")));
        const QString rights = opened->findChild<QLabel*>(QStringLiteral("lab_copyright"))->text();
        QVERIFY2(rights.contains(QString::number(QDate::currentDate().year())), qPrintable(rights));
        QVERIFY2(rights.contains(QStringLiteral("&copy;")), qPrintable(rights));
        auto* more = opened->findChild<QPushButton*>(QStringLiteral("btnMoreInfo"));
        QTest::mouseClick(more, Qt::LeftButton);
        QTest::mouseClick(more, Qt::LeftButton);
        QVERIFY(opened->isVisible());
        opened->close();
    });
    helpAction(4)->trigger();
    QCOMPARE(watcher.count(), 1);
    // Gone once closed.
    QVERIFY(opened.isNull());
    QCOMPARE(catcher.urls, QList<QUrl>({productPage, productPage}));
}

QTEST_MAIN(TestCustomWindowFrame)
#include "tst_customwindowframe.moc"
