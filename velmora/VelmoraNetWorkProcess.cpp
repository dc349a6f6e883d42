#include "VelmoraNetWorkProcess.h"

#include <QDebug>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslSocket>
#include <QTimer>
#include <QUrl>

#include <iostream>
#include <memory>

// VELMORA_SERVICE_ROOT comes from the build (CMake cache variable of the same name).
const QString UpdateInformationUrl = QStringLiteral(VELMORA_SERVICE_ROOT "/API/update_information/");
const QString InstallSuccessUrl = QStringLiteral(VELMORA_SERVICE_ROOT "/API/install_success/");

namespace {
// Each request blocks the GUI thread, and the program makes them at start-up before its window shows:
// without network the user waits this long per request.
constexpr int RequestTimeoutMs = 3000;
// Real answers are a few hundred bytes. Anything past this is no answer of the service, and reading it
// all would cost memory (a copy per conversion) and time until the program gives up.
constexpr qint64 MaxAnswerBytes = 16 * 1024 * 1024;
// How much the reply may hold unread, so that Qt does not take in a huge answer faster than we look at it.
constexpr qint64 ReplyBufferBytes = 1024 * 1024;
} // namespace

QString serviceRequestAddress(const QString& endpoint, const QString& productId, const QString& version,
                              const QString& deviceId)
{
    // One multi-argument arg() call: a "%2" inside one value must not be filled in by the next value.
    return QStringLiteral("%1?product_id=%2&version=%3&device_id=%4").arg(endpoint, productId, version, deviceId);
}

VelmoraNetWorkProcess::VelmoraNetWorkProcess(QString configDir, QObject* parent)
    : QObject(parent), configDir(std::move(configDir))
{
    // The program's log and the console both show which TLS library the requests will go through.
    qDebug() << "QNetWorkProcess::QNetWorkProcess()";
    qDebug() << "QSslSocket=" << QSslSocket::sslLibraryBuildVersionString();
    qDebug() << "OpenSSL support:" << QSslSocket::supportsSsl();
    std::cout << "QNetWorkProcess::QNetWorkProcess()" << std::endl;
    std::cout << "QSslSocket=" << QSslSocket::sslLibraryBuildVersionString().toStdString() << std::endl;
    std::cout << "OpenSSL support:" << QSslSocket::supportsSsl() << std::endl;
}

VelmoraNetWorkProcess* VelmoraNetWorkProcess::gInstance(QString configDir, QObject* parent)
{
    static VelmoraNetWorkProcess* instance = new VelmoraNetWorkProcess(std::move(configDir), parent);
    return instance;
}

void VelmoraNetWorkProcess::syncGet(const QString& url, QString& body, int& httpStatus)
{
    // Declared before the reply so that it is released after it: the manager owns its replies.
    const auto manager = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(QUrl::fromUserInput(url));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    // Deleting a reply that still runs aborts its request, so nothing outlives this call.
    const std::unique_ptr<QNetworkReply> reply(manager->get(request));
    reply->setReadBufferSize(ReplyBufferBytes);

    // The caller is the GUI thread: keep painting, timers and queued signals going while we wait, but do
    // not let a click or a key press start anything before the answer is in.
    QEventLoop loop;
    // A coarse timer may fire up to 5% early, cutting off an answer that was still within the limit.
    QTimer::singleShot(RequestTimeoutMs, Qt::PreciseTimer, &loop, [&loop] {
        if (loop.isRunning())
            loop.quit();
    });
    connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);

    // An answer too large to be one is given up on as soon as that is known: from its declared length,
    // else once one byte more than the limit has come in. Aborting finishes the reply, which ends the wait.
    QByteArray received;
    bool tooLarge = false;
    const auto giveUp = [&reply, &tooLarge] {
        tooLarge = true;
        reply->abort();
    };
    const auto take = [&reply, &received, &giveUp] {
        received += reply->read(MaxAnswerBytes + 1 - received.size());
        if (received.size() > MaxAnswerBytes)
            giveUp();
    };
    connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&reply, &giveUp] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > MaxAnswerBytes)
            giveUp();
    });
    connect(reply.get(), &QNetworkReply::readyRead, &loop, take);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!tooLarge && reply->isOpen())
        take(); // what came in with the end of the answer, or before the time ran out

    if (tooLarge) {
        httpStatus = 0;
        body = QStringLiteral("The answer is larger than %1 bytes").arg(MaxAnswerBytes);
        return;
    }
    httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError)
        body = QString::fromLocal8Bit(received);
    else
        body = reply->errorString();
}

void VelmoraNetWorkProcess::sendInstallSuccess(QString productId, QString version, QString deviceId)
{
    const QString address = serviceRequestAddress(InstallSuccessUrl, productId, version, deviceId);
    std::cout << "installSuccess=" << address.toStdString() << std::endl;
    QString body;
    int status = 0;
    syncGet(address, body, status);
    std::cout << "installSuccess response" << body.toStdString() << "code : " << status << std::endl;
}
