#pragma once
// Document databases on a PostgreSQL server, shared by several PCs.

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
    bool exec(const QString& sql, const QVariantList& params, qint64& affected,
              QString& error) override;
    std::unique_ptr<RowCursor> query(const QString& sql, const QVariantList& params,
                                     QString& error) override;
    bool begin(QString& error) override;
    bool commit(QString& error) override;
    bool rollback(QString& error) override;
    bool readOnly() const override { return readOnly_; }
    QString dataSourceName() const override { return source_; }
    QString catalog() const override { return catalog_; }
    QStringList primaryKey(const QString& table) override;
    QString rowIdColumn() const override { return QStringLiteral("ctid"); }
    QString parameter(int n) const override { return u'$' + QString::number(n); }

  private:
    PgEngine() = default;
    bool run(const QString& sql, const QVariantList& params, PGresult** result, QString& error);
    bool simple(const char* sql, QString& error);
    PGconn* conn_ = nullptr;
    QString source_;
    QString catalog_;
    bool readOnly_ = false;
    bool inTransaction_ = false;
};

}  // namespace arbor
