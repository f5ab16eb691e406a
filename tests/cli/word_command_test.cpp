// arbor word and arbor backup-word run as a user would run them: the files they write,
// their reports and progress, and their exit codes for bad arguments, missing pages and
// pages whose document cannot be read.
#include <gtest/gtest.h>

#include "arbor_process.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "db/zsvr.h"
#include "support/pg_test_server.h"

namespace {

using arbor::test::Outcome;

class WordCommand : public ::testing::Test {
  protected:
    QTemporaryDir home;
    QString database;

    Outcome arbor(const QStringList& args) { return ::arbor::test::runArbor(home.path(), args); }
    QByteArray bytesOf(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Overwrites a page's document with bytes that are not one.
    void damage(int page) {
        arbor::zSvr& db = arbor::zSvr::instance();
        bool ok = false;
        db.D_StDcDb(database, ok);
        ASSERT_TRUE(ok);
        ASSERT_TRUE(db.execBound("Update msDoc Set obDoc = ? Where noDoc = ?",
                                 {QByteArray("not a document"), page}));
        db.D_Close();
    }
    QString copyFolder() {
        QDirIterator it(home.path() + "/data", {"サンプル_doc"}, QDir::Dirs,
                        QDirIterator::Subdirectories);
        return it.hasNext() ? it.next() : QString();
    }

    void SetUp() override {
        database = home.filePath("サンプル.txdb");
        ASSERT_EQ(arbor({"--sample", database}).code, 0);
    }
};

}  // namespace

TEST_F(WordCommand, WritesEachKind) {
    // Defaults: all pages, the headed kind, the database's name in the current folder.
    Outcome r = arbor({"word", database});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString headed = home.filePath("サンプル.docx");
    EXPECT_EQ(r.out.trimmed(), headed + " に 10 ﾍﾟｰｼﾞを出力しました");
    EXPECT_TRUE(r.err.contains("10 / 10 ﾍﾟｰｼﾞ"));  // the progress line
    EXPECT_TRUE(bytesOf(headed).startsWith("PK"));

    r = arbor({"word", database, "--kind", "outline", "-o", "目次 付き.docx"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QByteArray outline = bytesOf(home.filePath("目次 付き.docx"));
    EXPECT_TRUE(outline.startsWith("PK"));
    EXPECT_NE(outline, bytesOf(headed));

    r = arbor({"word", database, "--kind", "text", "--node", "1003"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("に 3 ﾍﾟｰｼﾞを出力しました")) << r.out.toStdString();
    const QString text = QString::fromUtf8(bytesOf(home.filePath("サンプル.txt")));
    EXPECT_TRUE(text.startsWith("第2章ツリーの使い方\n\n第2章 ツリーの使い方\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("\n１ 第1章(リンク)\n\n第1章 はじめての文書\n"));
    EXPECT_TRUE(text.contains("\n２ 保護されたページ\n\n"));

    r = arbor(
        {"word", database, "--kind", "NoPictures", "--node", "1004", "--below", "-o", "news.docx"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("news.docx に 3 ﾍﾟｰｼﾞを出力しました"));
}

TEST_F(WordCommand, RefusesWhatItCannotDo) {
    EXPECT_EQ(arbor({"word"}).code, 2);
    Outcome r = arbor({"word", database, "--kind", "fancy"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains("--kind は headed, outline, nopictures, text のどれかです"));
    EXPECT_EQ(arbor({"word", database, "--below"}).code, 2);
    EXPECT_EQ(arbor({"word", database, "--node", "x"}).code, 2);
    EXPECT_EQ(arbor({"word", database, "-o"}).code, 2);
    EXPECT_EQ(arbor({"backup-word"}).code, 2);
    EXPECT_EQ(arbor({"backup-word", database, "more"}).code, 2);

    r = arbor({"word", home.filePath("ない.txdb")});
    EXPECT_EQ(r.code, 1);
    r = arbor({"word", database, "--node", "4242"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("ﾍﾟｰｼﾞ 4242 はﾂﾘｰにありません"));
    // A target under a file: the reason, no file.
    r = arbor({"word", database, "-o", database + "/x.docx"});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.trimmed().isEmpty());
    EXPECT_FALSE(QFile::exists(database + "/x.docx"));
}

TEST_F(WordCommand, BackupWritesACopyPerPage) {
    Outcome r = arbor({"backup-word", database});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString folder = copyFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(r.out.contains(folder + "/ に 9 件のﾜｰﾄﾞ文書を書き出しました"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("ﾜｰﾄﾞで一括ﾊﾞｯｸｱｯﾌﾟを完了しました"));
    EXPECT_TRUE(r.err.contains("9 / 9 ﾍﾟｰｼﾞ"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 9);
    const QByteArray good = bytesOf(folder + "/1002.docx");
    EXPECT_TRUE(good.startsWith("PK"));

    // A damaged page: its row, the exit code, and its earlier copy kept.
    damage(1002);
    r = arbor({"backup-word", database});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("文書No 1002: 文書が壊れているので書き出しませんでした"))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(" に 8 件書き出しました"));
    EXPECT_EQ(bytesOf(folder + "/1002.docx"), good);

    // The document export still writes its file, with the page's text, and says so.
    r = arbor({"word", database, "-o", "壊れた.docx"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("文書No 1002: 文書が壊れているので文字だけを出力しました"));
    // Once, though the page stands twice in the tree.
    EXPECT_EQ(r.err.count("文書No 1002:"), 1);
    EXPECT_TRUE(r.out.contains("(読めない文書 1 件)")) << r.out.toStdString();
    EXPECT_TRUE(bytesOf(home.filePath("壊れた.docx")).startsWith("PK"));
}

TEST_F(WordCommand, WritesFromAServerDatabase) {
    ARBOR_REQUIRE_PG(pg);
    ASSERT_EQ(arbor({"--create-schema", pg->udlPath()}).code, 0);
    const QString folder = home.filePath("pages");
    QDir().mkpath(folder + "/1-top");
    auto write = [&](const QString& name, const QByteArray& text) {
        QFile f(folder + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("1-top.html", "<title>表紙 & \"引用\"</title><p>サーバーの文書</p>");
    write("1-top/1-a.md", "# 第一\n\n本文 'O''Reilly' ?");
    write("2-next.txt", "次の章");
    Outcome r = arbor({"import", folder, pg->udlPath()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    r = arbor({"word", pg->udlPath(), "--kind", "text", "-o", "server.txt"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("に 3 ﾍﾟｰｼﾞを出力しました")) << r.out.toStdString();
    const QString text = QString::fromUtf8(bytesOf(home.filePath("server.txt")));
    // Titles were cleaned by the import; the page text keeps its quotes and "?".
    EXPECT_TRUE(text.startsWith("表紙引用\n\nサーバーの文書")) << text.toStdString();
    EXPECT_TRUE(text.contains("本文 'O''Reilly' ?"));
    EXPECT_TRUE(text.contains("次の章"));

    r = arbor({"word", pg->udlPath(), "--kind", "outline", "-o", "server.docx"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(bytesOf(home.filePath("server.docx")).startsWith("PK"));

    r = arbor({"backup-word", pg->udlPath()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QDirIterator it(home.path() + "/data", {pg->name() + "_doc"}, QDir::Dirs,
                    QDirIterator::Subdirectories);
    ASSERT_TRUE(it.hasNext()) << r.out.toStdString();
    EXPECT_EQ(QDir(it.next()).entryList({"*.docx"}, QDir::Files).size(), 3);
}
