// The database access layer on both engines: every operation, hostile values,
// transactions and read-only databases.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <cmath>

#include "app/program_state.h"
#include "db/db_messages.h"
#include "db/engine.h"
#include "db/zsvr.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"

using namespace arbor;
using arbor::test::DbEngine;

namespace {

class ZSvrTest : public ::testing::TestWithParam<DbEngine> {
  protected:
    test::PrompterFixture ui;
    zSvr& db = zSvr::instance();

    void exec(const QString& sql) {
        bool ok = false;
        int n = 0;
        db.D_ExeSq(sql, ok, n);
        ASSERT_TRUE(ok) << sql.toStdString() << ": " << db.lastError().toStdString();
    }
    void addPage(int no, const QString& title, const QVariant& dyUdt = QVariant()) {
        QString sql = "Insert Into msDoc (noDoc, szDoc, boCod, dyUdt) Values (?, '?', 0, ?)";
        db.T_CnvSq(sql, {no, title, dyUdt.isNull() ? QVariant("Null") : dyUdt});
        exec(sql);
    }
    QString title(int no) {
        return db.R_GtVaL("Select szDoc From msDoc Where noDoc=" + QString::number(no), "<none>")
            .toString();
    }
};

}  // namespace

TEST_P(ZSvrTest, OpenSetsKindNameAndSource) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    EXPECT_TRUE(db.isOpen());
    if (GetParam() == DbEngine::SQLite) {
        EXPECT_TRUE(G().IsJet);
        EXPECT_EQ(G().DbName, "test");
        EXPECT_EQ(db.dataSourceName(), doc->path());
    } else {
        EXPECT_FALSE(G().IsJet);
        EXPECT_EQ(G().DbName, doc->pg()->name());
        EXPECT_FALSE(db.dataSourceName().isEmpty());
    }
    EXPECT_FALSE(db.readOnly());
    EXPECT_FALSE(db.inTransaction());
    db.D_Close();
    EXPECT_TRUE(db.dataSourceName().isEmpty());
    EXPECT_FALSE(db.isOpen());
    // Operations on a closed database report failure and change nothing.
    bool ok = true;
    int n = 0;
    db.D_ExeSq("Delete From msDoc", ok, n);
    EXPECT_FALSE(ok);
    EXPECT_EQ(db.R_GtVaL("Select Count(*) From msDoc", -1), -1);
}

TEST_P(ZSvrTest, HostileTextRoundTripsExactly) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    const QStringList titles = {
        "O'Reilly's \"本\" ?; DROP TABLE msDoc;--",
        "C:\\path\\to\\file \\' \\\\",
        "'; Delete From msDoc Where '1'='1",
        "？全角の疑問符と?半角 ｶﾀｶﾅ 日本語テキスト",
        "#01/01/20# convert(datetime,'x') Select Top 1 ?",
        "%_ like * [x]",
        "tab\tnewline\r\nend",
        "😀 outside the basic plane",
    };
    int no = 1001;
    for (const QString& t : titles)
        addPage(no++, t);
    no = 1001;
    for (const QString& t : titles)
        EXPECT_EQ(title(no++), t);
    EXPECT_EQ(db.R_GtVaL("Select Count(*) From msDoc", 0).toInt(), titles.size());

    // Updates through the placeholder routine keep them as well.
    QString sql = "Update msDoc Set szDoc='?' Where noDoc=?";
    db.T_CnvSq(sql, {QString(titles[0] + titles[1]), 1002});
    exec(sql);
    EXPECT_EQ(title(1002), titles[0] + titles[1]);
    // And a search for hostile text finds exactly the row.
    sql = "Select noDoc From msDoc Where szDoc='?'";
    db.T_CnvSq(sql, {titles[2]});
    EXPECT_EQ(db.R_GtVaL(sql, 0).toInt(), 1003);
}

TEST_P(ZSvrTest, BinaryPageContentRoundTrips) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    QByteArray bytes;
    for (int i = 0; i < 256 * 40; ++i)
        bytes.append(static_cast<char>(i % 256));
    ASSERT_TRUE(db.execBound("Insert Into msDoc (noDoc, szDoc, obDoc) Values (?, ?, ?)",
                             {1001, "bin", bytes}))
        << db.lastError().toStdString();
    const QVariant v = db.R_GtVaL("Select obDoc From msDoc Where noDoc = 1001", QVariant());
    EXPECT_EQ(v.typeId(), QMetaType::QByteArray);
    EXPECT_EQ(v.toByteArray(), bytes);
    // An empty block is not a null one.
    ASSERT_TRUE(db.execBound("Update msDoc Set obDoc=? Where noDoc=?", {QByteArray(""), 1001}));
    const QVariant empty = db.R_GtVaL("Select obDoc From msDoc Where noDoc = 1001", "null");
    EXPECT_EQ(empty.toByteArray(), QByteArray());
}

TEST_P(ZSvrTest, ReadShapes) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    ResultArray rows;
    int count = -1;
    db.R_Ary("Select noDoc, szDoc From msDoc", rows, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(rows.isEmpty());

    addPage(1001, "one");
    exec("Update msDoc Set boCod=1 Where noDoc=1001");
    db.R_Ary("Select noDoc, szDoc, boCod From msDoc", rows, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(rows.fieldCount(), 3);
    EXPECT_EQ(rows(0, 0).toInt(), 1001);
    EXPECT_EQ(rows(1, 0).toString(), "one");
    EXPECT_EQ(rows(2, 0).toInt(), 1);

    // R_GtVaL: null first field and no row both give the default.
    EXPECT_EQ(db.R_GtVaL("Select txDoc From msDoc Where noDoc=1001", "dflt").toString(), "dflt");
    EXPECT_EQ(db.R_GtVaL("Select szDoc From msDoc Where noDoc=9", "dflt").toString(), "dflt");
    EXPECT_EQ(db.R_GtVaL("Select Max(noDoc) From msDoc", 1000).toInt(), 1001);
    // A failing query also gives the default, and says why.
    bool ran = true;
    EXPECT_EQ(db.readValue("Select nothere From msDoc", 7, ran).toInt(), 7);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(db.lastError().isEmpty());

    // R_PAry: the caller's array grows to the field count; nulls are empty.
    QVariantList fields;
    db.R_PAry("Select noDoc, szDoc, txDoc From msDoc Where noDoc=1001", fields);
    ASSERT_EQ(fields.size(), 3);
    EXPECT_EQ(fields[0].toInt(), 1001);
    EXPECT_EQ(fields[1].toString(), "one");
    EXPECT_TRUE(fields[2].isNull());
    fields = {1, 2, 3, 4};
    db.R_PAry("Select noDoc, szDoc From msDoc Where noDoc=5", fields);
    EXPECT_TRUE(fields[0].isNull());
    EXPECT_TRUE(fields[1].isNull());
    EXPECT_EQ(fields[3].toInt(), 4);

    QVariant value, result;
    zSvr::DvNz(value, result);
    EXPECT_EQ(value.toInt(), 0);
    EXPECT_EQ(result.toInt(), 0);
    EXPECT_FALSE(result.isNull());
    value = "x";
    zSvr::DvNz(value, result);
    EXPECT_EQ(result.toString(), "x");
}

TEST_P(ZSvrTest, RecordsetModes) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    for (int no = 1001; no <= 1003; ++no)
        addPage(no, "p" + QString::number(no));

    std::unique_ptr<Recordset> rs;
    bool ok = false;
    db.R_Rset("Select noDoc, szDoc From msDoc Order By noDoc", rs, ok, 0);
    ASSERT_TRUE(ok);
    QStringList seen;
    for (; !rs->eof(); rs->moveNext())
        seen << rs->value("SZDOC").toString();
    EXPECT_EQ(seen, QStringList({"p1001", "p1002", "p1003"}));
    EXPECT_FALSE(rs->setValue(1, "x"));  // read once, no editing
    rs->close();

    // Mode 1: edit rows and add a row; both reach the table.
    db.R_Rset("Select noDoc, szDoc, wkRnd From msDoc Where noDoc >= 1002 Order By noDoc", rs, ok,
              1);
    ASSERT_TRUE(ok);
    ASSERT_FALSE(rs->eof());
    ASSERT_TRUE(rs->setValue("szDoc", "it's \"edited\" ?"));
    ASSERT_TRUE(rs->setValue("wkRnd", 12345.5));
    ASSERT_TRUE(rs->update()) << rs->lastError().toStdString();
    ASSERT_TRUE(rs->setValue("wkRnd", 777.0));  // a second change of the same row
    ASSERT_TRUE(rs->update()) << rs->lastError().toStdString();
    ASSERT_TRUE(rs->addNew());
    rs->setValue("noDoc", 1010);
    rs->setValue("szDoc", "新規ﾍﾟｰｼﾞ");
    ASSERT_TRUE(rs->update()) << rs->lastError().toStdString();
    EXPECT_EQ(rs->value("noDoc").toInt(), 1010);
    rs->close();
    EXPECT_EQ(title(1002), "it's \"edited\" ?");
    EXPECT_EQ(db.R_GtVaL("Select wkRnd From msDoc Where noDoc=1002", 0).toDouble(), 777.0);
    EXPECT_EQ(title(1003), "p1003");
    EXPECT_EQ(title(1010), "新規ﾍﾟｰｼﾞ");

    // Mode 2 moves both ways.
    db.R_Rset("Select noDoc From msDoc Order By noDoc", rs, ok, 2);
    ASSERT_TRUE(ok);
    EXPECT_EQ(rs->recordCount(), 4);
    rs->moveLast();
    EXPECT_EQ(rs->value(0).toInt(), 1010);
    rs->movePrevious();
    EXPECT_EQ(rs->value(0).toInt(), 1003);
    rs->moveFirst();
    EXPECT_EQ(rs->value(0).toInt(), 1001);

    // Other modes open nothing and succeed; a bad statement fails.
    db.R_Rset("Select noDoc From msDoc", rs, ok, 7);
    EXPECT_TRUE(ok);
    EXPECT_EQ(rs, nullptr);
    db.R_Rset("Select nosuch From msDoc", rs, ok, 1);
    EXPECT_FALSE(ok);
}

TEST_P(ZSvrTest, RecordsetWritesBackByKeyOrRow) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    addPage(1001, "a");
    // Two placements share the child; only the edited one changes.
    exec("Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk) Values (0, 1001, 0, 'top', 0)");
    exec(
        "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk) Values (1001, 1001, 0, 'self', 1)");
    std::unique_ptr<Recordset> rs;
    bool ok = false;
    db.R_Rset("Select szDoc From tbTree Where noLfP=1001 And noLfC=1001", rs, ok, 1);
    ASSERT_TRUE(ok);
    ASSERT_FALSE(rs->eof());
    rs->setValue(0, "renamed");
    ASSERT_TRUE(rs->update()) << rs->lastError().toStdString();
    EXPECT_EQ(db.R_GtVaL("Select szDoc From tbTree Where noLfP=0 And noLfC=1001", "").toString(),
              "top");
    EXPECT_EQ(db.R_GtVaL("Select szDoc From tbTree Where noLfP=1001 And noLfC=1001", "").toString(),
              "renamed");

    // The settings row has no key of its own.
    db.R_Rset("Select HsPub, HiHome From kaUsr", rs, ok, 1);
    ASSERT_TRUE(ok);
    ASSERT_EQ(rs->recordCount(), 1);
    rs->setValue("HsPub", "pc-1");
    ASSERT_TRUE(rs->update()) << rs->lastError().toStdString();
    rs->setValue("HiHome", 3);
    ASSERT_TRUE(rs->update()) << rs->lastError().toStdString();
    EXPECT_EQ(db.R_GtVaL("Select HsPub From kaUsr", "").toString(), "pc-1");
    EXPECT_EQ(db.R_GtVaL("Select HiHome From kaUsr", 0).toInt(), 3);

    // A join can be walked but not written.
    db.R_Rset("Select T.szDoc, D.szDoc From tbTree T, msDoc D Where T.noLfC = D.noDoc", rs, ok, 1);
    ASSERT_TRUE(ok);
    EXPECT_EQ(rs->recordCount(), 2);
    EXPECT_FALSE(rs->setValue(0, "x"));

    // Writing after the database was closed fails cleanly.
    db.R_Rset("Select szDoc From msDoc", rs, ok, 1);
    ASSERT_TRUE(ok);
    db.D_Close();
    rs->setValue(0, "late");
    EXPECT_FALSE(rs->update());
}

TEST_P(ZSvrTest, TransactionsCommitAndRollBack) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    db.D_Tran(0);
    EXPECT_TRUE(db.inTransaction());
    addPage(1001, "gone");
    // A failing statement inside does not spoil the rest of the transaction.
    EXPECT_FALSE(db.D_ExeSq("Insert Into msDoc (noDoc) Values (1001)"));  // duplicate key
    addPage(1002, "also gone");
    db.D_Tran(2);
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(db.R_GtVaL("Select Count(*) From msDoc", -1).toInt(), 0);

    db.D_Tran(0);
    addPage(1001, "kept");
    EXPECT_FALSE(db.D_ExeSq("Insert Into msDoc (noDoc) Values (1001)"));
    addPage(1002, "kept too");
    db.D_Tran(1);
    EXPECT_EQ(db.R_GtVaL("Select Count(*) From msDoc", -1).toInt(), 2);
    db.D_Tran(5);
    EXPECT_FALSE(db.inTransaction());
}

TEST_P(ZSvrTest, DatesFromSqlNowBehaveAsDates) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    const QString now = SqlNow();
    if (GetParam() == DbEngine::SQLite)
        EXPECT_TRUE(
            QRegularExpression(R"(^#\d\d/\d\d/\d\d \d\d:\d\d:\d\d#$)").match(now).hasMatch())
            << now.toStdString();
    else
        EXPECT_TRUE(QRegularExpression(R"(^convert\(datetime,'\d{4}/\d\d/\d\d \d\d:\d\d:\d\d'\)$)")
                        .match(now)
                        .hasMatch())
            << now.toStdString();
    const QDateTime t1(QDate(2023, 12, 31), QTime(23, 59, 58));
    const QDateTime t2(QDate(2024, 1, 1), QTime(0, 0, 1));
    addPage(1001, "old", SqlDateLiteral(t1, G().IsJet));
    addPage(1002, "new", SqlDateLiteral(t2, G().IsJet));
    addPage(1003, "never");
    const QVariant max = db.R_GtVaL("Select Max(dyUdt) From msDoc", QVariant());
    EXPECT_EQ(max.toDateTime(), t2);
    EXPECT_EQ(db.R_GtVaL("Select dyUdt From msDoc Where noDoc=1001", QVariant()).toDateTime(), t1);
    // Null first ascending, as the file database orders.
    ResultArray rows;
    ASSERT_TRUE(db.readRows("Select noDoc From msDoc Order By dyUdt", rows));
    ASSERT_EQ(rows.rowCount(), 3);
    EXPECT_EQ(rows(0, 0).toInt(), 1003);
    EXPECT_EQ(rows(0, 2).toInt(), 1002);
    ASSERT_TRUE(db.readRows("Select noDoc From msDoc Order By dyUdt Desc", rows));
    EXPECT_EQ(rows(0, 0).toInt(), 1002);
    EXPECT_EQ(rows(0, 2).toInt(), 1003);
    // Comparison with a literal works as a date, across the year.
    QString sql = "Select Count(*) From msDoc Where dyUdt > ?";
    db.T_CnvSq(sql, {SqlDateLiteral(QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59)), G().IsJet)});
    EXPECT_EQ(db.R_GtVaL(sql, -1).toInt(), 1);
    // The current time arrives as today.
    exec("Update msDoc Set dyUdt=" + SqlNow() + " Where noDoc=1003");
    const QDateTime stored =
        db.R_GtVaL("Select dyUdt From msDoc Where noDoc=1003", QVariant()).toDateTime();
    EXPECT_LE(qAbs(stored.secsTo(QDateTime::currentDateTime())), 5);
}

TEST_P(ZSvrTest, StampTreeDateStampsTheChosenColumn) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    addPage(1001, "a");
    exec("Insert Into tbTree (noLfP, noLfC, inSrt, szDoc) Values (0, 1001, 0, 'a')");
    bool ok = false;
    StampTreeDate(0, 1001, ok, false);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(db.R_GtVaL("Select dyUdt From tbTree Where noLfP=0 And noLfC=1001", QVariant())
                    .toDateTime()
                    .isValid());
    EXPECT_TRUE(
        db.R_GtVaL("Select dyPub From tbTree Where noLfP=0 And noLfC=1001", QVariant()).isNull());
    StampTreeDate(0, 1001, ok, true);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(db.R_GtVaL("Select dyPub From tbTree Where noLfP=0 And noLfC=1001", QVariant())
                    .toDateTime()
                    .isValid());
}

TEST_P(ZSvrTest, LikeIgnoresCaseAndHasNoEscapeCharacter) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    addPage(1001, "Hello World");
    addPage(1002, "ＡＢＣ全角");
    addPage(1003, "back\\slash 50%");
    auto count = [&](const QString& pattern) {
        QString sql = "Select Count(*) From msDoc Where szDoc Like '?'";
        db.T_CnvSq(sql, {pattern});
        bool ran = false;
        const int n = db.readValue(sql, -1, ran).toInt();
        EXPECT_TRUE(ran) << db.lastError().toStdString();
        return n;
    };
    EXPECT_EQ(count("%hello%"), 1);
    EXPECT_EQ(count("HELLO_WORLD"), 1);
    EXPECT_EQ(count("%ａｂｃ%"), 1);
    EXPECT_EQ(count("%k\\s%"), 1);
    EXPECT_EQ(count("%50\\%"), 0);
    EXPECT_EQ(count("%"), 3);
}

TEST_P(ZSvrTest, ReadOnlyDatabaseRefusesWritesWithOneMessage) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    addPage(1001, "keep");
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
    EXPECT_TRUE(db.readOnly());
    ui.prompter.messages.clear();
    int n = 0;
    db.D_ExeSq("Update msDoc Set szDoc='lost' Where noDoc=1001", ok, n);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ui.prompter.messages, QStringList({msg::readOnlyDatabase()}));
    EXPECT_EQ(title(1001), "keep");
    bool readOnly = false;
    db.DbRead(readOnly);
    EXPECT_TRUE(readOnly);
    // Recordset writes are refused as well.
    std::unique_ptr<Recordset> rs;
    db.R_Rset("Select szDoc From msDoc", rs, ok, 1);
    ASSERT_TRUE(ok);
    rs->setValue(0, "lost");
    EXPECT_FALSE(rs->update());
    EXPECT_EQ(title(1001), "keep");
    if (GetParam() == DbEngine::SQLite)
        QFile::setPermissions(doc->path(), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_P(ZSvrTest, OpenHookDecidesAndAFailedOpenLeavesNothingOpen) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    int calls = 0;
    zSvr::setOpenHook([&] {
        ++calls;
        return false;
    });
    bool ok = true;
    db.D_StDcDb(doc->path(), ok);
    zSvr::setOpenHook(nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(db.isOpen());
    EXPECT_TRUE(db.dataSourceName().isEmpty());
    EXPECT_TRUE(db.lastError().contains(msg::formatsUnreadable()));
    db.D_StDcDb(doc->path(), ok);
    EXPECT_TRUE(ok);
}

TEST_P(ZSvrTest, DatabaseWithoutTablesIsRefused) {
    ARBOR_OPEN_DOCDB(doc, GetParam(), false);
    bool ok = true;
    zSvr::instance().D_StDcDb(doc->path(), ok);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(zSvr::instance().isOpen());
    EXPECT_FALSE(zSvr::instance().lastError().isEmpty());
}

TEST_P(ZSvrTest, StatementsAreCompiledOnceWhateverTheValues) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    const QStringList hostile = {
        "O'Reilly's \"本\" ?; DROP TABLE msDoc;--",
        "C:\\dir\\ \\' end\\",
        "？と?と''",
        "日本語テキスト",
        "#01/01/20# convert(datetime,'x') Select Top 1 ?",
    };
    const StatementCacheStats before = db.statementCacheStats();
    for (int i = 0; i < 30; ++i)
        addPage(2000 + i, hostile[i % hostile.size()] + QString::number(i));
    for (int i = 0; i < 30; ++i) {
        QString sql = "Update msDoc Set szDoc='?' Where noDoc=?";
        db.T_CnvSq(
            sql, {QString(hostile[(i + 1) % hostile.size()] + "#" + QString::number(i)), 2000 + i});
        exec(sql);
    }
    const StatementCacheStats after = db.statementCacheStats();
    // One insert and one update; the server sees each text once before it keeps it.
    EXPECT_LE(after.compiled - before.compiled, 2);
    EXPECT_GE(after.reused - before.reused, 56);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(title(2000 + i), hostile[(i + 1) % hostile.size()] + "#" + QString::number(i));
    // A value found again through a reused query.
    for (int i = 0; i < 3; ++i) {
        QString sql = "Select noDoc From msDoc Where szDoc='?'";
        db.T_CnvSq(sql, {QString(hostile[(i + 1) % hostile.size()] + "#" + QString::number(i))});
        EXPECT_EQ(db.R_GtVaL(sql, 0).toInt(), 2000 + i);
    }
}

TEST_P(ZSvrTest, BoundNumbersCompareAsNumbersAndTextAsText) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    addPage(1001, "10");
    addPage(1002, "9");
    exec("Update msDoc Set wkRnd=2.5 Where noDoc=1001");
    auto count = [&](const QString& where) {
        bool ran = false;
        const int n = db.readValue("Select Count(*) From msDoc Where " + where, -1, ran).toInt();
        EXPECT_TRUE(ran) << where.toStdString() << ": " << db.lastError().toStdString();
        return n;
    };
    EXPECT_EQ(count("10 > 9"), 2);
    EXPECT_EQ(count("'10' > '9'"), 0);
    EXPECT_EQ(count("noDoc > 1001.5"), 1);
    EXPECT_EQ(count("wkRnd = 2.5"), 1);
    EXPECT_EQ(count("noDoc = '1002'"), 1);  // text where a number stands reads as a number
    EXPECT_EQ(count("szDoc = '9' And noDoc - 1 = 1001"), 1);
    EXPECT_EQ(count("noDoc = -(-1001)"), 1);
    QString sql = "Select Count(*) From msDoc Where noDoc In ( ? )";
    db.T_CnvSq(sql, {"1001, 1002, 7"});
    EXPECT_EQ(db.R_GtVaL(sql, -1).toInt(), 2);
}

TEST_P(ZSvrTest, KeptStatementsStayFewAndWorkAfterBeingDropped) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    addPage(1001, "a");
    const int texts = 300;  // more than either engine keeps
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < texts; ++i)
            EXPECT_EQ(
                db.R_GtVaL(QString("Select Count(*) As n%1 From msDoc Where noDoc > 5").arg(i), -1)
                    .toInt(),
                1);
    const StatementCacheStats stats = db.statementCacheStats();
    EXPECT_GT(stats.kept, 0);
    EXPECT_LE(stats.kept, 256);
    if (GetParam() == DbEngine::PostgreSQL) {
        // The server holds no more than the cache does (one drop may still be on its way).
        EXPECT_LE(db.R_GtVaL("Select Count(*) From pg_prepared_statements", 999).toInt(),
                  stats.kept + 1);
    }
    // The first texts were dropped long ago and run again.
    EXPECT_EQ(db.R_GtVaL("Select Count(*) As n0 From msDoc Where noDoc > 5", -1).toInt(), 1);
    EXPECT_EQ(db.R_GtVaL("Select Count(*) As n0 From msDoc Where noDoc > 5000", -1).toInt(), 0);
}

ARBOR_INSTANTIATE_ENGINES(ZSvrTest);

TEST(NewWkRnd, RangeFollowsTheInstallationNumber) {
    for (int i = 0; i < 200; ++i) {
        const double v = NewWkRnd();
        EXPECT_GT(v, 0.0);
        EXPECT_LT(v, 4294967296.0);
        EXPECT_EQ(v, std::floor(v));  // whole, so it survives being written without decimals
    }
    setInstallationNumber(3);
    const double v = NewWkRnd();
    setInstallationNumber(0);
    EXPECT_GE(v, 3 * 4294967296.0);
    EXPECT_LT(v, 4 * 4294967296.0);
    EXPECT_NE(NewWkRnd(), NewWkRnd());
}

TEST(SqlDateLiteral, BothDialects) {
    const QDateTime t(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(SqlDateLiteral(t, true), "#03/05/24 14:07:09#");
    EXPECT_EQ(SqlDateLiteral(t, false), "convert(datetime,'2024/03/05 14:07:09')");
}
