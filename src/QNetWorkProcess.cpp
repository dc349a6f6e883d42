#include "QNetWorkProcess.h"

#include "AppConstants.h"
#include "LogPosition.h"
#include "MainWindow.h"
#include "StatusMessage.h"
#include "Velmora.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QSettings>
#include <QSslSocket>
#include <QUrl>
#include <QVersionNumber>

namespace {

const QString IgnoreVersionKey = QStringLiteral("Ignore_version");

// Codes of the update service's answer.
constexpr int NewerVersion = 400;
constexpr int UpToDate = 201;
constexpr int TooFrequent = 403;

// Status-message rows.
constexpr int NetworkErrorMessage = 1;
constexpr int NewestVersionMessage = 7;
constexpr int TooFrequentMessage = 8;

QString statusText(int code)
{
    return QCoreApplication::translate("GLanguage", statusMessageText(code));
}

// A version as a number only when the whole text is one: fromString stops at the first character that does not
// belong to a number ("v3.2.0", "3.2.0b") and would make different versions look alike.
bool parseWholeVersion(const QString& text, QVersionNumber& number)
{
    int suffixIndex = -1;
    number = QVersionNumber::fromString(text, &suffixIndex).normalized();
    return !number.isNull() && suffixIndex == text.size();
}

// The skipped version hides only itself and older ones. Two version numbers are compared as numbers: 3.10.0 comes
// after 3.9.0, and 3.2 is the same version as 3.2.0. Anything else is compared as text, code unit by code unit.
bool isSkipped(const QString& ignoredVersion, const QString& latestVersion)
{
    if (ignoredVersion.isEmpty())
        return false;
    QVersionNumber ignored;
    QVersionNumber latest;
    if (parseWholeVersion(ignoredVersion, ignored) && parseWholeVersion(latestVersion, latest))
        return QVersionNumber::compare(ignored, latest) >= 0;
    return !(ignoredVersion < latestVersion);
}

// Real versions are a few characters long and real download addresses fit a browser's address bar. An answer with
// more is no answer of the service's, and laying out a megabyte of text in the question box would hold up the start
// for minutes.
constexpr int MaxVersionLength = 64;
constexpr int MaxAddressLength = 2048;

bool isUsableOffer(const QString& latestVersion, const QString& downloadUrl)
{
    return latestVersion.size() <= MaxVersionLength && downloadUrl.size() <= MaxAddressLength;
}

// The address comes from the web service and goes to the desktop's handler: only a well-formed web
// address may pass, never a local file, a script or another program's scheme.
bool isWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("https") || scheme == QLatin1String("http")) &&
           !url.host().isEmpty();
}

} // namespace

QNetWorkProcess* QNetWorkProcess::gInstance(QObject* parent)
{
    static QNetWorkProcess* const instance = new QNetWorkProcess(parent);
    return instance;
}

QNetWorkProcess::QNetWorkProcess(QObject* parent) : QObject(parent)
{
    qDebug() << "QNetWorkProcess::QNetWorkProcess()";
    qDebug() << "QSslSocket=" << QSslSocket::sslLibraryBuildVersionString();
    qDebug() << "OpenSSL support:" << QSslSocket::supportsSsl();
    QCoreApplication::setOrganizationName(OrganizationName);
    QCoreApplication::setApplicationName(ProductDisplayName);
    settings = new QSettings(QSettings::NativeFormat, QSettings::UserScope, QCoreApplication::organizationName(),
                             QCoreApplication::applicationName());
    updateService = Velmora::gInstance();
    // On the first run of this version the library tells the web service, which may take up to about 3 s.
    updateService->VelmoraInitApp(ProductId, AppVersion, perUserPath(AppConfigDir));
}

QNetWorkProcess::~QNetWorkProcess()
{
    delete settings;
}

void QNetWorkProcess::setManualCheck()
{
    manualCheck = true;
}

void QNetWorkProcess::checkUpdate()
{
    QString latestVersion;
    QString downloadUrl;
    int code = 0;
    bool ok = updateService->checkVersionUpdate(code, latestVersion, downloadUrl);
    qDebug() << "checkUpdate resultCode:" << code;
    if (ok && code == NewerVersion && !isUsableOffer(latestVersion, downloadUrl)) {
        LOG_WARNING("QNetWorkProcess::checkUpdate")
            << "Unusable answer: a version of" << latestVersion.size() << "characters, an address of"
            << downloadUrl.size() << "characters";
        ok = false; // a failed check, told as one
    }

    if (ok) {
        if (code == UpToDate) {
            // At start-up an up-to-date program says nothing.
            if (manualCheck)
                showInformation(
                    tr("Software Update"),
                    QStringLiteral("%1 %2 %3").arg(ProductDisplayName, AppVersion, statusText(NewestVersionMessage)));
        } else if (code == NewerVersion) {
            offerNewVersion(latestVersion, downloadUrl);
        }
    } else if (code == TooFrequent && manualCheck) {
        showInformation(tr("Software Update"), statusText(TooFrequentMessage));
    } else {
        showInformation(tr("Attention"), statusText(NetworkErrorMessage));
    }
}

void QNetWorkProcess::offerNewVersion(const QString& latestVersion, const QString& downloadUrl)
{
    if (isSkipped(settings->value(IgnoreVersionKey).toString(), latestVersion))
        return;
    // One arg() for all three: a "%3" inside the version from the service stays as it is.
    const QString text =
        tr("A new version of %1 is available! \r\n%1 %2 is now available---you have %3. Would you like to download "
           "it now?")
            .arg(ProductDisplayName, latestVersion, AppVersion);
    QMessageBox box(QMessageBox::Question, tr("Software Update"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ignore);
    // The version comes from the web service: shown as it is, never as markup.
    box.setTextFormat(Qt::PlainText);
    // Return, like Escape, must not hide this version for good.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    const QMessageBox::StandardButton answer = box.standardButton(box.clickedButton());
    if (answer == QMessageBox::Yes) {
        const QUrl url(downloadUrl, QUrl::StrictMode);
        if (isWebAddress(url))
            QDesktopServices::openUrl(url);
        else
            LOG_WARNING("QNetWorkProcess::offerNewVersion") << "Refused to open the download address" << downloadUrl;
    } else if (answer == QMessageBox::Ignore) {
        settings->setValue(IgnoreVersionKey, latestVersion);
        settings->sync();
    }
}

void QNetWorkProcess::showInformation(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, MainWindow::gInstance());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// The class's virtual table goes with its meta-object code. Kept in this object rather than in the
// library's shared moc object, so that only programs that use the class need the update library.
#include "moc_QNetWorkProcess.cpp"
