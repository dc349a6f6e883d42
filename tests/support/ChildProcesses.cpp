#include "ChildProcesses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ChildProcesses {

namespace {

struct Status
{
    char state = 0;
    pid_t parent = 0;
    quint64 startTime = 0;
};

// From /proc/PID/stat: the fields after the program's name, which may hold blanks and brackets itself.
bool readStatus(pid_t pid, Status& status)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = file.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // state, ppid, ..., starttime is the 20th after the name.
    if (fields.size() < 20)
        return false;
    status.state = fields.at(0).isEmpty() ? 0 : fields.at(0).at(0);
    status.parent = fields.at(1).toInt();
    status.startTime = fields.at(19).toULongLong();
    return true;
}

bool isZombie(char state)
{
    return state == 'Z' || state == 'X' || state == 0;
}

} // namespace

QList<Process> ghostscriptChildren(pid_t parent)
{
    QList<Process> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        Status status;
        if (!number || !readStatus(pid, status) || status.parent != parent || isZombie(status.state))
            continue;
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid))
                .symLinkTarget()
                .endsWith(QLatin1String("/ZolvaneGhostscript")))
            children << Process{pid, status.startTime};
    }
    return children;
}

pid_t ghostscriptChildReading(pid_t parent, const QString& path)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    for (const Process& child : ghostscriptChildren(parent)) {
        const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(child.pid));
        for (const QString& fd : descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (QFileInfo(descriptors.filePath(fd)).symLinkTarget() == file)
                return child.pid;
        }
    }
    return 0;
}

bool isAlive(const Process& process)
{
    Status status;
    return readStatus(process.pid, status) && status.startTime == process.startTime && !isZombie(status.state);
}

bool isUnreaped(const Process& process)
{
    Status status;
    return readStatus(process.pid, status) && status.startTime == process.startTime &&
           (status.state == 'Z' || status.state == 'X');
}

QByteArray commandLineAndEnvironment(pid_t pid)
{
    QByteArray seen;
    for (const char* name : {"cmdline", "environ"}) {
        QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
        if (file.open(QIODevice::ReadOnly))
            seen += file.readAll();
    }
    return seen;
}

} // namespace ChildProcesses
