#pragma once

// The HTTP servers of the download tests, on 127.0.0.1 only: each request's path is recorded
// in `requests` (the whole head in `heads`) once the head has arrived, and the subclass
// answers it.

#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

class LocalHttpServer : public QTcpServer {
public:
    QList<QByteArray> requests;
    QList<QByteArray> heads;

    LocalHttpServer() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QByteArray head = socket->peek(socket->bytesAvailable());
                    if (!head.contains("\r\n\r\n"))
                        return;
                    socket->readAll();
                    requests << head.split(' ').value(1);
                    heads << head;
                    answer(socket, requests.last());
                });
            }
        });
    }

protected:
    virtual void answer(QTcpSocket* socket, const QByteArray& path) = 0;
};
