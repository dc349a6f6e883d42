#include "ChildProcesses.h"
#include "CompressFunction.h"
#include "GSCompressor.h"
#include "PdfFixtures.h"
#include "PdfPageCount.h"
#include "TimeLimit.h"

#include <QtTest>

#include <signal.h>
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

} // namespace

class TestGSCompressor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void argumentVector_data();
    void argumentVector();

    void levelsWriteValidPdf_data();
    void levelsWriteValidPdf();
    void imageHeavyFileShrinks();
    void protectedFileWithPassword_data();
    void protectedFileWithPassword();
    void failedRunLeavesNoOutput_data();
    void failedRunLeavesNoOutput();
    void ghostscriptErrorsReachTheLog();
    void percentInNamesMakesOneFile_data();
    void percentInNamesMakesOneFile();
    void nonAsciiNames();
    void outputFolders_data();
    void outputFolders();
    void concurrentRunsKeepEveryFile();
    void runThatDoesNotEnd_data();
    void runThatDoesNotEnd();

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
    QTest::newRow("smallest") << 0 << 1;
    QTest::newRow("medium") << 1 << 1;
    QTest::newRow("largest") << 2 << 1;
    QTest::newRow("custom 3") << 3 << 3;
    QTest::newRow("custom 7") << 3 << 7;
    QTest::newRow("custom 9") << 3 << 9;
    QTest::newRow("custom 10") << 3 << 10;
}

void TestGSCompressor::levelsWriteValidPdf()
{
    QFETCH(int, level);
    QFETCH(int, customValue);
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
    QTest::addColumn<QString>("password");
    QTest::newRow("AES-256, open password") << int(Cipher::Aes256) << QStringLiteral("Öffnen 1");
    QTest::newRow("AES-256, owner password") << int(Cipher::Aes256) << QStringLiteral("owner");
    QTest::newRow("RC4, open password") << int(Cipher::Rc4) << QStringLiteral("Öffnen 1");
}

void TestGSCompressor::protectedFileWithPassword()
{
    QFETCH(int, cipher);
    QFETCH(QString, password);
    const QString locked = m_dir.filePath(QStringLiteral("locked.pdf"));
    QVERIFY(PdfFixtures::writeEncrypted(m_heavy, locked, Cipher(cipher), QStringLiteral("Öffnen 1"),
                                        QStringLiteral("owner")));
    QTemporaryDir out;
    CompressFunction function;

    const CompressResult result = function.compress(locked, out.path(), password);
    QCOMPARE(result.code, 0);
    QCOMPARE(pdfPageCount(result.outputPath), TwoPages);

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
    QTest::newRow("missing input") << QStringLiteral("gone.pdf") << MakeFile([](const QString&) { return true; })
                                   << false;
    QTest::newRow("text named .pdf") << QStringLiteral("notes.pdf") << MakeFile(PdfFixtures::writeNotPdf) << false;
    // Ghostscript runs it as an empty PostScript job and says it is done.
    QTest::newRow("empty file") << QStringLiteral("empty.pdf") << MakeFile(PdfFixtures::writeEmpty) << false;
    // Ghostscript says it is done, but writes one page of two.
    QTest::newRow("page object missing") << QStringLiteral("holes.pdf") << MakeFile(PdfFixtures::writeMissingPageObject)
                                         << false;
    // A listed file swapped for a FIFO: Ghostscript waited for good, and a killed run left its files.
    QTest::newRow("FIFO") << QStringLiteral("fifo.pdf") << MakeFile(PdfFixtures::makeFifo) << false;
    // The output is whole, but cannot get its name.
    QTest::newRow("folder bears the output name")
        << QStringLiteral("sub.pdf") << MakeFile([](const QString& path) { return PdfFixtures::writePlain(path, 2); })
        << true;
}

void TestGSCompressor::failedRunLeavesNoOutput()
{
    QFETCH(QString, fileName);
    QFETCH(MakeFile, make);
    QFETCH(bool, folderOfThatName);
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
}

void TestGSCompressor::ghostscriptErrorsReachTheLog()
{
    QTemporaryDir out;
    const QString input = m_dir.filePath(QStringLiteral("not there.pdf"));
    g_warnings.clear();
    CompressFunction function;
    QVERIFY(function.compress(input, out.path(), QString()).code != 0);

    const QMutexLocker locker(&g_warningsMutex);
    const QStringList fromGhostscript = g_warnings.filter(QStringLiteral("Ghostscript on ") + input);
    QVERIFY2(!fromGhostscript.filter(QStringLiteral("undefinedfilename")).isEmpty(),
             qPrintable(g_warnings.join(QLatin1Char('\n'))));
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
                                         << QStringLiteral("time limit of 1 s (1 s, and 0 s for each of 1 pages)");
    QTest::newRow("past the time limit for its pages")
        << 0 << 0 << 1 << 1 << false << GSCompressor::TimeOutCode
        << QStringLiteral("time limit of 1 s (0 s, and 1 s for each of 1 pages)");
    // One page to render, however often it is named.
    QTest::newRow("past the time limit for its pages, one page named 1000 times")
        << 0 << 0 << 1 << 1000 << false << GSCompressor::TimeOutCode
        << QStringLiteral("time limit of 1 s (0 s, and 1 s for each of 1 pages)");
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
    if (limitSeconds >= 0)
        GSCompressor::setTimeLimit(std::chrono::seconds(limitSeconds), std::chrono::seconds(limitSecondsPerPage));
    const auto restoreLimit =
        qScopeGuard([] { GSCompressor::setTimeLimit(std::chrono::minutes(10), std::chrono::seconds(3)); });
    struct sigaction previous = {};
    if (childEndsIgnored) {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        QCOMPARE(::sigaction(SIGCHLD, &ignore, &previous), 0);
    }
    const auto restoreChildEnds = qScopeGuard([&] {
        if (childEndsIgnored)
            ::sigaction(SIGCHLD, &previous, nullptr);
    });
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
    const QMutexLocker locker(&g_warningsMutex);
    QVERIFY2(!g_warnings.filter(logged).filter(locked).isEmpty(), qPrintable(g_warnings.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestGSCompressor)
#include "tst_gscompressor.moc"
