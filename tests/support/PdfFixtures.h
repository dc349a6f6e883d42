#pragma once

#include <QString>

// PDF files for tests and benchmarks, made at run time. Every function returns false when the file
// could not be written.
namespace PdfFixtures {

// Pages of text and shapes, as an office program would write them.
bool writePlain(const QString& path, int pages = 1);

// Pages that each carry a different colour picture of pictureInches x pictureInches at 300 dpi,
// which the small-file level downsamples to a fraction of its size. seed varies the pictures.
bool writeImageHeavy(const QString& path, int pages = 1, double pictureInches = 2.0, int seed = 0);

enum class Cipher
{
    Rc4, // 128-bit RC4, the old standard handler
    Aes256,
    // AES-256 with the objects, the page tree among them, packed into encrypted object streams: without
    // the password not even the pages can be counted.
    Aes256ObjectStreams,
};

// Copies source into target encrypted with the given passwords; an empty user password makes a
// file that opens without a password but is restricted by its owner password.
bool writeEncrypted(const QString& source, const QString& target, Cipher cipher, const QString& userPassword,
                    const QString& ownerPassword);
// The same with passwords of any bytes, such as the part of a longer one that a security handler reads.
bool writeEncrypted(const QString& source, const QString& target, Cipher cipher, const QByteArray& userPassword,
                    const QByteArray& ownerPassword);

// A PDF header followed by nothing qpdf can rebuild a document from.
bool writeDamaged(const QString& path);
// Plain text in a file named as a PDF.
bool writeNotPdf(const QString& path);
bool writeEmpty(const QString& path);

// Two pages in the page tree, the second of which names an object that does not exist: qpdf counts
// two pages, Ghostscript says it found no page info and writes a single page.
bool writeMissingPageObject(const QString& path);

// A page tree whose kids name one page object references times, about six bytes a reference.
bool writeRepeatedPage(const QString& path, int references);

// A chain of depth page tree nodes, each of which names the next one twice, down to one page: 2^depth page
// references in a file of a few hundred bytes.
bool writeSharedPageTree(const QString& path, int depth);

// A page tree whose root is a kid of one of its own kids.
bool writePageTreeLoop(const QString& path);

enum class OddPageTree
{
    // Kids that are a page, a null and a number: getAllPages takes all three for pages, Ghostscript one.
    NullAndNumberKids,
    // Two pages written into the kids themselves: two pages to both.
    DirectPages,
    // An intermediate node under two parents: getAllPages gives up, Ghostscript draws its page once.
    SharedNode,
    // /Root /Pages names the only page: one page to both.
    PagesAtTheOnlyPage,
    // /Root /Pages names the first of two pages: getAllPages climbs to the root and finds two, Ghostscript draws one.
    PagesAtAPage,
};
bool writeOddPageTree(const QString& path, OddPageTree kind);

// Pages whose writing stopped just short of the end, as on a full disk: where the cross-reference table starts is
// cut off. qpdf rebuilds the table and still finds every page.
bool writeTruncated(const QString& path, int pages);

// Pages the first of whose contents is listed in the cross-reference table but not in the file.
bool writeMissingObject(const QString& path, int pages);

// One page that draws form 0, which draws form 1 drawsEach times, which draws form 2 drawsEach times, and so on,
// depth forms deep; the last draws a square. Ghostscript 10.0 overflows its stack on 10000 forms each drawn once, and
// takes hours on 30 forms each drawn twice (2^29 squares). The page tree names the page pageReferences times.
bool writeNestedForms(const QString& path, int depth, int drawsEach, int pageReferences = 1);

// A PostScript program that carries a whole PDF of one A5 page in its first kilobyte: one PDF page to qpdf and to
// every viewer. Run as PostScript, it writes a file at markerPath and draws "NOT YOUR DOCUMENT" on a Letter page.
bool writePostScriptWithPdf(const QString& path, const QString& markerPath);

// One page whose picture Ghostscript must hold whole in memory to decode (about 100 MB).
bool writeMemoryHungryPicture(const QString& path);

// One page whose header line gave way to a comment line, and whose offsets all count it still: qpdf rebuilds the
// cross-reference table and finds the page, Ghostscript 10.0 says that it cannot read the file and writes a blank page.
bool writeWithoutHeaderLine(const QString& path);

// A page tree whose only kid is a dictionary that is no page: one page to qpdf, none to Ghostscript.
bool writeKidsThatAreNoPages(const QString& path);

// One page, and an empty object that nothing references ("5 0 obj endobj"), as Ghostscript writes at times.
bool writeUnusedEmptyObject(const QString& path);

// Cannot be read even by root: a symbolic link to itself.
bool makeLinkLoop(const QString& path);

// A FIFO: whoever opens it for reading waits for a writer that never comes.
bool makeFifo(const QString& path);

} // namespace PdfFixtures
