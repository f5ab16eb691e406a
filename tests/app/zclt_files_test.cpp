#include <gtest/gtest.h>

#include <QFileInfo>

#include "app/zclt.h"
#include "app_test_env.h"

namespace arbor {
namespace {

class ZcltFiles : public ::testing::Test {
  protected:
    test::AppTestEnv env;
    test::PrompterFixture prompts;
    const zClt& clt = Clt();
};

TEST_F(ZcltFiles, FbExFileWithAndWithoutWildcards) {
    test::writeBytes(env.path("dbs/本.TXDB"), "x");
    EXPECT_FALSE(clt.FbExFile(QString()));
    EXPECT_TRUE(clt.FbExFile(env.path("dbs/本.TXDB")));
    EXPECT_FALSE(clt.FbExFile(env.path("dbs")));  // a folder is no file
    EXPECT_TRUE(clt.FbExFile(env.path("dbs/*.txdb"), true));
    EXPECT_TRUE(clt.FbExFile(env.path("dbs/?.txdb"), true));
    EXPECT_FALSE(clt.FbExFile(env.path("dbs/*.txdb"), false));
    EXPECT_FALSE(clt.FbExFile(env.path("dbs/*.udl"), true));
    EXPECT_FALSE(clt.FbExFile(env.path("missing/*.txdb"), true));
    QDir().mkpath(env.path("dirs/sub.txdb"));
    EXPECT_FALSE(clt.FbExFile(env.path("dirs/*.txdb"), true));  // folders do not count
    EXPECT_TRUE(clt.FbExFolder(env.path("dbs")));
    EXPECT_FALSE(clt.FbExFolder(env.path("dbs/本.TXDB")));
    EXPECT_FALSE(clt.FbExFolder(QString()));
}

TEST_F(ZcltFiles, CreateFldMakesEveryLevelAndChkSbOnlyTheLast) {
    EXPECT_TRUE(clt.F_CreateFld(env.path("a/b/c")));
    EXPECT_TRUE(QFileInfo(env.path("a/b/c")).isDir());
    EXPECT_TRUE(clt.F_CreateFld(env.path("a/b/c/")));  // existing is fine

    clt.F_ChkSb(env.path("a/"),
                {QStringLiteral("Wrk"), QStringLiteral("Site"), QStringLiteral("b")});
    EXPECT_TRUE(QFileInfo(env.path("a/Wrk")).isDir());
    EXPECT_TRUE(QFileInfo(env.path("a/Site")).isDir());
    EXPECT_TRUE(QFileInfo(env.path("a/b/c")).isDir());  // existing left alone

    clt.F_ChkSb(env.path("none/"), {QStringLiteral("Wrk")});  // no parents are made
    EXPECT_FALSE(QFileInfo::exists(env.path("none")));

    test::writeBytes(env.path("file"), "x");
    EXPECT_FALSE(clt.F_CreateFld(env.path("file/sub")));
}

TEST_F(ZcltFiles, CopyAsksBeforeReplacing) {
    test::writeBytes(env.path("src.txt"), "new");
    test::writeBytes(env.path("dst.txt"), "old");
    prompts.prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(clt.F_Copy(env.path("src.txt"), env.path("dst.txt")));
    EXPECT_EQ(test::readBytes(env.path("dst.txt")), QByteArray("old"));
    ASSERT_EQ(prompts.prompter.messages.size(), 1);
    EXPECT_EQ(prompts.prompter.messages.first(),
              QStringLiteral("同名ﾌｧｲﾙがあります 削除して良いですか"));

    prompts.prompter.answers = {Answer::Ok};
    EXPECT_TRUE(clt.F_Copy(env.path("src.txt"), env.path("dst.txt")));
    EXPECT_EQ(test::readBytes(env.path("dst.txt")), QByteArray("new"));
    EXPECT_EQ(prompts.prompter.messages.size(), 2);

    EXPECT_TRUE(clt.F_Copy(env.path("src.txt"), env.path("fresh.txt")));  // no question
    EXPECT_EQ(prompts.prompter.messages.size(), 2);
    EXPECT_EQ(test::readBytes(env.path("fresh.txt")), QByteArray("new"));
}

TEST_F(ZcltFiles, CopyFailuresLoseNothing) {
    EXPECT_FALSE(clt.F_Copy(env.path("missing"), env.path("dst")));
    EXPECT_FALSE(QFileInfo::exists(env.path("dst")));
    // Onto itself: the answer OK must not delete the only copy.
    test::writeBytes(env.path("self.txt"), "keep me");
    EXPECT_TRUE(clt.F_Copy(env.path("self.txt"), env.path("self.txt")));
    EXPECT_EQ(test::readBytes(env.path("self.txt")), QByteArray("keep me"));
    // Into a place that cannot hold it.
    test::writeBytes(env.path("plain"), "x");
    EXPECT_FALSE(clt.F_Copy(env.path("self.txt"), env.path("plain/sub.txt")));
}

TEST_F(ZcltFiles, DelFileDeletesAFileOrEveryMatch) {
    for (const char* name : {"a.tmp", "b.tmp", "c.txt"})
        test::writeBytes(env.path(name), "x");
    QDir().mkpath(env.path("d.tmp"));
    clt.F_DelFile(env.path("*.tmp"));
    EXPECT_FALSE(QFileInfo::exists(env.path("a.tmp")));
    EXPECT_FALSE(QFileInfo::exists(env.path("b.tmp")));
    EXPECT_TRUE(QFileInfo::exists(env.path("c.txt")));
    EXPECT_TRUE(QFileInfo(env.path("d.tmp")).isDir());

    QFile::setPermissions(env.path("c.txt"), QFileDevice::ReadOwner);
    clt.F_DelFile(env.path("c.txt"));  // read-only too
    EXPECT_FALSE(QFileInfo::exists(env.path("c.txt")));
    clt.F_DelFile(env.path("c.txt"));  // already gone: nothing happens
    clt.F_DelFile(QString());
    clt.F_DelFile(env.path("d.tmp"));  // folders are not files
    EXPECT_TRUE(QFileInfo(env.path("d.tmp")).isDir());
}

TEST_F(ZcltFiles, PlainTextWriteAppendAndRead) {
    const QString file = env.path("t.txt");
    EXPECT_TRUE(clt.F_StTxtFL(file, QStringLiteral("一行目\r\n"), false));
    EXPECT_TRUE(clt.F_StTxtFL(file, QStringLiteral("二行目"), true));
    EXPECT_EQ(clt.FsGtText(file), QStringLiteral("一行目\r\n二行目"));
    EXPECT_TRUE(clt.F_StTxtFL(file, QStringLiteral("置換"), false));
    bool ok = false;
    EXPECT_EQ(clt.FsGtText(file, &ok), QStringLiteral("置換"));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(clt.FsGtText(env.path("missing"), &ok).isEmpty());
    EXPECT_FALSE(ok);
    test::writeBytes(env.path("plain"), "x");
    EXPECT_FALSE(clt.F_StTxtFL(env.path("plain/t.txt"), QStringLiteral("x"), false));
    EXPECT_FALSE(clt.F_StTxtFL(env.path("plain/t.txt"), QStringLiteral("x"), true));
}

TEST_F(ZcltFiles, Utf8FilesCarryAByteOrderMark) {
    const QString file = env.path("page.htm");
    EXPECT_TRUE(clt.F_StUtf(file, QStringLiteral("<p>日本語</p>")));
    EXPECT_EQ(test::readBytes(file),
              QByteArray("\xEF\xBB\xBF") + QStringLiteral("<p>日本語</p>").toUtf8());
    EXPECT_EQ(clt.FsGtUtf(file), QStringLiteral("<p>日本語</p>"));
    test::writeBytes(env.path("nobom.css"), QStringLiteral("p{}/*注*/").toUtf8());
    EXPECT_EQ(clt.FsGtUtf(env.path("nobom.css")), QStringLiteral("p{}/*注*/"));
    EXPECT_TRUE(clt.FsGtUtf(env.path("missing")).isEmpty());
    EXPECT_TRUE(clt.FsGtUtf(env.path("")).isEmpty());  // a folder
}

TEST_F(ZcltFiles, StUtfWithEmptyTextLeavesFilesAlone) {
    clt.F_StUtf(env.path("none.htm"), QString());
    EXPECT_FALSE(QFileInfo::exists(env.path("none.htm")));
    test::writeBytes(env.path("old.htm"), "old");
    clt.F_StUtf(env.path("old.htm"), QString());
    EXPECT_EQ(test::readBytes(env.path("old.htm")), QByteArray("old"));
}

}  // namespace
}  // namespace arbor
