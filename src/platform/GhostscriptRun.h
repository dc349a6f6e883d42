#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <chrono>
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
    int signal = 0;
    QString error;
    // How the first try ended, when the process that had served earlier runs ended during this one and the run was
    // made again in a fresh process; empty otherwise.
    QString firstTry;
};

// Ghostscript's text as it comes, in pieces: stream 1 is its standard output, 2 its error output.
using GhostscriptText = std::function<void(int stream, const QByteArray& text)>;

// Runs Ghostscript once with arguments (whose input and output are GhostscriptInputName and GhostscriptOutputName),
// reading inputPath as a PDF and writing outputPath, in a process that ends with the program whatever ends the
// program. Waits for it on the calling thread, at most timeLimit from when the run is sent. The arguments, a password
// among them, never appear on a command line, in an environment or in Ghostscript's own argument list.
//
// Each thread keeps one process and sends it its runs one after another, each to a fresh Ghostscript instance, for as
// long as they end cleanly; after any other end the thread's next run gets a fresh process. A run during which a
// process that had served earlier runs ended is made once more in a fresh one, so that only what a file does in a
// process of its own counts against it. Every process has a scratch folder of its own, which goes with it.
GhostscriptOutcome runGhostscript(const QByteArrayList& arguments, const QString& inputPath, const QString& outputPath,
                                  std::chrono::milliseconds timeLimit, const GhostscriptText& onText);

// Ends every Ghostscript process at once, running or waiting for its next run, and every run that starts from now on
// (their callers get Stopped): for the program's last moments. Returns how many were running.
int stopGhostscriptRuns();

// The identifier that a Ghostscript process must answer with instead of this build's; empty for this build's. For
// tests only.
void setGhostscriptBuildId(const QByteArray& buildId);

// The folder under which each Ghostscript process gets a scratch folder of its own: TMPDIR, as Ghostscript itself
// would take it, or /tmp.
QString ghostscriptTemporaryFolder();

// "SIGSEGV (Segmentation fault)".
QString describeSignal(int signal);

} // namespace platform
