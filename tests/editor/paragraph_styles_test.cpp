// Paragraph styles from the user formats, the paragraph kind of the status panel, and
// the Enter, Delete and title rules as document operations.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "editor/document_model.h"
#include "editor/paragraph_styles.h"
#include "support/gui_app.h"

using namespace arbor;

namespace {

class ParagraphStyles : public ::testing::Test {
  protected:
    void SetUp() override { test::ensureGuiApp(); }
    Frmt table;
    QTextDocument document;

    QTextCursor paragraphs(const QStringList& texts) {
        QTextCursor c(&document);
        for (int i = 0; i < texts.size(); ++i) {
            if (i)
                c.insertBlock();
            c.insertText(texts[i]);
        }
        return c;
    }
    QTextBlock block(int n) const { return document.findBlockByNumber(n); }
    QTextCursor at(int blockNumber, int offset = 0) const {
        QTextCursor c(block(blockNumber));
        c.setPosition(block(blockNumber).position() + offset);
        return c;
    }
    void style(int blockNumber, int index) {
        QTextCursor c = at(blockNumber);
        applyParagraphStyle(c, index, table);
    }
    void insertField(QTextCursor& c, const QString& text, int id) {
        QTextCharFormat f = c.charFormat();
        f.setProperty(doc::FieldId, id);
        f.setProperty(doc::FieldData, QStringLiteral("TG_1012"));
        c.insertText(text, f);
    }
};

}  // namespace

TEST_F(ParagraphStyles, HeadingTakesFontFramesDistancesAndSpacing) {
    paragraphs({"見出し", "本文"});
    style(0, kHeading1);
    const QTextBlockFormat b = block(0).blockFormat();
    EXPECT_EQ(b.intProperty(doc::StyleIndex), kHeading1);
    EXPECT_EQ(b.intProperty(doc::HeadingAttribute), 1);
    EXPECT_EQ(b.intProperty(doc::ParaFrame3), 0);
    EXPECT_EQ(b.intProperty(doc::ParaDist2), 180);
    EXPECT_DOUBLE_EQ(b.leftMargin(), 8.0);  // 160 twips
    EXPECT_DOUBLE_EQ(b.topMargin(), 9.0);
    EXPECT_EQ(b.lineHeightType(), QTextBlockFormat::MinimumHeight);
    EXPECT_NEAR(b.lineHeight(), 14 * 1.2, 1e-4);
    const QTextCharFormat c = block(0).begin().fragment().charFormat();
    EXPECT_EQ(c.fontPointSize(), 14);
    EXPECT_EQ(c.fontWeight(), QFont::Bold);
    EXPECT_EQ(c.foreground().color(), QColor(0x85, 0x5A, 0x50));  // 0x505A85 is blue-green-red
    EXPECT_EQ(c.fontFamilies().toStringList(), QStringList({"ＭＳ Ｐゴシック"}));
    // The second paragraph is untouched.
    EXPECT_FALSE(block(1).blockFormat().hasProperty(doc::StyleIndex));
}

TEST_F(ParagraphStyles, OtherStylesResetAlignmentAndFrames) {
    paragraphs({"a"});
    table.format(kHeading2).ParaAlign = 2;
    table.format(kHeading2).ParaFrame3 = 5;
    style(0, kHeading2);
    EXPECT_EQ(block(0).blockFormat().alignment(), Qt::AlignHCenter);
    style(0, kNote);
    const QTextBlockFormat b = block(0).blockFormat();
    EXPECT_EQ(b.alignment(), Qt::AlignLeft);
    EXPECT_EQ(b.intProperty(doc::ParaFrame1), 0);
    EXPECT_EQ(b.intProperty(doc::ParaFrame3), kNoFrame);
    EXPECT_FALSE(b.hasProperty(doc::HeadingAttribute));
    // Distances belong to styles 0-3 only.
    EXPECT_FALSE(b.hasProperty(doc::ParaDist1));
    EXPECT_DOUBLE_EQ(b.leftMargin(), 0.0);
    EXPECT_EQ(block(0).begin().fragment().charFormat().foreground().color(),
              QColor(0x80, 0x80, 0x80));
    style(0, kBody);
    EXPECT_EQ(block(0).blockFormat().intProperty(doc::ParaDist1), 60);
    table.LineSpacingFactor = 2.0f;
    style(0, kBody);
    EXPECT_NEAR(block(0).blockFormat().lineHeight(), 20.0, 1e-4);
}

TEST_F(ParagraphStyles, SelectionAcrossParagraphsStylesEachAndKeepsFields) {
    QTextCursor c = paragraphs({"one", "two "});
    insertField(c, "link", 7);
    c.insertBlock();
    c.insertText("three");
    QTextCursor sel = at(0, 1);
    sel.setPosition(block(2).position() + 2, QTextCursor::KeepAnchor);
    applyParagraphStyle(sel, kHeading3, table);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(block(i).blockFormat().intProperty(doc::StyleIndex), kHeading3) << i;
    QTextCursor inField = at(1, 5);
    EXPECT_EQ(inField.charFormat().intProperty(doc::FieldId), 7);
    EXPECT_EQ(inField.charFormat().fontPointSize(), 11);
}

TEST_F(ParagraphStyles, KindOfTheCaretParagraph) {
    QTextCursor c = paragraphs({"大見出し", "中見出し", "小見出し", "本文", "太字だけ", "before "});
    insertField(c, "tag", 3);
    style(0, kHeading1);
    style(1, kHeading2);
    style(2, kHeading3);
    style(3, kBody);
    // Bold and large but without the heading attribute: body text.
    QTextCursor big = at(4);
    big.select(QTextCursor::BlockUnderCursor);
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    f.setFontPointSize(20);
    big.mergeCharFormat(f);
    EXPECT_EQ(paragraphKind(at(0, 1), table), "見出１(頁見出)");
    EXPECT_EQ(paragraphKind(at(1), table), "見出２");
    EXPECT_EQ(paragraphKind(at(2), table), "見出３");
    EXPECT_EQ(paragraphKind(at(3), table), "本文");
    EXPECT_EQ(paragraphKind(at(4), table), "本文");
    EXPECT_EQ(paragraphKind(at(5, 8), table), "Field");
    EXPECT_EQ(paragraphKind(at(5, 7), table), "本文");  // at the field's start, not inside
    // A body size as large as the heading makes it body text.
    table.format(kBody).FontSize = 14;
    EXPECT_EQ(paragraphKind(at(0), table), "本文");
}

TEST_F(ParagraphStyles, EnterInBodyAndHeadings) {
    paragraphs({"本文です", "見出し"});
    style(0, kBody);
    style(1, kHeading2);
    QTextCursor c = at(0, 2);
    EXPECT_EQ(pressEnter(c, table, true, 0), EnterResult::LineBreak);
    EXPECT_EQ(document.blockCount(), 2);
    EXPECT_EQ(block(0).text(), QString("本文") + QChar::LineSeparator + "です");
    c = at(0, 2);
    EXPECT_EQ(pressEnter(c, table, false, 0), EnterResult::ParagraphBreak);
    EXPECT_EQ(document.blockCount(), 3);
    // At the end of a heading the new paragraph is body text ...
    c = at(2, 3);
    EXPECT_EQ(pressEnter(c, table, true, 0), EnterResult::ParagraphBreak);
    EXPECT_EQ(document.blockCount(), 4);
    EXPECT_EQ(block(3).blockFormat().intProperty(doc::StyleIndex), kBody);
    // ... inside it, both halves stay headings.
    c = at(2, 1);
    pressEnter(c, table, true, 0);
    EXPECT_EQ(block(2).blockFormat().intProperty(doc::StyleIndex), kHeading2);
    EXPECT_EQ(block(3).blockFormat().intProperty(doc::StyleIndex), kHeading2);
    // No document, or inside a field: the component's own Enter.
    c = at(0);
    EXPECT_EQ(pressEnter(c, table, true, -1), EnterResult::LeftToComponent);
    QTextCursor f = at(0, 0);
    insertField(f, "abc", 9);
    c = at(0, 1);
    EXPECT_EQ(pressEnter(c, table, true, 0), EnterResult::LeftToComponent);
}

TEST_F(ParagraphStyles, DeleteKeepsTheParagraphBreakAtTheEnd) {
    paragraphs({"abc", "def"});
    QTextCursor c = at(0, 1);
    c.setPosition(block(1).position(), QTextCursor::KeepAnchor);  // "bc" + break
    EXPECT_TRUE(deleteSelectionKeepingBreak(c));
    EXPECT_EQ(document.toPlainText(), "a\ndef");
    // One selected character that is the break itself goes.
    c = at(0, 1);
    c.setPosition(block(1).position(), QTextCursor::KeepAnchor);
    deleteSelectionKeepingBreak(c);
    EXPECT_EQ(document.toPlainText(), "adef");
    c = at(0, 1);
    c.setPosition(3, QTextCursor::KeepAnchor);
    deleteSelectionKeepingBreak(c);
    EXPECT_EQ(document.toPlainText(), "af");
    QTextCursor none = at(0);
    EXPECT_FALSE(deleteSelectionKeepingBreak(none));
}

TEST_F(ParagraphStyles, TitleBecomesTheFirstHeading) {
    QTextCursor caret;
    EXPECT_FALSE(titleToFirstParagraph(document, "題", table, false, caret));
    EXPECT_TRUE(titleToFirstParagraph(document, "はじめに", table, true, caret));
    EXPECT_EQ(document.toPlainText(), "はじめに");
    EXPECT_EQ(block(0).blockFormat().intProperty(doc::StyleIndex), kHeading1);
    EXPECT_EQ(caret.position(), 4);
    EXPECT_FALSE(titleToFirstParagraph(document, "again", table, true, caret));
}

TEST_F(ParagraphStyles, HeaderAndFooterFormats) {
    QTextDocument header;
    QTextCursor(&header).insertText("ヘッダー");
    applyHeaderFooterFormat(header, kHeader, table);
    EXPECT_EQ(header.begin().blockFormat().intProperty(doc::StyleIndex), kHeader);
    EXPECT_EQ(header.begin().begin().fragment().charFormat().fontPointSize(), 9);
}
