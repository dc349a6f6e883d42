#include "ProgramDriver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <qtestsupport_core.h>

namespace {
// One xdotool call answers in milliseconds; this is for a loaded machine.
constexpr int ToolLimitMs = 10000;
constexpr int PollMs = 50;
} // namespace

bool runTool(QProcess& process, const QString& program, const QStringList& arguments, int ms)
{
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    process.start(program, arguments);
    limit.start(ms);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    QObject::disconnect(&process, nullptr, &loop, nullptr);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(ToolLimitMs);
        return false;
    }
    return process.error() == QProcess::UnknownError && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

QString XSession::startServer(QProcess& server, const QSize& screenSize)
{
    // The server writes the number of the display it took to the given descriptor once it accepts clients. By
    // default it starts over whenever its last client leaves, and refuses the clients that come meanwhile: a program
    // started right after the one before it ended (with no xdotool call open) could not open its windows. With
    // -noreset it keeps running as it is, the pointer where the last click left it.
    server.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                  QStringLiteral("%1x%2x24").arg(screenSize.width()).arg(screenSize.height()),
                  QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
    QDeadlineTimer deadline(ToolLimitMs);
    QByteArray number;
    while (!number.endsWith('\n') && server.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        server.waitForReadyRead(PollMs);
        number += server.readAllStandardOutput();
    }
    bool ok = false;
    const int display = number.trimmed().toInt(&ok);
    if (!ok) {
        server.kill();
        server.waitForFinished(ToolLimitMs);
        return QString();
    }
    return QStringLiteral(":%1").arg(display);
}

QByteArray XSession::xdotool(const QStringList& arguments, bool* ok) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), displayName);
    process.setProcessEnvironment(environment);
    const bool done = runTool(process, QStringLiteral("xdotool"), arguments, ToolLimitMs);
    if (ok)
        *ok = done;
    return process.readAllStandardOutput();
}

QList<QRect> XSession::windows(const QString& title) const
{
    // A search that finds nothing fails and prints nothing.
    const QByteArray shell =
        xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), title,
                 QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QStringLiteral("%@")});
    QList<QRect> found;
    QRect rect;
    for (const QByteArray& line : shell.split('\n')) {
        const int equals = line.indexOf('=');
        const QByteArray key = line.left(equals);
        const int value = line.mid(equals + 1).toInt();
        if (key == "X")
            rect.moveLeft(value);
        else if (key == "Y")
            rect.moveTop(value);
        else if (key == "WIDTH")
            rect.setWidth(value);
        else if (key == "HEIGHT")
            rect.setHeight(value);
        else if (key == "SCREEN")
            found << rect;
    }
    return found;
}

QRect XSession::waitForWindow(const QString& title, int ms) const
{
    QList<QRect> found;
    if (!QTest::qWaitFor([&] { return (found = windows(title)).size() == 1; }, ms))
        return QRect();
    return found.first();
}

bool XSession::waitUntilGone(const QString& title, int ms) const
{
    return QTest::qWaitFor([&] { return windows(title).isEmpty(); }, ms);
}

bool XSession::waitForFocus(const QString& title, int ms) const
{
    const QRegularExpression pattern(title);
    return QTest::qWaitFor(
        [&] {
            bool ok = false;
            const QByteArray name = xdotool({QStringLiteral("getwindowfocus"), QStringLiteral("getwindowname")}, &ok);
            return ok && pattern.match(QString::fromUtf8(name).trimmed()).hasMatch();
        },
        ms);
}

QStringList XSession::pointerMove(const QPoint& at, bool* ok) const
{
    // "mousemove --sync" waits for the pointer to move, which it never does when it is there already.
    const QByteArray shell = xdotool({QStringLiteral("getmouselocation"), QStringLiteral("--shell")}, ok);
    QPoint now(-1, -1);
    for (const QByteArray& line : shell.split('\n')) {
        if (line.startsWith("X="))
            now.setX(line.mid(2).toInt());
        else if (line.startsWith("Y="))
            now.setY(line.mid(2).toInt());
    }
    if (now == at)
        return QStringList();
    return {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()), QString::number(at.y())};
}

bool XSession::moveTo(const QPoint& at) const
{
    bool ok = false;
    const QStringList move = pointerMove(at, &ok);
    if (ok && !move.isEmpty())
        xdotool(move, &ok);
    return ok;
}

bool XSession::click(const QPoint& at) const
{
    bool ok = false;
    const QStringList move = pointerMove(at, &ok);
    if (ok)
        xdotool(move + QStringList{QStringLiteral("click"), QStringLiteral("1")}, &ok);
    return ok;
}

bool XSession::keys(const QStringList& names) const
{
    bool ok = false;
    xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100")} + names, &ok);
    return ok;
}

bool XSession::type(const QString& text) const
{
    bool ok = false;
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text}, &ok);
    return ok;
}

QProcessEnvironment programEnvironment(const QString& home, const QString& display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CURRENT_DESKTOP",
                             "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORMTHEME", "QT_SCALE_FACTOR", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // Qt wants a private runtime folder and complains about any other.
    const QString runtime = home + QStringLiteral("/.runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return environment;
}

QString programLog(const QString& home)
{
    const QDir folder(home + QStringLiteral("/.local/share/Tamrik/Zolvane/Log"));
    QString text;
    // One page per hour, named by date and hour.
    for (const QString& name : folder.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        QFile page(folder.filePath(name));
        if (page.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(page.readAll());
    }
    return text;
}

QString programIniPath(const QString& home)
{
    return home + QStringLiteral("/.local/share/Tamrik/Zolvane/Config/Zolvane.ini");
}
