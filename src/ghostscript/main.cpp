// ZolvaneGhostscript: runs one compression for Zolvane through Ghostscript's C interface, in a process of its own.
// Ghostscript crashes, loops or takes all memory on some files; here that ends this process and fails one file,
// never the program. Started by the program as "ZolvaneGhostscript PROGRAM_PID [spare]" with the channel socket at
// descriptor 3 (see GhostscriptChannel.h); the command line and the environment say nothing of the file or its
// password, which come through the socket.
#include "platform/linux/GhostscriptChannel.h"

#include <ghostscript/gserrors.h>
#include <ghostscript/iapi.h>

#include <fcntl.h>
#include <malloc.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace GhostscriptChannel;

namespace {

enum ExitCode
{
    Answered = 0,
    BadArguments = 2,
    ProgramGone = 3,
    NoRequest = 4,
    ChannelLost = 5,
};

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

void sendText(FrameType type, const std::string& text)
{
    sendText(type, text.data(), text.size());
}

int GSDLLCALL readNothing(void*, char*, int)
{
    return 0;
}

// Ghostscript hands its text, often a word at a time, to these with the handle given below: whether it goes to the
// program.
int GSDLLCALL toStandardOutput(void* send, const char* text, int length)
{
    if (*static_cast<bool*>(send) && length > 0)
        sendText(StandardOutput, text, static_cast<std::size_t>(length));
    return length;
}

int GSDLLCALL toErrorOutput(void* send, const char* text, int length)
{
    if (*static_cast<bool*>(send) && length > 0)
        sendText(ErrorOutput, text, static_cast<std::size_t>(length));
    return length;
}

// Ghostscript's calls as the program has always made them. With sendOutput false its text goes nowhere.
Result runGhostscript(std::vector<std::string>& arguments, bool sendOutput)
{
    Result result;
    void* instance = nullptr;
    result.newInstanceCode = gsapi_new_instance(&instance, nullptr);
    if (result.newInstanceCode < 0)
        return result;
    gsapi_set_stdio_with_handle(instance, &readNothing, &toStandardOutput, &toErrorOutput, &sendOutput);
    std::vector<char*> argv;
    argv.reserve(arguments.size());
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    result.initCode = gsapi_init_with_args(instance, static_cast<int>(argv.size()), argv.data());
    // pdfwrite finishes the output file only when the instance exits.
    result.exitCode = gsapi_exit(instance);
    gsapi_delete_instance(instance);
    return result;
}

// The kernel ends this process as soon as the program is gone, however it went (crash, SIGKILL). The program may
// have gone before the request was made: then the process already belongs to another parent.
bool endWithProgram(const char* programPid)
{
    char* end = nullptr;
    const long pid = std::strtol(programPid, &end, 10);
    if (end == programPid || *end != '\0' || pid <= 1)
        return false;
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0)
        return false;
    return getppid() == static_cast<pid_t>(pid);
}

// When memory runs out, the kernel ends this process before anything else: the file fails, the program lives. No hard
// limit instead: under one Ghostscript writes blank pictures and reports success.
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

// Memory that Ghostscript frees stays with the process rather than going back to the system, so that a run after the
// warm-up finds it mapped already. Bounded by the process's life, which is one run.
void keepFreedMemory()
{
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
}

// A child started ahead of its run does, while it waits, what every first run in a process pays for: loading and
// binding the libraries and mapping the memory that pdfwrite needs. It writes one empty page into nothing.
void warmUp()
{
    std::vector<std::string> arguments{"gs",      "-sDEVICE=pdfwrite",      "-dNOPAUSE", "-dQUIET",
                                       "-dBATCH", "-sOutputFile=/dev/null", "-c",        "showpage"};
    runGhostscript(arguments, false);
}

bool readRequest(Request& request)
{
    std::string bytes;
    char buffer[16 * 1024];
    for (;;) {
        const ssize_t count = ::read(ChannelFd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return decodeRequest(bytes, request);
}

// Opens path at descriptor fd. Returns 0, or the errno of the failure.
int openAt(const std::string& path, int flags, int fd)
{
    const int opened = ::open(path.c_str(), flags | O_CLOEXEC);
    if (opened < 0)
        return errno;
    if (opened != fd) {
        if (::dup2(opened, fd) < 0) {
            const int error = errno;
            ::close(opened);
            return error;
        }
        ::close(opened);
    }
    return 0;
}

// Answers as Ghostscript would for a file that it may not read.
int refuse(const std::string& why)
{
    sendText(ErrorOutput, why + "\n");
    Result refused;
    refused.initCode = gs_error_invalidfileaccess;
    return sendAll(ChannelFd, encodeResult(refused)) ? Answered : ChannelLost;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2 || argc > 3 || !endWithProgram(argv[1]))
        return argc < 2 || argc > 3 ? BadArguments : ProgramGone;
    leaveNoCoreFile();
    goFirstWhenMemoryRunsOut();
    keepFreedMemory();
    if (argc == 3 && std::strcmp(argv[2], SpareArgument) == 0)
        warmUp();

    Request request;
    if (!readRequest(request))
        return NoRequest;

    // Without blocking: a FIFO put in the file's place would keep the open waiting for a writer.
    const int inputError = openAt(request.inputPath, O_RDONLY | O_NONBLOCK, InputFd);
    if (inputError == 0) {
        struct stat status = {};
        if (::fstat(InputFd, &status) != 0 || !S_ISREG(status.st_mode))
            return refuse("Not a regular file: " + request.inputPath);
    } else {
        // Ghostscript then looks for the file itself and says what it missed, as it always has.
        request.arguments.back() = request.inputPath;
    }
    const int outputError = openAt(request.outputPath, O_WRONLY, OutputFd);
    if (outputError != 0)
        return refuse("Cannot open the output " + request.outputPath + ": " + std::strerror(outputError));

    const Result result = runGhostscript(request.arguments, true);
    return sendAll(ChannelFd, encodeResult(result)) ? Answered : ChannelLost;
}
