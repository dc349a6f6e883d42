#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUrlQuery>

class QTcpSocket;

// A stand-in for the update web service on a loopback address: answers each path as told and remembers every
// request it saw. It lives on the thread that made it, which must run its event loop (QTRY_*, QSignalSpy
// waits, or the library's own waiting loop) for requests to be answered.
class FakeUpdateService : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(FakeUpdateService)

public:
    struct Answer
    {
        int status = 200;
        QByteArray body;
        // Time to hold the answer back, to keep the caller waiting.
        int delayMs = 0;
        // Accept the connection, read the request and never answer.
        bool silent = false;
        // The "Content-Length" to send: the body's own, none (the answer ends when the connection closes),
        // or any other number.
        static constexpr qint64 BodyLength = -1;
        static constexpr qint64 NoLength = -2;
        qint64 contentLength = BodyLength;
        // Leave the connection open after the body, as if more were to come.
        bool keepOpen = false;
    };

    struct Request
    {
        QByteArray method;
        QString path;
        QUrlQuery query;
        QByteArray contentType;
    };

    explicit FakeUpdateService(QObject* parent = nullptr);

    bool listen(const QHostAddress& address, quint16 port);
    // Stops listening and drops the open connections; the port then refuses connections.
    void close();
    bool isListening() const { return server.isListening(); }
    QString errorString() const { return server.errorString(); }

    // Paths without an answer get 404.
    void setAnswer(const QString& path, const Answer& answer) { answers.insert(path, answer); }
    void clearAnswers() { answers.clear(); }

    const QList<Request>& requests() const { return seen; }
    void clearRequests() { seen.clear(); }

private:
    void acceptConnections();
    void readRequest(QTcpSocket* socket);
    static void writeAnswer(QTcpSocket* socket, const Answer& answer);

    QTcpServer server;
    QHash<QString, Answer> answers;
    QList<Request> seen;
};
