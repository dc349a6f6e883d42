#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A D-Bus session bus of the test's own, so that a test never reaches the desktop of whoever runs it. The daemon
// ends with the object.
class PrivateSessionBus
{
public:
    PrivateSessionBus() = default;
    ~PrivateSessionBus();
    Q_DISABLE_COPY(PrivateSessionBus)

    // Starts the daemon and points DBUS_SESSION_BUS_ADDRESS at it, which the program reads when it first asks for
    // the session bus: call before that. Returns what went wrong, or an empty text.
    QString start();
    QString address() const { return m_address; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};
