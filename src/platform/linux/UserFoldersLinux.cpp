#include "platform/UserFolders.h"

#include <QDir>
#include <QFile>

namespace platform {

QString userDataHome()
{
    // A relative value is invalid under the base-directory rules and must be ignored: taken as it is, it would put
    // the files below whatever folder the program happened to start in.
    const QString configured = QFile::decodeName(qgetenv("XDG_DATA_HOME"));
    if (isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.local/share"));
}

bool isAbsolutePath(const QString& path)
{
    return path.startsWith(QLatin1Char('/'));
}

} // namespace platform
