// Page file names (HsFName, HsFNameX), the custom name list and T_HtmMoji.
#include <gtest/gtest.h>

#include "web/html_text.h"
#include "web/page_file_names.h"

using namespace arbor::web;

namespace {

QString name(const HtmlSiteSettings& s, const QString& parent, const QString& doc, bool link,
             int kind = kHtml401Transitional, bool keep = false) {
    return HsFName(s, kind, parent, doc, link, keep);
}

TEST(PageFileNamesTest, NumbersArePaddedToThreeDigits) {
    HtmlSiteSettings s;
    EXPECT_EQ(name(s, QString(), QStringLiteral("7"), false), QStringLiteral("007.htm"));
    EXPECT_EQ(name(s, QString(), QStringLiteral(" 42 "), false), QStringLiteral("042.htm"));
    EXPECT_EQ(name(s, QString(), QStringLiteral("1234"), false), QStringLiteral("1234.htm"));
    EXPECT_EQ(name(s, QStringLiteral("3"), QStringLiteral("12"), true),
              QStringLiteral("003_012.htm"));
    EXPECT_EQ(name(s, QStringLiteral("1001"), QStringLiteral("1002"), true),
              QStringLiteral("1001_1002.htm"));
    // E-book pages take "xhtml", links included.
    EXPECT_EQ(name(s, QString(), QStringLiteral("7"), false, kEbookXhtml11),
              QStringLiteral("007.xhtml"));
    EXPECT_EQ(name(s, QStringLiteral("3"), QStringLiteral("12"), true, kEbookXhtml11),
              QStringLiteral("003_012.xhtml"));
}

TEST(PageFileNamesTest, CustomNamesAreUsedOutsideEbooks) {
    HtmlSiteSettings s;
    s.setCustomNameList(
        QStringLiteral("1001\ttop.html\r1002\ttop\r1003\t../root.htm\r"
                       "bad line\r1004\t\r"));
    EXPECT_EQ(s.customNames.size(), 3);
    EXPECT_EQ(s.customNameList(), QStringLiteral("1001\ttop.html\r1002\ttop\r1003\t../root.htm\r"));
    EXPECT_EQ(name(s, QString(), QStringLiteral("1001"), false), QStringLiteral("top.html"));
    EXPECT_EQ(name(s, QString(), QStringLiteral("1002"), false), QStringLiteral("top.htm"));
    EXPECT_EQ(name(s, QString(), QStringLiteral("1003"), false), QStringLiteral("../root.htm"));
    // A link placement always has the parent_page name.
    EXPECT_EQ(name(s, QStringLiteral("5"), QStringLiteral("1001"), true),
              QStringLiteral("005_1001.htm"));
    // E-book pages keep the number unless the name is to be kept.
    EXPECT_EQ(name(s, QString(), QStringLiteral("1001"), false, kEbookXhtml11),
              QStringLiteral("1001.xhtml"));
    EXPECT_EQ(name(s, QString(), QStringLiteral("1001"), false, kEbookXhtml11, true),
              QStringLiteral("top.html"));
    EXPECT_EQ(name(s, QString(), QStringLiteral("1004"), false), QStringLiteral("1004.htm"));
}

TEST(PageFileNamesTest, SiteAddressesStartAtTheHomeAddress) {
    HtmlSiteSettings s;
    s.homeAddress = QStringLiteral("https://example.org/");
    s.customNames.insert(1003, QStringLiteral("../root.htm"));
    s.customNames.insert(1002, QStringLiteral("own.htm"));
    EXPECT_EQ(HsFNameX(s, 0, QString(), QStringLiteral("7"), false, true),
              QStringLiteral("https://example.org/pub/007.htm"));
    EXPECT_EQ(HsFNameX(s, 0, QString(), QStringLiteral("1002"), false, true),
              QStringLiteral("https://example.org/pub/own.htm"));
    // Only the alternative address puts root pages at the top of the site.
    s.homeMode = 1;
    EXPECT_EQ(HsFNameX(s, 0, QString(), QStringLiteral("1003"), false, true),
              QStringLiteral("https://example.org/pub/../root.htm"));
    s.homeMode = 2;
    EXPECT_EQ(HsFNameX(s, 0, QString(), QStringLiteral("1003"), false, true),
              QStringLiteral("https://example.org/root.htm"));
}

TEST(HtmlTextTest, HtmMojiRemovesBlanksAmpersandsBracketsAndQuotes) {
    QString text = QStringLiteral("A & B <c> \"d\" 'e'　全角");
    T_HtmMoji(text);
    EXPECT_EQ(text, QStringLiteral("ABcde　全角"));
    EXPECT_EQ(escapeAttribute(QStringLiteral("a&b<\"'>")),
              QStringLiteral("a&amp;b&lt;&quot;&#39;&gt;"));
    EXPECT_EQ(cssColour(0x505A85), QStringLiteral("#855A50"));
    EXPECT_EQ(cssColour(0xFF8080), QStringLiteral("#8080FF"));
    EXPECT_EQ(cssColour(0), QStringLiteral("#000000"));
}

TEST(HtmlTextTest, IdeographicSpacesSurviveTheMarkerRoundTrip) {
    QString text = QStringLiteral("　字下げ") + QChar(0x2177) + QStringLiteral("　");
    protectIdeographicSpaces(text);
    EXPECT_FALSE(text.contains(QChar(0x3000)));
    EXPECT_EQ(text.trimmed(), text) << "the marker is no blank";
    restoreIdeographicSpaces(text);
    EXPECT_EQ(text, QStringLiteral("　字下げ&#x2177;　"));
}

}  // namespace
