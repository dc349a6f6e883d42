#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "AppSettings.h"
#include "FileItem.h"
#include "FileItemList.h"
#include "FileItemWidget.h"
#include "GSCompressor.h"
#include "LogPosition.h"
#include "MultiLanguage.h"
#include "ProgramInit.h"
#include "SignalTransferStation.h"
#include "Waiting.h"
#include "functionRunnable.h"
#include "platform/TerminationSignals.h"

#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QThread>
#include <QThreadPool>
#include <QUrl>

#include <algorithm>

namespace {

constexpr int EmptyPage = 0;
constexpr int ListPage = 1;
constexpr int RowHeight = 72;
// How often the wait for running compressions on the way out looks for a request to end.
constexpr int EndRequestCheckMs = 100;

// Only local files whose suffix is exactly "pdf" are taken from a drag.
bool isDroppablePdf(const QUrl& url)
{
    return QFileInfo(url.toLocalFile()).suffix() == QLatin1String("pdf");
}

} // namespace

MainWindow* MainWindow::gInstance()
{
    static MainWindow* const instance = new MainWindow;
    return instance;
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), fileList(new FileItemList), ui(new Ui_MainWindow)
{
    ui->setupUi(this);
    ProgramInit::gInstance()->initLogger();

    // Each compression keeps one core busy with Ghostscript; half of them leaves the machine usable.
    const int threads = QThread::idealThreadCount() / 2;
    QThreadPool::globalInstance()->setMaxThreadCount(threads < 1 ? 1 : threads);

    state = Idle;
    waiting = new Waiting(this);
    ui->page_1->setMouseTracking(true);
    ui->page_5->setMouseTracking(true);
    setMouseTracking(true);
    ui->centralwidget->setMouseTracking(true);

    initWidgets();
    initConnections();
    connect(MultiLanguage::gInstance(), &MultiLanguage::languageChanged, this, &MainWindow::onLanguageChanged);

    LOG_DEBUG("MainWindow::MainWindow") << "Max thread count: " << QThreadPool::globalInstance()->maxThreadCount();
}

MainWindow::~MainWindow()
{
    // Queued tasks are dropped; running ones hold their documents, which must outlive them. The wait has no limit
    // (every run has its own), but a request to end that comes meanwhile (SIGTERM, SIGINT, SIGHUP) stops the running
    // compressions at once: the user has closed the window or asked once already.
    QThreadPool::globalInstance()->clear();
    while (!QThreadPool::globalInstance()->waitForDone(EndRequestCheckMs)) {
        const QString signalName = platform::takeTerminationSignal();
        if (!signalName.isEmpty())
            qDebug().noquote() << QStringLiteral("%1 received while compressions run: %2 stopped")
                                      .arg(signalName, QString::number(GSCompressor::stopAllRuns()));
    }
    btn_clear_clicked();
    AppSettings::release();
    delete waiting;
    delete ui;
    qDebug() << "Exit............";
    delete fileList;
}

void MainWindow::initWidgets()
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);

    // Decoration only: the field itself opens the folder chooser.
    ui->lineEdit_select_folder->addAction(QIcon(QPixmap(QStringLiteral(":/resource/exportfolder.png"))),
                                          QLineEdit::LeadingPosition);
    const QString outputDir = AppSettings::gInstance()->outputDir();
    qDebug() << outputDir;
    ui->lineEdit_select_folder->setText(outputDir);
    ui->lineEdit_select_folder->installEventFilter(this);
    ui->lineEdit_select_folder->setAcceptDrops(false);

    ui->stackedWidget->setCurrentIndex(EmptyPage);
    ui->listWidget->setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAcceptDrops(true);
}

void MainWindow::initConnections()
{
    connect(ui->btn_add_file, &QToolButton::clicked, this, &MainWindow::btn_add_file_clicked);
    connect(ui->btn_clear, &QToolButton::clicked, this, &MainWindow::btn_clear_clicked);
    connect(ui->btn_delete, &QToolButton::clicked, this, &MainWindow::btn_delete_clicked);
    connect(ui->btn_compress, &QPushButton::clicked, this, &MainWindow::btn_compress_clicked);
    connect(this, &MainWindow::editClicked, this, &MainWindow::selectOutputFolder);
    connect(ui->btn_open_folder, &QPushButton::clicked, this, &MainWindow::btn_open_folder_clicked);
    connect(this, &MainWindow::stopTask, SignalTransferStation::gInstance(),
            &SignalTransferStation::transmitStopTaskSignal, Qt::DirectConnection);
}

void MainWindow::addPdfFiles(QStringList paths)
{
    if (paths.isEmpty())
        return;
    qDebug() << "Add PDF files:" << paths;
    fileList->addFiles(paths);

    const int rows = ui->listWidget->count();
    const int documents = fileList->count();
    if (documents > 0)
        ui->stackedWidget->setCurrentIndex(ListPage);
    if (rows >= documents)
        return;

    // Entries in one go and rows in place: a long list would otherwise be laid out again for every file.
    ui->listWidget->appendEntries(documents - rows, QSize(ui->listWidget->minimumWidth(), RowHeight));
    QList<QWidget*> newRows;
    for (int i = rows; i < documents; ++i) {
        // Made where the list keeps its row widgets, so that they are not styled a second time on the move.
        auto* row = new FileItemWidget(fileList->at(i), ui->listWidget->viewport());
        connect(row, &FileItemWidget::decryptionSuccess, this, &MainWindow::updateCompressButton);
        newRows << row;
    }
    ui->listWidget->setRowWidgets(rows, newRows);
    updateCompressButton();
}

void MainWindow::updateCompressButton()
{
    // A file unlocked during a run must not let a second run start before the first has ended.
    if (state != Idle)
        return;
    ui->btn_compress->setEnabled(fileList->canCompress());
}

void MainWindow::setControlsEnabled(bool enabled)
{
    ui->btn_add_file->setEnabled(enabled);
    ui->btn_clear->setEnabled(enabled);
    ui->btn_delete->setEnabled(enabled);
    ui->btn_open_folder->setEnabled(enabled);
    ui->btn_compress->setEnabled(enabled);
    ui->lineEdit_select_folder->setEnabled(enabled);
}

void MainWindow::btn_add_file_clicked()
{
    AppSettings* settings = AppSettings::gInstance();
    const QStringList paths =
        QFileDialog::getOpenFileNames(this, tr("Select Files"), settings->lastOpenDir(), QStringLiteral("*.pdf"));
    if (paths.isEmpty())
        return;
    settings->setLastOpenDir(QFileInfo(paths.first()).path());
    addPdfFiles(paths);
}

void MainWindow::btn_clear_clicked()
{
    qDebug() << "Clear the PDF list";
    // Every row goes before its document, so that no row is left to react to a signal for a document
    // that no longer exists.
    for (int row = ui->listWidget->count() - 1; row >= 0; --row)
        delete ui->listWidget->itemWidget(ui->listWidget->item(row));
    ui->listWidget->clear();
    fileList->clear();
    ui->stackedWidget->setCurrentIndex(EmptyPage);
}

void MainWindow::btn_delete_clicked()
{
    qDebug() << "Delete PDF items";
    QItemSelectionModel* selection = ui->listWidget->selectionModel();
    QModelIndexList selected = selection->selectedIndexes();
    while (!selected.isEmpty()) {
        const int row = selected.first().row();
        QListWidgetItem* entry = ui->listWidget->item(row);
        delete ui->listWidget->itemWidget(entry);
        delete ui->listWidget->takeItem(row);
        fileList->removeAt(row);
        // The rows below have moved up.
        selected = selection->selectedIndexes();
    }

    if (fileList->isEmpty()) {
        emit listEmpty();
        ui->stackedWidget->setCurrentIndex(EmptyPage);
    } else {
        updateCompressButton();
    }
}

void MainWindow::btn_open_folder_clicked()
{
    const QString folder = ui->lineEdit_select_folder->text();
    if (!folder.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void MainWindow::selectOutputFolder()
{
    // The field still reports presses while a run has it disabled.
    if (!ui->lineEdit_select_folder->isEnabled())
        return;
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("Select output folder"), QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    ui->lineEdit_select_folder->setText(folder);
    AppSettings::gInstance()->setOutputDir(folder);
    qDebug() << "Output folder set:" << folder;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->lineEdit_select_folder && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        emit editClicked();
    return QObject::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    // Running tasks hold their documents: nothing is deleted during a run.
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) && state == Idle)
        btn_delete_clicked();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (state == Idle && data->hasUrls()) {
        const QList<QUrl> urls = data->urls();
        if (std::any_of(urls.cbegin(), urls.cend(), isDroppablePdf)) {
            event->accept();
            return;
        }
    }
    event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (!data->hasUrls())
        return;
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (isDroppablePdf(url))
            paths << url.toLocalFile();
    }
    addPdfFiles(paths);
}

void MainWindow::btn_compress_clicked()
{
    if (state != Idle)
        return;
    QString outputDir = ui->lineEdit_select_folder->text();
    if (outputDir.isEmpty()) {
        selectOutputFolder();
        outputDir = ui->lineEdit_select_folder->text();
        if (outputDir.isEmpty())
            return;
    }

    qDebug() << "Start compressing";
    taskCount = 0;
    for (int row = 0; row < ui->listWidget->count(); ++row) {
        FileItem* item = ui->listWidget->fileItemAt(row);
        if (item->isLocked() || !item->isPending()) {
            LOG_DEBUG("MainWindow::btn_compress_clicked") << "Skip file:" << item->filePath();
            continue;
        }
        state = Busy;
        auto* rowWidget = static_cast<FileItemWidget*>(ui->listWidget->itemWidget(ui->listWidget->item(row)));
        item->setCompressSetting(rowWidget->compressSetting());
        ++taskCount;
        auto* task = new FunctionRunnable(FunctionRunnable::CompressTask, item, outputDir);
        connect(task, &FunctionRunnable::finished, this, &MainWindow::onTaskFinished);
        connect(task, &FunctionRunnable::finished, item, &FileItem::fileProcessFinished);
        LOG_DEBUG("MainWindow::btn_compress_clicked") << "Create task:" << item->filePath();
        LOG_DEBUG("MainWindow::btn_compress_clicked") << "Task count:" << taskCount;
        QThreadPool::globalInstance()->start(task, 0);
    }
    if (taskCount > 0)
        setControlsEnabled(false);
}

void MainWindow::onTaskFinished()
{
    --taskCount;
    if (taskCount != 0)
        return;
    qDebug() << "All tasks completed";
    state = Idle;
    setControlsEnabled(true);
}

void MainWindow::onLanguageChanged()
{
    ui->retranslateUi(this);
}
