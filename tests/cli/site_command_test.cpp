// arbor site run as a team would run it: on a file and on a server database, its exit
// codes, its summary and the publish right.
#include <gtest/gtest.h>

#include "arbor_process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "support/pg_test_server.h"

namespace {

using arbor::test::Outcome;

class SiteCommand : public ::testing::Test {
  protected:
    QTemporaryDir home;

    Outcome arbor(const QStringList& args) { return ::arbor::test::runArbor(home.path(), args); }
    QString site(const QString& name) const {
        return home.path() + "/data/Marrow/arbor/Site/" + name + "/";
    }
};

}  // namespace

TEST_F(SiteCommand, PublishesAFileDatabaseInEveryMode) {
    const QString db = home.path() + "/サンプル.txdb";
    ASSERT_EQ(arbor({"--sample", db}).code, 0);
    // Never set up: the build says what is missing and writes nothing.
    Outcome r = arbor({"site", db, "--all"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("トップページのテンプレートが指定されていません"))
        << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(site("サンプル") + "pub/1001.htm"));

    r = arbor({"site", db, "--all", "--template", "tpl-fx.htm"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("ファイルを出力しました")) << r.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(site("サンプル") + "pub/1001.htm"));
    EXPECT_TRUE(QFileInfo::exists(site("サンプル") + "cmn/navi-fx.css"));

    // Nothing changed: a sync writes nothing.
    r = arbor({"site", db});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("0 ファイル")) << r.out.toStdString();

    QFile::remove(site("サンプル") + "pub/1003.htm");
    r = arbor({"site", db, "--node", "1003", "--below"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(site("サンプル") + "pub/1003.htm"));
    EXPECT_EQ(arbor({"site", db, "--since", "2001/01/01"}).code, 0);
}

TEST_F(SiteCommand, WrongArgumentsAndAnotherPcsRight) {
    EXPECT_EQ(arbor({"site"}).code, 2);
    EXPECT_EQ(arbor({"site", "x.txdb", "--below"}).code, 2);
    EXPECT_EQ(arbor({"site", "x.txdb", "--since", "昨日"}).code, 2);
    EXPECT_EQ(arbor({"site", "x.txdb", "--frobnicate"}).code, 2);
    EXPECT_EQ(arbor({"site", home.path() + "/missing.txdb"}).code, 1);

    const QString db = home.path() + "/s.txdb";
    ASSERT_EQ(arbor({"--sample", db}).code, 0);
    QProcess sql;
    sql.start("sqlite3", {db, "Update kaUsr Set HsPub='他のPC'"});
    if (!sql.waitForFinished(10000) || sql.exitCode() != 0)
        GTEST_SKIP() << "sqlite3 is not installed";
    const Outcome r = arbor({"site", db, "--all", "--template", "tpl-fx.htm"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("Webへの出力できるPC(ﾊﾞﾌﾞﾘｯｼｭ権限)は 他のPC です"))
        << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(site("s") + "pub/1001.htm"));
}

TEST_F(SiteCommand, PublishesAServerDatabase) {
    ARBOR_REQUIRE_PG(pg);
    ASSERT_EQ(arbor({"--create-schema", pg->udlPath()}).code, 0);
    const QString folder = home.path() + "/pages";
    QDir().mkpath(folder + "/1-top");
    auto write = [&](const QString& name, const QByteArray& text) {
        QFile f(folder + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("1-top.html", "<title>表紙</title><p>サーバーのサイト</p>");
    write("1-top/1-a.md", "# 第一\n\n本文 <b>");
    write("2-next.txt", "次の章");
    Outcome r = arbor({"import", folder, pg->udlPath()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = arbor({"site", pg->udlPath(), "--all", "--template", "tpl-el.htm"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString() << r.out.toStdString();
    const QStringList pages = QDir(site(pg->name()) + "pub").entryList({"*.htm"}, QDir::Files);
    EXPECT_EQ(pages.size(), 3) << pages.join(',').toStdString();
    r = arbor({"site", pg->udlPath(), "--sync"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("0 ファイル")) << r.out.toStdString();
}
