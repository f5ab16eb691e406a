// Times the link checker on a generated collection: N pages of ten links each (tag links
// to pages near and far, some missing and some to a hidden branch, web addresses on a
// server of this machine of which a part never answers, file links), checked as the
// window checks them.
//
//   link_check_bench [--pages N] [--timeout MS]

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>

#include "app/program_state.h"
#include "db/schema.h"
#include "db/zsvr.h"
#include "editor/link_fields.h"
#include "editor/rich_text.h"
#include "editor/user_formats.h"
#include "web/link_check.h"

using namespace arbor;

namespace {

QTextStream out(stdout);

// Answers every request with 200, except paths starting with /silent, which never get one.
class Server : public QTcpServer {
  public:
    Server() {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                connect(s, &QTcpSocket::readyRead, s, [s] {
                    QByteArray buffer = s->property("b").toByteArray() + s->readAll();
                    int end = 0;
                    while ((end = buffer.indexOf("\r\n\r\n")) >= 0) {
                        const bool silent = buffer.contains(" /silent");
                        buffer.remove(0, end + 4);
                        if (!silent)
                            s->write("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
                    }
                    s->setProperty("b", buffer);
                });
            }
        });
    }
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    int pages = 1000;
    int timeout = 2000;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--pages"))
            pages = args[i + 1].toInt();
        if (args[i] == QLatin1String("--timeout"))
            timeout = args[i + 1].toInt();
    }
    Server server;
    Server silent;
    if (!server.listen(QHostAddress::LocalHost) || !silent.listen(QHostAddress::LocalHost))
        return 1;
    const QString base = QStringLiteral("http://127.0.0.1:") + QString::number(server.serverPort());
    const QString quiet =
        QStringLiteral("http://127.0.0.1:") + QString::number(silent.serverPort());

    QTemporaryDir dir;
    QString error;
    const QString path = dir.filePath(QStringLiteral("links.txdb"));
    const QStringList schema =
        readSchemaStatements(QStringLiteral(ARBOR_SOURCE_APDATA "schema.sql"), error);
    if (schema.isEmpty() || !createDocumentDbFile(path, schema, defaultFormatsText(), error)) {
        out << error << Qt::endl;
        return 1;
    }
    zSvr& db = zSvr::instance();
    bool ok = false;
    db.D_StDcDb(path, ok);
    if (!ok)
        return 1;
    QElapsedTimer clock;
    clock.start();
    db.D_Tran(0);
    for (int p = 0; p < pages; ++p) {
        const int no = 1001 + p;
        RichText text;
        text.insertText(QStringLiteral("ページ本文 "));
        const QStringList data{
            tagData(1001 + (p + 1) % pages),
            tagData(1001 + (p * 7919) % pages),
            tagData(900000 + p % 50),  // missing
            tagData(1001 + pages),     // the hidden page
            QStringLiteral("TG_") + QString::number(1001 + (p + 2) % pages),
            base + QStringLiteral("/ok/") + QString::number(p % 2000),
            base + QStringLiteral("/ok/共通 ページ#") + QString::number(p),
            quiet + QStringLiteral("/silent/") + QString::number(p),
            QStringLiteral("/tmp"),
            QStringLiteral("/nowhere/") + QString::number(p) + QStringLiteral(".pdf")};
        for (const QString& d : data) {
            text.insertField(QStringLiteral("リンク"), d);
            text.insertText(QStringLiteral(" "));
        }
        db.execBound(
            QStringLiteral("Insert Into msDoc (noDoc, szDoc, obDoc, boCod) Values (?, ?, "
                           "?, 0)"),
            {no, QString(QStringLiteral("ページ") + QString::number(no)), text.saveBytes()});
        db.execBound(QStringLiteral("Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, "
                                    "boHide, boHogo) Values (?, ?, ?, 'x', 0, 0, 0)"),
                     {p < 10 ? 0 : 1001 + (p - 10) / 10, no, p});
    }
    db.execBound(QStringLiteral("Insert Into msDoc (noDoc, szDoc, boCod) Values (?, 'h', 0)"),
                 {1001 + pages});
    db.execBound(QStringLiteral("Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, "
                                "boHogo) Values (0, ?, 99, 'h', 0, 1, 0)"),
                 {1001 + pages});
    db.D_Tran(1);
    out << "generated " << pages << " pages in " << clock.elapsed() << " ms" << Qt::endl;

    web::LinkCheckOptions options;
    options.web.timeoutMs = timeout;
    clock.restart();
    web::LinkCheckReport offline;
    {
        web::LinkCheckOptions o = options;
        o.checkWeb = false;
        offline = web::CheckLinks(o);
    }
    const qint64 offlineMs = clock.elapsed();
    clock.restart();
    const web::LinkCheckReport report = web::CheckLinks(options);
    const qint64 onlineMs = clock.elapsed();
    db.D_Close();
    out << report.rows.size() << " links of " << report.pages << " pages, " << report.brokenCount()
        << " broken" << Qt::endl;
    out << "offline: " << offlineMs << " ms; with web requests (timeout " << timeout
        << " ms): " << onlineMs << " ms" << Qt::endl;
    return report.ok ? 0 : 1;
}
