#include "db/pg_engine.h"

#include <libpq-fe.h>

#include <QDateTime>
#include <algorithm>
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

    explicit PgParams(const SqlParams& params) {
        const size_t n = static_cast<size_t>(params.size());
        storage.resize(n);
        values.resize(n);
        lengths.resize(n);
        formats.resize(n);
        types.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const auto at = static_cast<qsizetype>(i);
            const QVariant& v = params.values[at];
            types[i] = typeOf(params.type(at));  // 0: the statement decides
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
    int count() const { return static_cast<int>(values.size()); }

    static Oid typeOf(ParamType t) {
        switch (t) {
            case ParamType::Int4:
                return kInt4;
            case ParamType::Int8:
                return kInt8;
            case ParamType::Float8:
                return kFloat8;
            case ParamType::Timestamp:
                return kTimestamp;
            case ParamType::Infer:
                break;
        }
        return 0;
    }
};

// A statement is kept by its text and the types its parameters were prepared with.
QString cacheKey(const QString& sql, const std::vector<Oid>& types) {
    if (std::all_of(types.cbegin(), types.cend(), [](Oid t) { return t == 0; }))
        return sql;
    QString key = sql;
    for (Oid t : types)
        key += u'\x1f' + QString::number(t);
    return key;
}

// Queries and data changes can be prepared; other statements run as they come.
bool preparable(const QString& sql) {
    qsizetype i = 0;
    while (i < sql.size() && sql[i].isSpace())
        ++i;
    for (const char* w : {"select", "insert", "update", "delete", "with"}) {
        const QLatin1StringView word(w);
        if (sql.mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0 &&
            (i + word.size() == sql.size() || !sql[i + word.size()].isLetterOrNumber()))
            return true;
    }
    return false;
}

const QString kAborted = QStringLiteral("skipped after an earlier failure");

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
    if (!engine->simple(QStringLiteral("SET standard_conforming_strings = on; SET DateStyle = "
                                       "'ISO, YMD'; SET client_min_messages = warning; SET "
                                       "bytea_output = 'hex'"),
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

// One round trip's worth of commands and, after send(), their answers.
struct PgEngine::Request {
    enum class Kind { Plain, Prepare, RunPrepared, RunText };
    struct Command {
        Kind kind = Kind::Plain;
        QByteArray text;  // SQL, or the statement's name for RunPrepared
        QByteArray name;  // Prepare: the name to prepare under
        const PgParams* params = nullptr;
        bool keepResult = false;
        // Answers.
        bool ok = false;
        QString error;
        qint64 affected = 0;
        PGresult* result = nullptr;
    };
    std::vector<Command> commands;

    ~Request() {
        for (Command& c : commands)
            if (c.result)
                PQclear(c.result);
    }
    int add(Kind kind, QByteArray text, const PgParams* params = nullptr, QByteArray name = {}) {
        Command c;
        c.kind = kind;
        c.text = std::move(text);
        c.name = std::move(name);
        c.params = params;
        commands.push_back(std::move(c));
        return static_cast<int>(commands.size()) - 1;
    }
    // The first failure's own reason (later commands were only skipped).
    QString firstError() const {
        for (const Command& c : commands)
            if (!c.ok && !c.error.isEmpty() && c.error != kAborted)
                return c.error;
        return {};
    }
};

bool PgEngine::simple(const QString& sql, QString& error) {
    const QByteArray text = sql.toUtf8();
    PGresult* r = PQexec(conn_, text.constData());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    if (!ok)
        error = resultError(r, conn_);
    PQclear(r);
    return ok;
}

bool PgEngine::connected(QString& error) {
    return PQstatus(conn_) == CONNECTION_OK || reconnect(error);
}

bool PgEngine::reconnect(QString& error) {
    PQreset(conn_);
    if (PQstatus(conn_) != CONNECTION_OK) {
        error = QStringLiteral("ｻｰﾊﾞｰとの接続が切れました: ") +
                QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
        return false;
    }
    QString ignored;
    simple(QStringLiteral("SET standard_conforming_strings = on; SET DateStyle = 'ISO, YMD'"),
           ignored);
    inTransaction_ = false;
    forgetStatements();  // a new session has none of them
    return true;
}

void PgEngine::forgetStatements() {
    kept_.clear();
    uses_.clear();
    keptChars_ = 0;
    seenOnce_.clear();
    toDeallocate_.clear();
    stats_.kept = 0;
}

QByteArray PgEngine::statementFor(const QString& key, const QString& sql, bool& prepare) {
    prepare = false;
    const auto it = kept_.find(key);
    if (it != kept_.end()) {
        uses_.splice(uses_.begin(), uses_, it->use);
        ++stats_.reused;
        return it->name;
    }
    if (!preparable(sql))
        return {};
    // A text run once may never come again: it is prepared on its second run.
    const size_t hash = qHash(key);
    if (seenOnce_.remove(hash)) {
        prepare = true;
        return QByteArrayLiteral("arbor_") + QByteArray::number(++nextName_);
    }
    if (seenOnce_.size() >= 4 * kMaxPrepared)
        seenOnce_.clear();
    seenOnce_.insert(hash);
    return {};
}

void PgEngine::keep(const QString& key, const QByteArray& name) {
    uses_.push_front(key);
    kept_.insert(key, {name, uses_.begin()});
    keptChars_ += key.size();
    ++stats_.compiled;
    while (kept_.size() > kMaxPrepared || (keptChars_ > kMaxKeptChars && kept_.size() > 1)) {
        const auto last = kept_.find(uses_.back());
        toDeallocate_ << last->name;
        keptChars_ -= uses_.back().size();
        kept_.erase(last);
        uses_.pop_back();
    }
    stats_.kept = static_cast<int>(kept_.size());
}

StatementCacheStats PgEngine::cacheStats() const {
    return stats_;
}

bool PgEngine::send(Request& request, QString& error) {
    // Statements dropped from the cache go last, so they cannot hurt this request.
    const auto dropsFrom = request.commands.size();
    for (const QByteArray& name : std::as_const(toDeallocate_))
        request.add(Request::Kind::Plain, QByteArrayLiteral("DEALLOCATE ") + name);
    toDeallocate_.clear();

    if (PQenterPipelineMode(conn_) != 1) {
        error = QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
        return false;
    }
    bool sentAll = true;
    for (Request::Command& c : request.commands) {
        const PgParams* p = c.params;
        int sent = 0;
        switch (c.kind) {
            case Request::Kind::Plain:
                sent = PQsendQueryParams(conn_, c.text.constData(), 0, nullptr, nullptr, nullptr,
                                         nullptr, 0);
                break;
            case Request::Kind::Prepare:
                sent = PQsendPrepare(conn_, c.name.constData(), c.text.constData(), p->count(),
                                     p->types.data());
                break;
            case Request::Kind::RunPrepared:
                sent = PQsendQueryPrepared(conn_, c.text.constData(), p->count(), p->values.data(),
                                           p->lengths.data(), p->formats.data(), 0);
                break;
            case Request::Kind::RunText:
                sent = PQsendQueryParams(conn_, c.text.constData(), p->count(), p->types.data(),
                                         p->values.data(), p->lengths.data(), p->formats.data(), 0);
                break;
        }
        if (!sent) {
            c.error = QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
            sentAll = false;
            break;
        }
    }
    bool broken = PQpipelineSync(conn_) != 1;
    // Answers: each command's results end with a null; the sync closes the lot.
    size_t at = 0;
    while (!broken) {
        PGresult* r = PQgetResult(conn_);
        if (!r) {
            if (PQstatus(conn_) != CONNECTION_OK || ++at > request.commands.size())
                broken = true;
            continue;
        }
        const ExecStatusType status = PQresultStatus(r);
        if (status == PGRES_PIPELINE_SYNC) {
            PQclear(r);
            break;
        }
        if (at >= request.commands.size()) {
            PQclear(r);
            continue;
        }
        Request::Command& c = request.commands[at];
        c.ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
        if (c.ok) {
            c.affected = QByteArray(PQcmdTuples(r)).toLongLong();
            if (c.keepResult && !c.result) {
                c.result = r;
                r = nullptr;
            }
        } else if (c.error.isEmpty()) {
            c.error = status == PGRES_PIPELINE_ABORTED ? kAborted : resultError(r, conn_);
        }
        if (r)
            PQclear(r);
    }
    if (broken || PQexitPipelineMode(conn_) != 1) {
        error = QStringLiteral("ｻｰﾊﾞｰとの接続が切れました: ") +
                QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
        QString ignored;
        reconnect(ignored);  // a connection in an unknown state is not used again
        return false;
    }
    // Drops that did not run (after a failure) wait for the next request.
    for (auto i = dropsFrom; i < request.commands.size(); ++i)
        if (!request.commands[i].ok && request.commands[i].error == kAborted)
            toDeallocate_ << request.commands[i].text.mid(11);
    if (!sentAll)
        error = request.firstError();
    return sentAll;
}

bool PgEngine::run(const QString& sql, const SqlParams& params, PGresult** result, QString& error) {
    if (!connected(error))
        return false;
    const PgParams p(params);
    const QString key = cacheKey(sql, p.types);
    bool prepare = false;
    const QByteArray name = statementFor(key, sql, prepare);
    const QByteArray text = sql.toUtf8();
    Request request;
    // Inside a transaction a failing statement must not spoil the rest of it, as the
    // file database lets the transaction go on: it runs under a savepoint.
    const bool guard = inTransaction_;
    if (guard)
        request.add(Request::Kind::Plain, QByteArrayLiteral("SAVEPOINT arbor_statement"));
    const int prepared = prepare ? request.add(Request::Kind::Prepare, text, &p, name) : -1;
    const int main = name.isEmpty() ? request.add(Request::Kind::RunText, text, &p)
                                    : request.add(Request::Kind::RunPrepared, name, &p);
    request.commands[main].keepResult = true;
    if (guard)
        request.add(Request::Kind::Plain, QByteArrayLiteral("RELEASE SAVEPOINT arbor_statement"));
    if (!send(request, error))
        return false;
    if (prepared >= 0 && request.commands[prepared].ok)
        keep(key, name);
    Request::Command& c = request.commands[main];
    if (!c.ok) {
        error = request.firstError();
        QString ignored;
        if (guard)
            simple(QStringLiteral("ROLLBACK TO SAVEPOINT arbor_statement; RELEASE SAVEPOINT "
                                  "arbor_statement"),
                   ignored);
        return false;
    }
    *result = c.result;
    c.result = nullptr;
    return true;
}

bool PgEngine::exec(const QString& sql, const SqlParams& params, qint64& affected, QString& error) {
    PGresult* r = nullptr;
    if (!run(sql, params, &r, error))
        return false;
    affected = QByteArray(PQcmdTuples(r)).toLongLong();
    PQclear(r);
    return true;
}

std::unique_ptr<RowCursor> PgEngine::query(const QString& sql, const SqlParams& params,
                                           QString& error) {
    PGresult* r = nullptr;
    if (!run(sql, params, &r, error))
        return nullptr;
    return std::make_unique<PgCursor>(r);
}

bool PgEngine::execBatch(const QVector<BoundStatement>& statements, qint64& affected, int& failedAt,
                         QString& error) {
    failedAt = -1;
    if (!connected(error))
        return false;
    // A few hundred statements per round trip keep the answers well inside the socket
    // buffers, which pipelining without reading in between relies on.
    constexpr int kChunk = 400;
    for (int from = 0; from < statements.size(); from += kChunk) {
        const int to = std::min<int>(static_cast<int>(statements.size()), from + kChunk);
        std::vector<PgParams> params;
        params.reserve(static_cast<size_t>(to - from));
        Request request;
        std::vector<int> runs;
        struct NewStatement {
            QString key;
            QByteArray name;
            int command;
        };
        std::vector<NewStatement> fresh;
        QHash<QString, QByteArray> preparedHere;
        for (int i = from; i < to; ++i) {
            const BoundStatement& st = statements[i];
            params.emplace_back(st.params);
            const PgParams* p = &params.back();
            const QString key = cacheKey(st.sql, p->types);
            QByteArray name = preparedHere.value(key);
            if (name.isEmpty()) {
                bool prepare = false;
                name = statementFor(key, st.sql, prepare);
                if (prepare) {
                    fresh.push_back(
                        {key, name, request.add(Request::Kind::Prepare, st.sql.toUtf8(), p, name)});
                    preparedHere.insert(key, name);
                }
            } else {
                ++stats_.reused;
            }
            if (name.isEmpty()) {
                runs.push_back(request.add(Request::Kind::RunText, st.sql.toUtf8(), p));
            } else {
                runs.push_back(request.add(Request::Kind::RunPrepared, name, p));
            }
        }
        if (!send(request, error)) {
            failedAt = from;
            return false;
        }
        for (const NewStatement& f : fresh)
            if (request.commands[static_cast<size_t>(f.command)].ok)
                keep(f.key, f.name);
        for (size_t k = 0; k < runs.size(); ++k) {
            const Request::Command& c = request.commands[static_cast<size_t>(runs[k])];
            if (!c.ok) {
                failedAt = from + static_cast<int>(k);
                error = request.firstError();
                return false;
            }
            affected += c.affected;
        }
    }
    return true;
}

bool PgEngine::begin(QString& error) {
    if (!connected(error) || !simple(QStringLiteral("BEGIN"), error))
        return false;
    inTransaction_ = true;
    return true;
}
bool PgEngine::commit(QString& error) {
    inTransaction_ = false;
    return simple(QStringLiteral("COMMIT"), error);
}
bool PgEngine::rollback(QString& error) {
    inTransaction_ = false;
    return simple(QStringLiteral("ROLLBACK"), error);
}

QStringList PgEngine::primaryKey(const QString& table) {
    QString error;
    auto c =
        query(QStringLiteral(
                  "SELECT a.attname FROM pg_index i JOIN pg_attribute a ON a.attrelid = i.indrelid "
                  "AND a.attnum = ANY(i.indkey) WHERE i.indisprimary AND i.indrelid = "
                  "to_regclass($1) ORDER BY array_position(i.indkey::int2[], a.attnum)"),
              QVariantList{table.toLower()}, error);
    QStringList keys;
    QVector<QVariant> row;
    while (c && c->next(row))
        keys << row[0].toString();
    return keys;
}

}  // namespace arbor
