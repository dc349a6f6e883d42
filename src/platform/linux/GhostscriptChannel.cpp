#include "GhostscriptChannel.h"

#include "GhostscriptBuildId.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace GhostscriptChannel {

const char BuildId[] = ZOLVANE_GHOSTSCRIPT_BUILD_ID;
const char ScratchFolderName[] = "/proc/self/fd/6";

namespace {

// Lengths and codes go in the byte order of the machine: both ends are the same machine.
void appendNumber(std::string& out, std::uint32_t value)
{
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

bool takeNumber(const std::string& in, std::size_t& at, std::uint32_t& value)
{
    if (in.size() - at < sizeof value)
        return false;
    std::memcpy(&value, in.data() + at, sizeof value);
    at += sizeof value;
    return true;
}

void appendString(std::string& out, const std::string& value)
{
    appendNumber(out, static_cast<std::uint32_t>(value.size()));
    out += value;
}

bool takeString(const std::string& in, std::size_t& at, std::string& value)
{
    std::uint32_t size = 0;
    if (!takeNumber(in, at, size) || in.size() - at < size)
        return false;
    value.assign(in, at, size);
    at += size;
    return true;
}

bool isFrameType(char type)
{
    return type == HelloFrame || type == StandardOutput || type == ErrorOutput || type == ResultFrame;
}

constexpr std::size_t FrameHeaderSize = 1 + sizeof(std::uint32_t);

} // namespace

bool sendAll(int socket, const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

bool sendRequest(int socket, const std::string& request, int input, int output)
{
    if (request.empty())
        return false;
    // The descriptors ride on the first byte; the rest follows as any bytes do.
    const int descriptors[2] = {input, output};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof descriptors)] = {};
    iovec data = {const_cast<char*>(request.data()), request.size()};
    msghdr message = {};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof descriptors);
    std::memcpy(CMSG_DATA(header), descriptors, sizeof descriptors);
    ssize_t sent;
    do {
        sent = ::sendmsg(socket, &message, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    if (sent <= 0)
        return false;
    return sendAll(socket, request.substr(static_cast<std::size_t>(sent)));
}

long receive(int socket, char* buffer, std::size_t size, std::vector<int>& received)
{
    // Room for more than the two that belong to a request, so that extra ones are not lost unseen but closed.
    alignas(cmsghdr) char control[CMSG_SPACE(8 * sizeof(int))];
    iovec data = {buffer, size};
    msghdr message = {};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t count;
    do {
        count = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
    } while (count < 0 && errno == EINTR);
    for (cmsghdr* header = count < 0 ? nullptr : CMSG_FIRSTHDR(&message); header;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS)
            continue;
        const std::size_t n = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < n; ++i) {
            int fd;
            std::memcpy(&fd, CMSG_DATA(header) + i * sizeof fd, sizeof fd);
            received.push_back(fd);
        }
    }
    // Descriptors that did not fit are closed by the kernel: the request they came with cannot be served.
    if (count > 0 && (message.msg_flags & MSG_CTRUNC))
        received.push_back(-1);
    return count;
}

std::string encodeRequest(const Request& request)
{
    std::string payload;
    appendNumber(payload, static_cast<std::uint32_t>(request.arguments.size()));
    for (const std::string& argument : request.arguments)
        appendString(payload, argument);
    std::string out(1, RequestFrame);
    appendNumber(out, static_cast<std::uint32_t>(payload.size()));
    return out + payload;
}

bool decodeRequest(const std::string& payload, Request& request)
{
    std::size_t at = 0;
    std::uint32_t count = 0;
    if (!takeNumber(payload, at, count) || count == 0 || count > payload.size())
        return false;
    request.arguments.resize(count);
    for (std::string& argument : request.arguments) {
        if (!takeString(payload, at, argument))
            return false;
    }
    return at == payload.size();
}

std::string encodeFrame(FrameType type, const char* data, std::size_t size)
{
    if (size > MaxPayload)
        size = MaxPayload;
    std::string out(1, type);
    appendNumber(out, static_cast<std::uint32_t>(size));
    out.append(data, size);
    return out;
}

std::string encodeResult(const Result& result)
{
    std::string payload;
    appendNumber(payload, static_cast<std::uint32_t>(result.newInstanceCode));
    appendNumber(payload, static_cast<std::uint32_t>(result.initCode));
    appendNumber(payload, static_cast<std::uint32_t>(result.exitCode));
    appendNumber(payload, (result.writeFailed ? 1 : 0) | (result.errorReported ? 2 : 0));
    appendNumber(payload, static_cast<std::uint32_t>(result.pagesDrawn));
    appendNumber(payload, static_cast<std::uint32_t>(result.residentBytes));
    appendNumber(payload, static_cast<std::uint32_t>(result.residentBytes >> 32));
    return encodeFrame(ResultFrame, payload.data(), payload.size());
}

bool decodeResult(const std::string& payload, Result& result)
{
    std::size_t at = 0;
    std::uint32_t values[7] = {};
    for (std::uint32_t& value : values) {
        if (!takeNumber(payload, at, value))
            return false;
    }
    if (at != payload.size() || values[3] > 3)
        return false;
    result.newInstanceCode = static_cast<std::int32_t>(values[0]);
    result.initCode = static_cast<std::int32_t>(values[1]);
    result.exitCode = static_cast<std::int32_t>(values[2]);
    result.writeFailed = (values[3] & 1) != 0;
    result.errorReported = (values[3] & 2) != 0;
    result.pagesDrawn = static_cast<std::int32_t>(values[4]);
    result.residentBytes = values[5] | static_cast<std::uint64_t>(values[6]) << 32;
    return true;
}

bool reportsFailedWrite(const std::string& line)
{
    // "GPL Ghostscript 10.00.0: ERROR: ioerror (-12) on closing pdfwrite device." when the output could not be
    // finished, and "**** Could not open temporary file /tmp/gs_XXXXXX" when a scratch file could not be made.
    const std::size_t error = line.find("ERROR: ");
    return (error != std::string::npos && line.find(" on closing ", error) != std::string::npos) ||
           line.find("Could not open temporary file") != std::string::npos;
}

bool reportsError(const std::string& line)
{
    // "   **** Error: Cannot find a 'startxref' anywhere in the file.", "... Unrecoverable error, exit code 1".
    return line.find("**** Error") != std::string::npos || line.find("Unrecoverable error") != std::string::npos ||
           line.find("ERROR: ") != std::string::npos;
}

void FrameReader::feed(const char* data, std::size_t size)
{
    // What has been handed out is dropped before the buffer grows.
    if (m_read > 0) {
        m_buffer.erase(0, m_read);
        m_read = 0;
    }
    m_buffer.append(data, size);
}

bool FrameReader::next(FrameType& type, std::string& payload)
{
    if (m_broken || m_buffer.size() - m_read < FrameHeaderSize)
        return false;
    const char kind = m_buffer[m_read];
    std::uint32_t size = 0;
    std::memcpy(&size, m_buffer.data() + m_read + 1, sizeof size);
    if (!isFrameType(kind) || size > MaxPayload) {
        m_broken = true;
        return false;
    }
    if (m_buffer.size() - m_read - FrameHeaderSize < size)
        return false;
    type = static_cast<FrameType>(kind);
    payload.assign(m_buffer, m_read + FrameHeaderSize, size);
    m_read += FrameHeaderSize + size;
    return true;
}

} // namespace GhostscriptChannel
