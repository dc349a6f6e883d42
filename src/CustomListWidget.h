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

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Q_DISABLE_COPY(CustomListWidget)
};
