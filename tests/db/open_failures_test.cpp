// Opening what is not a usable document database: a clear reason, nothing open,
// and the file exactly as it was.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "db/zsvr.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"

using namespace arbor;
using arbor::test::DbEngine;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class OpenFailures : public ::testing::Test {
  protected:
    test::PrompterFixture ui;
    QTemporaryDir dir;
    zSvr& db = zSvr::instance();

    // Opens path, expects failure with a reason, and no database left open.
    void expectRefused(const QString& path) {
        bool ok = true;
        db.D_StDcDb(path, ok);
        EXPECT_FALSE(ok) << path.toStdString();
        EXPECT_FALSE(db.isOpen());
        EXPECT_TRUE(db.dataSourceName().isEmpty());
        EXPECT_FALSE(db.lastError().isEmpty());
        // A reason for the user, not the program's SQL.
        EXPECT_FALSE(db.lastError().contains("select", Qt::CaseInsensitive))
            << db.lastError().toStdString();
        EXPECT_TRUE(ui.prompter.messages.isEmpty()) << ui.prompter.messages.join('|').toStdString();
    }
};

}  // namespace

TEST_F(OpenFailures, ForeignEmptyTruncatedAndMissingFilesStayUntouched) {
    const QString text = dir.filePath("notes.txdb");
    const QByteArray notes = "これはﾃｷｽﾄです\r\nnot a database at all\r\n";
    writeAll(text, notes);
    expectRefused(text);
    EXPECT_EQ(readAll(text), notes);

    const QString empty = dir.filePath("empty.txdb");
    writeAll(empty, QByteArray());
    expectRefused(empty);
    EXPECT_EQ(readAll(empty), QByteArray());
    EXPECT_FALSE(QFile::exists(empty + "-journal"));

    // A real database cut short.
    QString reason;
    auto good = test::TestDocDb::create(DbEngine::SQLite, reason);
    ASSERT_TRUE(good) << reason.toStdString();
    db.D_Close();
    const QByteArray whole = readAll(good->path());
    const QString cut = dir.filePath("cut.txdb");
    writeAll(cut, whole.left(1500));
    expectRefused(cut);
    EXPECT_EQ(readAll(cut), whole.left(1500));

    expectRefused(dir.filePath("missing.txdb"));
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.txdb")));
}

TEST_F(OpenFailures, AFailedOpenClosesThePreviousDatabase) {
    QString reason;
    auto good = test::TestDocDb::create(DbEngine::SQLite, reason);
    ASSERT_TRUE(good) << reason.toStdString();
    ASSERT_TRUE(db.isOpen());
    const QString text = dir.filePath("x.txdb");
    writeAll(text, "plain");
    expectRefused(text);
}

TEST_F(OpenFailures, DataLinkIsChosenByTheExtensionInAnyCase) {
    // Not a data link inside, so the reason speaks of the data link.
    const QString upper = dir.filePath("SERVER.UDL");
    writeAll(upper, "just text");
    expectRefused(upper);
    EXPECT_TRUE(db.lastError().contains(QStringLiteral("ﾃﾞｰﾀﾘﾝｸ"))) << db.lastError().toStdString();
    // A SQLite file named .udl is still read as a data link, never as a file database.
    QString reason;
    auto good = test::TestDocDb::create(DbEngine::SQLite, reason);
    ASSERT_TRUE(good);
    db.D_Close();
    const QString renamed = dir.filePath("real.udl");
    ASSERT_TRUE(QFile::copy(good->path(), renamed));
    expectRefused(renamed);
}

TEST_F(OpenFailures, UnreachableServer) {
    const QString udl = dir.filePath("down.udl");
    writeAll(udl,
             "[oledb]\r\nProvider=PostgreSQL;Data Source=127.0.0.1:1;Initial Catalog=x;"
             "User ID=u;Password=p\r\n");
    expectRefused(udl);
    EXPECT_TRUE(ui.prompter.passwordAsks.isEmpty());
    EXPECT_TRUE(db.lastError().contains(QStringLiteral("接続できません")));
}

TEST_F(OpenFailures, RefusedPasswordAsksOnceAndRetries) {
    ARBOR_REQUIRE_PG(pg);
    {
        QString reason;
        auto doc = test::TestDocDb::create(DbEngine::PostgreSQL, reason);
        ASSERT_TRUE(doc) << reason.toStdString();
        db.D_Close();
        const QString udl = doc->pg()->writeUdl("wrong", "wrong.udl");
        // The right password from the dialog opens it.
        ui.prompter.passwords = {qEnvironmentVariable("ARBOR_TEST_PG_PASSWORD")};
        bool ok = false;
        db.D_StDcDb(udl, ok);
        EXPECT_TRUE(ok) << db.lastError().toStdString();
        EXPECT_EQ(ui.prompter.passwordAsks, QStringList({"wrong.udl"}));
        // An empty answer ends the open.
        ui.prompter.passwordAsks.clear();
        db.D_StDcDb(udl, ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(ui.prompter.passwordAsks.size(), 1);
        // A second wrong password is not asked again.
        ui.prompter.passwordAsks.clear();
        ui.prompter.passwords = {"still wrong"};
        db.D_StDcDb(udl, ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(ui.prompter.passwordAsks.size(), 1);
        EXPECT_FALSE(db.isOpen());
    }
}
