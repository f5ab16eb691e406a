#include "db/sqlite_engine.h"

#include <sqlite3.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <list>

#include "db/sql_dialect.h"

namespace arbor {

namespace {

// Like of the file database: "%" any run, "_" one character, letters compared
// without case (all scripts, not only ASCII), no escape character unless given.
bool likeMatch(const QChar* p, qsizetype pn, const QChar* s, qsizetype sn, QChar escape) {
    qsizetype pi = 0, si = 0, starP = -1, starS = 0;
    while (si < sn) {
        if (pi < pn) {
            QChar pc = p[pi];
            bool literal = false;
            if (!escape.isNull() && pc == escape && pi + 1 < pn) {
                pc = p[pi + 1];
                literal = true;
            }
            if (!literal && pc == u'%') {
                starP = pi++;
                starS = si;
                continue;
            }
            if ((!literal && pc == u'_') || pc.toCaseFolded() == s[si].toCaseFolded()) {
                pi += literal ? 2 : 1;
                ++si;
                continue;
            }
        }
        if (starP < 0)
            return false;
        pi = starP + 1;
        si = ++starS;
    }
    while (pi < pn && p[pi] == u'%')
        ++pi;
    return pi == pn;
}

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return;  // Null
    const auto* p = static_cast<const QChar*>(sqlite3_value_text16(argv[0]));
    const qsizetype pn = sqlite3_value_bytes16(argv[0]) / 2;
    const auto* s = static_cast<const QChar*>(sqlite3_value_text16(argv[1]));
    const qsizetype sn = sqlite3_value_bytes16(argv[1]) / 2;
    QChar escape;
    if (argc == 3 && sqlite3_value_type(argv[2]) != SQLITE_NULL) {
        const auto* e = static_cast<const QChar*>(sqlite3_value_text16(argv[2]));
        if (sqlite3_value_bytes16(argv[2]) >= 2)
            escape = e[0];
    }
    sqlite3_result_int(ctx, likeMatch(p, pn, s, sn, escape) ? 1 : 0);
}

QString errorText(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

bool isDateType(const char* decl) {
    if (!decl)
        return false;
    const QByteArray d = QByteArray(decl).toUpper();
    return d.contains("DATE") || d.contains("TIME");
}

QVariant columnValue(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER: {
            const qint64 v = sqlite3_column_int64(st, i);
            if (v >= INT_MIN && v <= INT_MAX)
                return QVariant(static_cast<int>(v));
            return QVariant(static_cast<qlonglong>(v));
        }
        case SQLITE_FLOAT:
            return sqlite3_column_double(st, i);
        case SQLITE_BLOB: {
            const auto* data = static_cast<const char*>(sqlite3_column_blob(st, i));
            return QByteArray(data, sqlite3_column_bytes(st, i));
        }
        default: {
            const auto* data = static_cast<const QChar*>(sqlite3_column_text16(st, i));
            QString text(data, sqlite3_column_bytes16(st, i) / 2);
            if (isDateType(sqlite3_column_decltype(st, i))) {
                const QDateTime dt = parseDateLiteral(text);
                if (dt.isValid())
                    return dt;
            }
            return text;
        }
    }
}

bool bindAll(sqlite3_stmt* st, const SqlParams& params, QString& error) {
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params.values[i];
        const int at = i + 1;
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(st, at);
        } else {
            switch (v.typeId()) {
                case QMetaType::Bool:
                case QMetaType::Int:
                case QMetaType::UInt:
                case QMetaType::LongLong:
                case QMetaType::ULongLong:
                case QMetaType::Short:
                case QMetaType::UShort:
                case QMetaType::Long:
                case QMetaType::ULong:
                    rc = sqlite3_bind_int64(st, at, v.toLongLong());
                    break;
                case QMetaType::Double:
                case QMetaType::Float:
                    rc = sqlite3_bind_double(st, at, v.toDouble());
                    break;
                case QMetaType::QByteArray: {
                    const QByteArray b = v.toByteArray();
                    rc = sqlite3_bind_blob64(st, at, b.constData(),
                                             static_cast<sqlite3_uint64>(b.size()),
                                             SQLITE_TRANSIENT);
                    break;
                }
                case QMetaType::QDateTime:
                case QMetaType::QDate: {
                    const QString t = storedDateText(
                        v.typeId() == QMetaType::QDate ? v.toDate().startOfDay() : v.toDateTime());
                    rc = sqlite3_bind_text16(st, at, t.utf16(), static_cast<int>(t.size() * 2),
                                             SQLITE_TRANSIENT);
                    break;
                }
                default: {
                    const QString t = v.toString();
                    rc = sqlite3_bind_text16(st, at, t.utf16(), static_cast<int>(t.size() * 2),
                                             SQLITE_TRANSIENT);
                }
            }
        }
        if (rc != SQLITE_OK) {
            error =
                QStringLiteral("bind %1: %2").arg(at).arg(QString::fromUtf8(sqlite3_errstr(rc)));
            return false;
        }
    }
    return true;
}

}  // namespace

// The connection and a cache of compiled statements, keyed by their text and
// bounded: the statement used least recently goes first. Cursors share it, so a
// cursor left open after the database was closed stays harmless.
struct SqliteConnection {
    struct Idle {
        QString sql;
        sqlite3_stmt* st;
    };
    sqlite3* db = nullptr;
    std::list<Idle> lru;  // most recently used first
    QHash<QString, std::list<Idle>::iterator> idle;
    StatementCacheStats stats;
    qsizetype idleChars = 0;
    // The most statements kept, and the most text they may take together.
    static constexpr int kMaxIdle = 256;
    static constexpr qsizetype kMaxIdleChars = 8 * 1024 * 1024;

    ~SqliteConnection() {
        for (const Idle& i : lru)
            sqlite3_finalize(i.st);
        if (db)
            sqlite3_close_v2(db);
    }

    sqlite3_stmt* take(const QString& sql, QString& error) {
        const auto it = idle.find(sql);
        if (it != idle.end()) {
            sqlite3_stmt* st = (*it)->st;
            idleChars -= sql.size();
            lru.erase(*it);
            idle.erase(it);
            ++stats.reused;
            return st;
        }
        sqlite3_stmt* st = nullptr;
        const int rc = sqlite3_prepare16_v3(db, sql.utf16(), static_cast<int>(sql.size() * 2),
                                            SQLITE_PREPARE_PERSISTENT, &st, nullptr);
        if (rc != SQLITE_OK) {
            error = errorText(db);
            sqlite3_finalize(st);
            return nullptr;
        }
        if (!st)
            error = QStringLiteral("empty statement");
        else
            ++stats.compiled;
        return st;
    }

    void give(const QString& sql, sqlite3_stmt* st) {
        if (!st)
            return;
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (idle.contains(sql)) {  // a second copy, from a nested use of the same text
            sqlite3_finalize(st);
            return;
        }
        lru.push_front({sql, st});
        idle.insert(sql, lru.begin());
        idleChars += sql.size();
        while (static_cast<int>(lru.size()) > kMaxIdle ||
               (idleChars > kMaxIdleChars && lru.size() > 1)) {
            idleChars -= lru.back().sql.size();
            idle.remove(lru.back().sql);
            sqlite3_finalize(lru.back().st);
            lru.pop_back();
        }
    }
};

namespace {

class SqliteCursor : public RowCursor {
  public:
    SqliteCursor(std::shared_ptr<SqliteConnection> conn, QString sql, sqlite3_stmt* st)
        : conn_(std::move(conn)), sql_(std::move(sql)), st_(st) {
        const int n = sqlite3_column_count(st_);
        for (int i = 0; i < n; ++i)
            names_ << QString::fromUtf8(sqlite3_column_name(st_, i));
    }
    ~SqliteCursor() override { conn_->give(sql_, st_); }

    QStringList names() const override { return names_; }
    bool next(QVector<QVariant>& row) override {
        if (done_)
            return false;
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) {
            const int n = names_.size();
            row.resize(n);
            for (int i = 0; i < n; ++i)
                row[i] = columnValue(st_, i);
            return true;
        }
        done_ = true;
        if (rc != SQLITE_DONE)
            error_ = errorText(conn_->db);
        return false;
    }
    QString error() const override { return error_; }

  private:
    std::shared_ptr<SqliteConnection> conn_;
    QString sql_;
    sqlite3_stmt* st_;
    QStringList names_;
    bool done_ = false;
    QString error_;
};

}  // namespace

SqliteEngine::~SqliteEngine() = default;

std::unique_ptr<SqliteEngine> SqliteEngine::openWith(const QString& path, int flags, bool readOnly,
                                                     QString& error) {
    std::unique_ptr<SqliteEngine> engine(new SqliteEngine);
    engine->conn_ = std::make_shared<SqliteConnection>();
    const QByteArray file = QFile::encodeName(path);
    const int rc =
        sqlite3_open_v2(file.constData(), &engine->conn_->db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        error = engine->conn_->db ? errorText(engine->conn_->db)
                                  : QString::fromUtf8(sqlite3_errstr(rc));
        return nullptr;
    }
    sqlite3* db = engine->conn_->db;
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 5000);
    for (int argc : {2, 3})
        sqlite3_create_function_v2(db, "like", argc, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr,
                                   likeFunction, nullptr, nullptr, nullptr);
    // A damaged or encrypted file shows itself on the first read.
    char* message = nullptr;
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &message) !=
        SQLITE_OK) {
        error = QStringLiteral("ﾌｧｲﾙが壊れているか、文書ﾃﾞｰﾀｰﾍﾞｰｽの形式ではありません (") +
                QString::fromUtf8(message ? message : "") + u')';
        sqlite3_free(message);
        return nullptr;
    }
    engine->path_ = QFileInfo(path).absoluteFilePath();
    engine->readOnly_ = readOnly || sqlite3_db_readonly(db, "main") == 1;
    return engine;
}

std::unique_ptr<SqliteEngine> SqliteEngine::open(const QString& path, QString& error) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        error = QStringLiteral("ﾌｧｲﾙが見つかりません: ") + path;
        return nullptr;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("ﾌｧｲﾙが読めません: ") + path + QStringLiteral(" (") +
                f.errorString() + u')';
        return nullptr;
    }
    const QByteArray head = f.read(16);
    f.close();
    if (!head.isEmpty() && head != QByteArray("SQLite format 3\0", 16)) {
        error = QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽの形式ではないﾌｧｲﾙです: ") + path;
        return nullptr;
    }
    // Writing needs the file and, for the journal, its folder. A file without any
    // write permission counts as marked read-only, even for a user who could write it.
    const bool marked =
        !(info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    const bool writable =
        !marked && info.isWritable() && QFileInfo(info.absolutePath()).isWritable();
    return openWith(path, writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, !writable,
                    error);
}

std::unique_ptr<SqliteEngine> SqliteEngine::create(const QString& path, QString& error) {
    return openWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, false, error);
}

bool SqliteEngine::exec(const QString& sql, const SqlParams& params, qint64& affected,
                        QString& error) {
    sqlite3_stmt* st = conn_->take(sql, error);
    if (!st)
        return false;
    bool ok = bindAll(st, params, error);
    if (ok) {
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            error = errorText(conn_->db);
            ok = false;
        } else {
            affected = sqlite3_changes64(conn_->db);
        }
    }
    conn_->give(sql, st);
    return ok;
}

std::unique_ptr<RowCursor> SqliteEngine::query(const QString& sql, const SqlParams& params,
                                               QString& error) {
    sqlite3_stmt* st = conn_->take(sql, error);
    if (!st)
        return nullptr;
    if (!bindAll(st, params, error)) {
        conn_->give(sql, st);
        return nullptr;
    }
    return std::make_unique<SqliteCursor>(conn_, sql, st);
}

bool SqliteEngine::execBatch(const QVector<BoundStatement>& statements, qint64& affected,
                             int& failedAt, QString& error) {
    failedAt = -1;
    for (int i = 0; i < statements.size(); ++i) {
        qint64 n = 0;
        if (!exec(statements[i].sql, statements[i].params, n, error)) {
            failedAt = i;
            return false;
        }
        affected += n;
    }
    return true;
}

bool SqliteEngine::control(const QString& sql, QString& error) {
    qint64 n = 0;
    return exec(sql, {}, n, error);
}

StatementCacheStats SqliteEngine::cacheStats() const {
    StatementCacheStats s = conn_->stats;
    s.kept = static_cast<int>(conn_->lru.size());
    return s;
}

bool SqliteEngine::begin(QString& error) {
    qint64 n = 0;
    return exec(QStringLiteral("BEGIN"), {}, n, error);
}
bool SqliteEngine::commit(QString& error) {
    qint64 n = 0;
    return exec(QStringLiteral("COMMIT"), {}, n, error);
}
bool SqliteEngine::rollback(QString& error) {
    qint64 n = 0;
    return exec(QStringLiteral("ROLLBACK"), {}, n, error);
}

QString SqliteEngine::catalog() const {
    return QFileInfo(path_).completeBaseName();
}

QStringList SqliteEngine::primaryKey(const QString& table) {
    QString error;
    auto cursor = query(QStringLiteral("SELECT name, pk FROM pragma_table_info(?1) WHERE pk > 0 "
                                       "ORDER BY pk"),
                        QVariantList{table}, error);
    QStringList keys;
    if (!cursor)
        return keys;
    QVector<QVariant> row;
    while (cursor->next(row))
        keys << row[0].toString();
    return keys;
}

}  // namespace arbor
