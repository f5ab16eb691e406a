#pragma once
// Fresh document databases for tests, on either engine, opened in zSvr::instance().

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include <gtest/gtest.h>

#include "support/pg_test_server.h"

namespace arbor::test {

enum class DbEngine { SQLite, PostgreSQL };

inline std::ostream& operator<<(std::ostream& os, DbEngine e) {
    return os << (e == DbEngine::SQLite ? "SQLite" : "PostgreSQL");
}

// Owns the database (a temporary .txdb file or a throwaway server database).
class TestDocDb {
  public:
    ~TestDocDb();
    // Creates the database with the full schema and one kaUsr row, then opens it
    // with D_StDcDb. withSchema false makes an empty database (no tables).
    static std::unique_ptr<TestDocDb> create(DbEngine engine, QString& reason,
                                             bool withSchema = true);
    DbEngine engine() const { return engine_; }
    // The path D_StDcDb was given (.txdb or .udl).
    QString path() const { return path_; }
    // A folder for scratch files of the test.
    QString scratchDir() const { return dir_.path(); }
    PgTestDatabase* pg() const { return pg_.get(); }

  private:
    TestDocDb() = default;
    DbEngine engine_ = DbEngine::SQLite;
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<PgTestDatabase> pg_;
};

inline std::string engineName(const ::testing::TestParamInfo<DbEngine>& param) {
    return param.param == DbEngine::SQLite ? "SQLite" : "PostgreSQL";
}

}  // namespace arbor::test

// Runs a value-parameterised suite on both engines.
#define ARBOR_INSTANTIATE_ENGINES(suite)                                                     \
    INSTANTIATE_TEST_SUITE_P(                                                                \
        Engines, suite,                                                                      \
        ::testing::Values(arbor::test::DbEngine::SQLite, arbor::test::DbEngine::PostgreSQL), \
        arbor::test::engineName)

// Opens a fresh document database for the engine; PostgreSQL skips (or fails under CI)
// when no server is configured.
#define ARBOR_OPEN_DOCDB(var, engine, ...)                                             \
    std::unique_ptr<arbor::test::TestDocDb> var;                                       \
    do {                                                                               \
        QString reason_;                                                               \
        var = arbor::test::TestDocDb::create(engine, reason_, ##__VA_ARGS__);          \
        if (!var) {                                                                    \
            if ((engine) == arbor::test::DbEngine::PostgreSQL &&                       \
                !arbor::test::PgTestDatabase::configured() &&                          \
                qEnvironmentVariable("CI") != QLatin1String("true"))                   \
                GTEST_SKIP() << "PostgreSQL not available: " << reason_.toStdString(); \
            FAIL() << "cannot create the test database: " << reason_.toStdString();    \
        }                                                                              \
    } while (0)
