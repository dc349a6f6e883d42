#pragma once

#include <QString>

// Names, version and places that identify the program. Built before main runs and never changed.
extern const QString OrganizationName;
extern const QString ProductDisplayName;
extern const QString AppVersion;
extern const QString ProductId;

// Per-user directories below the system's per-user data folder (platform::userDataHome()), hence the leading and
// trailing "/". Only ever used through perUserPath.
extern const QString AppConfigDir;
extern const QString AppLogDir;
// The absolute path of one of the per-user directories above, ending in "/": on Linux, for example,
// "/home/someone/.local/share/Tamrik/Zolvane/Log/".
QString perUserPath(const QString& dir);

// The maker's web pages. All of them start with SiteRoot, after which MultiLanguage::localizedUrl
// inserts the language segment ("fr/", "jp/", ...).
extern const QString SiteRoot;
extern const QString SupportPageUrl;
extern const QString FaqPageUrl;
extern const QString ProductPageUrl;
