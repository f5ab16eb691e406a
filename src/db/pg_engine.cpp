#include "db/pg_engine.h"

#include <libpq-fe.h>

#include <QDateTime>
#include <vector>

#include "db/sql_dialect.h"

namespace arbor {

namespace {

// Type identifiers of the server's built-in types.
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kDate = 1082,
    kTimestamp = 1114,
    kTimestampTz = 1184,
    kNumeric = 1700,
};

QString resultError(PGresult* r, PGconn* c) {
    const char* m = r ? PQresultErrorMessage(r) : PQerrorMessage(c);
    return QString::fromUtf8(m).trimmed();
}

QVariant fieldValue(PGresult* r, int row, int col) {
    if (PQgetisnull(r, row, col))
        return {};
    const char* v = PQgetvalue(r, row, col);
    const int len = PQgetlength(r, row, col);
    switch (PQftype(r, col)) {
        case kBool:
            return QVariant(v[0] == 't' ? 1 : 0);
        case kInt2:
        case kInt4:
            return QVariant(QByteArray(v, len).toInt());
        case kInt8:
        case kOid:
            return QVariant(QByteArray(v, len).toLongLong());
        case kFloat4:
        case kFloat8:
        case kNumeric:
            return QVariant(QByteArray(v, len).toDouble());
        case kDate:
        case kTimestamp:
        case kTimestampTz: {
            // ISO output: "2024-03-05 14:07:09[.123][+09]"
            QString text = QString::fromLatin1(v, len);
            const int dot = text.indexOf(u'.');
            if (dot > 0)
                text.truncate(dot);
            const int tz = text.indexOf(QLatin1Char('+'), 10);
            if (tz > 0)
                text.truncate(tz);
            const QDateTime dt = parseDateLiteral(text);
            return dt.isValid() ? QVariant(dt) : QVariant(text);
        }
        case kBytea: {
            size_t n = 0;
            unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(v), &n);
            QByteArray b(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(n));
            PQfreemem(bytes);
            return b;
        }
        default:
            return QString::fromUtf8(v, len);
    }
}

class PgCursor : public RowCursor {
  public:
    explicit PgCursor(PGresult* r) : r_(r) {
        for (int i = 0; i < PQnfields(r_); ++i)
            names_ << QString::fromUtf8(PQfname(r_, i));
    }
    ~PgCursor() override { PQclear(r_); }
    QStringList names() const override { return names_; }
    bool next(QVector<QVariant>& row) override {
        if (at_ >= PQntuples(r_))
            return false;
        const int n = names_.size();
        row.resize(n);
        for (int i = 0; i < n; ++i)
            row[i] = fieldValue(r_, at_, i);
        ++at_;
        return true;
    }
    QString error() const override { return {}; }

  private:
    PGresult* r_;
    QStringList names_;
    int at_ = 0;
};

// Parameters in the server's text form; binary data goes as binary.
struct PgParams {
    std::vector<QByteArray> storage;
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    std::vector<Oid> types;

    explicit PgParams(const QVariantList& params) {
        const size_t n = static_cast<size_t>(params.size());
        storage.resize(n);
        values.resize(n);
        lengths.resize(n);
        formats.resize(n);
        types.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const QVariant& v = params[static_cast<qsizetype>(i)];
            types[i] = 0;  // let the server infer from the statement
            formats[i] = 0;
            if (v.isNull()) {
                values[i] = nullptr;
                continue;
            }
            switch (v.typeId()) {
                case QMetaType::QByteArray:
                    storage[i] = v.toByteArray();
                    formats[i] = 1;
                    types[i] = kBytea;
                    break;
                case QMetaType::Bool:
                    storage[i] = v.toBool() ? "1" : "0";
                    break;
                case QMetaType::Double:
                case QMetaType::Float:
                    storage[i] = QByteArray::number(v.toDouble(), 'g', 17);
                    break;
                case QMetaType::QDateTime:
                    storage[i] = storedDateText(v.toDateTime()).toUtf8();
                    break;
                case QMetaType::QDate:
                    storage[i] = storedDateText(v.toDate().startOfDay()).toUtf8();
                    break;
                default:
                    // The server keeps no NUL inside text.
                    storage[i] = v.toString().toUtf8();
                    storage[i].replace('\0', QByteArray());
            }
            values[i] = storage[i].constData();
            lengths[i] = static_cast<int>(storage[i].size());
        }
    }
};

}  // namespace

PgEngine::~PgEngine() {
    if (conn_)
        PQfinish(conn_);
}

std::unique_ptr<PgEngine> PgEngine::open(const DataLink& link, QString& error,
                                         bool& passwordRefused) {
    passwordRefused = false;
    const QByteArray host = link.host.toUtf8();
    const QByteArray port = link.port > 0 ? QByteArray::number(link.port) : QByteArray();
    const QByteArray db = link.database.toUtf8();
    const QByteArray user = link.user.toUtf8();
    const QByteArray password = link.password.toUtf8();
    std::vector<const char*> keys, values;
    auto add = [&](const char* k, const QByteArray& v) {
        if (v.isEmpty())
            return;
        keys.push_back(k);
        values.push_back(v.constData());
    };
    add("host", host);
    add("port", port);
    add("dbname", db);
    add("user", user);
    add("password", password);
    add("connect_timeout", QByteArrayLiteral("10"));
    add("application_name", QByteArrayLiteral("Arbor"));
    add("client_encoding", QByteArrayLiteral("UTF8"));
    keys.push_back(nullptr);
    values.push_back(nullptr);

    std::unique_ptr<PgEngine> engine(new PgEngine);
    engine->conn_ = PQconnectdbParams(keys.data(), values.data(), 0);
    if (!engine->conn_ || PQstatus(engine->conn_) != CONNECTION_OK) {
        const QString message = engine->conn_
                                    ? QString::fromUtf8(PQerrorMessage(engine->conn_)).trimmed()
                                    : QStringLiteral("out of memory");
        passwordRefused = engine->conn_ && (PQconnectionNeedsPassword(engine->conn_) ||
                                            message.contains(QLatin1String("password")) ||
                                            message.contains(QStringLiteral("パスワード")));
        error = QStringLiteral("ｻｰﾊﾞｰに接続できません: ") + message;
        return nullptr;
    }
    QString setupError;
    if (!engine->simple("SET standard_conforming_strings = on; SET DateStyle = 'ISO, YMD'; "
                        "SET client_min_messages = warning; SET bytea_output = 'hex'",
                        setupError)) {
        error = setupError;
        return nullptr;
    }
    engine->catalog_ = QString::fromUtf8(PQdb(engine->conn_));
    engine->source_ = QString::fromUtf8(PQhost(engine->conn_)) + u':' +
                      QString::fromUtf8(PQport(engine->conn_)) + u'/' + engine->catalog_;
    // Read-only: a read-only session or standby, or no right to change the pages.
    QString e;
    auto c = engine->query(
        QStringLiteral(
            "SELECT current_setting('transaction_read_only') = 'on' OR pg_is_in_recovery() "
            "OR (to_regclass('msdoc') IS NOT NULL AND NOT has_table_privilege("
            "to_regclass('msdoc'), 'UPDATE'))"),
        {}, e);
    QVector<QVariant> row;
    if (c && c->next(row))
        engine->readOnly_ = row[0].toInt() != 0;
    return engine;
}

bool PgEngine::simple(const char* sql, QString& error) {
    PGresult* r = PQexec(conn_, sql);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    if (!ok)
        error = resultError(r, conn_);
    PQclear(r);
    return ok;
}

bool PgEngine::run(const QString& sql, const QVariantList& params, PGresult** result,
                   QString& error) {
    if (PQstatus(conn_) != CONNECTION_OK) {
        PQreset(conn_);  // one attempt to come back after the server restarted
        if (PQstatus(conn_) != CONNECTION_OK) {
            error = QStringLiteral("ｻｰﾊﾞｰとの接続が切れました: ") +
                    QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
            return false;
        }
        QString ignored;
        simple("SET standard_conforming_strings = on; SET DateStyle = 'ISO, YMD'", ignored);
        inTransaction_ = false;
    }
    // Inside a transaction a failing statement must not spoil the rest of it, as
    // the file database lets the transaction go on.
    QString ignored;
    if (inTransaction_)
        simple("SAVEPOINT arbor_statement", ignored);
    const QByteArray text = sql.toUtf8();
    PgParams p(params);
    PGresult* r =
        PQexecParams(conn_, text.constData(), static_cast<int>(p.values.size()), p.types.data(),
                     p.values.data(), p.lengths.data(), p.formats.data(), 0);
    const ExecStatusType status = PQresultStatus(r);
    const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!ok) {
        error = resultError(r, conn_);
        PQclear(r);
        if (inTransaction_)
            simple("ROLLBACK TO SAVEPOINT arbor_statement", ignored);
        return false;
    }
    if (inTransaction_)
        simple("RELEASE SAVEPOINT arbor_statement", ignored);
    *result = r;
    return true;
}

bool PgEngine::exec(const QString& sql, const QVariantList& params, qint64& affected,
                    QString& error) {
    PGresult* r = nullptr;
    if (!run(sql, params, &r, error))
        return false;
    affected = QByteArray(PQcmdTuples(r)).toLongLong();
    PQclear(r);
    return true;
}

std::unique_ptr<RowCursor> PgEngine::query(const QString& sql, const QVariantList& params,
                                           QString& error) {
    PGresult* r = nullptr;
    if (!run(sql, params, &r, error))
        return nullptr;
    return std::make_unique<PgCursor>(r);
}

bool PgEngine::begin(QString& error) {
    if (!simple("BEGIN", error))
        return false;
    inTransaction_ = true;
    return true;
}
bool PgEngine::commit(QString& error) {
    inTransaction_ = false;
    return simple("COMMIT", error);
}
bool PgEngine::rollback(QString& error) {
    inTransaction_ = false;
    return simple("ROLLBACK", error);
}

QStringList PgEngine::primaryKey(const QString& table) {
    QString error;
    auto c =
        query(QStringLiteral(
                  "SELECT a.attname FROM pg_index i JOIN pg_attribute a ON a.attrelid = i.indrelid "
                  "AND a.attnum = ANY(i.indkey) WHERE i.indisprimary AND i.indrelid = "
                  "to_regclass($1) ORDER BY array_position(i.indkey::int2[], a.attnum)"),
              {table.toLower()}, error);
    QStringList keys;
    QVector<QVariant> row;
    while (c && c->next(row))
        keys << row[0].toString();
    return keys;
}

}  // namespace arbor
