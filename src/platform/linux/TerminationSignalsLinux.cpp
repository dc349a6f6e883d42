#include "platform/TerminationSignals.h"

#include <QObject>
#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

constexpr int TerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// A signal handler may do next to nothing: it writes the signal's number into this pipe, whose other end the event
// loop watches. Both ends are non-blocking, so that a full pipe (a flood of signals, each already noted) drops a byte
// rather than stopping the thread that the signal interrupted.
int signalPipe[2] = {-1, -1};

void onTerminationSignal(int signal)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (::write(signalPipe[1], &number, 1) < 0) {
        // Nothing a handler could do about it.
    }
    errno = savedErrno;
}

QString signalName(int signal)
{
    switch (signal) {
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    }
    return QStringLiteral("signal %1").arg(signal);
}

// Reads what the pipe holds without waiting for more; returns the signals' numbers.
QByteArray readSignalPipe()
{
    QByteArray numbers;
    unsigned char buffer[16];
    ssize_t count;
    while ((count = ::read(signalPipe[0], buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR)) {
        if (count > 0)
            numbers.append(reinterpret_cast<const char*>(buffer), static_cast<int>(count));
    }
    return numbers;
}

} // namespace

bool catchTerminationSignals(QObject* context, std::function<void(const QString& signalName)> onSignal)
{
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;

    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [onSignal = std::move(onSignal)] {
        const QByteArray numbers = readSignalPipe();
        for (char number : numbers)
            onSignal(signalName(static_cast<unsigned char>(number)));
    });

    struct sigaction action = {};
    action.sa_handler = &onTerminationSignal;
    // Calls that the signal interrupts on other threads (Ghostscript writing, Qt waiting) go on by themselves.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal : TerminationSignals) {
        struct sigaction previous = {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(signal, &action, nullptr);
    }
    return true;
}

QString takeTerminationSignal()
{
    if (signalPipe[0] < 0)
        return QString();
    const QByteArray numbers = readSignalPipe();
    return numbers.isEmpty() ? QString() : signalName(static_cast<unsigned char>(numbers.at(0)));
}

} // namespace platform
