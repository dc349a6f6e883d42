#pragma once

#include <QMainWindow>
#include <QPoint>

class QAction;
class QMenu;
class QRect;
class Ui_CustomWindowFrame;

// The program's only top-level window: no system frame, its own title bar (icon, name, menu, minimise,
// close) and a content area that hosts the main window. Dragging the title bar moves the window,
// dragging its top or bottom edge changes its height, and a double-click on the title bar toggles
// between the screen's full height and a preset height. The menu holds the language choice and the
// help entries. GUI thread only.
class CustomWindowFrame : public QMainWindow
{
    Q_OBJECT

public:
    // content may be null: the content area then stays empty.
    explicit CustomWindowFrame(QWidget* content, QWidget* parent = nullptr);
    ~CustomWindowFrame() override;

    // Switches between the full height of the primary screen's available area and the preset height.
    void toggleMaximized();
    // The same switch against the given available area.
    void toggleHeight(const QRect& available);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Q_DISABLE_COPY(CustomWindowFrame)

    void initWindowStyle();
    void initConnections();
    void updateCursor();
    void onLanguageChanged();
    bool isOnTitleBar(const QPoint& framePos) const;

    // The menu of the title bar.
    void initMenu();
    void initLanguageChecks(QMenu* languageMenu);
    void updateLanguageChecks(QAction* checked);
    void onLanguageActionTriggered();
    void onHelpMenuTriggered();
    void retranslateMenu();

    static constexpr int NoEdge = 0;
    static constexpr int TopEdge = 1;
    static constexpr int BottomEdge = 2;

    int resizeEdge = NoEdge; // the edge under the pointer, as the hover last saw it
    bool isFullHeight = false;
    Ui_CustomWindowFrame* ui;
    bool isMoving = false;
    bool isResizing = false;
    QPoint lastMousePos; // global pointer position at the last step of a move

    QMenu* menu = nullptr;
    QAction* actionFaq = nullptr;
    QAction* actionSupport = nullptr;
    QAction* actionCheckUpdate = nullptr;
    QAction* actionAbout = nullptr;
    QAction* actionLanguage = nullptr;
    QAction* actionShowLog = nullptr;
};
