#include "LogCatcher.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

// Messages come from any thread.
QMutex mutex;
QStringList collected;

void collect(QtMsgType, const QMessageLogContext&, const QString& message)
{
    const QMutexLocker locker(&mutex);
    collected << message;
}

} // namespace

LogCatcher::LogCatcher()
{
    {
        const QMutexLocker locker(&mutex);
        collected.clear();
    }
    previous = qInstallMessageHandler(collect);
}

LogCatcher::~LogCatcher()
{
    qInstallMessageHandler(previous);
}

QStringList LogCatcher::messages() const
{
    const QMutexLocker locker(&mutex);
    return collected;
}
