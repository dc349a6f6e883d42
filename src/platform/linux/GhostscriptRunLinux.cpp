#include "platform/GhostscriptRun.h"

#include "platform/linux/GhostscriptChannel.h"
#include "platform/linux/ScratchFolder.h"

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
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <random>
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

// The child program lies next to the running program; tests may put another in its place.
QByteArray& childProgram()
{
    static QByteArray path = [] {
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

    static Child start(int temporaryFolder, int scratchFolder, const QByteArray& scratchName, QString* error);

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

Child Child::start(int temporaryFolder, int scratchFolder, const QByteArray& scratchName, QString* error)
{
    watchChildrenEnding();
    Child child;
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        *error = QStringLiteral("Cannot make a channel to Ghostscript: %1").arg(systemError(errno));
        return child;
    }
    // What the child gets, copied above its own numbers first, so that each dup2 below really makes a copy (one
    // without close-on-exec) and none overwrites another's source.
    const int given[] = {sockets[1], scratchFolder, temporaryFolder};
    const int at[] = {ChannelFd, ScratchFd, TemporaryFd};
    int copies[3] = {-1, -1, -1};
    bool copied = true;
    for (int i = 0; i < 3; ++i)
        copied = copied && (copies[i] = ::fcntl(given[i], F_DUPFD_CLOEXEC, TemporaryFd + 1)) >= 0;
    const int copyError = errno;
    ::close(sockets[1]);
    const auto closeCopies = [&copies] {
        for (const int copy : copies) {
            if (copy >= 0)
                ::close(copy);
        }
    };
    if (!copied) {
        *error = QStringLiteral("Cannot make a channel to Ghostscript: %1").arg(systemError(copyError));
        closeCopies();
        ::close(sockets[0]);
        return child;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    for (int i = 0; i < 3; ++i)
        posix_spawn_file_actions_adddup2(&actions, copies[i], at[i]);
    posix_spawn_file_actions_addclosefrom_np(&actions, TemporaryFd + 1);

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

    // The program's environment, with the scratch folder in place of the temporary folder: Ghostscript writes its
    // scratch files there, and its safe mode lets a run read and write there. It is reached through the child's
    // descriptor, never by a name.
    std::vector<QByteArray> variables;
    for (char** variable = environ; *variable; ++variable) {
        if (std::strncmp(*variable, "TMPDIR=", 7) != 0)
            variables.emplace_back(*variable);
    }
    variables.push_back(QByteArray("TMPDIR=") + ScratchFolderName);
    std::vector<char*> environment;
    for (QByteArray& variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);

    QByteArray program = childProgram();
    QByteArray parent = QByteArray::number(::getpid());
    QByteArray name = scratchName;
    char* argv[] = {program.data(), parent.data(), name.data(), nullptr};
    pid_t pid = -1;
    const int started = ::posix_spawn(&pid, program.constData(), &actions, &attributes, argv, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    closeCopies();
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
    // A request goes whole into a process that reads it; one that stopped reading does not keep its thread.
    const timeval sendLimit = {static_cast<time_t>(KilledChildEndLimit.count()), 0};
    ::setsockopt(child.m_channel, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
    return child;
}

// A process is replaced after this many runs, and when it holds more than this after a run: what a run leaves behind
// in a process (fragmented memory, a library's caches) must not pile up.
constexpr int MaxRunsPerProcess = 100;
constexpr std::uint64_t MaxResidentBytes = 256 * 1024 * 1024;
std::atomic<int> g_maxRunsPerProcess{MaxRunsPerProcess};
std::atomic<std::uint64_t> g_maxResidentBytes{MaxResidentBytes};
// How long a new process may take to say which build it belongs to: loading Ghostscript takes a fraction of a second.
// Nothing is sent to a process before it has said so.
constexpr std::chrono::seconds GreetingLimit(10);

// The scratch folder of one process: made in the temporary folder, and from then on reached only through descriptors,
// so that no one who can write to the temporary folder can put another folder, or a link to one, in its place.
class Scratch
{
public:
    Scratch() = default;
    ~Scratch() { remove(); }

    bool make(QString* error);
    // Whether it is still the folder that was made, where it was made, and still the process's alone.
    bool isIntact() const;
    // Removes it with all in it, and closes it.
    void remove();

    int temporaryFolder() const { return m_temporary; }
    int folder() const { return m_folder; }
    const QByteArray& name() const { return m_name; }

private:
    Q_DISABLE_COPY(Scratch)

    int m_temporary = -1;
    int m_folder = -1;
    QByteArray m_name;
};

QString unsafeFolderReason(const struct stat& folder)
{
    if (!S_ISDIR(folder.st_mode))
        return QStringLiteral("it is not a folder");
    // As ssh and tmux refuse theirs: whoever may rename what is in it could swap the scratch folder for another.
    if ((folder.st_mode & (S_IWGRP | S_IWOTH)) && !(folder.st_mode & S_ISVTX))
        return QStringLiteral("others may write to it and it has no sticky bit, so another user could put a folder "
                              "of theirs in place of Ghostscript's");
    if (folder.st_uid != 0 && folder.st_uid != ::geteuid())
        return QStringLiteral("it belongs to another user");
    return QString();
}

bool Scratch::make(QString* error)
{
    remove();
    const QString temporary = ghostscriptTemporaryFolder();
    const auto fail = [&](const QString& why) {
        *error = QStringLiteral("Cannot make a scratch folder for Ghostscript in %1: %2").arg(temporary, why);
        remove();
        return false;
    };
    m_temporary = ::open(QFile::encodeName(temporary).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_temporary < 0)
        return fail(systemError(errno));
    struct stat status = {};
    if (::fstat(m_temporary, &status) != 0)
        return fail(systemError(errno));
    const QString unsafe = unsafeFolderReason(status);
    if (!unsafe.isEmpty())
        return fail(unsafe);

    static thread_local std::mt19937 random(std::random_device{}() ^ static_cast<unsigned>(::gettid()));
    constexpr int Tries = 100;
    for (int i = 0; i < Tries && m_folder < 0; ++i) {
        static const char Characters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        QByteArray name = "zolvane-gs-";
        for (int c = 0; c < 6; ++c)
            name += Characters[std::uniform_int_distribution<int>(0, sizeof Characters - 2)(random)];
        if (::mkdirat(m_temporary, name.constData(), 0700) != 0) {
            if (errno == EEXIST)
                continue;
            return fail(systemError(errno));
        }
        m_name = name;
        m_folder = ::openat(m_temporary, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (m_folder < 0)
            return fail(systemError(errno));
    }
    if (m_folder < 0)
        return fail(QStringLiteral("no free name"));
    // A umask that takes the owner's rights away would leave Ghostscript no room.
    if (::fchmod(m_folder, 0700) != 0 || !isIntact())
        return fail(QStringLiteral("it did not become the program's own"));
    return true;
}

bool Scratch::isIntact() const
{
    struct stat opened = {};
    struct stat named = {};
    // Removed (a cleaner of old temporary files), replaced, or opened up to others meanwhile: no longer the one made.
    return m_folder >= 0 && ::fstat(m_folder, &opened) == 0 && S_ISDIR(opened.st_mode) && opened.st_nlink > 0 &&
           opened.st_uid == ::geteuid() && (opened.st_mode & 07777) == 0700 &&
           ::fstatat(m_temporary, m_name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

void Scratch::remove()
{
    if (m_folder >= 0)
        ScratchFolder::remove(m_temporary, m_name.constData(), m_folder);
    for (int* fd : {&m_folder, &m_temporary}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    m_name.clear();
}

// Every process that lives, for stopGhostscriptRuns and for the program's end. Its owner changes child and closes the
// scratch folder's descriptors only under g_processesMutex, so that no one uses them after they are closed, when
// their numbers may name other files.
struct Registered
{
    const Child* child;
    const Scratch* scratch;
    bool running;
    bool stopped;
};
std::mutex g_processesMutex;
std::vector<Registered*> g_processes;
// Set by stopGhostscriptRuns: a run that starts afterwards (its task was past the queue but had not reached
// Ghostscript yet) is stopped as well.
bool g_stopping = false;

// The pool's idle threads, and with them their processes, are still there when the program ends: the kernel ends
// the processes, and their scratch folders go here.
struct ScratchFoldersAtExit
{
    ~ScratchFoldersAtExit()
    {
        const std::lock_guard<std::mutex> lock(g_processesMutex);
        g_stopping = true;
        for (Registered* process : g_processes) {
            if (process->child) {
                process->child->kill();
                process->child->waitForEnd(1000);
            }
            ScratchFolder::remove(process->scratch->temporaryFolder(), process->scratch->name().constData(),
                                  process->scratch->folder());
        }
    }
} g_scratchFoldersAtExit;

std::string& expectedBuildId()
{
    static std::string id = BuildId;
    return id;
}

int pollTimeout(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
}

// One Ghostscript process with its scratch folder, serving the runs of the thread that started it. The kernel ends
// the process when that thread ends, not only when the program does: the parent-death signal that the process asks
// for follows the thread that started it. So a process belongs to one thread, and goes with it (the pool's idle
// threads expire after 30 s).
class GhostscriptProcess
{
public:
    GhostscriptProcess() : m_entry{&m_child, &m_scratch, false, false} {}
    ~GhostscriptProcess() { end(); }

    // One try of a run. processFault is set when the process ended or broke its channel during the run, through no
    // time limit and no stop.
    GhostscriptOutcome run(const std::string& request, int input, int output, std::chrono::milliseconds timeLimit,
                           const GhostscriptText& onText, bool* processFault);

    // Ends the process, whatever it is doing, and removes its scratch folder. The process stays on the list until its
    // folder is gone, so that a program that ends meanwhile removes the folder itself.
    void end()
    {
        detachChild();
        m_child.end();
        if (!m_registered) {
            m_scratch.remove();
            return;
        }
        const std::lock_guard<std::mutex> lock(g_processesMutex);
        m_scratch.remove();
        g_processes.erase(std::remove(g_processes.begin(), g_processes.end(), &m_entry), g_processes.end());
        m_registered = false;
    }

private:
    Q_DISABLE_COPY(GhostscriptProcess)

    // Takes the child off the list before it is reaped or left: its pidfd is closed then, and the number may soon
    // belong to another thread's child, which a stop must not kill in its place.
    void detachChild()
    {
        if (m_registered) {
            const std::lock_guard<std::mutex> lock(g_processesMutex);
            m_entry.child = nullptr;
        }
    }

    // Starts a fresh process and waits until it has said which build it belongs to. On failure, outcome tells why.
    bool start(GhostscriptOutcome& outcome);
    bool awaitGreeting(GhostscriptOutcome& outcome);
    // How the process ended, by its status, when it ended without an answer and not by a signal.
    static QString describeEnd(int status);
    // Marks the process as running a run, or stops it at once after stopGhostscriptRuns.
    void enterRun()
    {
        const std::lock_guard<std::mutex> lock(g_processesMutex);
        m_entry.running = true;
        m_entry.stopped = g_stopping;
        if (g_stopping)
            m_child.kill();
    }
    // Whether stopGhostscriptRuns ended the run. Call before the child is reaped.
    bool leaveRun()
    {
        const std::lock_guard<std::mutex> lock(g_processesMutex);
        m_entry.running = false;
        return m_entry.stopped;
    }

    Child m_child;
    Scratch m_scratch;
    FrameReader m_reader;
    Registered m_entry;
    bool m_registered = false;
    int m_runs = 0;
};

bool GhostscriptProcess::start(GhostscriptOutcome& outcome)
{
    end();
    m_reader = FrameReader();
    m_runs = 0;
    if (!m_scratch.make(&outcome.error))
        return false;
    m_child = Child::start(m_scratch.temporaryFolder(), m_scratch.folder(), m_scratch.name(), &outcome.error);
    if (!m_child.isValid()) {
        m_scratch.remove();
        return false;
    }
    {
        const std::lock_guard<std::mutex> lock(g_processesMutex);
        m_entry.child = &m_child;
        g_processes.push_back(&m_entry);
        m_registered = true;
        // A stop that came while it started: it is not to run anything.
        if (g_stopping)
            m_child.kill();
    }
    if (awaitGreeting(outcome))
        return true;
    end();
    return false;
}

bool GhostscriptProcess::awaitGreeting(GhostscriptOutcome& outcome)
{
    const Clock::time_point deadline = Clock::now() + GreetingLimit;
    FrameType type = ErrorOutput;
    std::string payload;
    bool channelOpen = true;
    while (!m_reader.next(type, payload)) {
        if (m_reader.broken())
            break;
        pollfd watched[2] = {{m_child.pidfd(), POLLIN, 0}, {m_child.channel(), POLLIN, 0}};
        const int ready = ::poll(watched, channelOpen ? 2 : 1, pollTimeout(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            outcome.error = QStringLiteral("Cannot wait for Ghostscript's process: %1").arg(systemError(errno));
            return false;
        }
        if (ready == 0) {
            outcome.error = QStringLiteral("Ghostscript's process did not start: it did not say within %1 s which "
                                           "build of the program it belongs to")
                                .arg(GreetingLimit.count());
            return false;
        }
        if (channelOpen && (watched[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            char buffer[4096];
            const ssize_t count = ::recv(m_child.channel(), buffer, sizeof buffer, MSG_DONTWAIT);
            if (count > 0)
                m_reader.feed(buffer, static_cast<std::size_t>(count));
            else if (count == 0 || (errno != EAGAIN && errno != EINTR))
                channelOpen = false;
            continue;
        }
        if (watched[0].revents & POLLIN) {
            // Ended before it said a word.
            int status = 0;
            const bool stopped = [] {
                const std::lock_guard<std::mutex> lock(g_processesMutex);
                return g_stopping;
            }();
            detachChild();
            const bool seen = m_child.reap(&status);
            if (stopped) {
                outcome.end = GhostscriptOutcome::End::Stopped;
            } else if (seen && WIFSIGNALED(status)) {
                outcome.error = QStringLiteral("Ghostscript's process did not start: it ended by %1")
                                    .arg(describeSignal(WTERMSIG(status)));
            } else {
                outcome.error = seen ? describeEnd(status) : QStringLiteral("Ghostscript's process did not start");
            }
            return false;
        }
    }
    if (!m_reader.broken() && type == HelloFrame && payload == expectedBuildId() && !m_reader.hasPending())
        return true;
    if (!m_reader.broken() && type == HelloFrame) {
        outcome.error = QStringLiteral("Ghostscript's process belongs to another build of the program (%1, not %2); "
                                       "the program's folder may have been replaced while it runs")
                            .arg(QString::fromStdString(payload).left(64), QString::fromStdString(expectedBuildId()));
    } else {
        outcome.error = QStringLiteral("Ghostscript's process did not start: it sent what it cannot have meant");
    }
    return false;
}

QString GhostscriptProcess::describeEnd(int status)
{
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        // What the dynamic loader ends with when a library is missing.
        return QStringLiteral("Ghostscript's process could not be started: its program or its libraries could not be "
                              "loaded (status 127)");
    }
    return QStringLiteral("Ghostscript's process ended with status %1 and no result")
        .arg(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

GhostscriptOutcome GhostscriptProcess::run(const std::string& request, int input, int output,
                                           std::chrono::milliseconds timeLimit, const GhostscriptText& onText,
                                           bool* processFault)
{
    GhostscriptOutcome outcome;
    *processFault = false;
    {
        const std::lock_guard<std::mutex> lock(g_processesMutex);
        if (g_stopping) {
            outcome.end = GhostscriptOutcome::End::Stopped;
            return outcome;
        }
    }
    // A process whose scratch folder went or was replaced meanwhile (a cleaner of old temporary files) could write
    // nothing, or would write where it must not.
    if (m_child.isValid() && (m_child.hasEnded() || !m_scratch.isIntact()))
        end();
    if (!m_child.isValid() && !start(outcome))
        return outcome;
    // A process that ended while it waited (killed from outside) has not read the request: that is no fault of this
    // file, and a fresh one takes it. A fresh one that does not take it has ended, and the wait below tells how.
    if (!sendRequest(m_child.channel(), request, input, output) && m_runs > 0) {
        if (!start(outcome))
            return outcome;
        sendRequest(m_child.channel(), request, input, output);
    }
    const Clock::time_point deadline = Clock::now() + timeLimit;
    enterRun();

    Result result;
    bool answered = false;
    bool timedOut = false;
    bool channelOpen = true;
    Clock::time_point killed = Clock::time_point::max();
    const auto kill = [&] {
        if (killed == Clock::time_point::max()) {
            m_child.kill();
            killed = Clock::now();
        }
    };
    const auto takeFrame = [&](FrameType type, const std::string& payload) {
        if (type == HelloFrame)
            return false;
        if (type == ResultFrame) {
            answered = decodeResult(payload, result);
            return answered;
        }
        if (onText)
            onText(type == StandardOutput ? 1 : 2, QByteArray::fromStdString(payload));
        return true;
    };
    bool broken = false;
    // One read at a time, so that a process that never stops writing cannot keep the time limit from being looked at.
    const auto readChannel = [&] {
        char buffer[64 * 1024];
        ssize_t count;
        do {
            count = ::recv(m_child.channel(), buffer, sizeof buffer, MSG_DONTWAIT);
        } while (count < 0 && errno == EINTR);
        if (count <= 0) {
            channelOpen = count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
            return false;
        }
        m_reader.feed(buffer, static_cast<std::size_t>(count));
        FrameType type;
        std::string payload;
        while (!answered && m_reader.next(type, payload)) {
            if (!takeFrame(type, payload)) {
                broken = true;
                break;
            }
        }
        // Nothing follows an answer until the next request.
        if (m_reader.broken() || (answered && m_reader.hasPending()))
            broken = true;
        if (broken) {
            // Not our process's words any more: whatever runs there is ended.
            kill();
            channelOpen = false;
            return false;
        }
        return true;
    };

    bool ended = false;
    while (!ended && !answered) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline && !timedOut) {
            timedOut = true;
            kill();
        }
        const Clock::time_point waitUntil =
            killed == Clock::time_point::max() ? deadline : killed + KilledChildEndLimit;
        if (now >= waitUntil)
            break;
        pollfd watched[2] = {{m_child.pidfd(), POLLIN, 0}, {m_child.channel(), POLLIN, 0}};
        const int ready = ::poll(watched, channelOpen ? 2 : 1, pollTimeout(waitUntil));
        if (ready < 0 && errno != EINTR) {
            // Nothing left to wait with: the run cannot be seen to its end.
            outcome.error = QStringLiteral("Cannot wait for Ghostscript's process: %1").arg(systemError(errno));
            kill();
            ended = m_child.waitForEnd(static_cast<int>(std::chrono::milliseconds(KilledChildEndLimit).count()));
            break;
        }
        if (ready > 0 && channelOpen && (watched[1].revents & (POLLIN | POLLHUP | POLLERR)))
            readChannel();
        ended = ready > 0 && (watched[0].revents & POLLIN) != 0;
    }
    // What the process wrote just before it ended; no one writes any more.
    while (ended && !answered && channelOpen && readChannel()) {
    }
    const bool stopped = leaveRun();

    if (answered && !broken && outcome.error.isEmpty()) {
        ++m_runs;
        outcome.end = GhostscriptOutcome::End::Finished;
        outcome.newInstanceCode = result.newInstanceCode;
        outcome.initCode = result.initCode;
        outcome.exitCode = result.exitCode;
        outcome.writeFailed = result.writeFailed;
        outcome.pagesDrawn = result.pagesDrawn;
        // Only a process whose last run ended cleanly takes the next one: a file that Ghostscript reported an error
        // in may have left it in any state.
        const bool clean = result.newInstanceCode == 0 && result.initCode == 0 && result.exitCode == 0 &&
                           !result.writeFailed && !result.errorReported;
        if (!clean || stopped || m_runs >= g_maxRunsPerProcess || result.residentBytes > g_maxResidentBytes)
            end();
        return outcome;
    }

    int status = 0;
    detachChild();
    const bool seen = ended && m_child.reap(&status);
    if (!ended)
        m_child.abandon();
    const bool servedBefore = m_runs > 0;
    end();
    if (!outcome.error.isEmpty()) {
        // Said above.
    } else if (broken) {
        outcome.error = QStringLiteral("Ghostscript's process sent what it cannot have meant");
        *processFault = servedBefore;
    } else if (timedOut) {
        outcome.end = GhostscriptOutcome::End::TimedOut;
    } else if (stopped) {
        outcome.end = GhostscriptOutcome::End::Stopped;
    } else if (seen && WIFSIGNALED(status)) {
        outcome.end = GhostscriptOutcome::End::Signalled;
        outcome.signal = WTERMSIG(status);
        // A limit on the file's size or on CPU time ends this run again in any process.
        *processFault = servedBefore && outcome.signal != SIGXFSZ && outcome.signal != SIGXCPU;
    } else if (!seen) {
        outcome.error = QStringLiteral("The system did not tell how Ghostscript's process ended");
    } else {
        outcome.error = describeEnd(status);
        *processFault = servedBefore && !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
    }
    return outcome;
}

// The process of this thread.
thread_local GhostscriptProcess t_process;

std::atomic<GhostscriptStandIn> g_standIn{nullptr};

QString describeFirstTry(const GhostscriptOutcome& outcome)
{
    if (outcome.end == GhostscriptOutcome::End::Signalled)
        return QStringLiteral("ended by %1").arg(describeSignal(outcome.signal));
    return outcome.error;
}

} // namespace

GhostscriptOutcome runGhostscript(const QByteArrayList& arguments, int input, int output,
                                  std::chrono::milliseconds timeLimit, const GhostscriptText& onText)
{
    if (const GhostscriptStandIn standIn = g_standIn)
        return standIn(output);
    Request request;
    for (const QByteArray& argument : arguments)
        request.arguments.push_back(argument.toStdString());
    const std::string requestBytes = encodeRequest(request);

    GhostscriptProcess& process = t_process;
    bool processFault = false;
    GhostscriptOutcome outcome = process.run(requestBytes, input, output, timeLimit, onText, &processFault);
    if (processFault) {
        // The process had served other files before: what ended it may be their doing. Only what this file does
        // in a process of its own counts.
        const QString firstTry = describeFirstTry(outcome);
        outcome = process.run(requestBytes, input, output, timeLimit, onText, &processFault);
        outcome.firstTry = firstTry;
    }
    return outcome;
}

void setGhostscriptStandIn(GhostscriptStandIn standIn)
{
    g_standIn = standIn;
}

QString ghostscriptTemporaryFolder()
{
    // Not QDir::tempPath(), which turns a folder that is missing into another one.
    const QString folder = qEnvironmentVariable("TMPDIR");
    return folder.isEmpty() ? QStringLiteral("/tmp") : folder;
}

void setGhostscriptProgram(const QByteArray& program)
{
    static const QByteArray own = childProgram();
    childProgram() = program.isEmpty() ? own : program;
}

void setGhostscriptProcessLimits(int runs, std::uint64_t residentBytes)
{
    g_maxRunsPerProcess = runs > 0 ? runs : MaxRunsPerProcess;
    g_maxResidentBytes = residentBytes > 0 ? residentBytes : MaxResidentBytes;
}

void setGhostscriptBuildId(const QByteArray& buildId)
{
    expectedBuildId() = buildId.isEmpty() ? std::string(BuildId) : buildId.toStdString();
}

int stopGhostscriptRuns()
{
    const std::lock_guard<std::mutex> lock(g_processesMutex);
    g_stopping = true;
    int running = 0;
    for (Registered* process : g_processes) {
        if (process->running) {
            process->stopped = true;
            ++running;
        }
        if (process->child)
            process->child->kill();
    }
    return running;
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
