#pragma once

#include <QString>
#include <QStringList>

// The operating system's side of crash handling: catching the crash, writing the dump and starting the crash
// box. What the program then says and shows is crashExceptionFilter's business (CrashDump.h).

// What a crashed process hands to the crash box program.
struct CrashReport
{
    // The dump file that was written, or the one that could not be written.
    QString dumpPath;
    bool dumpWritten = false;
    // One line for the log: what crashed and on which thread, e.g.
    // signal SIGSEGV (address not mapped) at address 0x0 on thread 4711 "Thread (pooled)"
    QString description;
};

// Installs the process-wide crash handling. From then on a fatal signal (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT)
// on any thread, or a C++ exception that no code of a thread catches:
//   1. writes "crash_yyyyMMddhhmmss.dmp" (local time of the crash) into dumpDir, which must already exist: the
//      signal or exception, the faulting address, the crashing thread, its backtrace and the loaded modules;
//   2. starts boxProgram with the CrashReport as its arguments (see crashReportFromArguments) and waits for it;
//      unless the box exits normally with status 0, says what crashed and where the dump is on standard error;
//   3. ends the process with the signal that crashed it, or with SIGABRT after an exception.
// While a signal is being handled only async-signal-safe calls run: paths, arguments and buffers are prepared here,
// and a stack overflow is handled on an alternate signal stack, which every thread started after this call gets.
// Call once, from the main thread. Returns false when a path is too long to be used; nothing is installed then.
bool installCrashHandler(const QString& dumpDir, const QString& boxProgram);

// For the crash box program: reads the report from its command line (the program path first, as in
// QCoreApplication::arguments()). Returns false when the arguments are not a crash report.
bool crashReportFromArguments(const QStringList& arguments, CrashReport& report);
