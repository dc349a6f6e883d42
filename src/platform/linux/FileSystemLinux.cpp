#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform {

namespace {

int openForFlushing(const QByteArray& path, int flags)
{
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// EINVAL: the file system has nothing it could flush (it writes through, or keeps nothing on a disk).
bool flushDescriptor(int fd)
{
    int result;
    do {
        result = ::fsync(fd);
    } while (result < 0 && errno == EINTR);
    return result == 0 || errno == EINVAL;
}

bool failWith(QString* error, int code)
{
    if (error)
        *error = qt_error_string(code);
    return false;
}

// A new name that reached only the page cache is lost with a power cut, together with the file it names. Failing
// here changes nothing that has been done, so it is not reported.
void flushFolderOf(const QByteArray& path)
{
    const int fd =
        openForFlushing(QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath()), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    flushDescriptor(fd);
    ::close(fd);
}

// What a file system (or kernel) says when it does not know the flag: NFS and some FUSE file systems.
bool refusesNoReplace(int code)
{
    return code == EINVAL || code == ENOSYS || code == EOPNOTSUPP;
}

// What a file system says when it has no hard links: shares mounted through FUSE, for example.
bool refusesLinks(int code)
{
    return code == EPERM || code == ENOSYS || code == EOPNOTSUPP;
}

MoveResult moved(const QByteArray& to)
{
    flushFolderOf(to);
    return MoveResult::Moved;
}

MoveResult takenOrFailed(int code, QString* error)
{
    if (code == EEXIST)
        return MoveResult::NameTaken;
    failWith(error, code);
    return MoveResult::Failed;
}

} // namespace

OpenFile::OpenFile(OpenFile&& other) noexcept : m_descriptor(other.m_descriptor)
{
    other.m_descriptor = -1;
}

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept
{
    std::swap(m_descriptor, other.m_descriptor);
    return *this;
}

OpenFile::~OpenFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

OpenFile openRegularFile(const QString& path, QString* error, bool* missing)
{
    *missing = false;
    int fd;
    do {
        // Without blocking: opening a FIFO for reading would wait for a writer.
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        *missing = errno == ENOENT || errno == ENOTDIR;
        failWith(error, errno);
        return OpenFile();
    }
    OpenFile file(fd);
    struct stat status = {};
    if (::fstat(fd, &status) != 0) {
        failWith(error, errno);
        return OpenFile();
    }
    if (!S_ISREG(status.st_mode)) {
        *error = QStringLiteral("not a regular file");
        return OpenFile();
    }
    // Reading blocks as it always does; only the open was not to wait.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return file;
}

OpenFile createNewFile(const QString& path, QString* error, bool* taken)
{
    int fd;
    do {
        // O_EXCL fails on a link too, dangling or not.
        fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    *taken = fd < 0 && errno == EEXIST;
    if (fd < 0)
        failWith(error, errno);
    return OpenFile(fd);
}

bool flushToDisk(const QString& path, QString* error)
{
    const int fd = openForFlushing(QFile::encodeName(path), O_RDONLY);
    if (fd < 0)
        return failWith(error, errno);
    const bool flushed = flushDescriptor(fd);
    const int code = errno;
    ::close(fd);
    return flushed || failWith(error, code);
}

MoveResult moveWithoutReplacing(const QString& fromPath, const QString& toPath, QString* error)
{
    const QByteArray from = QFile::encodeName(fromPath);
    const QByteArray to = QFile::encodeName(toPath);

    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return moved(to);
    if (!refusesNoReplace(errno))
        return takenOrFailed(errno, error);

    // A second name for the file, made only where none exists, and then the first one taken away.
    if (::link(from.constData(), to.constData()) == 0) {
        // The file is in place; a leftover first name is a hidden temporary, which is no harm.
        ::unlink(from.constData());
        return moved(to);
    }
    if (!refusesLinks(errno))
        return takenOrFailed(errno, error);

    // No hard links either (shares mounted through FUSE): claim the name with an empty file of our own and move the
    // file over it. Only that empty file can be replaced, and only for as long as the two calls take.
    int fd;
    do {
        fd = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return takenOrFailed(errno, error);
    ::close(fd);
    if (::rename(from.constData(), to.constData()) == 0)
        return moved(to);
    const int code = errno;
    ::unlink(to.constData());
    failWith(error, code);
    return MoveResult::Failed;
}

} // namespace platform
