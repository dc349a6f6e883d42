#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class FileItem;
class PDFFileItem;

// The documents of the file list, in row order; owns them. GUI thread only.
class FileItemList : public QObject
{
    Q_OBJECT

public:
    explicit FileItemList(QObject* parent = nullptr);
    ~FileItemList() override;

    // Appends, in the given order, every path whose file is not listed yet (under any spelling of its
    // path or through a link), whose suffix names a PDF and that qpdf can open; the new items follow
    // the previous count. Each item keeps its path as given.
    void addFiles(QStringList paths);
    // False only when every listed document is locked.
    bool canCompress() const;
    // Removes and destroys the item of a row; rows outside the list are ignored.
    void removeAt(int row);
    void clear();

    int count() const { return m_items.count(); }
    FileItem* at(int row) const { return m_items.at(row); }
    bool isEmpty() const { return m_items.isEmpty(); }

signals:
    void notEncrypted(QString filename);

private:
    Q_DISABLE_COPY(FileItemList)

    QList<FileItem*> m_items;
    QList<PDFFileItem*> m_openedItems;
    // The canonical path of each entry of m_items, at the same index: one file, one row.
    QStringList m_canonicalPaths;
};
