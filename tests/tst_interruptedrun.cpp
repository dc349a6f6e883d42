#include "ChildProcesses.h"
#include "PdfFixtures.h"
#include "PdfPageCount.h"

#include <QtTest>

namespace {

// Against hangs only: the whole run takes a few seconds.
constexpr int RunLimitMs = 180000;
constexpr int Inputs = 6;

// What a compression in progress writes into: hidden, and not named as a PDF.
const QRegularExpression PartFileName(QStringLiteral("^\\..+\\.[A-Za-z0-9]{6}\\.part$"));

QStringList entriesOf(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestInterruptedRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void leavesOnlyWholePdfs_data();
    void leavesOnlyWholePdfs();

private:
    QTemporaryDir m_inputs;
    QStringList m_inputPaths;
    // A file that keeps Ghostscript at work for many minutes.
    QString m_endless;
    // One page whose picture Ghostscript decodes whole, in about 100 MB.
    QString m_hungry;
    // Pages of each input, by file name (which the output keeps).
    QHash<QString, qint64> m_pages;
};

void TestInterruptedRun::initTestCase()
{
    QVERIFY(m_inputs.isValid());
    for (int i = 0; i < Inputs; ++i) {
        const QString name = QStringLiteral("scan %1.pdf").arg(i + 1);
        const int pages = 4 + i % 3;
        const QString path = m_inputs.filePath(name);
        QVERIFY(PdfFixtures::writeImageHeavy(path, pages, 4.0, i));
        m_inputPaths << path;
        m_pages.insert(name, pages);
    }
    m_endless = m_inputs.filePath(QStringLiteral("endless.pdf"));
    QVERIFY(PdfFixtures::writeNestedForms(m_endless, 30, 2));
    m_hungry = m_inputs.filePath(QStringLiteral("hungry.pdf"));
    QVERIFY(PdfFixtures::writeMemoryHungryPicture(m_hungry));
    m_pages.insert(QStringLiteral("hungry.pdf"), 1);
}

void TestInterruptedRun::leavesOnlyWholePdfs_data()
{
    QTest::addColumn<bool>("kill");
    QTest::addColumn<QStringList>("options");
    // The scans, or the page with a picture that needs much memory.
    QTest::addColumn<bool>("hungry");
    // How many files are written, when the helper runs to its end.
    QTest::addColumn<int>("written");
    // SIGKILL: nothing of the program runs any more, as after a crash, a power cut or a desktop that gives up waiting.
    QTest::newRow("killed while compressing") << true << QStringList() << false << -1;
    QTest::newRow("run to its end") << false << QStringList() << false << Inputs;
    // The tasks that were past the queue when the program began to end.
    QTest::newRow("runs that start after a stop") << false << QStringList{QStringLiteral("--stop-first")} << false << 0;
    // Under a soft limit Ghostscript would leave the picture out and report success; it is lifted for it.
    QTest::newRow("soft address-space limit")
        << false << QStringList{QStringLiteral("--address-space=120")} << true << 1;
    // Nothing can lift it: every file fails rather than lose its pictures.
    QTest::newRow("hard address-space limit")
        << false << QStringList{QStringLiteral("--address-space=2048,hard")} << true << 0;
    // A container's entry point, or "unshare --pid --fork": the program is process 1.
    QTest::newRow("the program as process 1")
        << false << QStringList{QStringLiteral("as process 1")} << false << Inputs;
}

void TestInterruptedRun::leavesOnlyWholePdfs()
{
    QFETCH(bool, kill);
    QFETCH(QStringList, options);
    QFETCH(bool, hungry);
    QFETCH(int, written);
    QString program = QStringLiteral(COMPRESS_HELPER);
    if (options.removeAll(QStringLiteral("as process 1")) > 0) {
        if (QProcess::execute(QStringLiteral("unshare"),
                              {QStringLiteral("--pid"), QStringLiteral("--fork"), QStringLiteral("true")}) != 0)
            QSKIP("A process namespace of the test's own needs root and unshare");
        options = QStringList{QStringLiteral("--pid"), QStringLiteral("--fork"), program} + options;
        program = QStringLiteral("unshare");
    }
    QTemporaryDir output;
    QTemporaryDir temporary;
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), temporary.path());
    helper.setProcessEnvironment(environment);
    // A killed program leaves no Ghostscript behind, not even one that would go on for minutes.
    helper.start(program, options + QStringList{output.path()} + (kill ? QStringList{m_endless} : QStringList()) +
                              (hungry ? QStringList{m_hungry} : m_inputPaths));
    QList<ChildProcesses::Process> ghostscripts;
    QVERIFY(helper.waitForStarted(RunLimitMs));

    if (kill) {
        // The first file being written, or (on a very fast machine) the first one done, while Ghostscript's scratch
        // files, which hold what it read, are there.
        const auto helperPid = static_cast<pid_t>(helper.processId());
        const auto scratchFiles = [&temporary] {
            int files = 0;
            for (const QString& folder : entriesOf(temporary.path()))
                files += entriesOf(QDir(temporary.path()).filePath(folder)).size();
            return files;
        };
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         return !entriesOf(output.path()).isEmpty() &&
                                ChildProcesses::ghostscriptChildReading(helperPid, m_endless) != 0 &&
                                scratchFiles() > 0;
                     },
                     RunLimitMs),
                 "The helper wrote nothing");
        ghostscripts = ChildProcesses::ghostscriptChildren(helperPid);
        helper.kill();
    }
    QVERIFY2(helper.waitForFinished(RunLimitMs), "The helper did not end");
    // Its Ghostscript processes end with it: none goes on working (and writing) for a program that is gone.
    for (const ChildProcesses::Process& ghostscript : qAsConst(ghostscripts))
        QVERIFY2(QTest::qWaitFor([&] { return !ChildProcesses::isAlive(ghostscript); }, RunLimitMs),
                 qPrintable(QStringLiteral("Ghostscript %1 outlived its program").arg(ghostscript.pid)));
    if (!kill) {
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), written > 0 ? 0 : 1);
    }
    // Nor anything of their scratch files, which hold the documents' contents.
    QVERIFY2(QTest::qWaitFor([&] { return entriesOf(temporary.path()).isEmpty(); }, RunLimitMs),
             qPrintable(entriesOf(temporary.path()).join(QStringLiteral(", "))));

    QStringList pdfs;
    QStringList parts;
    for (const QString& name : entriesOf(output.path())) {
        if (PartFileName.match(name).hasMatch())
            parts << name;
        else if (name.endsWith(QLatin1String(".pdf")))
            pdfs << name;
        else
            QFAIL(qPrintable(QStringLiteral("Unexpected file %1").arg(name)));
    }
    // Every file under a PDF's name is a whole document, as the program promised when it appeared.
    for (const QString& name : qAsConst(pdfs)) {
        QVERIFY2(m_pages.contains(name), qPrintable(name));
        QVERIFY2(pdfPageCount(output.filePath(name)) == m_pages.value(name),
                 qPrintable(QStringLiteral("%1 is not whole").arg(name)));
    }
    if (kill) {
        QVERIFY2(pdfs.size() < Inputs, "The kill came after the whole run: nothing was interrupted");
    } else {
        QCOMPARE(pdfs.size(), written);
        QVERIFY2(parts.isEmpty(), qPrintable(parts.join(QStringLiteral(", "))));
    }
    // Without its picture the page packs into a couple of kilobytes.
    if (hungry && written > 0)
        QVERIFY2(QFileInfo(output.filePath(QStringLiteral("hungry.pdf"))).size() > 8000, "The picture is missing");
}

QTEST_GUILESS_MAIN(TestInterruptedRun)
#include "tst_interruptedrun.moc"
