#include "platform/KeepAwake.h"

#include "AppConstants.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>

namespace platform {

namespace {

struct InhibitService
{
    const char* name;
    const char* path;
    const char* interface;
};

// The freedesktop inhibitors: screen blanking and idle actions, and suspending the computer.
constexpr InhibitService InhibitServices[] = {
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver"},
    {"org.freedesktop.PowerManagement", "/org/freedesktop/PowerManagement/Inhibit",
     "org.freedesktop.PowerManagement.Inhibit"},
};

} // namespace

void keepSystemAwake()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return; // no desktop session, nothing to keep awake

    // Both services drop an inhibition when the connection that asked for it goes away, so the
    // requests hold exactly as long as this process. The calls do not wait for their answers: a
    // session without these services must not hold up the start.
    for (const InhibitService& service : InhibitServices) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(QString::fromLatin1(service.name), QString::fromLatin1(service.path),
                                           QString::fromLatin1(service.interface), QStringLiteral("Inhibit"));
        call << ProductDisplayName << QStringLiteral("Compressing PDF files");
        bus.asyncCall(call);
    }
}

} // namespace platform
