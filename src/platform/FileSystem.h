#pragma once

#include <QString>

namespace platform {

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
