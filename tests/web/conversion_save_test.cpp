// Saved pages (cSaveHtm) in every kind: the document type, empty elements in the HTML
// or XML form, XHTML an XML parser accepts, e-book pages with their pictures in
// "Images" and links inside or outside the book, and the inner body of cGetHtm.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "editor/link_fields.h"
#include "editor/pictures.h"
#include "web/html_converter.h"
#include "web_test_pages.h"

using namespace arbor;
using namespace arbor::test;

namespace {

class SavedPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        site = siteSettings(dir.path());
        fillRepresentativePage(builder);
        options.title = QStringLiteral("保存した \"ページ\" & <題>");
    }
    // Saves the page and returns its text.
    QString save(const QString& name, web::SaveKind kind) {
        web::PageOptions page = options;
        page.targetPath = dir.filePath(name);
        QString error;
        EXPECT_TRUE(web::HtmlConverter(site).savePage(*builder.page().body(), page, kind, error))
            << error.toStdString();
        return readUtf8(page.targetPath);
    }
    QTemporaryDir dir;
    web::HtmlSiteSettings site;
    web::PageOptions options;
    PageBuilder builder;
};

struct KindCase {
    int siteKind;
    web::SaveKind save;
    const char* firstLine;
    bool xml;
};

TEST_F(SavedPageTest, EveryKindWritesItsDocumentTypeAndEmptyElements) {
    const KindCase cases[] = {
        {0, web::SaveKind::Site,
         "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
         "\"http://www.w3.org/TR/html4/loose.dtd\">",
         false},
        {1, web::SaveKind::Site,
         "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
         "\"http://www.w3.org/TR/html4/strict.dtd\">",
         false},
        {2, web::SaveKind::Site,
         "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
         "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">",
         true},
        {3, web::SaveKind::Site,
         "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
         "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">",
         true},
        {0, web::SaveKind::NoDoctype, "<html>", true},
        {0, web::SaveKind::Ebook, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", true},
    };
    int n = 0;
    for (const KindCase& c : cases) {
        site.htmlKind = c.siteKind;
        const QString name = QStringLiteral("kind%1.htm").arg(n++);
        const QString text = save(name, c.save);
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(text.section(QStringLiteral("\r\n"), 0, 0), QString::fromUtf8(c.firstLine));
        EXPECT_EQ(text.count(QStringLiteral("<!DOCTYPE")),
                  c.save == web::SaveKind::NoDoctype ? 0 : 1);
        if (c.xml) {
            EXPECT_TRUE(text.contains(QStringLiteral("<br />")));
            EXPECT_FALSE(text.contains(QStringLiteral("<br>")));
            EXPECT_FALSE(QRegularExpression(QStringLiteral("<(img|meta|col) [^>]*[^/]>"))
                             .match(text)
                             .hasMatch());
            bool ran = false;
            QString messages;
            EXPECT_TRUE(wellFormed(dir.filePath(name), ran, messages)) << messages.toStdString();
            if (!ran)
                GTEST_SKIP() << "xmllint is not installed: well-formedness not checked";
        } else {
            EXPECT_TRUE(text.contains(QStringLiteral("<br>")));
            EXPECT_FALSE(text.contains(QStringLiteral("/>")));
        }
    }
}

TEST_F(SavedPageTest, SavedHeadHasNoMetaLinesAndEscapesTheTitle) {
    options.description = QStringLiteral("説明");
    options.robotsOff = true;
    site.faviconPresent = true;
    const QString text = save(QStringLiteral("head.htm"), web::SaveKind::Site);
    EXPECT_FALSE(text.contains(QStringLiteral("<meta name=")));
    EXPECT_FALSE(text.contains(QStringLiteral("favicon")));
    EXPECT_TRUE(text.contains(
        QStringLiteral("<title>保存した  ページ  &amp; &lt;題&gt;</title>\r\n</head>")));
    EXPECT_TRUE(text.contains(QStringLiteral(
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\r\n<style")));
}

TEST_F(SavedPageTest, SavedPagePicturesGoBesideItUnderTheExportNames) {
    const QString text = save(QStringLiteral("第 1 頁.htm"), web::SaveKind::Site);
    EXPECT_TRUE(text.contains(QStringLiteral("<img src=\"第%201%20頁_Images/001.jpg\" alt=\"\">")));
    EXPECT_EQ(pictures::sniff(fileBytes(dir.filePath(QStringLiteral("第 1 頁_Images/001.jpg")))),
              pictures::Kind::Jpeg);
}

TEST_F(SavedPageTest, EbookPageMatchesItsGoldenOutput) {
    site.termTexts.insert(QStringLiteral("ＨＴＭＬ"), QStringLiteral("文書を記す言語"));
    options.title = QStringLiteral("電子書籍のページ");
    const QString text = save(QStringLiteral("008.xhtml"), web::SaveKind::Ebook);
    const QString golden = compareGolden(QStringLiteral("ebook_page.xhtml"), text);
    EXPECT_TRUE(golden.isEmpty()) << golden.toStdString();
    // The XHTML 1.1 start, the wider body margin, pictures boxed and in "Images".
    EXPECT_TRUE(text.contains(QStringLiteral(
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"ja\" lang=\"ja\">\r\n<head>")));
    EXPECT_TRUE(text.contains(QStringLiteral("margin: 20px; ")));
    EXPECT_TRUE(text.contains(
        QStringLiteral("<div class=\"dipc\"><img src=\"Images/008_001.jpg\" alt=\"\" /></div>")));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Images/008_001.jpg"))));
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("008_Images"))).exists());
    // The map frame is a link, the script and the frame itself are gone.
    EXPECT_TRUE(text.contains(QStringLiteral(">MAP</a></small>")));
    EXPECT_FALSE(text.contains(QStringLiteral("<iframe")));
    EXPECT_FALSE(text.contains(QStringLiteral("<script")));
    EXPECT_TRUE(text.contains(QStringLiteral("href=\"1012.xhtml\"")));
    bool ran = false;
    QString messages;
    EXPECT_TRUE(wellFormed(dir.filePath(QStringLiteral("008.xhtml")), ran, messages))
        << messages.toStdString();
}

TEST_F(SavedPageTest, EbookLinksLeaveTheBookForTheWebSiteUnderAHomeAddress) {
    PageBuilder links;
    links.paragraph(kBody, QString())
        .field(QStringLiteral("中"), tagData(1012))
        .field(QStringLiteral("外"), tagData(1013))
        .field(QStringLiteral("根"), tagData(1014))
        .field(QStringLiteral("繋"), QStringLiteral("TG_3_15"));
    site.bookPages = QStringLiteral(".1001.1012.");
    site.homeMode = 2;
    site.homeAddress = QStringLiteral("https://example.org/site/");
    site.customNames.insert(1014, QStringLiteral("../top.html"));
    site.customNames.insert(1012, QStringLiteral("own.htm"));
    web::PageOptions page;
    page.targetPath = dir.filePath(QStringLiteral("1001.xhtml"));
    QString error;
    ASSERT_TRUE(
        web::HtmlConverter(site).savePage(*links.page().body(), page, web::SaveKind::Ebook, error));
    QString text = readUtf8(page.targetPath);
    EXPECT_TRUE(text.contains(QStringLiteral("href=\"1012.xhtml\"")));  // own names not in books
    EXPECT_TRUE(text.contains(QStringLiteral("href=\"https://example.org/site/pub/1013.htm\"")));
    EXPECT_TRUE(text.contains(QStringLiteral("href=\"https://example.org/site/top.html\"")));
    EXPECT_TRUE(text.contains(QStringLiteral("href=\"https://example.org/site/pub/003_015.htm\"")));

    // Without a home address every page is linked as a page of the book.
    site.homeMode = 0;
    ASSERT_TRUE(
        web::HtmlConverter(site).savePage(*links.page().body(), page, web::SaveKind::Ebook, error));
    text = readUtf8(page.targetPath);
    EXPECT_TRUE(text.contains(QStringLiteral("href=\"1013.xhtml\"")));
    EXPECT_TRUE(text.contains(QStringLiteral("href=\"003_015.xhtml\"")));
}

TEST_F(SavedPageTest, EbookWithoutItalicsDropsThemAndEmptySpansGo) {
    PageBuilder page;
    page.paragraph(kBody, QStringLiteral("前"));
    QTextCharFormat italic = page.cursor().charFormat();
    italic.setFontItalic(true);
    page.cursor().insertText(QStringLiteral("斜体"), italic);
    options.noItalicsInEbook = true;
    web::PageOptions o = options;
    o.targetPath = dir.filePath(QStringLiteral("i.xhtml"));
    QString error;
    ASSERT_TRUE(
        web::HtmlConverter(site).savePage(*page.page().body(), o, web::SaveKind::Ebook, error));
    const QString text = readUtf8(o.targetPath);
    EXPECT_FALSE(text.contains(QStringLiteral("italic")));
    EXPECT_TRUE(text.contains(QStringLiteral("斜体")));

    // The same page for the site keeps its italics.
    o.targetPath = dir.filePath(QStringLiteral("i.htm"));
    ASSERT_TRUE(
        web::HtmlConverter(site).savePage(*page.page().body(), o, web::SaveKind::Site, error));
    EXPECT_TRUE(readUtf8(o.targetPath).contains(QStringLiteral("font-style:italic;")));
}

TEST_F(SavedPageTest, InnerBodyIsTheMarkupBetweenTheBodyTags) {
    web::PageOptions page = options;
    page.targetPath = dir.filePath(QStringLiteral("inner.htm"));
    QString body, styles, error;
    ASSERT_TRUE(
        web::HtmlConverter(site).innerBody(*builder.page().body(), page, body, styles, error))
        << error.toStdString();
    EXPECT_FALSE(body.contains(QStringLiteral("<body")));
    EXPECT_FALSE(body.contains(QStringLiteral("</body>")));
    EXPECT_TRUE(body.contains(QStringLiteral("<h1 class=\"h101\">見出し一の題</h1>")));
    EXPECT_TRUE(styles.startsWith(QStringLiteral("<style type='text/css'>")));
    EXPECT_TRUE(styles.contains(QStringLiteral(".h101 {")));
    EXPECT_TRUE(body.contains(QStringLiteral("<img src=\"inner_Images/001.jpg\" alt=\"\">")));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("inner_Images/001.jpg"))));
}

TEST_F(SavedPageTest, FailedSaveLeavesTheOldFile) {
    const QString path = dir.filePath(QStringLiteral("old.htm"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old page");
    old.close();
    // A file where the picture folder must go makes the conversion fail.
    QFile blocker(dir.filePath(QStringLiteral("old_Images")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    web::PageOptions page = options;
    page.targetPath = path;
    QString error;
    EXPECT_FALSE(web::HtmlConverter(site).savePage(*builder.page().body(), page,
                                                   web::SaveKind::Site, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(fileBytes(path), QByteArray("old page"));
}

}  // namespace
