#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>

namespace platform {

// The names under which Ghostscript, in its process, reads the input and writes the output: descriptors that the
// process opened itself. Ghostscript takes them whatever the files' own names are (it refuses path components that
// begin with "|" or "%pipe", and arguments of 2048 bytes or more).
extern const char GhostscriptInputName[];
extern const char GhostscriptOutputName[];

struct GhostscriptOutcome
{
    enum class End
    {
        // Ghostscript returned; the three codes are what its calls returned.
        Finished,
        // The process could not be started, or ended without telling how Ghostscript returned; error says what
        // happened.
        Failed,
        // The process ended by signal: a crash, the kernel's out-of-memory killer, a kill from outside.
        Signalled,
        // It ran longer than it was given and was ended.
        TimedOut,
        // stopGhostscriptRuns ended it.
        Stopped,
    };
    End end = End::Failed;
    int newInstanceCode = 0;
    int initCode = 0;
    int exitCode = 0;
    // Ghostscript said that it could not write its output or its scratch files whole, which it tells in its text
    // only: its codes are 0 all the same.
    bool writeFailed = false;
    // The pages that Ghostscript drew into the output; -1 when it did not tell. None means that it could not read the
    // input, which it tells in its text only, and writes one blank page of its own in its place.
    int pagesDrawn = -1;
    int signal = 0;
    QString error;
    // How the first try ended, when the process that had served earlier runs ended during this one and the run was
    // made again in a fresh process; empty otherwise.
    QString firstTry;
};

// Ghostscript's text as it comes, in pieces: stream 1 is its standard output, 2 its error output.
using GhostscriptText = std::function<void(int stream, const QByteArray& text)>;

// Runs Ghostscript once with arguments (whose input and output are GhostscriptInputName and GhostscriptOutputName),
// reading the file open at input as a PDF and writing the one open at output, in a process that ends with the program
// whatever ends the program. Ghostscript is handed the open files themselves, so it reads and writes what the program
// checks, whatever becomes of their names. Waits for it on the calling thread, at most timeLimit from when the run is
// sent. The arguments, a password among them, never appear on a command line, in an environment or in Ghostscript's
// own argument list, and go only to a process that has said that it belongs to this build.
//
// Each thread keeps one process and sends it its runs one after another, each to a fresh Ghostscript instance, for as
// long as they end cleanly; after any other end the thread's next run gets a fresh process. A run during which a
// process that had served earlier runs ended is made once more in a fresh one, so that only what a file does in a
// process of its own counts against it. Every process has a scratch folder of its own, which goes with it.
GhostscriptOutcome runGhostscript(const QByteArrayList& arguments, int input, int output,
                                  std::chrono::milliseconds timeLimit, const GhostscriptText& onText);

// What runs in place of Ghostscript, for tests of what the program makes of a run: it writes an output of its choosing
// into output and says how the run ended. Null for Ghostscript itself.
using GhostscriptStandIn = GhostscriptOutcome (*)(int output);
void setGhostscriptStandIn(GhostscriptStandIn standIn);

// Ends every Ghostscript process at once, running or waiting for its next run, and every run that starts from now on
// (their callers get Stopped): for the program's last moments. Returns how many were running.
int stopGhostscriptRuns();

// How many runs a process serves, and how much memory it may hold after a run, before it is replaced (100, and
// 256 MB); 0 for those. For tests only.
void setGhostscriptProcessLimits(int runs, std::uint64_t residentBytes);

// The program that is started as Ghostscript's process instead of ZolvaneGhostscript; empty for that. For tests only.
void setGhostscriptProgram(const QByteArray& program);

// The identifier that a Ghostscript process must answer with instead of this build's; empty for this build's. For
// tests only.
void setGhostscriptBuildId(const QByteArray& buildId);

// The folder under which each Ghostscript process gets a scratch folder of its own: TMPDIR, as Ghostscript itself
// would take it, or /tmp. One that others may write to without a sticky bit, or that belongs to another user, is
// refused.
QString ghostscriptTemporaryFolder();

// "SIGSEGV (Segmentation fault)".
QString describeSignal(int signal);

} // namespace platform
