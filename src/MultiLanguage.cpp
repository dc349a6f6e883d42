#include "MultiLanguage.h"

#include "AppConstants.h"
#include "RegistryTool.h"

#include <QCoreApplication>

namespace {

struct Language
{
    const char* fileCode;
    const char* webSegment; // inserted after the site root; none for English
};

// Indexed by language id (0 unused); every id outside 2..7 means English.
constexpr Language Languages[] = {
    {"en", ""},    {"en", ""},    {"fr", "fr/"}, {"pt", "pt/"},
    {"it", "it/"}, {"de", "de/"}, {"es", "es/"}, {"ja", "jp/"}, // the web site says "jp", the catalogues "ja"
};

const Language& languageFor(int id)
{
    return (id >= 2 && id <= 7) ? Languages[id] : Languages[1];
}

const QString CataloguePath = QStringLiteral(":/translations/language/");

// The catalogues keep the title of the language list for translators; no code looks it up.
[[maybe_unused]] const char* const LanguageListTitle = QT_TRANSLATE_NOOP("MultiLanguage", "Language");

} // namespace

MultiLanguage* MultiLanguage::gInstance()
{
    static MultiLanguage* const instance = new MultiLanguage;
    return instance;
}

MultiLanguage::MultiLanguage()
{
    // The catalogues live in a static library; naming the resource here makes the linker keep it.
    Q_INIT_RESOURCE(zolvane_translations);
    // Installed while still empty. The translator installed last is asked first, so Qt's own texts
    // come before the application's.
    QCoreApplication::installTranslator(&appTranslator);
    QCoreApplication::installTranslator(&qtTranslator);
}

void MultiLanguage::loadLanguage(int id)
{
    const QString code = QString::fromLatin1(languageFor(id).fileCode);
    // A failed load leaves the translator empty, which is what a language without a catalogue needs
    // (there is no Spanish catalogue of Qt's texts).
    appTranslator.load(CataloguePath + QStringLiteral("Translation_") + code + QStringLiteral(".qm"));
    qtTranslator.load(CataloguePath + QStringLiteral("qt_") + code + QStringLiteral(".qm"));
    emit languageChanged();
}

void MultiLanguage::initLanguage()
{
    loadLanguage(RegistryTool::gInstance()->language());
}

QString MultiLanguage::localizedUrl(QString url)
{
    const char* segment = languageFor(RegistryTool::gInstance()->language()).webSegment;
    // The segment belongs right after our own site root; another address would be broken by it.
    if (*segment && url.startsWith(SiteRoot))
        url.insert(SiteRoot.size(), QLatin1String(segment));
    return url;
}
