// The site page conversion (CnvHtml): a representative page against its golden output,
// and the rules one by one: headings, classes and the style block, ideographic spaces,
// links relative to where the page lies, term titles, embedded blocks, tables, lists,
// pictures placed and named after the page, and the failures.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextTable>

#include "editor/link_fields.h"
#include "editor/pictures.h"
#include "web/html_converter.h"
#include "web_test_pages.h"

using namespace arbor;
using namespace arbor::test;

namespace {

class SiteConversionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        site = siteSettings(dir.path());
        QDir().mkpath(site.pubFolder);
    }
    web::ConversionResult convert(const QString& target, bool link = false) {
        web::PageOptions page = options;
        page.targetPath = target;
        page.linkPlacement = link;
        auto document = builder.copy();
        return web::HtmlConverter(site).convertSitePage(*document, page);
    }
    web::ConversionResult convertInPub(const QString& name = QStringLiteral("007.htm")) {
        return convert(site.pubFolder + name);
    }
    QTemporaryDir dir;
    web::HtmlSiteSettings site;
    web::PageOptions options;
    PageBuilder builder;
};

int count(const QString& text, const QString& what) {
    return static_cast<int>(text.count(what));
}

TEST_F(SiteConversionTest, RepresentativePageMatchesItsGoldenOutput) {
    fillRepresentativePage(builder);
    site.termTexts.insert(QStringLiteral("ＨＴＭＬ"), QStringLiteral("文書を記す言語"));
    options.title = QStringLiteral("代表的なページ");
    const web::ConversionResult r = convertInPub();
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const QString golden = compareGolden(QStringLiteral("site_page.htm"), r.head + r.body);
    EXPECT_TRUE(golden.isEmpty()) << golden.toStdString();

    // The styles: three heading levels, the other three as blocks with classes.
    EXPECT_TRUE(r.body.contains(QStringLiteral("<h1 class=\"h101\">見出し一の題</h1>")));
    EXPECT_TRUE(r.body.contains(QStringLiteral(">見出し二</h3>")));
    EXPECT_TRUE(r.body.contains(QStringLiteral(">見出し三</h5>")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("<div class=\"di\\d\\d\">強調の段落</div>"))
                    .match(r.body)
                    .hasMatch());
    // Ideographic spaces stay; a genuine U+2177 is not turned into one.
    EXPECT_TRUE(
        r.body.contains(QString(QChar(0x3000)) + QStringLiteral("全角空白の後&#x2177;記号")));
    EXPECT_FALSE(r.body.contains(QChar(0x2177)));
    // Links: a tag link to the page's file, a term link as a titled span, a web address
    // as it was.
    EXPECT_TRUE(r.body.contains(QStringLiteral("<a href=\"1012.htm\">")));
    EXPECT_TRUE(r.body.contains(QStringLiteral("<span title=\"ＨＴＭＬ : 文書を記す言語\">")));
    EXPECT_FALSE(r.body.contains(QStringLiteral("#TP_")));
    EXPECT_TRUE(r.body.contains(QStringLiteral("href=\"https://example.com/?a=1&amp;b=2\"")));
    EXPECT_TRUE(r.body.contains(QStringLiteral("<br>改行の後")));
    // The background box: the block keeps its place, a span carries the colour.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("<span class=\"(sp\\d\\d)\">"
                                                  "(<span class=\"sp\\d\\d\">)?背景付きの囲み"))
                    .match(r.body)
                    .hasMatch());
    EXPECT_TRUE(r.head.contains(QStringLiteral("{background-color:#ffeecc;}")));
    // The embedded frame and script became real markup.
    EXPECT_TRUE(r.body.contains(QStringLiteral(
        "<iframe src='https://maps.example.com/?q=1&amp;z=2' class=\"if01\">お使いのブラウザは")));
    EXPECT_TRUE(r.head.contains(QStringLiteral(".if01 {width:330pt;height:255pt;}")));
    EXPECT_TRUE(r.body.contains(QStringLiteral(
        "<br><small><a "
        "href='https://maps.example.com/?q=1&amp;z=2'>maps.example.com</a></small>")));
    EXPECT_TRUE(r.body.contains(QStringLiteral("<script src=\"count.js\"></script>")));
    EXPECT_FALSE(r.body.contains(QStringLiteral("[Iframe:")));
    // A list, two tables with their colgroups, the merged cell kept.
    EXPECT_TRUE(r.body.contains(QStringLiteral("<ul><li>項目一</li><li>項目二</li></ul>")));
    EXPECT_EQ(count(r.body, QStringLiteral("<colgroup>")), 2);
    EXPECT_EQ(count(r.body, QStringLiteral("<col width='33%'>")), 6);
    EXPECT_TRUE(
        r.body.contains(QStringLiteral("<td colspan=\"2\"><span class=\"sp01\">0,1</span></td>")));
    // The picture, named after the page in the site's picture folder.
    EXPECT_TRUE(r.body.contains(QStringLiteral("<img src=\"Images/007_001.jpg\" alt=\"\">")));
    EXPECT_EQ(pictures::sniff(fileBytes(site.pubFolder + QStringLiteral("Images/007_001.jpg"))),
              pictures::Kind::Jpeg);
    // Nothing of the component's own markup is left.
    EXPECT_FALSE(r.body.contains(QStringLiteral("-qt-")));
    EXPECT_FALSE(r.body.contains(QStringLiteral("<p")));
    EXPECT_FALSE(r.body.contains(QStringLiteral("style=")));
    EXPECT_TRUE(r.body.startsWith(QStringLiteral("<body>")));
    EXPECT_TRUE(r.body.endsWith(QStringLiteral("</body>\r\n</html>")));
}

TEST_F(SiteConversionTest, StyleBlockWritesSizesAsPercentagesOfTheBody) {
    builder.paragraph(kHeading1, QStringLiteral("題"));
    builder.paragraph(kBody, QStringLiteral("十一ポイントの文"));
    QTextCharFormat eleven;
    eleven.setFontPointSize(11);
    builder.cursor().select(QTextCursor::BlockUnderCursor);
    builder.cursor().mergeCharFormat(eleven);
    builder.cursor().clearSelection();
    // A heading made of two runs: neither run grows beyond the heading's size.
    builder.paragraph(kHeading1, QStringLiteral("前半"));
    QTextCharFormat bold;
    bold.setFontItalic(true);
    builder.cursor().insertText(QStringLiteral("後半"), [&] {
        QTextCharFormat f = builder.cursor().charFormat();
        f.merge(bold);
        return f;
    }());
    const web::ConversionResult r = convertInPub();
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(r.head.contains(
        QStringLiteral("    body {line-height:120%;font-size:small;margin: 0px; }\r\n")));
    // Heading rules leave out what equals the body (family) and give sizes in percent.
    EXPECT_TRUE(r.head.contains(
        QStringLiteral("    h1 {margin: 7px 0px 6px 8px;font-size:140%;color:#855A50;}\r\n")));
    EXPECT_TRUE(r.head.contains(
        QStringLiteral("    h5 {margin: 3px 0px 2px 8px;font-size:110%;color:#3A3F56;}\r\n")));
    EXPECT_TRUE(r.head.contains(QStringLiteral("font-size:110%;")));  // the 11 pt paragraph
    EXPECT_FALSE(r.head.contains(QStringLiteral("pt;font-size")));
    EXPECT_FALSE(
        QRegularExpression(QStringLiteral("font-size:\\d+(\\.\\d+)?pt")).match(r.head).hasMatch());
    // Runs inside the two-run heading are sized relative to the heading itself.
    EXPECT_FALSE(r.head.contains(QStringLiteral("font-size:196%")));
    EXPECT_TRUE(r.body.contains(QStringLiteral("<h1")));
    EXPECT_EQ(count(r.body, QStringLiteral("<h1")), 2);
    EXPECT_FALSE(r.head.contains(QStringLiteral("line-height:16.8pt")))
        << "the factor's line height is the body rule's";

    site.formats[kBody].FontSize = 12;
    EXPECT_TRUE(convertInPub().head.contains(QStringLiteral("font-size:medium;")));
    site.formats[kBody].FontSize = 14;
    EXPECT_TRUE(convertInPub().head.contains(QStringLiteral("font-size:large;")));
}

TEST_F(SiteConversionTest, SavedPageStyleBlockKeepsPointsAndTheFullBodyRule) {
    builder.paragraph(kHeading1, QStringLiteral("題"));
    web::PageOptions page;
    page.targetPath = dir.filePath(QStringLiteral("saved.htm"));
    QString error;
    ASSERT_TRUE(
        web::HtmlConverter(site).savePage(*builder.page().body(), page, web::SaveKind::Site, error))
        << error.toStdString();
    const QString text = readUtf8(page.targetPath);
    EXPECT_TRUE(text.contains(QStringLiteral(
        "    body {padding-left: 10px;line-height:120%;font-family:\"ＭＳ Ｐゴシック\";"
        "font-size:small;color:#000000;margin: 0px; background-color: #FFFFFF;}\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral(
        "    h1 {margin: 7px 0px 6px 8px;font-family:\"ＭＳ Ｐゴシック\";font-size:14pt;"
        "color:#855A50;}\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral(
        "    a {font-family:\"ＭＳ Ｐゴシック\";font-size:10pt;color:#8080FF;}\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("    tr {text-align:left;vertical-align:top;}\r\n")));
}

TEST_F(SiteConversionTest, TagLinksPointToPageFilesFromWhereThePageLies) {
    builder.paragraph(kBody, QString())
        .field(QStringLiteral("一"), tagData(1012))
        .field(QStringLiteral("二"), QStringLiteral("TG_3_12"))
        .field(QStringLiteral("三"), tagData(1020))
        .field(QStringLiteral("四"),
               QStringLiteral("file://") + site.pubFolder + QStringLiteral("資料 1.pdf"));
    site.customNames.insert(1020, QStringLiteral("../top.htm"));

    const web::ConversionResult inPub = convertInPub();
    EXPECT_TRUE(inPub.body.contains(QStringLiteral("href=\"1012.htm\"")));
    EXPECT_TRUE(inPub.body.contains(QStringLiteral("href=\"003_012.htm\"")));
    EXPECT_TRUE(inPub.body.contains(QStringLiteral("href=\"../top.htm\"")));
    EXPECT_TRUE(inPub.body.contains(QStringLiteral("href=\"資料%201.pdf\"")));

    const web::ConversionResult inRoot = convert(site.siteRoot + QStringLiteral("top.htm"));
    EXPECT_TRUE(inRoot.body.contains(QStringLiteral("href=\"pub/1012.htm\"")));
    EXPECT_TRUE(inRoot.body.contains(QStringLiteral("href=\"pub/003_012.htm\"")));
    EXPECT_TRUE(inRoot.body.contains(QStringLiteral("href=\"top.htm\"")));
    EXPECT_TRUE(inRoot.body.contains(QStringLiteral("href=\"pub/資料%201.pdf\"")));
}

TEST_F(SiteConversionTest, PicturesAreNamedAfterThePageInTheChosenFolder) {
    builder.paragraph(kBody, QStringLiteral("図")).picture(pngPicture(Qt::red));
    builder.paragraph(kBody, QString()).picture(pngPicture(Qt::blue));

    // One picture folder for the site (mode 1) under its own name.
    site.pictureFolderName = QStringLiteral("画像 フォルダ");
    web::ConversionResult r = convertInPub(QStringLiteral("0042.htm"));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(r.body.contains(QStringLiteral("src=\"画像%20フォルダ/0042_001.jpg\"")));
    EXPECT_TRUE(r.body.contains(QStringLiteral("src=\"画像%20フォルダ/0042_002.jpg\"")));
    EXPECT_TRUE(QFile::exists(site.pubFolder + QStringLiteral("画像 フォルダ/0042_002.jpg")));

    // A folder per page (mode 0), emptied first; a link placement names its pictures
    // after the page part of parent_page.
    site.pictureFolderMode = 0;
    const QString own = site.pubFolder + QStringLiteral("003_012_files/");
    QDir().mkpath(own);
    QFile stale(own + QStringLiteral("old.jpg"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    r = convert(site.pubFolder + QStringLiteral("003_012.htm"), true);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.body.contains(QStringLiteral("src=\"003_012_files/012_001.jpg\"")));
    EXPECT_FALSE(QFile::exists(own + QStringLiteral("old.jpg")));
    EXPECT_TRUE(QFile::exists(own + QStringLiteral("012_002.jpg")));

    // PNG pictures when the page asks for them; an existing file is replaced.
    site.pictureFolderMode = 1;
    site.pictureFolderName = QStringLiteral("Images");
    options.pngPictures = true;
    QDir().mkpath(site.pubFolder + QStringLiteral("Images"));
    QFile old(site.pubFolder + QStringLiteral("Images/007_001.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    r = convertInPub();
    EXPECT_TRUE(r.body.contains(QStringLiteral("src=\"Images/007_001.png\"")));
    const QByteArray bytes = fileBytes(site.pubFolder + QStringLiteral("Images/007_001.png"));
    EXPECT_EQ(pictures::sniff(bytes), pictures::Kind::Png);
    EXPECT_EQ(QImage::fromData(bytes).pixelColor(3, 3), QColor(Qt::red));

    // Without pictures the references are still rewritten, and nothing is written.
    options.noPictures = true;
    r = convertInPub(QStringLiteral("008.htm"));
    EXPECT_TRUE(r.body.contains(QStringLiteral("src=\"Images/008_001.png\"")));
    EXPECT_FALSE(QFile::exists(site.pubFolder + QStringLiteral("Images/008_001.png")));
}

TEST_F(SiteConversionTest, TablesGetWidthsInPointsAndShares) {
    builder.table(2, 3, false);
    QTextTable* table = builder.cursor().document()->rootFrame()->childFrames().isEmpty()
                            ? nullptr
                            : qobject_cast<QTextTable*>(
                                  builder.cursor().document()->rootFrame()->childFrames().first());
    ASSERT_NE(table, nullptr);
    QTextTableFormat f = table->format();
    f.setWidth(QTextLength(QTextLength::FixedLength, 400));
    f.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 100),
                                 QTextLength(QTextLength::FixedLength, 100),
                                 QTextLength(QTextLength::FixedLength, 200)});
    table->setFormat(f);
    web::ConversionResult r = convertInPub();
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.head.contains(QStringLiteral("width:300pt;")));
    EXPECT_TRUE(r.body.contains(QStringLiteral(
        "<colgroup>\r\n      <col width='25%'>\r\n      <col width='25%'>\r\n      <col "
        "width='50%'>\r\n    </colgroup>")));
    EXPECT_FALSE(r.body.contains(QStringLiteral("width=\"100\"")));

    options.fullWidthTables = true;
    r = convertInPub();
    EXPECT_TRUE(r.head.contains(QStringLiteral("width:100%;")));
    EXPECT_FALSE(r.head.contains(QStringLiteral("width:300pt;")));
}

TEST_F(SiteConversionTest, JoinedTableOfTheSameWidthLosesTheTopBorderOfItsFirstRow) {
    builder.table(2, 3).joinedTable(2, 3);
    const web::ConversionResult r = convertInPub();
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.head.contains(QStringLiteral("border-top:0px;"))) << r.head.toStdString();
    EXPECT_FALSE(r.head.contains(QStringLiteral("border-top:2px;")));
}

TEST_F(SiteConversionTest, BlocksInsideCellsBecomeLineBreaksAndKeepTheirFormatting) {
    builder.table(1, 1, false);
    QTextTable* table =
        qobject_cast<QTextTable*>(builder.page().body()->rootFrame()->childFrames().first());
    QTextCursor c = table->cellAt(0, 0).lastCursorPosition();
    c.insertBlock();
    QTextCharFormat red;
    red.setForeground(QColor(0xCC, 0, 0));
    c.insertText(QStringLiteral("赤い行"), red);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    table->cellAt(0, 0).firstCursorPosition().mergeBlockFormat(centre);
    const web::ConversionResult r = convertInPub();
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(
        QRegularExpression(
            QStringLiteral("<td class=\"td\\d\\d\">(<span class=\"sp\\d\\d\">)?0,0(</span>)?<br>"
                           "<span class=\"sp\\d\\d\">赤い行</span></td>"))
            .match(r.body)
            .hasMatch())
        << r.body.toStdString();
    EXPECT_TRUE(r.head.contains(QStringLiteral("{text-align:center;}")));
    EXPECT_TRUE(r.head.contains(QStringLiteral("color:#cc0000;")));
}

TEST_F(SiteConversionTest, BlankRunsCollapseButIdeographicSpacesStay) {
    builder.paragraph(kBody, QStringLiteral("　字下げ  二つの空白　　終わり　"));
    const web::ConversionResult r = convertInPub();
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.body.contains(QStringLiteral(">　字下げ 二つの空白　　終わり　</div>")))
        << r.body.toStdString();
}

TEST_F(SiteConversionTest, ExportWithoutBodyOrWithoutTextFails) {
    const web::HtmlConverter converter(site);
    web::PageOptions page;
    page.targetPath = site.pubFolder + QStringLiteral("009.htm");
    web::ConversionResult r = converter.convertMarkup(
        QStringLiteral("<html><head></head><p>本文</p></html>"), {}, page, web::Operation::Site, 0);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.body.isEmpty());
    EXPECT_TRUE(r.error.contains(QStringLiteral("<body")));
    r = converter.convertMarkup(QStringLiteral("  "), {}, page, web::Operation::Site, 0);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
    // Damaged page bytes are refused with the byte format's reason.
    r = web::convertPageBytes(QByteArray("not a page"), page, site);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
}

TEST_F(SiteConversionTest, PageBytesConvertLikeThePage) {
    fillRepresentativePage(builder);
    options.title = QStringLiteral("題");
    const web::ConversionResult direct = convertInPub();
    web::PageOptions page = options;
    page.targetPath = site.pubFolder + QStringLiteral("007.htm");
    const web::ConversionResult fromBytes =
        web::convertPageBytes(builder.page().saveBytes(), page, site);
    ASSERT_TRUE(fromBytes.ok) << fromBytes.error.toStdString();
    EXPECT_EQ(fromBytes.head, direct.head);
    EXPECT_EQ(fromBytes.body, direct.body);
}

}  // namespace
