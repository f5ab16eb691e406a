// Editing a page as its user does: pasting into styled paragraphs, typing beside links,
// tables that start in the body style, and Tab through the cells of a table.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextTable>

#include "editor/document_model.h"
#include "editor/editor_commands.h"
#include "editor/link_fields.h"
#include "editor/paragraph_styles.h"
#include "ui/editor_test_support.h"
#include "ui/table_dialogs.h"

using namespace arbor;
using arbor::test::answerDialog;
using arbor::test::EditorFixture;

namespace {

const QString kBodyFont = QStringLiteral("ＭＳ Ｐゴシック");

class PageEditing : public EditorFixture {
  protected:
    // A new page (body style) with its first paragraph made heading 1 by F2.
    void emptyHeadingPage() {
        editor->clearDocument();
        caretAt(0);
        editor->rtAct(cmd::StyleHeading1);
        ASSERT_EQ(styleOf(0), kHeading1);
    }
    int styleOf(int blockNumber) {
        const QTextBlockFormat f = body().findBlockByNumber(blockNumber).blockFormat();
        return f.hasProperty(doc::StyleIndex) ? f.intProperty(doc::StyleIndex) : -1;
    }
    int shownStyle() {
        return editor->findChild<QComboBox*>(QStringLiteral("cmbStyle"))->currentIndex();
    }
    // The format of the character before position (what was typed there).
    QTextCharFormat typedAt(int position) {
        QTextCursor c(&body());
        c.setPosition(position);
        return c.charFormat();
    }
    void paste(QMimeData* mime) {
        QApplication::clipboard()->setMimeData(mime);
        editor->rtAct(cmd::Paste);
    }
    // A page of paragraphs in the given style, copied whole in the byte format.
    QMimeData* copiedParagraphs(const QString& text, int style) {
        RichText source;
        source.setText(text);
        source.cursor().select(QTextCursor::Document);
        applyParagraphStyle(source.cursor(), style, Frmt::instance());
        auto* mime = new QMimeData;
        mime->setData(ui::PageView::kPageMimeType, source.saveSelectionBytes());
        mime->setText(text);
        return mime;
    }
    QTextTable* insertTable(int rows, int columns) {
        answerDialog<ui::TableDialog>([rows, columns](ui::TableDialog* d) {
            d->rowsBox()->setValue(rows);
            d->columnsBox()->setValue(columns);
            return true;
        });
        editor->rtAct(cmd::InsertTable);
        return view()->textCursor().currentTable();
    }
    // The Tab key as the keyboard sends it, with its text.
    void tab() { test::sendKey(view(), Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")); }
    QPoint cellOfCaret() {
        const QTextCursor c = view()->textCursor();
        const QTextTableCell cell = c.currentTable()->cellAt(c);
        return {cell.column(), cell.row()};
    }
};

TEST_F(PageEditing, APasteInsideAParagraphKeepsItsStyle) {
    // Copied inside the program: text of a body paragraph into the empty heading (F2).
    emptyHeadingPage();
    test::sendKey(view(), Qt::Key_Return);  // at the end of a heading: a body paragraph
    test::typeText(view(), QStringLiteral("Pasted words"));
    select(1, 12);
    editor->rtAct(cmd::Copy);
    caretAt(0);
    editor->rtAct(cmd::Paste);
    EXPECT_EQ(body().findBlockByNumber(0).text(), QStringLiteral("Pasted words"));
    EXPECT_EQ(styleOf(0), kHeading1);
    EXPECT_EQ(shownStyle(), kHeading1);
    EXPECT_EQ(editor->paragraphKind(), QStringLiteral("見出１(頁見出)"));
    // The pasted text looks like the heading it became (the heading rule reads it).
    EXPECT_TRUE(typedAt(3).fontWeight() >= QFont::Bold);
    EXPECT_EQ(typedAt(3).fontPointSize(), Frmt::instance().format(kHeading1).FontSize);
    // Enter at its end starts a paragraph; a body paragraph would get a line break.
    caretAt(12);
    test::sendKey(view(), Qt::Key_Return);
    EXPECT_EQ(body().blockCount(), 3);
    EXPECT_FALSE(body().findBlockByNumber(0).text().contains(QChar::LineSeparator));
    EXPECT_EQ(styleOf(1), kBody);

    // HTML from another program, with its own paragraph format.
    emptyHeadingPage();
    auto* web = new QMimeData;
    web->setHtml(
        QStringLiteral("<p style=\"margin-left:40px; font-size:20pt\"><b>Web</b> text</p>"));
    web->setText(QStringLiteral("Web text"));
    paste(web);
    EXPECT_EQ(plain(), QStringLiteral("Web text"));
    EXPECT_EQ(styleOf(0), kHeading1);
    EXPECT_EQ(shownStyle(), kHeading1);

    // Into a written paragraph: it stays what it was, the pasted text keeps its own look.
    editor->clearDocument();
    test::typeText(view(), QStringLiteral("abc"));
    caretAt(1);
    paste(copiedParagraphs(QStringLiteral("Head"), kHeading2));
    EXPECT_EQ(plain(), QStringLiteral("aHeadbc"));
    EXPECT_EQ(styleOf(0), kBody);
    EXPECT_EQ(body().blockCount(), 1);
}

TEST_F(PageEditing, PastedWholeParagraphsKeepTheirOwnStylesAndOneUndoTakesThePasteBack) {
    editor->clearDocument();
    paste(copiedParagraphs(QStringLiteral("First\nSecond"), kHeading2));
    EXPECT_EQ(body().blockCount(), 2);
    EXPECT_EQ(styleOf(0), kHeading2);
    EXPECT_EQ(styleOf(1), kHeading2);

    emptyHeadingPage();
    paste(copiedParagraphs(QStringLiteral("Body words"), kBody));
    ASSERT_EQ(styleOf(0), kHeading1);
    editor->rtAct(cmd::Undo);
    EXPECT_EQ(plain(), QString());
    EXPECT_EQ(styleOf(0), kHeading1);
}

TEST_F(PageEditing, TypingBesideALinkContinuesTheTextNotTheLink) {
    load(QStringLiteral("ab"));
    caretAt(2);
    text().setCursor(view()->textCursor());
    ASSERT_TRUE(text().insertField(QStringLiteral("Link"), QStringLiteral("https://example.org")));
    // The caret comes back to the end of the line later, by a click or the End key.
    caretAt(0);
    caretAt(6);
    test::typeText(view(), QStringLiteral("xy"));
    EXPECT_EQ(plain(), QStringLiteral("abLinkxy"));
    ASSERT_EQ(text().allFields().size(), 1);
    EXPECT_EQ(text().allFields()[0].text, QStringLiteral("Link"));

    // Committed by an input method (Japanese is typed this way).
    caretAt(6);
    QInputMethodEvent commit(QString(), {});
    commit.setCommitString(QStringLiteral("日本"));
    QApplication::sendEvent(view(), &commit);
    EXPECT_EQ(plain(), QStringLiteral("abLink日本xy"));
    EXPECT_EQ(text().allFields()[0].text, QStringLiteral("Link"));

    // Before a link that starts the line, and inside a link, which is its text.
    load(QStringLiteral("tail"));
    caretAt(0);
    text().setCursor(view()->textCursor());
    ASSERT_TRUE(text().insertField(QStringLiteral("Head"), tagData(12)));
    caretAt(0);
    test::typeText(view(), QStringLiteral("y"));
    caretAt(3);
    test::typeText(view(), QStringLiteral("z"));
    EXPECT_EQ(plain(), QStringLiteral("yHezadtail"));
    ASSERT_EQ(text().allFields().size(), 1);
    EXPECT_EQ(text().allFields()[0].text, QStringLiteral("Hezad"));
    EXPECT_EQ(text().allFields()[0].data, tagData(12));
}

TEST_F(PageEditing, NewTablesAndTheirNeighboursAreBodyText) {
    editor->clearDocument();
    test::typeText(view(), QStringLiteral("before"));
    QTextTable* table = insertTable(2, 2);
    ASSERT_NE(table, nullptr);
    const UsrFormat& bodyFormat = Frmt::instance().format(kBody);
    test::typeText(view(), QStringLiteral("x"));
    const int typed = view()->textCursor().position();
    EXPECT_EQ(typedAt(typed).fontFamilies().toStringList().value(0), kBodyFont);
    EXPECT_EQ(typedAt(typed).fontPointSize(), bodyFormat.FontSize);
    EXPECT_EQ(editor->paragraphKind(), QStringLiteral("本文"));
    EXPECT_EQ(shownStyle(), kBody);
    // The paragraph after the table.
    QTextCursor after = table->lastCursorPosition();
    after.movePosition(QTextCursor::NextBlock);
    view()->setTextCursor(after);
    test::typeText(view(), QStringLiteral("after"));
    const QTextBlock tail = view()->textCursor().block();
    EXPECT_EQ(tail.text(), QStringLiteral("after"));
    EXPECT_EQ(tail.blockFormat().intProperty(doc::StyleIndex), kBody);
    EXPECT_EQ(typedAt(view()->textCursor().position()).fontPointSize(), bodyFormat.FontSize);

    // F2 and F5 in a cell change what is typed there.
    caretAt(table->cellAt(1, 0).firstPosition());
    editor->rtAct(cmd::StyleHeading1);
    test::typeText(view(), QStringLiteral("H"));
    EXPECT_EQ(typedAt(view()->textCursor().position()).fontPointSize(),
              Frmt::instance().format(kHeading1).FontSize);
    editor->rtAct(cmd::StyleBody);
    test::typeText(view(), QStringLiteral("b"));
    EXPECT_EQ(typedAt(view()->textCursor().position()).fontPointSize(), bodyFormat.FontSize);
    EXPECT_LT(typedAt(view()->textCursor().position()).fontWeight(), QFont::DemiBold);

    // A saved and loaded page keeps the cells' style.
    const QByteArray bytes = text().saveBytes();
    ASSERT_TRUE(editor->SetData(bytes, true));
    table = body().rootFrame()->childFrames().isEmpty()
                ? nullptr
                : qobject_cast<QTextTable*>(body().rootFrame()->childFrames().first());
    ASSERT_NE(table, nullptr);
    caretAt(table->cellAt(0, 1).firstPosition());
    test::typeText(view(), QStringLiteral("y"));
    EXPECT_EQ(typedAt(view()->textCursor().position()).fontPointSize(), bodyFormat.FontSize);
}

TEST_F(PageEditing, TabGoesThroughTheCellsAndAddsARowAtTheEnd) {
    editor->clearDocument();
    QTextTable* table = insertTable(2, 2);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(cellOfCaret(), QPoint(0, 0));
    tab();
    EXPECT_EQ(cellOfCaret(), QPoint(1, 0));
    tab();
    EXPECT_EQ(cellOfCaret(), QPoint(0, 1));
    test::sendKey(view(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(cellOfCaret(), QPoint(1, 0));
    tab();
    tab();
    EXPECT_EQ(cellOfCaret(), QPoint(1, 1));
    for (int r = 0; r < 2; ++r)  // nothing typed into the cells
        for (int c = 0; c < 2; ++c)
            EXPECT_EQ(table->cellAt(r, c).firstCursorPosition().block().text(), QString());
    EXPECT_EQ(table->rows(), 2);

    // Tab in the last cell: a new row, in the body style, and the caret in its first cell.
    tab();
    EXPECT_EQ(table->rows(), 3);
    EXPECT_EQ(cellOfCaret(), QPoint(0, 2));
    test::typeText(view(), QStringLiteral("n"));
    EXPECT_EQ(typedAt(view()->textCursor().position()).fontPointSize(),
              Frmt::instance().format(kBody).FontSize);
    EXPECT_TRUE(editor->bDcEdt());
    editor->rtAct(cmd::Undo);
    editor->rtAct(cmd::Undo);
    EXPECT_EQ(table->rows(), 2);

    // Ctrl+Tab types a tab in the cell.
    caretAt(table->cellAt(0, 0).firstPosition());
    test::sendKey(view(), Qt::Key_Tab, Qt::ControlModifier, QStringLiteral("\t"));
    EXPECT_EQ(table->cellAt(0, 0).firstCursorPosition().block().text(), QStringLiteral("\t"));
    EXPECT_EQ(cellOfCaret(), QPoint(0, 0));

    // A merged cell is one stop; Shift+Tab in the first cell stays there.
    QTextCursor cells(&body());
    cells.setPosition(table->cellAt(1, 0).firstPosition());
    cells.setPosition(table->cellAt(1, 1).firstPosition(), QTextCursor::KeepAnchor);
    view()->setTextCursor(cells);
    editor->rtAct(cmd::TableCells);
    ASSERT_EQ(table->cellAt(1, 0).columnSpan(), 2);
    caretAt(table->cellAt(0, 1).firstPosition());
    tab();
    EXPECT_EQ(cellOfCaret(), QPoint(0, 1));
    test::sendKey(view(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(cellOfCaret(), QPoint(1, 0));
    test::sendKey(view(), Qt::Key_Backtab, Qt::ShiftModifier);
    test::sendKey(view(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(cellOfCaret(), QPoint(0, 0));

    // Outside a table Tab types a tab, and a read-only page gets no new row.
    editor->clearDocument();
    tab();
    EXPECT_EQ(plain(), QStringLiteral("\t"));
    table = insertTable(1, 1);
    ASSERT_NE(table, nullptr);
    editor->ReadOnly(true);
    tab();
    EXPECT_EQ(table->rows(), 1);
}

}  // namespace
