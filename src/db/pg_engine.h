#pragma once
// Document databases on a PostgreSQL server, shared by several PCs.
//
// Each request goes out in one round trip (libpq's pipeline mode): the statement,
// with the savepoint that guards it inside a transaction, and its preparation when
// the text was seen before. Prepared statements are kept by text, a bounded number.

#include <QHash>
#include <QSet>
#include <list>
#include <memory>

#include "db/data_link.h"
#include "db/engine.h"

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace arbor {

class PgEngine : public Engine {
  public:
    // Connects; passwordRefused tells that the server wants another password.
    static std::unique_ptr<PgEngine> open(const DataLink& link, QString& error,
                                          bool& passwordRefused);
    ~PgEngine() override;

    SqlDialect dialect() const override { return SqlDialect::PostgreSQL; }
    bool exec(const QString& sql, const SqlParams& params, qint64& affected,
              QString& error) override;
    std::unique_ptr<RowCursor> query(const QString& sql, const SqlParams& params,
                                     QString& error) override;
    bool execBatch(const QVector<BoundStatement>& statements, qint64& affected, int& failedAt,
                   QString& error) override;
    bool control(const QString& sql, QString& error) override { return simple(sql, error); }
    StatementCacheStats cacheStats() const override;
    bool begin(QString& error) override;
    bool commit(QString& error) override;
    bool rollback(QString& error) override;
    bool readOnly() const override { return readOnly_; }
    QString dataSourceName() const override { return source_; }
    QString catalog() const override { return catalog_; }
    QStringList primaryKey(const QString& table) override;
    QString rowIdColumn() const override { return QStringLiteral("ctid"); }
    QString parameter(int n) const override { return u'$' + QString::number(n); }

    // The most prepared statements kept on the server at once, and the most text they
    // may take together (some statements carry thousands of parameters).
    static constexpr int kMaxPrepared = 200;
    static constexpr qsizetype kMaxKeptChars = 8 * 1024 * 1024;

  private:
    struct Request;
    PgEngine() = default;
    bool connected(QString& error);
    // After the server restarted, or the connection was left in an unknown state.
    bool reconnect(QString& error);
    bool run(const QString& sql, const SqlParams& params, PGresult** result, QString& error);
    // Sends the commands of a request with one sync and reads their answers.
    bool send(Request& request, QString& error);
    bool simple(const QString& sql, QString& error);
    // The name of the kept statement for a text, or empty; prepare tells that the text
    // was seen before and is to be prepared now under a new name.
    QByteArray statementFor(const QString& key, const QString& sql, bool& prepare);
    void keep(const QString& key, const QByteArray& name);
    void forgetStatements();

    PGconn* conn_ = nullptr;
    QString source_;
    QString catalog_;
    bool readOnly_ = false;
    bool inTransaction_ = false;

    struct Kept {
        QByteArray name;
        std::list<QString>::iterator use;
    };
    QHash<QString, Kept> kept_;
    std::list<QString> uses_;  // keys, most recently used first
    qsizetype keptChars_ = 0;
    QSet<size_t> seenOnce_;  // hashes of the texts run once
    QVector<QByteArray> toDeallocate_;
    qint64 nextName_ = 0;
    StatementCacheStats stats_;
};

}  // namespace arbor
