// The arbor program run as a user would run it: start-up, help and batch commands.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "db/zsvr.h"
#include "support/pg_test_server.h"

namespace {

struct Outcome {
    int code = -1;
    QString out;
    QString err;
};

class ArborProgram : public ::testing::Test {
  protected:
    QTemporaryDir home;

    Outcome arbor(const QStringList& args, const QMap<QString, QString>& extraEnv = {}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_DATA_HOME", home.path() + "/data");
        env.insert("XDG_CONFIG_HOME", home.path() + "/config");
        env.remove("ARBOR_PASSWORD");
        for (auto it = extraEnv.begin(); it != extraEnv.end(); ++it)
            env.insert(it.key(), it.value());
        p.setProcessEnvironment(env);
        p.start(ARBOR_BINARY, args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    QString userPath() const { return home.path() + "/data/Marrow/arbor/"; }
};

}  // namespace

TEST_F(ArborProgram, HelpListsTheCommands) {
    const Outcome r = arbor({"--help"});
    EXPECT_EQ(r.code, 0);
    for (const char* option :
         {"--new-db", "--create-schema", "--check", "--register-file-type", "--version"})
        EXPECT_TRUE(r.out.contains(option)) << option;
    const Outcome bad = arbor({"--frobnicate"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.err.contains("--frobnicate"));
    EXPECT_EQ(arbor({"--check"}).code, 2);
}

TEST_F(ArborProgram, StartLaysOutTheUserFolderOnce) {
    Outcome r = arbor({"--prepare"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    for (const char* entry : {"Wrk", "Site", "Dbs", "User.xml", "Dbs/Moto.txdb"})
        EXPECT_TRUE(QFileInfo::exists(userPath() + entry)) << entry;
    EXPECT_TRUE(r.out.contains("作成しました"));
    const QDateTime made = QFileInfo(userPath() + "Dbs/Moto.txdb").lastModified();
    r = arbor({"--prepare"});
    EXPECT_EQ(r.code, 0);
    EXPECT_FALSE(r.out.contains("作成しました"));
    EXPECT_EQ(QFileInfo(userPath() + "Dbs/Moto.txdb").lastModified(), made);
    // The template is a document database.
    r = arbor({"--check", userPath() + "Dbs/Moto.txdb"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("ページ: 0"));
}

TEST_F(ArborProgram, StartOpensTheDatabaseOfTheCommandLine) {
    const QString path = home.path() + "/my docs/本 collection.txdb";
    QDir().mkpath(home.path() + "/my docs");
    Outcome r = arbor({"--new-db", path});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = arbor({"--prepare", path, "12"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("本 collection.txdb (0 ページ)")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("開始ページ: 12"));
    // A file that is not a document database: a reason, and the file untouched.
    const QString text = home.path() + "/note.txdb";
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("hello");
    f.close();
    r = arbor({"--prepare", text});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("開けません"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "hello");
    // --new-db never replaces a file.
    r = arbor({"--new-db", text});
    EXPECT_EQ(r.code, 1);
}

TEST_F(ArborProgram, CreateSchemaOnAServer) {
    ARBOR_REQUIRE_PG(pg);
    Outcome r = arbor({"--create-schema", pg->udlPath()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = arbor({"--check", pg->udlPath()});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("PostgreSQL"));
    // A second run leaves the tables and their rows alone.
    ASSERT_TRUE(pg->adminExec("INSERT INTO msdoc (nodoc, szdoc) VALUES (1001, 'kept')"));
    r = arbor({"--create-schema", pg->udlPath()});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("既に"));
    r = arbor({"--check", pg->udlPath()});
    EXPECT_TRUE(r.out.contains("ページ: 1")) << r.out.toStdString();
}

TEST_F(ArborProgram, CreateSchemaWithARefusedPassword) {
    ARBOR_REQUIRE_PG(pg);
    const QString udl = pg->writeUdl("wrong", "wrong.udl");
    Outcome r = arbor({"--create-schema", udl});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("ARBOR_PASSWORD"));
    r = arbor({"--create-schema", udl},
              {{"ARBOR_PASSWORD", qEnvironmentVariable("ARBOR_TEST_PG_PASSWORD")}});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
}
