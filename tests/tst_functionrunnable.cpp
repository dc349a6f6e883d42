#include "LogCatcher.h"
#include "PDFFileItem.h"
#include "PdfFixtures.h"
#include "functionRunnable.h"

#include <QtTest>

#include <sys/resource.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// Only for a task that never reports: a compression on a loaded machine may take many seconds.
constexpr int HangLimitMs = 60000;

// Stands in for a document whose compression ends with a chosen code, without Ghostscript.
class FakeItem : public FileItem
{
public:
    explicit FakeItem(int code) : FileItem(QStringLiteral("/nowhere/fake.pdf")), m_code(code) {}

    int pdfCompress(QString filePath, QString outputDir) override
    {
        calls << filePath + QLatin1Char('>') + outputDir;
        thread = QThread::currentThread();
        return m_code;
    }

    QStringList calls;
    QThread* thread = nullptr;

private:
    int m_code;
};

} // namespace

class TestFunctionRunnable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signalsInOrderOnGuiThread_data();
    void signalsInOrderOnGuiThread();
    void compressesOnThePool();
    void documentMayGoOnceFinishedIsOut();
    void crashFailsOnlyItsOwnFile();
};

void TestFunctionRunnable::initTestCase()
{
    // Ghostscript's processes get the test's stack limit, which some machines raise so far that the deepest forms
    // below fit in it: every process that this test starts gets the common one.
    struct rlimit stack = {};
    QCOMPARE(::getrlimit(RLIMIT_STACK, &stack), 0);
    stack.rlim_cur = qMin<rlim_t>(8 * 1024 * 1024, stack.rlim_max);
    QCOMPARE(::setrlimit(RLIMIT_STACK, &stack), 0);
}

void TestFunctionRunnable::signalsInOrderOnGuiThread_data()
{
    QTest::addColumn<int>("taskType");
    QTest::addColumn<int>("itemCode");
    QTest::addColumn<QStringList>("expectedEvents");
    QTest::addColumn<bool>("compressed");

    QTest::newRow("compression succeeds") << 6 << 0 << QStringList{"processing", "finished 0"} << true;
    QTest::newRow("compression fails") << 6 << -100 << QStringList{"processing", "finished -100"} << true;
    QTest::newRow("other task type") << 5 << 0 << QStringList{"processing", "finished -1"} << false;
}

void TestFunctionRunnable::signalsInOrderOnGuiThread()
{
    QFETCH(int, taskType);
    QFETCH(int, itemCode);
    QFETCH(QStringList, expectedEvents);
    QFETCH(bool, compressed);

    FakeItem item(itemCode);
    QObject receiver;
    QStringList events;
    QList<QThread*> deliveredOn;
    bool taskDestroyed = false;

    auto* task = new FunctionRunnable(taskType, &item, QStringLiteral("/out"));
    connect(&item, &FileItem::processing, &receiver, [&] {
        events << QStringLiteral("processing");
        deliveredOn << QThread::currentThread();
    });
    connect(task, &FunctionRunnable::finished, &receiver, [&](int code) {
        events << QStringLiteral("finished %1").arg(code);
        deliveredOn << QThread::currentThread();
    });
    connect(
        task, &QObject::destroyed, &receiver, [&] { taskDestroyed = true; }, Qt::DirectConnection);
    QThreadPool::globalInstance()->start(task);

    QTRY_COMPARE_WITH_TIMEOUT(events, expectedEvents, HangLimitMs);
    QThreadPool::globalInstance()->waitForDone();
    QVERIFY(taskDestroyed);
    for (QThread* thread : qAsConst(deliveredOn))
        QCOMPARE(thread, QThread::currentThread());
    if (compressed) {
        QCOMPARE(item.calls, QStringList{QStringLiteral("/nowhere/fake.pdf>/out")});
        QVERIFY(item.thread != QThread::currentThread());
    } else {
        QVERIFY(item.calls.isEmpty());
    }
}

void TestFunctionRunnable::compressesOnThePool()
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("in/letter.pdf"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("in")));
    QVERIFY(PdfFixtures::writePlain(input, 2));
    PDFFileItem item(input);
    QVERIFY(item.openPdf());
    item.setCompressSetting({0, 1});

    // Wired the way the main window wires its tasks.
    QThreadPool::globalInstance()->setMaxThreadCount(qMax(1, QThread::idealThreadCount() / 2));
    QStringList events;
    QObject receiver;
    connect(&item, &PDFFileItem::CompressedInfo, &receiver, [&](const QString& name, const QString& size) {
        QCOMPARE(QThread::currentThread(), qApp->thread());
        events << QStringLiteral("info %1 %2").arg(name, size.isEmpty() ? QStringLiteral("?") : QStringLiteral("size"));
    });
    connect(&item, &FileItem::outputFileSignal, &receiver, [&](const QString& path) { events << path; });
    connect(&item, &FileItem::processFinishedSignal, &receiver,
            [&](int code) { events << QStringLiteral("done %1").arg(code); });
    auto* task = new FunctionRunnable(FunctionRunnable::CompressTask, &item, dir.filePath(QStringLiteral("out")));
    connect(task, &FunctionRunnable::finished, &item, &FileItem::fileProcessFinished);
    QThreadPool::globalInstance()->start(task);

    QTRY_COMPARE_WITH_TIMEOUT(events,
                              (QStringList{QStringLiteral("info letter.pdf size"),
                                           dir.filePath(QStringLiteral("out/letter.pdf")), QStringLiteral("done 0")}),
                              HangLimitMs);
    QVERIFY(!item.isPending());
    QThreadPool::globalInstance()->waitForDone();
}

void TestFunctionRunnable::documentMayGoOnceFinishedIsOut()
{
    // The window may delete a document as soon as its task has reported, before the task itself is gone.
    alignas(FakeItem) unsigned char storage[sizeof(FakeItem)];
    auto* item = new (storage) FakeItem(0);
    QObject receiver;
    bool deleted = false;
    auto* task = new FunctionRunnable(FunctionRunnable::CompressTask, item, QStringLiteral("/out"));
    connect(
        task, &FunctionRunnable::finished, &receiver,
        [&] {
            item->~FakeItem();
            // Whatever the task would still read of it is zeros now, which no QString survives.
            std::memset(storage, 0, sizeof storage);
            deleted = true;
        },
        Qt::BlockingQueuedConnection);
    QThreadPool::globalInstance()->start(task);
    QTRY_VERIFY_WITH_TIMEOUT(deleted, HangLimitMs);
    QThreadPool::globalInstance()->waitForDone();
}

void TestFunctionRunnable::crashFailsOnlyItsOwnFile()
{
    // Ghostscript 10.0 overflows its stack on forms nested this deep; the files beside it must not notice.
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("out"));
    const QStringList names{QStringLiteral("first.pdf"), QStringLiteral("deep.pdf"), QStringLiteral("last.pdf")};
    QVERIFY(PdfFixtures::writePlain(dir.filePath(names.at(0)), 2));
    QVERIFY(PdfFixtures::writeNestedForms(dir.filePath(names.at(1)), 10000, 1));
    QVERIFY(PdfFixtures::writePlain(dir.filePath(names.at(2)), 1));

    LogCatcher log;
    std::vector<std::unique_ptr<PDFFileItem>> items;
    QMap<QString, int> codes;
    QObject receiver;
    for (const QString& name : names) {
        items.push_back(std::make_unique<PDFFileItem>(dir.filePath(name)));
        QVERIFY(items.back()->openPdf());
        items.back()->setCompressSetting({0, 1});
        auto* task = new FunctionRunnable(FunctionRunnable::CompressTask, items.back().get(), output);
        connect(task, &FunctionRunnable::finished, &receiver, [&codes, name](int code) { codes.insert(name, code); });
        QThreadPool::globalInstance()->start(task);
    }

    QTRY_COMPARE_WITH_TIMEOUT(codes.size(), names.size(), HangLimitMs);
    QCOMPARE(codes.value(names.at(0)), 0);
    QVERIFY(codes.value(names.at(1)) != 0);
    QCOMPARE(codes.value(names.at(2)), 0);
    QVERIFY2(!log.messages().filter(QStringLiteral("Ghostscript ended by SIGSEGV")).isEmpty(),
             "Ghostscript did not crash");
    // Nor is anything left of the file that failed, not even its part file.
    QCOMPARE(QDir(output).entryList(QDir::Files | QDir::Hidden, QDir::Name), (QStringList{names.at(0), names.at(2)}));
    QThreadPool::globalInstance()->waitForDone();
}

QTEST_MAIN(TestFunctionRunnable)
#include "tst_functionrunnable.moc"
