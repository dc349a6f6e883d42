#pragma once

namespace platform {

// Asks the desktop session not to suspend the computer or blank the screen while this process runs.
// The request holds until the process ends. Without a desktop session nothing happens.
void keepSystemAwake();

} // namespace platform
