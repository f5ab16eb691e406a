// The database menu's folder import: the folder asked for, the pages placed under the
// selected page, and the tree showing them.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "db/zsvr.h"
#include "tree/page_tree.h"
#include "ui/main_menus.h"
#include "ui/main_window_fixture.h"

using namespace arbor;
using arbor::test::MainWindowTest;

namespace {

QString makeFolder(const QTemporaryDir& dir) {
    const QString folder = dir.filePath("取り込み");
    QDir().mkpath(folder + "/1-章");
    for (const auto& [name, text] : {std::pair{"1-章.md", "# 取り込んだ章\n\n[次](2-節.txt)"},
                                     {"2-節.txt", "本文"},
                                     {"1-章/子.html", "<title>子ページ</title><p>子</p>"}}) {
        QFile f(folder + "/" + name);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(text));
    }
    return folder;
}

}  // namespace

TEST_F(MainWindowTest, FolderImportGoesUnderTheSelectedPage) {
    QTemporaryDir dir;
    const QString folder = makeFolder(dir);
    open(1002);
    const int before = zSvr::instance().R_GtVaL("Select Max(noDoc) From msDoc", 0).toInt();
    QAction* item = window->menus()->item("mnRet", 7);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "ﾌｫﾙﾀﾞから取り込み...");
    ASSERT_TRUE(item->isEnabled());

    // Cancelled in the folder dialog: nothing happens.
    item->trigger();
    ASSERT_EQ(ui.prompter.fileRequests.size(), 1);
    EXPECT_EQ(ui.prompter.fileRequests[0].mode, FileDialogRequest::Mode::Folder);
    EXPECT_EQ(zSvr::instance().R_GtVaL("Select Max(noDoc) From msDoc", 0).toInt(), before);

    ui.prompter.files = {folder};
    ui.prompter.messages.clear();
    item->trigger();
    ASSERT_EQ(ui.prompter.messages.size(), 2);  // the question, then the report
    EXPECT_TRUE(ui.prompter.messages[0].contains(folder));
    EXPECT_TRUE(ui.prompter.messages[1].contains("3 ﾍﾟｰｼﾞを取り込みました"))
        << ui.prompter.messages[1].toStdString();
    const int first = before + 1;
    QString sql = "Select noLfP From tbTree Where noLfC=" + QString::number(first);
    EXPECT_EQ(zSvr::instance().R_GtVaL(sql, 0).toInt(), 1002);
    EXPECT_EQ(zSvr::instance()
                  .R_GtVaL("Select saTgs From msDoc Where noDoc=" + QString::number(first), "")
                  .toString(),
              "." + QString::number(first + 2) + ".");
    // The tree shows the new pages, the first one selected.
    EXPECT_FALSE(tree().nodesOfPage(first + 1).isEmpty());
    EXPECT_EQ(tree().GetPrCdNo(tree().SlctdKy()).page, QString::number(first));
    EXPECT_EQ(tree().GetNodeText(), "取り込んだ章");
}

TEST_F(MainWindowTest, FolderImportWithoutASelectionGoesToTheTopLevel) {
    QTemporaryDir dir;
    const QString folder = makeFolder(dir);
    tree().selectNode(QModelIndex());
    ASSERT_TRUE(tree().SlctdKy().isEmpty());
    const int top =
        zSvr::instance().R_GtVaL("Select Count(*) From tbTree Where noLfP=0", 0).toInt();
    ui.prompter.files = {folder};
    window->menus()->item("mnRet", 7)->trigger();
    EXPECT_EQ(zSvr::instance().R_GtVaL("Select Count(*) From tbTree Where noLfP=0", 0).toInt(),
              top + 2);
}
