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
}

void TestInterruptedRun::leavesOnlyWholePdfs_data()
{
    QTest::addColumn<bool>("kill");
    // SIGKILL: nothing of the program runs any more, as after a crash, a power cut or a desktop that gives up waiting.
    QTest::newRow("killed while compressing") << true;
    QTest::newRow("run to its end") << false;
}

void TestInterruptedRun::leavesOnlyWholePdfs()
{
    QFETCH(bool, kill);
    QTemporaryDir output;
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedChannels);
    // A killed program leaves no Ghostscript behind, not even one that would go on for minutes.
    helper.start(QStringLiteral(COMPRESS_HELPER),
                 QStringList{output.path()} + (kill ? QStringList{m_endless} : QStringList()) + m_inputPaths);
    QList<ChildProcesses::Process> ghostscripts;
    QVERIFY(helper.waitForStarted(RunLimitMs));

    if (kill) {
        // The first file being written, or (on a very fast machine) the first one done.
        const auto helperPid = static_cast<pid_t>(helper.processId());
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         return !entriesOf(output.path()).isEmpty() &&
                                ChildProcesses::ghostscriptChildReading(helperPid, m_endless) != 0;
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
        QCOMPARE(helper.exitCode(), 0);
    }

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
        QCOMPARE(pdfs.size(), Inputs);
        QVERIFY2(parts.isEmpty(), qPrintable(parts.join(QStringLiteral(", "))));
    }
}

QTEST_GUILESS_MAIN(TestInterruptedRun)
#include "tst_interruptedrun.moc"
