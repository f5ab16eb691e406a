// Many writes in one go, on both engines: everything or nothing, inside or outside a
// transaction of the caller, hostile values and a read-only database.
#include <gtest/gtest.h>

#include <QFile>

#include "db/db_messages.h"
#include "db/write_batch.h"
#include "db/zsvr.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"

using namespace arbor;
using arbor::test::DbEngine;

namespace {

class WriteBatchTest : public ::testing::TestWithParam<DbEngine> {
  protected:
    test::PrompterFixture ui;
    zSvr& db = zSvr::instance();

    QString insertPage(int no, const QString& title) {
        QString sql = "Insert Into msDoc (noDoc, szDoc, boCod, dyUdt) Values (?, '?', 0, ?)";
        db.T_CnvSq(sql, {no, title, SqlNow()});
        return sql;
    }
    int pages() { return db.R_GtVaL("Select Count(*) From msDoc", -1).toInt(); }
    static QString hostile(int i) {
        return QString("O'Reilly's \"本\" ?; DROP TABLE msDoc;-- \\%1").arg(i);
    }
};

}  // namespace

TEST_P(WriteBatchTest, ManyWritesTakeEffectTogether) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    const int n = WriteBatch::kQueueLimit * 2 + 123;  // several runs of the queue
    {
        WriteBatch batch;
        for (int i = 0; i < n; ++i)
            batch.add(insertPage(1001 + i, hostile(i)));
        EXPECT_LT(batch.pending(), WriteBatch::kQueueLimit);
        EXPECT_TRUE(db.inTransaction());
        ASSERT_TRUE(batch.commit()) << db.lastError().toStdString();
        EXPECT_EQ(batch.recordsAffected(), n);
    }
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(pages(), n);
    for (int i : {0, 1, n / 2, n - 1})
        EXPECT_EQ(db.R_GtVaL("Select szDoc From msDoc Where noDoc=" + QString::number(1001 + i), "")
                      .toString(),
                  hostile(i));
    // Dates written through the batch are dates.
    EXPECT_TRUE(db.R_GtVaL("Select Max(dyUdt) From msDoc", QVariant()).toDateTime().isValid());
}

TEST_P(WriteBatchTest, OneFailureUndoesTheWholeBatch) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    WriteBatch batch;
    for (int i = 0; i < WriteBatch::kQueueLimit + 10; ++i)  // the first ones have run already
        batch.add(insertPage(1001 + i, "p"));
    EXPECT_GT(pages(), 0);
    batch.add(insertPage(1001, "twice"));  // duplicate key
    batch.add(insertPage(9000, "after"));
    EXPECT_FALSE(batch.commit());
    EXPECT_TRUE(batch.failed());
    EXPECT_FALSE(db.lastError().isEmpty());
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(pages(), 0);
    // Nothing more goes in through a failed batch, and the connection works on.
    batch.add(insertPage(9001, "late"));
    EXPECT_FALSE(batch.commit());
    EXPECT_TRUE(db.D_ExeSq(insertPage(1001, "fine")));
    EXPECT_EQ(pages(), 1);
}

TEST_P(WriteBatchTest, InsideTheCallersTransactionOnlyTheBatchIsUndone) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    db.D_Tran(0);
    ASSERT_TRUE(db.D_ExeSq(insertPage(1001, "before")));
    {
        WriteBatch batch;
        batch.add(insertPage(1002, "in the batch"));
        batch.add(insertPage(1001, "duplicate"));
        EXPECT_FALSE(batch.commit());
    }
    EXPECT_TRUE(db.inTransaction());
    ASSERT_TRUE(db.D_ExeSq(insertPage(1003, "after"))) << db.lastError().toStdString();
    {
        WriteBatch batch;
        batch.add(insertPage(1004, "kept"));
        EXPECT_TRUE(batch.commit());
        EXPECT_TRUE(db.inTransaction());  // the caller commits
    }
    db.D_Tran(1);
    EXPECT_EQ(db.R_GtVaL("Select Sum(noDoc) From msDoc", 0).toInt(), 1001 + 1003 + 1004);
}

TEST_P(WriteBatchTest, ABatchDroppedWithoutCommitLeavesNothing) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    {
        WriteBatch batch;
        batch.add(insertPage(1001, "a"));
        EXPECT_EQ(pages(), 0);  // queued, not run
        ASSERT_TRUE(batch.flush());
        EXPECT_EQ(pages(), 1);  // a read on the connection sees what ran
    }
    EXPECT_EQ(pages(), 0);
    EXPECT_FALSE(db.inTransaction());
    // An empty batch commits trivially and opens nothing.
    WriteBatch empty;
    EXPECT_TRUE(empty.commit());
    EXPECT_FALSE(db.inTransaction());
}

TEST_P(WriteBatchTest, AStatementThatCannotRunFailsTheBatch) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    WriteBatch batch;
    batch.add(insertPage(1001, "a"));
    batch.add("Update msDoc Set szDoc='x' Where noDoc=?");  // a placeholder left unfilled
    EXPECT_TRUE(batch.failed());
    EXPECT_FALSE(batch.commit());
    EXPECT_EQ(pages(), 0);
}

TEST_P(WriteBatchTest, AReadOnlyDatabaseRefusesTheBatchWithOneMessage) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    ASSERT_TRUE(db.D_ExeSq(insertPage(1001, "keep")));
    if (GetParam() == DbEngine::SQLite) {
        db.D_Close();
        QFile::setPermissions(doc->path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    } else {
        ASSERT_TRUE(doc->pg()->adminExec("ALTER DATABASE " + doc->pg()->name() +
                                         " SET default_transaction_read_only = on"));
    }
    bool ok = false;
    db.D_StDcDb(doc->path(), ok);
    ASSERT_TRUE(ok) << db.lastError().toStdString();
    ui.prompter.messages.clear();
    WriteBatch batch;
    for (int i = 0; i < 3; ++i)
        batch.add(insertPage(2001 + i, "lost"));
    EXPECT_FALSE(batch.commit());
    EXPECT_EQ(ui.prompter.messages, QStringList({msg::readOnlyDatabase()}));
    EXPECT_EQ(pages(), 1);
    if (GetParam() == DbEngine::SQLite)
        QFile::setPermissions(doc->path(), QFile::ReadOwner | QFile::WriteOwner);
}

ARBOR_INSTANTIATE_ENGINES(WriteBatchTest);
