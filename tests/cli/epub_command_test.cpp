// arbor epub run from a terminal: the sample collection's book on a file database, a
// branch to a chosen file, a server database, and the exit codes of wrong input.
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

class EpubCommand : public ::testing::Test {
  protected:
    QTemporaryDir home;

    Outcome arbor(const QStringList& args) { return ::arbor::test::runArbor(home.path(), args); }
    QString ePub(const QString& name) const {
        return home.path() + "/data/Marrow/arbor/ePub/" + name;
    }
    static bool isEpub(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) && f.read(58).mid(30) == "mimetypeapplication/epub+zip";
    }
};

}  // namespace

TEST_F(EpubCommand, WritesTheSampleBookAndABranch) {
    const QString db = home.path() + "/サンプル.txdb";
    ASSERT_EQ(arbor({"--sample", db}).code, 0);
    Outcome r = arbor({"epub", db, "--title", "見本 & <本>"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("IDが指定されていなかったので、生成しました: arepub_"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("に出力しました")) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(" / ")) << r.err.toStdString();  // progress
    EXPECT_TRUE(isEpub(ePub("サンプル.epub")));
    // The identifier was stored: the next book is the same book.
    r = arbor({"epub", db, "--title", "見本"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("生成しました")) << r.out.toStdString();

    const QString branch = home.path() + "/out/枝.epub";
    QDir().mkpath(home.path() + "/out");
    r = arbor({"epub", db, "--node", "1003", "-o", branch, "--id", "urn:isbn:978-4-00-000000-0"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(isEpub(branch));
}

TEST_F(EpubCommand, WrongInputEndsWithACodeAndKeepsTheBook) {
    EXPECT_EQ(arbor({"epub"}).code, 2);
    EXPECT_EQ(arbor({"epub", "x.txdb", "--node", "abc"}).code, 2);
    EXPECT_EQ(arbor({"epub", "x.txdb", "--site"}).code, 2);
    EXPECT_EQ(arbor({"epub", "x.txdb", "--frobnicate"}).code, 2);
    EXPECT_EQ(arbor({"epub", home.path() + "/missing.txdb"}).code, 1);

    const QString db = home.path() + "/s.txdb";
    ASSERT_EQ(arbor({"--sample", db}).code, 0);
    ASSERT_EQ(arbor({"epub", db, "--title", "本"}).code, 0);
    QFile book(ePub("s.epub"));
    ASSERT_TRUE(book.open(QIODevice::ReadOnly));
    const QByteArray before = book.readAll();
    book.close();
    // A page that does not exist, and an output folder that is a file.
    Outcome r = arbor({"epub", db, "--node", "99999"});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.isEmpty());
    r = arbor({"epub", db, "-o", ePub("s.epub") + "/x.epub"});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.isEmpty());
    ASSERT_TRUE(book.open(QIODevice::ReadOnly));
    EXPECT_EQ(book.readAll(), before);
}

TEST_F(EpubCommand, WritesTheBookOfAServerDatabase) {
    ARBOR_REQUIRE_PG(pg);
    ASSERT_EQ(arbor({"--create-schema", pg->udlPath()}).code, 0);
    const QString folder = home.path() + "/pages";
    QDir().mkpath(folder + "/1-top");
    auto write = [&](const QString& name, const QByteArray& text) {
        QFile f(folder + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("1-top.html", "<title>表紙 & 'R&D'</title><p>サーバーの本</p>");
    write("1-top/1-a.md", "# 第一\n\n本文 <b>");
    write("2-next.txt", "次の章");
    Outcome r = arbor({"import", folder, pg->udlPath()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = arbor({"epub", pg->udlPath(), "--title", "サーバー", "--id", "urn:isbn:1"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString() << r.out.toStdString();
    EXPECT_TRUE(r.out.startsWith("3 ﾍﾟｰｼﾞ")) << r.out.toStdString();
    EXPECT_TRUE(isEpub(ePub(pg->name() + ".epub")));
}
