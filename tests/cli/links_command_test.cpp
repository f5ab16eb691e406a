// arbor check-links run as a team would run it in its CI: on a file and on a server
// database, against a web server on this machine, and offline.
#include <gtest/gtest.h>

#include "arbor_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include "support/local_http_server.h"
#include "support/pg_test_server.h"

namespace {

using arbor::test::Outcome;

class LinksCommand : public ::testing::Test {
  protected:
    QTemporaryDir home;
    arbor::test::LocalHttpServer server;

    static void SetUpTestSuite() {
        // The local server answers while the program runs: an event loop is needed.
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_cli";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
    }
    void SetUp() override { ASSERT_TRUE(server.start()); }

    Outcome arbor(const QStringList& args) { return ::arbor::test::runArbor(home.path(), args); }
    // A folder of pages whose links lead to the local server, a missing file and a page.
    QString pages() {
        const QString folder = home.path() + "/pages";
        QDir().mkpath(folder);
        auto write = [&](const QString& name, const QString& text) {
            QFile f(folder + "/" + name);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(text.toUtf8());
        };
        write("1-top.md", "# 表紙\n\n[次](2-next.md) と [見本](" + server.base() +
                              "/ok) と [消えた](" + server.base() + "/gone)\n");
        write("2-next.md",
              "# 次\n\n[資料](/nowhere/資料.pdf) と [転送](" + server.base() + "/moved)\n");
        return folder;
    }
};

}  // namespace

TEST_F(LinksCommand, ReportsBrokenLinksOfAFileDatabase) {
    const QString db = home.path() + "/links.txdb";
    ASSERT_EQ(arbor({"--new-db", db}).code, 0);
    Outcome r = arbor({"import", pages(), db});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    r = arbor({"check-links", db});
    EXPECT_EQ(r.code, 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("× 1001 表紙: 消えた → " + server.base() + "/gone : HTTP 404"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("× 1002 次: 資料 → /nowhere/資料.pdf : ﾌｧｲﾙがありません"))
        << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("/ok :")) << "good links are not printed";
    EXPECT_TRUE(r.out.contains("2 ページ、5 件のﾘﾝｸを確認しました: 不良 2 件"))
        << r.out.toStdString();
    EXPECT_TRUE(server.requests.contains("HEAD /gone HTTP/1.1"));

    // Offline only the file link is broken; nothing is requested.
    const int asked = server.requests.size();
    r = arbor({"check-links", db, "--offline"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains("不良 1 件 (Webは未確認)")) << r.out.toStdString();
    EXPECT_EQ(server.requests.size(), asked);
}

TEST_F(LinksCommand, ACleanCollectionPassesAndWrongArgumentsAreRefused) {
    const QString db = home.path() + "/sample.txdb";
    ASSERT_EQ(arbor({"--sample", db}).code, 0);
    const Outcome r = arbor({"check-links", db, "--offline"});
    EXPECT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("7 ページ")) << r.out.toStdString();
    EXPECT_EQ(arbor({"check-links"}).code, 2);
    EXPECT_EQ(arbor({"check-links", db, "--timeout", "ゼロ"}).code, 2);
    EXPECT_EQ(arbor({"check-links", db, "--proxy", "nohost"}).code, 2);
    EXPECT_EQ(arbor({"check-links", db, "--frobnicate"}).code, 2);
    EXPECT_EQ(arbor({"check-links", home.path() + "/missing.txdb"}).code, 1);
}

TEST_F(LinksCommand, ReportsBrokenLinksOfAServerDatabase) {
    ARBOR_REQUIRE_PG(pg);
    ASSERT_EQ(arbor({"--create-schema", pg->udlPath()}).code, 0);
    Outcome r = arbor({"import", pages(), pg->udlPath()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = arbor({"check-links", pg->udlPath()});
    EXPECT_EQ(r.code, 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("消えた → " + server.base() + "/gone : HTTP 404"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("不良 2 件")) << r.out.toStdString();
}
