#pragma once

#include "platform/SystemInfo.h"

#include <QByteArray>

namespace platform {

// Readers of the kernel's /proc/cpuinfo and /proc/meminfo texts.

// Family, model and stepping of the first processor listed; the rest of ProcessorInfo is left as is.
void readCpuinfo(const QByteArray& cpuinfo, ProcessorInfo& info);
MemoryStatus parseMeminfo(const QByteArray& meminfo);

} // namespace platform
