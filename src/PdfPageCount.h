#pragma once

#include <QString>

// The number of pages of the PDF at path, opened with password when one is given, or -1 when qpdf
// cannot open the file or walk its page tree. qpdf's warnings about repaired damage stay quiet.
qint64 pdfPageCount(const QString& path, const QString& password = QString());
