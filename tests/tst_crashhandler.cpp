#include "AppConstants.h"
#include "CrashDump.h"
#include "RegistryTool.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <signal.h>
#include <time.h>

namespace {

struct LogLine
{
    QString level;
    QString text; // without the time stamp
};

// Every message line of every page in a log directory (by default this process's own), oldest page first.
QList<LogLine> logLines(const QString& logDir = perUserPath(AppLogDir))
{
    static const QRegularExpression lineFormat(
        QStringLiteral("^<div class=\"(.)\">\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d (.*)</div>\\r?$"));
    QList<LogLine> lines;
    const QDir dir(logDir);
    for (const QString& name : dir.entryList({QStringLiteral("*_log.html")}, QDir::Files, QDir::Name)) {
        QFile page(dir.filePath(name));
        if (!page.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& raw : page.readAll().split('\n')) {
            const QRegularExpressionMatch match = lineFormat.match(QString::fromUtf8(raw));
            if (!match.hasMatch())
                continue;
            QString text = match.captured(2);
            text.replace(QLatin1String("&quot;"), QLatin1String("\""))
                .replace(QLatin1String("&#39;"), QLatin1String("'"));
            text.replace(QLatin1String("&lt;"), QLatin1String("<")).replace(QLatin1String("&gt;"), QLatin1String(">"));
            text.replace(QLatin1String("&amp;"), QLatin1String("&"));
            lines.append({match.captured(1), text});
        }
    }
    return lines;
}

// Finds the crash's three lines among the log lines from `first` on: "Soft is Crash!...", what crashed and where
// the dump is, and the outcome. False unless there is exactly one crash.
bool findCrashLines(const QString& logDir, int first, QString& crashLine, QString& outcomeLine)
{
    const QList<LogLine> lines = logLines(logDir);
    int found = -1;
    for (int i = first; i < lines.size(); ++i) {
        if (lines.at(i).text != QLatin1String("Soft is Crash!..."))
            continue;
        if (found >= 0)
            return false;
        found = i;
    }
    if (found < 0 || found + 2 >= lines.size())
        return false;
    for (int i = found; i <= found + 2; ++i) {
        if (lines.at(i).level != QLatin1String("d"))
            return false;
    }
    crashLine = lines.at(found + 1).text;
    outcomeLine = lines.at(found + 2).text;
    return true;
}

// The process of that name whose parent is `parent`, 0 when there is none.
qint64 childProcess(qint64 parent, const QByteArray& name)
{
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isProcess = false;
        const qint64 pid = entry.toLongLong(&isProcess);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!isProcess || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold spaces and brackets of its own.
        const QByteArray line = stat.readAll();
        const int open = line.indexOf('(');
        const int close = line.lastIndexOf(')');
        if (open < 0 || close < open)
            continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (line.mid(open + 1, close - open - 1) == name && fields.size() > 1 && fields.at(1).toLongLong() == parent)
            return pid;
    }
    return 0;
}

// Answers the crash box as soon as it is up and remembers what it showed.
struct SeenBox
{
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat textFormat = Qt::AutoText;
};

} // namespace

class TestCrashHandler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void crashBoxLogsAndShowsTheDump_data();
    void crashBoxLogsAndShowsTheDump();
    void crashBoxNeedsACrashReport_data();
    void crashBoxNeedsACrashReport();

    void crashWritesDumpLogAndBox_data();
    void crashWritesDumpLogAndBox();
    void crashWithoutABoxStillEnds_data();
    void crashWithoutABoxStillEnds();

private:
    int runCrashBox(const QStringList& arguments, SeenBox& seen);
};

void TestCrashHandler::initTestCase()
{
    // Nine hours east of UTC, so that a dump named in UTC time (or in the test machine's zone) is caught. The helpers
    // and their boxes inherit it: with this process in the same zone, every log page is named in one zone and the
    // pages sort by name in the order they were written, which logLines() relies on.
    qputenv("TZ", "ZOL-9");
    tzset();
}

int TestCrashHandler::runCrashBox(const QStringList& arguments, SeenBox& seen)
{
    QTimer answer;
    connect(&answer, &QTimer::timeout, &answer, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.shown = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.textFormat = box->textFormat();
        box->button(QMessageBox::Ok)->click();
    });
    answer.start(10);
    // The crash box takes over the message handler for the HTML log; QtTest needs its own back afterwards.
    const QtMessageHandler testHandler = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(testHandler);
    // The two steps of the crash box program's main, whose application object is this test's.
    CrashReport report;
    const bool logged = logCrashFromArguments(arguments, report);
    if (logged)
        showCrashBox(report);
    qInstallMessageHandler(testHandler);
    return logged ? 0 : 2;
}

void TestCrashHandler::crashBoxLogsAndShowsTheDump_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("dump");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("outcome");

    const QString dump = QStringLiteral("/opt/zolvane/Log/crash_20261208141516.dmp");
    QTest::newRow("English, dump written")
        << 1 << true << dump << "The program gets crashed."
        << "Please send the crash report to the developer. (/opt/zolvane/Log/crash_20261208141516.dmp)"
        << "write log success...";
    QTest::newRow("French, no dump")
        << 2 << false << dump << QString::fromUtf8("Le programme a cessé de fonctionner.")
        << QString::fromUtf8(
               "Veuillez envoyer le rapport de plantage au développeur. (/opt/zolvane/Log/crash_20261208141516.dmp)")
        << "write log failed...";
    QTest::newRow("Japanese, dump written")
        << 7 << true << dump << QString::fromUtf8("このプログラムに問題が発生しました。")
        << QString::fromUtf8("エラー情報を開発者にご報告ください。(/opt/zolvane/Log/crash_20261208141516.dmp)")
        << "write log success...";
    QTest::newRow("unknown language id is English")
        << 9 << true << dump << "The program gets crashed."
        << "Please send the crash report to the developer. (/opt/zolvane/Log/crash_20261208141516.dmp)"
        << "write log success...";
    // The path holds the user's home folder, which may hold anything.
    const QString markup = QStringLiteral("/home/<b>x</b>/Log/crash_20261208141516.dmp");
    QTest::newRow("markup in the path") << 1 << true << markup << "The program gets crashed."
                                        << "Please send the crash report to the developer. (" + markup + ")"
                                        << "write log success...";
}

void TestCrashHandler::crashBoxLogsAndShowsTheDump()
{
    QFETCH(int, language);
    QFETCH(bool, written);
    QFETCH(QString, dump);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, outcome);

    RegistryTool::gInstance()->setLanguage(language);
    const QString what = QStringLiteral("signal SIGSEGV (address not mapped) at address 0x0 on thread 4711 \"<pool>\"");
    SeenBox seen;
    const int logged = logLines().size();
    QCOMPARE(runCrashBox({QStringLiteral("ZolvaneCrashBox"), dump, written ? "1" : "0", what}, seen), 0);

    QVERIFY(seen.shown);
    QCOMPARE(seen.title, title);
    QCOMPARE(seen.text, text);
    QCOMPARE(seen.textFormat, Qt::PlainText);
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    QString crashLine, outcomeLine;
    QVERIFY(findCrashLines(perUserPath(AppLogDir), logged, crashLine, outcomeLine));
    QVERIFY2(crashLine.contains(what) && crashLine.endsWith(dump), qPrintable(crashLine));
    QCOMPARE(outcomeLine, outcome);
}

void TestCrashHandler::crashBoxNeedsACrashReport_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("started by hand") << QStringList{"ZolvaneCrashBox"};
    QTest::newRow("no dump path") << QStringList{"ZolvaneCrashBox", "", "1", "signal SIGSEGV"};
    QTest::newRow("outcome not 0 or 1") << QStringList{"ZolvaneCrashBox", "/tmp/crash.dmp", "yes", "signal SIGSEGV"};
    QTest::newRow("one argument too many") << QStringList{"ZolvaneCrashBox", "/tmp/crash.dmp", "1", "SIGSEGV", "x"};
}

void TestCrashHandler::crashBoxNeedsACrashReport()
{
    QFETCH(QStringList, arguments);
    SeenBox seen;
    const int logged = logLines().size();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("started by Zolvane when it crashes")));
    QCOMPARE(runCrashBox(arguments, seen), 2);
    QVERIFY(!seen.shown);
    QCOMPARE(logLines().size(), logged);
}

void TestCrashHandler::crashWritesDumpLogAndBox_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("folderCanBeMade"); // the per-user log folder, which holds the dumps
    QTest::addColumn<int>("endSignal");
    QTest::addColumn<QString>("crash");        // the dump's "Crash:" line
    QTest::addColumn<QString>("faultAddress"); // a regular expression for the "Fault address:" line
    QTest::addColumn<bool>("onWorker");
    QTest::addColumn<QString>("firstFrameIn"); // the module of the backtrace's first frame

    const QString null = QStringLiteral("0x0000000000000000");
    const QString noAddress = QStringLiteral("none \\(.*\\)");
    QTest::newRow("null dereference on a worker")
        << "null-on-worker" << true << SIGSEGV << "signal SIGSEGV (11), code 1: address not mapped" << null << true
        << "/crash_helper";
    QTest::newRow("two workers crash at once")
        << "null-on-two-workers" << true << SIGSEGV << "signal SIGSEGV (11), code 1: address not mapped" << null << true
        << "/crash_helper";
    QTest::newRow("bus error on a worker")
        << "bus-error-on-worker" << true << SIGBUS << "signal SIGBUS (7), code 2: nonexistent physical address"
        << "0x[0-9a-f]{16}" << true << "/crash_helper";
    QTest::newRow("stack overflow on a worker")
        << "overflow-on-worker" << true << SIGSEGV << "signal SIGSEGV (11), code 2: access not permitted"
        << "0x[0-9a-f]{16}" << true << "/crash_helper";
    QTest::newRow("exception on a worker")
        << "throw-on-worker" << true << SIGABRT << "unhandled C++ exception std::runtime_error: disk on fire"
        << noAddress << true << "/crash_helper";
    QTest::newRow("exception on the main thread")
        << "throw-on-main" << true << SIGABRT << "unhandled C++ exception std::invalid_argument: no such level"
        << noAddress << false << "/crash_helper";
    QTest::newRow("abort on the main thread")
        << "abort-on-main" << true << SIGABRT << "signal SIGABRT (6), code -6: raised by the program, e.g. abort()"
        << noAddress << false << "/libc.so";
    QTest::newRow("log folder cannot be made")
        << "null-on-worker" << false << SIGSEGV << QString() << QString() << true << QString();
}

void TestCrashHandler::crashWritesDumpLogAndBox()
{
    QFETCH(QString, how);
    QFETCH(bool, folderCanBeMade);
    QFETCH(int, endSignal);
    QFETCH(QString, crash);
    QFETCH(QString, faultAddress);
    QFETCH(bool, onWorker);
    QFETCH(QString, firstFrameIn);

    // Copies, so that the helper finds the box beside it. Each crash gets a data folder of its own, in which the
    // log folder does not exist yet: the helper has to make it, and its box logs there.
    QTemporaryDir programDir;
    QVERIFY(programDir.isValid());
    const QString helperPath = programDir.filePath(QStringLiteral("crash_helper"));
    QVERIFY(QFile::copy(QStringLiteral(CRASH_HELPER), helperPath));
    QVERIFY(QFile::copy(QStringLiteral(CRASH_BOX), programDir.filePath(QStringLiteral("ZolvaneCrashBox"))));
    const QString dataHome = programDir.filePath(QStringLiteral("data"));
    const QString logDir = dataHome + QStringLiteral("/Tamrik/Zolvane/Log");
    if (!folderCanBeMade) {
        QFile inTheWay(dataHome); // a file where the folder would go
        QVERIFY(inTheWay.open(QIODevice::WriteOnly));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);

    const auto zoneTime = [] { return QDateTime::currentDateTimeUtc().addSecs(9 * 60 * 60); };

    const QDateTime started = zoneTime().addMSecs(-1000);
    QProcess helper;
    helper.setProcessEnvironment(environment);
    helper.start(helperPath, {how});
    QVERIFY(helper.waitForStarted());
    const qint64 helperPid = helper.processId();
    struct EndProcesses // whatever happens, no helper or box outlives the test
    {
        QProcess& helper;
        qint64 pid;
        ~EndProcesses()
        {
            if (const qint64 box = childProcess(pid, "ZolvaneCrashBox"))
                ::kill(static_cast<pid_t>(box), SIGKILL);
            helper.kill();
            helper.waitForFinished();
        }
    } endProcesses{helper, helperPid};

    // The box logs the crash (where it can) and then waits for the user: that is when the test ends it.
    QString crashLine, outcomeLine;
    qint64 box = 0;
    const auto boxIsUp = [&] {
        return (box = childProcess(helperPid, "ZolvaneCrashBox")) != 0 &&
               (!folderCanBeMade || findCrashLines(logDir, 0, crashLine, outcomeLine));
    };
    QTRY_VERIFY_WITH_TIMEOUT(boxIsUp() || helper.state() == QProcess::NotRunning, 30000);
    QVERIFY2(boxIsUp(), "the crashed process ended without waiting for its box");
    QCOMPARE(::kill(static_cast<pid_t>(box), SIGKILL), 0);
    QVERIFY(helper.waitForFinished(30000));
    QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
    QCOMPARE(helper.exitCode(), endSignal);
    const QDateTime ended = zoneTime();
    // The box was killed before the user closed it, so the terminal is told as well.
    const QString error = QString::fromLocal8Bit(helper.readAllStandardError());

    if (!folderCanBeMade) {
        const QRegularExpression failed(QStringLiteral("\nCrash dump: ") + QRegularExpression::escape(logDir) +
                                        QStringLiteral("/crash_\\d{14}\\.dmp \\(could not be written\\)\n"));
        QVERIFY2(error.contains(failed), qPrintable(error));
        QVERIFY(!QFileInfo::exists(logDir));
        return;
    }

    const QRegularExpression dumpLine(QStringLiteral("^Crash: .* - dump: (.*/crash_(\\d{14})\\.dmp)$"));
    const QRegularExpressionMatch dumpNamed = dumpLine.match(crashLine);
    QVERIFY2(dumpNamed.hasMatch(), qPrintable(crashLine));
    const QString dumpPath = dumpNamed.captured(1);
    QCOMPARE(QFileInfo(dumpPath).absolutePath(), logDir);
    QVERIFY2(error.contains(QStringLiteral("\nCrash dump: ") + dumpPath), qPrintable(error));
    QDateTime stamp = QDateTime::fromString(dumpNamed.captured(2), QStringLiteral("yyyyMMddhhmmss"));
    stamp.setTimeSpec(Qt::UTC);
    QVERIFY2(stamp >= started && stamp <= ended, qPrintable(dumpNamed.captured(2)));

    QCOMPARE(outcomeLine, QStringLiteral("write log success..."));
    // Beside the box's log page.
    QCOMPARE(QDir(logDir).entryList({QStringLiteral("crash_*")}, QDir::Files),
             QStringList{QFileInfo(dumpPath).fileName()});

    QFile dumpFile(dumpPath);
    QVERIFY(dumpFile.open(QIODevice::ReadOnly));
    const QString dump = QString::fromUtf8(dumpFile.readAll());
    const auto line = [&dump](const QString& pattern) {
        return QRegularExpression(pattern, QRegularExpression::MultilineOption).match(dump);
    };
    QVERIFY(line(QStringLiteral("^Time: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d UTC\\+09:00$")).hasMatch());
    QVERIFY2(line(QStringLiteral("^Crash: ") + QRegularExpression::escape(crash) + QLatin1Char('$')).hasMatch(),
             qPrintable(dump.left(500)));
    QVERIFY2(line(QStringLiteral("^Fault address: ") + faultAddress + QLatin1Char('$')).hasMatch(),
             qPrintable(dump.left(500)));

    const QRegularExpressionMatch thread = line(QStringLiteral("^Thread: (\\d+) \"([^\"]*)\"( \\(main thread\\))?$"));
    QVERIFY2(thread.hasMatch(), qPrintable(dump.left(500)));
    QCOMPARE(thread.captured(1).toLongLong() != helperPid, onWorker);
    QCOMPARE(thread.captured(2), onWorker ? QStringLiteral("Thread (pooled)") : QStringLiteral("crash_helper"));
    QVERIFY(crashLine.contains(QStringLiteral(" on thread %1 ").arg(thread.captured(1))));

    const QRegularExpressionMatch firstFrame = line(QStringLiteral("^#0  0x[0-9a-f]{16}  (\\S+) \\+ 0x[0-9a-f]+$"));
    QVERIFY2(firstFrame.hasMatch(), qPrintable(dump.left(1500)));
    QVERIFY2(firstFrame.captured(1).contains(firstFrameIn), qPrintable(firstFrame.captured(1)));
    QVERIFY(line(QStringLiteral("^#1  0x[0-9a-f]{16}  ")).hasMatch());

    // An exception's dump shows where it was thrown, though Qt's worker threads catch it and throw it again, which
    // unwinds the stack before it ends the process.
    if (crash.startsWith(QLatin1String("unhandled C++ exception"))) {
        const QRegularExpressionMatch announced =
            QRegularExpression(QStringLiteral("^throw site 0x([0-9a-f]+)$"), QRegularExpression::MultilineOption)
                .match(QString::fromLatin1(helper.readAllStandardOutput()));
        QVERIFY(announced.hasMatch());
        const quint64 thrower = announced.captured(1).toULongLong(nullptr, 16);
        const int section = dump.indexOf(QStringLiteral("\nBacktrace where the exception was thrown"));
        QVERIFY2(section > 0, qPrintable(dump.left(2500)));
        const QRegularExpressionMatch throwFrame =
            QRegularExpression(QStringLiteral("^#0  0x([0-9a-f]{16})  (\\S+) \\+ 0x[0-9a-f]+$"),
                               QRegularExpression::MultilineOption)
                .match(dump, section);
        QVERIFY2(throwFrame.hasMatch(), qPrintable(dump.mid(section, 1000)));
        QCOMPARE(throwFrame.captured(2), helperPath);
        // The return address from the throw: within the throwing function, or just past its end when the throw
        // is its last instruction. The function is a few dozen bytes long.
        const quint64 returnAddress = throwFrame.captured(1).toULongLong(nullptr, 16);
        QVERIFY2(returnAddress > thrower && returnAddress <= thrower + 256,
                 qPrintable(QStringLiteral("%1 from %2").arg(returnAddress, 0, 16).arg(thrower, 0, 16)));
    }

    const int modules = dump.indexOf(QStringLiteral("\nLoaded modules"));
    QVERIFY(modules > 0);
    QVERIFY(dump.indexOf(QRegularExpression(QStringLiteral(" r-xp .*") + QRegularExpression::escape(helperPath) +
                                            QLatin1Char('\n')),
                         modules) > 0);
    QVERIFY(dump.indexOf(QRegularExpression(QStringLiteral(" r-xp .*/libQt5Core\\.so")), modules) > 0);
}

void TestCrashHandler::crashWithoutABoxStillEnds_data()
{
    QTest::addColumn<bool>("boxThere");
    QTest::addColumn<QString>("platform"); // the Qt platform of the helper and its box

    QTest::newRow("no crash box") << false << "offscreen";
    QTest::newRow("crash box cannot open a window") << true << "no-such-platform";
}

void TestCrashHandler::crashWithoutABoxStillEnds()
{
    QFETCH(bool, boxThere);
    QFETCH(QString, platform);

    QTemporaryDir programDir;
    QVERIFY(programDir.isValid());
    const QString helperPath = programDir.filePath(QStringLiteral("crash_helper"));
    QVERIFY(QFile::copy(QStringLiteral(CRASH_HELPER), helperPath));
    if (boxThere)
        QVERIFY(QFile::copy(QStringLiteral(CRASH_BOX), programDir.filePath(QStringLiteral("ZolvaneCrashBox"))));
    const QString dataHome = programDir.filePath(QStringLiteral("data"));
    const QString logDir = dataHome + QStringLiteral("/Tamrik/Zolvane/Log");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    QProcess helper;
    helper.setProcessEnvironment(environment);
    helper.start(helperPath, {QStringLiteral("null-on-worker")});
    QVERIFY(helper.waitForFinished(30000));
    QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
    QCOMPARE(helper.exitCode(), SIGSEGV);

    // Nobody showed anything, so the terminal is told where the dump is.
    const QStringList dumps = QDir(logDir).entryList({QStringLiteral("crash_*")}, QDir::Files);
    QCOMPARE(dumps.size(), 1);
    const QString dumpPath = logDir + QLatin1Char('/') + dumps.first();
    const QString error = QString::fromLocal8Bit(helper.readAllStandardError());
    QVERIFY2(error.contains(QStringLiteral("Zolvane crashed: signal SIGSEGV (address not mapped) at address 0x0")),
             qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("Crash dump: ") + dumpPath + QLatin1Char('\n')), qPrintable(error));

    // A box that could not show itself has still logged the crash.
    if (!boxThere) {
        QCOMPARE(logLines(logDir).size(), 0);
        return;
    }
    QString crashLine, outcomeLine;
    QVERIFY2(findCrashLines(logDir, 0, crashLine, outcomeLine), qPrintable(error));
    QVERIFY2(crashLine.endsWith(QStringLiteral(" - dump: ") + dumpPath), qPrintable(crashLine));
    QCOMPARE(outcomeLine, QStringLiteral("write log success..."));
}

QTEST_MAIN(TestCrashHandler)
#include "tst_crashhandler.moc"
