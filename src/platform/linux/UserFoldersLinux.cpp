#include "platform/UserFolders.h"

#include <QDir>
#include <QFile>

namespace platform {

QString userDataHome()
{
    // A relative value is invalid under the base-directory rules and must be ignored: taken as it is, it would put
    // the files below whatever folder the program happened to start in. (QDir::isAbsolutePath would also let
    // through a ":" resource path.)
    const QString configured = QFile::decodeName(qgetenv("XDG_DATA_HOME"));
    if (configured.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(configured);
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.local/share"));
}

} // namespace platform
