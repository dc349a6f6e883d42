#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What passes between the program and ZolvaneGhostscript, the child that runs one compression, over one stream
// socket. The program sends one request and closes its side for writing; the child answers with frames: what
// Ghostscript prints, then the result. Plain C++ only: the child links Ghostscript and nothing of Qt.
namespace GhostscriptChannel {

// Descriptors of the child: the socket, and the input and output that the child opens itself so that Ghostscript can
// be given names it always takes, "/dev/fd/4" and "/dev/fd/5", whatever the user's names are.
constexpr int ChannelFd = 3;
constexpr int InputFd = 4;
constexpr int OutputFd = 5;

// The child's arguments: the program's process id, then this word for a child started ahead of its run.
constexpr char SpareArgument[] = "spare";

struct Request
{
    // The whole Ghostscript command line; its last argument is the input.
    std::vector<std::string> arguments;
    // The files behind InputFd and OutputFd.
    std::string inputPath;
    std::string outputPath;
};

// What the Ghostscript calls returned, in the order they were made; a failed gsapi_new_instance leaves the others 0.
struct Result
{
    std::int32_t newInstanceCode = 0;
    std::int32_t initCode = 0;
    std::int32_t exitCode = 0;
};

enum FrameType : char
{
    StandardOutput = 'o',
    ErrorOutput = 'e',
    ResultFrame = 'r',
};

// Text longer than this goes in several frames; a longer frame means that the stream is broken.
constexpr std::size_t MaxPayload = 64 * 1024;

// Writes all of bytes into the stream socket, without SIGPIPE should the other end be gone. False when it is.
bool sendAll(int socket, const std::string& bytes);

std::string encodeRequest(const Request& request);
bool decodeRequest(const std::string& bytes, Request& request);

// One frame; a payload over MaxPayload is cut there (callers split longer text themselves).
std::string encodeFrame(FrameType type, const char* data, std::size_t size);
std::string encodeResult(const Result& result);
bool decodeResult(const std::string& payload, Result& result);

// Takes the stream in whatever pieces it arrives and hands out whole frames.
class FrameReader
{
public:
    void feed(const char* data, std::size_t size);
    // The next whole frame, when there is one. Sets broken() instead on a frame that cannot be: an unknown type or
    // a length over MaxPayload.
    bool next(FrameType& type, std::string& payload);
    bool broken() const { return m_broken; }

private:
    std::string m_buffer;
    std::size_t m_read = 0;
    bool m_broken = false;
};

} // namespace GhostscriptChannel
