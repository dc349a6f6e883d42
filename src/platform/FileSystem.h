#pragma once

#include <QString>

namespace platform {

// A file that the program holds open, closed with the object. Whatever becomes of the name it was opened by, it stays
// the same file: what the program checks of it is what others are handed.
class OpenFile
{
public:
    OpenFile() = default;
    explicit OpenFile(int descriptor) : m_descriptor(descriptor) {}
    OpenFile(OpenFile&& other) noexcept;
    OpenFile& operator=(OpenFile&& other) noexcept;
    ~OpenFile();

    bool isOpen() const { return m_descriptor >= 0; }
    int descriptor() const { return m_descriptor; }

private:
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int m_descriptor = -1;
};

// Opens the file at path for reading when it is, after any links, a regular file: a FIFO put in its place keeps no one
// waiting, and a device feeds no one without end. On failure *error says why and *missing whether nothing bears the
// path.
OpenFile openRegularFile(const QString& path, QString* error, bool* missing);

// Creates a new, empty file at path, as any new file is made (under the user's umask), and opens it for reading and
// writing. Never opens what bears the name already, a link included: then *taken is true. *error says why it failed.
OpenFile createNewFile(const QString& path, QString* error, bool* taken);

// Writes what the system still holds in memory of the file at path to its disk. Returns false, with the system's
// reason in *error when given, when the file cannot be opened or the disk reports a failure.
bool flushToDisk(const QString& path, QString* error = nullptr);

enum class MoveResult
{
    Moved,
    // Something (a file, a folder, a link) already bears the new name; nothing was changed.
    NameTaken,
    Failed,
};

// Gives the file at from the name to, which must lie on the same file system, in one step that never replaces
// whatever bears to already: no moment exists at which to names an incomplete file. The new name is flushed to
// disk with its folder. On NameTaken and Failed the file stays at from; *error tells why on Failed.
MoveResult moveWithoutReplacing(const QString& from, const QString& to, QString* error = nullptr);

} // namespace platform
