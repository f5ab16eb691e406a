#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFileInfo>

#include "app/shell_ops.h"
#include "app_test_env.h"

namespace arbor {
namespace {

const QString kMove = QStringLiteral("移動");
const QString kCopy = QStringLiteral("複写");
const QString kDelete = QStringLiteral("削除");

class ShellOps : public ::testing::Test {
  protected:
    test::AppTestEnv env;
    test::PrompterFixture prompts;

    // site/ with a page, a picture in a subfolder, and a hidden file.
    void makeSite(const QString& root) {
        test::writeBytes(root + QStringLiteral("/index.htm"), "top");
        test::writeBytes(root + QStringLiteral("/img/写真.png"), "png");
        test::writeBytes(root + QStringLiteral("/.keep"), "");
    }
    static QStringList tree(const QString& root) {
        QStringList files;
        QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next().mid(root.size());
        files.sort();
        return files;
    }
    QString trashed(const QString& name) const {
        return env.dataHome() + QStringLiteral("/Trash/files/") + name;
    }
};

TEST_F(ShellOps, CopyFolderToANewNameAndIntoAnExistingFolder) {
    makeSite(env.path("site"));
    const QStringList expected = tree(env.path("site"));
    ASSERT_EQ(expected.size(), 3);

    EXPECT_TRUE(ShFileOp(kCopy, env.path("site"), env.path("copy"), true, true));
    EXPECT_EQ(tree(env.path("copy")), expected);

    QDir().mkpath(env.path("backup"));
    EXPECT_TRUE(ShFileOp(kCopy, env.path("site"), env.path("backup"), true, true));
    EXPECT_EQ(tree(env.path("backup/site")), expected);
    EXPECT_EQ(tree(env.path("site")), expected);  // the source stays
    EXPECT_TRUE(prompts.prompter.messages.isEmpty());
}

TEST_F(ShellOps, CopyAsksBeforeReplacingUnlessToldNotTo) {
    test::writeBytes(env.path("a.htm"), "new");
    test::writeBytes(env.path("b.htm"), "old");
    prompts.prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(ShFileOp(kCopy, env.path("a.htm"), env.path("b.htm"), true, false));
    EXPECT_EQ(test::readBytes(env.path("b.htm")), QByteArray("old"));
    EXPECT_EQ(prompts.prompter.messages.size(), 1);

    EXPECT_TRUE(ShFileOp(kCopy, env.path("a.htm"), env.path("b.htm"), true, true));
    EXPECT_EQ(test::readBytes(env.path("b.htm")), QByteArray("new"));
    EXPECT_EQ(prompts.prompter.messages.size(), 1);
}

TEST_F(ShellOps, CopyMergesIntoAnExistingFolderOfTheSameName) {
    makeSite(env.path("site"));
    test::writeBytes(env.path("out/site/index.htm"), "stale");
    test::writeBytes(env.path("out/site/extra.htm"), "extra");
    EXPECT_TRUE(ShFileOp(kCopy, env.path("site"), env.path("out"), true, true));
    EXPECT_EQ(test::readBytes(env.path("out/site/index.htm")), QByteArray("top"));
    EXPECT_EQ(test::readBytes(env.path("out/site/extra.htm")), QByteArray("extra"));
    EXPECT_EQ(test::readBytes(env.path("out/site/img/写真.png")), QByteArray("png"));
}

TEST_F(ShellOps, PatternsAndSeveralSourcesGoIntoTheDestinationFolder) {
    for (const char* name : {"p/1.htm", "p/2.htm", "p/style.css"})
        test::writeBytes(env.path(name), "x");
    EXPECT_TRUE(ShFileOp(kCopy, env.path("p/*.htm"), env.path("q"), true, true));
    EXPECT_EQ(tree(env.path("q")), (QStringList{"/1.htm", "/2.htm"}));

    const QString two = env.path("p/1.htm") + QChar(0) + env.path("p/style.css");
    EXPECT_TRUE(ShFileOp(kMove, two, env.path("r"), true, true));
    EXPECT_EQ(tree(env.path("r")), (QStringList{"/1.htm", "/style.css"}));
    EXPECT_EQ(tree(env.path("p")), (QStringList{"/2.htm"}));
}

TEST_F(ShellOps, MoveFolderRenamesOrMerges) {
    makeSite(env.path("site"));
    const QStringList expected = tree(env.path("site"));
    EXPECT_TRUE(ShFileOp(kMove, env.path("site"), env.path("moved"), true, true));
    EXPECT_FALSE(QFileInfo::exists(env.path("site")));
    EXPECT_EQ(tree(env.path("moved")), expected);

    test::writeBytes(env.path("target/moved/own.htm"), "own");
    EXPECT_TRUE(ShFileOp(kMove, env.path("moved"), env.path("target"), true, true));
    EXPECT_FALSE(QFileInfo::exists(env.path("moved")));
    QStringList merged = expected;
    merged << QStringLiteral("/own.htm");
    merged.sort();
    EXPECT_EQ(tree(env.path("target/moved")), merged);
}

TEST_F(ShellOps, MoveIntoItselfOrOntoItselfChangesNothing) {
    makeSite(env.path("site"));
    const QStringList expected = tree(env.path("site"));
    EXPECT_FALSE(ShFileOp(kMove, env.path("site"), env.path("site/img"), true, true));
    EXPECT_FALSE(ShFileOp(kCopy, env.path("site"), env.path("site/sub"), true, true));
    EXPECT_FALSE(
        ShFileOp(kMove, env.path("site/index.htm"), env.path("site/index.htm"), true, true));
    // Through a link the destination is still inside the source.
    ASSERT_TRUE(QFile::link(env.path("site"), env.path("alias")));
    EXPECT_FALSE(ShFileOp(kCopy, env.path("site"), env.path("alias/img/deeper"), true, true));
    EXPECT_EQ(tree(env.path("site")), expected);
}

TEST_F(ShellOps, UnknownOperationOrMissingSourceDoesNothing) {
    makeSite(env.path("site"));
    EXPECT_FALSE(ShFileOp(QStringLiteral("改名"), env.path("site"), env.path("x"), true, true));
    EXPECT_FALSE(QFileInfo::exists(env.path("x")));
    EXPECT_FALSE(ShFileOp(kCopy, env.path("nothing"), env.path("x"), true, true));
    EXPECT_FALSE(ShFileOp(kCopy, env.path("site"), QString(), true, true));
    EXPECT_FALSE(QFileInfo::exists(env.path("x")));
}

TEST_F(ShellOps, DeleteMovesFoldersAndFilesToTheTrash) {
    makeSite(env.path("site"));
    test::writeBytes(env.path("old.txdb"), "db");
    EXPECT_TRUE(ShFileOp(kDelete, env.path("site"), QString(), true, true));
    EXPECT_TRUE(RecycleFile(env.path("old.txdb")));
    EXPECT_FALSE(QFileInfo::exists(env.path("site")));
    EXPECT_FALSE(QFileInfo::exists(env.path("old.txdb")));
    EXPECT_EQ(test::readBytes(trashed("site/img/写真.png")), QByteArray("png"));
    EXPECT_EQ(test::readBytes(trashed("old.txdb")), QByteArray("db"));
    EXPECT_TRUE(prompts.prompter.messages.isEmpty());
}

TEST_F(ShellOps, DeleteWithConfirmationAsksFirst) {
    test::writeBytes(env.path("a.htm"), "a");
    prompts.prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(ShFileOp(kDelete, env.path("a.htm"), QString(), true, false));
    EXPECT_TRUE(QFileInfo::exists(env.path("a.htm")));
    EXPECT_EQ(prompts.prompter.messages.size(), 1);
    EXPECT_TRUE(ShFileOp(kDelete, env.path("a.htm"), QString(), true, false));
    EXPECT_FALSE(QFileInfo::exists(env.path("a.htm")));
}

TEST_F(ShellOps, ViewInBrowserHandsFilesAndAddressesToTheDesktop) {
    EXPECT_TRUE(A_ViewIE(env.path("site/index.htm")));
    EXPECT_TRUE(A_ViewIE(QStringLiteral("https://example.com/?q=1")));
    EXPECT_FALSE(A_ViewIE(QString()));
    ASSERT_EQ(env.opened.size(), 2);
    EXPECT_EQ(env.opened[0], QUrl::fromLocalFile(env.path("site/index.htm")));
    EXPECT_EQ(env.opened[1].toString(), QStringLiteral("https://example.com/?q=1"));
}

}  // namespace
}  // namespace arbor
