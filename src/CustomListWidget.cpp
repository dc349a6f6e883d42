#include "CustomListWidget.h"

#include "FileItemWidget.h"

#include <QMouseEvent>

CustomListWidget::CustomListWidget(QWidget* parent) : QListWidget(parent)
{
    // Files dropped on the list are the main window's business; rows are never dragged.
    setAcceptDrops(false);
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
}

FileItem* CustomListWidget::fileItemAt(int row) const
{
    QObject* widget = itemWidget(item(row));
    FileItemWidget* rowWidget = static_cast<FileItemWidget*>(FileItemWidget::staticMetaObject.cast(widget));
    return rowWidget ? rowWidget->fileItem() : nullptr;
}

void CustomListWidget::mousePressEvent(QMouseEvent* event)
{
    QAbstractItemView::mousePressEvent(event);
    // A press below the last row leaves no row current, so that keys act on nothing.
    const QModelIndex index = indexAt(event->pos());
    if (index.row() < 0)
        setCurrentIndex(index);
}

void CustomListWidget::mouseMoveEvent(QMouseEvent* event)
{
    // Neither a drag nor a rubber band nor a selection that grows with the pointer.
    event->accept();
}
