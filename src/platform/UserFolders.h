#pragma once

#include <QString>

namespace platform {

// The folder under which each user's own program data lives (settings, logs, crash dumps), as an absolute path.
// On Linux $XDG_DATA_HOME when it holds an absolute path, else ~/.local/share.
QString userDataHome();

// Whether path names the same place whatever folder the program runs in. Qt's own test also takes a path that begins
// with ":", its prefix for compiled-in resources, which as a folder would be made under the working folder.
bool isAbsolutePath(const QString& path);

} // namespace platform
