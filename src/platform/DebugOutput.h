#pragma once

#include <QString>

namespace platform {

// Hands one finished log line to whatever watches the program from outside (a debugger, a
// terminal). The line is written whole, so lines of several threads never mix.
void writeDebugOutput(const QString& line);

} // namespace platform
