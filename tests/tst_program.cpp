#include "ChildProcesses.h"
#include "FakeUpdateService.h"
#include "PdfFixtures.h"
#include "PdfPageCount.h"
#include "ProgramDriver.h"

#include <QtTest>
#include <QNetworkProxy>

#include <signal.h>
#include <unistd.h>

namespace {

const QString FrameTitle = QStringLiteral("^Zolvane$");
const QString FileDialogTitle = QStringLiteral("^Select Files$");
const QSize ScreenSize(1280, 1024);
// Generous for a loaded machine; the program needs a fraction of each.
constexpr int ShowLimitMs = 20000;
constexpr int ExitLimitMs = 30000;
constexpr int RunLimitMs = 120000;

// The program's process as a shell may start it: with a signal that it ignores from the start (nohup, trap '' HUP),
// or with its output piped into a program that has already ended.
class ProgramProcess : public QProcess
{
public:
    int ignoredSignal = 0;
    bool outputClosed = false;

protected:
    void setupChildProcess() override
    {
        // Between fork and exec: async-signal-safe calls only.
        if (ignoredSignal != 0)
            ::signal(ignoredSignal, SIG_IGN);
        int ends[2];
        if (outputClosed && ::pipe(ends) == 0) {
            ::close(ends[0]);
            ::dup2(ends[1], STDOUT_FILENO);
            ::dup2(ends[1], STDERR_FILENO);
            ::close(ends[1]);
        }
    }
};

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
    // Where the window compresses into: set in the settings before the start, as a user would have chosen it.
    QString prepareFolders(const QString& inputDir)
    {
        const QString output = home.path() + QStringLiteral("/compressed");
        QDir().mkpath(output);
        // The folders the window remembers: where to compress into, and where the file dialog opens.
        QSettings ini(programIniPath(home.path()), QSettings::IniFormat);
        ini.setValue(QStringLiteral("General/output"), output);
        ini.setValue(QStringLiteral("General/lastOpenDir"), inputDir);
        return output;
    }

    QTemporaryDir home;
    ProgramProcess process;
};

// Adds the files of the folder that the file dialog opens in, by name, through the window's add button.
bool addFiles(const XSession& session, const ProgramRun& run, const QRect& frame, const QStringList& fileNames)
{
    if (!session.click(FramePlaces::addFilesButton(frame)) ||
        session.waitForWindow(FileDialogTitle, ShowLimitMs).isNull() ||
        !session.waitForFocus(FileDialogTitle, ShowLimitMs))
        return false;
    QStringList names;
    for (const QString& name : fileNames)
        names << QLatin1Char('"') + name + QLatin1Char('"');
    return session.type(names.join(QLatin1Char(' '))) && session.keys({QStringLiteral("Return")}) &&
           session.waitUntilGone(FileDialogTitle, ShowLimitMs) &&
           QTest::qWaitFor([&run] { return run.log().contains(QStringLiteral("Add PDF files:")); }, ShowLimitMs);
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void linksTheUpdateLibrary();
    void startsAndEnds_data();
    void startsAndEnds();
    void compressesThroughTheWindow();
    void endsOnSigtermDuringARun_data();
    void endsOnSigtermDuringARun();

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

void TestProgram::startsAndEnds_data()
{
    QTest::addColumn<bool>("networkError"); // the start-up check fails: its box comes before the window would
    QTest::addColumn<int>("ignoredSignal"); // from the start; 0 for none
    QTest::addColumn<bool>("outputClosed");
    QTest::addColumn<QList<int>>("sent"); // once the first window shows; none: the close button is clicked
    QTest::addColumn<QString>("endedBy"); // the signal that the log names; empty for none

    QTest::newRow("close button") << false << 0 << false << QList<int>() << QString();
    QTest::newRow("output into a closed pipe") << false << 0 << true << QList<int>() << QString();
    QTest::newRow("SIGHUP") << false << 0 << false << QList<int>{SIGHUP} << "SIGHUP";
    // Left running by the SIGHUP, it ends on the SIGTERM that follows.
    QTest::newRow("SIGHUP ignored from the start")
        << false << int(SIGHUP) << false << QList<int>{SIGHUP, SIGTERM} << "SIGTERM";
    QTest::newRow("SIGTERM during the network-error box") << true << 0 << false << QList<int>{SIGTERM} << "SIGTERM";
}

void TestProgram::startsAndEnds()
{
    QFETCH(bool, networkError);
    QFETCH(int, ignoredSignal);
    QFETCH(bool, outputClosed);
    QFETCH(QList<int>, sent);
    QFETCH(QString, endedBy);

    if (networkError)
        service.setAnswer(QStringLiteral("/API/update_information/"), {500, QByteArray()});
    XSession session(display);
    ProgramRun run(display);
    run.process.ignoredSignal = ignoredSignal;
    run.process.outputClosed = outputClosed;
    QVERIFY(run.start());
    QRect frame;
    if (networkError) {
        QVERIFY2(!session.waitForWindow(QStringLiteral("^Attention$"), ShowLimitMs).isNull(),
                 "The network-error box did not show");
    } else {
        frame = session.waitForWindow(FrameTitle, ShowLimitMs);
        QVERIFY2(!frame.isNull(), "The window did not show");
        // The update check ran before the window showed, and had nothing to say.
        QCOMPARE(service.requests().size(), 2);
        QCOMPARE(service.requests().last().path, QStringLiteral("/API/update_information/"));
        QCOMPARE(frame.width(), 500);
        // Centred on the screen, which has no panels here.
        QCOMPARE(frame.topLeft(), QPoint((ScreenSize.width() - 500) / 2, (ScreenSize.height() - frame.height()) / 2));
    }

    if (sent.isEmpty())
        QVERIFY(session.click(FramePlaces::closeButton(frame)));
    for (int signal : qAsConst(sent))
        QCOMPARE(::kill(static_cast<pid_t>(run.process.processId()), signal), 0);
    bool frameShown = false;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     frameShown = frameShown || (networkError && !session.windows(FrameTitle).isEmpty());
                     return run.process.state() == QProcess::NotRunning;
                 },
                 ExitLimitMs),
             "The program did not end");
    QVERIFY2(!frameShown, "The window showed after the request to end");
    QCOMPARE(run.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.process.exitCode(), 0);

    // The main window starts the log before the frame is placed; its destructor writes the last line.
    const QString log = run.log();
    const int mainWindow = log.indexOf(QStringLiteral("MainWindow::MainWindow"));
    const int screen = log.indexOf(QStringLiteral("Screen width :"));
    QVERIFY2(mainWindow >= 0 && screen > mainWindow, qPrintable(log.right(3000)));
    QStringList received;
    const QRegularExpression receivedLine(QStringLiteral("(SIG[A-Z]+) received"));
    for (auto match = receivedLine.globalMatch(log); match.hasNext();)
        received << match.next().captured(1);
    QCOMPARE(received, endedBy.isEmpty() ? QStringList() : QStringList{endedBy});
    const int lastLine = log.lastIndexOf(QStringLiteral("<div class="));
    QVERIFY2(log.indexOf(QStringLiteral("Exit............"), lastLine) > lastLine, qPrintable(log.right(500)));
}

void TestProgram::compressesThroughTheWindow()
{
    XSession session(display);
    ProgramRun run(display);
    QTemporaryDir input;
    const QString output = run.prepareFolders(input.path());
    // A name with blanks, as files come from other people. (xdotool types letters beyond ASCII by remapping a key,
    // which a busy program may read with the old map: such names are left to the engine's own tests.)
    const QList<QPair<QString, int>> files = {{QStringLiteral("Quarterly report.pdf"), 3},
                                              {QStringLiteral("pictures.pdf"), 2}};
    QVERIFY(PdfFixtures::writePlain(input.filePath(files[0].first), files[0].second));
    QVERIFY(PdfFixtures::writeImageHeavy(input.filePath(files[1].first), files[1].second));

    QVERIFY(run.start());
    const QRect frame = session.waitForWindow(FrameTitle, ShowLimitMs);
    QVERIFY2(!frame.isNull(), "The window did not show");
    QVERIFY2(addFiles(session, run, frame, {files[0].first, files[1].first}), "The files were not added");

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

void TestProgram::endsOnSigtermDuringARun_data()
{
    QTest::addColumn<bool>("endless");
    // Back to back. Two of a kind could make one: the system keeps one signal of each kind for a process to take.
    QTest::addColumn<QList<int>>("sent");
    QTest::addColumn<bool>("whileStopped"); // sent while the program is stopped: it reads them at once
    QTest::addColumn<bool>("askAgain"); // SIGTERM after SIGTERM until it ends
    // As at logout: the program must end by itself, keep what it has finished and leave no broken file.
    QTest::newRow("running compressions finish") << false << QList<int>{SIGTERM} << false << false;
    // Asked again while it waits for a compression that would go on for hours: it stops it and ends at once.
    QTest::newRow("a second SIGTERM stops them") << true << QList<int>{SIGTERM} << false << true;
    // However close behind the first, a second request is one.
    QTest::newRow("SIGTERM and SIGHUP back to back stop them")
        << true << QList<int>{SIGTERM, SIGHUP} << false << false;
    QTest::newRow("SIGTERM and SIGHUP read together stop them") << true << QList<int>{SIGTERM, SIGHUP} << true << false;
}

void TestProgram::endsOnSigtermDuringARun()
{
    QFETCH(bool, endless);
    QFETCH(QList<int>, sent);
    QFETCH(bool, whileStopped);
    QFETCH(bool, askAgain);
    XSession session(display);
    ProgramRun run(display);
    QTemporaryDir input;
    const QString output = run.prepareFolders(input.path());
    QStringList names;
    QHash<QString, qint64> pages;
    for (int i = 0; i < 6; ++i) {
        const QString name = QStringLiteral("scan %1.pdf").arg(i + 1);
        QVERIFY(PdfFixtures::writeImageHeavy(input.filePath(name), 4 + i % 3, 4.0, i));
        names << name;
        pages.insert(name, 4 + i % 3);
    }
    const QString endlessPath = input.filePath(QStringLiteral("endless.pdf"));
    if (endless) {
        QVERIFY(PdfFixtures::writeNestedForms(endlessPath, 30, 2));
        names.prepend(QFileInfo(endlessPath).fileName());
    }

    QVERIFY(run.start());
    const QRect frame = session.waitForWindow(FrameTitle, ShowLimitMs);
    QVERIFY2(!frame.isNull(), "The window did not show");
    QVERIFY2(addFiles(session, run, frame, names), "The files were not added");
    QVERIFY(session.click(FramePlaces::compressButton(frame)));
    const auto program = static_cast<pid_t>(run.process.processId());
    // The compressions that run when the signal comes: those that Ghostscript reads for.
    QStringList running;
    const auto findRunning = [&] {
        running.clear();
        for (const QString& name : qAsConst(names))
            if (ChildProcesses::ghostscriptChildReading(program, input.filePath(name)) != 0)
                running << name;
        return endless ? running.contains(QFileInfo(endlessPath).fileName()) : !running.isEmpty();
    };
    QVERIFY2(QTest::qWaitFor(findRunning, RunLimitMs), "The run did not start");

    if (whileStopped)
        QCOMPARE(::kill(program, SIGSTOP), 0);
    for (int signal : qAsConst(sent))
        QCOMPARE(::kill(program, signal), 0);
    if (whileStopped)
        QCOMPARE(::kill(program, SIGCONT), 0);
    if (askAgain) {
        // Once the program has taken the first, it waits for what runs; each further request must end that.
        QVERIFY2(QTest::qWaitFor([&run] { return run.log().contains(QStringLiteral("SIGTERM received")); }, RunLimitMs),
                 "The program did not take SIGTERM");
        QVERIFY2(QTest::qWaitFor(
                     [&run] {
                         run.process.terminate();
                         return run.waitForExit(1000);
                     },
                     RunLimitMs),
                 "The program did not end after a second SIGTERM");
    }

    QVERIFY2(run.waitForExit(RunLimitMs), "The program did not end after SIGTERM");
    QCOMPARE(run.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.process.exitCode(), 0);
    const QString log = run.log();
    const int signalLine = log.indexOf(QStringLiteral("SIGTERM received"));
    QVERIFY2(signalLine > 0, qPrintable(log.right(3000)));
    QVERIFY2(!log.left(signalLine).contains(QStringLiteral("All tasks completed")),
             "SIGTERM came after the run: nothing was interrupted");
    if (endless)
        QVERIFY2(log.contains(QStringLiteral("Ghostscript stopped on ") + endlessPath), qPrintable(log.right(3000)));
    const int lastLine = log.lastIndexOf(QStringLiteral("<div class="));
    QVERIFY2(log.indexOf(QStringLiteral("Exit............"), lastLine) > lastLine, qPrintable(log.right(500)));

    // The compressions that were running were finished and named; nothing else is left, not even a part file.
    const QStringList written =
        QDir(output).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : written) {
        QVERIFY2(pages.contains(name), qPrintable(written.join(QStringLiteral(", "))));
        QVERIFY2(pdfPageCount(QDir(output).filePath(name)) == pages.value(name),
                 qPrintable(QStringLiteral("%1 is not whole").arg(name)));
    }
    if (!endless) {
        for (const QString& name : qAsConst(running))
            QVERIFY2(written.contains(name), qPrintable(QStringLiteral("%1 was running and is not there: %2")
                                                            .arg(name, written.join(QStringLiteral(", ")))));
    }
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
