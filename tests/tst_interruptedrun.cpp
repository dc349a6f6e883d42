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
    helper.start(QStringLiteral(COMPRESS_HELPER), QStringList{output.path()} + m_inputPaths);
    QVERIFY(helper.waitForStarted(RunLimitMs));

    if (kill) {
        // The first file being written, or (on a very fast machine) the first one done.
        QVERIFY2(QTest::qWaitFor([&] { return !entriesOf(output.path()).isEmpty(); }, RunLimitMs),
                 "The helper wrote nothing");
        helper.kill();
    }
    QVERIFY2(helper.waitForFinished(RunLimitMs), "The helper did not end");
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
