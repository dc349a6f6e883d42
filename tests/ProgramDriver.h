#pragma once

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// Works the windows of an X display from outside, as a person would: finds them by title and clicks and types
// through xdotool. Every call waits with the event loop running (a fake service in the calling thread keeps
// answering) and gives up after a time limit, so that nothing can hang.
class XSession
{
public:
    explicit XSession(const QString& display) : displayName(display) {}

    // Starts an X server on a display number that the server picks itself, so that parallel runs cannot take the
    // same one. Returns the display (":N"), or an empty string when the server did not come up.
    static QString startServer(QProcess& server, const QSize& screenSize);

    const QString& display() const { return displayName; }

    // The frames of the visible windows whose title matches the regular expression (anchor it to match whole
    // titles).
    QList<QRect> windows(const QString& title) const;
    // The window's frame once exactly one such window is visible; a null rectangle after ms milliseconds.
    QRect waitForWindow(const QString& title, int ms) const;
    bool waitUntilGone(const QString& title, int ms) const;
    // Whether the window with the keyboard focus has a matching title within ms milliseconds. A window takes the
    // focus some time after it shows, and keys typed before then go elsewhere.
    bool waitForFocus(const QString& title, int ms) const;

    bool click(const QPoint& at) const;
    bool moveTo(const QPoint& at) const;
    // Key names as xdotool knows them ("Return", "Escape", "Down").
    bool keys(const QStringList& names) const;
    // Into the window that has the keyboard focus.
    bool type(const QString& text) const;

private:
    // The xdotool arguments that bring the pointer to at and wait until it is there; none when it is there already.
    QStringList pointerMove(const QPoint& at, bool* ok) const;
    QByteArray xdotool(const QStringList& arguments, bool* ok = nullptr) const;

    QString displayName;
};

// Runs a program to its end with the event loop running; false when it failed to start, crashed, returned
// non-zero or took longer than ms milliseconds (it is then killed).
bool runTool(QProcess& process, const QString& program, const QStringList& arguments, int ms);

// The environment for a program on the display: its own home and nothing of the caller's desktop (session bus,
// configuration and data folders, platform theme).
QProcessEnvironment programEnvironment(const QString& home, const QString& display);

// The text of the program's HTML log pages under home, oldest page first.
QString programLog(const QString& home);

// Where the program keeps its folder settings ("Zolvane.ini") under home.
QString programIniPath(const QString& home);

// Places in the program's window, from the frame's geometry alone. The frame draws a margin of 1 to 3 pixels
// around its content (3 where a compositor shows the shadow); each place lies inside its control for either.
namespace FramePlaces {
// The rightmost 30 x 30 button of the 31-pixel title bar.
inline QPoint closeButton(const QRect& frame)
{
    return {frame.right() - 17, frame.top() + 17};
}
// Left of the minimise button, which is left of the close button.
inline QPoint menuButton(const QRect& frame)
{
    return {frame.right() - 77, frame.top() + 17};
}
// The first button of the 58-pixel tool bar under the title bar, 6 pixels from the left.
inline QPoint addFilesButton(const QRect& frame)
{
    return {frame.left() + 38, frame.top() + 63};
}
// At the right end of the 54-pixel bottom bar, 15 pixels from the right edge, at least 94 x 27.
inline QPoint compressButton(const QRect& frame)
{
    return {frame.right() - 64, frame.bottom() - 29};
}
} // namespace FramePlaces
