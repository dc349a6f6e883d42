#pragma once

#include <QObject>
#include <QString>

// The two endpoints of the update web service, built from the service root the library was built with.
extern const QString UpdateInformationUrl;
extern const QString InstallSuccessUrl;

// The address of a request to either endpoint. The values go in as they are, without percent-encoding.
QString serviceRequestAddress(const QString& endpoint, const QString& productId, const QString& version,
                              const QString& deviceId);

// The library's HTTP client: a GET that blocks its caller until the answer is complete or 3000 ms have
// passed, and the install notification built on it.
class VelmoraNetWorkProcess : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(VelmoraNetWorkProcess)

public:
    explicit VelmoraNetWorkProcess(QString configDir, QObject* parent = nullptr);

    // Made at the first call with that call's arguments, never freed; later calls ignore them.
    static VelmoraNetWorkProcess* gInstance(QString configDir, QObject* parent = nullptr);

    // httpStatus: the HTTP status, 0 without an HTTP answer (network failure, time-out before the header).
    // body: the answer text on success, else Qt's error text (not the server's error page).
    void syncGet(const QString& url, QString& body, int& httpStatus);
    // Tells the service that this version was installed. The answer is only traced.
    void sendInstallSuccess(QString productId, QString version, QString deviceId);

private:
    QString configDir;
};
