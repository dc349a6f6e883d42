#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <chrono>
#include <functional>

namespace platform {

// The names under which Ghostscript, in its child process, reads the input and writes the output: descriptors that
// the child opened itself. Ghostscript takes them whatever the files' own names are (it refuses path components that
// begin with "|" or "%pipe", and arguments of 2048 bytes or more).
extern const char GhostscriptInputName[];
extern const char GhostscriptOutputName[];

struct GhostscriptOutcome
{
    enum class End
    {
        // Ghostscript returned; the three codes are what its calls returned.
        Finished,
        // The child could not be started, or ended without telling how Ghostscript returned; error says what happened.
        Failed,
        // The child ended by signal: a crash, the kernel's out-of-memory killer, a kill from outside.
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
    int signal = 0;
    QString error;
};

// Ghostscript's text as it comes, in pieces: stream 1 is its standard output, 2 its error output.
using GhostscriptText = std::function<void(int stream, const QByteArray& text)>;

// Runs Ghostscript once with arguments (whose input and output are GhostscriptInputName and GhostscriptOutputName),
// reading inputPath and writing outputPath, in a child process of its own that ends with the program whatever ends
// the program. Waits for it on the calling thread, at most timeLimit. The arguments, a password among them, never
// appear on a command line or in an environment. Each thread keeps one child started ahead for its next run, which
// ends with the thread.
GhostscriptOutcome runGhostscript(const QByteArrayList& arguments, const QString& inputPath, const QString& outputPath,
                                  std::chrono::milliseconds timeLimit, const GhostscriptText& onText);

// Ends every run at once, and every run that starts from now on (their callers get Stopped): for the program's last
// moments. Returns how many were running.
int stopGhostscriptRuns();

// "SIGSEGV (Segmentation fault)".
QString describeSignal(int signal);

} // namespace platform
