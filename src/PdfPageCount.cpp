#include "PdfPageCount.h"

#include <QFile>

#include <qpdf/QPDF.hh>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <exception>
#include <limits>
#include <map>
#include <set>
#include <vector>

namespace {

// Shared intermediate nodes can multiply references without making the file any larger; FileItem holds the count in
// an int, and no document was ever that long.
constexpr qint64 MostPageReferences = std::numeric_limits<int>::max();

bool isIntermediate(QPDFObjectHandle& node)
{
    // getAllPages takes every node with kids for an intermediate one, whatever its /Type says.
    return node.isDictionary() && node.hasKey("/Kids");
}

// Where getAllPages starts: some files in the wild point /Root /Pages at a page, so climb its parents.
QPDFObjectHandle pageTreeRoot(QPDF& document)
{
    QPDFObjectHandle node = document.getRoot().getKey("/Pages");
    std::set<QPDFObjGen> climbed;
    while (node.isDictionary() && node.hasKey("/Parent")) {
        if (!climbed.insert(node.getObjGen()).second)
            break; // a loop of parents; the walk below finds it again
        node = node.getKey("/Parent");
    }
    return node;
}

// An intermediate node on the way down, and what its kids counted so far.
struct Level
{
    QPDFObjectHandle kids;
    int size = 0;
    int next = 0;
    qint64 pages = 0;
    QPDFObjGen id; // 0 0 for a direct node, which nothing else can reference
};

Level level(QPDFObjectHandle& node)
{
    Level entered;
    entered.kids = node.getKey("/Kids");
    entered.size = entered.kids.isArray() ? entered.kids.getArrayNItems() : 0;
    entered.id = node.isIndirect() ? node.getObjGen() : QPDFObjGen();
    return entered;
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

// strict refuses a page that is no dictionary, such as a reference to an object the file lacks, and one whose contents
// are not where the file says.
PdfPages walkPageTree(QPDF& document, bool strict)
{
    // Walked by hand rather than with getAllPages, which copies every page that is referenced more than once: a small
    // file naming one page a million times would take gigabytes. Deep trees go on a stack of our own, not the call
    // stack. A node under two parents is no loop, though getAllPages takes it for one: its pages count under each, but
    // it is walked once and its count remembered, or a chain of such nodes would take 2^depth steps.
    try {
        QPDFObjectHandle root = pageTreeRoot(document);
        std::set<QPDFObjGen> distinct;
        qint64 directPages = 0;
        const auto countPage = [&distinct, &directPages, strict](QPDFObjectHandle& page) {
            if (strict && (!page.isDictionary() || !contentsResolve(page)))
                return false;
            // A page written into its parent's kids is a page of its own each time.
            if (page.isIndirect())
                distinct.insert(page.getObjGen());
            else
                ++directPages;
            return true;
        };
        if (!isIntermediate(root))
            return {0, 0}; // as getAllPages: no tree, no pages

        std::map<QPDFObjGen, qint64> counted; // intermediate nodes walked to the end
        std::set<QPDFObjGen> onPath;          // intermediate nodes on the way down to the current one
        std::vector<Level> path{level(root)};
        if (root.isIndirect())
            onPath.insert(root.getObjGen());
        qint64 pages = 0;
        const auto add = [](qint64& sum, qint64 more) {
            if (more > MostPageReferences - sum)
                return false;
            sum += more;
            return true;
        };
        while (!path.empty()) {
            if (path.back().next == path.back().size) {
                const Level done = path.back();
                path.pop_back();
                if (done.id.isIndirect()) {
                    onPath.erase(done.id);
                    counted.emplace(done.id, done.pages);
                }
                if (!add(path.empty() ? pages : path.back().pages, done.pages))
                    return {};
                continue;
            }
            Level& current = path.back();
            QPDFObjectHandle kid = current.kids.getArrayItem(current.next++);
            if (!isIntermediate(kid)) {
                if (!countPage(kid) || !add(current.pages, 1))
                    return {};
                continue;
            }
            if (kid.isIndirect()) {
                const QPDFObjGen id = kid.getObjGen();
                if (onPath.count(id))
                    return {}; // a kid that leads back up: getAllPages gives up on it as well
                const auto known = counted.find(id);
                if (known != counted.end()) {
                    if (!add(current.pages, known->second))
                        return {};
                    continue;
                }
                onPath.insert(id);
            }
            path.push_back(level(kid)); // current is no longer valid
        }
        return {pages, static_cast<qint64>(distinct.size()) + directPages};
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
