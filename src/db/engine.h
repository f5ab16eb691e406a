#pragma once
// What zSvr needs of a database engine. Statements reach an engine already
// translated into its own dialect; values that must not pass through SQL text
// (recordset writes, binary data) come as bound parameters.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

namespace arbor {

enum class SqlDialect { SQLite, PostgreSQL };

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
    virtual bool exec(const QString& sql, const QVariantList& params, qint64& affected,
                      QString& error) = 0;
    // Runs a query; nullptr with error on failure.
    virtual std::unique_ptr<RowCursor> query(const QString& sql, const QVariantList& params,
                                             QString& error) = 0;
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
