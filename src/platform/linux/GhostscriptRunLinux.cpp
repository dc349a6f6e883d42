#include "platform/GhostscriptRun.h"

#include "platform/linux/GhostscriptChannel.h"

#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
// glibc 2.36's header forgets to give its functions C linkage.
extern "C" {
#include <sys/pidfd.h>
}
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

extern char** environ;

namespace platform {

const char GhostscriptInputName[] = "/dev/fd/4";
const char GhostscriptOutputName[] = "/dev/fd/5";
static_assert(GhostscriptChannel::InputFd == 4 && GhostscriptChannel::OutputFd == 5, "names and descriptors differ");

namespace {

using namespace GhostscriptChannel;
using Clock = std::chrono::steady_clock;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The child program lies next to the running program.
const QByteArray& childProgram()
{
    static const QByteArray path = [] {
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        QByteArray folder = length > 0 ? QByteArray(buffer, static_cast<int>(length)) : QByteArray();
        folder.truncate(folder.lastIndexOf('/'));
        return folder + "/ZolvaneGhostscript";
    }();
    return path;
}

// A process that runs with SIGCHLD ignored has its children reaped by the kernel, and their ends could not be told
// apart. Looked at before every start: the program may have been started so, or something may have set it since.
void watchChildrenEnding()
{
    struct sigaction current = {};
    if (sigaction(SIGCHLD, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
        struct sigaction standard = {};
        standard.sa_handler = SIG_DFL;
        sigemptyset(&standard.sa_mask);
        sigaction(SIGCHLD, &standard, nullptr);
    }
}

// How long a killed child may take to go. Only one stuck in the kernel (on a hung network folder) takes longer; it is
// then left to the system rather than keeping its thread, and with it the program's end, waiting for good.
constexpr std::chrono::seconds KilledChildEndLimit(10);

// One child, from its start to its reaping. The pidfd stays the child's own until it is closed, so a signal sent
// through it can never reach another process that was given the same id.
class Child
{
public:
    Child() = default;
    Child(Child&& other) noexcept { *this = std::move(other); }
    Child& operator=(Child&& other) noexcept
    {
        std::swap(m_pid, other.m_pid);
        std::swap(m_pidfd, other.m_pidfd);
        std::swap(m_channel, other.m_channel);
        return *this;
    }
    ~Child() { end(); }

    static Child start(bool spare, QString* error);

    bool isValid() const { return m_pid > 0; }
    int pidfd() const { return m_pidfd; }
    int channel() const { return m_channel; }

    bool hasEnded() const
    {
        pollfd ended = {m_pidfd, POLLIN, 0};
        return ::poll(&ended, 1, 0) > 0;
    }

    void kill() const { ::pidfd_send_signal(m_pidfd, SIGKILL, nullptr, 0); }

    // Whether the child has ended within ms milliseconds.
    bool waitForEnd(int ms) const
    {
        pollfd ended = {m_pidfd, POLLIN, 0};
        int ready;
        do {
            ready = ::poll(&ended, 1, ms);
        } while (ready < 0 && errno == EINTR);
        return ready > 0;
    }

    // Takes the status of a child that has ended; false when the system would not tell it. The child is gone
    // afterwards.
    bool reap(int* status)
    {
        pid_t waited;
        do {
            waited = ::waitpid(m_pid, status, 0);
        } while (waited < 0 && errno == EINTR);
        close();
        return waited > 0;
    }

    // Leaves a child that does not end to the system.
    void abandon() { close(); }

    // Ends the child, whatever it is doing.
    void end()
    {
        if (!isValid())
            return;
        kill();
        int status = 0;
        if (waitForEnd(static_cast<int>(std::chrono::milliseconds(KilledChildEndLimit).count())))
            reap(&status);
        else
            abandon();
    }

private:
    Q_DISABLE_COPY(Child)

    void close()
    {
        if (m_pidfd >= 0)
            ::close(m_pidfd);
        if (m_channel >= 0)
            ::close(m_channel);
        m_pid = -1;
        m_pidfd = -1;
        m_channel = -1;
    }

    pid_t m_pid = -1;
    int m_pidfd = -1;
    int m_channel = -1;
};

Child Child::start(bool spare, QString* error)
{
    watchChildrenEnding();
    Child child;
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        *error = QStringLiteral("Cannot make a channel to Ghostscript: %1").arg(systemError(errno));
        return child;
    }
    // Above the child's own numbers, so that dup2 really makes a copy (one without close-on-exec) at ChannelFd.
    const int childEnd = ::fcntl(sockets[1], F_DUPFD_CLOEXEC, OutputFd + 1);
    ::close(sockets[1]);
    if (childEnd < 0) {
        *error = QStringLiteral("Cannot make a channel to Ghostscript: %1").arg(systemError(errno));
        ::close(sockets[0]);
        return child;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_adddup2(&actions, childEnd, ChannelFd);
    posix_spawn_file_actions_addclosefrom_np(&actions, ChannelFd + 1);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signalSet;
    sigemptyset(&signalSet);
    posix_spawnattr_setsigmask(&attributes, &signalSet);
    // Nothing the program ignores (SIGPIPE, a SIGHUP under nohup) stays ignored in the child.
    sigfillset(&signalSet);
    posix_spawnattr_setsigdefault(&attributes, &signalSet);
    // A group of its own: Ctrl+C in the terminal asks the program to end, which lets running compressions finish;
    // it must not reach them directly.
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    QByteArray program = childProgram();
    QByteArray parent = QByteArray::number(::getpid());
    char spareArgument[sizeof SpareArgument];
    std::memcpy(spareArgument, SpareArgument, sizeof SpareArgument);
    char* argv[] = {program.data(), parent.data(), spare ? spareArgument : nullptr, nullptr};
    pid_t pid = -1;
    const int started = ::posix_spawn(&pid, program.constData(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(childEnd);
    if (started != 0) {
        *error = QStringLiteral("Cannot start %1: %2").arg(QFile::decodeName(program), systemError(started));
        ::close(sockets[0]);
        return child;
    }

    child.m_pid = pid;
    child.m_channel = sockets[0];
    child.m_pidfd = ::pidfd_open(pid, 0);
    if (child.m_pidfd < 0) {
        *error = QStringLiteral("Cannot watch Ghostscript's process: %1").arg(systemError(errno));
        ::kill(pid, SIGKILL); // not reaped yet, so the id is still the child's
        int status = 0;
        child.reap(&status);
    }
    return child;
}

// The child that this thread started ahead for its next run; it ends with the thread.
thread_local Child t_spare;

// The children that are running, for stopGhostscriptRuns.
struct Running
{
    const Child* child;
    bool stopped;
};
std::mutex g_runningMutex;
std::vector<Running*> g_running;
// Set by stopGhostscriptRuns: a run that gets this far afterwards (its task was past the queue but had not started
// Ghostscript yet) is stopped as well.
bool g_stopping = false;

bool isStopping()
{
    const std::lock_guard<std::mutex> lock(g_runningMutex);
    return g_stopping;
}

class RunningEntry
{
public:
    explicit RunningEntry(const Child& child) : m_entry{&child, false}
    {
        const std::lock_guard<std::mutex> lock(g_runningMutex);
        if (g_stopping) {
            m_entry.stopped = true;
            child.kill();
        }
        g_running.push_back(&m_entry);
    }
    ~RunningEntry() { leave(); }

    // Whether stopGhostscriptRuns ended the child. Call before the child is reaped.
    bool leave()
    {
        const std::lock_guard<std::mutex> lock(g_runningMutex);
        g_running.erase(std::remove(g_running.begin(), g_running.end(), &m_entry), g_running.end());
        return m_entry.stopped;
    }

private:
    Q_DISABLE_COPY(RunningEntry)
    Running m_entry;
};

// The whole request, then the end of it.
bool sendRequest(int socket, const std::string& request)
{
    return sendAll(socket, request) && ::shutdown(socket, SHUT_WR) == 0;
}

// The spare when it is still waiting, else a child started now.
Child takeChild(QString* error)
{
    Child child = std::move(t_spare);
    if (child.isValid() && child.hasEnded())
        child.end();
    if (!child.isValid())
        child = Child::start(false, error);
    return child;
}

int pollTimeout(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
}

} // namespace

GhostscriptOutcome runGhostscript(const QByteArrayList& arguments, const QString& inputPath, const QString& outputPath,
                                  std::chrono::milliseconds timeLimit, const GhostscriptText& onText)
{
    GhostscriptOutcome outcome;
    Request request;
    for (const QByteArray& argument : arguments)
        request.arguments.push_back(argument.toStdString());
    request.inputPath = QFile::encodeName(inputPath).toStdString();
    request.outputPath = QFile::encodeName(outputPath).toStdString();
    const std::string requestBytes = encodeRequest(request);

    Child child = takeChild(&outcome.error);
    if (!child.isValid())
        return outcome;
    // A spare that died meanwhile (killed from outside) has not read its request: that is no fault of this file.
    if (!sendRequest(child.channel(), requestBytes)) {
        child.end();
        child = Child::start(false, &outcome.error);
        if (!child.isValid() || !sendRequest(child.channel(), requestBytes)) {
            if (outcome.error.isEmpty())
                outcome.error = QStringLiteral("Ghostscript's process did not take its task");
            return outcome;
        }
    }
    const Clock::time_point deadline = Clock::now() + timeLimit;
    RunningEntry running(child);
    // The next run's child starts up while this one works.
    QString spareError;
    if (!isStopping())
        t_spare = Child::start(true, &spareError);

    ::fcntl(child.channel(), F_SETFL, ::fcntl(child.channel(), F_GETFL) | O_NONBLOCK);
    FrameReader reader;
    Result result;
    bool answered = false;
    bool timedOut = false;
    bool channelOpen = true;
    Clock::time_point killed = Clock::time_point::max();
    const auto kill = [&] {
        if (killed == Clock::time_point::max()) {
            child.kill();
            killed = Clock::now();
        }
    };
    // One read at a time, so that a child that never stops writing cannot keep the time limit from being looked at.
    const auto readChannel = [&] {
        char buffer[64 * 1024];
        ssize_t count;
        do {
            count = ::read(child.channel(), buffer, sizeof buffer);
        } while (count < 0 && errno == EINTR);
        if (count <= 0) {
            channelOpen = count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
            return false;
        }
        reader.feed(buffer, static_cast<std::size_t>(count));
        FrameType type;
        std::string payload;
        while (reader.next(type, payload)) {
            if (type == ResultFrame)
                answered = decodeResult(payload, result);
            else if (onText)
                onText(type == StandardOutput ? 1 : 2, QByteArray::fromStdString(payload));
        }
        if (reader.broken()) {
            // Not our child's words any more: whatever runs there is ended.
            kill();
            channelOpen = false;
            return false;
        }
        return true;
    };

    bool ended = false;
    while (!ended) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline && !timedOut) {
            timedOut = true;
            kill();
        }
        const Clock::time_point waitUntil =
            killed == Clock::time_point::max() ? deadline : killed + KilledChildEndLimit;
        if (now >= waitUntil)
            break;
        pollfd watched[2] = {{child.pidfd(), POLLIN, 0}, {child.channel(), POLLIN, 0}};
        const int ready = ::poll(watched, channelOpen ? 2 : 1, pollTimeout(waitUntil));
        if (ready < 0 && errno != EINTR) {
            // Nothing left to wait with: the run cannot be seen to its end.
            outcome.error = QStringLiteral("Cannot wait for Ghostscript's process: %1").arg(systemError(errno));
            kill();
            ended = child.waitForEnd(static_cast<int>(std::chrono::milliseconds(KilledChildEndLimit).count()));
            break;
        }
        if (ready > 0 && channelOpen && (watched[1].revents & (POLLIN | POLLHUP | POLLERR)))
            readChannel();
        ended = ready > 0 && (watched[0].revents & POLLIN) != 0;
    }
    // What the child wrote just before it ended; no one writes any more.
    while (ended && channelOpen && readChannel()) {
    }

    const bool stopped = running.leave();
    int status = 0;
    const bool seen = ended && child.reap(&status);
    if (!ended)
        child.abandon();
    if (!outcome.error.isEmpty()) {
        // Said above.
    } else if (answered && seen && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        outcome.end = GhostscriptOutcome::End::Finished;
        outcome.newInstanceCode = result.newInstanceCode;
        outcome.initCode = result.initCode;
        outcome.exitCode = result.exitCode;
    } else if (reader.broken()) {
        outcome.error = QStringLiteral("Ghostscript's process sent what it cannot have meant");
    } else if (timedOut) {
        outcome.end = GhostscriptOutcome::End::TimedOut;
    } else if (stopped) {
        outcome.end = GhostscriptOutcome::End::Stopped;
    } else if (seen && WIFSIGNALED(status)) {
        outcome.end = GhostscriptOutcome::End::Signalled;
        outcome.signal = WTERMSIG(status);
    } else if (!seen) {
        outcome.error = QStringLiteral("The system did not tell how Ghostscript's process ended");
    } else {
        outcome.error = QStringLiteral("Ghostscript's process ended with status %1 and no result")
                            .arg(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return outcome;
}

int stopGhostscriptRuns()
{
    const std::lock_guard<std::mutex> lock(g_runningMutex);
    g_stopping = true;
    for (Running* running : g_running) {
        running->stopped = true;
        running->child->kill();
    }
    return static_cast<int>(g_running.size());
}

QString describeSignal(int signal)
{
    const char* abbreviation = sigabbrev_np(signal);
    const char* description = sigdescr_np(signal);
    if (!abbreviation)
        return QStringLiteral("signal %1").arg(signal);
    return QStringLiteral("SIG%1 (%2)")
        .arg(QLatin1String(abbreviation), description ? QLatin1String(description) : QLatin1String("?"));
}

} // namespace platform
