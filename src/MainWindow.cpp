#include "MainWindow.h"

#include "FileItemList.h"

// Placeholder until the window is built: enough for the dialogs to have their parent.
MainWindow* MainWindow::gInstance()
{
    static MainWindow* const instance = new MainWindow;
    return instance;
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), fileList(new FileItemList), waiting(nullptr), ui(nullptr)
{
}

MainWindow::~MainWindow()
{
    delete fileList;
}

void MainWindow::addPdfFiles(QStringList) {}
void MainWindow::updateCompressButton() {}
void MainWindow::setControlsEnabled(bool) {}
void MainWindow::btn_add_file_clicked() {}
void MainWindow::btn_clear_clicked() {}
void MainWindow::btn_delete_clicked() {}
void MainWindow::btn_compress_clicked() {}
void MainWindow::btn_open_folder_clicked() {}
void MainWindow::selectOutputFolder() {}
void MainWindow::onTaskFinished() {}
void MainWindow::onLanguageChanged() {}
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    return QMainWindow::eventFilter(watched, event);
}
void MainWindow::keyPressEvent(QKeyEvent*) {}
void MainWindow::dragEnterEvent(QDragEnterEvent*) {}
void MainWindow::dropEvent(QDropEvent*) {}
