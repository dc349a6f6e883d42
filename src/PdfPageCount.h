#pragma once

#include <QString>

class QPDF;

// The pages of a PDF as its page tree names them. Either count is -1 when the file cannot be opened or its page tree
// cannot be walked: a loop, or more page references than any document has.
struct PdfPages
{
    // Every reference to a page counts, as qpdf's getAllPages and Ghostscript count them.
    qint64 pages = -1;
    // The page objects behind those references: what a run over the file has to render.
    qint64 distinctPages = -1;
};

enum class PdfRepair
{
    // What qpdf can rebuild of a damaged file is counted, as a reader would show it.
    Allowed,
    // A check of a file we wrote: its cross-reference table must be read as written, and every page, with what it
    // draws, be found where the table says. An object that no page needs may be odd (Ghostscript writes "4 0 obj
    // endobj" at times); it harms no reader.
    Refused,
};

// The pages of the PDF at path, opened with password when one is given. qpdf's warnings stay quiet.
PdfPages pdfPages(const QString& path, const QString& password = QString(), PdfRepair repair = PdfRepair::Allowed);

// The same of the file open at descriptor, read from its start; the descriptor stays open. description names the file
// in qpdf's messages.
PdfPages pdfPages(int descriptor, const QString& description, const QString& password = QString(),
                  PdfRepair repair = PdfRepair::Allowed);

// The pages of a document that is open already. Nothing in it is changed.
PdfPages pdfPages(QPDF& document);

// pdfPages(path, password).pages
qint64 pdfPageCount(const QString& path, const QString& password = QString());
