#include "RegistryTool.h"

#include "AppConstants.h"

#include <QCoreApplication>
#include <QSettings>

namespace {
const QString LanguageKey = QStringLiteral("language");
} // namespace

RegistryTool* RegistryTool::gInstance()
{
    static RegistryTool* const instance = new RegistryTool;
    return instance;
}

RegistryTool::RegistryTool()
{
    // The first use of the tool names the application; QSettings and the store's path follow the names.
    QCoreApplication::setOrganizationName(OrganizationName);
    QCoreApplication::setApplicationName(ProductDisplayName);
    settings = new QSettings(QSettings::NativeFormat, QSettings::UserScope, QCoreApplication::organizationName(),
                             QCoreApplication::applicationName(), this);
    // Only the user's own choice counts, never a value left in a system-wide or organisation-wide store.
    settings->setFallbacksEnabled(false);
}

RegistryTool::~RegistryTool() = default;

int RegistryTool::language()
{
    return settings->value(LanguageKey, 1).toInt();
}

void RegistryTool::setLanguage(int id)
{
    settings->setValue(LanguageKey, id);
    settings->sync();
}
