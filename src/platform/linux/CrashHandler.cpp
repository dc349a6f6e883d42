#include "platform/CrashHandler.h"

#include <QFile>

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <typeinfo>

// Everything below that runs after a fatal signal keeps to async-signal-safe calls: the crashed thread may have
// held the heap's or any other lock, so the handler allocates nothing, takes no lock and does not touch Qt. Paths,
// the crash box's argument vector and the clock are prepared by installCrashHandler into static storage.

namespace {

constexpr int CrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

constexpr std::size_t PathCapacity = 4096;
constexpr std::size_t DescriptionCapacity = 1024;
// Deep enough to reach from a crash in Ghostscript or Qt back into our own code.
constexpr int MaxFrames = 64;
// Room for the handler itself and for the unwinder that backtrace() runs (a few kilobytes each).
constexpr std::size_t AlternateStackSize = 128 * 1024;

char dumpDirectory[PathCapacity];
char boxProgram[PathCapacity];
char programPath[PathCapacity];
char dumpPath[PathCapacity];
char description[DescriptionCapacity];
char writtenFlag[2] = "0";
char* boxArguments[] = {boxProgram, dumpPath, writtenFlag, description, nullptr};

// Filled by the terminate handler (ordinary context) before the dump is written.
char exceptionType[256];
char exceptionWhat[512];

// The thread that is reporting a crash, 0 while none is. Only a lock-free atomic may be touched by a handler.
std::atomic<pid_t> crashingThread{0};
static_assert(std::atomic<pid_t>::is_always_lock_free, "the crash handler needs a lock-free atomic");

// Set once the handler is in place; from then on new threads get an alternate signal stack and every throw is
// recorded.
std::atomic<bool> crashHandlerInstalled{false};

// The stack of this thread's latest throw. Qt's worker threads catch an exception and throw it again
// (catch (...) { ...; throw; }), so by the time std::terminate runs, the stack of the throw has been unwound.
struct ThrowRecord
{
    const std::type_info* type;
    void* addresses[MaxFrames];
    int addressCount;
};
thread_local ThrowRecord lastThrow; // zero-initialised, so it needs no constructor on any thread

// ---- Formatting without the heap -------------------------------------------------------------------------------

void writeAll(int fd, const char* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

// Formats text into a fixed buffer. With a file descriptor the buffer is written out whenever it fills up;
// without one the text is cut at the buffer's end and kept NUL-terminated.
class Out
{
public:
    Out(char* buffer, std::size_t capacity, int fd = -1) : buffer(buffer), capacity(capacity), fd(fd)
    {
        buffer[0] = '\0';
    }
    ~Out() { flush(); }

    Out& text(const char* s) { return text(s, std::strlen(s)); }
    Out& text(const char* s, std::size_t length)
    {
        for (std::size_t i = 0; i < length; ++i)
            put(s[i]);
        return *this;
    }
    // Zero-padded to at least `width` digits.
    Out& dec(long long value, int width = 0)
    {
        if (value < 0)
            put('-');
        unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value;
        return digits(magnitude, 10, width);
    }
    Out& hex(unsigned long long value, int width = 0)
    {
        text("0x");
        return digits(value, 16, width);
    }

    void flush()
    {
        if (fd < 0)
            return;
        writeAll(fd, buffer, used);
        used = 0;
    }

private:
    Out& digits(unsigned long long value, unsigned base, int width)
    {
        char reversed[24];
        int count = 0;
        do {
            reversed[count++] = "0123456789abcdef"[value % base];
            value /= base;
        } while (value != 0);
        for (int i = count; i < width; ++i)
            put('0');
        while (count > 0)
            put(reversed[--count]);
        return *this;
    }
    void put(char c)
    {
        if (fd >= 0) {
            if (used == capacity)
                flush();
            buffer[used++] = c;
        } else if (used + 1 < capacity) {
            buffer[used++] = c;
            buffer[used] = '\0';
        }
    }

    char* buffer;
    std::size_t capacity;
    int fd;
    std::size_t used = 0;
};

ssize_t readSome(int fd, char* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

// Hands out the lines of a file one at a time; a line longer than the buffer comes in pieces.
class LineReader
{
public:
    explicit LineReader(int fd) : fd(fd) {}

    // The line comes without its '\n' and NUL-terminated. Returns false at the end of the file.
    bool next(const char*& line, std::size_t& length)
    {
        for (;;) {
            if (char* newline = static_cast<char*>(std::memchr(buffer + start, '\n', end - start))) {
                *newline = '\0';
                line = buffer + start;
                length = static_cast<std::size_t>(newline - line);
                start = static_cast<std::size_t>(newline - buffer) + 1;
                return true;
            }
            if (atEnd || end - start == Capacity) {
                if (start == end)
                    return false;
                buffer[end] = '\0';
                line = buffer + start;
                length = end - start;
                start = end;
                return true;
            }
            std::memmove(buffer, buffer + start, end - start);
            end -= start;
            start = 0;
            const ssize_t n = readSome(fd, buffer + end, Capacity - end);
            if (n <= 0)
                atEnd = true;
            else
                end += static_cast<std::size_t>(n);
        }
    }

private:
    static constexpr std::size_t Capacity = 4096;
    int fd;
    char buffer[Capacity + 1];
    std::size_t start = 0;
    std::size_t end = 0;
    bool atEnd = false;
};

const char* skipSpaces(const char* s)
{
    while (*s == ' ')
        ++s;
    return s;
}

const char* parseHex(const char* s, std::uintptr_t& value)
{
    value = 0;
    for (;; ++s) {
        const char c = *s;
        if (c >= '0' && c <= '9')
            value = value * 16 + static_cast<std::uintptr_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            value = value * 16 + static_cast<std::uintptr_t>(c - 'a' + 10);
        else
            return s;
    }
}

// One line of /proc/self/maps: "start-end perms offset dev inode   path".
struct Mapping
{
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
    std::uintptr_t offset = 0;
    const char* path = "";
};

bool parseMapping(const char* line, Mapping& mapping)
{
    const char* s = parseHex(line, mapping.start);
    if (*s != '-')
        return false;
    s = parseHex(s + 1, mapping.end);
    s = skipSpaces(s);
    while (*s != ' ' && *s != '\0') // permissions
        ++s;
    s = parseHex(skipSpaces(s), mapping.offset);
    for (int field = 0; field < 2; ++field) { // device and inode
        s = skipSpaces(s);
        while (*s != ' ' && *s != '\0')
            ++s;
    }
    mapping.path = skipSpaces(s);
    return true;
}

// ---- Local time without the time zone lock ---------------------------------------------------------------------

// The offset from UTC in force from a moment on. localtime_r takes a lock and may read the zone file, so the
// offsets of the coming year, changes of daylight saving time included, are worked out at install time.
struct ZoneSpan
{
    time_t from;
    long offset;
};
constexpr int MaxZoneSpans = 16;
ZoneSpan zoneSpans[MaxZoneSpans];
int zoneSpanCount = 0;

long utcOffsetAt(time_t moment)
{
    struct tm local = {};
    localtime_r(&moment, &local);
    return local.tm_gmtoff;
}

void prepareLocalClock()
{
    constexpr time_t Day = 24 * 60 * 60;
    const time_t now = time(nullptr);
    zoneSpans[0] = {0, utcOffsetAt(now)};
    zoneSpanCount = 1;
    for (time_t day = now; day < now + 400 * Day && zoneSpanCount < MaxZoneSpans; day += Day) {
        const long before = zoneSpans[zoneSpanCount - 1].offset;
        if (utcOffsetAt(day + Day) == before)
            continue;
        // The change lies within this day: narrow it down to the second.
        time_t low = day, high = day + Day;
        while (high - low > 1) {
            const time_t middle = low + (high - low) / 2;
            (utcOffsetAt(middle) == before ? low : high) = middle;
        }
        zoneSpans[zoneSpanCount++] = {high, utcOffsetAt(high)};
    }
}

struct CivilTime
{
    long long year;
    int month, day, hour, minute, second;
    long offset;
};

CivilTime localTimeNow()
{
    struct timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    long offset = zoneSpans[0].offset;
    for (int i = 1; i < zoneSpanCount && zoneSpans[i].from <= now.tv_sec; ++i)
        offset = zoneSpans[i].offset;

    const long long seconds = static_cast<long long>(now.tv_sec) + offset;
    long long days = seconds / 86400;
    long long secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    // Days since 1970-01-01 to the civil date (proleptic Gregorian calendar, eras of 400 years).
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shiftedMonth = (5 * dayOfYear + 2) / 153; // March is 0
    CivilTime t = {};
    t.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    t.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    t.year = yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0);
    t.hour = static_cast<int>(secondOfDay / 3600);
    t.minute = static_cast<int>(secondOfDay / 60 % 60);
    t.second = static_cast<int>(secondOfDay % 60);
    t.offset = offset;
    return t;
}

// ---- What crashed -------------------------------------------------------------------------------------------------

struct CrashFacts
{
    int signal = 0; // 0: an unhandled C++ exception
    siginfo_t* info = nullptr;
    std::uintptr_t instructionPointer = 0;
    std::uintptr_t stackPointer = 0;
    pid_t thread = 0;
    char threadName[32] = "";
    // Where an unhandled exception was thrown, when that is known; the handler's own frame left out.
    void* const* throwAddresses = nullptr;
    int throwAddressCount = 0;
};

const char* signalName(int signal)
{
    switch (signal) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGFPE:
        return "SIGFPE";
    case SIGILL:
        return "SIGILL";
    case SIGABRT:
        return "SIGABRT";
    default:
        return "signal";
    }
}

const char* signalCause(int signal, int code)
{
    switch (code) {
    case SI_USER:
        return "sent by kill";
    case SI_TKILL:
        return "raised by the program, e.g. abort()";
    case SI_QUEUE:
        return "sent by sigqueue";
    default:
        break;
    }
    switch (signal) {
    case SIGSEGV:
        return code == SEGV_MAPERR ? "address not mapped" : code == SEGV_ACCERR ? "access not permitted" : "";
    case SIGBUS:
        return code == BUS_ADRALN   ? "misaligned address"
               : code == BUS_ADRERR ? "nonexistent physical address"
               : code == BUS_OBJERR ? "object-specific hardware error"
                                    : "";
    case SIGFPE:
        return code == FPE_INTDIV   ? "integer divide by zero"
               : code == FPE_INTOVF ? "integer overflow"
               : code == FPE_FLTDIV ? "floating-point divide by zero"
               : code == FPE_FLTOVF ? "floating-point overflow"
               : code == FPE_FLTINV ? "invalid floating-point operation"
                                    : "floating-point error";
    case SIGILL:
        return code == ILL_ILLOPC ? "illegal opcode" : code == ILL_PRVOPC ? "privileged opcode" : "illegal instruction";
    default:
        return "";
    }
}

// A signal that the kernel raised for a faulting instruction carries the address; one sent by a process does not.
bool hasFaultAddress(const CrashFacts& facts)
{
    return facts.signal != 0 && facts.info != nullptr && facts.info->si_code > 0;
}

void readThreadName(char* name, std::size_t capacity)
{
    name[0] = '\0';
    const int fd = ::open("/proc/thread-self/comm", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    const ssize_t n = readSome(fd, name, capacity - 1);
    ::close(fd);
    std::size_t length = n > 0 ? static_cast<std::size_t>(n) : 0;
    while (length > 0 && name[length - 1] == '\n')
        --length;
    name[length] = '\0';
}

void describeCrash(const CrashFacts& facts, Out& out)
{
    if (facts.signal != 0) {
        out.text("signal ").text(signalName(facts.signal));
        const char* cause = facts.info ? signalCause(facts.signal, facts.info->si_code) : "";
        if (*cause != '\0')
            out.text(" (").text(cause).text(")");
        if (hasFaultAddress(facts))
            out.text(" at address ").hex(reinterpret_cast<std::uintptr_t>(facts.info->si_addr));
    } else if (exceptionType[0] != '\0') {
        out.text("unhandled exception ").text(exceptionType);
        if (exceptionWhat[0] != '\0')
            out.text(" (\"").text(exceptionWhat).text("\")");
    } else {
        out.text("std::terminate without an exception");
    }
    out.text(" on thread ").dec(facts.thread).text(" \"").text(facts.threadName).text("\"");
}

// ---- The dump ----------------------------------------------------------------------------------------------------

void copyFile(const char* path, int toFd)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    char chunk[4096];
    for (ssize_t n; (n = readSome(fd, chunk, sizeof chunk)) > 0;)
        writeAll(toFd, chunk, static_cast<std::size_t>(n));
    ::close(fd);
}

struct Frame
{
    std::uintptr_t address = 0;
    std::uintptr_t offset = 0;
    char module[256] = "";
};

// Finds the module of every frame in one pass over the memory map.
void resolveFrames(Frame* frames, int count)
{
    const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    LineReader reader(fd);
    const char* line = nullptr;
    std::size_t length = 0;
    while (reader.next(line, length)) {
        Mapping mapping;
        if (!parseMapping(line, mapping) || mapping.path[0] == '\0')
            continue;
        for (int i = 0; i < count; ++i) {
            Frame& frame = frames[i];
            if (frame.module[0] != '\0' || frame.address < mapping.start || frame.address >= mapping.end)
                continue;
            frame.offset = frame.address - mapping.start + mapping.offset;
            Out(frame.module, sizeof frame.module).text(mapping.path);
        }
    }
    ::close(fd);
}

// One line per return address, with the module and the offset in its file.
void writeFrames(Out& out, void* const* addresses, int count)
{
    static Frame frames[MaxFrames];
    count = std::min(count, MaxFrames);
    for (int i = 0; i < count; ++i) {
        frames[i] = Frame();
        frames[i].address = reinterpret_cast<std::uintptr_t>(addresses[i]);
    }
    resolveFrames(frames, count);
    for (int i = 0; i < count; ++i) {
        out.text("#").dec(i).text(i < 10 ? "  " : " ").hex(frames[i].address, 16);
        if (frames[i].module[0] != '\0')
            out.text("  ").text(frames[i].module).text(" + ").hex(frames[i].offset);
        out.text("\n");
    }
}

void writeDump(int fd, const CrashFacts& facts, const CivilTime& when, void* const* addresses, int addressCount)
{
    char buffer[4096];
    Out out(buffer, sizeof buffer, fd);
    out.text("Zolvane crash dump\n");
    out.text("Program: ").text(programPath).text("\n");
    out.text("Process: ").dec(getpid()).text("\n");
    out.text("Time: ").dec(when.year, 4).text("-").dec(when.month, 2).text("-").dec(when.day, 2).text(" ");
    out.dec(when.hour, 2).text(":").dec(when.minute, 2).text(":").dec(when.second, 2).text(" UTC");
    out.text(when.offset < 0 ? "-" : "+").dec(std::labs(when.offset) / 3600, 2).text(":");
    out.dec(std::labs(when.offset) / 60 % 60, 2).text("\n");

    out.text("Crash: ");
    if (facts.signal != 0) {
        out.text("signal ").text(signalName(facts.signal)).text(" (").dec(facts.signal).text(")");
        if (facts.info) {
            out.text(", code ").dec(facts.info->si_code);
            const char* cause = signalCause(facts.signal, facts.info->si_code);
            if (*cause != '\0')
                out.text(": ").text(cause);
        }
    } else if (exceptionType[0] != '\0') {
        out.text("unhandled C++ exception ").text(exceptionType);
        if (exceptionWhat[0] != '\0')
            out.text(": ").text(exceptionWhat);
    } else {
        out.text("std::terminate without an exception");
    }
    out.text("\n");

    out.text("Fault address: ");
    if (hasFaultAddress(facts))
        out.hex(reinterpret_cast<std::uintptr_t>(facts.info->si_addr), 16);
    else if (facts.signal != 0 && facts.info)
        out.text("none (sent by process ").dec(facts.info->si_pid).text(")");
    else
        out.text("none (a C++ exception)");
    out.text("\n");

    out.text("Thread: ").dec(facts.thread).text(" \"").text(facts.threadName).text("\"");
    out.text(facts.thread == getpid() ? " (main thread)\n" : "\n");
    if (facts.instructionPointer != 0) {
        out.text("Instruction pointer: ").hex(facts.instructionPointer, 16).text("\n");
        out.text("Stack pointer: ").hex(facts.stackPointer, 16).text("\n");
    }

    // The handler's own frames come first; the crash starts at the interrupted instruction.
    int first = 0;
    for (int i = 0; i < addressCount; ++i) {
        if (reinterpret_cast<std::uintptr_t>(addresses[i]) == facts.instructionPointer) {
            first = i;
            break;
        }
    }
    out.text("\nBacktrace of the crashing thread (return addresses; addr2line -f -C -e MODULE OFFSET names the "
             "source line):\n");
    writeFrames(out, addresses + first, addressCount - first);
    if (facts.throwAddressCount > 0) {
        out.text("\nBacktrace where the exception was thrown (the stack above had unwound from there, up to where "
                 "the exception was caught and thrown again or up to std::terminate):\n");
        writeFrames(out, facts.throwAddresses, facts.throwAddressCount);
    }

    out.text("\nLoaded modules (/proc/self/maps):\n");
    out.flush();
    copyFile("/proc/self/maps", fd);
}

// ---- Reporting ---------------------------------------------------------------------------------------------------

void startCrashBoxAndWait()
{
    const pid_t child = _Fork(); // unlike fork(), runs no atfork handlers and is async-signal-safe
    if (child == 0) {
        // The crash signals are blocked in the handler, and a signal mask survives execve.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execve(boxProgram, boxArguments, environ);
        _exit(127);
    }
    bool boxRan = false;
    if (child > 0) {
        int status = 0;
        pid_t waited;
        do {
            waited = waitpid(child, &status, 0);
        } while (waited < 0 && errno == EINTR);
        // Only a box that ended normally has shown the crash. One that could not be started, could not open a window
        // (Qt aborts without a display) or was killed has told the user nothing.
        boxRan = waited == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    if (!boxRan) {
        // Nobody else will tell the user: at least say it on the terminal.
        char buffer[PathCapacity + DescriptionCapacity + 64];
        Out out(buffer, sizeof buffer, STDERR_FILENO);
        out.text("Zolvane crashed: ").text(description).text("\nCrash dump: ").text(dumpPath);
        out.text(writtenFlag[0] == '1' ? "\n" : " (could not be written)\n");
    }
}

void reportCrash(CrashFacts& facts, void* const* addresses, int addressCount)
{
    facts.thread = gettid();
    readThreadName(facts.threadName, sizeof facts.threadName);
    {
        Out out(description, sizeof description);
        describeCrash(facts, out);
    }

    const CivilTime when = localTimeNow();
    {
        Out out(dumpPath, sizeof dumpPath);
        out.text(dumpDirectory).text("/crash_").dec(when.year, 4).dec(when.month, 2).dec(when.day, 2);
        out.dec(when.hour, 2).dec(when.minute, 2).dec(when.second, 2).text(".dmp");
    }

    // A dump of the same second (an earlier run) is replaced.
    const int fd = ::open(dumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    writtenFlag[0] = fd >= 0 ? '1' : '0';
    if (fd >= 0) {
        writeDump(fd, facts, when, addresses, addressCount);
        ::close(fd);
    }
    startCrashBoxAndWait();
}

void restoreDefaultAction(int signal)
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

// Only one thread reports; a crash on another thread meanwhile waits here until the process ends. Returns false
// when the reporting thread itself crashed again: then it must end at once.
bool claimCrash()
{
    const pid_t self = gettid();
    pid_t expected = 0;
    if (crashingThread.compare_exchange_strong(expected, self))
        return true;
    if (expected == self)
        return false;
    for (;;)
        pause();
}

void onCrashSignal(int signal, siginfo_t* info, void* context)
{
    const int savedErrno = errno;
    if (claimCrash()) {
        CrashFacts facts;
        facts.signal = signal;
        facts.info = info;
        if (const auto* uc = static_cast<const ucontext_t*>(context)) {
#if defined(__x86_64__)
            facts.instructionPointer = static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RIP]);
            facts.stackPointer = static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RSP]);
#elif defined(__aarch64__)
            facts.instructionPointer = uc->uc_mcontext.pc;
            facts.stackPointer = uc->uc_mcontext.sp;
#else
            (void)uc;
#endif
        }
        void* addresses[MaxFrames];
        const int addressCount = backtrace(addresses, MaxFrames);
        reportCrash(facts, addresses, addressCount);
    }
    // The signal is blocked while its handler runs, so this one waits until we return and then ends the process
    // through the default action (with a core file where the system keeps them). A fault would also recur.
    restoreDefaultAction(signal);
    raise(signal);
    errno = savedErrno;
}

[[noreturn]] void abortWithoutReport()
{
    restoreDefaultAction(SIGABRT);
    std::abort();
}

// Not a signal handler: an uncaught exception reaches std::terminate on the thread that threw it, and allocating is
// allowed here. The stack may have been unwound already (a catch that threw the exception again), so the dump also
// gets the stack recorded at the throw.
[[noreturn]] void onTerminate()
{
    if (!claimCrash())
        abortWithoutReport();
    CrashFacts facts;
    if (const std::type_info* type = abi::__cxa_current_exception_type()) {
        // A record of another type means that this exception was thrown elsewhere, say on another thread, and
        // handed here by std::rethrow_exception: the record tells nothing about it.
        if (lastThrow.type && *lastThrow.type == *type && lastThrow.addressCount > 1) {
            facts.throwAddresses = lastThrow.addresses + 1;
            facts.throwAddressCount = lastThrow.addressCount - 1;
        }
        int status = 0;
        char* demangled = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
        Out(exceptionType, sizeof exceptionType).text(demangled ? demangled : type->name());
        std::free(demangled);
        try {
            throw;
        } catch (const std::exception& e) {
            Out(exceptionWhat, sizeof exceptionWhat).text(e.what());
        } catch (...) {
        }
    }
    void* addresses[MaxFrames];
    const int addressCount = backtrace(addresses, MaxFrames);
    reportCrash(facts, addresses, addressCount);
    abortWithoutReport();
}

// ---- Alternate signal stacks -------------------------------------------------------------------------------------

// A stack overflow leaves no room on the thread's own stack for the handler, so each thread gets a stack of its
// own for signals, with an inaccessible page below it so that an overflow of that stack cannot go unnoticed.
class AlternateStack
{
public:
    AlternateStack()
    {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        const std::size_t minimum = static_cast<std::size_t>(sysconf(_SC_SIGSTKSZ));
        size = std::max(AlternateStackSize, minimum * 4);
        size = (size + page - 1) / page * page + page;
        void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
        if (memory == MAP_FAILED)
            return;
        mprotect(memory, page, PROT_NONE);
        stack_t stack = {};
        stack.ss_sp = static_cast<char*>(memory) + page;
        stack.ss_size = size - page;
        if (sigaltstack(&stack, nullptr) == 0)
            base = memory;
        else
            munmap(memory, size);
    }
    ~AlternateStack()
    {
        if (!base)
            return;
        stack_t off = {};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
        munmap(base, size);
    }
    AlternateStack(const AlternateStack&) = delete;
    AlternateStack& operator=(const AlternateStack&) = delete;

private:
    void* base = nullptr;
    std::size_t size = 0;
};

struct ThreadLaunch
{
    void* (*start)(void*);
    void* arg;
};

void* startWithAlternateStack(void* launchData)
{
    const ThreadLaunch launch = *static_cast<ThreadLaunch*>(launchData);
    delete static_cast<ThreadLaunch*>(launchData);
    // Lives until the thread's function returns or the thread is cancelled or exits (both unwind this frame).
    AlternateStack stack;
    return launch.start(launch.arg);
}

bool copyPath(char* target, const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    // Room for "/crash_yyyyMMddhhmmss.dmp" after the dump directory.
    if (encoded.isEmpty() || static_cast<std::size_t>(encoded.size()) + 32 >= PathCapacity)
        return false;
    std::memcpy(target, encoded.constData(), static_cast<std::size_t>(encoded.size()) + 1);
    return true;
}

} // namespace

// Every thread that Qt, the standard library or Ghostscript starts goes through here, which is where it gets its
// alternate signal stack (a handler can only run on the stack of the thread that faulted). Defining the function in
// the program makes the dynamic linker use it in place of the C library's; the real one is found behind it.
extern "C" __attribute__((visibility("default"))) int
pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*), void* arg) noexcept
{
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const Create createThread = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    if (!crashHandlerInstalled.load(std::memory_order_acquire))
        return createThread(thread, attributes, start, arg);
    auto* launch = new (std::nothrow) ThreadLaunch{start, arg};
    if (!launch)
        return createThread(thread, attributes, start, arg);
    const int result = createThread(thread, attributes, &startWithAlternateStack, launch);
    if (result != 0)
        delete launch;
    return result;
}

// Every C++ throw of the program and of the libraries it loads goes through here (the same interposition as above),
// which records the stack at the throw for a dump: a thread's function may catch the exception and throw it again
// after its stack has unwound. A rethrow does not come here, so the record keeps the original throw.
namespace __cxxabiv1 {
extern "C" __attribute__((visibility("default"))) void __cxa_throw(void* object, std::type_info* type,
                                                                   void (*destroy)(void*))
{
    using Throw = void (*)(void*, std::type_info*, void (*)(void*));
    static const Throw throwException = reinterpret_cast<Throw>(dlsym(RTLD_NEXT, "__cxa_throw"));
    if (crashHandlerInstalled.load(std::memory_order_acquire)) {
        lastThrow.type = type;
        lastThrow.addressCount = backtrace(lastThrow.addresses, MaxFrames);
    }
    throwException(object, type, destroy);
    __builtin_unreachable();
}
} // namespace __cxxabiv1

bool installCrashHandler(const QString& dumpDir, const QString& boxProgramPath)
{
    if (crashHandlerInstalled.load())
        return true;
    if (!copyPath(dumpDirectory, dumpDir) || !copyPath(boxProgram, boxProgramPath))
        return false;
    const ssize_t length = readlink("/proc/self/exe", programPath, sizeof programPath - 1);
    programPath[length > 0 ? length : 0] = '\0';

    prepareLocalClock();
    // backtrace() loads the unwinder on its first call, which allocates: do that now rather than in a crash.
    void* warmUp[1];
    backtrace(warmUp, 1);

    // The main thread's alternate stack stays until the process ends.
    static AlternateStack* mainThreadStack = new AlternateStack;
    Q_UNUSED(mainThreadStack);

    struct sigaction action = {};
    action.sa_sigaction = &onCrashSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    // A second crash signal on the reporting thread must not interrupt the report: blocked, the kernel ends the
    // process at once should the report itself fault.
    sigemptyset(&action.sa_mask);
    for (int signal : CrashSignals)
        sigaddset(&action.sa_mask, signal);
    for (int signal : CrashSignals)
        sigaction(signal, &action, nullptr);
    std::set_terminate(&onTerminate);

    crashHandlerInstalled.store(true, std::memory_order_release);
    return true;
}

bool crashReportFromArguments(const QStringList& arguments, CrashReport& report)
{
    if (arguments.size() != 4 || arguments.at(1).isEmpty())
        return false;
    const QString& written = arguments.at(2);
    if (written != QLatin1String("0") && written != QLatin1String("1"))
        return false;
    report.dumpPath = arguments.at(1);
    report.dumpWritten = written == QLatin1String("1");
    report.description = arguments.at(3);
    return true;
}
