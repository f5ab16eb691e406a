#pragma once
// A small HTTP server on 127.0.0.1 for tests of web requests; nothing leaves the machine.
// It answers in the thread that owns it, so the code under test must run an event loop.
//
// Paths (the first segment decides, the rest is ignored):
//   /ok...       200
//   /moved...    301 to /ok
//   /gone...     404
//   /nohead...   405
//   /garbage...  bytes that are no HTTP, then the connection closes
//   /silent...   the request is read, nothing is ever answered
// Used as a proxy (absolute-form requests) the path of the address decides the same way;
// a CONNECT (an https address through the proxy) is refused with 403.

#include <QByteArray>
#include <QStringList>
#include <QTcpServer>

namespace arbor::test {

class LocalHttpServer : public QTcpServer {
  public:
    explicit LocalHttpServer(QObject* parent = nullptr);
    // False when no port could be had.
    bool start();
    QString base() const;  // "http://127.0.0.1:port"
    // Every request line received ("HEAD /ok HTTP/1.1"), in order.
    QStringList requests;
    int connections = 0;

  private:
    void serve();
};

}  // namespace arbor::test
