// The main window's wiring, offscreen, on a sample collection: leaving a page, the
// function keys, new pages, the format dialog.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QtTest/QTest>
#include <set>

#include "app/program_state.h"
#include "app/yini.h"
#include "db/schema.h"
#include "db/zsvr.h"
#include "editor/document_model.h"
#include "editor/link_fields.h"
#include "editor/rich_text.h"
#include "editor/sample_collection.h"
#include "editor/user_formats.h"
#include "support/scripted_prompter.h"
#include "tree/page_tree.h"
#include "ui/fmdoc.h"
#include "ui/main_menus.h"
#include "ui/main_window_fixture.h"
#include "ui/page_view.h"
#include "ui/settings_dialog.h"
#include "ui/tree_menu.h"
#include "ui/ufky.h"
#include "ui/utrx.h"
#include "ui/utxm.h"

using namespace arbor;
using namespace arbor::ui;

using arbor::test::MainWindowTest;

TEST_F(MainWindowTest, StartsOnTheFirstPage) {
    EXPECT_EQ(window->currentPage(), 1001);
    EXPECT_TRUE(editor().GetMTxt().contains("Arbor へようこそ"));
    EXPECT_FALSE(editor().bDcEdt());
    EXPECT_TRUE(window->windowTitle().contains("sample.txdb"));
}

TEST_F(MainWindowTest, LeavingAModifiedPageAsksAndCancelKeepsIt) {
    type("追記した文");
    ASSERT_TRUE(editor().bDcEdt());
    tree().SetNodes(tree().SlctdKy(), false);
    ui.prompter.answers = {Answer::Cancel};
    open(1002);
    EXPECT_EQ(window->currentPage(), 1001);
    EXPECT_TRUE(editor().GetMTxt().contains("追記した文"));
    EXPECT_TRUE(editor().bDcEdt());
    EXPECT_TRUE(ui.prompter.messages.contains("現在の文書を保存しますか"));
    // Yes saves, then the other page opens.
    ui.prompter.answers = {Answer::Yes};
    open(1002);
    EXPECT_EQ(window->currentPage(), 1002);
    EXPECT_TRUE(stored(1001).contains("追記した文"));
    // No lets the change go.
    type("捨てる文");
    ui.prompter.answers = {Answer::No};
    open(1003);
    EXPECT_EQ(window->currentPage(), 1003);
    EXPECT_FALSE(stored(1002).contains("捨てる文"));
}

TEST_F(MainWindowTest, F8SavesAndF9MakesANewPageAfterTheCurrentOne) {
    type("F8で保存");
    window->keyBar()->press(8, false);
    EXPECT_TRUE(stored(1001).contains("F8で保存"));
    EXPECT_FALSE(editor().bDcEdt());

    const int next = NextDocNo();
    window->keyBar()->press(9, false);
    EXPECT_EQ(window->currentPage(), next);
    EXPECT_EQ(tree().SlctdKy(), "NewNode");
    // The new page starts in the body style, and that is not an edit of it.
    const QTextBlock first = editor().GetObj().body()->begin();
    EXPECT_EQ(first.blockFormat().intProperty(doc::StyleIndex), kBody);
    EXPECT_EQ(first.charFormat().fontPointSize(), Frmt::instance().format(kBody).FontSize);
    EXPECT_FALSE(editor().bDcEdt());
    EXPECT_FALSE(editor().GetObj().body()->isUndoAvailable());
    editor().setTitle("新しいﾍﾟｰｼﾞ");
    type("新しいページの本文");
    window->keyBar()->press(8, false);
    EXPECT_EQ(stored(next), "新しいページの本文");
    // Placed after the welcome page, at the top level.
    EXPECT_EQ(zSvr::instance()
                  .R_GtVaL("Select noLfP From tbTree Where noLfC=" + QString::number(next), -1)
                  .toInt(),
              0);
    const int welcome =
        zSvr::instance().R_GtVaL("Select inSrt From tbTree Where noLfC=1001", -1).toInt();
    const int placed =
        zSvr::instance()
            .R_GtVaL("Select inSrt From tbTree Where noLfC=" + QString::number(next), -1)
            .toInt();
    EXPECT_GT(placed, welcome);
}

TEST_F(MainWindowTest, APageThatCouldNotBeStoredStaysModified) {
    type("消えたﾌｧｲﾙへ");
    window->keyBar()->press(8, false);
    EXPECT_FALSE(window->isWindowModified());
    // The database file is moved away while open: the save says so and keeps the change.
    ASSERT_TRUE(QFile::rename(sample, sample + ".moved"));
    type("保存できない文");
    window->keyBar()->press(8, false);
    ASSERT_FALSE(ui.prompter.messages.isEmpty());
    EXPECT_TRUE(ui.prompter.messages.last().startsWith("文書を保存できませんでした"));
    EXPECT_TRUE(editor().bDcEdt());
    EXPECT_TRUE(window->isWindowModified());
    // Leaving the page still asks; Cancel keeps it.
    ui.prompter.answers = {Answer::Cancel};
    open(1002);
    EXPECT_EQ(window->currentPage(), 1001);
    EXPECT_TRUE(editor().GetMTxt().contains("保存できない文"));
    // Back in place, the save goes through.
    ASSERT_TRUE(QFile::rename(sample + ".moved", sample));
    window->keyBar()->press(8, false);
    EXPECT_TRUE(stored(1001).contains("保存できない文"));
    EXPECT_FALSE(editor().bDcEdt());
}

TEST_F(MainWindowTest, F5AndCtrlF5RunTheirMenuItems) {
    // F5 gives the caret's paragraph the body style.
    QTextCursor c(editor().GetObj().body()->begin());
    editor().GetObj().setCursor(c);
    window->keyBar()->press(5, false);
    EXPECT_EQ(editor().GetObj().body()->begin().blockFormat().intProperty(doc::StyleIndex), kBody);
    // Ctrl+F5 imports a picture.
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString png = user.filePath("red.png");
    ASSERT_TRUE(image.save(png));
    ui.prompter.files = {png};
    const QString before = editor().GetObj().body()->toHtml();
    window->keyBar()->press(5, true);
    EXPECT_NE(editor().GetObj().body()->toHtml(), before);
    EXPECT_TRUE(editor().GetObj().body()->toHtml().contains("arbor-image"));
}

TEST_F(MainWindowTest, EditorKeysReachTheirCommandsWithTheTextFocused) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTextBlock body = editor().GetObj().body()->begin();
    while (body.isValid() && body.blockFormat().intProperty(doc::StyleIndex) != kBody)
        body = body.next();
    ASSERT_TRUE(body.isValid());
    ASSERT_NE(body.begin().fragment().charFormat().fontWeight(), QFont::Bold);
    PageView* text = editor().findChild<PageView*>();
    ASSERT_NE(text, nullptr);
    text->setFocus();
    QTextCursor c(body);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    text->setTextCursor(c);
    // Ctrl+B bolds the selection; a key the window and the editor both claimed would do nothing.
    QTest::keyClick(text, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(body.begin().fragment().charFormat().fontWeight(), QFont::Bold);
    // Ctrl+S stores the page, also when a menu opened earlier, without a page, left its item off.
    window->menus()->item("mnEdit", 18)->setEnabled(false);
    type("Ctrl+Sで保存");
    QTest::keyClick(text, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(stored(1001).contains("Ctrl+Sで保存"));
    EXPECT_FALSE(editor().bDcEdt());
}

TEST_F(MainWindowTest, AKeyBoundToADisabledItemDoesNothing) {
    QAction* save = window->menus()->item("mnEdit", 18);
    ASSERT_NE(save, nullptr);
    type("保存されない");
    save->setEnabled(false);
    window->keyBar()->SetEnbByMenu();
    EXPECT_FALSE(window->keyBar()->keys().key("F8").enabled);
    window->keyBar()->keys().press(8, false);
    EXPECT_FALSE(stored(1001).contains("保存されない"));
}

TEST_F(MainWindowTest, TheFormatDialogChecksSizesAndSaves) {
    SettingsDialog dialog(window.get());
    dialog.editedFormat(kBody).FontSize = 12;
    dialog.editedFormat(kEmphasis).FontSize = 12;
    for (int i : {kHeading1, kHeading2, kHeading3})
        dialog.editedFormat(i).FontSize = 12;
    dialog.setLineSpacing(1.5f);
    ASSERT_TRUE(dialog.applyFormats());
    EXPECT_TRUE(ui.prompter.messages.contains("見出しのﾌｫﾝﾄｻｲｽﾞ順に変えます"));
    EXPECT_EQ(Frmt::instance().format(kHeading1).FontSize, 15);
    const QString stored = zSvr::instance().R_GtVaL("Select DmFmt From kaUsr", "").toString();
    EXPECT_TRUE(stored.contains("<USR_LSP>1.5</USR_LSP>"));
    // A body size the web cannot show: the message, and the sizes saved as they are.
    ui.prompter.messages.clear();
    SettingsDialog second(window.get());
    second.editedFormat(kBody).FontSize = 11;
    second.editedFormat(kEmphasis).FontSize = 11;
    ASSERT_TRUE(second.applyFormats());
    EXPECT_EQ(ui.prompter.messages.size(), 1);
    EXPECT_EQ(Frmt::instance().format(kBody).FontSize, 11);
}

TEST_F(MainWindowTest, ClosingWritesTheSettingsOnlyWhenAllowed) {
    type("未保存");
    ui.prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(window->CloseMain());
    EXPECT_TRUE(zSvr::instance().isOpen());
    ui.prompter.answers = {Answer::No};
    EXPECT_TRUE(window->CloseMain());
    EXPECT_FALSE(zSvr::instance().isOpen());
    QFile xml(user.filePath("User.xml"));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(xml.readAll());
    EXPECT_TRUE(text.contains("<ACT>sample.txdb</ACT>")) << text.toStdString();
    EXPECT_TRUE(text.contains("<TrxWd>"));
}

// A newcomer's first session: a new database, pages before, after and below, six styles,
// a table, a picture, a tag link, F8, and everything still there after closing.
TEST_F(MainWindowTest, ANewDatabaseKeepsWhatWasWrittenAcrossARestart) {
    bool created = false;
    QString error;
    ASSERT_TRUE(ensureTemplateDb(G().UserPath, ARBOR_TEST_APDATA "schema.sql", defaultFormatsText(),
                                 created, error))
        << error.toStdString();
    const QString path = user.filePath("mine.txdb");
    ui.prompter.files = {path};
    ASSERT_TRUE(window->files().NewDocDb());
    EXPECT_EQ(G().DbName, "mine");
    EXPECT_EQ(zSvr::instance().R_GtVaL("Select Count(*) From msDoc", -1).toInt(), 0);

    // The first page ("最初のﾍﾟｰｼﾞ": F9 waits for a page to follow), written in the six
    // styles with a table and a picture.
    EXPECT_FALSE(window->keyBar()->keys().key("F9").enabled);
    window->tree()->mnTree()->item(0)->trigger();
    const int home = window->currentPage();
    editor().setTitle("ホーム");
    RichText& t = editor().GetObj();
    const QStringList lines = {"大見出し",   "中見出し",   "小見出し",
                               "本文の段落", "強調の段落", "補足の段落"};
    for (int i = 0; i < lines.size(); ++i) {
        QTextCursor c = t.cursor();
        c.movePosition(QTextCursor::End);
        if (i > 0)
            c.insertBlock();
        c.insertText(lines[i]);
        t.setCursor(c);
        window->keyBar()->press(2 + i, false);  // F2 … F7
    }
    QTextCursor end = t.cursor();
    end.movePosition(QTextCursor::End);
    t.setCursor(end);
    ASSERT_NE(t.insertTable(2, 3), nullptr);
    end.movePosition(QTextCursor::End);
    t.setCursor(end);
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    ASSERT_TRUE(t.insertPicture(png, error)) << error.toStdString();
    window->keyBar()->press(8, false);
    ASSERT_FALSE(editor().bDcEdt());

    // A page below it that links back with a tag, one before that, one after the home page.
    tree().SetNodes(tree().SlctdKy(), false);
    window->tree()->mnTree()->item(2)->trigger();
    const int child = window->currentPage();
    editor().setTitle("子ページ");
    type("親へ ");
    editor().insertTagLink(home, "ホーム");
    window->keyBar()->press(8, false);
    window->tree()->mnTree()->item(0)->trigger();
    const int before = window->currentPage();
    editor().setTitle("前のページ");
    type("前に置いた");
    window->keyBar()->press(8, false);
    open(home);
    window->tree()->mnTree()->item(1)->trigger();
    const int after = window->currentPage();
    editor().setTitle("次のページ");
    type("後に置いた");
    window->keyBar()->press(8, false);
    ASSERT_TRUE(window->CloseMain());

    // Opened again: the placements and the content are as they were left.
    window = std::make_unique<fmDoc>();
    window->SetDBNo(path, 0);
    window->load();
    ASSERT_TRUE(zSvr::instance().isOpen());
    auto placement = [](int page, const char* column) {
        return zSvr::instance()
            .R_GtVaL(QString("Select %1 From tbTree Where noLfC=%2").arg(column).arg(page), -1)
            .toInt();
    };
    EXPECT_EQ(placement(home, "noLfP"), 0);
    EXPECT_EQ(placement(after, "noLfP"), 0);
    EXPECT_GT(placement(after, "inSrt"), placement(home, "inSrt"));
    EXPECT_EQ(placement(child, "noLfP"), home);
    EXPECT_EQ(placement(before, "noLfP"), home);
    EXPECT_LT(placement(before, "inSrt"), placement(child, "inSrt"));

    open(home);
    ASSERT_EQ(window->currentPage(), home);
    std::set<int> styles;
    bool picture = false;
    for (QTextBlock b = editor().GetObj().body()->begin(); b.isValid(); b = b.next()) {
        if (lines.contains(b.text()))
            styles.insert(b.blockFormat().intProperty(doc::StyleIndex));
        for (auto it = b.begin(); !it.atEnd(); ++it)
            picture = picture || it.fragment().charFormat().isImageFormat();
    }
    EXPECT_EQ(styles, (std::set<int>{kHeading1, kHeading2, kHeading3, kBody, kEmphasis, kNote}));
    EXPECT_TRUE(picture);
    EXPECT_EQ(editor().GetObj().body()->rootFrame()->childFrames().size(), 1);  // the table

    tree().SetNodes(tree().SlctdKy(), false);
    open(child);
    const auto fields = editor().GetObj().allFields();
    ASSERT_EQ(fields.size(), 1);
    const LinkTarget link = splitLinkData(fields.front().data);
    EXPECT_EQ(link.kind, LinkKind::Tag);
    EXPECT_EQ(link.target, QString::number(home));
    EXPECT_EQ(stored(before), "前に置いた");
}
