#include "ChildProcesses.h"
#include "CompressFunction.h"
#include "GSCompressor.h"
#include "GhostscriptMessages.h"
#include "PdfFixtures.h"
#include "PdfPageCount.h"
#include "TimeLimit.h"
#include "platform/GhostscriptRun.h"

#include <QtTest>

#include <qpdf/QPDF.hh>

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using PdfFixtures::Cipher;
using MakeFile = bool (*)(const QString&);
Q_DECLARE_METATYPE(MakeFile)

namespace {

// Both fixtures that get compressed here have two pages.
constexpr qint64 TwoPages = 2;
// Only against hangs: a run takes a second or two.
constexpr int RunLimitMs = 60000;

const QByteArrayList Head{"gs", "-sDEVICE=pdfwrite", "-dNOPAUSE", "-dQUIET", "-dBATCH"};
const QByteArrayList Tail{"-sOutputFile=/out/a.pdf", "/in/a.pdf"};

QByteArrayList commonCustom(const QByteArray& resolution, const QByteArray& monoResolution)
{
    return {"-dOptimize=true",
            "-dColorImageDownsampleThreshold=1.0",
            "-dGrayImageDownsampleThreshold=1.0",
            "-dMonoImageDownsampleThreshold=1.0",
            "-dAutoFilterGrayImages=false",
            "-dAutoFilterColorImages=false",
            "-dPassThroughJPEGImages=false",
            "-dPassThroughJPXImages=false",
            "-dDownsampleColorImages=true",
            "-dDownsampleMonoImages=true",
            "-dColorImageResolution=" + resolution,
            "-dGrayImageResolution=" + resolution,
            "-dMonoImageResolution=" + monoResolution};
}

// What the stand-in for Ghostscript writes.
QByteArray g_standInOutput;

// Warnings logged while a test runs, from any thread.
QStringList g_warnings;
QMutex g_warningsMutex;
QtMessageHandler g_previousHandler = nullptr;

void recordWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg) {
        const QMutexLocker locker(&g_warningsMutex);
        g_warnings << message;
    }
    g_previousHandler(type, context, message);
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QStringList warnings()
{
    const QMutexLocker locker(&g_warningsMutex);
    return g_warnings;
}

// The runs of a test see this as the temporary folder while it lives; Ghostscript's processes started meanwhile make
// their scratch folders in it.
class TemporaryFolder
{
public:
    explicit TemporaryFolder(const QString& path = QString())
        : m_previous(qgetenv("TMPDIR")), m_path(path.isEmpty() ? m_own.path() : path)
    {
        qputenv("TMPDIR", QFile::encodeName(m_path));
    }
    ~TemporaryFolder() { qputenv("TMPDIR", m_previous); }
    QString path() const { return m_path; }
    // Whether it holds nothing, once the threads that ran have ended their processes.
    bool becomesEmpty() const
    {
        return QTest::qWaitFor(
            [this] {
                return QDir(m_path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            },
            10000);
    }

private:
    QTemporaryDir m_own;
    const QByteArray m_previous;
    const QString m_path;
};

// A small file system of its own at path, for folders that fill up. Needs root.
class SmallFileSystem
{
public:
    SmallFileSystem(const QString& path, const QByteArray& size)
        : m_path(QFile::encodeName(path)),
          m_mounted(!size.isEmpty() && ::geteuid() == 0 &&
                    ::mount("tmpfs", m_path.constData(), "tmpfs", 0, QByteArray("size=" + size).constData()) == 0)
    {
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_mounted; }

private:
    const QByteArray m_path;
    const bool m_mounted;
};

// The Ghostscript processes of this test that live beside those it had before: each told by its id and start.
QList<ChildProcesses::Process> newProcesses(const QList<ChildProcesses::Process>& before)
{
    QList<ChildProcesses::Process> found;
    for (const ChildProcesses::Process& process : ChildProcesses::ghostscriptChildren(::getpid())) {
        const bool old = std::any_of(before.cbegin(), before.cend(), [&](const ChildProcesses::Process& other) {
            return other.pid == process.pid && other.startTime == process.startTime;
        });
        if (!old)
            found << process;
    }
    return found;
}

QByteArray procFile(pid_t pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray statusField(pid_t pid, const QByteArray& field)
{
    for (const QByteArray& line : procFile(pid, "status").split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed();
    }
    return QByteArray();
}

// Ignores a signal while it lives, when asked to, as some programs that start others do.
class IgnoredSignal
{
public:
    IgnoredSignal(int signal, bool ignored) : m_signal(signal), m_ignored(ignored)
    {
        if (!m_ignored)
            return;
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_ignored = ::sigaction(m_signal, &ignore, &m_previous) == 0;
    }
    ~IgnoredSignal()
    {
        if (m_ignored)
            ::sigaction(m_signal, &m_previous, nullptr);
    }

private:
    Q_DISABLE_COPY(IgnoredSignal)
    const int m_signal;
    bool m_ignored;
    struct sigaction m_previous = {};
};

// The scratch folder that a Ghostscript process was given, as the descriptor it reaches it by.
QString scratchFolderOf(pid_t pid)
{
    return QFileInfo(QStringLiteral("/proc/%1/fd/6").arg(pid)).symLinkTarget();
}

} // namespace

class TestGSCompressor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    // First, while the time limit is still the program's own.
    void timeLimitDescription_data();
    void timeLimitDescription();

    void argumentVector_data();
    void argumentVector();

    void levelsWriteValidPdf_data();
    void levelsWriteValidPdf();
    void imageHeavyFileShrinks();
    void protectedFileWithPassword_data();
    void protectedFileWithPassword();
    void failedRunLeavesNoOutput_data();
    void failedRunLeavesNoOutput();
    void outputIsCheckedAsWritten_data();
    void outputIsCheckedAsWritten();
    void ghostscriptMessagesReachTheLog_data();
    void ghostscriptMessagesReachTheLog();
    void postScriptIsNeverRun();
    void hostileEnvironment_data();
    void hostileEnvironment();

    void percentInNamesMakesOneFile_data();
    void percentInNamesMakesOneFile();
    void nonAsciiNames();
    void outputFolders_data();
    void outputFolders();
    void concurrentRunsKeepEveryFile();
    void runThatDoesNotEnd_data();
    void runThatDoesNotEnd();
    // Last: its last row stops every run of this program for good.
    void oneProcessServesAThread_data();
    void oneProcessServesAThread();

private:
    QTemporaryDir m_dir;
    QString m_plain;
    QString m_heavy;
};

void TestGSCompressor::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_plain = m_dir.filePath(QStringLiteral("plain.pdf"));
    m_heavy = m_dir.filePath(QStringLiteral("heavy.pdf"));
    QVERIFY(PdfFixtures::writePlain(m_plain, 2));
    QVERIFY(PdfFixtures::writeImageHeavy(m_heavy, 2));
    g_previousHandler = qInstallMessageHandler(recordWarnings);
}

void TestGSCompressor::cleanupTestCase()
{
    qInstallMessageHandler(g_previousHandler);
}

void TestGSCompressor::argumentVector_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("customValue");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArrayList>("expected");

    const QByteArrayList prepress = Head + QByteArrayList{"-dPDFSETTINGS=/prepress"} + Tail;
    QTest::newRow("level 0, eight arguments")
        << 0 << 5 << QString() << Head + QByteArrayList{"-dPDFSETTINGS=/screen"} + Tail;
    QTest::newRow("level 1 with password after -dBATCH")
        << 1 << 5 << QStringLiteral("s3cret")
        << Head + QByteArrayList{"-sPDFPassword=s3cret", "-dPDFSETTINGS=/ebook"} + Tail;
    QTest::newRow("level 2") << 2 << 5 << QString() << prepress;
    QTest::newRow("custom 10 equals level 2") << 3 << 10 << QString() << prepress;
    QTest::newRow("custom 7: 20 arguments") << 3 << 7 << QString() << Head + commonCustom("210", "900") + Tail;
    const auto subsampled = [&](const char* resolution, const char* monoResolution) {
        return Head +
               QByteArrayList{"-dGrayImageDownsampleType=/Subsample", "-dColorImageDownsampleType=/Subsample",
                              "-sColorConversionStrategy=RGB"} +
               commonCustom(resolution, monoResolution) + Tail;
    };
    QTest::newRow("custom 3: subsampling and RGB") << 3 << 3 << QString() << subsampled("122", "500");
    // The last step that subsamples; the next one (below, through an unknown level) no longer does.
    QTest::newRow("custom 5: last to subsample") << 3 << 5 << QString() << subsampled("150", "700");
    QTest::newRow("custom 9: keep colours and fonts")
        << 3 << 9 << QStringLiteral("pw")
        << Head +
               QByteArrayList{"-sPDFPassword=pw",
                              "-sColorConversionStrategy=LeaveColorUnchanged",
                              "-dPreserveOPIComments=true",
                              "-dPreserveHalftoneInfo=true",
                              "-dDoThumbnails=true",
                              "-dUCRandBGInfo=/Preserve",
                              "-dEmbedAllFonts=true",
                              "-dCreateJobTicket=true",
                              "-dCannotEmbedFontPolicy=/Error"} +
               commonCustom("270", "1100") + Tail;
    QTest::newRow("unknown level counts as custom") << 42 << 6 << QString() << Head + commonCustom("180", "800") + Tail;
    // Out of the dialog's range: stays inside the tables.
    QTest::newRow("custom 0 as 1") << 3 << 0 << QString()
                                   << Head +
                                          QByteArrayList{"-dGrayImageDownsampleType=/Subsample",
                                                         "-dColorImageDownsampleType=/Subsample",
                                                         "-sColorConversionStrategy=RGB"} +
                                          commonCustom("72", "300") + Tail;
    QTest::newRow("custom 65535 as 10") << 3 << 65535 << QString() << prepress;
    QTest::newRow("password in UTF-8") << 0 << 5 << QStringLiteral("Pässwört")
                                       << Head +
                                              QByteArrayList{"-sPDFPassword=P\xc3\xa4ssw\xc3\xb6rt",
                                                             "-dPDFSETTINGS=/screen"} +
                                              Tail;
}

void TestGSCompressor::argumentVector()
{
    QFETCH(int, level);
    QFETCH(int, customValue);
    QFETCH(QString, password);
    QFETCH(QByteArrayList, expected);

    GSCompressor compressor;
    compressor.setLevel(level);
    compressor.setCustomValue(customValue);
    QCOMPARE(compressor.arguments(QStringLiteral("/in/a.pdf"), QStringLiteral("/out/a.pdf"), password), expected);
}

void TestGSCompressor::levelsWriteValidPdf_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("customValue");
    // The time limit in seconds for each page, when the row gives the run no other time.
    QTest::addColumn<int>("secondsPerPage");
    QTest::newRow("smallest") << 0 << 1 << -1;
    QTest::newRow("medium") << 1 << 1 << -1;
    QTest::newRow("largest") << 2 << 1 << -1;
    QTest::newRow("custom 3") << 3 << 3 << -1;
    QTest::newRow("custom 7") << 3 << 7 << -1;
    QTest::newRow("custom 9") << 3 << 9 << -1;
    QTest::newRow("custom 10") << 3 << 10 << -1;
    QTest::newRow("no time but for the pages") << 0 << 1 << 30;
}

void TestGSCompressor::levelsWriteValidPdf()
{
    QFETCH(int, level);
    QFETCH(int, customValue);
    QFETCH(int, secondsPerPage);
    if (secondsPerPage >= 0)
        GSCompressor::setTimeLimit(std::chrono::seconds(0), std::chrono::seconds(secondsPerPage));
    const auto restoreLimit =
        qScopeGuard([] { GSCompressor::setTimeLimit(std::chrono::minutes(10), std::chrono::seconds(3)); });
    QTemporaryDir out;
    CompressFunction function;
    function.setCompressSetting({level, static_cast<quint16>(customValue)});

    const CompressResult result = function.compress(m_plain, out.path(), QString());
    QCOMPARE(result.code, 0);
    QCOMPARE(result.outputPath, out.path() + QStringLiteral("/plain.pdf"));
    QCOMPARE(pdfPageCount(result.outputPath), TwoPages);
    QCOMPARE(function.compressedSize(), QFileInfo(result.outputPath).size());
    // As any new file of the user's: readable by whom the umask allows, not private as temporary files are.
    QFile plain(out.filePath(QStringLiteral("plain file")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    QCOMPARE(QFileInfo(result.outputPath).permissions(), plain.permissions());
}

void TestGSCompressor::imageHeavyFileShrinks()
{
    QTemporaryDir out;
    const qint64 inputSize = QFileInfo(m_heavy).size();
    CompressFunction function;
    function.setCompressSetting({0, 1});

    const CompressResult result = function.compress(m_heavy, out.path(), QString());
    QCOMPARE(result.code, 0);
    QCOMPARE(function.outputFileName(), QStringLiteral("heavy.pdf"));
    QCOMPARE(pdfPageCount(result.outputPath), TwoPages);
    QVERIFY2(function.compressedSize() * 5 < inputSize,
             qPrintable(QStringLiteral("%1 -> %2 bytes").arg(inputSize).arg(function.compressedSize())));
    QCOMPARE(QFileInfo(m_heavy).size(), inputSize);
}

void TestGSCompressor::protectedFileWithPassword_data()
{
    QTest::addColumn<int>("cipher");
    QTest::addColumn<QString>("openPassword");
    QTest::addColumn<QString>("password");
    QTest::newRow("AES-256, open password")
        << int(Cipher::Aes256) << QStringLiteral("Öffnen 1") << QStringLiteral("Öffnen 1");
    QTest::newRow("AES-256, owner password")
        << int(Cipher::Aes256) << QStringLiteral("Öffnen 1") << QStringLiteral("owner");
    QTest::newRow("RC4, open password") << int(Cipher::Rc4) << QStringLiteral("Öffnen 1") << QStringLiteral("Öffnen 1");
    // Ghostscript refuses arguments of 2048 bytes or more, and prints them.
    const QString longPassword = QString(700, QChar(0x5BC6));
    QTest::newRow("RC4, open password of 2100 bytes") << int(Cipher::Rc4) << longPassword << longPassword;
    // AES-256 reads 127 bytes of it, which cut a character in three.
    QTest::newRow("AES-256, open password of 2100 bytes") << int(Cipher::Aes256) << QString() << longPassword;
}

void TestGSCompressor::protectedFileWithPassword()
{
    QFETCH(int, cipher);
    QFETCH(QString, openPassword);
    QFETCH(QString, password);
    const QString locked = m_dir.filePath(QStringLiteral("locked.pdf"));
    // No open password: the first 127 bytes of the password, as the handler keeps them.
    QVERIFY(openPassword.isEmpty()
                ? PdfFixtures::writeEncrypted(m_heavy, locked, Cipher(cipher), password.toUtf8().left(127), "owner")
                : PdfFixtures::writeEncrypted(m_heavy, locked, Cipher(cipher), openPassword, QStringLiteral("owner")));
    QTemporaryDir out;
    CompressFunction function;
    g_warnings.clear();

    const CompressResult result = function.compress(locked, out.path(), password);
    QCOMPARE(result.code, 0);
    QCOMPARE(pdfPageCount(result.outputPath), TwoPages);
    QVERIFY(warnings().filter(password).isEmpty());

    // Without the password Ghostscript cannot read it.
    const CompressResult refused = function.compress(locked, out.path(), QString());
    QVERIFY(refused.code != 0);
    QCOMPARE(filesIn(out.path()), QStringList{QStringLiteral("locked.pdf")});
}

void TestGSCompressor::failedRunLeavesNoOutput_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<MakeFile>("make");
    // A sub-folder of the output folder that bears the output's name.
    QTest::addColumn<bool>("folderOfThatName");
    // What the log must say of it; empty for anything.
    QTest::addColumn<QString>("logged");
    QTest::newRow("missing input") << QStringLiteral("gone.pdf") << MakeFile([](const QString&) { return true; })
                                   << false << QString();
    QTest::newRow("text named .pdf") << QStringLiteral("notes.pdf") << MakeFile(PdfFixtures::writeNotPdf) << false
                                     << QString();
    // Ghostscript runs it as an empty PostScript job and says it is done.
    QTest::newRow("empty file") << QStringLiteral("empty.pdf") << MakeFile(PdfFixtures::writeEmpty) << false
                                << QString();
    // Ghostscript says it is done, but writes one page of two.
    QTest::newRow("page object missing") << QStringLiteral("holes.pdf") << MakeFile(PdfFixtures::writeMissingPageObject)
                                         << false << QString();
    // Ghostscript cannot read them, says so in its text only, returns 0 and writes one blank page: one page, as qpdf
    // counts them.
    const QString unreadable = QStringLiteral("Ghostscript could not read ");
    QTest::newRow("no header line") << QStringLiteral("cut.pdf") << MakeFile(PdfFixtures::writeWithoutHeaderLine)
                                    << false << unreadable;
    QTest::newRow("kids that are no pages")
        << QStringLiteral("kids.pdf") << MakeFile(PdfFixtures::writeKidsThatAreNoPages) << false << unreadable;
    // A listed file swapped for a FIFO: Ghostscript waited for good, and a killed run left its files.
    QTest::newRow("FIFO") << QStringLiteral("fifo.pdf") << MakeFile(PdfFixtures::makeFifo) << false << QString();
    // The output is whole, but cannot get its name.
    QTest::newRow("folder bears the output name")
        << QStringLiteral("sub.pdf") << MakeFile([](const QString& path) { return PdfFixtures::writePlain(path, 2); })
        << true << QString();
}

void TestGSCompressor::failedRunLeavesNoOutput()
{
    QFETCH(QString, fileName);
    QFETCH(MakeFile, make);
    QFETCH(bool, folderOfThatName);
    QFETCH(QString, logged);
    QTemporaryDir in;
    QTemporaryDir out;
    const QString input = in.filePath(fileName);
    QVERIFY(make(input));
    if (folderOfThatName)
        QVERIFY(QDir(out.path()).mkdir(fileName));
    const auto function = std::make_shared<CompressFunction>();

    // A first run that succeeds, to see that a failure keeps its size.
    QCOMPARE(function->compress(m_plain, out.path(), QString()).code, 0);
    const qint64 goodSize = function->compressedSize();
    g_warnings.clear();

    const std::optional<CompressResult> result =
        resultWithin(20000, [function, input, dir = out.path()] { return function->compress(input, dir, QString()); });
    QVERIFY2(result, "the run did not end");
    QVERIFY(result->code != 0);
    QCOMPARE(result->outputPath, out.path() + QLatin1Char('/') + fileName);
    QCOMPARE(function->outputFileName(), fileName);
    QCOMPARE(function->compressedSize(), goodSize);
    // Nor the part file that Ghostscript wrote into.
    QCOMPARE(filesIn(out.path()), QStringList{QStringLiteral("plain.pdf")});
    if (folderOfThatName)
        QVERIFY(QDir(out.filePath(fileName)).isEmpty());
    if (!logged.isEmpty())
        QVERIFY2(!warnings().filter(logged).filter(input).isEmpty(), qPrintable(warnings().join(QLatin1Char('\n'))));
}

void TestGSCompressor::outputIsCheckedAsWritten_data()
{
    // What Ghostscript wrote, in a run that it reports as done with every code 0.
    QTest::addColumn<MakeFile>("make");
    QTest::addColumn<bool>("placed");
    // qpdf warns of it once it reads it, but no page needs it.
    QTest::newRow("an empty object that nothing references") << MakeFile(PdfFixtures::writeUnusedEmptyObject) << true;
    // As on a full disk. qpdf would rebuild the cross-reference table and find the page.
    QTest::newRow("cut short at its end")
        << MakeFile([](const QString& path) { return PdfFixtures::writeTruncated(path, 1); }) << false;
    QTest::newRow("a page's contents missing")
        << MakeFile([](const QString& path) { return PdfFixtures::writeMissingObject(path, 1); }) << false;
}

void TestGSCompressor::outputIsCheckedAsWritten()
{
    QFETCH(MakeFile, make);
    QFETCH(bool, placed);
    QTemporaryDir in;
    QTemporaryDir out;
    const QString input = in.filePath(QStringLiteral("one page.pdf"));
    const QString written = in.filePath(QStringLiteral("written.pdf"));
    QVERIFY(PdfFixtures::writePlain(input, 1));
    QVERIFY(make(written));
    QFile file(written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    g_standInOutput = file.readAll();
    platform::setGhostscriptStandIn([](int output) {
        platform::GhostscriptOutcome outcome;
        outcome.end = platform::GhostscriptOutcome::End::Finished;
        outcome.pagesDrawn = 1;
        if (::write(output, g_standInOutput.constData(), g_standInOutput.size()) != g_standInOutput.size())
            outcome.writeFailed = true;
        return outcome;
    });
    const auto restore = qScopeGuard([] { platform::setGhostscriptStandIn(nullptr); });

    CompressFunction function;
    const CompressResult result = function.compress(input, out.path(), QString());
    QCOMPARE(result.code == 0, placed);
    QCOMPARE(filesIn(out.path()), placed ? QStringList{QStringLiteral("one page.pdf")} : QStringList());
}

void TestGSCompressor::ghostscriptMessagesReachTheLog_data()
{
    // What Ghostscript prints, in pieces as they come: a piece, how often it comes; none for a real run on a file
    // that is no PDF.
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<int>("pieces");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("logged");
    // The lines in all, logged or counted as left out; -1 for a real run.
    QTest::addColumn<qint64>("lines");
    QTest::newRow("Ghostscript's own words")
        << QByteArray() << 0 << QString() << QStringLiteral("Ghostscript on ") << qint64(-1);
    QTest::newRow("one character a line, without end") << QByteArray("x\n").repeated(32 * 1024) << 64 << QString()
                                                       << QStringLiteral("lines (") << qint64(64 * 32 * 1024);
    // Logged in pieces of MaxLineBytes.
    QTest::newRow("a line that never ends")
        << QByteArray(64 * 1024, 'y') << 256 << QString() << QString(1024, QLatin1Char('y')) << qint64(256);
    // Once one is left out, no later one is logged, though it would fit.
    QTest::newRow("long and short lines") << QByteArray(40 * 1024, 'y') + "\nz\n"
                                          << 64 << QString() << QStringLiteral("lines (") << qint64(128);
    QTest::newRow("the password echoed") << QByteArray("Command too long: -sPDFPassword=Geheim 42\n") << 1
                                         << QStringLiteral("Geheim 42") << QStringLiteral("(password)") << qint64(1);
    QTest::newRow("the password where a line that never ends is cut")
        << QByteArray(GhostscriptMessages::MaxLineBytes - 4, 'z') + "Geheim 42" << 1 << QStringLiteral("Geheim 42")
        << QStringLiteral("(password)") << qint64(1);
}

void TestGSCompressor::ghostscriptMessagesReachTheLog()
{
    QFETCH(QByteArray, piece);
    QFETCH(int, pieces);
    QFETCH(QString, password);
    QFETCH(QString, logged);
    QFETCH(qint64, lines);
    const QString input = m_dir.filePath(QStringLiteral("minutes.pdf"));
    QVERIFY(PdfFixtures::writeNotPdf(input));
    g_warnings.clear();
    if (pieces == 0) {
        QTemporaryDir out;
        CompressFunction function;
        QVERIFY(function.compress(input, out.path(), QString()).code != 0);
    } else {
        GhostscriptMessages messages(input, password);
        for (int i = 0; i < pieces; ++i)
            messages.take(i % 2 + 1, piece);
    }

    const QStringList fromGhostscript = warnings().filter(QStringLiteral("Ghostscript on ") + input);
    QVERIFY2(!fromGhostscript.filter(logged).isEmpty(), qPrintable(fromGhostscript.join(QLatin1Char('\n'))));
    // What the log writes of each line: at least its text and a stamp.
    qint64 written = 0;
    for (const QString& line : fromGhostscript)
        written += line.toUtf8().size() + 32;
    QVERIFY2(written <= GhostscriptMessages::MaxLoggedBytes + 1024,
             qPrintable(QStringLiteral("%1 lines, %2 bytes").arg(fromGhostscript.size()).arg(written)));
    // Not even a part of it.
    if (!password.isEmpty())
        QVERIFY(warnings().filter(password.right(password.size() / 2)).isEmpty());
    if (lines >= 0) {
        // The lines logged are the first that came, in order; the rest are counted.
        QByteArrayList fed = piece.split('\n');
        fed.removeAll(QByteArray());
        const QString prefix = QStringLiteral("Ghostscript on %1: ").arg(input);
        const QRegularExpression count(QStringLiteral(": (\\d+) more lines \\(\\d+ bytes\\) of messages left out$"));
        qint64 counted = 0;
        for (const QString& line : fromGhostscript) {
            const QRegularExpressionMatch match = count.match(line);
            if (password.isEmpty() && !match.hasMatch())
                QCOMPARE(line.mid(line.indexOf(prefix) + prefix.size()),
                         QString::fromLatin1(fed.at(counted % fed.size())));
            counted += match.hasMatch() ? match.captured(1).toLongLong() : 1;
        }
        QCOMPARE(counted, lines);
    }
}

void TestGSCompressor::postScriptIsNeverRun()
{
    QTemporaryDir in;
    QTemporaryDir out;
    const TemporaryFolder temporary;
    // Where Ghostscript's safe mode would let the program write: the temporary folder.
    const QString marker = QDir(QDir::tempPath()).filePath(QStringLiteral("written by the program"));
    const QString input = in.filePath(QStringLiteral("letter.pdf"));
    QVERIFY(PdfFixtures::writePostScriptWithPdf(input, marker));
    QCOMPARE(pdfPageCount(input), qint64(1));
    const auto function = std::make_shared<CompressFunction>();

    // On a thread of its own, whose Ghostscript process starts in this temporary folder.
    const std::optional<CompressResult> run = resultWithin(
        RunLimitMs, [function, input, dir = out.path()] { return function->compress(input, dir, QString()); });
    QVERIFY2(run, "the run did not end");
    const CompressResult result = *run;
    QCOMPARE(result.code, 0);
    // The A5 page of the PDF, not the Letter page of the program.
    QPDF output;
    output.processFile(QFile::encodeName(result.outputPath).constData());
    QPDFObjectHandle page = output.getAllPages().at(0);
    QPDFObjectHandle box = page.getKey("/MediaBox");
    QCOMPARE(qRound(box.getArrayItem(2).getNumericValue()), 420);
    QCOMPARE(qRound(box.getArrayItem(3).getNumericValue()), 595);
    QVERIFY(!QFileInfo::exists(marker));
}

void TestGSCompressor::hostileEnvironment_data()
{
    // The size of a file system of its own for the output folder or the temporary folder; empty for none.
    QTest::addColumn<QByteArray>("outputSize");
    QTest::addColumn<QByteArray>("temporarySize");
    // The temporary folder, when it is not a fresh one of the test's, and the mode of a fresh one (0 as made).
    QTest::addColumn<QString>("temporary");
    QTest::addColumn<int>("temporaryMode");
    QTest::addColumn<QString>("logged");
    QTest::newRow("output folder full") << QByteArray("4k") << QByteArray() << QString() << 0
                                        << QStringLiteral("could not write all of its output");
    QTest::newRow("temporary folder full")
        << QByteArray() << QByteArray("8k") << QString() << 0 << QStringLiteral("or of its scratch files into ");
    // Room for the scratch folder, and no file in it: Ghostscript cannot even open its scratch files.
    QTest::newRow("temporary folder without a free inode") << QByteArray() << QByteArray("64k,nr_inodes=2") << QString()
                                                           << 0 << QStringLiteral("or of its scratch files into ");
    QTest::newRow("temporary folder missing") << QByteArray() << QByteArray() << QStringLiteral("/nonexistent/tmp") << 0
                                              << QStringLiteral("Cannot make a scratch folder for Ghostscript in "
                                                                "/nonexistent/tmp");
    // Not even root may make a folder there.
    QTest::newRow("temporary folder read-only") << QByteArray() << QByteArray() << QStringLiteral("/sys") << 0
                                                << QStringLiteral("Cannot make a scratch folder for Ghostscript in "
                                                                  "/sys");
    // Another member of the group could swap the scratch folder for a link to a folder of the user's.
    QTest::newRow("temporary folder the group may write to, without sticky bit")
        << QByteArray() << QByteArray() << QString() << 0770 << QStringLiteral("others may write to it");
}

void TestGSCompressor::hostileEnvironment()
{
    QFETCH(QByteArray, outputSize);
    QFETCH(QByteArray, temporarySize);
    QFETCH(QString, temporary);
    QFETCH(int, temporaryMode);
    QFETCH(QString, logged);
    QTemporaryDir out;
    QTemporaryDir scratch;
    if (temporaryMode != 0)
        QCOMPARE(::chmod(QFile::encodeName(scratch.path()).constData(), static_cast<mode_t>(temporaryMode)), 0);
    const SmallFileSystem outputSystem(out.path(), outputSize);
    const SmallFileSystem temporarySystem(scratch.path(), temporarySize);
    if ((!outputSize.isEmpty() && !outputSystem.isMounted()) ||
        (!temporarySize.isEmpty() && !temporarySystem.isMounted()))
        QSKIP("A small file system of the test's own needs root");
    const TemporaryFolder folder(temporary.isEmpty() ? scratch.path() : temporary);
    g_warnings.clear();

    const auto function = std::make_shared<CompressFunction>();
    // On a thread of its own, whose Ghostscript process starts in this temporary folder.
    const std::optional<CompressResult> result =
        resultWithin(RunLimitMs, [function, input = m_heavy, dir = out.path()] {
            return function->compress(input, dir, QString());
        });
    QVERIFY2(result, "the run did not end");
    QVERIFY2(result->code != 0, qPrintable(warnings().join(QLatin1Char('\n'))));
    QCOMPARE(filesIn(out.path()), QStringList());
    QVERIFY2(!warnings().filter(logged).isEmpty(), qPrintable(warnings().join(QLatin1Char('\n'))));
    if (temporary.isEmpty())
        QVERIFY(folder.becomesEmpty());
}

void TestGSCompressor::oneProcessServesAThread_data()
{
    // Steps on one pool thread: "plain" (succeeds), "bad" (Ghostscript fails on it), "crash" (Ghostscript crashes on
    // it), "killed" (its process is killed while it runs), "kill idle" (the thread's process is killed between runs),
    // "other build" (the process answers as another build would), "silent" (a process that never says a word), "look"
    // (at the waiting process), "stop" (as the program does on its way out), "swap scratch" (another user puts a link
    // to a folder of the user's in the place of the waiting process's scratch folder), "hungry" (a picture that takes
    // about 100 MB to decode), "stop idle" (the waiting process stops reading), "long password" (a plain file with a
    // request too large for the channel's buffers), "file size limit" (its process is ended by SIGXFSZ while it runs),
    // "two runs a process" and "no memory to keep" (lower the limits after which a process is replaced).
    QTest::addColumn<QStringList>("steps");
    // After each step, the processes that wait for the thread's next run: a letter each, "-" for none.
    QTest::addColumn<QStringList>("waiting");
    QTest::newRow("two files, one process") << QStringList{"plain", "plain"} << QStringList{"A", "A"};
    QTest::newRow("a fresh process after a failure")
        << QStringList{"plain", "bad", "plain"} << QStringList{"A", "-", "B"};
    QTest::newRow("a crash fails only its own file")
        << QStringList{"plain", "crash", "plain"} << QStringList{"A", "-", "B"};
    QTest::newRow("killed while waiting") << QStringList{"plain", "kill idle", "plain"} << QStringList{"A", "-", "B"};
    QTest::newRow("killed during a second run, run again")
        << QStringList{"plain", "killed", "plain"} << QStringList{"A", "B", "B"};
    QTest::newRow("killed during a first run") << QStringList{"killed", "plain"} << QStringList{"-", "A"};
    QTest::newRow("another build") << QStringList{"other build", "plain"} << QStringList{"-", "A"};
    QTest::newRow("what the process is given") << QStringList{"plain", "look"} << QStringList{"A", "A"};
    // As a cleaner of old temporary files may.
    QTest::newRow("scratch folder removed while waiting")
        << QStringList{"plain", "remove scratch", "plain"} << QStringList{"A", "A", "B"};
    QTest::newRow("scratch folder swapped for a link while waiting")
        << QStringList{"plain", "swap scratch", "plain"} << QStringList{"A", "A", "B"};
    // It is sent nothing, and holds its file for seconds, not for the time limit.
    QTest::newRow("a process that says nothing") << QStringList{"silent", "plain"} << QStringList{"-", "A"};
    QTest::newRow("a crash after a failure is a first run")
        << QStringList{"plain", "bad", "crash", "plain"} << QStringList{"A", "-", "-", "B"};
    QTest::newRow("replaced after its runs")
        << QStringList{"two runs a process", "plain", "plain", "plain"} << QStringList{"-", "A", "-", "B"};
    QTest::newRow("replaced when it holds too much")
        << QStringList{"no memory to keep", "plain", "plain"} << QStringList{"-", "-", "-"};
    QTest::newRow("memory given back while waiting") << QStringList{"hungry", "look"} << QStringList{"A", "A"};
    // The request goes to a fresh process rather than wait for good.
    QTest::newRow("stopped while waiting, then a long request")
        << QStringList{"plain", "stop idle", "long password"} << QStringList{"A", "A", "B"};
    // Not the fault of a process that served others: it would end a fresh one as well.
    QTest::newRow("a file-size limit ends a second run")
        << QStringList{"plain", "file size limit", "plain"} << QStringList{"A", "-", "B"};
    // As on the program's way out. Last: nothing runs any more after it.
    QTest::newRow("a stop ends the waiting process, and no process starts after it")
        << QStringList{"plain", "stop", "plain after the stop"} << QStringList{"A", "-", "-"};
}

void TestGSCompressor::oneProcessServesAThread()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, waiting);
    QTemporaryDir in;
    QTemporaryDir out;
    const TemporaryFolder temporary;
    const QString bad = in.filePath(QStringLiteral("notes.pdf"));
    const QString deep = in.filePath(QStringLiteral("deep.pdf"));
    QVERIFY(PdfFixtures::writeNotPdf(bad));
    QVERIFY(PdfFixtures::writeNestedForms(deep, 10000, 1));
    // The crash comes from a stack that nested forms overflow: the same on every machine.
    struct rlimit stack = {};
    ::getrlimit(RLIMIT_STACK, &stack);
    const struct rlimit knownStack = {8 * 1024 * 1024, stack.rlim_max};
    QCOMPARE(::setrlimit(RLIMIT_STACK, &knownStack), 0);
    const auto restoreStack = qScopeGuard([&stack] { ::setrlimit(RLIMIT_STACK, &stack); });
    const auto restoreBuild = qScopeGuard([] {
        platform::setGhostscriptBuildId(QByteArray());
        platform::setGhostscriptProgram(QByteArray());
        platform::setGhostscriptProcessLimits(0, 0);
    });
    const QString hungry = in.filePath(QStringLiteral("hungry.pdf"));
    QVERIFY(PdfFixtures::writeMemoryHungryPicture(hungry));
    // A folder of the user's, with a document in it.
    QTemporaryDir mine;
    const QString document = QDir(mine.path()).filePath(QStringLiteral("keep.pdf"));
    QVERIFY(PdfFixtures::writePlain(document, 1));
    const QList<ChildProcesses::Process> before = ChildProcesses::ghostscriptChildren(::getpid());
    QThreadPool pool;
    pool.setMaxThreadCount(1);
    pool.setExpiryTimeout(-1);
    CompressFunction function;
    // Waits for the task without waitForDone, which would end the pool's thread.
    QSemaphore finished;
    // A program may run with signals ignored (SIGPIPE, SIGHUP under nohup) or blocked on the thread that starts
    // Ghostscript: none of that reaches its process.
    const bool look = steps.contains(QStringLiteral("look"));
    const IgnoredSignal ignoredPipe(SIGPIPE, look);
    // Nor any descriptor that it holds without close-on-exec, as one inherited from whoever started it.
    const int inheritable = look ? ::open("/dev/null", O_RDONLY) : -1;
    const auto closeInheritable = qScopeGuard([inheritable] {
        if (inheritable >= 0)
            ::close(inheritable);
    });
    const auto compress = [&](const QString& input, const QString& password = QString()) {
        CompressResult done;
        pool.start([&] {
            sigset_t blocked;
            sigemptyset(&blocked);
            sigaddset(&blocked, SIGUSR1);
            if (look)
                ::pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
            done = function.compress(input, out.path(), password);
            finished.release();
        });
        finished.acquire();
        return done;
    };

    QList<ChildProcesses::Process> named;
    QStringList seen;
    for (const QString& step : qAsConst(steps)) {
        g_warnings.clear();
        if (step == QLatin1String("plain")) {
            QCOMPARE(compress(m_plain).code, 0);
        } else if (step == QLatin1String("bad")) {
            QVERIFY(compress(bad).code != 0);
        } else if (step == QLatin1String("crash")) {
            // Made again only when the process had served others.
            const int servedBefore = newProcesses(before).size();
            QCOMPARE(compress(deep).code, GSCompressor::ChildEndedCode);
            QCOMPARE(warnings().filter(QStringLiteral("compressed again")).size(), servedBefore);
        } else if (step == QLatin1String("hungry")) {
            QCOMPARE(compress(hungry).code, 0);
        } else if (step == QLatin1String("long password")) {
            QCOMPARE(compress(m_plain, QString(1024 * 1024, QLatin1Char('p'))).code, 0);
        } else if (step == QLatin1String("two runs a process")) {
            platform::setGhostscriptProcessLimits(2, 0);
        } else if (step == QLatin1String("no memory to keep")) {
            platform::setGhostscriptProcessLimits(0, 1);
        } else if (step == QLatin1String("stop")) {
            QCOMPARE(GSCompressor::stopAllRuns(), 0);
            QVERIFY(QTest::qWaitFor([&] { return newProcesses(before).isEmpty(); }, RunLimitMs));
        } else if (step == QLatin1String("plain after the stop")) {
            // A process that would start could not.
            platform::setGhostscriptProgram("/nonexistent/ZolvaneGhostscript");
            QCOMPARE(compress(m_plain).code, GSCompressor::ChildEndedCode);
            QVERIFY(!warnings().filter(QStringLiteral("as the program ends")).isEmpty());
            QVERIFY(warnings().filter(QStringLiteral("Cannot start")).isEmpty());
        } else if (step == QLatin1String("stop idle")) {
            const QList<ChildProcesses::Process> processes = newProcesses(before);
            QCOMPARE(processes.size(), 1);
            QCOMPARE(::kill(processes.at(0).pid, SIGSTOP), 0);
        } else if (step == QLatin1String("other build")) {
            platform::setGhostscriptBuildId("another build");
            QCOMPARE(compress(m_plain).code, GSCompressor::ChildEndedCode);
            QVERIFY(!warnings().filter(QStringLiteral("belongs to another build")).isEmpty());
            platform::setGhostscriptBuildId(QByteArray());
        } else if (step == QLatin1String("kill idle")) {
            for (const ChildProcesses::Process& process : newProcesses(before))
                QCOMPARE(::kill(process.pid, SIGKILL), 0);
            QVERIFY(QTest::qWaitFor([&] { return newProcesses(before).isEmpty(); }, RunLimitMs));
        } else if (step == QLatin1String("killed") || step == QLatin1String("file size limit")) {
            const int signal = step == QLatin1String("killed") ? SIGKILL : SIGXFSZ;
            const bool servedBefore = !newProcesses(before).isEmpty() && signal == SIGKILL;
            CompressResult done;
            pool.start([&] {
                done = function.compress(m_heavy, out.path(), QString());
                finished.release();
            });
            pid_t child = 0;
            QVERIFY(QTest::qWaitFor(
                [&] { return (child = ChildProcesses::ghostscriptChildReading(::getpid(), m_heavy)) != 0; },
                RunLimitMs));
            QCOMPARE(::kill(child, signal), 0);
            finished.acquire();
            if (signal == SIGXFSZ)
                QVERIFY(!warnings().filter(QStringLiteral("SIGXFSZ (File size limit exceeded)")).isEmpty());
            QCOMPARE(done.code, servedBefore ? 0 : GSCompressor::ChildEndedCode);
            QCOMPARE(warnings().filter(QStringLiteral("compressed again in a fresh process")).size(),
                     servedBefore ? 1 : 0);
        } else if (step == QLatin1String("silent")) {
            const QString silent = in.filePath(QStringLiteral("silent"));
            QFile script(silent);
            QVERIFY(script.open(QIODevice::WriteOnly) && script.write("#!/bin/sh\nexec sleep 600\n") > 0);
            script.close();
            QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
            platform::setGhostscriptProgram(QFile::encodeName(silent));
            QCOMPARE(compress(m_plain).code, GSCompressor::ChildEndedCode);
            QVERIFY(!warnings().filter(QStringLiteral("Ghostscript's process did not start")).isEmpty());
            platform::setGhostscriptProgram(QByteArray());
        } else if (step == QLatin1String("swap scratch")) {
            const QList<ChildProcesses::Process> processes = newProcesses(before);
            QCOMPARE(processes.size(), 1);
            const QString scratch = scratchFolderOf(processes.at(0).pid);
            QVERIFY(QDir().rename(scratch, scratch + QStringLiteral(".moved")));
            QVERIFY(QFile::link(mine.path(), scratch));
        } else if (step == QLatin1String("remove scratch")) {
            const QList<ChildProcesses::Process> processes = newProcesses(before);
            QCOMPARE(processes.size(), 1);
            QVERIFY(QDir(scratchFolderOf(processes.at(0).pid)).removeRecursively());
        } else if (step == QLatin1String("look")) {
            const QList<ChildProcesses::Process> processes = newProcesses(before);
            QCOMPARE(processes.size(), 1);
            const pid_t pid = processes.at(0).pid;
            QCOMPARE(procFile(pid, "oom_score_adj").trimmed(), QByteArray("1000"));
            QVERIFY2(
                procFile(pid, "limits").contains(QByteArrayLiteral("Max core file size        0                    0")),
                procFile(pid, "limits").constData());
            // The signals of the system, 1 to 31; the C library keeps the next two for itself.
            QCOMPARE(statusField(pid, "SigIgn").toULongLong(nullptr, 16) & 0x7fffffffu, 0u);
            QCOMPARE(statusField(pid, "SigBlk").toULongLong(nullptr, 16) & 0x7fffffffu, 0u);
            QCOMPARE(::getpgid(pid), pid);
            // A scratch folder of its own, which no one else may read.
            const QString scratch = scratchFolderOf(pid);
            QCOMPARE(QFileInfo(scratch).dir().path(), temporary.path());
            QCOMPARE(QFileInfo(scratch).permissions() & 0x0077, QFileDevice::Permissions());
            // Nothing of the program's, and nothing of the last run: no input or output that keeps a USB stick from
            // being unmounted. Only its standard streams, the channel and its folders.
            QCOMPARE(QDir(QStringLiteral("/proc/%1/fd").arg(pid))
                         .entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                     QStringList({"0", "1", "2", "3", "6", "7"}));
            // A fresh process holds about 20 MB; what a run freed goes back once no run follows within a second.
            QVERIFY2(QTest::qWaitFor([&] { return statusField(pid, "VmRSS").split(' ').value(0).toInt() < 32 * 1024; },
                                     5000),
                     statusField(pid, "VmRSS").constData());
        } else {
            QFAIL(qPrintable(step));
        }

        QString letters;
        for (const ChildProcesses::Process& process : newProcesses(before)) {
            int index = -1;
            for (int i = 0; i < named.size(); ++i) {
                if (named.at(i).pid == process.pid && named.at(i).startTime == process.startTime)
                    index = i;
            }
            if (index < 0) {
                index = named.size();
                named << process;
            }
            letters += QChar('A' + index);
        }
        seen << (letters.isEmpty() ? QStringLiteral("-") : letters);
    }
    QCOMPARE(seen, waiting);
    QVERIFY(QFileInfo::exists(document));
    // The process goes with its thread, and its scratch folder with it.
    pool.setExpiryTimeout(0);
    pool.clear();
    pool.waitForDone();
    QTRY_VERIFY_WITH_TIMEOUT(newProcesses(before).isEmpty(), RunLimitMs);
    // Every process that ended was reaped.
    for (const ChildProcesses::Process& process : qAsConst(named))
        QTRY_VERIFY_WITH_TIMEOUT(!ChildProcesses::isUnreaped(process), RunLimitMs);
}

void TestGSCompressor::timeLimitDescription_data()
{
    QTest::addColumn<qint64>("pages");
    QTest::addColumn<QString>("description");
    QTest::newRow("one page") << qint64(1) << QStringLiteral("603 s (600 s, and 3 s for each of 1 page)");
    QTest::newRow("2000 pages") << qint64(2000) << QStringLiteral("6600 s (600 s, and 3 s for each of 2000 pages)");
}

void TestGSCompressor::timeLimitDescription()
{
    QFETCH(qint64, pages);
    QFETCH(QString, description);
    QCOMPARE(GSCompressor::describeTimeLimit(pages), description);
}

void TestGSCompressor::percentInNamesMakesOneFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("page template") << QStringLiteral("100%d report.pdf");
    QTest::newRow("lone percent") << QStringLiteral("50%.pdf");
    QTest::newRow("padded template") << QStringLiteral("%03d.pdf");
}

void TestGSCompressor::percentInNamesMakesOneFile()
{
    QFETCH(QString, fileName);
    QTemporaryDir in;
    QTemporaryDir out;
    const QString input = in.filePath(fileName);
    QVERIFY(QFile::copy(m_plain, input));
    CompressFunction function;

    const CompressResult result = function.compress(input, out.path(), QString());
    QCOMPARE(result.code, 0);
    QCOMPARE(filesIn(out.path()), QStringList{fileName});
    QCOMPARE(pdfPageCount(result.outputPath), TwoPages);
}

void TestGSCompressor::nonAsciiNames()
{
    QTemporaryDir in;
    QTemporaryDir out;
    const QString name = QStringLiteral("Résumé 日本.pdf");
    const QString input = in.filePath(name);
    const QString outputDir = out.filePath(QStringLiteral("Ausgabe ñ"));
    QVERIFY(QFile::copy(m_plain, input));
    CompressFunction function;

    const CompressResult result = function.compress(input, outputDir, QStringLiteral("unused"));
    QCOMPARE(result.code, 0);
    QCOMPARE(filesIn(outputDir), QStringList{name});
    QCOMPARE(pdfPageCount(result.outputPath), TwoPages);
}

void TestGSCompressor::outputFolders_data()
{
    // Folders are relative to the current folder, a fresh one for each row.
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("written");
    // Files that another program puts into the folder while Ghostscript writes, named by what they add to the
    // output's base name ("" the output's own name, "_1" the next); and what the output's name gets instead.
    QTest::addColumn<QStringList>("appearDuringRun");
    QTest::addColumn<QString>("expectedAddition");
    // Where the input lies, under a folder of its own; empty for that folder itself.
    QTest::addColumn<QString>("inputFolder");
    QTest::newRow("missing, with its parents")
        << QStringLiteral("deep/er/folder") << true << QStringList() << QString() << QString();
    // Filled in two steps, the "%2" would take in the file name.
    QTest::newRow("percent in the folder name")
        << QStringLiteral("Q3 up 100%2") << true << QStringList() << QString() << QString();
    // Would reserve the name in the current folder and write into the root folder.
    QTest::newRow("none") << QString() << false << QStringList() << QString() << QString();
    // Nothing is overwritten: the output takes the next free name when it is whole.
    QTest::newRow("name taken during the run")
        << QStringLiteral("taken") << true << QStringList{QString()} << QStringLiteral("_1") << QString();
    QTest::newRow("name and the next taken during the run")
        << QStringLiteral("taken") << true << QStringList{QString(), QStringLiteral("_1")} << QStringLiteral("_2")
        << QString();
    // Names that Ghostscript refuses when it is given them: "|" and "%pipe" begin a pipe, and an argument may not
    // reach 2048 bytes.
    for (const QString& odd : {QStringLiteral("|x"), QStringLiteral("%pipe%x")})
        QTest::newRow(qPrintable(QStringLiteral("input and output under %1").arg(odd)))
            << odd << true << QStringList() << QString() << odd;
    QString deep = (QString(250, QLatin1Char('d')) + QLatin1Char('/')).repeated(12);
    deep.chop(1);
    QTest::newRow("input and output paths of 3000 bytes") << deep << true << QStringList() << QString() << deep;
}

void TestGSCompressor::outputFolders()
{
    QFETCH(QString, folder);
    QFETCH(bool, written);
    QFETCH(QStringList, appearDuringRun);
    QFETCH(QString, expectedAddition);
    QFETCH(QString, inputFolder);
    QTemporaryDir in;
    QTemporaryDir current;
    // A name no other file in the root folder bears.
    const QString baseName = QFileInfo(in.path()).fileName();
    const QString name = baseName + QStringLiteral(".pdf");
    const QString input = QDir(in.filePath(inputFolder)).filePath(name);
    QVERIFY(QDir(in.path()).mkpath(inputFolder.isEmpty() ? QStringLiteral(".") : inputFolder));
    // Pictures give the test time to see the run in progress.
    QVERIFY(QFile::copy(appearDuringRun.isEmpty() ? m_plain : m_heavy, input));
    const QString previousCurrent = QDir::currentPath();
    const auto restoreCurrent = qScopeGuard([&previousCurrent] { QDir::setCurrent(previousCurrent); });
    QVERIFY(QDir::setCurrent(current.path()));
    // Should the refusal ever fail, the root folder keeps no trace of the run.
    const auto removeStray = qScopeGuard([&name] { QFile::remove(QLatin1Char('/') + name); });

    const auto function = std::make_shared<CompressFunction>();
    std::future<CompressResult> running =
        startDetached([function, input, folder] { return function->compress(input, folder, {}); });
    if (!appearDuringRun.isEmpty()) {
        const auto partFiles = [&folder] {
            return QDir(folder).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden);
        };
        QVERIFY(QTest::qWaitFor(
            [&] {
                return !partFiles().isEmpty() || running.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
            },
            RunLimitMs));
        QVERIFY2(!partFiles().isEmpty(), "The run ended before the test saw it write");
        for (const QString& addition : qAsConst(appearDuringRun)) {
            QFile other(QDir(folder).filePath(baseName + addition + QStringLiteral(".pdf")));
            QVERIFY(other.open(QIODevice::NewOnly));
            other.write("another program's");
        }
    }
    QVERIFY2(running.wait_for(std::chrono::milliseconds(RunLimitMs)) == std::future_status::ready,
             "The run did not end");
    const CompressResult result = running.get();
    QCOMPARE(result.outputPath, folder + QLatin1Char('/') + baseName + expectedAddition + QStringLiteral(".pdf"));
    for (const QString& addition : qAsConst(appearDuringRun)) {
        QFile other(QDir(folder).filePath(baseName + addition + QStringLiteral(".pdf")));
        QVERIFY(other.open(QIODevice::ReadOnly));
        QCOMPARE(other.readAll(), QByteArray("another program's"));
    }
    if (written) {
        QCOMPARE(result.code, 0);
        QCOMPARE(pdfPageCount(result.outputPath), TwoPages);
    } else {
        QVERIFY(result.code != 0);
        QVERIFY(QDir(current.path()).isEmpty());
        QVERIFY(!QFileInfo::exists(result.outputPath));
    }
}

void TestGSCompressor::concurrentRunsKeepEveryFile()
{
    constexpr int Runs = 8;
    QTemporaryDir in;
    QTemporaryDir out;
    // What the user already keeps in the output folder under the same name.
    const QString existing = out.filePath(QStringLiteral("same.pdf"));
    QVERIFY(QFile::copy(m_heavy, existing));

    std::vector<std::unique_ptr<CompressFunction>> functions;
    QVector<CompressResult> results(Runs);
    QThreadPool pool;
    pool.setMaxThreadCount(Runs);
    for (int i = 0; i < Runs; ++i) {
        QVERIFY(QDir(in.path()).mkdir(QString::number(i)));
        const QString input = in.filePath(QStringLiteral("%1/same.pdf").arg(i));
        QVERIFY(QFile::copy(m_plain, input));
        functions.push_back(std::make_unique<CompressFunction>());
        CompressFunction* function = functions.back().get();
        CompressResult* result = &results[i];
        pool.start([function, result, input, &out] { *result = function->compress(input, out.path(), QString()); });
    }
    pool.waitForDone();

    QSet<QString> outputs;
    for (const CompressResult& result : qAsConst(results)) {
        QCOMPARE(result.code, 0);
        QCOMPARE(pdfPageCount(result.outputPath), TwoPages);
        outputs.insert(result.outputPath);
    }
    QCOMPARE(outputs.size(), Runs);
    QVERIFY(!outputs.contains(existing));
    QCOMPARE(filesIn(out.path()).size(), Runs + 1);
    QCOMPARE(pdfPageCount(existing), TwoPages);
    QCOMPARE(QFileInfo(existing).size(), QFileInfo(m_heavy).size());
}

void TestGSCompressor::runThatDoesNotEnd_data()
{
    // Sent to the run's Ghostscript while it works; 0 for none, when the run's time limit ends it.
    QTest::addColumn<int>("signal");
    // The time limit, when the row sets one: seconds, and seconds for each page (the file has one).
    QTest::addColumn<int>("limitSeconds");
    QTest::addColumn<int>("limitSecondsPerPage");
    // How often the page tree names the file's page.
    QTest::addColumn<int>("pageReferences");
    // As some programs start others: their children's ends would go unseen.
    QTest::addColumn<bool>("childEndsIgnored");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("logged");
    // As the kernel's out-of-memory killer does.
    QTest::newRow("Ghostscript killed") << int(SIGKILL) << -1 << -1 << 1 << false << GSCompressor::ChildEndedCode
                                        << QStringLiteral("Ghostscript ended by SIGKILL");
    QTest::newRow("Ghostscript crashes") << int(SIGSEGV) << -1 << -1 << 1 << false << GSCompressor::ChildEndedCode
                                         << QStringLiteral("Ghostscript ended by SIGSEGV");
    QTest::newRow("Ghostscript crashes, SIGCHLD ignored")
        << int(SIGSEGV) << -1 << -1 << 1 << true << GSCompressor::ChildEndedCode
        << QStringLiteral("Ghostscript ended by SIGSEGV");
    QTest::newRow("past the time limit") << 0 << 1 << 0 << 1 << false << GSCompressor::TimeOutCode
                                         << QStringLiteral("time limit of 1 s (1 s, and 0 s for each of 1 page)");
    QTest::newRow("past the time limit for its pages")
        << 0 << 0 << 1 << 1 << false << GSCompressor::TimeOutCode
        << QStringLiteral("time limit of 1 s (0 s, and 1 s for each of 1 page)");
    // One page to render, however often it is named.
    QTest::newRow("past the time limit for its pages, one page named 1000 times")
        << 0 << 0 << 1 << 1000 << false << GSCompressor::TimeOutCode
        << QStringLiteral("time limit of 1 s (0 s, and 1 s for each of 1 page)");
}

void TestGSCompressor::runThatDoesNotEnd()
{
    QFETCH(int, signal);
    QFETCH(int, limitSeconds);
    QFETCH(int, limitSecondsPerPage);
    QFETCH(int, pageReferences);
    QFETCH(bool, childEndsIgnored);
    QFETCH(int, code);
    QFETCH(QString, logged);
    QTemporaryDir in;
    QTemporaryDir out;
    // Hours of work for Ghostscript, behind a password that other users of the machine must not see.
    const QString endless = in.filePath(QStringLiteral("endless.pdf"));
    const QString locked = in.filePath(QStringLiteral("locked endless.pdf"));
    const QString password = QStringLiteral("Geheimnis 42");
    QVERIFY(PdfFixtures::writeNestedForms(endless, 30, 2, pageReferences));
    QVERIFY(PdfFixtures::writeEncrypted(endless, locked, Cipher::Aes256, password, QStringLiteral("owner")));
    const TemporaryFolder temporary;
    if (limitSeconds >= 0)
        GSCompressor::setTimeLimit(std::chrono::seconds(limitSeconds), std::chrono::seconds(limitSecondsPerPage));
    const auto restoreLimit =
        qScopeGuard([] { GSCompressor::setTimeLimit(std::chrono::minutes(10), std::chrono::seconds(3)); });
    const IgnoredSignal ignoredChildEnds(SIGCHLD, childEndsIgnored);
    g_warnings.clear();

    const auto function = std::make_shared<CompressFunction>();
    std::future<CompressResult> running = startDetached(
        [function, locked, password, dir = out.path()] { return function->compress(locked, dir, password); });
    if (signal != 0) {
        pid_t child = 0;
        QVERIFY(QTest::qWaitFor(
            [&] { return (child = ChildProcesses::ghostscriptChildReading(::getpid(), locked)) != 0; }, RunLimitMs));
        QVERIFY(!ChildProcesses::commandLineAndEnvironment(child).contains(password.toUtf8()));
        QCOMPARE(::kill(child, signal), 0);
    }
    QVERIFY2(running.wait_for(std::chrono::milliseconds(RunLimitMs)) == std::future_status::ready,
             "The run did not end");
    QCOMPARE(running.get().code, code);
    QCOMPARE(filesIn(out.path()), QStringList());
    // Nor anything of Ghostscript's scratch files, which held the locked file's contents.
    QVERIFY(temporary.becomesEmpty());
    const QMutexLocker locker(&g_warningsMutex);
    QVERIFY2(!g_warnings.filter(logged).filter(locked).isEmpty(), qPrintable(g_warnings.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestGSCompressor)
#include "tst_gscompressor.moc"
