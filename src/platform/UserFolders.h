#pragma once

#include <QString>

namespace platform {

// The folder under which each user's own program data lives (settings, logs, crash dumps), as an absolute path.
// On Linux $XDG_DATA_HOME when it holds an absolute path, else ~/.local/share.
QString userDataHome();

} // namespace platform
