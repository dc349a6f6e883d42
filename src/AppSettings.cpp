#include "AppSettings.h"

#include "AppConstants.h"
#include "platform/UserFolders.h"

#include <QFile>
#include <QSettings>

namespace {
AppSettings* instance = nullptr;
const QString GeneralGroup = QStringLiteral("General");

// Linux's PATH_MAX: no folder the program can use has a longer path.
constexpr int MaxFolderBytes = 4096;

// A folder from the file is used only when it can be one the user chose: a relative path would put the output
// under whatever the working folder happens to be, and a huge value (a damaged file) would cost time and memory
// in every field and log line that shows it.
bool isUsableFolder(const QString& folder)
{
    // Each UTF-16 unit takes at least one byte in UTF-8: a longer text need not be converted to know.
    return folder.size() <= MaxFolderBytes && folder.toUtf8().size() <= MaxFolderBytes &&
           platform::isAbsolutePath(folder);
}
} // namespace

AppSettings* AppSettings::gInstance()
{
    if (!instance)
        instance = new AppSettings;
    return instance;
}

void AppSettings::release()
{
    delete instance;
    instance = nullptr;
}

AppSettings::AppSettings() : configDir(perUserPath(AppConfigDir))
{
    const QString filePath = configDir + QStringLiteral("Zolvane.ini");
    // Opening for appending creates an empty file when there is none and leaves a kept one as it is.
    QFile file(filePath);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.close();
    settings = std::make_unique<QSettings>(filePath, QSettings::IniFormat);
}

AppSettings::~AppSettings() = default;

QString AppSettings::lastOpenDir()
{
    return generalFolder(QStringLiteral("lastOpenDir"), QStringLiteral("/"));
}

void AppSettings::setLastOpenDir(QString dir)
{
    setGeneralValue(QStringLiteral("lastOpenDir"), dir);
}

QString AppSettings::outputDir()
{
    return generalFolder(QStringLiteral("output"), QString());
}

void AppSettings::setOutputDir(QString dir)
{
    setGeneralValue(QStringLiteral("output"), dir);
}

QString AppSettings::generalFolder(const QString& key, const QString& fallback)
{
    // The file is left as it is: the next folder the user chooses replaces the value.
    const QString folder = settings->value(GeneralGroup + QLatin1Char('/') + key).toString();
    return isUsableFolder(folder) ? folder : fallback;
}

void AppSettings::setGeneralValue(const QString& key, const QString& value)
{
    settings->beginGroup(GeneralGroup);
    settings->setValue(key, value);
    // Written at once, so a folder chosen just before a crash is not lost.
    settings->sync();
    settings->endGroup();
}
