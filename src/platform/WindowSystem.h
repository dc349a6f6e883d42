#pragma once

namespace platform {

// Whether the desktop composites windows, so that a translucent window shows what lies behind it.
// Without a compositor the transparent parts of such a window come out black. Needs the application
// object.
bool compositingManagerRunning();

} // namespace platform
