// The web menu of the main window on the sample collection: the updates write the site and
// show the page in the browser, the publish right is asked first, the site map is made.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "app/program_state.h"
#include "app/shell_ops.h"
#include "db/zsvr.h"
#include "ui/main_menus.h"
#include "ui/main_window_fixture.h"
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
