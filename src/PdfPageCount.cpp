#include "PdfPageCount.h"

#include <QFile>

#include <qpdf/QPDF.hh>

#include <exception>

qint64 pdfPageCount(const QString& path, const QString& password)
{
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        const QByteArray utf8Password = password.toUtf8();
        pdf.processFile(QFile::encodeName(path).constData(), password.isEmpty() ? nullptr : utf8Password.constData());
        return static_cast<qint64>(pdf.getAllPages().size());
    } catch (const std::exception&) {
        // QPDFExc for damage and wrong passwords, QPDFSystemError for files that cannot be read.
        return -1;
    }
}
