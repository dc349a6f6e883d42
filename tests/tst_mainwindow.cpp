#include "AppSettings.h"
#include "CustomListWidget.h"
#include "FileItem.h"
#include "FileItemWidget.h"
#include "MainWindow.h"
#include "ModalWatcher.h"
#include "PDFFileItem.h"
#include "PdfFixtures.h"

#include <QtTest>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QToolButton>

#include <memory>

namespace {

const QString UserPassword = QStringLiteral("user");

QStringList controlNames()
{
    return {QStringLiteral("btn_add_file"), QStringLiteral("btn_clear"),
            QStringLiteral("btn_delete"),   QStringLiteral("btn_open_folder"),
            QStringLiteral("btn_compress"), QStringLiteral("lineEdit_select_folder")};
}

// Holds every thread of the global pool until released, so that a run's tasks stay queued.
class PoolBlocker
{
public:
    PoolBlocker() : threads(QThreadPool::globalInstance()->maxThreadCount())
    {
        for (int i = 0; i < threads; ++i)
            QThreadPool::globalInstance()->start([this] { gate.acquire(); });
    }
    ~PoolBlocker() { release(); }
    void release()
    {
        gate.release(threads);
        threads = 0;
    }

private:
    QSemaphore gate;
    int threads;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void layout_data();
    void layout();
    void everyImageExists();
    void poolSize();
    void addingFiles_data();
    void addingFiles();
    void compressButtonFollowsLocks();
    void compressRun();
    void deleteAndClearKeepRowsInStep();
    void outputFolder();
    void destructorDropsQueuedTasksAndWaitsForRunningOnes();
    void listMouseHandling();

private:
    QString fixture(const QString& name) const { return m_dir.filePath(name); }
    template <typename T = QWidget> static T* child(const QWidget& window, const QString& name)
    {
        return window.findChild<T*>(name);
    }
    static CustomListWidget* list(const QWidget& window) { return child<CustomListWidget>(window, "listWidget"); }
    static QStringList rowNames(const QWidget& window);
    static bool drop(MainWindow& window, const QList<QUrl>& urls);

    QTemporaryDir m_dir;
};

void TestMainWindow::initTestCase()
{
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    QVERIFY(m_dir.isValid());
    const QString plain = fixture(QStringLiteral("a.pdf"));
    QVERIFY(PdfFixtures::writePlain(plain, 2));
    for (const char* copy : {"b.pdf", "c.pdf", "d.pdf", "e.pdf", "UPPER.PDF", "notes.txt"})
        QVERIFY(QFile::copy(plain, fixture(QLatin1String(copy))));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture(QStringLiteral("locked.pdf")), PdfFixtures::Cipher::Rc4,
                                        UserPassword, QStringLiteral("owner")));
    QVERIFY(PdfFixtures::writeDamaged(fixture(QStringLiteral("damaged.pdf"))));
}

void TestMainWindow::init()
{
    AppSettings::gInstance()->setOutputDir(QString());
}

QStringList TestMainWindow::rowNames(const QWidget& window)
{
    CustomListWidget* rows = list(window);
    QStringList names;
    for (int row = 0; row < rows->count(); ++row) {
        auto* widget = qobject_cast<FileItemWidget*>(rows->itemWidget(rows->item(row)));
        // The row's own document and the one the list finds for that row must be the same.
        if (!widget || widget->fileItem() != rows->fileItemAt(row))
            return {QStringLiteral("row %1 out of step").arg(row)};
        names << rows->fileItemAt(row)->fileName();
    }
    return names;
}

bool TestMainWindow::drop(MainWindow& window, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &dropped);
    return true;
}

void TestMainWindow::layout_data()
{
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("expected");

    QTest::newRow("initial") << QSize(500, 520) << QSize(500, 520);
    QTest::newRow("lowest") << QSize(500, 400) << QSize(500, 400);
    QTest::newRow("below the lowest") << QSize(500, 300) << QSize(500, 400);
    QTest::newRow("tall") << QSize(500, 900) << QSize(500, 900);
    QTest::newRow("narrower and wider") << QSize(300, 600) << QSize(500, 600);
    QTest::newRow("wider") << QSize(800, 600) << QSize(500, 600);
}

void TestMainWindow::layout()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, expected);

    MainWindow window;
    auto* pages = child<QStackedWidget>(window, "stackedWidget");
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("page_1")); // a new window invites to add files
    window.addPdfFiles({fixture(QStringLiteral("a.pdf"))});
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("page_5"));
    window.resize(requested);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.size(), expected);
    QCOMPARE(child(window, "frame_top")->height(), 58);
    QCOMPARE(child(window, "frame_bottom")->height(), 54);
    QCOMPARE(child(window, "frame_top")->width(), 500);
    // The list takes the rest, down to the bottom bar.
    QCOMPARE(list(window)->height(), expected.height() - 58 - 54);
    QCOMPARE(child(window, "frame_bottom")->mapTo(&window, QPoint()).y(), expected.height() - 54);
    // The compress button sits at the right end of the bottom bar, 15 px in.
    QWidget* compress = child(window, "btn_compress");
    QCOMPARE(compress->mapTo(&window, QPoint()).x() + compress->width(), 500 - 15);
    QVERIFY(compress->width() >= 94 && compress->height() == 27);
    QVERIFY(child(window, "lineEdit_select_folder")->width() >= 208);
    for (const char* button : {"btn_add_file", "btn_delete", "btn_clear"}) {
        auto* tool = child<QToolButton>(window, QLatin1String(button));
        QCOMPARE(tool->height(), 58);
        QCOMPARE(tool->iconSize(), QSize(34, 34));
        QVERIFY(!tool->icon().isNull());
    }
    QVERIFY(child(window, "btn_add_file")->x() < 60); // alone on the left
    QCOMPARE(child(window, "btn_clear")->x() + child(window, "btn_clear")->width(), 500 - 6);

    // Texts come back with a language change; the pictures carry none.
    window.onLanguageChanged();
    QCOMPARE(child<QPushButton>(window, "btn_compress")->text(), QStringLiteral("Compress"));
    QVERIFY(child<QLabel>(window, "label_4")->text().isEmpty());
    QVERIFY(child<QPushButton>(window, "btn_open_folder")->text().isEmpty());
}

void TestMainWindow::everyImageExists()
{
    // The window with a row, which brings the row's own dialog along; the dialogs and the style sheet name
    // the rest.
    MainWindow window;
    window.addPdfFiles({fixture(QStringLiteral("a.pdf"))});
    QString styles = qApp->styleSheet();
    QWidgetList widgets = window.findChildren<QWidget*>();
    widgets += MainWindow::gInstance()->findChildren<QWidget*>();
    for (const QWidget* widget : qAsConst(widgets))
        styles += widget->styleSheet();
    QStringList names;
    const QRegularExpression url(QStringLiteral("url\\((:/resource/[^)]+)\\)"));
    for (auto match = url.globalMatch(styles); match.hasNext();)
        names << match.next().captured(1);
    for (const char* icon : {"pic_add", "pic_delete", "pic_clear"})
        names << QStringLiteral(":/resource/%1.png").arg(QLatin1String(icon))
              << QStringLiteral(":/resource/%1_clicked.png").arg(QLatin1String(icon));
    names << QStringLiteral(":/resource/exportfolder.png") << QStringLiteral(":/resource/processing.png");
    QVERIFY(names.size() > 20);
    names.removeDuplicates();
    for (const QString& name : qAsConst(names)) {
        const QImage decoded = QImage(name).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QVERIFY2(!decoded.isNull(), qPrintable(name));
        // Icons take their pictures from the cache of decoded pictures: each must come back as itself.
        const QImage cached = QIcon(name).pixmap(decoded.size()).toImage();
        QVERIFY2(cached.convertToFormat(QImage::Format_ARGB32_Premultiplied) == decoded, qPrintable(name));
    }
}

void TestMainWindow::poolSize()
{
    MainWindow window;
    // Half the cores run Ghostscript, but never none of them.
    QCOMPARE(QThreadPool::globalInstance()->maxThreadCount(), qMax(1, QThread::idealThreadCount() / 2));
}

void TestMainWindow::addingFiles_data()
{
    QTest::addColumn<QStringList>("names"); // "http:" marks a remote address; "|" starts another batch
    QTest::addColumn<bool>("byDrop");
    QTest::addColumn<bool>("dragAccepted");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("dialog: in the given order")
        << QStringList{"c.pdf", "a.pdf", "b.pdf"} << false << false << QStringList{"c.pdf", "a.pdf", "b.pdf"};
    QTest::newRow("dialog: capital suffix") << QStringList{"UPPER.PDF"} << false << false << QStringList{"UPPER.PDF"};
    QTest::newRow("dialog: listed and damaged files left out")
        << QStringList{"a.pdf", "damaged.pdf", "a.pdf"} << false << false << QStringList{"a.pdf"};
    QTest::newRow("dialog: two batches") << QStringList{"a.pdf", "b.pdf", "|", "c.pdf", "d.pdf"} << false << false
                                         << QStringList{"a.pdf", "b.pdf", "c.pdf", "d.pdf"};
    QTest::newRow("drop: PDF with a text file")
        << QStringList{"notes.txt", "b.pdf"} << true << true << QStringList{"b.pdf"};
    QTest::newRow("drop: capital suffix refused") << QStringList{"UPPER.PDF"} << true << false << QStringList();
    QTest::newRow("drop: remote address refused") << QStringList{"http:a.pdf"} << true << false << QStringList();
    QTest::newRow("drop: damaged file") << QStringList{"damaged.pdf"} << true << true << QStringList();
}

void TestMainWindow::addingFiles()
{
    QFETCH(QStringList, names);
    QFETCH(bool, byDrop);
    QFETCH(bool, dragAccepted);
    QFETCH(QStringList, rows);

    MainWindow window;
    if (byDrop) {
        QList<QUrl> urls;
        for (const QString& name : qAsConst(names))
            urls << (name.startsWith(QLatin1String("http:")) ? QUrl(QStringLiteral("http://example.org/") + name.mid(5))
                                                             : QUrl::fromLocalFile(fixture(name)));
        QCOMPARE(drop(window, urls), dragAccepted);
    } else {
        QStringList paths;
        for (const QString& name : qAsConst(names)) {
            if (name == QLatin1String("|")) {
                window.addPdfFiles(paths);
                paths.clear();
            } else {
                paths << fixture(name);
            }
        }
        window.addPdfFiles(paths);
    }
    QCOMPARE(rowNames(window), rows);
    // Each row has the whole of its own place, the first of each batch too.
    CustomListWidget* entries = list(window);
    for (int row = 0; row < entries->count(); ++row) {
        const QRect place = entries->visualItemRect(entries->item(row));
        QCOMPARE(place.top(), row * 72);
        QCOMPARE(place.height(), 72);
        QCOMPARE(entries->itemWidget(entries->item(row))->geometry().top(), place.top());
    }
    QCOMPARE(child<QStackedWidget>(window, "stackedWidget")->currentIndex(), rows.isEmpty() ? 0 : 1);
}

void TestMainWindow::compressButtonFollowsLocks()
{
    MainWindow window;
    auto* compress = child<QPushButton>(window, "btn_compress");
    window.addPdfFiles({fixture(QStringLiteral("locked.pdf"))});
    QVERIFY(!compress->isEnabled()); // only locked files
    window.addPdfFiles({fixture(QStringLiteral("a.pdf"))});
    QVERIFY(compress->isEnabled());
    list(window)->setCurrentRow(1);
    window.btn_delete_clicked();
    QVERIFY(!compress->isEnabled());

    // Unlocking through the row enables it again.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ModalWatcher answerer([](QWidget* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("lineEdit_password"))->setText(UserPassword);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btn_ok")), Qt::LeftButton);
    });
    auto* row = list(window)->itemWidget(list(window)->item(0));
    QTest::mouseClick(row->findChild<QPushButton*>(QStringLiteral("btn_decrypt")), Qt::LeftButton);
    QVERIFY(compress->isEnabled());

    // Clearing leaves the button as it was.
    window.btn_clear_clicked();
    QVERIFY(compress->isEnabled());
    QCOMPARE(child<QStackedWidget>(window, "stackedWidget")->currentIndex(), 0);
}

void TestMainWindow::compressRun()
{
    QTemporaryDir work;
    QTemporaryDir out;
    for (const char* name : {"a.pdf", "b.pdf", "locked.pdf"})
        QVERIFY(QFile::copy(fixture(QLatin1String(name)), work.filePath(QLatin1String(name))));
    const QString flaky = work.filePath(QStringLiteral("flaky.pdf"));
    QVERIFY(PdfFixtures::writePlain(flaky, 3));
    AppSettings::gInstance()->setOutputDir(out.path());

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.addPdfFiles({work.filePath(QStringLiteral("a.pdf")), work.filePath(QStringLiteral("locked.pdf")), flaky,
                        work.filePath(QStringLiteral("b.pdf"))});
    QCOMPARE(rowNames(window), (QStringList{"a.pdf", "locked.pdf", "flaky.pdf", "b.pdf"}));
    // Broken after it was listed: its compression fails.
    QVERIFY(QFile::remove(flaky));
    QVERIFY(PdfFixtures::writeDamaged(flaky));

    auto controlsEnabled = [&window] {
        QStringList enabled;
        for (const QString& name : controlNames()) {
            if (child(window, name)->isEnabled())
                enabled << name;
        }
        return enabled;
    };
    const auto mark = [&window](int row) {
        return list(window)->itemWidget(list(window)->item(row))->findChild<QWidget*>("btn_convert_finished");
    };

    {
        PoolBlocker blocker;
        QTest::mouseClick(child(window, "btn_compress"), Qt::LeftButton);
        QCOMPARE(controlsEnabled(), QStringList());
        QVERIFY(list(window)->isEnabled());

        // While busy: no drag, no deleting, and an unlocked file does not open the way to a second run.
        QVERIFY(!drop(window, {QUrl::fromLocalFile(fixture(QStringLiteral("c.pdf")))}));
        list(window)->setCurrentRow(0);
        QTest::keyClick(&window, Qt::Key_Delete);
        QTest::keyClick(&window, Qt::Key_Backspace);
        QCOMPARE(list(window)->count(), 4);
        ModalWatcher answerer([](QWidget* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("lineEdit_password"))->setText(UserPassword);
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        auto* lockedRow = list(window)->itemWidget(list(window)->item(1));
        QTest::mouseClick(lockedRow->findChild<QPushButton*>(QStringLiteral("btn_decrypt")), Qt::LeftButton);
        QVERIFY(!list(window)->fileItemAt(1)->isLocked());
        QVERIFY(!child(window, "btn_compress")->isEnabled());
    }
    QTRY_VERIFY_WITH_TIMEOUT(child(window, "btn_add_file")->isEnabled(), 60000);
    QCOMPARE(controlsEnabled(), controlNames());
    QVERIFY(mark(0)->isVisible() && mark(0)->isEnabled());
    QVERIFY(!mark(1)->isVisible()); // locked when the run started
    QVERIFY(mark(2)->isVisible() && !mark(2)->isEnabled());
    QVERIFY(mark(3)->isVisible() && mark(3)->isEnabled());
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), (QStringList{"a.pdf", "b.pdf"}));

    // The next run takes only what failed or was locked before.
    QVERIFY(QFile::remove(flaky));
    QVERIFY(PdfFixtures::writePlain(flaky, 3));
    QTest::mouseClick(child(window, "btn_compress"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(child(window, "btn_add_file")->isEnabled(), 60000);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), (QStringList{"a.pdf", "b.pdf", "flaky.pdf", "locked.pdf"}));
    for (int row = 0; row < 4; ++row)
        QVERIFY(mark(row)->isVisible() && mark(row)->isEnabled());

    // Nothing left to do: no task starts and the window stays ready.
    QTest::mouseClick(child(window, "btn_compress"), Qt::LeftButton);
    QCOMPARE(controlsEnabled(), controlNames());
    QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 4);
}

void TestMainWindow::deleteAndClearKeepRowsInStep()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy emptied(&window, &MainWindow::listEmpty);
    const QStringList names{"a.pdf", "b.pdf", "c.pdf", "d.pdf", "e.pdf"};
    for (const QString& name : names)
        window.addPdfFiles({fixture(name)});
    CustomListWidget* rows = list(window);
    QList<QPointer<QWidget>> widgets;
    for (int row = 0; row < rows->count(); ++row)
        widgets << rows->itemWidget(rows->item(row));

    rows->item(1)->setSelected(true);
    rows->item(3)->setSelected(true);
    QTest::keyClick(&window, Qt::Key_Delete);
    QCOMPARE(rowNames(window), (QStringList{"a.pdf", "c.pdf", "e.pdf"}));
    // Gone with their documents, not later.
    QVERIFY(widgets[1].isNull() && widgets[3].isNull());

    rows->clearSelection();
    rows->item(0)->setSelected(true);
    QTest::keyClick(&window, Qt::Key_Backspace);
    QCOMPARE(rowNames(window), (QStringList{"c.pdf", "e.pdf"}));
    QCOMPARE(emptied.count(), 0);

    rows->selectAll();
    QTest::mouseClick(child(window, "btn_delete"), Qt::LeftButton);
    QCOMPARE(rows->count(), 0);
    QCOMPARE(emptied.count(), 1);
    QCOMPARE(child<QStackedWidget>(window, "stackedWidget")->currentIndex(), 0);

    window.addPdfFiles({fixture(QStringLiteral("a.pdf")), fixture(QStringLiteral("b.pdf"))});
    QPointer<QWidget> first = rows->itemWidget(rows->item(0));
    QTest::mouseClick(child(window, "btn_clear"), Qt::LeftButton);
    QVERIFY(first.isNull());
    QCOMPARE(rows->count(), 0);
    // A cleared file can be listed again.
    window.addPdfFiles({fixture(QStringLiteral("a.pdf"))});
    QCOMPARE(rowNames(window), QStringList{"a.pdf"});
}

void TestMainWindow::outputFolder()
{
    QTemporaryDir out;
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.addPdfFiles({fixture(QStringLiteral("a.pdf"))});
        auto* field = child<QLineEdit>(window, "lineEdit_select_folder");

        // Compress without a folder asks for one; cancelling starts nothing.
        {
            ModalWatcher cancel([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
            QTest::mouseClick(child(window, "btn_compress"), Qt::LeftButton);
        }
        QVERIFY(field->text().isEmpty());
        QVERIFY(child(window, "btn_add_file")->isEnabled());

        // A click on the field chooses it.
        {
            ModalWatcher choose([&out](QWidget* dialog) {
                auto* chooser = qobject_cast<QFileDialog*>(dialog);
                chooser->setDirectory(out.path());
                QMetaObject::invokeMethod(chooser, "accept");
            });
            QTest::mouseClick(field, Qt::LeftButton);
        }
        QCOMPARE(field->text(), out.path());
        QCOMPARE(AppSettings::gInstance()->outputDir(), out.path());
    }
    MainWindow next;
    QCOMPARE(child<QLineEdit>(next, "lineEdit_select_folder")->text(), out.path());
}

void TestMainWindow::destructorDropsQueuedTasksAndWaitsForRunningOnes()
{
    QTemporaryDir work;
    QTemporaryDir out;
    AppSettings::gInstance()->setOutputDir(out.path());
    auto window = std::make_unique<MainWindow>();
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    QStringList paths;
    for (int i = 0; i < 4; ++i) {
        paths << work.filePath(QStringLiteral("big%1.pdf").arg(i));
        QVERIFY(PdfFixtures::writeImageHeavy(paths.last(), 6, 2.0, i));
    }
    window->addPdfFiles(paths);

    // Which tasks got to run, told on the pool thread itself. The first one holds its thread until the window is
    // about to go, so that the others are still queued then, however long this thread waits for its turn.
    QMutex mutex;
    QStringList started;
    QSemaphore firstRunning;
    QSemaphore windowGoes;
    const auto letFirstGo = qScopeGuard([&windowGoes] { windowGoes.release(); });
    for (int row = 0; row < 4; ++row) {
        FileItem* item = list(*window)->fileItemAt(row);
        connect(
            item, &FileItem::processing, this,
            [&mutex, &started, &firstRunning, &windowGoes, name = item->fileName()] {
                {
                    QMutexLocker lock(&mutex);
                    started << name;
                    if (started.size() > 1)
                        return;
                }
                firstRunning.release();
                windowGoes.acquire();
            },
            Qt::DirectConnection);
    }
    QTest::mouseClick(child(*window, "btn_compress"), Qt::LeftButton);
    QVERIFY(firstRunning.tryAcquire(1, 60000));
    windowGoes.release();
    window.reset();

    QThreadPool::globalInstance()->setMaxThreadCount(qMax(1, QThread::idealThreadCount() / 2));
    QStringList written = QDir(out.path()).entryList(QDir::Files);
    QMutexLocker lock(&mutex);
    QCOMPARE(written, started);
    QVERIFY(written.size() < 4);
    for (const QString& name : qAsConst(written)) {
        PDFFileItem output(out.filePath(name)); // whole, not cut off when the window went
        QVERIFY(output.openPdf());
        QCOMPARE(output.pageCount(), 6);
    }
}

void TestMainWindow::listMouseHandling()
{
    CustomListWidget rows;
    rows.setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const char* name : {"one", "two", "three"}) {
        auto* entry = new QListWidgetItem(QLatin1String(name), &rows);
        entry->setSizeHint(QSize(100, 30));
    }
    rows.resize(200, 200);
    rows.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rows));
    QWidget* viewport = rows.viewport();
    const QPoint first = rows.visualItemRect(rows.item(0)).center();
    const QPoint last = rows.visualItemRect(rows.item(2)).center();

    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, first);
    QCOMPARE(rows.currentRow(), 0);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(50, 180)); // below the last row
    QCOMPARE(rows.currentRow(), -1);

    // Pressing on a row and moving down with the button held neither drags nor selects further rows.
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, first);
    for (int y = first.y(); y <= last.y(); y += 5) {
        QMouseEvent move(QEvent::MouseMove, QPoint(first.x(), y), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, last);
    QCOMPARE(rows.selectedItems(), QList<QListWidgetItem*>{rows.item(0)});
    QCOMPARE(rows.item(0)->text(), QStringLiteral("one"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
