#include "support/pg_test_server.h"

#include <libpq-fe.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>

namespace arbor::test {

namespace {

QString env(const char* name) {
    return qEnvironmentVariable(name);
}

bool runAdmin(const QString& conninfo, const QString& sql, QString* reason) {
    PGconn* c = PQconnectdb(conninfo.toUtf8().constData());
    bool ok = PQstatus(c) == CONNECTION_OK;
    if (ok) {
        PGresult* r = PQexec(c, sql.toUtf8().constData());
        ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        if (!ok && reason)
            *reason = QString::fromUtf8(PQresultErrorMessage(r));
        PQclear(r);
    } else if (reason) {
        *reason = QString::fromUtf8(PQerrorMessage(c));
    }
    PQfinish(c);
    return ok;
}

std::atomic<int> counter{0};

}  // namespace

bool PgTestDatabase::configured() {
    return !env("ARBOR_TEST_PG_ADMIN").isEmpty();
}

std::unique_ptr<PgTestDatabase> PgTestDatabase::create(QString& reason) {
    if (!configured()) {
        reason =
            QStringLiteral("ARBOR_TEST_PG_ADMIN is not set (run the tests with scripts/test.sh)");
        return nullptr;
    }
    std::unique_ptr<PgTestDatabase> db(new PgTestDatabase);
    db->name_ = QStringLiteral("arbor_t%1_%2")
                    .arg(QCoreApplication::applicationPid())
                    .arg(counter.fetch_add(1));
    const QString owner = env("ARBOR_TEST_PG_USER");
    if (!runAdmin(env("ARBOR_TEST_PG_ADMIN"),
                  QStringLiteral("CREATE DATABASE %1 OWNER %2 TEMPLATE template0 ENCODING 'UTF8'")
                      .arg(db->name_, owner),
                  &reason))
        return nullptr;
    db->dir_ = QDir::tempPath() + QStringLiteral("/") + db->name_;
    QDir().mkpath(db->dir_);
    db->udlPath_ = db->writeUdl(env("ARBOR_TEST_PG_PASSWORD"), db->name_ + QStringLiteral(".udl"));
    return db;
}

PgTestDatabase::~PgTestDatabase() {
    runAdmin(env("ARBOR_TEST_PG_ADMIN"),
             QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_), nullptr);
    if (!dir_.isEmpty())
        QDir(dir_).removeRecursively();
}

QString PgTestDatabase::writeUdl(const QString& password, const QString& fileName) const {
    const QString path = dir_ + QStringLiteral("/") + fileName;
    QString port = env("ARBOR_TEST_PG_PORT");
    QString source =
        env("ARBOR_TEST_PG_HOST") + (port.isEmpty() ? QString() : QStringLiteral(":") + port);
    QString text =
        QStringLiteral(
            "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
            "Provider=PostgreSQL;Data Source=%1;Initial Catalog=%2;User ID=%3;Password=%4\r\n")
            .arg(source, name_, env("ARBOR_TEST_PG_USER"), password);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(text.toUtf8());
    return path;
}

bool PgTestDatabase::adminExec(const QString& sql, QString* reason) const {
    QString conninfo = env("ARBOR_TEST_PG_ADMIN") + QStringLiteral(" dbname=") + name_;
    return runAdmin(conninfo, sql, reason);
}

}  // namespace arbor::test
