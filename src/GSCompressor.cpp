#include "GSCompressor.h"

#include "LogPosition.h"
#include "PdfPageCount.h"
#include "UniqueFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <ghostscript/gserrors.h>
#include <ghostscript/iapi.h>

#include <vector>

const int ImageResolutionByLevel[10] = {72, 100, 122, 144, 150, 180, 210, 240, 270, 300};
const int MonoImageResolutionByLevel[10] = {300, 400, 500, 600, 700, 800, 900, 1000, 1100, 1200};

// The output could not be read back as the document it should be.
const int GSCompressor::BadOutputCode = gs_error_ioerror;

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

// Collects what one Ghostscript instance prints on its standard streams and logs it line by line as
// warnings about the file, so that a failed run can be told from the log. Nothing reaches the
// process's own streams, and Ghostscript never reads the process's standard input.
class GhostscriptMessages
{
public:
    explicit GhostscriptMessages(QString inputPath) : m_inputPath(std::move(inputPath)) {}
    ~GhostscriptMessages() { flush(); }

    void attach(void* instance)
    {
        gsapi_set_stdio_with_handle(instance, &GhostscriptMessages::readNothing, &GhostscriptMessages::fromStdout,
                                    &GhostscriptMessages::fromStderr, this);
    }

    // Logs what is left of lines that did not end.
    void flush()
    {
        logLines(m_stdout, true);
        logLines(m_stderr, true);
    }

private:
    Q_DISABLE_COPY(GhostscriptMessages)

    static int GSDLLCALL readNothing(void*, char*, int) { return 0; }
    static int GSDLLCALL fromStdout(void* handle, const char* text, int length)
    {
        auto* self = static_cast<GhostscriptMessages*>(handle);
        return self->take(self->m_stdout, text, length);
    }
    static int GSDLLCALL fromStderr(void* handle, const char* text, int length)
    {
        auto* self = static_cast<GhostscriptMessages*>(handle);
        return self->take(self->m_stderr, text, length);
    }

    // Ghostscript hands over its text in pieces, often a word at a time.
    int take(QByteArray& pending, const char* text, int length)
    {
        pending.append(text, length);
        logLines(pending, false);
        return length;
    }

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
        const QString text = QString::fromLocal8Bit(line).trimmed();
        if (!text.isEmpty())
            LOG_WARNING("GSCompressor::compress")
                << qUtf8Printable(QStringLiteral("Ghostscript on %1: %2").arg(m_inputPath, text));
    }

    const QString m_inputPath;
    QByteArray m_stdout;
    QByteArray m_stderr;
};

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

    void* instance = nullptr;
    int code = gsapi_new_instance(&instance, nullptr);
    if (code < 0) {
        LOG_WARNING("GSCompressor::compress") << "New instance error" << code;
        return code;
    }

    GhostscriptMessages messages(inputPath);
    messages.attach(instance);

    // Absolute paths: a relative name that starts with "-" or "%" would read as a switch or a device.
    QByteArrayList args =
        arguments(QFileInfo(inputPath).absoluteFilePath(), QFileInfo(partPath).absoluteFilePath(), password);
    std::vector<char*> argv;
    argv.reserve(args.size());
    for (QByteArray& arg : args)
        argv.push_back(arg.data());

    LOG_DEBUG("GSCompressor::compress") << "Compress level :" << m_level;
    code = gsapi_init_with_args(instance, static_cast<int>(argv.size()), argv.data());
    if (code != 0)
        LOG_WARNING("GSCompressor::compress") << "Init with args error" << code << inputPath;
    // pdfwrite finishes the output file only when the instance exits.
    const int exitCode = gsapi_exit(instance);
    gsapi_delete_instance(instance);
    messages.flush();
    if (code == 0 && exitCode != 0) {
        LOG_WARNING("GSCompressor::compress") << "Exit error" << exitCode;
        code = exitCode;
    }
    if (code != 0)
        return code;

    // The input may have been swapped for a FIFO while Ghostscript ran.
    const qint64 inputPages = isRegularFile(inputPath) ? pdfPageCount(inputPath, password) : -1;
    const qint64 outputPages = pdfPageCount(partPath);
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
