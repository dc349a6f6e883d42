#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

struct ProcessorInfo
{
    int count = 0;    // logical processors online
    QString type;     // the machine's architecture, such as "x86_64"
    int level = 0;    // processor family
    int revision = 0; // model and stepping, as (model << 8) | stepping
};

struct MemoryStatus
{
    int loadPercent = 0; // physical memory in use, 0..100
    quint64 totalBytes = 0;
    quint64 availableBytes = 0;
};

// A command line whose output, cleaned by runCommand(), is the processor's name alone.
QString processorNameCommand();

// What the system reports; fields it does not report stay 0 or empty.
ProcessorInfo processorInfo();
MemoryStatus memoryStatus();

} // namespace platform
