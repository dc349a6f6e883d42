#include "FakeUpdateService.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {
// The request head as far as it has come in, kept on the socket until the blank line arrives.
constexpr char PendingHeadProperty[] = "pendingHead";

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}
} // namespace

FakeUpdateService::FakeUpdateService(QObject* parent) : QObject(parent)
{
    connect(&server, &QTcpServer::newConnection, this, &FakeUpdateService::acceptConnections);
}

bool FakeUpdateService::listen(const QHostAddress& address, quint16 port)
{
    return server.listen(address, port);
}

void FakeUpdateService::close()
{
    server.close();
    // Silent answers leave their connections open; the sockets are children of the server.
    const auto sockets = server.findChildren<QTcpSocket*>();
    for (QTcpSocket* socket : sockets)
        socket->abort();
}

void FakeUpdateService::acceptConnections()
{
    while (QTcpSocket* socket = server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void FakeUpdateService::readRequest(QTcpSocket* socket)
{
    QByteArray head = socket->property(PendingHeadProperty).toByteArray() + socket->readAll();
    const int end = head.indexOf("\r\n\r\n");
    if (end < 0) {
        socket->setProperty(PendingHeadProperty, head);
        return;
    }
    socket->setProperty(PendingHeadProperty, QVariant());

    // GET requests carry no body, so the head is the whole request.
    const QList<QByteArray> lines = head.left(end).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    Request request;
    request.method = requestLine.value(0);
    const QUrl target(QString::fromUtf8(requestLine.value(1)));
    request.path = target.path();
    request.query = QUrlQuery(target);
    for (const QByteArray& line : lines.mid(1)) {
        const int colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-type")
            request.contentType = line.mid(colon + 1).trimmed();
    }
    seen.append(request);

    Answer answer;
    answer.status = 404;
    answer = answers.value(request.path, answer);
    if (answer.silent)
        return;
    QTimer::singleShot(answer.delayMs, socket, [socket, answer] { writeAnswer(socket, answer); });
}

void FakeUpdateService::writeAnswer(QTcpSocket* socket, const Answer& answer)
{
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reasonPhrase(answer.status) + "\r\n";
    reply += "Content-Type: application/json\r\n";
    if (answer.contentLength != Answer::NoLength) {
        const qint64 length = answer.contentLength == Answer::BodyLength ? answer.body.size() : answer.contentLength;
        reply += "Content-Length: " + QByteArray::number(length) + "\r\n";
    }
    reply += "Connection: close\r\n\r\n";
    reply += answer.body;
    socket->write(reply);
    if (!answer.keepOpen)
        socket->disconnectFromHost();
}
