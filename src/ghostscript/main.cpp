// ZolvaneGhostscript: runs Zolvane's compressions through Ghostscript's C interface, in a process of its own.
// Ghostscript crashes, loops or takes all memory on some files; here that ends this process and fails one file,
// never the program. Started by the program as "ZolvaneGhostscript PROGRAM_PID SCRATCH_NAME" with the channel socket
// at descriptor 3, its scratch folder at 6 and the temporary folder that holds it, where it bears SCRATCH_NAME, at 7
// (see GhostscriptChannel.h); the command line and the environment say nothing of the files or their passwords, which
// come through the socket, the files as descriptors. It serves one run after another, each with a Ghostscript
// instance of its own, until the program closes the channel; the program keeps it only while its runs end cleanly.
#include "platform/linux/GhostscriptChannel.h"
#include "platform/linux/ScratchFolder.h"

#include <ghostscript/gserrors.h>
#include <ghostscript/iapi.h>

#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace GhostscriptChannel;

namespace {

enum ExitCode
{
    ChannelClosed = 0,
    BadArguments = 2,
    ProgramGone = 3,
    NoRequest = 4,
    ChannelLost = 5,
};

constexpr char PasswordArgument[] = "-sPDFPassword=";
// Ghostscript reads the input as a PDF whatever its first bytes say: given a file name, it guesses the kind of the
// file from them and runs a file that begins "%!PS" as a program, even when a whole PDF follows, which is what
// qpdf, the list and every viewer show of it.
constexpr char ReadInputPermission[] = "--permit-file-read=/dev/fd/4";
constexpr char ReadInputAsPdf[] = "(/dev/fd/4) (r) file runpdf";

void sendText(FrameType type, const char* text, std::size_t size)
{
    while (size > 0) {
        const std::size_t piece = size < MaxPayload ? size : MaxPayload;
        if (!sendAll(ChannelFd, encodeFrame(type, text, piece)))
            return;
        text += piece;
        size -= piece;
    }
}

// What Ghostscript prints during one run: sent to the program as it comes, and read line by line here for the write
// failures that Ghostscript reports nowhere else.
struct RunText
{
    // The start of the line being printed on each stream; enough of it to hold what reportsFailedWrite looks for.
    std::string lines[2];
    bool writeFailed = false;
    bool errorReported = false;

    void take(FrameType type, const char* text, std::size_t size)
    {
        sendText(type, text, size);
        std::string& line = lines[type == StandardOutput ? 0 : 1];
        for (std::size_t i = 0; i < size; ++i) {
            if (text[i] == '\n') {
                lookAt(line);
                line.clear();
            } else if (line.size() < 4096) {
                line += text[i];
            }
        }
    }

    void finish()
    {
        for (std::string& line : lines) {
            lookAt(line);
            line.clear();
        }
    }

    void lookAt(const std::string& line)
    {
        writeFailed = writeFailed || reportsFailedWrite(line);
        errorReported = errorReported || reportsError(line);
    }
};

int GSDLLCALL readNothing(void*, char*, int)
{
    return 0;
}

int GSDLLCALL toStandardOutput(void* text, const char* bytes, int length)
{
    if (length > 0)
        static_cast<RunText*>(text)->take(StandardOutput, bytes, static_cast<std::size_t>(length));
    return length;
}

int GSDLLCALL toErrorOutput(void* text, const char* bytes, int length)
{
    if (length > 0)
        static_cast<RunText*>(text)->take(ErrorOutput, bytes, static_cast<std::size_t>(length));
    return length;
}

// The program's command line as Ghostscript takes it here: the password goes as a parameter, which has no length
// limit (Ghostscript refuses any argument of 2048 bytes or more, and prints it), and the input, the last argument,
// is read as a PDF from InputFd.
std::vector<std::string> ghostscriptArguments(const std::vector<std::string>& requested, std::string& password)
{
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i + 1 < requested.size(); ++i) {
        if (requested[i].compare(0, sizeof PasswordArgument - 1, PasswordArgument) == 0)
            password = requested[i].substr(sizeof PasswordArgument - 1);
        else
            arguments.push_back(requested[i]);
    }
    arguments.insert(arguments.end(), {ReadInputPermission, "-c", ReadInputAsPdf});
    return arguments;
}

// Ghostscript's calls as the program has always made them, on a fresh instance.
Result runGhostscript(const Request& request)
{
    Result result;
    RunText text;
    std::string password;
    std::vector<std::string> arguments = ghostscriptArguments(request.arguments, password);
    void* instance = nullptr;
    result.newInstanceCode = gsapi_new_instance(&instance, nullptr);
    if (result.newInstanceCode < 0)
        return result;
    gsapi_set_stdio_with_handle(instance, &readNothing, &toStandardOutput, &toErrorOutput, &text);
    if (!password.empty())
        result.initCode = gsapi_set_param(instance, "PDFPassword", password.c_str(), gs_spt_string);
    if (result.initCode == 0) {
        std::vector<char*> argv;
        argv.reserve(arguments.size());
        for (std::string& argument : arguments)
            argv.push_back(&argument[0]);
        result.initCode = gsapi_init_with_args(instance, static_cast<int>(argv.size()), argv.data());
    }
    // The pages that pdfwrite was given. Of a file that Ghostscript cannot read it is given none, says so in its text
    // only, and writes a blank page of its own when it closes.
    int pages = -1;
    if (result.initCode == 0 && gsapi_get_param(instance, "PageCount", &pages, gs_spt_int) >= 0)
        result.pagesDrawn = pages;
    // pdfwrite finishes the output file only when the instance exits.
    result.exitCode = gsapi_exit(instance);
    gsapi_delete_instance(instance);
    text.finish();
    result.writeFailed = text.writeFailed;
    result.errorReported = text.errorReported;
    return result;
}

// The name of the scratch folder in the temporary folder, for the last moments of a process whose program is gone.
char g_scratchName[256];

// Ends the process as the signal would, without its scratch folder.
void removeScratchFolderAndEnd(int signal)
{
    ScratchFolder::remove(TemporaryFd, g_scratchName, ScratchFd);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    ::_exit(128 + signal);
}

// The kernel ends this process as soon as the program is gone, however it went (crash, SIGKILL); the process takes
// its scratch folder with it. The program may have gone before this call: then the process already belongs to another
// parent. The program may be process 1 itself (a container's entry point).
bool endWithProgram(const char* programPid)
{
    char* end = nullptr;
    const long pid = std::strtol(programPid, &end, 10);
    if (end == programPid || *end != '\0' || pid < 1)
        return false;
    struct sigaction ending = {};
    ending.sa_handler = removeScratchFolderAndEnd;
    sigfillset(&ending.sa_mask);
    if (sigaction(SIGTERM, &ending, nullptr) != 0 || prctl(PR_SET_PDEATHSIG, SIGTERM) != 0)
        return false;
    return getppid() == static_cast<pid_t>(pid);
}

// When memory runs out, the kernel ends this process before anything else: the file fails, the program lives.
void goFirstWhenMemoryRunsOut()
{
    const int fd = ::open("/proc/self/oom_score_adj", O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    static const char Highest[] = "1000";
    if (::write(fd, Highest, sizeof Highest - 1) < 0) {
        // Then the kernel weighs this process by its size alone, which is still large when it matters.
    }
    ::close(fd);
}

// A crash leaves no core file: the file that caused it is the user's own, and the program logs the signal.
void leaveNoCoreFile()
{
    const struct rlimit none = {0, 0};
    setrlimit(RLIMIT_CORE, &none);
}

// Under a memory limit Ghostscript leaves out the pictures that it cannot decode and still reports success, so a
// limit inherited from whoever started the program (ulimit -v) is lifted as far as it goes. Returns what stays of
// one: runs are refused under it.
std::string liftMemoryLimits()
{
    const struct
    {
        int resource;
        const char* name;
    } limits[] = {{RLIMIT_AS, "RLIMIT_AS"}, {RLIMIT_DATA, "RLIMIT_DATA"}};
    std::string kept;
    for (const auto& limit : limits) {
        struct rlimit value = {};
        if (getrlimit(limit.resource, &value) != 0)
            continue;
        if (value.rlim_cur != value.rlim_max) {
            value.rlim_cur = value.rlim_max;
            setrlimit(limit.resource, &value);
        }
        if (value.rlim_max != RLIM_INFINITY && kept.empty())
            kept = std::string(limit.name) + " of " + std::to_string(value.rlim_max / (1024 * 1024)) + " MiB";
    }
    return kept;
}

// Memory that Ghostscript frees stays with the process for a while rather than going back to the system at once: a
// page mapped anew costs many microseconds on some machines, and a run frees and takes large blocks over and over.
// How long it stays after a run when no next run comes:
constexpr int KeepFreedMemoryMs = 1000;

void keepFreedMemory()
{
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
}

// The descriptors that came with the request being read.
std::vector<int> g_received;

void closeReceived()
{
    for (const int fd : g_received) {
        if (fd >= 0)
            ::close(fd);
    }
    g_received.clear();
}

bool readAll(char* buffer, std::size_t size, bool* nothing)
{
    std::size_t done = 0;
    while (done < size) {
        const long count = receive(ChannelFd, buffer + done, size - done, g_received);
        if (count <= 0) {
            *nothing = count == 0 && done == 0;
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return true;
}

enum class Next
{
    Run,
    Closed,
    Broken,
};

// A request, with the input and the output at InputFd and OutputFd.
Next readRequest(Request& request)
{
    closeReceived();
    char header[1 + sizeof(std::uint32_t)];
    bool closed = false;
    if (!readAll(header, sizeof header, &closed))
        return closed ? Next::Closed : Next::Broken;
    std::uint32_t size = 0;
    std::memcpy(&size, header + 1, sizeof size);
    if (header[0] != RequestFrame || size > MaxRequest)
        return Next::Broken;
    std::string payload(size, '\0');
    if (size > 0 && !readAll(&payload[0], size, &closed))
        return Next::Broken;
    if (!decodeRequest(payload, request) || g_received.size() != 2)
        return Next::Broken;
    // The kernel gave them the lowest free numbers, which may be the very ones they go to, in any order: both go
    // above the process's own numbers first.
    for (int& fd : g_received) {
        const int lifted = fd < 0 ? -1 : ::fcntl(fd, F_DUPFD_CLOEXEC, TemporaryFd + 1);
        if (fd >= 0)
            ::close(fd);
        fd = lifted;
    }
    const bool placed = g_received[0] >= 0 && g_received[1] >= 0 && ::dup2(g_received[0], InputFd) >= 0 &&
                        ::dup2(g_received[1], OutputFd) >= 0;
    closeReceived();
    return placed ? Next::Run : Next::Broken;
}

Result serve(const Request& request, const std::string& memoryLimit)
{
    if (!memoryLimit.empty()) {
        const std::string line = "Ghostscript does not run under a memory limit that cannot be lifted (" + memoryLimit +
                                 "): it would leave out pictures and report success\n";
        sendText(ErrorOutput, line.data(), line.size());
        Result refused;
        refused.initCode = gs_error_VMerror;
        return refused;
    }
    // Emptied first: a run made again after its process ended keeps nothing of the first try.
    if (::ftruncate(OutputFd, 0) != 0) {
        // Ghostscript opens the output anew, and empties it then.
    }
    return runGhostscript(request);
}

std::uint64_t residentBytes()
{
    unsigned long long size = 0;
    unsigned long long resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "re");
    if (!statm)
        return 0;
    const int read = std::fscanf(statm, "%llu %llu", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3 || std::strlen(argv[2]) >= sizeof g_scratchName)
        return BadArguments;
    std::strcpy(g_scratchName, argv[2]);
    if (!endWithProgram(argv[1])) {
        // The program went while this process started: no one else will remove the folder.
        ScratchFolder::remove(TemporaryFd, g_scratchName, ScratchFd);
        return ProgramGone;
    }
    leaveNoCoreFile();
    goFirstWhenMemoryRunsOut();
    const std::string memoryLimit = liftMemoryLimits();
    keepFreedMemory();
    if (!sendAll(ChannelFd, encodeFrame(HelloFrame, BuildId, std::strlen(BuildId))))
        return ChannelLost;

    for (;;) {
        Request request;
        switch (readRequest(request)) {
        case Next::Closed:
            return ChannelClosed;
        case Next::Broken:
            return NoRequest;
        case Next::Run:
            break;
        }
        Result result = serve(request, memoryLimit);
        ::close(InputFd);
        ::close(OutputFd);
        // Ghostscript removes its scratch files when it ends a run well; whatever it left goes before the next run.
        ScratchFolder::empty(ScratchFd);
        result.residentBytes = residentBytes();
        if (!sendAll(ChannelFd, encodeResult(result)))
            return ChannelLost;
        // What Ghostscript freed goes back to the system once no next run follows at once: a process that waits holds
        // about what a fresh one does, and one that runs a batch does not map its memory anew for every file.
        pollfd next = {ChannelFd, POLLIN, 0};
        if (::poll(&next, 1, KeepFreedMemoryMs) == 0)
            malloc_trim(0);
    }
}
