#pragma once

// A real HTTP server of the tests on 127.0.0.1: it serves the files of a folder laid out as
// the update server and the web site, and answers chosen paths with a fault for a number of
// requests: 404, a connection dropped after half the body, or a slow trickle.

#include "localhttpserver.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

class SiteServer : public LocalHttpServer {
public:
    enum class Fault { NotFound, Drop, Slow };
    struct Injected {
        Fault fault;
        int times; // the first `times` requests of the path; -1: every one
    };

    explicit SiteServer(const QString& root) : m_root(root) {}

    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(serverPort()); }
    void inject(const QByteArray& path, Fault fault, int times = -1) {
        m_faults[path] = {fault, times};
    }
    int count(const QByteArray& path) const { return int(requests.count(path)); }

private:
    static QByteArray head(const QByteArray& status, qsizetype length) {
        return "HTTP/1.1 " + status +
               "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(length) +
               "\r\n\r\n";
    }

    void answer(QTcpSocket* socket, const QByteArray& path) override {
        QFile file(QDir(m_root).filePath(QString::fromUtf8(path.mid(1))));
        QByteArray body;
        const bool found = !path.contains("..") && file.open(QIODevice::ReadOnly);
        if (found)
            body = file.readAll();
        auto fault = m_faults.find(path);
        if (fault != m_faults.end() && fault->times != 0) {
            if (fault->times > 0)
                --fault->times;
            switch (fault->fault) {
            case Fault::NotFound:
                socket->write(head("404 Not Found", 9) + "not here\n");
                socket->disconnectFromHost();
                return;
            case Fault::Drop:
                socket->write(head("200 OK", body.size()) + body.left(body.size() / 2));
                socket->flush();
                socket->abort(); // the connection breaks mid-transfer
                return;
            case Fault::Slow:
                socket->write(head("200 OK", 1 << 20));
                trickle(socket);
                return;
            }
        }
        if (!found) {
            socket->write(head("404 Not Found", 9) + "not here\n");
        } else {
            socket->write(head("200 OK", body.size()) + body);
        }
        socket->disconnectFromHost();
    }

    // 64 bytes every 20 ms: a megabyte would take minutes
    void trickle(QTcpSocket* socket) {
        if (socket->state() != QAbstractSocket::ConnectedState)
            return;
        socket->write(QByteArray(64, 's'));
        QTimer::singleShot(20, socket, [this, socket] { trickle(socket); });
    }

    QString m_root;
    QHash<QByteArray, Injected> m_faults;
};
