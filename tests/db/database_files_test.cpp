// Operations on whole document databases, on real files (and the open database on
// both engines where the operation works on either).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/program_state.h"
#include "app/yini.h"
#include "db/database_files.h"
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

class RecordingHost : public DatabaseHost {
  public:
    QStringList calls;
    bool release = true;
    bool releaseCurrentPage() override {
        calls << "release";
        return release;
    }
    void clearTreeAndEditor() override { calls << "clear"; }
    void loadTree() override { calls << "load"; }
    void saveTreeState() override { calls << "saveTree"; }
    void setCaption(const QString& c) override { calls << "caption:" + c; }
    void refreshMenus() override { calls << "menus"; }
    void clipboardCleared() override { calls << "clipboard"; }
    void refreshNode(int page, int boCod) override {
        calls << QString("node:%1:%2").arg(page).arg(boCod);
    }
};

// A user data folder with the template database, and a place for other files.
class DatabaseFilesTest : public ::testing::Test {
  protected:
    test::PrompterFixture ui;
    QTemporaryDir user;
    RecordingHost host;
    DatabaseFiles files{host};
    zSvr& db = zSvr::instance();
    QString savedUserPath = G().UserPath;

    void SetUp() override {
        G().UserPath = user.path() + "/";
        QDir().mkpath(user.path() + "/Site");
        bool created = false;
        QString error;
        ASSERT_TRUE(ensureTemplateDb(G().UserPath, kSchema, "", created, error))
            << error.toStdString();
    }
    void TearDown() override {
        db.D_Close();
        G().UserPath = savedUserPath;
    }
    QString newDb(const QString& name) {
        QString error;
        const QString path = user.filePath(name);
        EXPECT_TRUE(createDocumentDbFile(path, readSchemaStatements(kSchema, error), "", error))
            << error.toStdString();
        return path;
    }
    void exec(const QString& sql) {
        ASSERT_TRUE(db.D_ExeSq(sql)) << sql.toStdString() << ": " << db.lastError().toStdString();
    }
    void page(int no, const QString& title, double identity = 0) {
        QString sql = "Insert Into msDoc (noDoc, szDoc, wkRnd, dyUdt) Values (?, '?', ?, ?)";
        db.T_CnvSq(sql, {no, title, identity == 0 ? 1000.0 * no : identity,
                         SqlDateLiteral(QDateTime(QDate(2024, 1, 1), QTime(12, 0)), G().IsJet)});
        exec(sql);
    }
    void place(int parent, int child, int order, const QString& label = "x") {
        QString sql =
            "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk) Values (?, ?, ?, '?', 0)";
        db.T_CnvSq(sql, {parent, child, order, label});
        exec(sql);
    }
    int count(const QString& sql) { return db.R_GtVaL(sql, -1).toInt(); }
    QString title(int no) {
        return db.R_GtVaL("Select szDoc From msDoc Where noDoc=" + QString::number(no), "<none>")
            .toString();
    }
};

}  // namespace

TEST(RecentDatabasesList, NewestFirstElevenAtMostNineSaved) {
    test::PrompterFixture ui;
    QTemporaryDir dir;
    RecentDatabases list;
    for (int i = 1; i <= 13; ++i)
        list.add(QString("/d/%1.txdb").arg(i));
    ASSERT_EQ(list.paths().size(), RecentDatabases::kMaxItems);
    EXPECT_EQ(list.paths().first(), "/d/13.txdb");
    EXPECT_EQ(list.caption(0), "1./d/13.txdb");
    EXPECT_EQ(RecentDatabases::pathOfCaption("10. /d/4.txdb "), "/d/4.txdb");
    // A listed path keeps its place.
    list.add("/d/9.txdb");
    EXPECT_EQ(list.paths().first(), "/d/13.txdb");

    // Saved: nine; loaded: those whose files exist, relative ones under the user folder.
    QDir().mkpath(dir.filePath("Dbs"));
    for (const char* f : {"Dbs/a.txdb", "b.txdb"}) {
        QFile file(dir.filePath(f));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    yIni ini;
    bool ok = false;
    ini.GetTxt(dir.filePath("User.xml"), ok);
    ini.GetGtx("最近");
    ini.SetVal("1.", "Dbs/a.txdb");
    ini.SetVal("2.", dir.filePath("gone.txdb"));
    ini.SetVal("3.", dir.filePath("b.txdb"));
    ini.SetGtx();
    RecentDatabases loaded;
    loaded.load(ini, dir.path() + "/");
    EXPECT_EQ(loaded.paths(), QStringList({dir.filePath("Dbs/a.txdb"), dir.filePath("b.txdb")}));
    list.hide("/d/13.txdb");
    list.save(ini);
    RecentDatabases again;
    again.load(ini, "/");
    ini.GetGtx("最近");
    EXPECT_EQ(ini.vGtVal("1.", QString()).toString(), "/d/12.txdb");
    EXPECT_EQ(ini.vGtVal("9.", QString()).toString(), "/d/4.txdb");
    EXPECT_TRUE(ini.vGtVal("10.", QString()).toString().isEmpty());
}

TEST_F(DatabaseFilesTest, OpenAsksBeforeTheTemplateAndKeepsTheRecentOrder) {
    const QString a = newDb("a.txdb");
    const QString b = newDb("b.txdb");
    ASSERT_TRUE(files.OpenDocDb(a));
    ASSERT_TRUE(files.OpenDocDb(" " + b + " "));
    EXPECT_EQ(files.recent().paths(), QStringList({b, a}));
    ASSERT_TRUE(files.OpenDocDb(a));
    EXPECT_EQ(files.recent().paths(), QStringList({b, a}));
    EXPECT_EQ(files.currentPath(), a);
    EXPECT_TRUE(host.calls.contains("caption:" + a));

    // The template: Cancel leaves the current database open.
    ui.prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(files.OpenDocDb(files.templatePath()));
    EXPECT_TRUE(ui.prompter.messages.last().contains("は新規ﾃﾞｰﾀｰﾍﾞｰｽの雛形です\n\n"));
    EXPECT_EQ(db.dataSourceName(), a);
    // A missing file does nothing at all.
    EXPECT_FALSE(files.OpenDocDb(user.filePath("none.txdb")));
    EXPECT_EQ(db.dataSourceName(), a);
}

TEST_F(DatabaseFilesTest, AForeignFileIsReportedAndLeavesNothingOpen) {
    const QString a = newDb("a.txdb");
    ASSERT_TRUE(files.OpenDocDb(a));
    const QString foreign = user.filePath("foreign.txdb");
    QFile f(foreign);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a database");
    f.close();
    ui.prompter.messages.clear();
    host.calls.clear();
    EXPECT_FALSE(files.OpenDocDb(foreign));
    ASSERT_EQ(ui.prompter.messages.size(), 1);
    EXPECT_TRUE(ui.prompter.messages[0].startsWith(msg::openError()));
    EXPECT_FALSE(db.isOpen());
    EXPECT_TRUE(files.currentPath().isEmpty());
    EXPECT_TRUE(host.calls.contains("clear"));
    EXPECT_TRUE(host.calls.contains("caption:"));
    // A SQLite file without the settings row: the document-database message.
    const QString other = newDb("other.txdb");
    {
        QString error;
        auto e = SqliteEngine::open(other, error);
        qint64 n = 0;
        ASSERT_TRUE(e->exec("DELETE FROM kaUsr", {}, n, error));
    }
    ui.prompter.messages.clear();
    EXPECT_FALSE(files.OpenDocDb(other));
    EXPECT_EQ(ui.prompter.messages, QStringList({msg::notDocumentDatabase()}));
    EXPECT_FALSE(db.isOpen());
    files.recent().add(foreign);
    files.recent().hide(foreign);
    EXPECT_TRUE(files.recent().isHidden(0));
}

TEST_F(DatabaseFilesTest, NewDatabaseFromTheTemplateWithItsSiteFolder) {
    QDir().mkpath(user.filePath("Site/Moto/css"));
    QFile css(user.filePath("Site/Moto/css/site.css"));
    ASSERT_TRUE(css.open(QIODevice::WriteOnly));
    css.write("body{}");
    css.close();
    const QString path = user.filePath("a.b.txdb");
    ui.prompter.files = {path};
    ASSERT_TRUE(files.NewDocDb());
    // The folder the site build writes into (DbName), not "a".
    EXPECT_EQ(G().DbName, "a.b");
    EXPECT_TRUE(QFileInfo::exists(user.filePath("Site/a.b/css/site.css")));
    EXPECT_FALSE(QFileInfo::exists(user.filePath("Site/a")));
    EXPECT_EQ(db.dataSourceName(), path);
    EXPECT_TRUE(ui.prompter.messages.last().endsWith("を新規作成しｵ-ﾌﾟﾝしました"));
    EXPECT_EQ(files.recent().paths().value(0), path);
    exec("Insert Into msDoc (noDoc, szDoc) Values (1001, 'keep')");

    // An existing file: Cancel at the overwrite question changes nothing.
    ui.prompter.files = {path};
    ui.prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(files.NewDocDb());
    EXPECT_EQ(count("Select Count(*) From msDoc"), 1);
    EXPECT_TRUE(ui.prompter.messages.last().contains("に空のﾃﾞｰﾀｰﾍﾞｰｽを上書きしますが"));

    // Without the template: its message.
    db.D_Close();
    QFile::remove(files.templatePath());
    ui.prompter.files = {user.filePath("c.txdb")};
    EXPECT_FALSE(files.NewDocDb());
    EXPECT_EQ(ui.prompter.messages.last(), files.templatePath() + " が存在しません");
    EXPECT_FALSE(QFileInfo::exists(user.filePath("c.txdb")));
}

TEST_F(DatabaseFilesTest, SaveACopyAndOpenIt) {
    const QString a = newDb("a.txdb");
    ASSERT_TRUE(files.OpenDocDb(a));
    page(1001, "頁");
    ui.prompter.files = {a};
    EXPECT_FALSE(files.SaveDocDbAs());
    EXPECT_EQ(ui.prompter.messages.last(), "複写先と現在のﾌｧｲﾙが同一です");
    const QString copy = user.filePath("copy.txdb");
    ui.prompter.files = {copy};
    ASSERT_TRUE(files.SaveDocDbAs());
    EXPECT_EQ(db.dataSourceName(), copy);
    EXPECT_EQ(title(1001), "頁");
    EXPECT_EQ(ui.prompter.messages.last(), copy + "に複写しｵ-ﾌﾟﾝしました");
}

TEST_F(DatabaseFilesTest, DeleteAllPagesKeepsSettingsAndDictionary) {
    ASSERT_TRUE(files.OpenDocDb(newDb("a.txdb")));
    page(1001, "a");
    place(0, 1001, 0);
    exec("Insert Into tbHtm (noDoc, szTtl) Values (1001, 't')");
    exec("Insert Into msDic (skDic, szDic) Values ('k', 'v')");
    ui.prompter.answers = {Answer::No};
    EXPECT_FALSE(files.DeleteAllPages());
    EXPECT_EQ(count("Select Count(*) From msDoc"), 1);
    ASSERT_TRUE(files.DeleteAllPages());
    EXPECT_EQ(count("Select Count(*) From msDoc"), 0);
    EXPECT_EQ(count("Select Count(*) From tbTree"), 0);
    EXPECT_EQ(count("Select Count(*) From tbHtm"), 1);
    EXPECT_EQ(count("Select Count(*) From msDic"), 1);
    EXPECT_EQ(count("Select Count(*) From kaUsr"), 1);
    EXPECT_TRUE(host.calls.contains("clipboard"));
}

TEST_F(DatabaseFilesTest, CompactionKeepsEveryRowAndNeverLeavesTheUserWithoutAFile) {
    const QString a = newDb("a.txdb");
    ASSERT_TRUE(files.OpenDocDb(a));
    QByteArray blob(200000, 'x');
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(db.execBound("Insert Into msDoc (noDoc, szDoc, obDoc) Values (?, ?, ?)",
                                 {1001 + i, QString("頁%1").arg(i), blob}));
    exec("Delete From msDoc Where noDoc > 1010");
    const qint64 before = QFileInfo(a).size();
    ASSERT_TRUE(files.CompactDocDb(false, "前置き"));
    EXPECT_LT(QFileInfo(a).size(), before);
    EXPECT_EQ(count("Select Count(*) From msDoc"), 10);
    EXPECT_EQ(db.R_GtVaL("Select obDoc From msDoc Where noDoc=1005", QByteArray()).toByteArray(),
              blob);
    EXPECT_EQ(ui.prompter.messages.last(), "前置き\n" + a + "の最適化をしました");
    EXPECT_FALSE(QFileInfo::exists(compactionWorkFile(a)));
    EXPECT_EQ(compactionWorkFile("/x/a.b.txdb"), "/x/a.b$$$.txdb");
    // Keeping a copy leaves the compacted file beside it too.
    ASSERT_TRUE(files.CompactDocDb(true, ""));
    EXPECT_TRUE(QFileInfo::exists(user.filePath("a$$$.txdb")));
    EXPECT_TRUE(db.isOpen());
    // A read-only database is not compacted.
    db.D_Close();
    QFile::setPermissions(a, QFile::ReadOwner);
    bool ok = false;
    db.D_StDcDb(a, ok);
    ASSERT_TRUE(ok);
    EXPECT_FALSE(files.CompactDocDb(false, ""));
    EXPECT_EQ(ui.prompter.messages.last(), msg::readOnlyDatabase());
    QFile::setPermissions(a, QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(DatabaseFilesTest, ExportABranchAsADatabaseOfItsOwn) {
    ASSERT_TRUE(files.OpenDocDb(newDb("a.txdb")));
    for (int no : {1001, 1002, 1003, 1004, 1005})
        page(no, QString("p%1").arg(no));
    place(0, 1001, 0);
    place(1001, 1002, 0, "第1章");
    place(1002, 1003, 0);
    place(1001, 1003, 1, "link");  // linked inside the branch too
    place(0, 1004, 1);             // outside
    exec("Update tbTree Set boHide=1, boHogo=1 Where noLfC=1003");
    exec("Insert Into msDic (skDic, szDic) Values ('語', '説明')");
    const QString out = user.filePath("branch.txdb");
    ui.prompter.files = {out};
    ASSERT_TRUE(files.ExportBranch({1001, "トップ", true, ""}));
    EXPECT_EQ(ui.prompter.messages.last(), out + "へｴｸｽﾎﾟｰﾄしました");
    {
        QString error;
        auto e = SqliteEngine::open(out, error);
        ASSERT_TRUE(e) << error.toStdString();
        auto one = [&](const QString& sql) {
            auto c = e->query(sql, {}, error);
            QVector<QVariant> row;
            return c && c->next(row) ? row[0] : QVariant();
        };
        EXPECT_EQ(one("SELECT count(*) FROM msDoc").toInt(), 3);  // 1003 once
        EXPECT_EQ(one("SELECT wkRnd FROM msDoc WHERE noDoc=1003").toDouble(), 1003000.0);
        EXPECT_EQ(one("SELECT count(*) FROM tbTree").toInt(), 4);
        EXPECT_EQ(one("SELECT szDoc FROM tbTree WHERE noLfP=0").toString(), "p1001");
        EXPECT_EQ(one("SELECT szDoc FROM tbTree WHERE noLfP=1001 AND noLfC=1002").toString(),
                  "第1章");
        EXPECT_EQ(one("SELECT max(boHide) + max(boHogo) FROM tbTree").toInt(), 0);
        EXPECT_EQ(one("SELECT szDic FROM msDic").toString(), "説明");
    }
    // Only the page and its children.
    const QString near = user.filePath("near.txdb");
    ui.prompter.files = {near};
    ASSERT_TRUE(files.ExportBranch({1001, "トップ", false, ""}));
    QString error;
    auto e = SqliteEngine::open(near, error);
    auto c = e->query("SELECT count(*) FROM msDoc", {}, error);
    QVector<QVariant> row;
    ASSERT_TRUE(c->next(row));
    EXPECT_EQ(row[0].toInt(), 3);  // 1001, 1002, 1003 (the link); not 1002's child again
    // Never over the open database.
    ui.prompter.files = {files.currentPath()};
    EXPECT_FALSE(files.ExportBranch({1001, "トップ", true, ""}));
    EXPECT_EQ(count("Select Count(*) From msDoc"), 5);
}

namespace {

class ImportTest : public DatabaseFilesTest, public ::testing::WithParamInterface<DbEngine> {
  protected:
    std::unique_ptr<test::TestDocDb> doc;
    void openCurrent() {
        QString reason;
        doc = test::TestDocDb::create(GetParam(), reason);
        if (!doc && GetParam() == DbEngine::PostgreSQL && !test::PgTestDatabase::configured() &&
            qEnvironmentVariable("CI") != "true")
            GTEST_SKIP() << "PostgreSQL not available";
        ASSERT_TRUE(doc) << reason.toStdString();
    }
    // A source database with pages (number, title, identity) under the top level.
    QString source(const QString& name, const QList<std::tuple<int, int, QString, double>>& rows) {
        const QString path = newDb(name);
        QString error;
        auto e = SqliteEngine::open(path, error);
        qint64 n = 0;
        for (const auto& [parent, no, t, identity] : rows) {
            EXPECT_TRUE(
                e->exec("INSERT INTO msDoc (noDoc, szDoc, wkRnd, dyUdt) VALUES (?1, ?2, ?3, "
                        "'2025-01-01 00:00:00')",
                        {no, t, identity}, n, error))
                << error.toStdString();
            EXPECT_TRUE(e->exec(
                "INSERT INTO tbTree (noLfP, noLfC, inSrt, szDoc, boLnk) VALUES (?1, ?2, 0, ?3, 0)",
                {parent, no, t}, n, error));
        }
        return path;
    }
};

}  // namespace

TEST_P(ImportTest, TwoTopLevelPagesBecomeChildrenOfTheTarget) {
    openCurrent();
    page(1001, "target");
    place(0, 1001, 0);
    ui.prompter.files = {
        source("two.txdb", {{0, 5, "甲", 11}, {0, 6, "乙", 12}, {5, 7, "丙", 13}})};
    ASSERT_TRUE(files.ImportDocDb({1001, 0, false, "target"}));
    EXPECT_TRUE(ui.prompter.messages.contains(
        "現在のﾍﾟｰｼﾞが、ｲﾝﾎﾟｰﾄ元のtwoに置換えられます\n実行して良いですか"));
    EXPECT_EQ(count("Select Count(*) From tbTree Where noLfP=1001"), 2);
    EXPECT_EQ(count("Select Count(*) From msDoc"), 4);
    const int child = db.R_GtVaL("Select noDoc From msDoc Where szDoc='丙'", 0).toInt();
    const int parent = db.R_GtVaL("Select noDoc From msDoc Where szDoc='甲'", 0).toInt();
    EXPECT_GT(child, 1001);
    EXPECT_EQ(count(QString("Select Count(*) From tbTree Where noLfP=%1 And noLfC=%2")
                        .arg(parent)
                        .arg(child)),
              1);
    EXPECT_EQ(title(1001), "target");
    EXPECT_TRUE(host.calls.contains("node:1001:0"));
}

TEST_P(ImportTest, ACopyOfABranchUpdatesItsOwnRootInPlace) {
    openCurrent();
    page(1001, "root", 501);
    page(1002, "child", 502);
    place(0, 1001, 0);
    place(1001, 1002, 0);
    // The same pages by identity, the child changed later in the copy.
    ui.prompter.files = {
        source("copy.txdb", {{0, 1001, "root", 501}, {1001, 1002, "child v2", 502}})};
    ui.prompter.answers = {Answer::Yes};
    ASSERT_TRUE(files.ImportDocDb({1001, 0, false, "root"}));
    EXPECT_TRUE(
        ui.prompter.messages.value(0).startsWith("現在のﾍﾟｰｼﾞが、ｲﾝﾎﾟｰﾄ元のrootで更新されます\n"));
    EXPECT_EQ(count("Select Count(*) From msDoc"), 2);
    EXPECT_EQ(title(1002), "child v2");
    EXPECT_EQ(count("Select Count(*) From tbTree"), 2);
    EXPECT_EQ(count("Select Count(*) From tbTree Where boLnk=0"), 2);
}

TEST_P(ImportTest, NoRootNothingChangesAndFailuresRollBack) {
    openCurrent();
    page(1001, "t");
    place(0, 1001, 0);
    // A source without a top-level page.
    const QString empty = newDb("empty.txdb");
    ui.prompter.files = {empty};
    EXPECT_FALSE(files.ImportDocDb({1001, 0, false, "t"}));
    EXPECT_EQ(ui.prompter.messages.last(), "ｲﾝﾎﾟｰﾄ元の文書ﾃﾞｰﾀｰﾍﾞｰｽにﾙｰﾄの文書が存在していません");
    // A link node is refused before anything is read.
    EXPECT_FALSE(files.ImportDocDb({1001, 7, true, "t"}));
    EXPECT_EQ(ui.prompter.messages.last(),
              "指定のﾍﾟｰｼﾞは、文書No 1001のﾘﾝｸです\nここには挿入できません");
    // A source whose second page cannot be written: nothing of the import remains.
    const QString bad = source("bad.txdb", {{0, 5, "ok", 21}, {5, 6, "also", 22}});
    if (GetParam() == DbEngine::SQLite) {
        QString error;
        auto e = SqliteEngine::open(doc->path(), error);
        qint64 n = 0;
        ASSERT_TRUE(
            e->exec("CREATE TRIGGER refuse BEFORE INSERT ON tbTree WHEN NEW.szDoc = 'also' "
                    "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                    {}, n, error))
            << error.toStdString();
    } else {
        ASSERT_TRUE(
            doc->pg()->adminExec("CREATE FUNCTION refuse() RETURNS trigger AS $$ BEGIN IF "
                                 "NEW.szdoc = 'also' THEN RAISE EXCEPTION "
                                 "'refused'; END IF; RETURN NEW; END $$ LANGUAGE plpgsql; CREATE "
                                 "TRIGGER refuse BEFORE INSERT ON "
                                 "tbtree FOR EACH ROW EXECUTE FUNCTION refuse();"));
    }
    ui.prompter.files = {bad};
    EXPECT_FALSE(files.ImportDocDb({1001, 0, false, "t"}));
    EXPECT_TRUE(ui.prompter.messages.last().startsWith(bad + "からｲﾝﾎﾟｰﾄを実行しませんでした"));
    EXPECT_EQ(count("Select Count(*) From msDoc"), 1);
    EXPECT_EQ(title(1001), "t");  // the replaced root came back too
    EXPECT_EQ(count("Select Count(*) From tbTree"), 1);
    EXPECT_FALSE(db.inTransaction());
}

TEST_P(ImportTest, IntoANewPagePlaceholder) {
    openCurrent();
    page(1001, "parent");
    place(0, 1001, 0);
    ui.prompter.files = {source("one.txdb", {{0, 3, "単独", 31}, {3, 4, "子", 32}})};
    ASSERT_TRUE(files.ImportDocDb({0, 1001, false, ""}));
    EXPECT_EQ(ui.prompter.messages.value(0),
              "新規ﾍﾟｰｼﾞに 単独以降をｲﾝﾎﾟｰﾄします\n実行して良いですか");
    // The root takes the new page's number, under the placeholder's parent.
    EXPECT_EQ(title(1002), "単独");
    EXPECT_EQ(count("Select Count(*) From tbTree Where noLfP=1001 And noLfC=1002"), 1);
    EXPECT_EQ(count("Select Count(*) From tbTree Where noLfP=1002"), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, ImportTest,
                         ::testing::Values(DbEngine::SQLite, DbEngine::PostgreSQL),
                         arbor::test::engineName);

TEST_P(ImportTest, PurgeRemovesWhatTheTopLevelDoesNotReach) {
    openCurrent();
    for (int no : {1001, 1002, 2001, 2002, 3001})
        page(no, "p");
    place(0, 1001, 0);
    place(1001, 1002, 0);
    place(1002, 1001, 0);  // a cycle below the top level stays
    place(2001, 2002, 0);  // a detached cycle goes
    place(2002, 2001, 0);
    exec("Insert Into tbHtm (noDoc) Values (2001)");
    exec("Insert Into tbHtm (noDoc) Values (1001)");
    EXPECT_EQ(files.PurgeNoUse(), "３件 削除しました");
    EXPECT_EQ(count("Select Count(*) From msDoc"), 2);
    EXPECT_EQ(count("Select Count(*) From tbTree"), 3);
    EXPECT_EQ(count("Select Count(*) From tbHtm"), 1);
    EXPECT_EQ(files.PurgeNoUse(), "参照されていない文書はありませんでした");
    EXPECT_EQ(count("Select Count(*) From msDoc"), 2);
    EXPECT_EQ(fullWidthNumber(120), "１２０");
}
