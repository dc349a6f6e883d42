#include "FakeUpdateService.h"
#include "PdfFixtures.h"
#include "PdfPageCount.h"
#include "ProgramDriver.h"

#include <QtTest>
#include <QNetworkProxy>

namespace {

const QString FrameTitle = QStringLiteral("^Zolvane$");
const QString FileDialogTitle = QStringLiteral("^Select Files$");
const QSize ScreenSize(1280, 1024);
// Generous for a loaded machine; the program needs a fraction of each.
constexpr int ShowLimitMs = 20000;
constexpr int ExitLimitMs = 30000;
constexpr int RunLimitMs = 120000;

// One run of the program on the test's display, with a home of its own.
class ProgramRun
{
public:
    ProgramRun(const QString& display)
    {
        process.setProcessEnvironment(programEnvironment(home.path(), display));
        // Its log lines are in the log file; here they would only bury the test's own messages.
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    }
    ~ProgramRun()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(ExitLimitMs);
        }
    }

    bool start()
    {
        process.start(QStringLiteral(ZOLVANE_LOOPBACK), QStringList());
        return process.waitForStarted(ShowLimitMs);
    }
    bool waitForExit(int ms)
    {
        return QTest::qWaitFor([this] { return process.state() == QProcess::NotRunning; }, ms);
    }
    QString log() const { return programLog(home.path()); }

    QTemporaryDir home;
    QProcess process;
};

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void linksTheUpdateLibrary();
    void startsAndCloses();
    void compressesThroughTheWindow();

private:
    FakeUpdateService service;
    QProcess server;
    QString display;
};

void TestProgram::initTestCase()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QVERIFY2(service.listen(QHostAddress(QStringLiteral(VELMORA_TEST_HOST)), VELMORA_TEST_PORT),
             qPrintable(service.errorString()));
    display = XSession::startServer(server, ScreenSize);
    QVERIFY2(!display.isEmpty(), "Xvfb did not start (scripts/setup-debian.sh installs it)");
    QProcess probe;
    probe.setProcessEnvironment(programEnvironment(QDir::homePath(), display));
    QVERIFY2(runTool(probe, QStringLiteral("xdotool"), {QStringLiteral("version")}, 10000),
             "xdotool does not run (scripts/setup-debian.sh installs it)");
}

void TestProgram::cleanupTestCase()
{
    server.terminate();
    if (!server.waitForFinished(ExitLimitMs))
        server.kill();
}

void TestProgram::init()
{
    service.clearRequests();
    service.setAnswer(QStringLiteral("/API/install_success/"), {200, R"({"code":200})"});
    // Up to date: the start-up check then shows nothing.
    service.setAnswer(QStringLiteral("/API/update_information/"), {200, R"({"code":201})"});
}

void TestProgram::linksTheUpdateLibrary()
{
    // The program that ships loads the real library at start-up, by name, from beside itself or the system.
    QProcess readelf;
    QVERIFY(runTool(readelf, QStringLiteral("readelf"), {QStringLiteral("-d"), QStringLiteral(ZOLVANE)}, 10000));
    const QString dynamic = QString::fromUtf8(readelf.readAllStandardOutput());
    QVERIFY2(dynamic.contains(QStringLiteral("Shared library: [libVelmora.so]")), qPrintable(dynamic));
}

void TestProgram::startsAndCloses()
{
    XSession session(display);
    ProgramRun run(display);
    QVERIFY(run.start());
    const QRect frame = session.waitForWindow(FrameTitle, ShowLimitMs);
    QVERIFY2(!frame.isNull(), "The window did not show");
    // The update check ran before the window showed, and had nothing to say.
    QCOMPARE(service.requests().size(), 2);
    QCOMPARE(service.requests().last().path, QStringLiteral("/API/update_information/"));
    QCOMPARE(frame.width(), 500);
    // Centred on the screen, which has no panels here.
    QCOMPARE(frame.topLeft(), QPoint((ScreenSize.width() - 500) / 2, (ScreenSize.height() - frame.height()) / 2));

    QVERIFY(session.click(FramePlaces::closeButton(frame)));
    QVERIFY2(run.waitForExit(ExitLimitMs), "The program did not end after its close button");
    QCOMPARE(run.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.process.exitCode(), 0);

    // The main window starts the log before the frame is placed; its destructor writes the last line.
    const QString log = run.log();
    const int mainWindow = log.indexOf(QStringLiteral("MainWindow::MainWindow"));
    const int screen = log.indexOf(QStringLiteral("Screen width :"));
    QVERIFY2(mainWindow >= 0 && screen > mainWindow, qPrintable(log.right(3000)));
    const int lastLine = log.lastIndexOf(QStringLiteral("<div class="));
    QVERIFY2(log.indexOf(QStringLiteral("Exit............"), lastLine) > lastLine, qPrintable(log.right(500)));
}

void TestProgram::compressesThroughTheWindow()
{
    XSession session(display);
    ProgramRun run(display);
    QTemporaryDir input;
    const QString output = run.home.path() + QStringLiteral("/compressed");
    QVERIFY(QDir().mkpath(output));
    // A name with blanks, as files come from other people. (xdotool types letters beyond ASCII by remapping a key,
    // which a busy program may read with the old map: such names are left to the engine's own tests.)
    const QList<QPair<QString, int>> files = {{QStringLiteral("Quarterly report.pdf"), 3},
                                              {QStringLiteral("pictures.pdf"), 2}};
    QVERIFY(PdfFixtures::writePlain(input.filePath(files[0].first), files[0].second));
    QVERIFY(PdfFixtures::writeImageHeavy(input.filePath(files[1].first), files[1].second));
    {
        // The folders the window remembers: where to compress into, and where the file dialog opens.
        QSettings ini(programIniPath(run.home.path()), QSettings::IniFormat);
        ini.setValue(QStringLiteral("General/output"), output);
        ini.setValue(QStringLiteral("General/lastOpenDir"), input.path());
    }

    QVERIFY(run.start());
    const QRect frame = session.waitForWindow(FrameTitle, ShowLimitMs);
    QVERIFY2(!frame.isNull(), "The window did not show");

    QVERIFY(session.click(FramePlaces::addFilesButton(frame)));
    QVERIFY2(!session.waitForWindow(FileDialogTitle, ShowLimitMs).isNull(), "The file dialog did not show");
    QVERIFY2(session.waitForFocus(FileDialogTitle, ShowLimitMs), "The file dialog did not take the keyboard");
    QStringList names;
    for (const auto& file : files)
        names << QLatin1Char('"') + file.first + QLatin1Char('"');
    QVERIFY(session.type(names.join(QLatin1Char(' '))));
    QVERIFY(session.keys({QStringLiteral("Return")}));
    QVERIFY2(session.waitUntilGone(FileDialogTitle, ShowLimitMs), "The file dialog did not take the files");
    QTRY_VERIFY_WITH_TIMEOUT(run.log().contains(QStringLiteral("Add PDF files:")), ShowLimitMs);

    QVERIFY(session.click(FramePlaces::compressButton(frame)));
    QTRY_VERIFY_WITH_TIMEOUT(run.log().contains(QStringLiteral("All tasks completed")), RunLimitMs);
    QVERIFY(session.click(FramePlaces::closeButton(frame)));
    QVERIFY2(run.waitForExit(ExitLimitMs), "The program did not end after its close button");
    QCOMPARE(run.process.exitCode(), 0);

    // Exactly one output per input: nothing lost, nothing written twice.
    const QStringList written = QDir(output).entryList(QDir::Files);
    QVERIFY2(written.size() == files.size(), qPrintable(written.join(QStringLiteral(", "))));
    for (const auto& file : files) {
        const QString compressed = output + QLatin1Char('/') + file.first;
        QVERIFY2(QFileInfo::exists(compressed), qPrintable(compressed));
        QCOMPARE(pdfPageCount(compressed), qint64(file.second));
    }
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
