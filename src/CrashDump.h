#pragma once

#include "platform/CrashHandler.h"

#include <QStringList>

// Installs crashExceptionFilter as the program's answer to every crash: a fatal signal on any thread, or a C++
// exception that no code catches. The dump goes to the per-user log folder (perUserPath(AppLogDir)), made here when
// it is missing; where it cannot be made, no dump is written and the box says where it would have been. The box
// comes from the crash box program ZolvaneCrashBox, which must lie next to the running program.
//
// Call once, from main, right after the QApplication exists. Returns false when the handling could not be
// installed (a path too long to use).
bool installCrashExceptionFilter();

// What the program does about a crash, run by the crash box program once the crashed process has written its dump:
// crashExceptionFilter logs "Soft is Crash!...", what crashed and where the dump is, then "write log success..." or
// "write log failed..."; showCrashBox then shows the critical box that names the dump, in the stored language, and
// returns when the user has closed it. Only showCrashBox needs the application object.
void crashExceptionFilter(const CrashReport& report);
void showCrashBox(const CrashReport& report);

// The crash box program's first step, taken before its application object exists so that the crash reaches the log
// even when no window can be shown: reads the report from the command line (program path first), installs the HTML
// log and runs crashExceptionFilter. Returns false, after a warning, when the arguments are not a crash report.
bool logCrashFromArguments(const QStringList& arguments, CrashReport& report);
