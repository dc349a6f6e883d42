#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

// The Ghostscript children of a process as /proc shows them, for tests that watch what becomes of them.
namespace ChildProcesses {

// A process, told apart from a later one that is given the same id by the moment it started.
struct Process
{
    pid_t pid = 0;
    quint64 startTime = 0;
};

// The living children of parent that run ZolvaneGhostscript.
QList<Process> ghostscriptChildren(pid_t parent);

// The one of them that has the file at path open: the child that compresses it. 0 when there is none.
pid_t ghostscriptChildReading(pid_t parent, const QString& path);

// Whether the process still runs: not gone, not a zombie, and not another one under its id.
bool isAlive(const Process& process);

// Whether the process has ended and was never reaped: it holds a place in the system's process table.
bool isUnreaped(const Process& process);

// What /proc tells anyone who may look of the process: its command line and its environment.
QByteArray commandLineAndEnvironment(pid_t pid);

} // namespace ChildProcesses
