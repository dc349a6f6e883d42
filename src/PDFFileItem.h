#pragma once

#include "CompressFunction.h"
#include "FileItem.h"

#include <memory>

class QPDF;

// A listed PDF: opened with qpdf to tell plain, encrypted, password-protected and damaged files
// apart and to count pages; compressed through its own Ghostscript compressor.
class PDFFileItem : public FileItem, public CompressFunction
{
    Q_OBJECT

public:
    explicit PDFFileItem(QString filePath, QObject* parent = nullptr);
    ~PDFFileItem() override;

    bool isLocked() const override { return m_locked; }
    int pdfCompress(QString filePath, QString outputDir) override;
    void setCompressSetting(const CompressSetting& setting) override;

    // False refuses the file: damaged, not a PDF, not readable at all, or no regular file (a FIFO,
    // a device, a socket, a folder). A file that needs an open password is kept, locked.
    bool openPdf();
    // False when qpdf takes neither the open nor the permission password, or the file is no longer a
    // regular file. Either password unlocks the file, and Ghostscript is later handed the same one.
    bool unlockPdf(QString password);
    bool needOpenPassword() const { return m_needOpenPassword; }
    bool hasPermissionPassword() const { return m_hasPermissionPassword; }

signals:
    void CompressedInfo(QString name, QString size);
    void unlockSuccess();

private:
    Q_DISABLE_COPY(PDFFileItem)

    // Replaces the document with a new one that has not read anything yet.
    QPDF& newDocument();
    // The pages of the document just processed, or -1 when its page tree cannot be walked.
    qint64 countPages();

    bool m_locked = false;
    bool m_needOpenPassword = false;
    bool m_hasPermissionPassword = false;
    QString m_password;
    std::unique_ptr<QPDF> m_document;
};
