#include "Velmora.h"

#include "QWriteFile.h"
#include "VelmoraNetWorkProcess.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QMessageAuthenticationCode>
#include <QSysInfo>
#include <QTime>

#include <iostream>

namespace {
// Answer codes of the update-information endpoint (JSON "code", not the HTTP status).
constexpr int NewerVersionCode = 400;
constexpr int UpToDateCode = 201;
constexpr int MessageOnlyCode = 200;
constexpr int HttpOk = 200;

// Tells installations apart without handing the service anything it could match with other software:
// a keyed hash of the machine's id with a text of our own, as systemd recommends for per-application
// ids. The same machine gives the same id on every run.
QString makeDeviceId()
{
    QByteArray machine = QSysInfo::machineUniqueId();
    if (machine.isEmpty()) // no /etc/machine-id (some containers): the host name is the next best thing
        machine = QSysInfo::machineHostName().toUtf8();
    const QByteArray digest =
        QMessageAuthenticationCode::hash(QByteArrayLiteral("Velmora device id"), machine, QCryptographicHash::Sha256);
    // 128 bits are plenty to tell installations apart.
    return QString::fromLatin1(digest.left(16).toHex());
}
} // namespace

Velmora::Velmora()
{
    // Whoever in the process still draws from qrand() gets a different sequence on each start.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qsrand(uint(QTime(0, 0).secsTo(QTime::currentTime())));
    QT_WARNING_POP
}

Velmora::Velmora(const Velmora& other) = default;
Velmora::Velmora(Velmora&& other) noexcept = default;
Velmora::~Velmora() = default;
Velmora& Velmora::operator=(const Velmora& other) = default;
Velmora& Velmora::operator=(Velmora&& other) noexcept = default;

Velmora* Velmora::gInstance()
{
    static Velmora* instance = new Velmora();
    return instance;
}

int Velmora::VelmoraInitApp(QString productId, QString version, QString configDir)
{
    traceTag = QStringLiteral("VelmoraInitApp") + productId;
    this->productId = std::move(productId);
    this->version = std::move(version);
    this->configDir = std::move(configDir);
    deviceId = makeDeviceId();

    int firstRun = 0;
    if (QWriteFile::gInstance()->checkInitCode(this->configDir, this->version)) {
        std::cout << "Is First Run:" << this->configDir.toStdString() << "- " << this->version.toStdString()
                  << std::endl;
        checkFirstRun();
        firstRun = 1;
    }
    initialised = true;
    return firstRun;
}

void Velmora::checkFirstRun()
{
    qDebug() << "checkFirskRun";
    VelmoraNetWorkProcess::gInstance(configDir)->sendInstallSuccess(productId, version, deviceId);
}

bool Velmora::checkVersionUpdate(int& code, QString& latestVersion, QString& downloadUrl)
{
    QString body;
    int status = 0;
    VelmoraNetWorkProcess::gInstance(configDir)->syncGet(
        serviceRequestAddress(UpdateInformationUrl, productId, version, deviceId), body, status);

    code = 0;
    if (status != HttpOk) {
        code = status;
        return false;
    }
    qDebug().noquote() << body;

    QByteArray bytes = body.toLocal8Bit();
    // The answer is read as a C string: whatever follows a zero byte is not part of it.
    const int end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    const QJsonObject answer = document.object();
    // Not a whole number (a string, 400.5, missing) reads as 0, which no outcome below accepts.
    code = answer.value(QLatin1String("code")).toInt();
    if (document.isNull())
        return false;

    switch (code) {
    case NewerVersionCode:
        latestVersion = answer.value(QLatin1String("version")).toString();
        downloadUrl = answer.value(QLatin1String("download_url")).toString();
        return true;
    case UpToDateCode:
        return true;
    case MessageOnlyCode:
        qDebug().noquote() << answer.value(QLatin1String("msg")).toString();
        return false;
    default:
        return false;
    }
}
