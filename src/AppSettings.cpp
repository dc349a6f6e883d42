#include "AppSettings.h"

#include "AppConstants.h"

#include <QFile>
#include <QSettings>

namespace {
AppSettings* instance = nullptr;
const QString GeneralGroup = QStringLiteral("General");
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
    return generalValue(QStringLiteral("lastOpenDir"), QStringLiteral("/"));
}

void AppSettings::setLastOpenDir(QString dir)
{
    setGeneralValue(QStringLiteral("lastOpenDir"), dir);
}

QString AppSettings::outputDir()
{
    return generalValue(QStringLiteral("output"), QString());
}

void AppSettings::setOutputDir(QString dir)
{
    setGeneralValue(QStringLiteral("output"), dir);
}

QString AppSettings::generalValue(const QString& key, const QString& fallback)
{
    return settings->value(GeneralGroup + QLatin1Char('/') + key, fallback).toString();
}

void AppSettings::setGeneralValue(const QString& key, const QString& value)
{
    settings->beginGroup(GeneralGroup);
    settings->setValue(key, value);
    // Written at once, so a folder chosen just before a crash is not lost.
    settings->sync();
    settings->endGroup();
}
