#pragma once

#include <QString>

#include <functional>

class QObject;

namespace platform {

// From this call on, a request to end the program (SIGTERM at logout or from kill, SIGINT from Ctrl+C in a terminal,
// SIGHUP when the terminal goes) no longer ends the process where it stands: each calls onSignal with the signal's
// name ("SIGTERM") on the thread that made this call, from whichever event loop runs there next, a dialog's included.
// A signal that the process was started to ignore (nohup) stays ignored. The catching lives as long as context.
// Call once, from the main thread, once the application object exists. Returns false when it could not be set up;
// the signals then end the process as before.
bool catchTerminationSignals(QObject* context, std::function<void(const QString& signalName)> onSignal);

// Takes the signals of the three that came since an event loop last looked, for a thread that waits without one:
// returns the name of the first of them, or an empty string when none came (or they are not caught).
QString takeTerminationSignal();

} // namespace platform
