#include "PdfPageCount.h"

#include <QFile>

#include <qpdf/QPDF.hh>

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

// Resolves every object in the cross-reference table, so that a missing or cut object shows as a warning. The objects
// stay cached, their stream data is not read.
void readEveryObject(QPDF& document)
{
    for (const auto& entry : document.getXRefTable()) {
        const QPDFObjGen& id = entry.first;
        document.getObjectByID(id.getObj(), id.getGen()).getTypeCode();
    }
}

// strict refuses a page that is no dictionary, such as a reference to an object the file lacks.
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
            if (strict && !page.isDictionary())
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

PdfPages pdfPages(const QString& path, const QString& password, PdfRepair repair)
{
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        if (repair == PdfRepair::Refused)
            document.setAttemptRecovery(false);
        const QByteArray utf8Password = password.toUtf8();
        document.processFile(QFile::encodeName(path).constData(),
                             password.isEmpty() ? nullptr : utf8Password.constData());
        if (repair == PdfRepair::Allowed)
            return pdfPages(document);
        readEveryObject(document);
        const PdfPages counted = walkPageTree(document, true);
        // Quiet, but a warning is damage all the same: qpdf passes over what it cannot read.
        return document.anyWarnings() ? PdfPages() : counted;
    } catch (const std::exception&) {
        // QPDFExc for damage and wrong passwords, QPDFSystemError for files that cannot be read.
        return {};
    }
}

qint64 pdfPageCount(const QString& path, const QString& password)
{
    return pdfPages(path, password).pages;
}
