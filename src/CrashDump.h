#pragma once

#include "platform/CrashHandler.h"

#include <QStringList>

// Installs crashExceptionFilter as the program's answer to every crash: a fatal signal on any thread, or a C++
// exception that no code catches. The dump goes to the "Log" folder of the program's own directory, which the
// program never creates (without it no dump is written and the box says where it would have been). The box comes
// from the crash box program ZolvaneCrashBox, which must lie next to the running program.
//
// Call once, from main, right after the QApplication exists. Returns false when the handling could not be
// installed (a path too long to use).
bool installCrashExceptionFilter();

// What the program does about a crash, run by the crash box program once the crashed process has written its dump:
// logs "Soft is Crash!...", what crashed and where the dump is, then "write log success..." or "write log
// failed...", and shows the critical box that names the dump. Returns when the user has closed the box.
void crashExceptionFilter(const CrashReport& report);

// The crash box program: logs into the program's HTML log and shows the box in the stored language. Expects the
// application object to exist. Returns the process's exit code.
int crashBoxMain(const QStringList& arguments);
