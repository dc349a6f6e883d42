// A program that crashes in the way its first argument names, with the program's crash handling installed as the
// program entry installs it. Run by tst_crashhandler from a folder that also holds ZolvaneCrashBox.
#include "CrashDump.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

// Read through a volatile so that the compiler cannot see the null and turn the store into a trap instruction.
int* volatile nowhere = nullptr;
volatile int recursionLimit = INT_MAX;

void dereferenceNull()
{
    *nowhere = 42;
}

// A mapped file that ends before its mapping does, as when another program cuts a mapped file short: touching
// the page past its end raises SIGBUS.
void touchPastTheEnd()
{
    const int fd = memfd_create("empty", MFD_CLOEXEC);
    const long pageSize = sysconf(_SC_PAGESIZE);
    void* mapped = fd < 0 ? MAP_FAILED : mmap(nullptr, pageSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (mapped == MAP_FAILED)
        std::exit(4);
    *static_cast<volatile char*>(mapped) = 42;
}

int recurse(int depth)
{
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    if (depth >= recursionLimit)
        return 0;
    return recurse(depth + 1) + frame[0];
}

// Named and out of line, so that the test can find the throw in the dump. The test learns where each begins.
[[noreturn]] __attribute__((noinline)) void setDiskOnFire()
{
    throw std::runtime_error("disk on fire");
}

[[noreturn]] __attribute__((noinline)) void refuseLevel()
{
    throw std::invalid_argument("no such level");
}

void announceThrowSite(void (*thrower)())
{
    std::printf("throw site 0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(thrower)));
    std::fflush(stdout);
}

void onWorker(void (*crash)())
{
    QThreadPool::globalInstance()->start(crash);
}

} // namespace

int main(int argc, char* argv[])
{
    // Every test run would otherwise leave core files of the helper and its box on machines that keep them.
    const struct rlimit noCore = {0, 0};
    setrlimit(RLIMIT_CORE, &noCore);

    QCoreApplication app(argc, argv);
    if (!installCrashExceptionFilter())
        return 3;

    const QString how = app.arguments().value(1);
    if (how == QLatin1String("null-on-worker")) {
        onWorker(dereferenceNull);
    } else if (how == QLatin1String("null-on-two-workers")) {
        QThreadPool::globalInstance()->setMaxThreadCount(2);
        onWorker(dereferenceNull);
        onWorker(dereferenceNull);
    } else if (how == QLatin1String("bus-error-on-worker")) {
        onWorker(touchPastTheEnd);
    } else if (how == QLatin1String("overflow-on-worker")) {
        onWorker([] { recurse(0); });
    } else if (how == QLatin1String("throw-on-worker")) {
        announceThrowSite(setDiskOnFire);
        onWorker(setDiskOnFire);
    } else if (how == QLatin1String("throw-on-main")) {
        announceThrowSite(refuseLevel);
        refuseLevel();
    } else if (how == QLatin1String("abort-on-main")) {
        std::abort();
    } else {
        return 2;
    }
    // The crash ends the process; until then the main thread idles like the program's event loop.
    return app.exec();
}
