#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the text of every message logged while it lives, in place of whichever handler was there before (once a
// main window exists, that is the program's own log, not the test's).
class LogCatcher
{
public:
    LogCatcher();
    ~LogCatcher();

    QStringList messages() const;

private:
    Q_DISABLE_COPY(LogCatcher)

    QtMessageHandler previous;
};
