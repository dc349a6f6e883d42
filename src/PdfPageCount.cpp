#include "PdfPageCount.h"

#include <QFile>

#include <qpdf/QPDF.hh>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <exception>
#include <limits>
#include <set>
#include <vector>

namespace {

// FileItem holds the count in an int, and no document was ever that long.
constexpr qint64 MostPageReferences = std::numeric_limits<int>::max();

bool isIntermediate(QPDFObjectHandle& node)
{
    // getAllPages takes every node with kids for an intermediate one, whatever its /Type says.
    return node.isDictionary() && node.hasKey("/Kids");
}

// What a page draws: its contents, when it has any, are a stream or an array of streams.
bool contentsResolve(QPDFObjectHandle& page)
{
    if (!page.hasKey("/Contents"))
        return true;
    QPDFObjectHandle contents = page.getKey("/Contents");
    if (contents.isStream())
        return true;
    if (!contents.isArray())
        return false;
    for (int i = 0; i < contents.getArrayNItems(); ++i) {
        if (!contents.getArrayItem(i).isStream())
            return false;
    }
    return true;
}

// An intermediate node on the way down, and the next of its kids.
struct Level
{
    QPDFObjectHandle kids;
    int size = 0;
    int next = 0;
};

Level level(QPDFObjectHandle& node)
{
    Level entered;
    entered.kids = node.getKey("/Kids");
    entered.size = entered.kids.isArray() ? entered.kids.getArrayNItems() : 0;
    return entered;
}

// Where getAllPages starts: from what /Root /Pages names, up its parents.
QPDFObjectHandle pageTreeRoot(QPDFObjectHandle node)
{
    std::set<QPDFObjGen> climbed;
    while (node.isDictionary() && node.hasKey("/Parent")) {
        if (!climbed.insert(node.getObjGen()).second)
            break; // a loop of parents, as getAllPages stops it
        node = node.getKey("/Parent");
    }
    return node;
}

// The pages under the intermediate node root. strict refuses a page whose contents are not where the file says.
PdfPages walkFrom(QPDFObjectHandle& root, bool strict)
{
    // Intermediate nodes walked: one that comes again, under itself or under a second parent, stops getAllPages,
    // and Ghostscript draws its pages once at most.
    std::set<QPDFObjGen> walked;
    std::set<QPDFObjGen> distinct;
    qint64 directPages = 0;
    qint64 pages = 0;
    std::vector<Level> path{level(root)};
    if (root.isIndirect())
        walked.insert(root.getObjGen());
    while (!path.empty()) {
        Level& current = path.back();
        if (current.next == current.size) {
            path.pop_back();
            continue;
        }
        QPDFObjectHandle kid = current.kids.getArrayItem(current.next++);
        if (isIntermediate(kid)) {
            if (kid.isIndirect() && !walked.insert(kid.getObjGen()).second)
                return {};
            path.push_back(level(kid)); // current is no longer valid
            continue;
        }
        // getAllPages takes a null or a number for a page, where Ghostscript finds none.
        if (!kid.isDictionary() || (strict && !contentsResolve(kid)) || pages == MostPageReferences)
            return {};
        ++pages;
        // A page written into its parent's kids is a page of its own each time.
        if (kid.isIndirect())
            distinct.insert(kid.getObjGen());
        else
            ++directPages;
    }
    return {pages, static_cast<qint64>(distinct.size()) + directPages};
}

PdfPages walkPageTree(QPDF& document, bool strict)
{
    // Walked by hand rather than with getAllPages, which copies every page that is referenced more than once: a small
    // file naming one page a million times would take gigabytes. Deep trees go on a stack of our own, not the call
    // stack. Counted as getAllPages counts and as Ghostscript draws; where the two part, the tree is taken for
    // damaged, for the output could never have the pages that the input was listed with.
    try {
        QPDFObjectHandle named = document.getRoot().getKey("/Pages");
        QPDFObjectHandle root = pageTreeRoot(named);
        if (!isIntermediate(root))
            return {};
        const PdfPages counted = walkFrom(root, strict);
        if (!named.isIndirect() || named.getObjGen() == root.getObjGen())
            return counted;
        // Files in the wild point /Root /Pages at a page, or at a node below the root: getAllPages climbs to the
        // root, Ghostscript draws what /Pages names. Mostly that is the one page of the document.
        const qint64 drawn = isIntermediate(named) ? walkFrom(named, strict).pages : 1;
        return drawn == counted.pages ? counted : PdfPages();
    } catch (const std::exception&) {
        // QPDFExc for objects that cannot be read while walking.
        return {};
    }
}

} // namespace

PdfPages pdfPages(QPDF& document)
{
    return walkPageTree(document, false);
}

namespace {

// Opens the document through open (the file's own name or a descriptor) and counts its pages.
template <typename Open> PdfPages countPages(const QString& password, PdfRepair repair, const Open& open)
{
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        // A file we wrote must not need its cross-reference table rebuilt: qpdf would find the pages of a file cut
        // short by a full disk all the same.
        if (repair == PdfRepair::Refused)
            document.setAttemptRecovery(false);
        const QByteArray utf8Password = password.toUtf8();
        open(document, password.isEmpty() ? nullptr : utf8Password.constData());
        if (repair == PdfRepair::Allowed)
            return pdfPages(document);
        const PdfPages counted = walkPageTree(document, true);
        // Objects are read as the walk needs them: a warning now is about the page tree or a page, and qpdf passes
        // over what it cannot read of them.
        return document.anyWarnings() ? PdfPages() : counted;
    } catch (const std::exception&) {
        // QPDFExc for damage and wrong passwords, QPDFSystemError for files that cannot be read.
        return {};
    }
}

} // namespace

PdfPages pdfPages(const QString& path, const QString& password, PdfRepair repair)
{
    return countPages(password, repair, [&path](QPDF& document, const char* utf8Password) {
        document.processFile(QFile::encodeName(path).constData(), utf8Password);
    });
}

PdfPages pdfPages(int descriptor, const QString& description, const QString& password, PdfRepair repair)
{
    // A copy of the descriptor for qpdf to close; qpdf seeks before every read, so the shared offset does not matter.
    const int copy = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    FILE* file = copy < 0 ? nullptr : ::fdopen(copy, "rb");
    if (!file) {
        if (copy >= 0)
            ::close(copy);
        return {};
    }
    return countPages(password, repair, [&](QPDF& document, const char* utf8Password) {
        document.processFile(QFile::encodeName(description).constData(), file, true, utf8Password);
    });
}

qint64 pdfPageCount(const QString& path, const QString& password)
{
    return pdfPages(path, password).pages;
}
