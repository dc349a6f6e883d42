#include "GSCompressor.h"

#include "GhostscriptMessages.h"
#include "LogPosition.h"
#include "PdfPageCount.h"
#include "UniqueFileName.h"
#include "platform/FileSystem.h"
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

// How long a run may take: long enough for a scan of thousands of pages, short enough that a file that would keep
// Ghostscript busy for hours (or for good) fails after minutes.
std::atomic<qint64> g_baseTimeLimitMs{10 * 60 * 1000};
std::atomic<qint64> g_timeLimitPerPageMs{3 * 1000};

// The pages are the distinct page objects of the input: a page tree may reference one page a hundred thousand times
// in a few hundred kilobytes, and a file must not be able to choose its own time limit.
std::chrono::milliseconds timeLimitFor(qint64 pages)
{
    return std::chrono::milliseconds(g_baseTimeLimitMs + g_timeLimitPerPageMs * qMax<qint64>(pages, 0));
}

} // namespace

QString GSCompressor::describeTimeLimit(qint64 pages)
{
    const auto seconds = [](qint64 ms) { return QString::number(ms / 1000.0, 'f', ms % 1000 == 0 ? 0 : 1); };
    pages = qMax<qint64>(pages, 0);
    return QStringLiteral("%1 s (%2 s, and %3 s for each of %4 %5)")
        .arg(seconds(timeLimitFor(pages).count()), seconds(g_baseTimeLimitMs), seconds(g_timeLimitPerPageMs),
             QString::number(pages), pages == 1 ? QStringLiteral("page") : QStringLiteral("pages"));
}

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
    // Opened once, before anything is made in the output folder, so that a refused input leaves nothing there: qpdf
    // counts the pages of this very file and Ghostscript reads it, whatever becomes of its name meanwhile.
    QString error;
    bool missing = false;
    const platform::OpenFile input = platform::openRegularFile(inputPath, &error, &missing);
    if (!input.isOpen()) {
        LOG_WARNING("GSCompressor::compress") << "Cannot read" << inputPath << error;
        return missing ? gs_error_undefinedfilename : gs_error_invalidfileaccess;
    }
    // The name the output would get now; it is chosen again once the output is whole, when others may have taken it.
    makeUniqueFileName(outputDir, m_outputFileName, 0);

    // Ghostscript writes into a hidden part file, which gets the output name only once it is whole: a run that is cut
    // short (the program killed, the computer off) leaves nothing under a name that the user takes for a result.
    platform::OpenFile part;
    const QString partPath = createPartFile(outputDir, inputName, &error, &part);
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
    const PdfPages counted = pdfPages(input.descriptor(), inputPath, password);
    const qint64 inputPages = counted.pages;
    // Ghostscript reads and writes through descriptors that its process was handed, whatever the files' names.
    const QByteArrayList args = arguments(QLatin1String(platform::GhostscriptInputName),
                                          QLatin1String(platform::GhostscriptOutputName), password);
    LOG_DEBUG("GSCompressor::compress") << "Compress level :" << m_level;
    GhostscriptMessages messages(inputPath, password);
    const platform::GhostscriptOutcome outcome =
        platform::runGhostscript(args, input.descriptor(), part.descriptor(), timeLimitFor(counted.distinctPages),
                                 [&messages](int stream, const QByteArray& text) { messages.take(stream, text); });
    messages.flush();
    if (!outcome.firstTry.isEmpty())
        LOG_WARNING("GSCompressor::compress")
            << qUtf8Printable(QStringLiteral("Ghostscript's process, which had served earlier files, %1 on %2; the "
                                             "file was compressed again in a fresh process")
                                  .arg(outcome.firstTry, inputPath));

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
        // Ghostscript reports a full disk in its text only: the output, or a scratch file it was built from, is cut.
        // Its code, when it has one, says nothing of where.
        if (outcome.writeFailed) {
            LOG_WARNING("GSCompressor::compress")
                << qUtf8Printable(QStringLiteral("Ghostscript could not write all of its output into %1 or of its "
                                                 "scratch files into %2 on %3")
                                      .arg(outputDir, platform::ghostscriptTemporaryFolder(), inputPath));
            if (code == 0)
                code = gs_error_ioerror;
        }
        break;
    case platform::GhostscriptOutcome::End::TimedOut:
        LOG_WARNING("GSCompressor::compress")
            << qUtf8Printable(QStringLiteral("Ghostscript ran past its time limit of %1 on %2 and was stopped")
                                  .arg(describeTimeLimit(counted.distinctPages), inputPath));
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
    // Ghostscript 10.0 prints "Couldn't initialise file" or "No pages will be processed" for a file that it cannot
    // read, draws nothing, returns 0, and its pdfwrite device adds a blank page to an output without pages.
    if (outcome.pagesDrawn == 0) {
        LOG_WARNING("GSCompressor::compress") << qUtf8Printable(
            QStringLiteral("Ghostscript could not read %1: it found no page in it that it could draw").arg(inputPath));
        return BadOutputCode;
    }

    // As written: qpdf rebuilds a file cut short by a full disk and would find its pages all the same.
    const qint64 outputPages = pdfPages(part.descriptor(), partPath, QString(), PdfRepair::Refused).pages;
    if (inputPages <= 0 || outputPages != inputPages) {
        LOG_WARNING("GSCompressor::compress")
            << "Bad output:" << outputPages << "pages written for" << inputPages << "pages read";
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
