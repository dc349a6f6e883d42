#pragma once

#include <functional>

class QWidget;

namespace ModalDialogs {

// Answers the next modal dialog: as soon as one is active, runs answer with it, once, on the GUI thread.
// Arm it before the call that opens the dialog. Gives up silently after timeoutMs, so that a dialog that
// never comes shows up as a failed check of the test rather than as a timer left running.
void answerNext(std::function<void(QWidget*)> answer, int timeoutMs = 10000);

} // namespace ModalDialogs
