#include "PDFFileItem.h"

#include "FileSize.h"
#include "GSCompressor.h"
#include "LogPosition.h"
#include "PdfPageCount.h"

#include <QFile>

#include <qpdf/Constants.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>

#include <exception>

namespace {
const QString PlainIcon = QStringLiteral("PDF-3x.png");
const QString LockedIcon = QStringLiteral("PDFLock-3x.png");
} // namespace

PDFFileItem::PDFFileItem(QString filePath, QObject* parent) : FileItem(std::move(filePath), parent) {}

PDFFileItem::~PDFFileItem()
{
    m_document.reset();
    LOG_DEBUG("PDFFileItem::~PDFFileItem") << "~PDFFileItem()";
}

QPDF& PDFFileItem::newDocument()
{
    if (m_document)
        m_document->closeInputSource();
    m_document = std::make_unique<QPDF>();
    // qpdf would print what it repairs on standard error, where no one reads it.
    m_document->setSuppressWarnings(true);
    return *m_document;
}

qint64 PDFFileItem::countPages()
{
    const qint64 pages = pdfPages(*m_document).pages;
    if (pages < 0)
        qWarning() << "Cannot count the pages of" << m_filePath;
    return pages;
}

bool PDFFileItem::openPdf()
{
    qDebug() << "Open file:" << m_filePath;
    if (!isRegularFile(m_filePath)) {
        qWarning() << "Not a regular file:" << m_filePath;
        return false;
    }
    QPDF& document = newDocument();
    try {
        document.processFile(QFile::encodeName(m_filePath).constData(), nullptr);
        m_iconName = PlainIcon;
        m_needOpenPassword = false;
        m_hasPermissionPassword = document.isEncrypted();
        m_locked = false;
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_damaged_pdf) {
            qWarning() << "Damaged file:" << m_filePath << e.what();
            return false;
        }
        if (e.getErrorCode() == qpdf_e_password && !document.userPasswordMatched()) {
            m_locked = true;
            m_iconName = LockedIcon;
            m_needOpenPassword = true;
            m_hasPermissionPassword = false;
        }
    } catch (const std::exception& e) {
        // Cannot be read at all: gone, no permission, a link that leads nowhere.
        qWarning() << "Cannot read file:" << m_filePath << e.what();
        return false;
    }

    const qint64 pages = countPages();
    document.closeInputSource(); // nothing more is read: free the file for the user and the next run
    // A locked file whose page tree sits in encrypted object streams shows no page without its
    // password: it keeps its count of 1 until it is unlocked.
    if (pages > 0 || (pages == 0 && !m_locked))
        m_pageCount = pages;
    // A locked file may keep its page count of 1 until it is unlocked; any other file whose pages
    // cannot be counted is no PDF that can be compressed.
    return pages >= 0 || m_locked;
}

bool PDFFileItem::unlockPdf(QString password)
{
    // The file may have been swapped for a FIFO or a device since it was listed; qpdf would block the
    // GUI thread on it.
    if (!isRegularFile(m_filePath)) {
        qWarning() << "Not a regular file:" << m_filePath;
        return false;
    }
    QPDF& document = newDocument();
    try {
        document.processFile(QFile::encodeName(m_filePath).constData(), password.toUtf8().constData());
    } catch (const std::exception& e) {
        qDebug() << "Incorrect password for" << m_filePath << e.what();
        // The document stays, but the file is free for the user and the next attempt.
        document.closeInputSource();
        return false;
    }

    // The owner password opens the file as well; Ghostscript takes either.
    if (document.userPasswordMatched() || document.ownerPasswordMatched()) {
        m_locked = false;
        const qint64 pages = countPages();
        if (pages >= 0)
            m_pageCount = pages;
        m_password = password;
        emit unlockSuccess();
    }
    document.closeInputSource();
    return true;
}

void PDFFileItem::setCompressSetting(const CompressSetting& setting)
{
    FileItem::setCompressSetting(setting);
    CompressFunction::setCompressSetting(setting);
}

int PDFFileItem::pdfCompress(QString filePath, QString outputDir)
{
    LOG_DEBUG("PDFFileItem::pdfCompress") << "Compressing" << filePath;
    const CompressResult result = compress(filePath, outputDir, m_password);
    if (result.code == 0) {
        emit CompressedInfo(outputFileName(), formatFileSize(compressedSize()));
        emit outputFileSignal(result.outputPath);
        LOG_DEBUG("PDFFileItem::pdfCompress") << "Compressed into" << result.outputPath;
    }
    return result.code;
}
