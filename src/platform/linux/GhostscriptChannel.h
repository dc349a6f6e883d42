#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What passes between the program and ZolvaneGhostscript, the process that runs its thread's compressions one after
// another, over one stream socket. The process first says which build it belongs to; then, for each run, the program
// sends one request and the process answers with frames: what Ghostscript prints, then the result. Plain C++ only:
// the process links Ghostscript and nothing of Qt.
namespace GhostscriptChannel {

// Descriptors of the process: the socket; during a run the input and output, which the program opened and sends with
// the request, so that Ghostscript can be given names it always takes, "/dev/fd/4" and "/dev/fd/5", whatever the
// user's names are, and reads and writes the very files that the program checks; and, for as long as it lives, its
// scratch folder and the temporary folder that holds it. Ghostscript reaches the scratch folder as "/proc/self/fd/6":
// no name that someone else could put another folder or a link under.
constexpr int ChannelFd = 3;
constexpr int InputFd = 4;
constexpr int OutputFd = 5;
constexpr int ScratchFd = 6;
constexpr int TemporaryFd = 7;
extern const char ScratchFolderName[];

// The build that the program and its Ghostscript process both come from; a process of another build (the program's
// folder replaced by an upgrade while it runs) is never asked to run anything.
extern const char BuildId[];

struct Request
{
    // The whole Ghostscript command line; its last argument is the input. A "-sPDFPassword=" argument among them is
    // handed to Ghostscript as a parameter, never as an argument. The input and the output come with the request
    // as descriptors.
    std::vector<std::string> arguments;
};

// What the Ghostscript calls returned, in the order they were made (a failed gsapi_new_instance leaves the others
// 0); whether Ghostscript said that it could not write its output or its scratch files, or reported an error in the
// file, both of which it tells in its text only; how many pages it drew; and how much memory the process holds after
// the run.
struct Result
{
    std::int32_t newInstanceCode = 0;
    std::int32_t initCode = 0;
    std::int32_t exitCode = 0;
    bool writeFailed = false;
    bool errorReported = false;
    // -1 when Ghostscript did not tell.
    std::int32_t pagesDrawn = -1;
    std::uint64_t residentBytes = 0;
};

enum FrameType : char
{
    // From the process.
    HelloFrame = 'h',
    StandardOutput = 'o',
    ErrorOutput = 'e',
    ResultFrame = 'r',
    // From the program.
    RequestFrame = 'q',
};

// Text longer than this goes in several frames; a longer frame means that the stream is broken.
constexpr std::size_t MaxPayload = 64 * 1024;
// A request holds the command line, two paths and a password of whatever length the user typed.
constexpr std::size_t MaxRequest = 4 * 1024 * 1024;

// Writes all of bytes into the stream socket, without SIGPIPE should the other end be gone. False when it is.
bool sendAll(int socket, const std::string& bytes);

// Writes a request frame, whole, into the stream socket with the input and the output descriptors. False when the
// other end is gone.
bool sendRequest(int socket, const std::string& request, int input, int output);
// Reads up to size bytes of the stream socket, as recv does; descriptors that come with them are added to received
// (close-on-exec).
long receive(int socket, char* buffer, std::size_t size, std::vector<int>& received);

// A request frame, whole.
std::string encodeRequest(const Request& request);
// The payload of a request frame.
bool decodeRequest(const std::string& payload, Request& request);

// One frame; a payload over MaxPayload is cut there (callers split longer text themselves).
std::string encodeFrame(FrameType type, const char* data, std::size_t size);
std::string encodeResult(const Result& result);
bool decodeResult(const std::string& payload, Result& result);

// Whether a line that Ghostscript printed says that it could not write a file: it still returns 0 from every call
// when its output or its scratch files could not be written whole (a full disk).
bool reportsFailedWrite(const std::string& line);
// Whether a line that Ghostscript printed reports an error: its PDF interpreter goes on after most, and returns 0.
bool reportsError(const std::string& line);

// Takes the stream from the process in whatever pieces it arrives and hands out whole frames.
class FrameReader
{
public:
    void feed(const char* data, std::size_t size);
    // The next whole frame, when there is one. Sets broken() instead on a frame that cannot be: an unknown type or
    // a length over MaxPayload.
    bool next(FrameType& type, std::string& payload);
    bool broken() const { return m_broken; }
    // Whether bytes that make no whole frame yet are waiting.
    bool hasPending() const { return m_read < m_buffer.size(); }

private:
    std::string m_buffer;
    std::size_t m_read = 0;
    bool m_broken = false;
};

} // namespace GhostscriptChannel
