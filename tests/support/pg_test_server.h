#pragma once
// Throwaway PostgreSQL databases for tests. The test command starts a server and
// describes it in environment variables:
//   ARBOR_TEST_PG_ADMIN     libpq connection string of a superuser (creates databases)
//   ARBOR_TEST_PG_HOST, ARBOR_TEST_PG_PORT, ARBOR_TEST_PG_USER, ARBOR_TEST_PG_PASSWORD
//                           how Arbor itself connects (through a .udl file)
// Without them the PostgreSQL tests are skipped, loudly, and fail when CI=true.

#include <QString>
#include <memory>

namespace arbor::test {

class PgTestDatabase {
  public:
    ~PgTestDatabase();
    PgTestDatabase(const PgTestDatabase&) = delete;
    PgTestDatabase& operator=(const PgTestDatabase&) = delete;

    // Creates an empty database and a .udl file naming it; nullptr with reason when
    // no server is configured or the database cannot be made.
    static std::unique_ptr<PgTestDatabase> create(QString& reason);
    // True when the environment names a server.
    static bool configured();

    QString name() const { return name_; }
    QString udlPath() const { return udlPath_; }
    // Writes another .udl naming this database with the given password; returns its path.
    QString writeUdl(const QString& password, const QString& fileName) const;
    // Runs SQL as the superuser in this database; false with reason on failure.
    bool adminExec(const QString& sql, QString* reason = nullptr) const;

  private:
    PgTestDatabase() = default;
    QString name_;
    QString dir_;
    QString udlPath_;
};

}  // namespace arbor::test

// Skips the test when no PostgreSQL server is configured; under CI it fails instead.
#define ARBOR_REQUIRE_PG(db)                                                           \
    std::unique_ptr<arbor::test::PgTestDatabase> db;                                   \
    do {                                                                               \
        QString reason_;                                                               \
        db = arbor::test::PgTestDatabase::create(reason_);                             \
        if (!db) {                                                                     \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                   \
                FAIL() << "PostgreSQL needed under CI: " << reason_.toStdString();     \
            else                                                                       \
                GTEST_SKIP() << "PostgreSQL not available: " << reason_.toStdString(); \
        }                                                                              \
    } while (0)
