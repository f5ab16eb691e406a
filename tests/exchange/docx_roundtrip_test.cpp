// A page written as .docx and read back keeps its text, headings, run and paragraph
// formatting, tables with merged cells, pictures, links and fields, page breaks,
// header, footer and page setup; every part is well-formed XML.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include "exchange/docx.h"
#include "exchange/docx_styles.h"
#include "exchange/office_convert.h"
#include "exchange_test_util.h"
#include "support/gui_app.h"

using namespace arbor;
using namespace arbor::test;
using docx::applyUserFormat;
using docx::colorFromBgr;
using docx::StyleSet;

namespace {

void insertField(QTextCursor& c, const QString& text, int id, const QString& data) {
    QTextCharFormat f;
    f.setProperty(doc::FieldId, id);
    f.setProperty(doc::FieldData, data);
    f.setAnchor(true);
    f.setAnchorHref(data);
    f.setForeground(QColor(0, 0, 255));
    c.insertText(text, f);
    c.setCharFormat(QTextCharFormat());
}

void insertPicture(QTextDocument& d, QTextCursor& c, const QString& name, const QByteArray& bytes,
                   double w, double h) {
    d.addResource(QTextDocument::ImageResource, QUrl(name), bytes);
    QTextImageFormat img;
    img.setName(name);
    img.setWidth(w);
    img.setHeight(h);
    c.insertImage(img);
}

class DocxRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override { ensureGuiApp(); }

    OwnedParts source;
    QByteArray png = pictureFile("PNG", 40, 30, qRgb(200, 30, 30));
    QByteArray jpeg = pictureFile("JPG", 64, 48, qRgb(30, 200, 30));

    // A page with everything the editor can put into it.
    void buildPage() {
        QTextDocument& d = *source.body;
        QTextCursor c(&d);
        const StyleSet styles = StyleSet::defaults();

        QTextBlockFormat block;
        QTextCharFormat chars;
        applyUserFormat(styles, 0, block, chars);
        c.setBlockFormat(block);
        c.setBlockCharFormat(chars);
        c.insertText(QStringLiteral("第一章 はじめに"), chars);

        block = QTextBlockFormat();
        chars = QTextCharFormat();
        applyUserFormat(styles, 1, block, chars);
        c.insertBlock(block, chars);
        c.insertText(QStringLiteral("一節 概要"), chars);

        QTextBlockFormat body;
        body.setAlignment(Qt::AlignHCenter);
        body.setLeftMargin(20);
        body.setRightMargin(10);
        body.setTextIndent(12);
        body.setTopMargin(6);
        body.setBottomMargin(3);
        body.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        c.insertBlock(body, QTextCharFormat());
        c.insertText(QStringLiteral("本文の"));
        QTextCharFormat f;
        f.setFontWeight(QFont::Bold);
        c.insertText(QStringLiteral("太字"), f);
        f = QTextCharFormat();
        f.setFontItalic(true);
        c.insertText(QStringLiteral("斜体"), f);
        f = QTextCharFormat();
        f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        c.insertText(QStringLiteral("下線"), f);
        f = QTextCharFormat();
        f.setForeground(QColor(0xC0, 0x10, 0x20));
        f.setBackground(QColor(0xFF, 0xF0, 0x80));
        c.insertText(QStringLiteral("色付き"), f);
        f = QTextCharFormat();
        f.setFontFamilies({QStringLiteral("Century"), QStringLiteral("ＭＳ 明朝")});
        f.setFontPointSize(10.5);
        c.insertText(QStringLiteral("混在 Mixed"), f);
        f = QTextCharFormat();
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        c.insertText(QStringLiteral("上付き"), f);
        c.insertText(
            QStringLiteral("前") + QChar(QChar::LineSeparator) + QStringLiteral("後\tタブ"),
            QTextCharFormat());

        c.insertBlock(QTextBlockFormat(), QTextCharFormat());
        insertField(c, QStringLiteral("外部リンク"), 1,
                    QStringLiteral("https://example.com/a?b=1&c=2"));
        c.insertText(QStringLiteral(" と "));
        insertField(c, QStringLiteral("ページへ"), 2, QStringLiteral("TG_1012"));
        insertField(c, QStringLiteral("次へ"), 3, QStringLiteral("TG_1013"));  // adjacent field
        c.insertText(QStringLiteral(" "));
        insertField(c, QStringLiteral("用語"), 4, QStringLiteral("TP_索引語"));
        c.insertText(QStringLiteral(" "));
        insertField(c, QStringLiteral("ファイル"), 5,
                    QStringLiteral("file:///home/user/資料 一覧.pdf"));
        c.insertText(QStringLiteral(" "));
        insertField(c, QStringLiteral("見出しへ"), 6, QStringLiteral("#mark1"));

        c.insertBlock(QTextBlockFormat(), QTextCharFormat());
        c.insertText(QStringLiteral("図: "));
        insertPicture(d, c, QStringLiteral("arbor-image:1.png"), png, 80, 60);
        insertPicture(d, c, QStringLiteral("arbor-image:2.jpg"), jpeg, 64, 48);

        QTextTableFormat tf;
        tf.setBorder(1);
        tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        tf.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 100),
                                      QTextLength(QTextLength::FixedLength, 120),
                                      QTextLength(QTextLength::FixedLength, 140)});
        QTextTable* t = c.insertTable(3, 3, tf);
        t->mergeCells(0, 0, 1, 2);
        t->mergeCells(1, 2, 2, 1);
        const auto cellText = [&](int r, int col, const QString& text) {
            QTextCursor cc = t->cellAt(r, col).firstCursorPosition();
            cc.insertText(text);
        };
        cellText(0, 0, QStringLiteral("横結合セル"));
        cellText(0, 2, QStringLiteral("右上"));
        cellText(1, 0, QStringLiteral("セルA"));
        cellText(1, 1, QStringLiteral("セルB"));
        cellText(1, 2, QStringLiteral("縦結合セル"));
        cellText(2, 0, QStringLiteral("セルC"));
        cellText(2, 1, QStringLiteral("セルD"));
        QTextTableCellFormat shaded;
        shaded.setBackground(QColor(0xDD, 0xEE, 0xFF));
        t->cellAt(1, 0).setFormat(shaded);

        c = t->lastCursorPosition();
        c.movePosition(QTextCursor::NextBlock);
        QTextBlockFormat breakBefore;
        breakBefore.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        c.setBlockFormat(breakBefore);
        c.insertText(QStringLiteral("改ページ後"));

        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        c.insertBlock(QTextBlockFormat(), QTextCharFormat());
        c.createList(list);
        c.insertText(QStringLiteral("項目一"));
        c.insertBlock();
        c.insertText(QStringLiteral("項目二"));

        QTextCursor h(source.header.get());
        QTextBlockFormat right;
        right.setAlignment(Qt::AlignRight);
        h.setBlockFormat(right);
        h.insertText(QStringLiteral("ヘッダーの文字"));
        QTextCursor foot(source.footer.get());
        foot.insertText(QStringLiteral("フッターの文字"));
        source.page = {11906, 16838, 1701, 1985, 1702, 1703};
    }
};

TEST_F(DocxRoundTrip, KeepsThePage) {
    buildPage();
    QString error;
    const QByteArray bytes = docx::docxBytes(source.parts(), error);
    ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
    keepForCorpus(QStringLiteral("arbor-page.docx"), bytes);

    OwnedParts back;
    doc::DocumentParts parts = back.parts();
    ASSERT_TRUE(docx::readDocxBytes(bytes, parts, error)) << error.toStdString();
    const QTextDocument& d = *back.body;

    EXPECT_EQ(d.toPlainText(), source.body->toPlainText());
    EXPECT_EQ(back.header->toPlainText(), QStringLiteral("ヘッダーの文字"));
    EXPECT_EQ(back.footer->toPlainText(), QStringLiteral("フッターの文字"));
    EXPECT_TRUE(blockOf(*back.header, QStringLiteral("ヘッダー")).blockFormat().alignment() &
                Qt::AlignRight);
    EXPECT_EQ(parts.page, source.page);

    // Headings: style index, heading mark and the user format's look.
    const QTextBlock h1 = blockOf(d, QStringLiteral("第一章"));
    EXPECT_EQ(h1.blockFormat().property(doc::StyleIndex), QVariant(0));
    EXPECT_EQ(h1.blockFormat().intProperty(doc::HeadingAttribute), 1);
    EXPECT_EQ(h1.blockFormat().intProperty(doc::ParaDist1), 160);
    const QTextCharFormat h1chars = formatOf(d, QStringLiteral("第一章"));
    EXPECT_EQ(familiesOf(h1chars), QStringList{QStringLiteral("ＭＳ Ｐゴシック")});
    EXPECT_EQ(h1chars.fontPointSize(), 14);
    EXPECT_EQ(h1chars.fontWeight(), QFont::Bold);
    EXPECT_EQ(h1chars.foreground().color(), colorFromBgr(0x505A85));
    EXPECT_EQ(blockOf(d, QStringLiteral("一節")).blockFormat().intProperty(doc::StyleIndex), 1);
    EXPECT_FALSE(blockOf(d, QStringLiteral("本文の")).blockFormat().hasProperty(doc::StyleIndex));

    // Runs.
    EXPECT_EQ(formatOf(d, QStringLiteral("太字")).fontWeight(), QFont::Bold);
    EXPECT_NE(formatOf(d, QStringLiteral("本文の")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(d, QStringLiteral("斜体")).fontItalic());
    EXPECT_EQ(formatOf(d, QStringLiteral("下線")).underlineStyle(),
              QTextCharFormat::SingleUnderline);
    EXPECT_EQ(formatOf(d, QStringLiteral("色付き")).foreground().color(), QColor(0xC0, 0x10, 0x20));
    EXPECT_EQ(formatOf(d, QStringLiteral("色付き")).background().color(), QColor(0xFF, 0xF0, 0x80));
    const QTextCharFormat mixed = formatOf(d, QStringLiteral("混在"));
    EXPECT_EQ(familiesOf(mixed),
              (QStringList{QStringLiteral("Century"), QStringLiteral("ＭＳ 明朝")}));
    EXPECT_EQ(mixed.fontPointSize(), 10.5);
    EXPECT_EQ(formatOf(d, QStringLiteral("上付き")).verticalAlignment(),
              QTextCharFormat::AlignSuperScript);

    // Paragraph settings.
    const QTextBlockFormat body = blockOf(d, QStringLiteral("本文の")).blockFormat();
    EXPECT_TRUE(body.alignment() & Qt::AlignHCenter);
    EXPECT_EQ(body.leftMargin(), 20);
    EXPECT_EQ(body.rightMargin(), 10);
    EXPECT_EQ(body.textIndent(), 12);
    EXPECT_EQ(body.topMargin(), 6);
    EXPECT_EQ(body.bottomMargin(), 3);
    EXPECT_EQ(body.lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_EQ(body.lineHeight(), 150);

    // Fields: the same texts and data, adjacent fields still apart, with anchors set.
    const std::vector<FieldRun> fields = fieldRuns(d);
    const std::vector<FieldRun> expected = fieldRuns(*source.body);
    ASSERT_EQ(fields.size(), expected.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(fields[i].text, expected[i].text);
        EXPECT_EQ(fields[i].data, expected[i].data);
        if (i > 0) {
            EXPECT_NE(fields[i].id, fields[i - 1].id);
        }
    }
    const QTextCharFormat link = formatOf(d, QStringLiteral("ページへ"));
    EXPECT_TRUE(link.isAnchor());
    EXPECT_EQ(link.anchorHref(), QStringLiteral("TG_1012"));

    // Pictures: the original bytes and the size.
    std::vector<std::pair<QByteArray, QSizeF>> pictures;
    for (QTextBlock b = d.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QTextImageFormat img = it.fragment().charFormat().toImageFormat();
                EXPECT_TRUE(img.name().startsWith(QLatin1String("arbor-image:")));
                pictures.emplace_back(
                    d.resource(QTextDocument::ImageResource, QUrl(img.name())).toByteArray(),
                    QSizeF(img.width(), img.height()));
            }
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].first, png);
    EXPECT_EQ(pictures[0].second, QSizeF(80, 60));
    EXPECT_EQ(pictures[1].first, jpeg);
    EXPECT_EQ(pictures[1].second, QSizeF(64, 48));

    // The table and its merges.
    QTextTable* t = firstTable(d);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rows(), 3);
    EXPECT_EQ(t->columns(), 3);
    EXPECT_EQ(t->cellAt(0, 0).columnSpan(), 2);
    EXPECT_EQ(t->cellAt(1, 2).rowSpan(), 2);
    EXPECT_EQ(t->cellAt(2, 2).row(), 1);  // covered by the vertical merge
    EXPECT_EQ(t->cellAt(1, 0).format().background().color(), QColor(0xDD, 0xEE, 0xFF));
    QTextCursor cc = t->cellAt(1, 2).firstCursorPosition();
    cc.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    EXPECT_EQ(cc.selectedText(), QStringLiteral("縦結合セル"));
    const auto widths = t->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_EQ(widths[2], QTextLength(QTextLength::FixedLength, 140));

    // Breaks and lists.
    EXPECT_TRUE(blockOf(d, QStringLiteral("改ページ後")).blockFormat().pageBreakPolicy() &
                QTextFormat::PageBreak_AlwaysBefore);
    const QTextBlock item1 = blockOf(d, QStringLiteral("項目一"));
    const QTextBlock item2 = blockOf(d, QStringLiteral("項目二"));
    ASSERT_NE(item1.textList(), nullptr);
    EXPECT_EQ(item1.textList(), item2.textList());
    EXPECT_EQ(item1.textList()->format().style(), QTextListFormat::ListDisc);
}

TEST_F(DocxRoundTrip, EveryPartIsWellFormed) {
    if (!haveTool(QStringLiteral("xmllint")))
        GTEST_SKIP() << "xmllint is not installed (package libxml2-utils)";
    buildPage();
    QString error;
    const QByteArray bytes = docx::docxBytes(source.parts(), error);
    ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
    const auto entries = unzip(bytes);
    int xmlParts = 0;
    for (const auto& [name, content] : entries) {
        if (!name.endsWith(QLatin1String(".xml")) && !name.endsWith(QLatin1String(".rels")))
            continue;
        ++xmlParts;
        EXPECT_EQ(xmllintProblem(content), QString()) << name.toStdString();
    }
    EXPECT_GE(xmlParts,
              8);  // types, rels x3, document, styles, settings, header, footer, numbering
    EXPECT_TRUE(entries.count(QStringLiteral("word/media/image1.png")));
    EXPECT_TRUE(entries.count(QStringLiteral("word/media/image2.jpeg")));
}

TEST_F(DocxRoundTrip, WritesAFileInPlaceOnlyWhenComplete) {
    buildPage();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ページ.docx"));
    QString error;
    ASSERT_TRUE(docx::writeDocx(source.parts(), path, error)) << error.toStdString();
    OwnedParts back;
    doc::DocumentParts parts = back.parts();
    ASSERT_TRUE(docx::readDocx(path, parts, error)) << error.toStdString();
    EXPECT_EQ(back.body->toPlainText(), source.body->toPlainText());
    // A folder that does not exist: refused, nothing created.
    const QString bad = dir.filePath(QStringLiteral("missing/ページ.docx"));
    EXPECT_FALSE(docx::writeDocx(source.parts(), bad, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(bad));
}

TEST_F(DocxRoundTrip, EmptyPageAndTableAtTheStart) {
    QString error;
    // An empty page gives a valid package and an empty page back.
    QByteArray bytes = docx::docxBytes(source.parts(), error);
    ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
    OwnedParts back;
    doc::DocumentParts parts = back.parts();
    back.body->setPlainText(QStringLiteral("置き換えられる"));
    ASSERT_TRUE(docx::readDocxBytes(bytes, parts, error)) << error.toStdString();
    EXPECT_TRUE(back.body->toPlainText().isEmpty());
    EXPECT_EQ(parts.page, doc::PageSetup());

    // A page that starts with a nested table comes back with the same structure.
    QTextCursor c(source.body.get());
    QTextTable* outer = c.insertTable(1, 2);
    QTextCursor inside = outer->cellAt(0, 1).firstCursorPosition();
    inside.insertText(QStringLiteral("外"));
    QTextTable* inner = inside.insertTable(2, 1);
    inner->cellAt(1, 0).firstCursorPosition().insertText(QStringLiteral("内"));
    bytes = docx::docxBytes(source.parts(), error);
    ASSERT_TRUE(docx::readDocxBytes(bytes, parts, error)) << error.toStdString();
    EXPECT_EQ(back.body->toPlainText(), source.body->toPlainText());
    EXPECT_EQ(back.body->blockCount(), source.body->blockCount());
    QTextTable* t = firstTable(*back.body);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->columns(), 2);
    EXPECT_EQ(t->childFrames().size(), 1);
}

TEST_F(DocxRoundTrip, LibreOfficeShowsAndKeepsThePage) {
    if (!office::available())
        GTEST_SKIP() << "LibreOffice is not installed (apt-get install libreoffice-writer-nogui)";
    buildPage();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.docx"));
    QString error;
    ASSERT_TRUE(docx::writeDocx(source.parts(), path, error)) << error.toStdString();

    if (haveTool(QStringLiteral("pdftotext"))) {
        QString reason;
        const QString pdf = sofficeConvert(path, QStringLiteral("pdf"), reason);
        ASSERT_FALSE(pdf.isEmpty()) << reason.toStdString();
        const QString text = pdfText(pdf);
        for (const char* expected :
             {"第一章 はじめに", "一節 概要", "本文の太字斜体下線", "横結合セル", "縦結合セル",
              "ヘッダーの文字", "フッターの文字", "改ページ後"})
            EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
        EXPECT_EQ(text.count(QLatin1Char('\f')), 2) << "the page break makes two pages";
    }

    // LibreOffice's own .docx of the page reads back with the same content.
    QString reason;
    const QString again = sofficeConvert(path, QStringLiteral("docx"), reason);
    ASSERT_FALSE(again.isEmpty()) << reason.toStdString();
    OwnedParts back;
    doc::DocumentParts parts = back.parts();
    ASSERT_TRUE(docx::readDocx(again, parts, error)) << error.toStdString();
    const QTextDocument& d = *back.body;
    EXPECT_EQ(d.toPlainText().remove(QChar::ObjectReplacementCharacter),
              source.body->toPlainText().remove(QChar::ObjectReplacementCharacter));
    EXPECT_EQ(blockOf(d, QStringLiteral("第一章")).blockFormat().property(doc::StyleIndex),
              QVariant(0));
    EXPECT_EQ(blockOf(d, QStringLiteral("一節")).blockFormat().property(doc::StyleIndex),
              QVariant(1));
    EXPECT_EQ(formatOf(d, QStringLiteral("太字")).fontWeight(), QFont::Bold);
    EXPECT_EQ(back.header->toPlainText(), QStringLiteral("ヘッダーの文字"));
    EXPECT_EQ(parts.page, source.page);
    QStringList data;
    for (const FieldRun& f : fieldRuns(d))
        data << f.data;
    EXPECT_TRUE(data.contains(QStringLiteral("TG_1012")))
        << data.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(data.contains(QStringLiteral("TP_索引語")));
    EXPECT_TRUE(data.contains(QStringLiteral("https://example.com/a?b=1&c=2")));
    QTextTable* t = firstTable(d);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->cellAt(0, 0).columnSpan(), 2);
    EXPECT_EQ(t->cellAt(1, 2).rowSpan(), 2);
    EXPECT_TRUE(blockOf(d, QStringLiteral("改ページ後")).blockFormat().pageBreakPolicy() &
                QTextFormat::PageBreak_AlwaysBefore);
}

}  // namespace
