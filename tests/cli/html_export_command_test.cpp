// arbor html-export from a terminal: both kinds of the sample collection, a server
// database, and the exit codes of wrong input.
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

class HtmlExportCommand : public ::testing::Test {
  protected:
    QTemporaryDir home;

    Outcome arbor(const QStringList& args) { return ::arbor::test::runArbor(home.path(), args); }
};

}  // namespace

TEST_F(HtmlExportCommand, ExportsTheSampleInBothKinds) {
    const QString db = home.path() + "/サンプル.txdb";
    ASSERT_EQ(arbor({"--sample", db}).code, 0);
    const QString tree = home.path() + "/木";
    Outcome r = arbor({"html-export", db, tree, "--tree-index", "--top", "index.htm"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("ﾍﾟｰｼﾞを " + tree + "/ に出力しました")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(tree + "/index.htm")) << r.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(tree + "/index.htm"));
    EXPECT_TRUE(QFileInfo::exists(tree + "/cmn/menu.js"));
    EXPECT_FALSE(QFileInfo::exists(tree + "/1001.htm"));  // the top page has its own name

    const QString frames = home.path() + "/枠";
    r = arbor({"html-export", db, frames, "--frames", "--empty"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(frames + "/frame.htm"));
    EXPECT_TRUE(QFileInfo::exists(frames + "/navi.htm"));
}

TEST_F(HtmlExportCommand, WrongInputEndsWithACode) {
    EXPECT_EQ(arbor({"html-export"}).code, 2);
    EXPECT_EQ(arbor({"html-export", "x.txdb"}).code, 2);
    EXPECT_EQ(arbor({"html-export", "x.txdb", "d", "--frames", "--tree-index"}).code, 2);
    EXPECT_EQ(arbor({"html-export", "x.txdb", "d", "--top"}).code, 2);
    EXPECT_EQ(arbor({"html-export", home.path() + "/missing.txdb", home.path() + "/d"}).code, 1);
    const QString db = home.path() + "/s.txdb";
    ASSERT_EQ(arbor({"--sample", db}).code, 0);
    // The user data folder itself would be emptied.
    const Outcome r = arbor({"html-export", db, home.path() + "/data/Marrow/arbor", "--empty"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("このﾌｫﾙﾀﾞには出力できません")) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(home.path() + "/data/Marrow/arbor"));
}

TEST_F(HtmlExportCommand, ExportsAServerDatabase) {
    ARBOR_REQUIRE_PG(pg);
    ASSERT_EQ(arbor({"--create-schema", pg->udlPath()}).code, 0);
    const QString folder = home.path() + "/pages";
    QDir().mkpath(folder + "/1-top");
    auto write = [&](const QString& name, const QByteArray& text) {
        QFile f(folder + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("1-top.html", "<title>表紙</title><p>サーバー</p>");
    write("1-top/1-a.md", "# 第一\n\n本文");
    write("2-next.txt", "次の章");
    ASSERT_EQ(arbor({"import", folder, pg->udlPath()}).code, 0);
    const QString out = home.path() + "/out";
    const Outcome r = arbor({"html-export", pg->udlPath(), out});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("3 ﾍﾟｰｼﾞ")) << r.out.toStdString();
    EXPECT_EQ(QDir(out).entryList({"*.htm"}, QDir::Files).size(), 3);
}
