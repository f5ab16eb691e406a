// The head of a site page (meta lines, robots, favicon, user texts that cannot break
// it) and SetDTD for every kind.
#include <gtest/gtest.h>

#include "web/html_head.h"
#include "web/yhtm_settings.h"

using namespace arbor::web;

namespace {

const QString kStyle = QStringLiteral("<style type='text/css'>\r\n</style>");

TEST(HeadTest, SitePageHeadHasItsLinesInOrder) {
    PageOptions page;
    page.title = QStringLiteral("題名");
    page.description = QStringLiteral("説明文");
    page.keywords = QStringLiteral("鍵,語");
    page.copyright = QStringLiteral("著作者");
    const QString head = buildHead(page, true, true, kStyle);
    EXPECT_EQ(
        head,
        QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
                       "\"http://www.w3.org/TR/html4/loose.dtd\">\r\n"
                       "<html>\r\n<head>\r\n"
                       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\r\n"
                       "<meta name=\"description\" content=\"説明文\">\r\n"
                       "<meta name=\"Keywords\" content=\"鍵,語\">\r\n"
                       "<meta name=\"copyright\" content=\"著作者\">\r\n"
                       "<meta name=\"robots\" content=\"index,follow\">\r\n"
                       "<link rel=\"shortcut icon\" href=\"../cmn/favicon.ico\">\r\n"
                       "<style type=\"text/css\">\r\n</style>\r\n"
                       "<title>題名</title>\r\n</head>"));
}

TEST(HeadTest, EmptyMetaTextsAreLeftOutAndRobotsCanBeOff) {
    PageOptions page;
    page.title = QStringLiteral("題");
    page.description = QStringLiteral("  ");
    page.robotsOff = true;
    const QString head = buildHead(page, true, false, kStyle);
    EXPECT_FALSE(head.contains(QStringLiteral("description")));
    EXPECT_FALSE(head.contains(QStringLiteral("Keywords")));
    EXPECT_FALSE(head.contains(QStringLiteral("favicon")));
    EXPECT_TRUE(
        head.contains(QStringLiteral("<meta name=\"robots\" content=\"noindex,nofollow\">")));
    // Saved pages have none of the meta lines.
    EXPECT_FALSE(buildHead(page, false, true, kStyle).contains(QStringLiteral("robots")));
}

TEST(HeadTest, UserTextsCannotBreakTheMarkupOrThePlaceholders) {
    PageOptions page;
    page.title = QStringLiteral("A&B <i> it's ~ \"q\"");
    page.description = QStringLiteral("x' onload='y ~ z");
    const QString head = buildHead(page, true, false, kStyle);
    EXPECT_TRUE(
        head.contains(QStringLiteral("<title>A&amp;B &lt;i&gt; it&#39;s &#126;  q </title>")));
    EXPECT_TRUE(head.contains(
        QStringLiteral("<meta name=\"description\" content=\"x&#39; onload=&#39;y &#126; z\">")));
    EXPECT_EQ(head.count(u'"') % 2, 0);
}

TEST(DoctypeTest, EachKindGetsItsDocumentType) {
    const QString page = QStringLiteral(
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
        "\"http://www.w3.org/TR/html4/loose.dtd\">\r\n<html>\r\n<head>\r\n</head><body></body>"
        "\r\n</html>");
    QString k0 = page;
    SetDTD(k0, 0);
    EXPECT_EQ(k0, page);
    QString k1 = page;
    SetDTD(k1, 1);
    EXPECT_TRUE(
        k1.startsWith(QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
                                     "\"http://www.w3.org/TR/html4/strict.dtd\">\r\n<html>")));
    QString k2 = page;
    SetDTD(k2, 2);
    EXPECT_TRUE(
        k2.startsWith(QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 "
                                     "Transitional//EN\" \"http://www.w3.org/TR/xhtml1/"
                                     "DTD/xhtml1-transitional.dtd\">\r\n<html>")));
    QString k3 = page;
    SetDTD(k3, 3);
    EXPECT_TRUE(k3.contains(QStringLiteral("XHTML 1.0 Strict//EN")));
    QString k5 = page;
    SetDTD(k5, 5);
    EXPECT_TRUE(k5.startsWith(QStringLiteral("<html>\r\n<head>")));
    QString k4 = page;
    SetDTD(k4, 4);
    EXPECT_EQ(k4,
              QStringLiteral(
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                  "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
                  "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\r\n"
                  "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"ja\" lang=\"ja\">\r\n"
                  "<head>\r\n</head><body></body>\r\n</html>"));
    // A page without a document type gets one in front.
    QString bare = QStringLiteral("<html><body></body></html>");
    SetDTD(bare, 3);
    EXPECT_TRUE(
        bare.startsWith(QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict")));
    EXPECT_TRUE(bare.endsWith(QStringLiteral("\r\n<html><body></body></html>")));
}

TEST(DoctypeTest, EmptyElementsTakeTheFormOfTheKind) {
    const QString page = QStringLiteral(
        "<meta http-equiv=\"a\" content=\"b\"><link rel=\"x\" href=\"y\" />"
        "<img src=\"a>b.png\" alt='1/2'><col width='2%'><colgroup></colgroup>"
        "<area shape=\"rect\"/><br><br /><br/><p>x</p>"
        "<!-- <img src=\"c\"> --><script>if (a<b) document.write('<br>');</script>");
    QString xml = page;
    SetDTD(xml, 2);
    EXPECT_TRUE(xml.contains(
        QStringLiteral("<meta http-equiv=\"a\" content=\"b\" /><link rel=\"x\" href=\"y\" />"
                       "<img src=\"a>b.png\" alt='1/2' /><col width='2%' /><colgroup></colgroup>"
                       "<area shape=\"rect\" /><br /><br /><br /><p>x</p>")))
        << xml.toStdString();
    // Comments and scripts are left alone.
    EXPECT_TRUE(xml.contains(QStringLiteral("<!-- <img src=\"c\"> -->")));
    EXPECT_TRUE(xml.contains(QStringLiteral("document.write('<br>')")));

    QString html = xml;
    SetDTD(html, 0);
    EXPECT_TRUE(html.contains(
        QStringLiteral("<meta http-equiv=\"a\" content=\"b\"><link rel=\"x\" href=\"y\">"
                       "<img src=\"a>b.png\" alt='1/2'><col width='2%'><colgroup></colgroup>"
                       "<area shape=\"rect\"><br><br><br><p>x</p>")))
        << html.toStdString();
    // Kind 0 leaves whatever document type the page has.
    EXPECT_TRUE(
        html.startsWith(QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Trans")));
}

}  // namespace
