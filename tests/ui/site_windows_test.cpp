// The web menu's windows on the sample collection as a user goes through them: the site
// settings (site title, a page's template and robots line), the template editor restyling
// the site with a preset, a build shown in the browser, and the list of unused files.
#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>

#include "app/program_state.h"
#include "app/shell_ops.h"
#include "db/zsvr.h"
#include "ui/main_menus.h"
#include "ui/main_window_fixture.h"
#include "ui/site_settings_window.h"
#include "ui/style_sheet_window.h"
#include "ui/unused_files_window.h"

using namespace arbor;
using arbor::test::MainWindowTest;

namespace {

class SiteWindowsTest : public MainWindowTest {
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
    }
    void TearDown() override {
        setUrlOpener(previousOpener);
        MainWindowTest::TearDown();
    }
    void menu(int index) {
        QAction* a = window->menus()->item("mnWeb", index);
        ASSERT_NE(a, nullptr);
        ASSERT_TRUE(a->isEnabled()) << index;
        a->trigger();
    }
    QString siteFile(const QString& relative) const {
        QFile f(G().UserPath + "Site/" + G().DbName + "/" + relative);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

}  // namespace

TEST_F(SiteWindowsTest, SettingsRestyleAndBuildAsAUserDoes) {
    open(1002);
    menu(4);
    auto* settings = window->findChild<ui::SiteSettingsWindow*>();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->windowTitle(), "サイト出力時の指定");
    EXPECT_EQ(settings->selectedPage(), 1002);
    EXPECT_TRUE(
        settings->messageLine()->text().endsWith("登録がありません　上位の文書から継承されます"));
    EXPECT_TRUE(settings->deleteButton()->isEnabled());
    EXPECT_FALSE(settings->pageText()->toPlainText().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(G().UserPath + "Site/" + G().DbName + "/Template/tpl-fx.htm"))
        << "the site folders are prepared first";

    // Closing without a top template is refused and shows the top page.
    settings->reject();
    EXPECT_TRUE(ui.prompter.messages.contains("ﾄｯﾌﾟﾍﾟｰｼﾞのﾃﾝﾌﾟﾚｰﾄ指定は必須です"));
    EXPECT_EQ(settings->selectedPage(), settings->topPage());
    EXPECT_FALSE(settings->deleteButton()->isEnabled());

    // The site title and template on the top page.
    settings->field("Title")->setText("わたしのサイト");
    settings->field("Template")->setText("tpl-fx.htm");
    settings->savePage();
    EXPECT_TRUE(ui.prompter.messages.last().contains("以上が再出力が必要です"))
        << "a new top template publishes every inheriting page again";
    ASSERT_EQ(zSvr::instance().R_GtVaL("Select szTtl From tbHtm Where noDoc=1001", "").toString(),
              "わたしのサイト");

    // A page's template and robots line, chosen in the window's tree.
    ui.prompter.files = {G().UserPath + "Site/" + G().DbName + "/Template/tpl-el.htm"};
    settings->ShowSiteSettings(1002);
    settings->chooseTemplate();
    EXPECT_EQ(settings->field("Template")->text(), "tpl-el.htm");
    settings->noIndexCheck()->setChecked(true);
    settings->savePage();
    EXPECT_TRUE(ui.prompter.messages.last().contains("以上が再出力が必要です"));
    // Sub pages are added to the cell's list.
    const QString templates = G().UserPath + "Site/" + G().DbName + "/Template/";
    ui.prompter.files = {templates + "tpl-fx.htm", templates + "tpl-el.htm"};
    settings->chooseSubPages();
    settings->chooseSubPages();
    EXPECT_EQ(settings->field("Sub Pages")->text(), "tpl-fx.htm ,tpl-el.htm");
    settings->field("Sub Pages")->clear();
    // The whole site: document type, site-map depth, an empty picture folder in one folder.
    settings->docTypes()->button(2)->setChecked(true);
    settings->mapDepth()->setCurrentIndex(2);
    settings->pictureFolderModes()->button(1)->setChecked(true);
    settings->pictureFolder()->clear();
    settings->saveSite();
    EXPECT_TRUE(ui.prompter.messages.last().startsWith("ｻｲﾄ全体の設定を保存しました"));
    EXPECT_EQ(zSvr::instance().R_GtVaL("Select HiType From kaUsr", -1).toInt(), 2);
    EXPECT_EQ(zSvr::instance().R_GtVaL("Select HiPopS From kaUsr", -1).toInt(), 5);
    EXPECT_EQ(settings->pictureFolder()->text(), "image");
    // A template outside the folder is refused.
    ui.prompter.files = {G().UserPath + "outside.htm"};
    settings->chooseTemplate();
    EXPECT_TRUE(ui.prompter.messages.last().endsWith(" にﾃﾝﾌﾟﾚｰﾄは配置して下さい"));
    settings->reject();
    EXPECT_TRUE(settings->isHidden());

    // Restyle with a preset: the fixed layout's pair of the site, regenerated.
    menu(6);
    auto* editor = window->findChild<ui::StyleSheetWindow*>();
    ASSERT_NE(editor, nullptr);
    editor->presets()->setCurrentText("Green");
    editor->choosePreset(editor->presets()->currentIndex());
    editor->stepPreset(1);
    EXPECT_EQ(editor->field("bcTitle")->text(), "#66CC99");
    editor->stepPreset(-2);
    EXPECT_EQ(editor->presetGroup(), 7) << "back from the first group to the last";
    editor->field("txTpW")->setText("120");
    ui.prompter.answers = {Answer::Ok};  // no ID: continue
    ASSERT_TRUE(editor->generate());
    EXPECT_TRUE(ui.prompter.messages.contains("IDが指定されていませんが、続けて良いですか"));
    EXPECT_EQ(editor->field("txTpW")->text(), "100");
    const QString css = siteFile("cmn/navi-fx.css");
    EXPECT_TRUE(css.contains("background-color:#339933;")) << "the last Green group's title";
    EXPECT_TRUE(css.contains("/* 追加指定 */")) << "the skeleton's additions are kept";
    // Bad fields: a message, nothing written.
    editor->field("bcMain")->setText("#GG0000");
    EXPECT_FALSE(editor->generate());
    EXPECT_TRUE(ui.prompter.messages.last().startsWith("色は #RRGGBB"));
    editor->field("bcMain")->setText("#FFFFFF");
    editor->field("txWide")->setText("9OO");
    EXPECT_FALSE(editor->generate());
    EXPECT_EQ(siteFile("cmn/navi-fx.css"), css);
    editor->field("txWide")->setText("960");

    // The preview: the current page in the work template, opened in the browser.
    opened.clear();
    ASSERT_TRUE(editor->preview());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.first().toLocalFile().endsWith("Template/tpl_wrk.htm"));
    const QString work = siteFile("Template/tpl_wrk.htm");
    EXPECT_TRUE(work.contains("href=\"../cmn/navi_wrk.css\""));
    EXPECT_FALSE(siteFile("cmn/navi_wrk.css").isEmpty());
    editor->reject();

    // Build: the pages carry the new title, template and robots line.
    opened.clear();
    menu(2);
    ASSERT_EQ(opened.size(), 1);
    const QString top = siteFile("pub/1001.htm");
    EXPECT_TRUE(top.contains("わたしのサイト"));
    EXPECT_TRUE(top.contains("navi-fx.css"));
    const QString chapter = siteFile("pub/1002.htm");
    EXPECT_TRUE(chapter.contains("navi-el.css"));
    EXPECT_TRUE(chapter.contains("content=\"noindex,nofollow\""));
}

TEST_F(SiteWindowsTest, UnusedFilesAreListedAndGoToTheTrash) {
    ASSERT_TRUE(zSvr::instance().D_ExeSq(
        "Insert Into tbHtm (noDoc, saTpl, szTtl) Values (1001, 'tpl-fx.htm', 'サンプル')"));
    menu(2);
    QFile stale(G().UserPath + "Site/" + G().DbName + "/pub/0998.htm");
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("<html></html>");
    stale.close();
    menu(10);
    auto* list = window->findChild<ui::UnusedFilesWindow*>();
    ASSERT_NE(list, nullptr);
    ASSERT_GE(list->list()->topLevelItemCount(), 1);
    QTreeWidgetItem* first = list->list()->topLevelItem(0);
    EXPECT_EQ(first->text(0), "pub/0998.htm");
    EXPECT_EQ(first->text(1), "13 B");
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    QDir().mkpath(user.filePath("data/Trash/files"));
    QDir().mkpath(user.filePath("data/Trash/info"));
    qputenv("XDG_DATA_HOME", user.filePath("data").toUtf8());
    first->setCheckState(0, Qt::Checked);
    ui.prompter.answers = {Answer::Ok};
    list->trashChecked();
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
    EXPECT_FALSE(QFileInfo::exists(stale.fileName()));
    for (int i = 0; i < list->list()->topLevelItemCount(); ++i)
        EXPECT_NE(list->list()->topLevelItem(i)->text(0), "pub/0998.htm");
}
