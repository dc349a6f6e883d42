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
        if (m_paths.contains(path))
            continue;
        if (!QFileInfo(path).suffix().contains(QLatin1String("pdf"), Qt::CaseInsensitive))
            continue;
        auto item = std::make_unique<PDFFileItem>(path);
        if (!item->openPdf())
            continue;
        m_openedItems.append(item.get());
        m_items.append(item.release());
        m_paths.append(path);
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
    m_paths.removeAt(row);
}

void FileItemList::clear()
{
    for (int row = m_items.count() - 1; row >= 0; --row)
        removeAt(row);
}
