// Documents written by other programs: styles with inheritance and defaults, theme
// fonts, Word's heading styles by name, links as fields, merged table cells, content
// controls, lists; and a document LibreOffice writes itself.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextList>
#include <QTextTable>

#include "exchange/docx.h"
#include "exchange/office_convert.h"
#include "exchange/zip_archive.h"
#include "exchange_test_util.h"
#include "support/gui_app.h"

using namespace arbor;
using namespace arbor::test;

namespace {

const QByteArray kStylesHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:styles "
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">";

const QString kRel = QStringLiteral(
    "<Relationship Id=\"%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/%2\" Target=\"%3\"%4/>");

QString rel(const QString& id, const QString& type, const QString& target, bool external = false) {
    return kRel.arg(id, type, target,
                    external ? QStringLiteral(" TargetMode=\"External\"") : QString());
}

class DocxForeign : public ::testing::Test {
  protected:
    void SetUp() override { ensureGuiApp(); }

    bool read(const QByteArray& bytes) {
        keepForCorpus(
            QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                QStringLiteral(".docx"),
            bytes);
        parts = owned.parts();
        QString error;
        const bool ok = docx::readDocxBytes(bytes, parts, error);
        EXPECT_TRUE(ok) << error.toStdString();
        return ok;
    }

    OwnedParts owned;
    doc::DocumentParts parts;
};

TEST_F(DocxForeign, StylesInheritDefaultsAndThemeFonts) {
    const QByteArray theme =
        "<a:theme "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><a:themeElements>"
        "<a:fontScheme name=\"x\"><a:majorFont><a:latin typeface=\"Major Latin\"/><a:ea "
        "typeface=\"\"/>"
        "<a:font script=\"Jpan\" typeface=\"游ゴシック Light\"/></a:majorFont><a:minorFont>"
        "<a:latin typeface=\"Minor Latin\"/><a:ea typeface=\"\"/><a:font script=\"Jpan\" "
        "typeface=\"游明朝\"/></a:minorFont></a:fontScheme></a:themeElements></a:theme>";
    const QByteArray styles =
        kStylesHead +
        "<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:asciiTheme=\"minorHAnsi\" "
        "w:eastAsiaTheme=\"minorEastAsia\"/><w:sz w:val=\"21\"/></w:rPr></w:rPrDefault>"
        "<w:pPrDefault><w:pPr><w:spacing w:after=\"160\"/></w:pPr></w:pPrDefault></w:docDefaults>"
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"a\"><w:name w:val=\"Normal\"/>"
        "<w:pPr><w:jc w:val=\"both\"/></w:pPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"1\"><w:name w:val=\"heading 1\"/>"
        "<w:basedOn w:val=\"a\"/><w:pPr><w:outlineLvl w:val=\"0\"/></w:pPr><w:rPr>"
        "<w:rFonts w:asciiTheme=\"majorHAnsi\" w:eastAsiaTheme=\"majorEastAsia\"/><w:sz "
        "w:val=\"32\"/><w:color w:val=\"2F5496\"/></w:rPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Mine\"><w:name w:val=\"My Heading\"/>"
        "<w:basedOn w:val=\"1\"/><w:rPr><w:i/></w:rPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Loop\"><w:name w:val=\"Loop\"/>"
        "<w:basedOn w:val=\"Loop2\"/></w:style><w:style w:type=\"paragraph\" w:styleId=\"Loop2\">"
        "<w:name w:val=\"Loop2\"/><w:basedOn w:val=\"Loop\"/><w:rPr><w:b/></w:rPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"H3\"><w:name w:val=\"見出し 3\"/></w:style>"
        "<w:style w:type=\"character\" w:styleId=\"Strong\"><w:name w:val=\"Strong\"/>"
        "<w:rPr><w:b/><w:u w:val=\"double\"/></w:rPr></w:style></w:styles>";
    const QString body = QStringLiteral(
        "<w:p><w:pPr><w:pStyle w:val=\"1\"/></w:pPr><w:r><w:t>章の題</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:pStyle w:val=\"Mine\"/></w:pPr><w:r><w:t>派生の題</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:pStyle w:val=\"H3\"/></w:pPr><w:r><w:t>三の題</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:pStyle w:val=\"Loop\"/></w:pPr><w:r><w:t>循環</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:outlineLvl w:val=\"1\"/></w:pPr><w:r><w:t>直接の段</w:t></w:r></w:p>"
        "<w:p><w:r><w:t>標準の文</w:t></w:r><w:r><w:rPr><w:rStyle w:val=\"Strong\"/><w:b "
        "w:val=\"0\"/>"
        "</w:rPr><w:t>細い強調</w:t></w:r><w:r><w:rPr><w:highlight w:val=\"yellow\"/><w:shd "
        "w:val=\"clear\" w:fill=\"FF0000\"/></w:rPr><w:t>蛍光</w:t></w:r></w:p>");
    ASSERT_TRUE(read(
        docxWith(body,
                 {{QStringLiteral("word/styles.xml"), styles},
                  {QStringLiteral("word/theme/theme1.xml"), theme}},
                 rel(QStringLiteral("s"), QStringLiteral("styles"), QStringLiteral("styles.xml")) +
                     rel(QStringLiteral("t"), QStringLiteral("theme"),
                         QStringLiteral("theme/theme1.xml")))));
    const QTextDocument& d = *owned.body;

    const QTextBlock h1 = blockOf(d, QStringLiteral("章の題"));
    EXPECT_EQ(h1.blockFormat().property(doc::StyleIndex), QVariant(0));
    EXPECT_EQ(h1.blockFormat().property(doc::HeadingAttribute), QVariant(1));
    EXPECT_TRUE(h1.blockFormat().alignment() & Qt::AlignJustify);  // from Normal
    EXPECT_EQ(h1.blockFormat().bottomMargin(), 8);                 // from the defaults
    const QTextCharFormat h1chars = formatOf(d, QStringLiteral("章の題"));
    EXPECT_EQ(familiesOf(h1chars),
              (QStringList{QStringLiteral("Major Latin"), QStringLiteral("游ゴシック Light")}));
    EXPECT_EQ(h1chars.fontPointSize(), 16);
    EXPECT_EQ(h1chars.foreground().color(), QColor(0x2F, 0x54, 0x96));

    EXPECT_EQ(blockOf(d, QStringLiteral("派生の題")).blockFormat().property(doc::StyleIndex),
              QVariant(0));
    EXPECT_TRUE(formatOf(d, QStringLiteral("派生の題")).fontItalic());
    EXPECT_EQ(formatOf(d, QStringLiteral("派生の題")).fontPointSize(), 16);
    EXPECT_EQ(blockOf(d, QStringLiteral("三の題")).blockFormat().property(doc::StyleIndex),
              QVariant(2));
    EXPECT_EQ(blockOf(d, QStringLiteral("直接の段")).blockFormat().property(doc::StyleIndex),
              QVariant(1));
    EXPECT_FALSE(blockOf(d, QStringLiteral("循環")).blockFormat().hasProperty(doc::StyleIndex));

    const QTextCharFormat normal = formatOf(d, QStringLiteral("標準の文"));
    EXPECT_EQ(familiesOf(normal),
              (QStringList{QStringLiteral("Minor Latin"), QStringLiteral("游明朝")}));
    EXPECT_EQ(normal.fontPointSize(), 10.5);
    const QTextCharFormat strong = formatOf(d, QStringLiteral("細い強調"));
    EXPECT_EQ(strong.fontWeight(), QFont::Normal);  // direct formatting beats the style
    EXPECT_NE(strong.underlineStyle(), QTextCharFormat::NoUnderline);
    EXPECT_EQ(formatOf(d, QStringLiteral("蛍光")).background().color(), QColor(Qt::yellow));
}

TEST_F(DocxForeign, LinksAndFields) {
    const QString body = QStringLiteral(
        "<w:p><w:hyperlink r:id=\"h1\"><w:r><w:t>外へ</w:t></w:r></w:hyperlink>"
        "<w:hyperlink r:id=\"h1\" w:anchor=\"part\"><w:r><w:t>外の中へ</w:t></w:r></w:hyperlink>"
        "<w:hyperlink w:anchor=\"_Toc123\"><w:r><w:t>目次から</w:t></w:r></w:hyperlink>"
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText xml:space=\"preserve\"> "
        "HYPERLINK \"http://example.org/x y\" \\o \"tip\" </w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>複合</w:t></w:r></w:p>"
        "<w:p><w:r><w:t>段をまたぐ</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>HYPERLINK \\l "
        "\"TG_77\"</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
        "<w:r><w:t>タグ</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
        "<w:fldSimple w:instr=\" PAGE \"><w:r><w:t>7</w:t></w:r></w:fldSimple>"
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>DATE</w:instrText></w:r>"
        "<w:r><w:t>隠れた</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>");
    ASSERT_TRUE(read(docxWith(body, {},
                              rel(QStringLiteral("h1"), QStringLiteral("hyperlink"),
                                  QStringLiteral("https://example.com/"), true))));
    const auto fields = fieldRuns(*owned.body);
    ASSERT_EQ(fields.size(), 6u);
    EXPECT_EQ(fields[0].data, QStringLiteral("https://example.com/"));
    EXPECT_EQ(fields[1].data, QStringLiteral("https://example.com/#part"));
    EXPECT_EQ(fields[2].data, QStringLiteral("#_Toc123"));
    EXPECT_EQ(fields[3].text, QStringLiteral("複合"));
    EXPECT_EQ(fields[3].data, QStringLiteral("http://example.org/x y"));
    EXPECT_EQ(fields[4].text,
              QStringLiteral("段をまたぐ"));  // the field goes on in the next paragraph
    EXPECT_EQ(fields[4].id, fields[3].id);
    EXPECT_EQ(fields[5].text, QStringLiteral("タグ"));
    EXPECT_EQ(fields[5].data, QStringLiteral("TG_77"));
    const QString text = owned.body->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("タグ7")));  // field results stay, instructions go
    EXPECT_FALSE(text.contains(QStringLiteral("HYPERLINK")));
}

TEST_F(DocxForeign, MergedCellsAndContentControls) {
    // A 4-column grid: the first row starts one column in (gridBefore), a cell spans two
    // columns and continues down two rows; rows sit inside a content control.
    const QString cell = QStringLiteral("<w:tc>%1<w:p><w:r><w:t>%2</w:t></w:r></w:p></w:tc>");
    const QString body =
        QStringLiteral(
            "<w:tbl><w:tblPr><w:tblStyle w:val=\"Grid\"/><w:tblW w:w=\"5000\" "
            "w:type=\"pct\"/></w:tblPr>"
            "<w:tblGrid><w:gridCol w:w=\"1500\"/><w:gridCol w:w=\"1500\"/><w:gridCol w:w=\"1500\"/>"
            "<w:gridCol w:w=\"1500\"/></w:tblGrid><w:tr><w:trPr><w:gridBefore "
            "w:val=\"1\"/></w:trPr>") +
        cell.arg(QStringLiteral("<w:tcPr><w:gridSpan w:val=\"2\"/><w:vMerge w:val=\"restart\"/>"
                                "<w:shd w:val=\"clear\" w:fill=\"00FF00\"/></w:tcPr>"),
                 QStringLiteral("大きい")) +
        QStringLiteral(
            "<w:tc><w:sdt><w:sdtPr><w:alias w:val=\"x\"/></w:sdtPr><w:sdtContent><w:p>"
            "<w:r><w:t>右端</w:t></w:r></w:p></w:sdtContent></w:sdt></w:tc>") +
        QStringLiteral("</w:tr><w:sdt><w:sdtContent><w:tr>") +
        cell.arg(QString(), QStringLiteral("左")) +
        cell.arg(QStringLiteral("<w:tcPr><w:gridSpan w:val=\"2\"/><w:vMerge/></w:tcPr>"),
                 QString()) +
        cell.arg(QString(), QStringLiteral("右")) +
        QStringLiteral("</w:tr></w:sdtContent></w:sdt><w:tr>") +
        cell.arg(QString(), QStringLiteral("下左")) +
        cell.arg(QStringLiteral("<w:tcPr><w:gridSpan w:val=\"2\"/><w:vMerge/></w:tcPr>"),
                 QStringLiteral("続きの文")) +
        cell.arg(QString(), QStringLiteral("下右")) + QStringLiteral("</w:tr></w:tbl><w:p/>");
    const QByteArray styles =
        kStylesHead +
        "<w:style w:type=\"table\" w:styleId=\"Grid\"><w:name w:val=\"Table Grid\"/>"
        "<w:tblPr><w:tblBorders><w:top w:val=\"single\" w:sz=\"4\" w:color=\"auto\"/>"
        "<w:insideV w:val=\"single\" w:sz=\"12\" w:color=\"FF0000\"/></w:tblBorders>"
        "</w:tblPr></w:style></w:styles>";
    ASSERT_TRUE(read(docxWith(
        body, {{QStringLiteral("word/styles.xml"), styles}},
        rel(QStringLiteral("s"), QStringLiteral("styles"), QStringLiteral("styles.xml")))));
    QTextTable* t = firstTable(*owned.body);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rows(), 3);
    EXPECT_EQ(t->columns(), 4);
    const QTextTableCell big = t->cellAt(0, 1);
    EXPECT_EQ(big.column(), 1);
    EXPECT_EQ(big.columnSpan(), 2);
    EXPECT_EQ(big.rowSpan(), 3);
    EXPECT_EQ(big.format().background().color(), QColor(0, 255, 0));
    EXPECT_EQ(t->cellAt(0, 3).firstCursorPosition().block().text(), QStringLiteral("右端"));
    EXPECT_EQ(t->cellAt(1, 3).firstCursorPosition().block().text(), QStringLiteral("右"));
    EXPECT_EQ(t->cellAt(2, 0).firstCursorPosition().block().text(), QStringLiteral("下左"));
    // Text in a continuation cell is kept with the merged cell.
    EXPECT_TRUE(owned.body->toPlainText().contains(QStringLiteral("続きの文")));
    EXPECT_EQ(t->format().width(), QTextLength(QTextLength::PercentageLength, 100));
    EXPECT_EQ(t->format().border(), 2);  // the widest line of the table style
}

TEST_F(DocxForeign, ListsFromNumbering) {
    const QByteArray numbering =
        "<w:numbering xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:abstractNum w:abstractNumId=\"0\"><w:lvl w:ilvl=\"0\"><w:numFmt w:val=\"decimal\"/>"
        "<w:lvlText w:val=\"%1.\"/></w:lvl><w:lvl w:ilvl=\"1\"><w:numFmt w:val=\"bullet\"/>"
        "<w:lvlText w:val=\"\xE2\x97\x8B\"/></w:lvl></w:abstractNum><w:num w:numId=\"3\">"
        "<w:abstractNumId w:val=\"0\"/></w:num></w:numbering>";
    const QString item = QStringLiteral(
        "<w:p><w:pPr><w:numPr><w:ilvl w:val=\"%1\"/><w:numId w:val=\"%2\"/></w:numPr></w:pPr>"
        "<w:r><w:t>%3</w:t></w:r></w:p>");
    const QString body = item.arg(0).arg(3).arg(QStringLiteral("一つ目")) +
                         item.arg(1).arg(3).arg(QStringLiteral("下の段")) +
                         item.arg(0).arg(3).arg(QStringLiteral("二つ目")) +
                         item.arg(0).arg(0).arg(QStringLiteral("番号なし")) +
                         item.arg(0).arg(99).arg(QStringLiteral("未定義"));
    ASSERT_TRUE(read(docxWith(
        body, {{QStringLiteral("word/numbering.xml"), numbering}},
        rel(QStringLiteral("n"), QStringLiteral("numbering"), QStringLiteral("numbering.xml")))));
    const QTextDocument& d = *owned.body;
    QTextList* first = blockOf(d, QStringLiteral("一つ目")).textList();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(blockOf(d, QStringLiteral("二つ目")).textList(), first);
    QTextList* inner = blockOf(d, QStringLiteral("下の段")).textList();
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->format().style(), QTextListFormat::ListCircle);
    EXPECT_EQ(inner->format().indent(), 2);
    EXPECT_EQ(blockOf(d, QStringLiteral("番号なし")).textList(), nullptr);
    EXPECT_EQ(blockOf(d, QStringLiteral("未定義")).textList(), nullptr);
}

// content.xml of an OpenDocument text with a heading, formatted text, a link and a
// table with merged cells.
QByteArray odtContent() {
    return QByteArray(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<office:document-content "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
        "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
        "xmlns:xlink=\"http://www.w3.org/1999/xlink\" office:version=\"1.2\">"
        "<office:automatic-styles><style:style style:name=\"B\" style:family=\"text\">"
        "<style:text-properties fo:font-weight=\"bold\" style:font-weight-asian=\"bold\"/>"
        "</style:style></office:automatic-styles><office:body><office:text>"
        "<text:h text:outline-level=\"1\">リブレの見出し</text:h>"
        "<text:p>普通の文と<text:span text:style-name=\"B\">太い文</text:span>と"
        "<text:a xlink:type=\"simple\" xlink:href=\"https://example.net/\">リンク</text:a></text:p>"
        "<table:table table:name=\"T\"><table:table-column table:number-columns-repeated=\"3\"/>"
        "<table:table-row><table:table-cell "
        "table:number-columns-spanned=\"2\"><text:p>二列</text:p>"
        "</table:table-cell><table:covered-table-cell/><table:table-cell "
        "table:number-rows-spanned=\"2\">"
        "<text:p>二行</text:p></table:table-cell></table:table-row><table:table-row>"
        "<table:table-cell><text:p>甲</text:p></table:table-cell><table:table-cell><text:p>乙</"
        "text:p>"
        "</table:table-cell><table:covered-table-cell/></table:table-row></table:table>"
        "<text:p>終わり</text:p></office:text></office:body></office:document-content>");
}

TEST_F(DocxForeign, DocumentWrittenByLibreOffice) {
    if (!office::available())
        GTEST_SKIP() << "LibreOffice is not installed (apt-get install libreoffice-writer-nogui)";
    QTemporaryDir dir;
    const QString odt = dir.filePath(QStringLiteral("source.odt"));
    archive::ZipWriter zip;
    zip.add(QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text",
            archive::Compression::Store);
    zip.add(QStringLiteral("content.xml"), odtContent());
    zip.add(
        QStringLiteral("META-INF/manifest.xml"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><manifest:manifest "
        "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
        "manifest:version=\"1.2\">"
        "<manifest:file-entry manifest:full-path=\"/\" manifest:media-type=\"application/"
        "vnd.oasis.opendocument.text\"/><manifest:file-entry manifest:full-path=\"content.xml\" "
        "manifest:media-type=\"text/xml\"/></manifest:manifest>");
    QString error;
    ASSERT_TRUE(zip.commit(odt, error)) << error.toStdString();
    QString reason;
    const QString docxPath = sofficeConvert(odt, QStringLiteral("docx"), reason);
    ASSERT_FALSE(docxPath.isEmpty()) << reason.toStdString();

    // Keep LibreOffice's file as a seed of the fuzz corpus when asked to.
    if (qEnvironmentVariableIsSet("ARBOR_DOCX_CORPUS"))
        QFile::copy(docxPath, qEnvironmentVariable("ARBOR_DOCX_CORPUS") +
                                  QStringLiteral("/libreoffice.docx"));

    parts = owned.parts();
    ASSERT_TRUE(docx::readDocx(docxPath, parts, error)) << error.toStdString();
    const QTextDocument& d = *owned.body;
    const QTextBlock heading = blockOf(d, QStringLiteral("リブレの見出し"));
    EXPECT_EQ(heading.blockFormat().property(doc::StyleIndex), QVariant(0));
    EXPECT_EQ(formatOf(d, QStringLiteral("太い文")).fontWeight(), QFont::Bold);
    EXPECT_NE(formatOf(d, QStringLiteral("普通の文")).fontWeight(), QFont::Bold);
    const auto fields = fieldRuns(d);
    ASSERT_EQ(fields.size(), 1u);
    EXPECT_EQ(fields[0].text, QStringLiteral("リンク"));
    EXPECT_EQ(fields[0].data, QStringLiteral("https://example.net/"));
    QTextTable* t = firstTable(d);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->columns(), 3);
    EXPECT_EQ(t->cellAt(0, 0).columnSpan(), 2);
    EXPECT_EQ(t->cellAt(0, 2).rowSpan(), 2);
    EXPECT_TRUE(d.toPlainText().contains(QStringLiteral("終わり")));
}

}  // namespace
