// The web menu of the main window on the sample collection: the updates write the site and
// show the page in the browser, the publish right is asked first, the site map is made.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QUrl>

#include "app/program_state.h"
#include "app/shell_ops.h"
#include "db/zsvr.h"
#include "support/local_http_server.h"
#include "ui/main_menus.h"
#include "ui/main_window_fixture.h"
#include "ui/sblnk.h"
#include "ui/ufky.h"

using namespace arbor;
using arbor::test::MainWindowTest;

namespace {

class WebMenuTest : public MainWindowTest {
  protected:
    QList<QUrl> opened;
    UrlOpener previousOpener;

    void SetUp() override {
        MainWindowTest::SetUp();
        G().ApDataPath = QStringLiteral(ARBOR_TEST_APDATA);
        previousOpener = setUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
        zSvr::instance().D_ExeSq("Delete From tbHtm");
        ASSERT_TRUE(zSvr::instance().D_ExeSq(
            "Insert Into tbHtm (noDoc, saTpl, szTtl) Values (1001, 'tpl-fx.htm', 'サンプル')"));
    }
    void TearDown() override {
        setUrlOpener(previousOpener);
        MainWindowTest::TearDown();
    }
    void menu(const QString& array, int index) {
        QAction* a = window->menus()->item(array, index);
        ASSERT_NE(a, nullptr);
        ASSERT_TRUE(a->isEnabled()) << array.toStdString() << " " << index;
        a->trigger();
    }
    QString pageFile(const QString& name) const {
        return G().UserPath + "Site/" + G().DbName + "/pub/" + name;
    }
};

}  // namespace

TEST_F(WebMenuTest, SyncWritesTheSiteAndShowsTheTopPage) {
    menu("mnWeb", 2);
    EXPECT_TRUE(QFileInfo::exists(pageFile("1001.htm")));
    EXPECT_TRUE(QFileInfo::exists(pageFile("1002.htm")));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().toLocalFile(), pageFile("1001.htm"));
    EXPECT_TRUE(window->keyBar()->panelText().contains("ファイルを出力しました"));
    // The preview shows the page on screen, after a sync.
    open(1002);
    opened.clear();
    menu("mnWeb", 0);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().toLocalFile(), pageFile("1002.htm"));
}

TEST_F(WebMenuTest, TheUpdateSubmenuSavesThePageFirstAndShowsIt) {
    open(1002);
    type("サイトに載る追記");
    ui.prompter.answers = {Answer::Yes};  // save the page
    menu("mnWebUp", 2);                   // 現在のノード
    EXPECT_TRUE(ui.prompter.messages.contains("現在の文書を保存しますか"));
    QFile page(pageFile("1002.htm"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(page.readAll()).contains("サイトに載る追記"));
    EXPECT_FALSE(QFileInfo::exists(pageFile("1004.htm"))) << "only the current node";
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().toLocalFile(), pageFile("1002.htm"));
}

TEST_F(WebMenuTest, AnotherPcsPublishRightStopsEveryUpdate) {
    ASSERT_TRUE(zSvr::instance().D_ExeSq("Update kaUsr Set HsPub='他のPC'"));
    menu("mnWeb", 2);
    EXPECT_TRUE(ui.prompter.messages.contains("Webへの出力できるPC(ﾊﾞﾌﾞﾘｯｼｭ権限)は 他のPC です"));
    EXPECT_FALSE(QFileInfo::exists(pageFile("1001.htm")));
    EXPECT_TRUE(opened.isEmpty());
    // Freeing the right lets this PC publish.
    ui.prompter.messages.clear();
    menu("mnWeb", 12);
    EXPECT_TRUE(ui.prompter.messages.last().contains("初期化"));
    menu("mnWebUp", 0);
    EXPECT_TRUE(QFileInfo::exists(pageFile("1001.htm")));
}

TEST_F(WebMenuTest, TheSiteMapOfTheWholeSiteOrOfTheCurrentBranch) {
    menu("mnWeb", 7);  // on the top page: the whole site
    const QString map = G().UserPath + "Site/" + G().DbName + "/Template/sitemap.htm";
    EXPECT_TRUE(QFileInfo::exists(map));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().toLocalFile(), map);
    open(1003);
    ui.prompter.answers = {Answer::Ok};
    menu("mnWeb", 7);
    EXPECT_TRUE(ui.prompter.messages.contains(
        "トップページが指定されていないので、現在のページ以下のマップとなりますが、良いですか"));
    EXPECT_TRUE(
        QFileInfo::exists(G().UserPath + "Site/" + G().DbName + "/Template/sitemap_1003.htm"));
}

// The link checker on the sample: its web address goes through a proxy on this machine,
// which refuses the tunnel, so nothing leaves the machine.
TEST_F(WebMenuTest, TheLinkCheckerListsTheSamplesLinksAndItsPictures) {
    arbor::test::LocalHttpServer proxy;
    ASSERT_TRUE(proxy.start());
    const web::LinkCheckOptions saved = ui::sbLnk::defaultOptions();
    ui::sbLnk::defaultOptions().web.proxy =
        QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", proxy.serverPort());
    ui::sbLnk::defaultOptions().web.timeoutMs = 5000;
    QTemporaryDir trash;
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", trash.path().toUtf8());

    open(1002);
    type("確認の前に保存");
    ui.prompter.answers = {Answer::Yes};  // save the page
    menu("mnWeb", 9);
    EXPECT_TRUE(ui.prompter.messages.contains("現在の文書を保存しますか"));
    EXPECT_TRUE(zSvr::instance()
                    .R_GtVaL("Select txDoc From msDoc Where noDoc=1002", "")
                    .toString()
                    .contains("確認の前に保存"));
    auto* checker = window->findChild<ui::sbLnk*>();
    ASSERT_NE(checker, nullptr);
    EXPECT_TRUE(checker->isVisible());
    EXPECT_FALSE(checker->running());
    QAbstractItemModel* grid = checker->model();
    auto cell = [grid](int row, int column) { return grid->index(row, column).data().toString(); };
    ASSERT_EQ(grid->rowCount(), 7);
    EXPECT_EQ(grid->headerData(5, Qt::Horizontal).toString(), "確認結果");
    EXPECT_EQ(cell(0, 0), " ○ ");
    EXPECT_EQ(cell(0, 1), "1001");
    EXPECT_EQ(cell(0, 4), "Page No:1002");
    EXPECT_EQ(cell(3, 0), " × ");
    EXPECT_EQ(cell(3, 4), "https://example.jp/arbor/");
    EXPECT_TRUE(grid->index(3, 5).data(Qt::ForegroundRole).isValid()) << "broken rows are red";
    EXPECT_TRUE(proxy.requests.contains("CONNECT example.jp:443 HTTP/1.1"));
    EXPECT_EQ(checker->missingBox()->toPlainText(), ",");
    EXPECT_EQ(checker->nonPublicBox()->toPlainText(), ",");
    EXPECT_EQ(window->currentPage(), 1002) << "the page on screen is loaded again";

    checker->copyToClipboard();
    EXPECT_EQ(ui.prompter.messages.last(), "表のﾃﾞ-ﾀ-をｸﾘｯﾌﾟﾎﾞ-ﾄﾞに貼り付けました");
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith("結果\t文書No\t")) << copied.toStdString();
    EXPECT_TRUE(copied.contains("該当がない、内部文書\n,"));

    // No page of the sample refers to an enlarged picture.
    const QString zoom = G().UserPath + "Site/" + G().DbName + "/pc_zoom";
    ASSERT_TRUE(QDir().mkpath(zoom));
    QFile picture(zoom + "/大きい.png");
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();
    EXPECT_EQ(checker->listZoomPictures(), QStringList{"大きい.png"});
    EXPECT_EQ(checker->zoomBox()->text(), "大きい.png");
    ui.prompter.answers = {Answer::Ok};
    checker->deleteZoomPictures();
    EXPECT_EQ(ui.prompter.messages.last(), "大きい.png を削除しました");
    EXPECT_FALSE(QFileInfo::exists(picture.fileName()));
    checker->close();

    if (savedData.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", savedData);
    ui::sbLnk::defaultOptions() = saved;
}
