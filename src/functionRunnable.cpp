#include "functionRunnable.h"

#include "FileItem.h"
#include "LogPosition.h"

#include <QThread>

FunctionRunnable::FunctionRunnable(int taskType, FileItem* item, QString outputDir, QObject* parent)
    : QObject(parent), m_item(item), m_filePath(item->filePath()), m_outputDir(std::move(outputDir)),
      m_taskType(taskType)
{
    setAutoDelete(true);
}

FunctionRunnable::~FunctionRunnable()
{
    LOG_DEBUG("FunctionRunnable::~FunctionRunnable") << "Thread end: " << m_filePath;
}

void FunctionRunnable::run()
{
    LOG_DEBUG("FunctionRunnable::run") << "Thread running: " << QThread::currentThreadId();
    emit m_item->processing();
    int code = -1;
    if (m_taskType == CompressTask)
        code = m_item->pdfCompress(m_filePath, m_outputDir);
    emit finished(code);
}
