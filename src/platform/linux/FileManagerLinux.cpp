#include "platform/FileManager.h"

#include "LogPosition.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace platform {

namespace {

// The freedesktop file manager interface, which Nautilus, Dolphin, Nemo, Caja, Thunar and others answer.
const QString FileManagerService = QStringLiteral("org.freedesktop.FileManager1");
const QString FileManagerPath = QStringLiteral("/org/freedesktop/FileManager1");
// The call blocks the GUI thread; a file manager that is running answers in a few milliseconds. One that the bus
// has to start first may take longer, and then the folder is opened the other way as well.
constexpr int ReplyTimeoutMs = 1000;

bool askFileManager(const QString& method, const QString& path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(FileManagerService, FileManagerPath, FileManagerService, method);
    // File URLs, percent-encoded: the file manager must get back exactly the bytes of the name, blanks, "%" and
    // non-ASCII characters included. No start-up id: we have none to hand on.
    call << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, ReplyTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    LOG_DEBUG("platform::showInFileManager")
        << "the file manager did not take the request:" << reply.errorName() << reply.errorMessage();
    return false;
}

} // namespace

void showInFileManager(const QString& path)
{
    const QFileInfo info(path);
    const QString target = QDir::cleanPath(info.absoluteFilePath());
    const bool isFolder = info.isDir();
    if (askFileManager(isFolder ? QStringLiteral("ShowFolders") : QStringLiteral("ShowItems"), target))
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(isFolder ? target : QFileInfo(target).absolutePath()));
}

} // namespace platform
