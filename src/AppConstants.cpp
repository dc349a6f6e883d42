#include "AppConstants.h"

#include "platform/UserFolders.h"

#include <QDir>

const QString OrganizationName = QStringLiteral("Tamrik");
const QString ProductDisplayName = QStringLiteral("Zolvane");
const QString AppVersion = QStringLiteral("3.1.0");
const QString ProductId = QStringLiteral("82");

const QString AppConfigDir = QStringLiteral("/Tamrik/Zolvane/Config/");
const QString AppLogDir = QStringLiteral("/Tamrik/Zolvane/Log/");

// A reserved domain: the program never calls a host that someone else owns.
const QString SiteRoot = QStringLiteral("https://www.tamrik.example/");
const QString SupportPageUrl = SiteRoot + QStringLiteral("support/feedback.html");
const QString FaqPageUrl = SiteRoot + QStringLiteral("zolvane/faq.html");
const QString ProductPageUrl = SiteRoot + QStringLiteral("zolvane/");

QString perUserPath(const QString& dir)
{
    // Cleaned, so that a data folder given as "/" or with a trailing "/" yields no doubled separator.
    QString path = QDir::cleanPath(platform::userDataHome() + dir);
    if (dir.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}
