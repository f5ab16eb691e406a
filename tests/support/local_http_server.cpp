#include "support/local_http_server.h"

#include <QTcpSocket>
#include <QUrl>

namespace arbor::test {

LocalHttpServer::LocalHttpServer(QObject* parent) : QTcpServer(parent) {
    connect(this, &QTcpServer::newConnection, this, &LocalHttpServer::serve);
}

bool LocalHttpServer::start() {
    return listen(QHostAddress::LocalHost, 0);
}

QString LocalHttpServer::base() const {
    return QStringLiteral("http://127.0.0.1:") + QString::number(serverPort());
}

void LocalHttpServer::serve() {
    while (QTcpSocket* socket = nextPendingConnection()) {
        ++connections;
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
            // One request at a time: the head ends with an empty line.
            while (true) {
                const int end = buffer.indexOf("\r\n\r\n");
                if (end < 0)
                    break;
                const QByteArray head = buffer.left(end);
                buffer.remove(0, end + 4);
                const QByteArray line =
                    head.left(head.indexOf("\r\n") < 0 ? head.size() : head.indexOf("\r\n"));
                requests << QString::fromUtf8(line);
                const QList<QByteArray> parts = line.split(' ');
                const QByteArray method = parts.value(0);
                QString path = QString::fromUtf8(parts.value(1));
                if (method == "CONNECT") {
                    socket->write("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n");
                    socket->disconnectFromHost();
                    return;
                }
                if (!path.startsWith(u'/'))
                    path = QUrl(path).path();  // absolute form, as a proxy receives it
                QByteArray answer;
                if (path.startsWith(QStringLiteral("/ok")))
                    answer = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";
                else if (path.startsWith(QStringLiteral("/moved")))
                    answer = "HTTP/1.1 301 Moved Permanently\r\nLocation: " + base().toUtf8() +
                             "/ok\r\nContent-Length: 0\r\n\r\n";
                else if (path.startsWith(QStringLiteral("/gone")))
                    answer = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
                else if (path.startsWith(QStringLiteral("/nohead")))
                    answer = "HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\n\r\n";
                else if (path.startsWith(QStringLiteral("/garbage"))) {
                    socket->write("\x01\x02 this is no answer \xff\r\n\r\n");
                    socket->disconnectFromHost();
                    return;
                } else if (path.startsWith(QStringLiteral("/silent"))) {
                    continue;
                } else {
                    answer = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
                }
                socket->write(answer);
            }
            socket->setProperty("buffer", buffer);
        });
    }
}

}  // namespace arbor::test
