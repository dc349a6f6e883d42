#pragma once

#include <QListWidget>

class FileItem;

// The main window's list of files. Each row carries a FileItemWidget. A press on no row leaves no
// current row, and moving the mouse with a button held neither drags rows nor grows the selection.
class CustomListWidget : public QListWidget
{
    Q_OBJECT

public:
    explicit CustomListWidget(QWidget* parent = nullptr);

    // The document that row shows; row must be a row of the list.
    FileItem* fileItemAt(int row) const;

    // Appends count entries of the given size in one insertion and lays the list out; returns the row of
    // the first. Appended one by one, every entry would lay out the whole list and move every row widget.
    int appendEntries(int count, const QSize& sizeHint);
    // Makes widgets the row widgets of the rows from firstRow on, each placed where the list keeps it, so
    // that the next layout of a long list need not move them (every move weighs up every other row widget).
    void setRowWidgets(int firstRow, const QList<QWidget*>& widgets);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Q_DISABLE_COPY(CustomListWidget)
};
