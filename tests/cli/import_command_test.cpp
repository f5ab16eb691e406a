// arbor import run as a user would run it: its exit codes, its report, and a database
// left alone when the import cannot be done.
#include <gtest/gtest.h>

#include "arbor_process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

using arbor::test::Outcome;

class ImportCommand : public ::testing::Test {
  protected:
    QTemporaryDir home;
    QString folder;
    QString database;

    Outcome arbor(const QStringList& args) { return ::arbor::test::runArbor(home.path(), args); }
    void write(const QString& relative, const QByteArray& bytes) {
        const QString path = folder + "/" + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytesOf(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void SetUp() override {
        folder = home.path() + "/取り込み 'ﾌｫﾙﾀﾞ'";
        database = home.path() + "/db \"1\".txdb";
        write("1.html", "<title>最初</title><p><a href=\"2.md\">次</a></p>");
        write("2.md", "# 二番目\n\n本文");
        write("10.txt", "十番目");
        write("1/child.txt", "子");
        ASSERT_EQ(arbor({"--new-db", database}).code, 0);
    }
};

}  // namespace

TEST_F(ImportCommand, ImportsAndReports) {
    write("broken.txt", "");
    Outcome r = arbor({"import", folder, database});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("4 ﾍﾟｰｼﾞを取り込みました (文書No 1001～1004"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("秒)"));
    EXPECT_TRUE(r.out.contains("broken.txt: 空のファイルです"));
    EXPECT_TRUE(r.err.contains("警告: 1 個のﾌｧｲﾙを取り込みませんでした"));
    EXPECT_TRUE(r.err.contains("4 / 4 ﾍﾟｰｼﾞ"));  // the progress line
    r = arbor({"--check", database});
    EXPECT_TRUE(r.out.contains("ページ: 4")) << r.out.toStdString();
    // Under a page of the database.
    r = arbor({"import", folder + "/1", database, "--under", "1003"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("1 ﾍﾟｰｼﾞを取り込みました (文書No 1005～1005"));
    EXPECT_FALSE(r.err.contains("警告"));
}

TEST_F(ImportCommand, FailuresLeaveTheDatabaseAlone) {
    const QByteArray before = bytesOf(database);
    // A page that is not there.
    Outcome r = arbor({"import", folder, database, "--under", "1234"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("文書No 1234")) << r.err.toStdString();
    // A folder without pages, and no folder at all.
    QDir().mkpath(home.path() + "/pictures");
    r = arbor({"import", home.path() + "/pictures", database});
    EXPECT_EQ(r.code, 1);
    r = arbor({"import", home.path() + "/none", database});
    EXPECT_EQ(r.code, 1);
    // A file that is no database.
    r = arbor({"import", folder, folder + "/10.txt"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("開けません"));
    EXPECT_EQ(bytesOf(database), before);
    // A read-only database.
    QFile::setPermissions(database, QFile::ReadOwner);
    r = arbor({"import", folder, database});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("読み込み専用")) << r.err.toStdString();
    QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(bytesOf(database), before);
}

TEST_F(ImportCommand, WrongCommandLines) {
    for (const QStringList& args : {QStringList{"import"}, QStringList{"import", folder},
                                    QStringList{"import", folder, database, "extra"},
                                    QStringList{"import", folder, database, "--under"},
                                    QStringList{"import", folder, database, "--under", "x"},
                                    QStringList{"import", folder, database, "--frobnicate"}}) {
        const Outcome r = arbor(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
    }
    const Outcome help = arbor({"--help"});
    EXPECT_TRUE(help.out.contains("import DIR DB [--under N]"));
}
