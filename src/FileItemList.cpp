#include "FileItemList.h"

#include "PDFFileItem.h"

#include <QFileInfo>

#include <memory>

FileItemList::FileItemList(QObject* parent) : QObject(parent) {}

FileItemList::~FileItemList()
{
    clear();
}

void FileItemList::addFiles(QStringList paths)
{
    for (const QString& path : qAsConst(paths)) {
        // Written as "./x.pdf", "dir//x.pdf", absolute or through a link, a file is still one file, and
        // a second row would make the next run write a second copy. A path that leads nowhere has no
        // canonical form and would not open anyway.
        const QFileInfo file(path);
        const QString canonicalPath = file.canonicalFilePath();
        if (canonicalPath.isEmpty() || m_canonicalPaths.contains(canonicalPath))
            continue;
        if (!file.suffix().contains(QLatin1String("pdf"), Qt::CaseInsensitive))
            continue;
        auto item = std::make_unique<PDFFileItem>(path);
        if (!item->openPdf())
            continue;
        m_openedItems.append(item.get());
        m_items.append(item.release());
        m_canonicalPaths.append(canonicalPath);
    }
}

bool FileItemList::canCompress() const
{
    if (m_openedItems.isEmpty())
        return true;
    for (const PDFFileItem* item : m_openedItems) {
        if (!item->isLocked())
            return true;
    }
    return false;
}

void FileItemList::removeAt(int row)
{
    if (row < 0 || row >= m_items.count())
        return;
    FileItem* item = m_items.at(row);
    m_openedItems.removeOne(qobject_cast<PDFFileItem*>(item));
    delete item;
    m_items.removeAt(row);
    m_canonicalPaths.removeAt(row);
}

void FileItemList::clear()
{
    for (int row = m_items.count() - 1; row >= 0; --row)
        removeAt(row);
}
