// The template editor: the style sheet and template it generates (against expected text),
// its colour presets, the pair written into the site folder and read back, the preview
// through the site build, and bad input that must leave the site as it was.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>

#include "app/program_state.h"
#include "web/site_fixture.h"
#include "web/site_folders.h"
#include "web/style_sheet_editor.h"
#include "web/style_sheet_editor_files.h"
#include "web/style_sheet_editor_gif.h"
#include "web/web_test_pages.h"

using namespace arbor;
using namespace arbor::test;

namespace {

web::CssDesign sampleDesign(bool elastic, bool dropDown) {
    web::CssDesign d = web::defaultDesign();
    d.elastic = elastic;
    d.dropDown = dropDown;
    d.id = elastic ? QString() : QStringLiteral("shop");
    d.totalWidth = 900;
    d.leftWidth = 200;
    d.headerHeight = 70;
    d.topItemWidth = 90;
    d.title = QStringLiteral("title.png");
    d.titleSize = QSize(300, 60);
    return d;
}

QString readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}  // namespace

TEST(StyleSheetEditor, GeneratedFilesMatchTheExpectedText) {
    const web::CssDesign fixed = sampleDesign(false, true);
    EXPECT_EQ(web::styleSheetName(fixed), "navi-fx_shop.css");
    EXPECT_EQ(web::templateName(fixed), "tpl-fx_shop.htm");
    EXPECT_EQ(web::backgroundName(fixed), "back-fx_shop.gif");
    EXPECT_EQ(web::styleSheetName(sampleDesign(true, false)), "navi-el.css");
    EXPECT_EQ(web::templateName(fixed, true), "tpl_wrk.htm");
    EXPECT_EQ(web::styleSheetName(fixed, true), "navi_wrk.css");

    const QString extra = QStringLiteral("/* 追加指定 */\r\n@media (max-width: 600px) {}\r\n");
    QString diff = compareGolden(QStringLiteral("navi-fx_shop.css"),
                                 web::generateStyleSheet(fixed, "back-fx_shop.gif", extra));
    EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
    diff = compareGolden(QStringLiteral("navi-el.css"),
                         web::generateStyleSheet(sampleDesign(true, false), "back-el.gif", {}));
    EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
    diff = compareGolden(QStringLiteral("tpl-fx_shop.htm"),
                         web::generateTemplate(fixed, "../cmn/navi-fx_shop.css", true));
    EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();

    // Both layouts write the frame's start tags on one line each, as the build finds them.
    for (bool elastic : {false, true}) {
        const QString t = web::generateTemplate(sampleDesign(elastic, false), "x.css", false);
        EXPECT_TRUE(t.contains("<div id=\"vBase\">\r\n<div id=\"vBack\">\r\n"));
        EXPECT_TRUE(t.contains("<!-- uTop -->") && !t.contains("DropDown"));
        EXPECT_FALSE(t.contains("menu.js"));
    }
    // Without pictures no img carries a size.
    web::CssDesign bare = fixed;
    bare.logoSize = QSize();
    bare.title.clear();
    const QString t = web::generateTemplate(bare, "x.css", false);
    EXPECT_TRUE(t.contains("<img id=\"iLogo\" alt=\"TopPage\" src=\"../cmn/logo.png\"  >"));
    EXPECT_FALSE(t.contains("width="));
    EXPECT_FALSE(t.contains("iTitle"));
}

TEST(StyleSheetEditor, WidthsColoursAndAdditions) {
    web::CssDesign d = sampleDesign(false, true);
    d.topItemWidth = 120;
    web::normaliseDesign(d);
    EXPECT_EQ(d.topItemWidth, 100);

    EXPECT_EQ(web::cssHex(QColor(0xFF, 0x33, 0x66)), "FF3366");
    EXPECT_EQ(web::cssHex(QColor(0x0a, 0x0b, 0x0c)), "0A0B0C");
    int w = 0;
    EXPECT_TRUE(web::parseWidthField(" 960px ", 100, 4000, w));
    EXPECT_EQ(w, 960);
    for (const char* bad : {"96O", "abc", "", "-5", "5000", "1e3", "12.5"})
        EXPECT_FALSE(web::parseWidthField(bad, 100, 4000, w)) << bad;
    EXPECT_EQ(w, 960) << "a refused field leaves the value";
    EXPECT_EQ(web::parseColourField("#ff3366"), QColor(0xFF, 0x33, 0x66));
    EXPECT_EQ(web::parseColourField("F36"), QColor(0xFF, 0x33, 0x66));
    for (const char* bad : {"GG0000", "#12345", "red", "", "#1234567"})
        EXPECT_FALSE(web::parseColourField(bad).isValid()) << bad;

    // Problems of a design: a bad ID, widths, a logo wider than its column.
    EXPECT_TRUE(web::designProblem(d).isEmpty()) << web::designProblem(d).toStdString();
    web::CssDesign bad = d;
    bad.id = QStringLiteral("a b");
    EXPECT_FALSE(web::designProblem(bad).isEmpty());
    bad = d;
    bad.id = QStringLiteral("../x");
    EXPECT_FALSE(web::designProblem(bad).isEmpty());
    bad = d;
    bad.totalWidth = 250;
    EXPECT_FALSE(web::designProblem(bad).isEmpty());
    bad = d;
    bad.logoSize = QSize(196, 40);
    EXPECT_EQ(web::designProblem(bad),
              "ﾛｺﾞの画像のｻｲｽﾞは全体巾(200)より 5px 以上少なめにして下さい");
    bad.logoSize = QSize(195, 40);
    EXPECT_TRUE(web::designProblem(bad).isEmpty());
    bad = d;
    bad.titleSize = QSize(300, 71);
    EXPECT_TRUE(web::designProblem(bad).startsWith("ﾀｲﾄﾙの画像の高さは全体高(70)"));

    const QString sheet = QStringLiteral("a{}\r\n/* 追加指定 */\r\nb{}\r\n");
    EXPECT_EQ(web::additionsOf(sheet), "/* 追加指定 */\r\nb{}\r\n");
    EXPECT_EQ(web::additionsOf("a{}"), "");
}

TEST(StyleSheetEditor, PresetsStepThroughTheirGroupsAndColourTheAreas) {
    EXPECT_EQ(web::presetNames(), (QStringList{"Red", "Blue", "Green", "Yellow", "Orange", "Pink",
                                               "Black", "Brown", "Purple"}));
    EXPECT_EQ(web::shortColour("F36"), QColor(0xFF, 0x33, 0x66));
    EXPECT_FALSE(web::shortColour("F3").isValid());
    EXPECT_FALSE(web::shortColour("G36").isValid());
    const int counts[] = {8, 8, 8, 4, 4, 4, 4, 4, 4};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(web::presetGroups(web::presetNames()[i]).size(), counts[i]);
    const auto red = web::presetGroups("Red");
    EXPECT_EQ(red[0][0], QColor(0xFF, 0x33, 0x33));
    EXPECT_EQ(red[0][1], QColor(0xFF, 0xFF, 0x66));
    EXPECT_EQ(red[7][2], QColor(0x99, 0x33, 0x33));
    EXPECT_TRUE(web::presetGroups("Teal").isEmpty());

    EXPECT_EQ(web::stepGroup(0, -1, 8), 7);
    EXPECT_EQ(web::stepGroup(7, 1, 8), 0);
    EXPECT_EQ(web::stepGroup(2, 1, 4), 3);

    web::CssDesign d = web::defaultDesign();
    const QColor main = d.mainBack;
    web::applyPresetGroup(d, web::presetGroups("Black")[0]);
    EXPECT_EQ(d.titleBack, QColor(0x33, 0x33, 0x33));
    EXPECT_EQ(d.logoBack, QColor(0xCC, 0x33, 0x33));
    EXPECT_EQ(d.topBack, QColor(0xFF, 0xFF, 0x66));
    EXPECT_EQ(d.mainBack, main) << "the main column keeps its colour";
    // The menu texts stay readable on their new backgrounds.
    EXPECT_EQ(d.top.text, QColor(0x1A, 0x1A, 0x1A)) << "dark text on the light bar";
    EXPECT_EQ(d.left.text, QColor(Qt::white)) << "light text on the dark column";

    const QString summary = web::colourSummary(d);
    EXPECT_TRUE(summary.contains("ﾀｲﾄﾙ部  (51, 51, 51) web:#333333"));
    EXPECT_TRUE(summary.contains("上ﾒﾆｭｰ部 (255, 255, 102) web:#FFFF66"));
}

TEST(StyleSheetEditor, TheBackgroundPictureIsAGifOfTheTwoColumns) {
    const QByteArray gif = web::twoColumnGif(9, 4, QColor(0x12, 0x34, 0x56), Qt::white);
    QImage image;
    ASSERT_TRUE(image.loadFromData(gif, "GIF"));
    EXPECT_EQ(image.size(), QSize(9, 1));
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(image.pixelColor(x, 0), x < 4 ? QColor(0x12, 0x34, 0x56) : QColor(Qt::white))
            << x;
    ASSERT_TRUE(image.loadFromData(web::twoColumnGif(2400, 220, Qt::red, Qt::blue), "GIF"));
    EXPECT_EQ(image.pixelColor(219, 0), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(220, 0), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(2399, 0), QColor(Qt::blue));
}

namespace {
class StyleSheetFilesTest : public SiteTest {};
}  // namespace

TEST_P(StyleSheetFilesTest, ThePairIsWrittenKeptAndReadBack) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    web::PrepareSiteFolders();
    web::CssDesign d = sampleDesign(false, true);
    d.topItemWidth = 120;
    d.logoSize = QSize(48, 48);
    QString message;
    ASSERT_TRUE(web::writeDesign(d, message)) << message.toStdString();
    const web::DesignPaths paths = web::designPaths(d);
    EXPECT_EQ(message, paths.templ + " と対応するｽﾀｲﾙｼｰﾄ\n" + paths.styleSheet + " を作成しました");
    const QString css = readFile(paths.styleSheet);
    EXPECT_TRUE(css.contains("@width:100px;") || css.contains("    width:100px;"));
    EXPECT_FALSE(css.contains("width:120px"));
    EXPECT_TRUE(css.contains("url('back-fx_shop.gif')"));
    QImage back(paths.background);
    EXPECT_EQ(back.size(), QSize(900, 1));
    // The template links the sheet under the name it was written with.
    EXPECT_TRUE(readFile(paths.templ).contains("href=\"../cmn/navi-fx_shop.css\""));

    // The user's additions survive a regeneration.
    QFile f(paths.styleSheet);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("/* 追加指定 */\r\n#mine { color: red; }\r\n");
    f.close();
    const QString edited = readFile(paths.styleSheet);
    d.pan.text = QColor(0x11, 0x22, 0x33);
    ASSERT_TRUE(web::writeDesign(d, message));
    const QString again = readFile(paths.styleSheet);
    EXPECT_TRUE(again.endsWith("/* 追加指定 */\r\n#mine { color: red; }\r\n"));
    EXPECT_EQ(web::additionsOf(again), web::additionsOf(edited));
    EXPECT_NE(again, edited);
    EXPECT_TRUE(again.contains("div#dPan a {\r\n    color:#112233;"));

    // Read back: what the dialog shows is what was written.
    web::CssDesign back2;
    ASSERT_TRUE(web::readDesign(paths.templ, back2, message)) << message.toStdString();
    web::normaliseDesign(d);
    EXPECT_EQ(back2.id, "shop");
    EXPECT_FALSE(back2.elastic);
    EXPECT_EQ(back2.totalWidth, 900);
    EXPECT_EQ(back2.leftWidth, 200);
    EXPECT_EQ(back2.headerHeight, 70);
    EXPECT_EQ(back2.topItemWidth, 100);
    EXPECT_TRUE(back2.dropDown);
    EXPECT_EQ(back2.titleBack, d.titleBack);
    EXPECT_EQ(back2.logoBack, d.logoBack);
    EXPECT_EQ(back2.mainBack, d.mainBack);
    EXPECT_EQ(back2.topHover, d.topHover);
    EXPECT_EQ(back2.dropHover, d.dropHover);
    EXPECT_EQ(back2.leftNow.text, d.leftNow.text);
    EXPECT_EQ(back2.pan.text, QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(back2.logo, "logo.png");
    EXPECT_EQ(back2.logoSize, QSize(48, 48));
    EXPECT_EQ(back2.title, "title.png");

    // A template outside the site's template folder is refused.
    QFile::copy(paths.templ, user.filePath("tpl-fx.htm"));
    EXPECT_FALSE(web::readDesign(user.filePath("tpl-fx.htm"), back2, message));
    EXPECT_TRUE(message.startsWith("ﾃﾝﾌﾞﾚｰﾄは既定のﾌｫﾙﾀﾞ("));
}

TEST_P(StyleSheetFilesTest, BadInputLeavesTheSiteAsItWas) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    web::PrepareSiteFolders();
    web::CssDesign d = sampleDesign(true, true);
    QString message;
    ASSERT_TRUE(web::writeDesign(d, message)) << message.toStdString();
    const web::DesignPaths paths = web::designPaths(d);
    const QString css = readFile(paths.styleSheet);
    const QString templ = readFile(paths.templ);

    // A design with a problem writes nothing.
    web::CssDesign bad = d;
    bad.leftWidth = 20;
    bad.titleBack = Qt::red;
    EXPECT_FALSE(web::writeDesign(bad, message));
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(readFile(paths.styleSheet), css);

    // A template folder that cannot take the file: the sheet written first is put back.
    ASSERT_TRUE(QFile::remove(paths.templ));
    ASSERT_TRUE(QDir().mkpath(paths.templ)) << "a folder where the template should go";
    web::CssDesign red = d;
    red.titleBack = Qt::red;
    EXPECT_FALSE(web::writeDesign(red, message));
    EXPECT_TRUE(message.startsWith("ﾃﾝﾌﾟﾚｰﾄﾞﾌｧｲﾙは作成されませんでした")) << message.toStdString();
    EXPECT_EQ(readFile(paths.styleSheet), css) << "no half pair";
    QDir(paths.templ).removeRecursively();

    // A site folder that is a file: nothing written, a message.
    const QString cmn = web::siteCommonFolder();
    ASSERT_TRUE(QDir(cmn).removeRecursively());
    QFile blocker(cmn);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(web::writeDesign(d, message));
    EXPECT_TRUE(message.startsWith("ｻｲﾄのﾌｫﾙﾀﾞに書き込めません")) << message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(paths.templ));
    QFile::remove(cmn);

    // Pictures: a file that is not an image, and one that is.
    QDir().mkpath(cmn);
    QFile fake(cmn + "/fake.png");
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("not a picture");
    fake.close();
    EXPECT_TRUE(web::pictureProblem(cmn + "/fake.png").startsWith("画像として読めません"));
    EXPECT_FALSE(web::pictureProblem(cmn + "/notes.txt").isEmpty());
    QImage logo(40, 30, QImage::Format_RGB32);
    logo.fill(Qt::green);
    ASSERT_TRUE(logo.save(cmn + "/logo2.png"));
    EXPECT_TRUE(web::pictureProblem(cmn + "/logo2.png").isEmpty());
    EXPECT_EQ(web::pictureSize(cmn + "/logo2.png"), QSize(40, 30));
    EXPECT_TRUE(web::inCommonFolder(cmn + "/logo2.png"));
    ASSERT_TRUE(logo.save(user.filePath("outside.png")));
    EXPECT_FALSE(web::inCommonFolder(user.filePath("outside.png")));
    QString error;
    ASSERT_TRUE(web::copyIntoCommonFolder(user.filePath("outside.png"), error));
    EXPECT_EQ(web::commonFolderCopy(user.filePath("outside.png")), cmn + "/outside.png");
}

TEST_P(StyleSheetFilesTest, ThePreviewShowsAPageInTheWorkTemplateWithItsStyleSheet) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    ASSERT_TRUE(build(web::UpdateMode::AllPages).started);
    for (bool elastic : {false, true}) {
        web::CssDesign d = sampleDesign(elastic, true);
        d.id = QStringLiteral("new");
        QString shown, message;
        ASSERT_TRUE(web::previewDesign(conversion, d, 1002, 1001, shown, message))
            << message.toStdString();
        EXPECT_TRUE(shown.endsWith("Template/tpl_wrk.htm"));
        const QString page = readFile(shown);
        EXPECT_TRUE(page.contains("第1章の本文")) << "the page is merged into the work template";
        EXPECT_TRUE(page.contains("<li class=\"now\"><a href=\"1001.htm\">トップ</a>"));
        // The link names the work sheet that was written.
        const QRegularExpressionMatch link =
            QRegularExpression("href=\"\\.\\./cmn/(navi[^\"]*\\.css)\"").match(page);
        ASSERT_TRUE(link.hasMatch());
        EXPECT_EQ(link.captured(1), "navi_wrk.css");
        EXPECT_TRUE(QFileInfo(web::siteCommonFolder() + "/" + link.captured(1)).isFile());
        EXPECT_EQ(readFile(web::siteCommonFolder() + "/navi_wrk.css").contains("html {"), elastic);
        // The page's own navigation anchors in the frame: previous/next block inside vBack.
        EXPECT_TRUE(page.contains("<div id=\"vBack\">"));
        // The real pair of that design is not written by a preview.
        EXPECT_FALSE(QFileInfo::exists(web::designPaths(d).styleSheet));
    }
}

ARBOR_INSTANTIATE_ENGINES(StyleSheetFilesTest);
