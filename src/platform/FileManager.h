#pragma once

#include <QString>

namespace platform {

// Shows path in the desktop's file manager: a file selected in its folder, a folder opened as itself. Where no file
// manager takes the request, the folder (a file's own folder) is opened with the desktop's default handler instead.
// Waits about a second at most for the file manager to answer. GUI thread.
void showInFileManager(const QString& path);

} // namespace platform
