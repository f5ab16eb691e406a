// The main window where a mistake would lose the user's work or leave them without a
// word: damaged pages, deleted placements, read-only databases, settings on a fresh
// profile, and the commands that must stay reachable.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest/QTest>

#include "app/program_state.h"
#include "app/shell_ops.h"
#include "app/yini.h"
#include "db/zsvr.h"
#include "tree/node_key.h"
#include "tree/tree_commands.h"
#include "ui/main_menus.h"
#include "ui/main_window_fixture.h"
#include "ui/settings_dialog.h"
#include "ui/translations.h"
#include "ui/tree_menu.h"
#include "ui/ufky.h"
#include "ui/wait_window.h"

using namespace arbor;
using namespace arbor::ui;
using arbor::test::MainWindowTest;

namespace {

QByteArray storedBytes(int page) {
    return zSvr::instance()
        .R_GtVaL("Select obDoc From msDoc Where noDoc=" + QString::number(page), QByteArray())
        .toByteArray();
}

QString storedText(int page) {
    return zSvr::instance()
        .R_GtVaL("Select txDoc From msDoc Where noDoc=" + QString::number(page), QString())
        .toString();
}

class MainWindowSafety : public MainWindowTest {
  protected:
    // Closes the window and opens a new one on the sample, as a restart would.
    void restart() {
        window.reset();
        zSvr::instance().D_Close();
        window = std::make_unique<fmDoc>();
        window->SetDBNo(sample, 0);
        window->load();
    }
    QString setting(const QString& group, const QString& key) {
        Ini().GetGtx(group);
        return Ini().vGtVal(key, QStringLiteral("(なし)")).toString();
    }
};

}  // namespace

TEST_F(MainWindowSafety, DamagedRichTextShowsThePlainTextReadOnlyAndIsNeverSavedOver) {
    const QString text = storedText(1002);
    ASSERT_FALSE(text.isEmpty());
    const QByteArray damaged = storedBytes(1002).left(40) + QByteArray(30, '\xff');
    ASSERT_TRUE(zSvr::instance().execBound("Update msDoc Set obDoc=? Where noDoc=1002", {damaged}));
    open(1002);
    EXPECT_EQ(window->currentPage(), 1002);
    ASSERT_FALSE(ui.prompter.messages.isEmpty());
    EXPECT_TRUE(ui.prompter.messages.last().contains("書式付きの内容が壊れていて読み込めません"));
    EXPECT_EQ(editor().GetMTxt().simplified(), text.simplified());
    EXPECT_TRUE(editor().menuState().readOnly);

    // F8 stores nothing: the damaged bytes are the only formatted copy there is.
    window->keyBar()->keys().press(8, false);
    editor().setBDcEdt(true);
    window->keyBar()->keys().press(8, false);
    EXPECT_EQ(storedBytes(1002), damaged);
    EXPECT_EQ(storedText(1002), text);

    // The next page is an ordinary page again.
    editor().setBDcEdt(false);
    open(1001);
    EXPECT_EQ(window->currentPage(), 1001);
    EXPECT_FALSE(editor().menuState().readOnly);
}

TEST_F(MainWindowSafety, DeletingThePlacementOnScreenLeavesNoPageOpen) {
    open(1002);
    ASSERT_EQ(window->currentPage(), 1002);
    const QByteArray before = storedBytes(1002);
    tree().selectNode(tree().nodesOfPage(1002).first());
    ASSERT_TRUE(tree::deleteSelectedPlacement(tree()));
    EXPECT_EQ(window->currentPage(), 0);
    EXPECT_TRUE(editor().menuState().readOnly);
    // F8 has nothing to save into.
    editor().setBDcEdt(true);
    window->keyBar()->keys().press(8, false);
    EXPECT_EQ(storedBytes(1002), before);
}

TEST_F(MainWindowSafety, ReadOnlyDatabaseSaysSoOnOpeningAndTakesNoEdits) {
    window.reset();
    zSvr::instance().D_Close();
    QFile::setPermissions(sample, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    window = std::make_unique<fmDoc>();
    window->SetDBNo(sample, 0);
    window->load();
    ASSERT_TRUE(zSvr::instance().isOpen());
    EXPECT_TRUE(window->windowTitle().contains("読み取り専用"))
        << window->windowTitle().toStdString();
    EXPECT_TRUE(window->keyBar()->panelText().contains("読み取り専用"));
    EXPECT_GT(window->currentPage(), 0);
    EXPECT_TRUE(editor().menuState().readOnly);
    QFile::setPermissions(sample, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(MainWindowSafety, NoPageMeansNoTypingAndNoDuplicate) {
    zSvr::instance().D_ExeSq("Delete From tbTree");
    window->files().OpenDocDb(sample);
    EXPECT_EQ(window->currentPage(), 0);
    EXPECT_TRUE(editor().menuState().readOnly);
    window->tree()->mnTree()->updateFor(tree());
    EXPECT_FALSE(window->tree()->mnTree()->item(11)->isEnabled());
}

TEST_F(MainWindowSafety, ExitStaysReachableAfterAFailedOpen) {
    const QString foreign = user.filePath("foreign.txdb");
    QFile f(foreign);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a database at all");
    f.close();
    window->files().OpenDocDb(foreign);
    ASSERT_FALSE(zSvr::instance().isOpen());
    QAction* exit = window->menus()->item("mnExit", 1);
    ASSERT_NE(exit, nullptr);
    EXPECT_TRUE(exit->isEnabled());
    EXPECT_TRUE(window->menus()->topMenu(0)->menuAction()->isEnabled());
}

TEST_F(MainWindowSafety, TheSettingsDialogOnAFreshProfileKeepsAskingBeforeLeavingAPage) {
    bool ok = false;
    Ini().GetTxt(user.filePath("fresh.xml"), ok);
    SettingsDialog dialog(window.get());
    dialog.applySettings();
    EXPECT_EQ(setting("TX_USR", "更新確認"), "確認");
    // Values the user chose are shown as chosen and stored back unchanged.
    Ini().GetGtx("最近");
    Ini().SetVal("開始頁", "開く");
    Ini().SetGtx();
    Ini().GetGtx("位置");
    Ini().SetVal("Function", "非表示");
    Ini().SetGtx();
    SettingsDialog again(window.get());
    again.applySettings();
    EXPECT_EQ(setting("最近", "開始頁"), "開く");
    EXPECT_EQ(setting("位置", "Function"), "非表示");
}

TEST_F(MainWindowSafety, StartPageAndHiddenKeyBarTakeEffectAtStart) {
    Ini().GetGtx("最近");
    Ini().SetVal("開始頁", "開く");
    Ini().SetVal("開始頁NO", 1003);
    Ini().SetGtx();
    Ini().GetGtx("位置");
    Ini().SetVal("Function", "非表示");
    Ini().SetGtx();
    restart();
    EXPECT_EQ(window->currentPage(), 1003);
    EXPECT_TRUE(window->keyBar()->isHidden());
}

TEST_F(MainWindowSafety, CtrlF1ShowsTheBrowserPreviewOrSaysWhyNot) {
    window->show();
    QApplication::setActiveWindow(window.get());
    QList<QUrl> opened;
    const UrlOpener previous = setUrlOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    QTest::keyClick(window->editor(), Qt::Key_F1, Qt::ControlModifier);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().toLocalFile(), G().WrkPath + "preview.htm");
    EXPECT_TRUE(QFile::exists(G().WrkPath + "preview.htm"));
    // No application to show it: a message instead of nothing at all.
    setUrlOpener([](const QUrl&) { return false; });
    ui.prompter.messages.clear();
    QTest::keyClick(window->editor(), Qt::Key_F1, Qt::ControlModifier);
    ASSERT_EQ(ui.prompter.messages.size(), 1);
    EXPECT_TRUE(ui.prompter.messages.first().contains("表示するｱﾌﾟﾘｹｰｼｮﾝが見つかりません"));
    setUrlOpener(previous);
}

TEST(QtTexts, FileDialogsAndTextMenusSpeakJapanese) {
    ASSERT_TRUE(installJapaneseTranslations(*QCoreApplication::instance()))
        << "qt6-translations-l10n is not installed";
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "File &name:"), "File &name:");
    EXPECT_NE(QCoreApplication::translate("QWidgetTextControl", "&Copy"), "&Copy");
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>())
        QCoreApplication::removeTranslator(t);
}

TEST(WaitWindowTest, LongWorkThatAsksCanBeStoppedFromTheWaitWindow) {
    WindowProgress progress;
    progress.showWait("サイトを更新しています");
    ASSERT_NE(progress.waitWindow(), nullptr);
    EXPECT_FALSE(progress.waitWindow()->stopButton()->isVisible());
    EXPECT_FALSE(progress.cancelRequested());
    // Asking shows the stop button; a click is seen at the next question.
    EXPECT_TRUE(progress.waitWindow()->stopButton()->isVisible());
    QTest::mouseClick(progress.waitWindow()->stopButton(), Qt::LeftButton);
    EXPECT_TRUE(progress.cancelRequested());
    progress.hideWait();
    // The next wait starts afresh.
    progress.showWait("次の仕事");
    EXPECT_FALSE(progress.cancelRequested());
    progress.hideWait();
}
