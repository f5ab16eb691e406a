// The document database schema: keys that hold the invariants, the document-database
// test, the upgrade, numbers, identities, the link-flag rebuild and the template.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/program_state.h"
#include "db/db_messages.h"
#include "db/schema.h"
#include "db/sqlite_engine.h"
#include "db/zsvr.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"

using namespace arbor;
using arbor::test::DbEngine;

namespace {

const QString kSchema = QStringLiteral(ARBOR_TEST_APDATA "schema.sql");

class SchemaTest : public ::testing::TestWithParam<DbEngine> {
  protected:
    test::PrompterFixture ui;
    zSvr& db = zSvr::instance();

    void exec(const QString& sql) {
        ASSERT_TRUE(db.D_ExeSq(sql)) << sql.toStdString() << ": " << db.lastError().toStdString();
    }
    void page(int no, int boPng = 0) {
        exec(QString("Insert Into msDoc (noDoc, szDoc, boPng) Values (%1, 'p%1', %2)")
                 .arg(no)
                 .arg(boPng));
    }
    void place(int parent, int child, int order, int boLnk, const QString& when = {}) {
        QString sql =
            "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, dyUdt) Values (?, ?, ?, 'x', "
            "?, ?)";
        db.T_CnvSq(sql, {parent, child, order, boLnk,
                         when.isEmpty() ? QString("Null")
                                        : SqlDateLiteral(QDateTime::fromString(when, Qt::ISODate),
                                                         G().IsJet)});
        exec(sql);
    }
    void png(int no, int value) {
        exec(QString("Insert Into tbHtm (noDoc, inPng) Values (%1, %2)").arg(no).arg(value));
    }
    int link(int parent, int child) {
        return db
            .R_GtVaL(QString("Select boLnk From tbTree Where noLfP=%1 And noLfC=%2")
                         .arg(parent)
                         .arg(child),
                     -1)
            .toInt();
    }
    int boPng(int no) {
        return db.R_GtVaL(QString("Select boPng From msDoc Where noDoc=%1").arg(no), -1).toInt();
    }
};

}  // namespace

TEST_P(SchemaTest, KeysRefuseDuplicates) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    page(1001);
    EXPECT_FALSE(db.D_ExeSq("Insert Into msDoc (noDoc, szDoc) Values (1001, 'again')"));
    page(1002);
    place(0, 1001, 0, 0);
    place(1001, 1002, 0, 0);
    EXPECT_FALSE(db.D_ExeSq("Insert Into tbTree (noLfP, noLfC, inSrt) Values (1001, 1002, 5)"));
    // The same page under another parent is a further placement.
    place(0, 1002, 1, 1);
    exec("Insert Into msDic (skDic, szDic) Values ('語', 'a')");
    EXPECT_FALSE(db.D_ExeSq("Insert Into msDic (skDic, szDic) Values ('語', 'b')"));
    EXPECT_EQ(db.R_GtVaL("Select Count(*) From tbTree", 0).toInt(), 3);
}

TEST_P(SchemaTest, DocumentDatabaseTest) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    EXPECT_TRUE(ChkDocDb());
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
    // A settings table without its row is not a document database.
    exec("Delete From kaUsr");
    EXPECT_FALSE(ChkDocDb());
    EXPECT_EQ(ui.prompter.messages, QStringList({msg::notDocumentDatabase()}));
}

TEST_P(SchemaTest, UpgradeAddsTheLaterColumnsOnce) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    // An old database: without the four later columns.
    for (const char* column : {"saTgs", "txHd", "txBd", "dyHtm"})
        exec(QString("Alter Table msDoc Drop Column %1").arg(column));
    page(1001);
    bool ran = true;
    db.readValue("Select saTgs From msDoc", QVariant(), ran);
    EXPECT_FALSE(ran);
    // The site build's test for an old database gives 0 when the column is missing.
    EXPECT_EQ(db.R_GtVaL("Select Count(*) From msDoc Where txBd<>''", 0).toInt(), 0);
    UpgradeDb();
    exec("Update msDoc Set saTgs='.1002.', txHd='h', txBd='b', dyHtm=" + SqlNow() +
         " Where noDoc=1001");
    EXPECT_EQ(db.R_GtVaL("Select saTgs From msDoc Where noDoc=1001", "").toString(), ".1002.");
    EXPECT_TRUE(db.R_GtVaL("Select dyHtm From msDoc", QVariant()).toDateTime().isValid());
    // Twice: nothing changes, nothing is shown, the data stays.
    UpgradeDb();
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
    EXPECT_EQ(db.R_GtVaL("Select txBd From msDoc Where noDoc=1001", "").toString(), "b");
    EXPECT_EQ(db.R_GtVaL("Select Count(*) From msDoc Where txBd<>''", 0).toInt(), 1);
}

TEST_P(SchemaTest, PageNumbersAndIdentities) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    EXPECT_EQ(NextDocNo(), 1001);
    page(1001);
    page(1005);
    EXPECT_EQ(NextDocNo(), 1006);

    exec("Update msDoc Set wkRnd=0 Where noDoc=1001");  // 1005 keeps Null
    page(1007);
    exec("Update msDoc Set wkRnd=123456 Where noDoc=1007");
    FillWkRnd();
    const double a = db.R_GtVaL("Select wkRnd From msDoc Where noDoc=1001", 0).toDouble();
    const double b = db.R_GtVaL("Select wkRnd From msDoc Where noDoc=1005", 0).toDouble();
    EXPECT_NE(a, 0.0);
    EXPECT_NE(b, 0.0);
    EXPECT_NE(a, b);
    EXPECT_EQ(db.R_GtVaL("Select wkRnd From msDoc Where noDoc=1007", 0).toDouble(), 123456.0);
    EXPECT_EQ(
        db.R_GtVaL("Select Count(*) From msDoc Where (wkRnd=0) or (wkRnd is Null)", -1).toInt(), 0);
}

TEST_P(SchemaTest, RebuildMakesOneHomePlacementPerPage) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    for (int no : {1001, 1002, 1003, 1004})
        page(no);
    place(0, 1001, 0, 0, "2024-01-01T00:00:00");
    place(0, 1002, 1, 0, "2024-01-01T00:00:00");
    // 1003 is placed three times, all as links: the earliest becomes home.
    place(1001, 1003, 0, 1, "2024-05-01T10:00:00");
    place(1002, 1003, 0, 1, "2024-03-01T10:00:00");
    place(0, 1003, 2, 1, "2024-04-01T10:00:00");
    // 1004 has two homes: the earlier keeps it, even before a link that is older.
    place(1001, 1004, 1, 0, "2024-02-01T00:00:00");
    place(1002, 1004, 1, 0, "2024-06-01T00:00:00");
    place(0, 1004, 3, 1, "2023-01-01T00:00:00");
    RebuildLinkFlags(false);
    EXPECT_EQ(link(1002, 1003), 0);
    EXPECT_EQ(link(1001, 1003), 1);
    EXPECT_EQ(link(0, 1003), 1);
    EXPECT_EQ(link(1001, 1004), 0);
    EXPECT_EQ(link(1002, 1004), 1);
    EXPECT_EQ(link(0, 1004), 1);
    EXPECT_EQ(link(0, 1001), 0);
    for (int no : {1001, 1002, 1003, 1004})
        EXPECT_EQ(
            db.R_GtVaL(QString("Select Count(*) From tbTree Where boLnk=0 And noLfC=%1").arg(no), 0)
                .toInt(),
            1)
            << no;
    // Without pictures the picture flags stay as they were.
    EXPECT_EQ(boPng(1001), 0);
}

TEST_P(SchemaTest, RebuildInheritsThePictureFormatDownTheTree) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    // top(1001, PNG) -> 1002 (follows) -> 1004 (follows)
    //                -> 1003 (JPEG)    -> 1005 (follows)
    // 1006 is not reachable from the top and keeps its flag; 1007/1008 form a cycle below 1002.
    for (int no : {1001, 1002, 1003, 1004, 1005, 1007, 1008})
        page(no);
    page(1006, 1);
    place(0, 1001, 0, 0);
    place(1001, 1002, 0, 0);
    place(1001, 1003, 1, 0);
    place(1002, 1004, 0, 0);
    place(1003, 1005, 0, 0);
    place(1002, 1007, 1, 0);
    place(1007, 1008, 0, 0);
    place(1008, 1007, 0, 1);
    png(1001, 2);
    png(1003, 1);
    png(1006, 2);
    RebuildLinkFlags(true);
    EXPECT_EQ(boPng(1001), 1);
    EXPECT_EQ(boPng(1002), 1);
    EXPECT_EQ(boPng(1004), 1);
    EXPECT_EQ(boPng(1003), 0);
    EXPECT_EQ(boPng(1005), 0);
    EXPECT_EQ(boPng(1007), 1);
    EXPECT_EQ(boPng(1008), 1);
    EXPECT_EQ(boPng(1006), 1);
    // A second top-level page inherits the first top page's format as the start.
    page(1010);
    place(0, 1010, 1, 0);
    exec("Update tbHtm Set inPng=1 Where noDoc=1001");
    RebuildLinkFlags(true);
    EXPECT_EQ(boPng(1010), 0);
    EXPECT_EQ(boPng(1002), 0);
}

ARBOR_INSTANTIATE_ENGINES(SchemaTest);

TEST(TemplateDb, MadeOnceWithTheFormatsAndOpensAsADocumentDatabase) {
    test::PrompterFixture ui;
    QTemporaryDir user;
    const QString userPath = user.path() + "/";
    bool created = false;
    QString error;
    ASSERT_TRUE(ensureTemplateDb(userPath, kSchema, "<USR_LSP>1.2</USR_LSP>\r", created, error))
        << error.toStdString();
    EXPECT_TRUE(created);
    const QString moto = userPath + "Dbs/Moto.txdb";
    ASSERT_TRUE(QFileInfo::exists(moto));
    EXPECT_EQ(QDir(userPath + "Dbs").entryList(QDir::Files), QStringList({"Moto.txdb"}));

    bool ok = false;
    zSvr::instance().D_StDcDb(moto, ok);
    ASSERT_TRUE(ok) << zSvr::instance().lastError().toStdString();
    EXPECT_TRUE(ChkDocDb());
    EXPECT_EQ(zSvr::instance().R_GtVaL("Select DmFmt From kaUsr", "").toString(),
              "<USR_LSP>1.2</USR_LSP>\r");
    EXPECT_EQ(zSvr::instance().R_GtVaL("Select Count(*) From kaUsr", 0).toInt(), 1);
    for (const char* table : {"msDoc", "tbTree", "tbHtm", "msDic"})
        EXPECT_EQ(
            zSvr::instance().R_GtVaL(QString("Select Count(*) From %1").arg(table), -1).toInt(), 0);
    zSvr::instance().D_Close();

    // An existing template is left alone, even one the user changed.
    QFile f(moto);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("x");
    f.close();
    const qint64 size = QFileInfo(moto).size();
    ASSERT_TRUE(ensureTemplateDb(userPath, kSchema, "other", created, error));
    EXPECT_FALSE(created);
    EXPECT_EQ(QFileInfo(moto).size(), size);
}

TEST(TemplateDb, FailuresLeaveNoHalfMadeFile) {
    QTemporaryDir dir;
    QString error;
    // A missing schema file.
    bool created = true;
    EXPECT_FALSE(ensureTemplateDb(dir.path() + "/", dir.path() + "/none.sql", "", created, error));
    EXPECT_FALSE(created);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/Dbs/Moto.txdb"));
    // A schema that fails half way rolls back and removes its work file.
    QStringList broken = readSchemaStatements(kSchema, error);
    broken.insert(2, "Create Table msDoc (again Long)");
    EXPECT_FALSE(createDocumentDbFile(dir.path() + "/b.txdb", broken, "", error));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
    // An existing file is never replaced.
    QFile keep(dir.path() + "/keep.txdb");
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("mine");
    keep.close();
    EXPECT_FALSE(createDocumentDbFile(dir.path() + "/keep.txdb",
                                      readSchemaStatements(kSchema, error), "", error));
    ASSERT_TRUE(keep.open(QIODevice::ReadOnly));
    EXPECT_EQ(keep.readAll(), "mine");
}
