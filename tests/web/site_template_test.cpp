// Filling templates: element contents, the merge around dMain, and rebased links.
#include <gtest/gtest.h>

#include "web/site_template.h"

using namespace arbor::web;

TEST(SiteTemplate, ReplaceElementContentFindsTheIdIgnoringCaseAndKeepsTheRest) {
    const QString t = "<ul ID=\"uTop\" class=\"m\">\r\n<li>old</li>\r\n</ul>\r\n<p>after</p>";
    EXPECT_EQ(ReplaceElementContent(t, "id='uTop'", "</ul>", "<li>new</li>"),
              "<ul ID=\"uTop\" class=\"m\"><li>new</li></ul>\r\n<p>after</p>");
    EXPECT_EQ(ReplaceElementContent(t, "id='dPan'", "</div>", "x"), t);
    // No closing tag: the template is not cut.
    EXPECT_EQ(ReplaceElementContent("<div id=\"dPan\">open", "id='dPan'", "</div>", "x"),
              "<div id=\"dPan\">open");
}

TEST(SiteTemplate, MergePutsTheBodyIntoDMainAndTheTemplateLinksIntoTheHead) {
    const QString templ =
        "<html>\r\n<head>\r\n<link rel=\"stylesheet\" href=\"../cmn/a.css\">\r\n"
        "<LINK REL=\"icon\" href=\"../cmn/f.ico\">\r\n<title>x</title>\r\n</head>\r\n"
        "<body>\r\n<div id=\"dMain\">\r\nplaceholder\r\n</div>\r\n<p>foot</p>\r\n</body>\r\n"
        "</html>";
    const QString head =
        "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<style type=\"text/css\">old"
        "</style>\r\n<title>ページ</title>\r\n</head>";
    const QString body =
        "<body class=\"b\">\r\n<style type=\"text/css\">new</style>\r\n"
        "<div>本文</div>\r\n\r\n</body>";
    const QString page = MergeTemplate(templ, head, body);
    EXPECT_EQ(page,
              "<!DOCTYPE html>\r<html>\r<head>\r"
              "<link rel=\"stylesheet\" href=\"../cmn/a.css\">\r"
              "<LINK REL=\"icon\" href=\"../cmn/f.ico\">\r"
              "<style type=\"text/css\">new</style>\r<title>ページ</title>\r</head>\r"
              "<body>\r<div id=\"dMain\">\r<style type=\"text/css\">new</style>\r"
              "<div>本文</div>\r</div>\r<p>foot</p>\r</body>\r</html>");
    EXPECT_FALSE(page.contains("placeholder"));
}

TEST(SiteTemplate, MergeCutsAtTheEndOfTheStartTagWhereverTheIdStands) {
    const QString templ =
        "<html><head></head>\r\n<body>\r\n"
        "<div id=\"dMain\" class=\"wide\" data-x=\"1\">\r\nold\r\n</div>\r\n"
        "</body></html>";
    const QString page = MergeTemplate(templ, "<head></head>", "<body>本文</body>");
    EXPECT_TRUE(page.contains("<div id=\"dMain\" class=\"wide\" data-x=\"1\">\r本文\r</div>"))
        << page.toStdString();
    EXPECT_FALSE(page.contains("old"));
    // Without dMain the template is the page.
    EXPECT_EQ(MergeTemplate("<html><body>only</body></html>", "<head></head>", "<body>x</body>"),
              "<html><body>only</body></html>");
}

TEST(SiteTemplate, ThePreviewUsesTheWorkStyleSheetAndPictureFolder) {
    const QString templ =
        "<head><link rel=\"stylesheet\" href=\"../cmn/navi.css\"></head>\r\n"
        "<body><img src=\"pic/logo.gif\"><div id=\"dMain\"></div></body>";
    const QString page = MergeTemplate(templ, "<head></head>", "<body>x</body>", true);
    EXPECT_TRUE(page.contains("href=\"../cmn/navi_wrk.css\"")) << page.toStdString();
    EXPECT_TRUE(page.contains("src=\"../pub/pic/logo.gif\""));
}

TEST(SiteTemplate, LinksOfRootPagesAndBack) {
    EXPECT_EQ(RebaseLinks("<a href=\"../index.htm\">t</a><a href=\"012.htm\">c</a>"),
              "<a href=\"index.htm\">t</a><a href=\"pub/012.htm\">c</a>");
    EXPECT_EQ(UnrebaseLinks("<link href=\"cmn/a.css\"><a href=\"012.htm\">c</a>"
                            "<a href=\"mailto:x@y\">m</a><a href=pub/9.htm>p</a>"),
              "<link href=\"../cmn/a.css\"><a href=\"../012.htm\">c</a>"
              "<a href=\"mailto:x@y\">m</a><a href=9.htm>p</a>");
    EXPECT_EQ(singleCrLines("a\r\n\r\nb\r\r\rc\r\n"), "a\rb\rc\r");
}
