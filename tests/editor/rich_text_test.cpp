// The component's own operations: plain text, selection, character and paragraph
// formats, tables, pictures, page breaks and its signals.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

#include "editor/document_model.h"
#include "editor/pictures.h"
#include "editor/rich_text.h"
#include "support/gui_app.h"
#include "support/rich_text_samples.h"

using namespace arbor;

namespace {

class RichTextTest : public ::testing::Test {
  protected:
    void SetUp() override { test::ensureGuiApp(); }
    RichText page;
};

TEST_F(RichTextTest, PlainTextOfParagraphsTablesFieldsAndPictures) {
    page.insertText(QStringLiteral("一行目\n二行目"));
    page.insertText(QString(QChar(QChar::LineSeparator)) + QStringLiteral("改行"));
    QString error;
    ASSERT_TRUE(page.insertPicture(test::pngBytes(Qt::red), error));
    page.insertField(QStringLiteral("リンク"), QStringLiteral("TG_1"));
    page.insertText(QStringLiteral("\n"));
    QTextTable* table = page.insertTable(2, 2);
    table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("左上"));
    QTextCursor cell = table->cellAt(0, 1).firstCursorPosition();
    cell.insertText(QStringLiteral("右上"));
    cell.insertBlock();
    cell.insertText(QStringLiteral("二段目"));
    table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("右下"));
    EXPECT_EQ(page.plainText(),
              QStringLiteral("一行目\n二行目\n改行リンク\n\n左上\t右上 二段目\n\t右下\n"));
}

TEST_F(RichTextTest, SetTextReplacesEverythingInOneUndoStep) {
    QTextTable* table = page.insertTable(2, 2);
    table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("表"));
    page.setSelection(0, 0);
    page.setBold(true);
    const QString before = page.plainText();
    page.setText(QStringLiteral("a\r\nb\rc\nd\ve"));
    EXPECT_EQ(page.body()->blockCount(), 4);
    EXPECT_TRUE(page.body()->rootFrame()->childFrames().isEmpty());
    EXPECT_EQ(page.plainText(), QStringLiteral("a\nb\nc\nd\ne"));
    EXPECT_EQ(page.body()->lastBlock().text(),
              QStringLiteral("d") + QChar(QChar::LineSeparator) + u'e');
    page.body()->undo();
    EXPECT_EQ(page.plainText(), before);
}

TEST_F(RichTextTest, SelectionIsClampedAndReplacedByInsertedText) {
    page.insertText(QStringLiteral("あいうえお"));
    page.setSelection(1, 2);
    EXPECT_EQ(page.selectionStart(), 1);
    EXPECT_EQ(page.selectionLength(), 2);
    EXPECT_EQ(page.selectedText(), QStringLiteral("いう"));
    page.insertText(QStringLiteral("X"));
    EXPECT_EQ(page.plainText(), QStringLiteral("あXえお"));
    page.setSelection(3, 100);
    EXPECT_EQ(page.selectedText(), QStringLiteral("お"));
    page.setSelection(-5, 1);
    EXPECT_EQ(page.selectionStart(), 0);
}

TEST_F(RichTextTest, CharacterFormatsApplyToTheSelectionOnly) {
    page.insertText(QStringLiteral("前太字後"));
    page.setSelection(1, 2);
    page.setBold(true);
    page.setItalic(true);
    page.setUnderline(true);
    page.setFontName(QStringLiteral("ＭＳ Ｐゴシック"));
    page.setFontSize(14);
    page.setForeColor(0x505A85);
    page.setBackColor(0x00FFFF);
    EXPECT_TRUE(page.bold());
    EXPECT_TRUE(page.italic());
    EXPECT_TRUE(page.underline());
    EXPECT_EQ(page.fontName(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(page.fontSize(), 14);
    EXPECT_EQ(page.foreground(), QColor(0x85, 0x5A, 0x50));
    EXPECT_EQ(page.foreColor(), 0x505A85);
    EXPECT_EQ(page.background(), QColor(0xFF, 0xFF, 0x00));
    page.setSelection(0, 1);
    EXPECT_FALSE(page.bold());
    EXPECT_NE(page.foreColor(), 0x505A85);
    page.setSelection(3, 1);
    EXPECT_FALSE(page.italic());
    EXPECT_FALSE(page.background().isValid());
}

TEST_F(RichTextTest, ColourValuesAreBlueGreenRed) {
    EXPECT_EQ(colorFromBgr(0x0000FF), QColor(Qt::red));
    EXPECT_EQ(colorFromBgr(0xFF0000), QColor(Qt::blue));
    EXPECT_EQ(bgrFromColor(QColor(0x12, 0x34, 0x56)), 0x563412);
    EXPECT_EQ(bgrFromColor(colorFromBgr(0x4D6854)), 0x4D6854);
}

TEST_F(RichTextTest, ParagraphSettingsAndUserFormatValues) {
    page.insertText(QStringLiteral("一\n二\n三"));
    page.setSelection(0, 3);  // the first two paragraphs
    page.setAlignment(Qt::AlignHCenter);
    page.setIndents(160, 40, -20);
    page.setLineSpacing(240);
    page.setParagraphProperty(doc::StyleIndex, 2);
    page.setParagraphProperty(doc::ParaFrame3, 7936);
    EXPECT_EQ(page.alignment(), Qt::AlignHCenter);
    EXPECT_EQ(page.leftIndent(), 160);
    EXPECT_EQ(page.rightIndent(), 40);
    EXPECT_EQ(page.firstLineIndent(), -20);
    EXPECT_EQ(page.lineSpacing(), 240);
    QTextBlock second = page.body()->begin().next();
    EXPECT_EQ(second.blockFormat().intProperty(doc::StyleIndex), 2);
    EXPECT_EQ(second.blockFormat().intProperty(doc::ParaFrame3), 7936);
    EXPECT_FALSE(second.next().blockFormat().hasProperty(doc::StyleIndex));
    page.setParagraphProperty(doc::StyleIndex, QVariant());
    EXPECT_FALSE(page.body()->begin().blockFormat().hasProperty(doc::StyleIndex));
    EXPECT_FALSE(second.blockFormat().hasProperty(doc::StyleIndex));
}

TEST_F(RichTextTest, PageBreakStartsTheNextParagraphOnANewPage) {
    page.insertText(QStringLiteral("前"));
    page.insertPageBreak();
    page.insertText(QStringLiteral("後"));
    ASSERT_EQ(page.body()->blockCount(), 2);
    EXPECT_EQ(page.body()->begin().blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_Auto);
    EXPECT_EQ(page.body()->lastBlock().blockFormat().pageBreakPolicy(),
              QTextFormat::PageBreak_AlwaysBefore);
    page.body()->setPageSize(QSizeF(400, 600));
    EXPECT_EQ(page.body()->pageCount(), 2);
}

TEST_F(RichTextTest, TableRowsColumnsMergesAndCellFormats) {
    QTextTable* table = page.insertTable(2, 2);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(page.currentTable(), table);
    EXPECT_TRUE(page.insertRows(1, true));  // below row 0
    EXPECT_TRUE(page.insertColumns(2, false));
    EXPECT_EQ(table->rows(), 3);
    EXPECT_EQ(table->columns(), 4);

    QTextCursor select = table->cellAt(0, 0).firstCursorPosition();
    select.setPosition(table->cellAt(1, 1).firstPosition(), QTextCursor::KeepAnchor);
    page.setCursor(select);
    ASSERT_TRUE(page.mergeCells());
    EXPECT_EQ(table->cellAt(0, 0).rowSpan(), 2);
    EXPECT_EQ(table->cellAt(0, 0).columnSpan(), 2);

    page.setCursor(table->cellAt(2, 3).firstCursorPosition());
    ASSERT_TRUE(page.setCellBackground(QColor(0xFE, 0xFE, 0xFA)));
    ASSERT_TRUE(page.setCellPadding(6));
    ASSERT_TRUE(page.setCellBorder(2, Qt::red));
    const QTextTableCellFormat changed = table->cellAt(2, 3).format().toTableCellFormat();
    EXPECT_EQ(changed.background().color(), QColor(0xFE, 0xFE, 0xFA));
    EXPECT_EQ(changed.topPadding(), 6);
    EXPECT_EQ(changed.leftBorder(), 2);
    EXPECT_EQ(changed.leftBorderBrush().color(), QColor(Qt::red));
    EXPECT_NE(table->cellAt(2, 2).format().background().color(), QColor(0xFE, 0xFE, 0xFA));

    page.setCursor(table->cellAt(0, 0).firstCursorPosition());
    ASSERT_TRUE(page.splitCell());
    EXPECT_EQ(table->cellAt(0, 0).rowSpan(), 1);
    page.setCursor(table->cellAt(1, 0).firstCursorPosition());
    ASSERT_TRUE(page.removeRows());
    ASSERT_TRUE(page.removeColumns());
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 3);

    page.setSelection(page.body()->characterCount() - 1, 0);  // behind the table
    EXPECT_FALSE(page.insertRows(1, true));
    EXPECT_FALSE(page.mergeCells());
}

TEST_F(RichTextTest, PicturesAreKeptAsGivenAndAnythingElseRefused) {
    const QByteArray png = test::pngBytes(Qt::red, 20, 10);
    const QByteArray jpeg = test::jpegBytes(Qt::blue, 20, 10);
    QString error;
    ASSERT_TRUE(page.insertPicture(png, error));
    ASSERT_TRUE(page.insertPicture(jpeg, error));
    const QStringList names = pictures::pictureNames(*page.body());
    ASSERT_EQ(names.size(), 2);
    EXPECT_EQ(pictures::resourceBytes(*page.body(), names[0]), png);
    EXPECT_EQ(pictures::resourceBytes(*page.body(), names[1]), jpeg);

    const QString before = test::describe(page);
    for (const QByteArray& notAPicture :
         {QByteArray("plain text"), QByteArray(), QByteArray("\x89PNG\r\n\x1a\n broken", 17),
          QByteArray("GIF89a\x01\x00\x01\x00")}) {
        error.clear();
        EXPECT_FALSE(page.insertPicture(notAPicture, error));
        EXPECT_FALSE(error.isEmpty());
    }
    QTemporaryDir dir;
    const QString textFile = dir.filePath(QStringLiteral("memo.png"));
    QFile f(textFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not an image although it is named like one");
    f.close();
    EXPECT_FALSE(page.insertPictureFile(textFile, error));
    EXPECT_FALSE(page.insertPictureFile(dir.filePath(QStringLiteral("missing.png")), error));
    EXPECT_EQ(test::describe(page), before);
}

TEST_F(RichTextTest, EditsSignalChangedLoadingSignalsReplaced) {
    RichText source;
    test::fillFullPage(source);
    const QByteArray data = source.saveBytes();
    int changed = 0, replaced = 0;
    QObject::connect(&page, &RichText::changed, [&] { ++changed; });
    QObject::connect(&page, &RichText::replaced, [&] { ++replaced; });
    QString error;
    ASSERT_TRUE(page.loadBytes(data, error));
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(page.selectionStart(), 0);
    page.insertText(QStringLiteral("追加"));
    EXPECT_GE(changed, 1);
    changed = 0;
    page.setHeaderText(QStringLiteral("新しいヘッダー"));
    EXPECT_GE(changed, 1);
    EXPECT_FALSE(page.loadBytes(QByteArray("garbage"), error));
    EXPECT_EQ(replaced, 1);
    page.clear();
    EXPECT_TRUE(page.isEmpty());
    EXPECT_EQ(replaced, 2);
}

}  // namespace
