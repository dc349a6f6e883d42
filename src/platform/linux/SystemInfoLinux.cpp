#include "platform/SystemInfo.h"

#include "platform/linux/ProcInfo.h"

#include <QFile>
#include <QList>

#include <sys/utsname.h>
#include <unistd.h>

namespace platform {

namespace {

QByteArray readProcFile(const char* path)
{
    // Files under /proc report a size of 0; readAll() reads them to their end all the same.
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Calls back with each "name : value" line of a /proc text, names and values trimmed, until the
// callback returns false.
template <typename Callback> void forEachField(const QByteArray& text, Callback callback)
{
    for (const QByteArray& line : text.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon < 0) {
            if (!callback(line.trimmed(), QByteArray()))
                return;
            continue;
        }
        if (!callback(line.left(colon).trimmed(), line.mid(colon + 1).trimmed()))
            return;
    }
}

} // namespace

void readCpuinfo(const QByteArray& cpuinfo, ProcessorInfo& info)
{
    int model = 0;
    int stepping = 0;
    forEachField(cpuinfo, [&](const QByteArray& name, const QByteArray& value) {
        if (name.isEmpty())
            return false; // a blank line ends the first processor's block
        if (name == "cpu family")
            info.level = value.toInt();
        else if (name == "model")
            model = value.toInt();
        else if (name == "stepping")
            stepping = value.toInt();
        return true;
    });
    info.revision = (model << 8) | stepping;
}

MemoryStatus parseMeminfo(const QByteArray& meminfo)
{
    // Values are given in kB (KiB). Kernels before 3.14 have no MemAvailable; MemFree is the closest.
    quint64 totalKb = 0;
    quint64 freeKb = 0;
    qint64 availableKb = -1;
    forEachField(meminfo, [&](const QByteArray& name, const QByteArray& value) {
        const quint64 kb = value.split(' ').first().toULongLong();
        if (name == "MemTotal")
            totalKb = kb;
        else if (name == "MemFree")
            freeKb = kb;
        else if (name == "MemAvailable")
            availableKb = static_cast<qint64>(kb);
        return true;
    });

    MemoryStatus status;
    status.totalBytes = totalKb * 1024;
    status.availableBytes = (availableKb >= 0 ? static_cast<quint64>(availableKb) : freeKb) * 1024;
    if (status.availableBytes > status.totalBytes)
        status.availableBytes = status.totalBytes;
    if (status.totalBytes > 0) {
        const quint64 used = status.totalBytes - status.availableBytes;
        status.loadPercent = static_cast<int>((used * 100 + status.totalBytes / 2) / status.totalBytes);
    }
    return status;
}

QString processorNameCommand()
{
    // The "model name" of the first processor, without its label. No shell: runCommand splits the
    // line itself, honouring double quotes.
    return QStringLiteral(R"(sed -n "/^model name/{s/^[^:]*: *//p;q}" /proc/cpuinfo)");
}

ProcessorInfo processorInfo()
{
    ProcessorInfo info;
    info.count = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
    struct utsname names;
    if (uname(&names) == 0)
        info.type = QString::fromLatin1(names.machine);
    readCpuinfo(readProcFile("/proc/cpuinfo"), info);
    return info;
}

MemoryStatus memoryStatus()
{
    return parseMeminfo(readProcFile("/proc/meminfo"));
}

} // namespace platform
