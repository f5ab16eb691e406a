#pragma once
// What zSvr needs of a database engine. Statements reach an engine already
// translated into its own dialect, their values as bound parameters, so that the
// text of a statement stays the same from one run to the next and the engine can
// keep it compiled.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <initializer_list>
#include <memory>

namespace arbor {

enum class SqlDialect { SQLite, PostgreSQL };

// How a server reads a bound value where the statement does not fix its type.
// Infer lets the statement decide, as it does for a quoted literal.
enum class ParamType : unsigned char { Infer, Int4, Int8, Float8, Timestamp };

// The values bound to a statement's parameters, in order.
struct SqlParams {
    QVariantList values;
    QVector<ParamType> types;  // per value; missing entries are Infer

    SqlParams() = default;
    SqlParams(QVariantList list) : values(std::move(list)) {}  // NOLINT: plain values
    SqlParams(std::initializer_list<QVariant> list) : values(list) {}
    bool isEmpty() const { return values.isEmpty(); }
    qsizetype size() const { return values.size(); }
    ParamType type(qsizetype i) const { return i < types.size() ? types[i] : ParamType::Infer; }
    void add(const QVariant& value, ParamType type) {
        types.resize(values.size(), ParamType::Infer);
        values << value;
        types << type;
    }
};

struct BoundStatement {
    QString sql;
    SqlParams params;
};

// What the cache of compiled statements has done since the connection opened.
struct StatementCacheStats {
    qint64 compiled = 0;  // statements compiled to be kept
    qint64 reused = 0;    // runs of a statement already compiled
    int kept = 0;         // statements kept now
};

// A stream of result rows.
class RowCursor {
  public:
    virtual ~RowCursor() = default;
    virtual QStringList names() const = 0;
    // Fills row with the next row; false at the end or on error (see error()).
    virtual bool next(QVector<QVariant>& row) = 0;
    virtual QString error() const = 0;
};

class Engine {
  public:
    virtual ~Engine() = default;
    virtual SqlDialect dialect() const = 0;
    // Runs a statement that returns no rows; false with error on failure.
    virtual bool exec(const QString& sql, const SqlParams& params, qint64& affected,
                      QString& error) = 0;
    // Runs a query; nullptr with error on failure.
    virtual std::unique_ptr<RowCursor> query(const QString& sql, const SqlParams& params,
                                             QString& error) = 0;
    // Runs data changes in order, sent to a server together; stops at the first failure
    // (failedAt its index). Meant for a transaction: the caller undoes a failure.
    virtual bool execBatch(const QVector<BoundStatement>& statements, qint64& affected,
                           int& failedAt, QString& error) = 0;
    // Runs a transaction-control statement (savepoints) exactly as given.
    virtual bool control(const QString& sql, QString& error) = 0;
    virtual StatementCacheStats cacheStats() const = 0;
    virtual bool begin(QString& error) = 0;
    virtual bool commit(QString& error) = 0;
    virtual bool rollback(QString& error) = 0;
    virtual bool readOnly() const = 0;
    // Full path of the file, or the server's database name with host.
    virtual QString dataSourceName() const = 0;
    // Short name of the database (the server's catalog).
    virtual QString catalog() const = 0;
    // Primary-key columns of a table (empty when it has none).
    virtual QStringList primaryKey(const QString& table) = 0;
    // A hidden column that identifies a row when the table has no key.
    virtual QString rowIdColumn() const = 0;
    // Placeholder text for the n-th bound parameter (1-based).
    virtual QString parameter(int n) const = 0;
};

}  // namespace arbor
