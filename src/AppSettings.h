#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class QSettings;

// The folders the main window remembers between runs, kept in "Zolvane.ini" in the per-user
// configuration directory. Every setter writes the file at once. GUI thread only.
class AppSettings
{
public:
    static AppSettings* gInstance();
    // Deletes the process-wide instance; the next gInstance() makes a new one.
    static void release();

    // A stored folder that is not an absolute path, or longer than any usable path, reads as none chosen.
    QString lastOpenDir(); // "/" until a folder was chosen
    void setLastOpenDir(QString dir);
    QString outputDir(); // empty until a folder was chosen
    void setOutputDir(QString dir);

private:
    AppSettings();
    ~AppSettings();
    Q_DISABLE_COPY(AppSettings)

    QString generalFolder(const QString& key, const QString& fallback);
    void setGeneralValue(const QString& key, const QString& value);

    std::unique_ptr<QSettings> settings;
    QString configDir;
};
