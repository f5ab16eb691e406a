#pragma once
// Document database files on SQLite.

#include <memory>

#include "db/engine.h"

namespace arbor {

struct SqliteConnection;

class SqliteEngine : public Engine {
  public:
    // Opens an existing file; never creates one and never writes to a file that is
    // not a SQLite database. Opens read-only when the file or its folder is not writable.
    static std::unique_ptr<SqliteEngine> open(const QString& path, QString& error);
    // Creates a new empty database file (for templates and exports).
    static std::unique_ptr<SqliteEngine> create(const QString& path, QString& error);
    ~SqliteEngine() override;

    SqlDialect dialect() const override { return SqlDialect::SQLite; }
    bool exec(const QString& sql, const SqlParams& params, qint64& affected,
              QString& error) override;
    std::unique_ptr<RowCursor> query(const QString& sql, const SqlParams& params,
                                     QString& error) override;
    bool execBatch(const QVector<BoundStatement>& statements, qint64& affected, int& failedAt,
                   QString& error) override;
    bool control(const QString& sql, QString& error) override;
    StatementCacheStats cacheStats() const override;
    bool begin(QString& error) override;
    bool commit(QString& error) override;
    bool rollback(QString& error) override;
    bool readOnly() const override { return readOnly_; }
    QString dataSourceName() const override { return path_; }
    QString catalog() const override;
    QStringList primaryKey(const QString& table) override;
    QString rowIdColumn() const override { return QStringLiteral("rowid"); }
    QString parameter(int n) const override { return u'?' + QString::number(n); }

  private:
    SqliteEngine() = default;
    static std::unique_ptr<SqliteEngine> openWith(const QString& path, int flags, bool readOnly,
                                                  QString& error);
    std::shared_ptr<SqliteConnection> conn_;
    QString path_;
    bool readOnly_ = false;
};

}  // namespace arbor
