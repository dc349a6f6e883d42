#pragma once

#include <QObject>
#include <QString>
#include <QTranslator>

// Switches the interface language while the program runs. Language ids: 1 English, 2 French,
// 3 Portuguese, 4 Italian, 5 German, 6 Spanish, 7 Japanese; any other id means English.
// Made on first use, which must come after the application object; GUI thread only.
class MultiLanguage : public QObject
{
    Q_OBJECT

public:
    static MultiLanguage* gInstance();

    // Loads the application's and Qt's catalogues of the language and tells every form to set its
    // texts again. A catalogue that is missing leaves those texts in English.
    void loadLanguage(int id);
    // Loads the language stored in the settings.
    void initLanguage();
    // The address of one of our web pages in the stored language: "fr/", "jp/", ... after the site
    // root. Addresses outside our site, and English, come back unchanged.
    QString localizedUrl(QString url);

signals:
    void languageChanged();

private:
    MultiLanguage();
    Q_DISABLE_COPY(MultiLanguage)

    QTranslator appTranslator;
    QTranslator qtTranslator;
};
