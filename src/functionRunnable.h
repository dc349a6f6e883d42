#pragma once

#include <QObject>
#include <QRunnable>
#include <QString>

class FileItem;

// One piece of work for one document on the thread pool; deletes itself when its run returns.
// Signals emitted by the run reach receivers of the GUI thread queued.
class FunctionRunnable : public QObject, public QRunnable
{
    Q_OBJECT

public:
    // The only task type: compress the item's file into the output folder.
    static constexpr int CompressTask = 6;

    // item is not owned and must outlive the run.
    FunctionRunnable(int taskType, FileItem* item, QString outputDir, QObject* parent = nullptr);
    ~FunctionRunnable() override;

    void run() override;

signals:
    // The task's result: 0 on success, -1 for an unknown task type, else the compressor's code.
    void finished(int code);

private:
    Q_DISABLE_COPY(FunctionRunnable)

    FileItem* m_item;
    // Kept from the start: once finished() is out, the document may be deleted before this task is.
    QString m_filePath;
    QString m_outputDir;
    int m_taskType;
};
