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

int CustomListWidget::appendEntries(int count, const QSize& sizeHint)
{
    const int first = this->count();
    if (count <= 0)
        return first;
    model()->insertRows(first, count);
    for (int row = first; row < first + count; ++row)
        item(row)->setSizeHint(sizeHint);
    doItemsLayout();
    return first;
}

void CustomListWidget::setRowWidgets(int firstRow, const QList<QWidget*>& widgets)
{
    // All are placed before the first is set: setting one asks for a layout, which every later look at
    // where a row lies would then run.
    QStyleOptionViewItem option = viewOptions();
    for (int i = 0; i < widgets.size(); ++i) {
        const QModelIndex index = model()->index(firstRow + i, 0);
        option.rect = visualRect(index);
        // The delegate decides where a row widget goes.
        itemDelegate(index)->updateEditorGeometry(widgets.at(i), option, index);
    }
    for (int i = 0; i < widgets.size(); ++i)
        setItemWidget(item(firstRow + i), widgets.at(i));
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
