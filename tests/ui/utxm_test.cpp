// The page editor's rules as its user and the main window meet them: the leave-page
// question under each update confirmation, loading over a modified page, the modified
// flag, the Enter and Delete keys, the title's Enter, following links and the
// follow-ups of the editing commands, the rulers, and long pages.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include "editor/document_model.h"
#include "editor/editor_commands.h"
#include "editor/link_fields.h"
#include "editor/paragraph_styles.h"
#include "ui/editor_test_support.h"
#include "ui/ruler.h"

using namespace arbor;
using arbor::test::EditorFixture;

namespace {

const QString kAsk = QStringLiteral("現在の文書を保存しますか");

class EditorRules : public EditorFixture {
  protected:
    // A loaded page the user has typed into.
    void modifiedPage() {
        load(QStringLiteral("Alpha"));
        caretAt(5);
        test::typeText(view(), QStringLiteral("!"));
        ASSERT_TRUE(editor->bDcEdt());
        ASSERT_EQ(plain(), QStringLiteral("Alpha!"));
    }
    QLineEdit* title() { return editor->findChild<QLineEdit*>(QStringLiteral("txTitle")); }
};

TEST_F(EditorRules, LeavePageUnderConfirmAsksAndFollowsTheAnswer) {
    load(QStringLiteral("Alpha"));
    EXPECT_TRUE(editor->ChkUdt());  // not modified: nothing to ask
    EXPECT_TRUE(ui.prompter.messages.isEmpty());

    modifiedPage();
    ui.prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(editor->ChkUdt());
    EXPECT_EQ(ui.prompter.messages, QStringList{kAsk});
    EXPECT_TRUE(editor->bDcEdt());
    EXPECT_EQ(plain(), QStringLiteral("Alpha!"));
    EXPECT_FALSE(events.contains("eSaveDB"));

    ui.prompter.answers = {Answer::No};
    EXPECT_TRUE(editor->ChkUdt());
    EXPECT_FALSE(editor->bDcEdt());
    EXPECT_FALSE(events.contains("eSaveDB"));

    modifiedPage();
    events.clear();
    ui.prompter.answers = {Answer::Yes};
    EXPECT_TRUE(editor->ChkUdt());
    EXPECT_EQ(events, (QStringList{"eAskSavePh:", "eSaveDB"}));
    EXPECT_FALSE(editor->bDcEdt());
}

TEST_F(EditorRules, LeavePageUnderOverwriteSavesAndUnderOtherDiscardsWithoutAsking) {
    test::setUpdateConfirmSetting(QStringLiteral("上書"));
    start();
    modifiedPage();
    EXPECT_TRUE(editor->ChkUdt());
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
    EXPECT_TRUE(events.contains("eSaveDB"));
    EXPECT_FALSE(editor->bDcEdt());

    test::setUpdateConfirmSetting(QStringLiteral("無視"));
    start();
    modifiedPage();
    EXPECT_TRUE(editor->ChkUdt());
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
    EXPECT_FALSE(events.contains("eSaveDB"));
    EXPECT_FALSE(editor->bDcEdt());
}

TEST_F(EditorRules, LeavePageKeepsThePageWhenTheSaveFails) {
    modifiedPage();
    // The main window's save did not store the page: it marks it modified again.
    QObject::connect(editor.get(), &ui::uTxm::eSaveDB, [this] { editor->setBDcEdt(true); });
    ui.prompter.answers = {Answer::Yes};
    EXPECT_FALSE(editor->ChkUdt());
    EXPECT_TRUE(editor->bDcEdt());
}

TEST_F(EditorRules, NoDocumentModeNeverAsks) {
    modifiedPage();
    editor->setCTyp(-1);
    EXPECT_TRUE(editor->ChkUdt());
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
}

TEST_F(EditorRules, LoadingOverAModifiedPageAsksYesOrNo) {
    RichText other;
    other.setText(QStringLiteral("Beta"));
    const QByteArray beta = other.saveBytes();

    modifiedPage();
    ui.prompter.answers = {Answer::No};
    EXPECT_TRUE(editor->SetData(beta));
    EXPECT_EQ(ui.prompter.messages, QStringList{kAsk});
    EXPECT_EQ(plain(), QStringLiteral("Beta"));
    EXPECT_FALSE(editor->bDcEdt());
    EXPECT_FALSE(events.contains("eSaveDB"));
    EXPECT_EQ(view()->textCursor().position(), 0);

    modifiedPage();
    ui.prompter.messages.clear();
    ui.prompter.answers = {Answer::Yes};
    EXPECT_TRUE(editor->SetData(beta));
    EXPECT_TRUE(events.contains("eSaveDB"));
    EXPECT_EQ(plain(), QStringLiteral("Beta"));

    // Without the question, and never over a page whose save failed.
    modifiedPage();
    ui.prompter.messages.clear();
    EXPECT_TRUE(editor->SetData(beta, true));
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
    modifiedPage();
    QObject::connect(editor.get(), &ui::uTxm::eSaveDB, [this] { editor->setBDcEdt(true); });
    ui.prompter.answers = {Answer::Yes};
    EXPECT_FALSE(editor->SetData(beta));
    EXPECT_EQ(plain(), QStringLiteral("Alpha!"));
}

TEST_F(EditorRules, ADamagedBlockLeavesThePageAsItWas) {
    modifiedPage();
    QByteArray damaged = text().saveBytes();
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x5A);
    EXPECT_FALSE(editor->SetData(damaged, true));
    ASSERT_EQ(ui.prompter.messages.size(), 1);
    EXPECT_TRUE(ui.prompter.messages[0].startsWith(QStringLiteral("文書データを読み込めません")));
    EXPECT_EQ(plain(), QStringLiteral("Alpha!"));
    EXPECT_TRUE(editor->bDcEdt());
}

TEST_F(EditorRules, ModifiedFlagFollowsEditsNotLoads) {
    int changes = 0;
    QObject::connect(editor.get(), &ui::uTxm::eEdtCng, [&] { ++changes; });
    load(QStringLiteral("One"));
    editor->setTitle(QStringLiteral("Loaded title"));
    EXPECT_FALSE(editor->bDcEdt());
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(editor->isWindowModified());

    title()->setFocus();
    test::typeText(title(), QStringLiteral("x"));
    EXPECT_TRUE(editor->bDcEdt());
    EXPECT_TRUE(editor->isWindowModified());
    EXPECT_GE(changes, 1);

    load(QStringLiteral("One"));
    select(0, 3);
    editor->rtAct(cmd::Italic);  // a format change only
    EXPECT_TRUE(editor->bDcEdt());
    EXPECT_EQ(plain(), QStringLiteral("One"));

    editor->clearDocument();
    EXPECT_FALSE(editor->bDcEdt());
    EXPECT_TRUE(editor->Title().isEmpty());
    EXPECT_FALSE(editor->bHaveData());
}

TEST_F(EditorRules, EnterAndShiftEnterInBodyText) {
    load(QStringLiteral("ab"));
    caretAt(1);
    test::sendKey(view(), Qt::Key_Return);
    // "本文はEnter= <br>" on: a line break inside the paragraph.
    EXPECT_EQ(body().blockCount(), 1);
    EXPECT_EQ(body().firstBlock().text(), QString("a") + QChar::LineSeparator + "b");
    test::sendKey(view(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(body().blockCount(), 2);

    Frmt::instance().UsrEntShift = false;
    load(QStringLiteral("ab"));
    caretAt(1);
    test::sendKey(view(), Qt::Key_Return);
    EXPECT_EQ(body().blockCount(), 2);
    test::sendKey(view(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(body().blockCount(), 2);
    EXPECT_TRUE(body().lastBlock().text().startsWith(QChar::LineSeparator));
    EXPECT_TRUE(editor->bDcEdt());
}

TEST_F(EditorRules, EnterAtTheEndOfAHeadingStartsBodyText) {
    load(QStringLiteral("Heading"));
    caretAt(3);
    editor->rtAct(cmd::StyleHeading1);
    caretAt(7);
    test::sendKey(view(), Qt::Key_Return);
    ASSERT_EQ(body().blockCount(), 2);
    EXPECT_EQ(body().lastBlock().blockFormat().intProperty(doc::StyleIndex), kBody);
    EXPECT_EQ(editor->paragraphKind(), QStringLiteral("本文"));
    // Shift+Enter in a heading breaks the line and stays in the heading.
    caretAt(3);
    test::sendKey(view(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(body().blockCount(), 2);
    EXPECT_EQ(editor->paragraphKind(), QStringLiteral("見出１(頁見出)"));
}

TEST_F(EditorRules, APageBreakStaysWithItsOwnParagraph) {
    load(QStringLiteral("before"));
    caretAt(6);
    editor->rtAct(cmd::InsertPageBreak);
    test::typeText(view(), QStringLiteral("after"));
    test::sendKey(view(), Qt::Key_Return, Qt::ShiftModifier);  // a new paragraph
    test::typeText(view(), QStringLiteral("next"));
    ASSERT_EQ(body().blockCount(), 3);
    auto breaksBefore = [](const QTextBlock& b) {
        return (b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) != 0;
    };
    EXPECT_FALSE(breaksBefore(body().firstBlock()));
    EXPECT_TRUE(breaksBefore(body().firstBlock().next()));
    EXPECT_FALSE(breaksBefore(body().lastBlock()));
    EXPECT_EQ(plain(), QStringLiteral("before\nafter\nnext"));
}

TEST_F(EditorRules, DeleteKeepsTheParagraphBreakAtTheEndOfTheSelection) {
    load(QStringLiteral("one\ntwo"));
    select(1, 3);  // "ne" and the break
    test::sendKey(view(), Qt::Key_Delete);
    EXPECT_EQ(plain(), QStringLiteral("o\ntwo"));
    select(0, 1);
    test::sendKey(view(), Qt::Key_Delete);
    EXPECT_EQ(plain(), QStringLiteral("\ntwo"));
}

TEST_F(EditorRules, TitleEnterMakesTheFirstHeading) {
    editor->SetData(QByteArray(), true);
    title()->setText(QStringLiteral("はじめに"));
    test::sendKey(title(), Qt::Key_Return);
    EXPECT_EQ(plain(), QStringLiteral("はじめに"));
    EXPECT_EQ(editor->paragraphKind(), QStringLiteral("見出１(頁見出)"));
    EXPECT_EQ(view()->textCursor().position(), 4);
    EXPECT_TRUE(editor->bDcEdt());

    // Only into an empty page, and only with "最初は見出1".
    test::sendKey(title(), Qt::Key_Return);
    EXPECT_EQ(plain(), QStringLiteral("はじめに"));
    Frmt::instance().UsrDtp = false;
    editor->SetData(QByteArray(), true);
    test::sendKey(title(), Qt::Key_Return);
    EXPECT_FALSE(editor->bHaveData());
}

TEST_F(EditorRules, CtrlClickFollowsLinksAndAPlainClickPlacesTheCaret) {
    load(QStringLiteral("see  and "));
    caretAt(4);
    text().setCursor(view()->textCursor());
    ASSERT_TRUE(text().insertField(QStringLiteral("Chapter"), tagData(1003)));
    caretAt(text().cursor().position() + 5);
    text().setCursor(view()->textCursor());
    ASSERT_TRUE(text().insertField(QStringLiteral("site"), QStringLiteral("https://example.org/")));
    const QList<fields::Field> links = text().allFields();
    ASSERT_EQ(links.size(), 2);

    auto pointInside = [this](const fields::Field& f) {
        QTextCursor c(&body());
        c.setPosition(f.start + 1);
        const QRect r = view()->cursorRect(c);
        return QPoint(r.left() + 2, r.center().y());
    };
    test::clickAt(view()->viewport(), pointInside(links[0]), Qt::NoModifier);
    EXPECT_FALSE(events.join(',').contains("eClckLink"));
    const int caret = view()->textCursor().position();
    EXPECT_GT(caret, links[0].start);
    EXPECT_LT(caret, links[0].end());

    test::clickAt(view()->viewport(), pointInside(links[0]), Qt::ControlModifier);
    test::clickAt(view()->viewport(), pointInside(links[1]), Qt::ControlModifier);
    EXPECT_EQ(events, (QStringList{"eClckLink:TG|1003", "eClckLink:LK|https://example.org/"}));
    // The context menu over a link offers to follow it.
    events.clear();
    QStringList entries;
    QTimer::singleShot(0, [&entries] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* a : menu->actions())
            entries << a->text();
        for (QAction* a : menu->actions())
            if (a->text().startsWith(QStringLiteral("ﾘﾝｸ先を開く")))
                a->trigger();
        menu->close();
    });
    emit view()->customContextMenuRequested(pointInside(links[1]));
    EXPECT_TRUE(entries.contains(QStringLiteral("ﾘﾝｸの変更...")));
    EXPECT_EQ(events, QStringList{"eClckLink:LK|https://example.org/"});

    // Over plain text a Ctrl+click is an ordinary click.
    events.clear();
    QTextCursor plainText(&body());
    plainText.setPosition(1);
    test::clickAt(view()->viewport(), view()->cursorRect(plainText).center() + QPoint(3, 0),
                  Qt::ControlModifier);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(EditorRules, CommandsReportBackAndUpdateFields) {
    load(QStringLiteral("word"));
    // The main window answers the tag request by calling insertTagLink.
    QObject::connect(editor.get(), &ui::uTxm::ePickTagPage,
                     [this] { editor->insertTagLink(1040, QStringLiteral("Page forty")); });
    events.clear();
    select(0, 4);
    editor->rtAct(cmd::InsertTag);
    EXPECT_EQ(events, (QStringList{"ePickTagPage", "eUdtFld", "eRtAct:4"}));
    ASSERT_EQ(text().allFields().size(), 1);
    EXPECT_EQ(text().allFields()[0].text, QStringLiteral("word"));
    EXPECT_EQ(text().allFields()[0].data, QStringLiteral("TG_1040"));
    EXPECT_TRUE(editor->bDcEdt());
    EXPECT_EQ(editor->pageContent().fieldData, QStringList{"TG_1040"});

    // Changing the link at the caret updates that field.
    caretAt(2);
    events.clear();
    QObject::disconnect(editor.get(), &ui::uTxm::ePickTagPage, nullptr, nullptr);
    QObject::connect(editor.get(), &ui::uTxm::ePickTagPage,
                     [this] { editor->insertTagLink(1050, QStringLiteral("Other")); });
    editor->rtAct(cmd::EditField);
    EXPECT_EQ(events, (QStringList{"eUdtFld", "eRtAct:2"}));
    ASSERT_EQ(text().allFields().size(), 1);
    EXPECT_EQ(text().allFields()[0].data, QStringLiteral("TG_1050"));
    EXPECT_EQ(editor->paragraphKind(), QStringLiteral("Field"));

    // A command of the main window's is only reported; a cancelled save-as still
    // reports the field update.
    load(QStringLiteral("word"));
    events.clear();
    editor->rtAct(cmd::PropertiesPG);
    editor->rtAct(cmd::SaveAs);
    EXPECT_EQ(events, (QStringList{"eRtAct:65", "eUdtFld", "eRtAct:5"}));
    EXPECT_FALSE(editor->bDcEdt());
}

TEST_F(EditorRules, ModifyingCommandsMarkThePageAndRespectReadOnly) {
    load(QStringLiteral("word"));
    caretAt(2);
    editor->rtAct(cmd::Bold);  // at the caret: for what is typed next
    EXPECT_TRUE(editor->bDcEdt());
    test::typeText(view(), QStringLiteral("X"));
    QTextCursor probe(&body());
    probe.setPosition(3);
    EXPECT_GE(probe.charFormat().fontWeight(), QFont::Bold);

    load(QStringLiteral("word"));
    editor->ReadOnly(true);
    select(0, 4);
    editor->rtAct(cmd::Bold);
    editor->rtAct(cmd::StyleHeading1);
    test::typeText(view(), QStringLiteral("Z"));
    EXPECT_FALSE(editor->bDcEdt());
    EXPECT_EQ(plain(), QStringLiteral("word"));
    EXPECT_TRUE(editor->menuState().readOnly);
    EXPECT_FALSE(editor->menuState().canPaste);
    EXPECT_TRUE(editor->menuState().hasSelection);
    editor->ReadOnly(false);
    test::typeText(view(), QStringLiteral("Z"));
    EXPECT_EQ(plain(), QStringLiteral("Z"));
}

TEST_F(EditorRules, UndoAndRedoThroughTheToolBar) {
    load(QStringLiteral("abc"));
    caretAt(3);
    test::typeText(view(), QStringLiteral("d"));
    EXPECT_TRUE(editor->menuState().canUndo);
    editor->rtAct(cmd::Undo);
    EXPECT_EQ(plain(), QStringLiteral("abc"));
    EXPECT_TRUE(editor->menuState().canRedo);
    editor->rtAct(cmd::Redo);
    EXPECT_EQ(plain(), QStringLiteral("abcd"));
    // The keys: Ctrl+Z from the text itself, Ctrl+Y from the editor on every desktop.
    test::sendKey(view(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(plain(), QStringLiteral("abc"));
    test::sendKey(view(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(plain(), QStringLiteral("abcd"));
}

TEST_F(EditorRules, SaveCommandWritesAFileTheMainWindowNames) {
    QTemporaryDir dir;
    modifiedPage();
    savePathAnswer = dir.filePath("page.htm");
    editor->rtAct(cmd::SaveToDatabase);
    EXPECT_FALSE(events.contains("eSaveDB"));
    EXPECT_TRUE(events.contains("eAskHtmHd"));
    EXPECT_FALSE(editor->bDcEdt());
    QFile file(savePathAnswer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(QStringLiteral("Alpha!")));
    // The path is offered again by the next save.
    events.clear();
    savePathAnswer = QString();
    editor->rtAct(cmd::SaveToDatabase);
    EXPECT_TRUE(events.contains("eAskSavePh:" + dir.filePath("page.htm")));
}

TEST_F(EditorRules, ZoomScalesTheLayoutAndIsKeptInTheSettings) {
    load(QStringLiteral("Zoom me\nsecond line"));
    const double height = body().documentLayout()->documentSize().height();
    editor->rtAct(cmd::ZoomIn);
    EXPECT_GT(editor->zoom(), 100);
    EXPECT_GT(body().documentLayout()->documentSize().height(), height * 1.05);
    EXPECT_TRUE(events.contains("eRtAct:86"));
    EXPECT_FALSE(editor->bDcEdt());
    editor->setZoom(150);
    editor->cOff();
    Ini().GetGtx(QStringLiteral("TX_DISP"));
    EXPECT_EQ(Ini().vGtVal(QStringLiteral("ZOOM"), 0).toInt(), 150);
    start();
    EXPECT_EQ(editor->zoom(), 150);
    editor->setZoom(100);
    editor->cOff();
}

TEST_F(EditorRules, UndoingEveryChangeLeavesThePageUnmodified) {
    load(QStringLiteral("Alpha"));
    editor->setTitle(QStringLiteral("Title"));
    caretAt(5);
    test::typeText(view(), QStringLiteral("!"));
    ASSERT_TRUE(editor->bDcEdt());
    editor->rtAct(cmd::Undo);
    EXPECT_EQ(plain(), QStringLiteral("Alpha"));
    EXPECT_FALSE(editor->bDcEdt());
    EXPECT_FALSE(editor->isWindowModified());
    editor->rtAct(cmd::Redo);
    EXPECT_TRUE(editor->bDcEdt());

    // Text, a format and the title, all taken back.
    editor->rtAct(cmd::Undo);
    test::typeText(view(), QStringLiteral("xy"));
    select(0, 2);
    editor->rtAct(cmd::Italic);
    EXPECT_TRUE(editor->bDcEdt());
    while (editor->menuState().canUndo)
        editor->rtAct(cmd::Undo);
    EXPECT_EQ(plain(), QStringLiteral("Alpha"));
    EXPECT_FALSE(editor->bDcEdt());
    title()->setFocus();
    title()->end(false);
    test::typeText(title(), QStringLiteral("x"));
    EXPECT_TRUE(editor->bDcEdt());
    test::sendKey(title(), Qt::Key_Backspace);
    EXPECT_EQ(editor->Title(), QStringLiteral("Title"));
    EXPECT_FALSE(editor->bDcEdt());

    // The state compared with is the one last saved.
    caretAt(5);
    test::typeText(view(), QStringLiteral("1"));
    editor->rtAct(cmd::SaveToDatabase);
    ASSERT_TRUE(events.contains("eSaveDB"));
    EXPECT_FALSE(editor->bDcEdt());
    test::typeText(view(), QStringLiteral("2"));
    EXPECT_TRUE(editor->bDcEdt());
    editor->rtAct(cmd::Undo);
    EXPECT_EQ(plain(), QStringLiteral("Alpha1"));
    EXPECT_FALSE(editor->bDcEdt());
    editor->rtAct(cmd::Undo);  // back before the save: not what is stored
    EXPECT_EQ(plain(), QStringLiteral("Alpha"));
    EXPECT_TRUE(editor->bDcEdt());

    // A page that could not be stored stays modified, whatever is undone.
    load(QStringLiteral("Beta"));
    QObject::connect(editor.get(), &ui::uTxm::eSaveDB, [this] { editor->setBDcEdt(true); });
    caretAt(4);
    test::typeText(view(), QStringLiteral("!"));
    editor->rtAct(cmd::SaveToDatabase);
    editor->rtAct(cmd::Undo);
    EXPECT_EQ(plain(), QStringLiteral("Beta"));
    EXPECT_TRUE(editor->bDcEdt());
}

TEST_F(EditorRules, TheVerticalRulerStandsBesideTheTextAndFollowsZoomAndScrolling) {
    QString lines;
    for (int i = 0; i < 80; ++i)
        lines += QStringLiteral("行 %1\n").arg(i);
    load(lines);
    editor->setRulersShown(true);
    QApplication::processEvents();
    auto* across = editor->findChild<ui::Ruler*>(QStringLiteral("vRuler"));
    auto* down = editor->findChild<ui::Ruler*>(QStringLiteral("vRulerV"));
    ASSERT_NE(across, nullptr);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->orientation(), Qt::Vertical);
    EXPECT_TRUE(down->isVisible());
    // Left of the text, as high as it, under the horizontal ruler.
    const QRect ruler = down->geometry();
    const QRect text = view()->geometry();
    EXPECT_LE(ruler.right(), text.left());
    EXPECT_EQ(ruler.top(), text.top());
    EXPECT_EQ(ruler.height(), text.height());
    EXPECT_GE(ruler.top(), across->geometry().bottom());
    // The same units as the horizontal ruler; its zero at the top of the text.
    EXPECT_DOUBLE_EQ(down->measures().pixelsPerTwip, across->measures().pixelsPerTwip);
    const int top = down->measures().textTop;
    EXPECT_EQ(
        top,
        down->mapFromGlobal(view()->viewport()->mapToGlobal(QPoint(0, view()->textTop()))).y());
    EXPECT_GE(top, 0);

    // The caret's paragraph is marked where it stands.
    caretAt(body().findBlockByNumber(10).position());
    QApplication::processEvents();
    const double firstTop =
        body().documentLayout()->blockBoundingRect(body().findBlockByNumber(10)).top();
    EXPECT_GT(down->measures().paragraphTop, 0);
    EXPECT_NEAR(down->measures().paragraphTop, firstTop - body().documentMargin(), 1);
    EXPECT_GT(down->measures().paragraphBottom, down->measures().paragraphTop);

    // Scrolling moves its zero with the text; zoom changes its scale.
    view()->verticalScrollBar()->setValue(120);
    QApplication::processEvents();
    EXPECT_EQ(down->measures().textTop, top - 120);
    const double scale = down->measures().pixelsPerTwip;
    editor->setZoom(200);
    QApplication::processEvents();
    EXPECT_NEAR(down->measures().pixelsPerTwip, 2 * scale, 1e-9);
    EXPECT_DOUBLE_EQ(down->measures().pixelsPerTwip, across->measures().pixelsPerTwip);

    editor->setRulersShown(false);
    EXPECT_FALSE(down->isVisible());
    EXPECT_FALSE(across->isVisible());
    editor->setZoom(100);
}

TEST_F(EditorRules, ALongPageOpensWithoutLayingItAllOutAndMarksTheLinksInView) {
    // 3,000 paragraphs, each with a link.
    RichText source;
    QTextCursor c(source.body());
    for (int i = 0; i < 3000; ++i) {
        if (i > 0)
            c.insertBlock();
        c.insertText(QStringLiteral("段落 %1 の本文と ").arg(i), QTextCharFormat());
        QTextCharFormat link;
        link.setProperty(doc::FieldId, i + 1);
        link.setProperty(doc::FieldData, tagData(1000 + i));
        link.setAnchor(true);
        link.setAnchorHref(tagData(1000 + i));
        c.insertText(QStringLiteral("リンク"), link);
    }
    ASSERT_TRUE(editor->SetData(source.saveBytes(), true));
    EXPECT_EQ(text().allFields().size(), 3000);
    EXPECT_EQ(view()->textCursor().position(), 0);
    // What is not shown yet is laid out later, step by step.
    EXPECT_EQ(body().lastBlock().layout()->lineCount(), 0);

    QApplication::processEvents();
    const QList<QTextEdit::ExtraSelection> marks = view()->extraSelections();
    ASSERT_FALSE(marks.isEmpty());
    EXPECT_LT(marks.size(), 300);
    EXPECT_EQ(marks.first().cursor.selectedText(), QStringLiteral("リンク"));

    // At the end of the page its links are marked once they are in view.
    view()->moveCursor(QTextCursor::End);
    view()->ensureCursorVisible();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    const QList<QTextEdit::ExtraSelection> end = view()->extraSelections();
    ASSERT_FALSE(end.isEmpty());
    EXPECT_EQ(end.last().cursor.selectionEnd(), text().allFields().last().end());
    EXPECT_EQ(plain().count(QStringLiteral("リンク")), 3000);
}

}  // namespace
