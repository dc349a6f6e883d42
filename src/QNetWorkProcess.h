#pragma once

#include <QObject>
#include <QString>

class QSettings;
class Velmora;

// The update controller: initialises the update service library once per process, runs update checks
// and shows each outcome in a message box. Checks made at start-up are automatic and stay quiet when
// the program is up to date; once the user has asked for a check from the menu, every check counts as
// asked for. Remembers the version the user chose to skip ("Ignore_version"). GUI thread only.
class QNetWorkProcess : public QObject
{
    Q_OBJECT

public:
    // Made at the first call, with the given parent, and never freed.
    static QNetWorkProcess* gInstance(QObject* parent = nullptr);

    explicit QNetWorkProcess(QObject* parent = nullptr);
    ~QNetWorkProcess() override;

    // Marks this and every later check as asked for by the user.
    void setManualCheck();
    // One check with its message box; blocks for up to about 3 s, and returns when the box is closed.
    void checkUpdate();

private:
    Q_DISABLE_COPY(QNetWorkProcess)

    void offerNewVersion(const QString& latestVersion, const QString& downloadUrl);
    void showInformation(const QString& title, const QString& text);

    Velmora* updateService; // the library's own instance
    QSettings* settings;
    bool manualCheck = false;
};
