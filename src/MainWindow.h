#pragma once

#include <QMainWindow>
#include <QStringList>

class FileItemList;
class Ui_MainWindow;
class Waiting;

// The content of the program's window: the tool bar (add, delete, clear), the empty-state page or the
// list of files, the output folder and the compress button. It owns the documents, gives each one a
// row, runs one compression task per pending document on the global thread pool and keeps its
// controls locked while a run lasts. One instance, made by gInstance(). GUI thread only.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Made on the first call and kept for the whole run; the parent of the program's dialogs.
    static MainWindow* gInstance();

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Lists the PDFs among paths that are not listed yet and open, each with its row.
    void addPdfFiles(QStringList paths);
    // Compress is possible unless every listed document is still locked.
    void updateCompressButton();
    // The add, clear, delete, open-folder and compress buttons and the output folder field.
    void setControlsEnabled(bool enabled);

    void btn_add_file_clicked();
    void btn_clear_clicked();
    void btn_delete_clicked();
    void btn_compress_clicked();
    void btn_open_folder_clicked();
    void selectOutputFolder();
    void onTaskFinished();
    void onLanguageChanged();

signals:
    void editClicked();
    void listEmpty();
    void stopTask();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Q_DISABLE_COPY(MainWindow)

    void initWidgets();
    void initConnections();

    int taskCount = 0; // tasks of the current run that have not finished
    FileItemList* fileList;
    Waiting* waiting;
    Ui_MainWindow* ui;
    int state = Idle;

    static constexpr int Idle = 1;
    static constexpr int Busy = 0;
};
