#include "platform/WindowSystem.h"

#include <QGuiApplication>
#include <QScreen>
#include <qpa/qplatformnativeinterface.h>

namespace platform {

bool compositingManagerRunning()
{
    const QString platformName = QGuiApplication::platformName();
    // A Wayland compositor is what draws the desktop: every window is composited.
    if (platformName.startsWith(QLatin1String("wayland")))
        return true;
    // X11 composites only while a compositing manager owns the _NET_WM_CM_S<screen> selection; Qt's xcb
    // integration follows that owner for each screen. Other platforms (offscreen, vnc, framebuffers) draw
    // each window on its own.
    if (platformName != QLatin1String("xcb"))
        return false;
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    QScreen* screen = QGuiApplication::primaryScreen();
    return native && screen && native->nativeResourceForScreen(QByteArrayLiteral("compositingenabled"), screen);
}

} // namespace platform
