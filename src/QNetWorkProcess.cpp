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

// The skipped version hides only itself and older ones. Compared as numbers: 3.10.0 comes after 3.9.0,
// and 3.2 is the same version as 3.2.0.
bool isSkipped(const QString& ignoredVersion, const QString& latestVersion)
{
    if (ignoredVersion.isEmpty())
        return false;
    const QVersionNumber ignored = QVersionNumber::fromString(ignoredVersion).normalized();
    const QVersionNumber latest = QVersionNumber::fromString(latestVersion).normalized();
    return QVersionNumber::compare(ignored, latest) >= 0;
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
    const bool ok = updateService->checkVersionUpdate(code, latestVersion, downloadUrl);
    qDebug() << "checkUpdate resultCode:" << code;

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
    const auto answer = QMessageBox::question(nullptr, tr("Software Update"), text,
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Ignore);
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
    QMessageBox::information(MainWindow::gInstance(), title, text, QMessageBox::Ok);
}

// The class's virtual table goes with its meta-object code. Kept in this object rather than in the
// library's shared moc object, so that only programs that use the class need the update library.
#include "moc_QNetWorkProcess.cpp"
