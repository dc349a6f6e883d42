#include "platform/DebugOutput.h"

#include <cerrno>
#include <signal.h>
#include <unistd.h>

namespace platform {

void writeDebugOutput(const QString& line)
{
    // One write() per line: stderr is unbuffered and shared by every thread, and a single write of a
    // line keeps it in one piece on a terminal or a pipe.
    const QByteArray bytes = line.toUtf8() + '\n';
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return; // nobody is listening; the HTML page still has the line
        }
        data += written;
        left -= written;
    }
}

void keepRunningOnClosedPipes()
{
    // Qt does the same once it opens its first socket; until then the update library's first line on standard
    // output, or the log's first line on standard error, would end the program before its window shows.
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);
}

} // namespace platform
