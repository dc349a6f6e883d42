#pragma once

#include <QString>

namespace platform {

// Hands one finished log line to whatever watches the program from outside (a debugger, a
// terminal). The line is written whole, so lines of several threads never mix.
void writeDebugOutput(const QString& line);

// From this call on, writing to a pipe whose reader has gone (the program's output piped into one that has ended)
// fails with EPIPE instead of ending the process: what was written there goes nowhere. Call first thing in main.
void keepRunningOnClosedPipes();

} // namespace platform
