#include "GSCompressor.h"

#include "LogPosition.h"
#include "PdfPageCount.h"
#include "UniqueFileName.h"
#include "platform/GhostscriptRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <ghostscript/gserrors.h>

#include <atomic>

const int ImageResolutionByLevel[10] = {72, 100, 122, 144, 150, 180, 210, 240, 270, 300};
const int MonoImageResolutionByLevel[10] = {300, 400, 500, 600, 700, 800, 900, 1000, 1100, 1200};

// The output could not be read back as the document it should be.
const int GSCompressor::BadOutputCode = gs_error_ioerror;
// PostScript's own error for a job that took too long.
const int GSCompressor::TimeOutCode = gs_error_timeout;
// Ghostscript's "fatal internal error": what else is a crash.
const int GSCompressor::ChildEndedCode = gs_error_Fatal;

namespace {

// The custom value that takes Ghostscript's own "/prepress" preset instead of the tables.
constexpr int PrepressCustomValue = 10;

QByteArrayList customLevelArguments(int customValue)
{
    // The dialog offers 1..10 only; anything else must still stay inside the tables.
    const int value = qBound(1, customValue, PrepressCustomValue);
    if (value == PrepressCustomValue)
        return {QByteArrayLiteral("-dPDFSETTINGS=/prepress")};

    QByteArrayList args;
    if (value <= 5) {
        args << QByteArrayLiteral("-dGrayImageDownsampleType=/Subsample")
             << QByteArrayLiteral("-dColorImageDownsampleType=/Subsample")
             << QByteArrayLiteral("-sColorConversionStrategy=RGB");
    } else if (value == 9) {
        args << QByteArrayLiteral("-sColorConversionStrategy=LeaveColorUnchanged")
             << QByteArrayLiteral("-dPreserveOPIComments=true") << QByteArrayLiteral("-dPreserveHalftoneInfo=true")
             << QByteArrayLiteral("-dDoThumbnails=true") << QByteArrayLiteral("-dUCRandBGInfo=/Preserve")
             << QByteArrayLiteral("-dEmbedAllFonts=true") << QByteArrayLiteral("-dCreateJobTicket=true")
             << QByteArrayLiteral("-dCannotEmbedFontPolicy=/Error");
    }

    const QByteArray resolution = QByteArray::number(ImageResolutionByLevel[value - 1]);
    const QByteArray monoResolution = QByteArray::number(MonoImageResolutionByLevel[value - 1]);
    args << QByteArrayLiteral("-dOptimize=true") << QByteArrayLiteral("-dColorImageDownsampleThreshold=1.0")
         << QByteArrayLiteral("-dGrayImageDownsampleThreshold=1.0")
         << QByteArrayLiteral("-dMonoImageDownsampleThreshold=1.0") << QByteArrayLiteral("-dAutoFilterGrayImages=false")
         << QByteArrayLiteral("-dAutoFilterColorImages=false") << QByteArrayLiteral("-dPassThroughJPEGImages=false")
         << QByteArrayLiteral("-dPassThroughJPXImages=false") << QByteArrayLiteral("-dDownsampleColorImages=true")
         << QByteArrayLiteral("-dDownsampleMonoImages=true") << "-dColorImageResolution=" + resolution
         << "-dGrayImageResolution=" + resolution << "-dMonoImageResolution=" + monoResolution;
    return args;
}

// Collects what one Ghostscript run prints on its standard streams and logs it line by line as warnings about the
// file, so that a failed run can be told from the log. Nothing reaches the process's own streams, and Ghostscript
// never reads the process's standard input. A run that prints without end (a file that makes Ghostscript warn in a
// loop) gets its first lines logged and the rest counted, so that neither the log nor the program's memory grows
// with it.
class GhostscriptMessages
{
public:
    explicit GhostscriptMessages(QString inputPath) : m_inputPath(std::move(inputPath)) {}
    ~GhostscriptMessages() { flush(); }

    // Ghostscript hands over its text in pieces, often a word at a time.
    void take(int stream, const QByteArray& text)
    {
        if (m_logged >= MaxLoggedBytes) {
            m_left += text.size();
            return;
        }
        QByteArray& pending = stream == 1 ? m_stdout : m_stderr;
        pending.append(text);
        logLines(pending, pending.size() > MaxLineBytes);
    }

    // Logs what is left of lines that did not end.
    void flush()
    {
        logLines(m_stdout, true);
        logLines(m_stderr, true);
        if (m_left > 0) {
            logLine(QStringLiteral("%1 more bytes of messages left out").arg(m_left).toUtf8());
            m_left = 0;
        }
    }

private:
    Q_DISABLE_COPY(GhostscriptMessages)

    // What one run may put into the log, and the longest line that is waited for to end.
    static constexpr qint64 MaxLoggedBytes = 1024 * 1024;
    static constexpr int MaxLineBytes = 64 * 1024;

    void logLines(QByteArray& pending, bool includingUnfinished)
    {
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            logLine(pending.left(end));
            pending.remove(0, end + 1);
        }
        if (includingUnfinished) {
            logLine(pending);
            pending.clear();
        }
    }

    void logLine(const QByteArray& line)
    {
        m_logged += line.size();
        const QString text = QString::fromLocal8Bit(line).trimmed();
        if (!text.isEmpty())
            LOG_WARNING("GSCompressor::compress")
                << qUtf8Printable(QStringLiteral("Ghostscript on %1: %2").arg(m_inputPath, text));
    }

    const QString m_inputPath;
    QByteArray m_stdout;
    QByteArray m_stderr;
    qint64 m_logged = 0;
    qint64 m_left = 0;
};

// How long a run may take: long enough for a scan of thousands of pages, short enough that a file that would keep
// Ghostscript busy for hours (or for good) fails after minutes.
std::atomic<qint64> g_baseTimeLimitMs{10 * 60 * 1000};
std::atomic<qint64> g_timeLimitPerPageMs{3 * 1000};

std::chrono::milliseconds timeLimitFor(qint64 pages)
{
    return std::chrono::milliseconds(g_baseTimeLimitMs + g_timeLimitPerPageMs * qMax<qint64>(pages, 0));
}

QString describeTimeLimit(qint64 pages)
{
    const auto seconds = [](qint64 ms) { return QString::number(ms / 1000.0, 'f', ms % 1000 == 0 ? 0 : 1); };
    return QStringLiteral("%1 s (%2 s, and %3 s for each of %4 pages)")
        .arg(seconds(timeLimitFor(pages).count()), seconds(g_baseTimeLimitMs), seconds(g_timeLimitPerPageMs),
             QString::number(qMax<qint64>(pages, 0)));
}

} // namespace

bool isRegularFile(const QString& path)
{
    // QFileInfo follows links and counts only regular files as files.
    return QFileInfo(path).isFile();
}

QByteArrayList GSCompressor::arguments(const QString& inputPath, const QString& outputPath,
                                       const QString& password) const
{
    QByteArrayList args{QByteArrayLiteral("gs"), QByteArrayLiteral("-sDEVICE=pdfwrite"), QByteArrayLiteral("-dNOPAUSE"),
                        QByteArrayLiteral("-dQUIET"), QByteArrayLiteral("-dBATCH")};
    if (!password.isEmpty())
        args << "-sPDFPassword=" + password.toUtf8();

    switch (m_level) {
    case 0:
        args << QByteArrayLiteral("-dPDFSETTINGS=/screen");
        break;
    case 1:
        args << QByteArrayLiteral("-dPDFSETTINGS=/ebook");
        break;
    case 2:
        args << QByteArrayLiteral("-dPDFSETTINGS=/prepress");
        break;
    default:
        args << customLevelArguments(m_customValue);
        break;
    }

    // Paths go as the file system's own bytes. Ghostscript reads "%" in the output name as a page
    // number template ("%d" makes one file per page); "%%" stands for the character itself.
    QByteArray outputName = QFile::encodeName(outputPath);
    outputName.replace('%', QByteArrayLiteral("%%"));
    args << "-sOutputFile=" + outputName << QFile::encodeName(inputPath);
    return args;
}

void GSCompressor::setTimeLimit(std::chrono::milliseconds base, std::chrono::milliseconds perPage)
{
    g_baseTimeLimitMs = base.count();
    g_timeLimitPerPageMs = perPage.count();
}

int GSCompressor::stopAllRuns()
{
    return platform::stopGhostscriptRuns();
}

int GSCompressor::compress(QString inputPath, QString outputDir, QString password)
{
    const QString inputName = QFileInfo(inputPath).fileName();
    m_outputFileName = inputName;
    // No folder is no place to write to: "" + "/" + name would land in the root folder.
    if (outputDir.isEmpty()) {
        LOG_WARNING("GSCompressor::compress") << "No output folder for" << inputPath;
        return gs_error_undefinedfilename;
    }
    // Checked before anything is made in the output folder, so that a refused input leaves nothing there. A missing
    // input is left to Ghostscript, whose message says what it looked for.
    if (QFileInfo::exists(inputPath) && !isRegularFile(inputPath)) {
        LOG_WARNING("GSCompressor::compress") << "Not a regular file:" << inputPath;
        return gs_error_invalidfileaccess;
    }
    // The name the output would get now; it is chosen again once the output is whole, when others may have taken it.
    makeUniqueFileName(outputDir, m_outputFileName, 0);

    // Ghostscript writes into a hidden part file, which gets the output name only once it is whole: a run that is cut
    // short (the program killed, the computer off) leaves nothing under a name that the user takes for a result.
    QString error;
    const QString partPath = createPartFile(outputDir, inputName, &error);
    if (partPath.isEmpty()) {
        LOG_WARNING("GSCompressor::compress") << "Cannot write into" << outputDir << error;
        return gs_error_invalidfileaccess;
    }
    bool placed = false;
    const auto removePartFile = qScopeGuard([&partPath, &placed] {
        if (!placed)
            QFile::remove(partPath);
    });

    // Counted first: the output must have as many pages. The time limit grows with the page objects alone, for a page
    // named a thousand times in the page tree is no thousand pages of work.
    const PdfPages inputPages = isRegularFile(inputPath) ? pdfPages(inputPath, password) : PdfPages();
    // Ghostscript reads and writes through descriptors that its process opened, whatever the files' names.
    const QByteArrayList args = arguments(QLatin1String(platform::GhostscriptInputName),
                                          QLatin1String(platform::GhostscriptOutputName), password);
    LOG_DEBUG("GSCompressor::compress") << "Compress level :" << m_level;
    GhostscriptMessages messages(inputPath);
    const platform::GhostscriptOutcome outcome =
        platform::runGhostscript(args, QFileInfo(inputPath).absoluteFilePath(), QFileInfo(partPath).absoluteFilePath(),
                                 timeLimitFor(inputPages.distinctPages),
                                 [&messages](int stream, const QByteArray& text) { messages.take(stream, text); });
    messages.flush();

    int code = 0;
    switch (outcome.end) {
    case platform::GhostscriptOutcome::End::Finished:
        if (outcome.newInstanceCode < 0) {
            LOG_WARNING("GSCompressor::compress") << "New instance error" << outcome.newInstanceCode;
            return outcome.newInstanceCode;
        }
        code = outcome.initCode;
        if (code != 0)
            LOG_WARNING("GSCompressor::compress") << "Init with args error" << code << inputPath;
        if (code == 0 && outcome.exitCode != 0) {
            LOG_WARNING("GSCompressor::compress") << "Exit error" << outcome.exitCode;
            code = outcome.exitCode;
        }
        break;
    case platform::GhostscriptOutcome::End::TimedOut:
        LOG_WARNING("GSCompressor::compress")
            << qUtf8Printable(QStringLiteral("Ghostscript ran past its time limit of %1 on %2 and was stopped")
                                  .arg(describeTimeLimit(inputPages.distinctPages), inputPath));
        return TimeOutCode;
    case platform::GhostscriptOutcome::End::Signalled:
        LOG_WARNING("GSCompressor::compress") << qUtf8Printable(
            QStringLiteral("Ghostscript ended by %1 on %2").arg(platform::describeSignal(outcome.signal), inputPath));
        return ChildEndedCode;
    case platform::GhostscriptOutcome::End::Stopped:
        LOG_WARNING("GSCompressor::compress")
            << qUtf8Printable(QStringLiteral("Ghostscript stopped on %1 as the program ends").arg(inputPath));
        return ChildEndedCode;
    case platform::GhostscriptOutcome::End::Failed:
        LOG_WARNING("GSCompressor::compress")
            << qUtf8Printable(QStringLiteral("%1 (compressing %2)").arg(outcome.error, inputPath));
        return ChildEndedCode;
    }
    if (code != 0)
        return code;

    // Without repair: qpdf rebuilds a file cut short by a full disk and would find its pages all the same.
    const qint64 outputPages = pdfPages(partPath, QString(), PdfRepair::Refused).pages;
    if (inputPages.pages <= 0 || outputPages != inputPages.pages) {
        LOG_WARNING("GSCompressor::compress")
            << "Bad output:" << outputPages << "pages written for" << inputPages.pages << "pages read";
        return BadOutputCode;
    }

    const qint64 size = QFileInfo(partPath).size();
    QString placedName = inputName;
    if (!placeUnderUniqueName(partPath, outputDir, placedName, &error)) {
        LOG_WARNING("GSCompressor::compress")
            << "Cannot store the output as" << placedName << "in" << outputDir << error;
        m_outputFileName = placedName;
        return gs_error_ioerror;
    }
    placed = true;
    m_outputFileName = placedName;
    m_outputSize = size;
    return 0;
}
