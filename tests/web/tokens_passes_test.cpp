// The token table and the passes, each on small markup: what a pass changes and what
// it must leave alone.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <functional>

#include "editor/user_formats.h"
#include "web/css_style.h"
#include "web/html_classes.h"
#include "web/html_passes.h"
#include "web/html_tokens.h"

using namespace arbor;
using namespace arbor::web;

namespace {

// Tokenizes, runs the pass, writes the records back without indentation.
QString after(const QString& markup, const std::function<void(TokenTable&)>& pass) {
    TokenTable tokens;
    tokenize(markup, tokens);
    pass(tokens);
    compact(tokens);
    static const QRegularExpression lineStart(QStringLiteral("\r\n *"));
    return writeTokens(tokens).remove(lineStart);
}

QString same(const QString& markup) {
    return after(markup, [](TokenTable&) {});
}

TEST(TokensTest, TagsTextAndStylesBecomeRecords) {
    TokenTable t;
    tokenize(QStringLiteral("<p align=\"center\" style=\" margin-top:1pt;\">a  \n b</p>\n"
                            "<a href=\"x>y\" title='it>s'>l</a><!-- c > d --> 1 < 2"),
             t);
    ASSERT_EQ(t.size(), 8u);
    EXPECT_EQ(t[0].name, QStringLiteral("p"));
    EXPECT_EQ(t[0].step, 1);
    EXPECT_EQ(t[0].attrs, QStringLiteral(" align=\"center\""));
    EXPECT_EQ(t[0].style, QStringLiteral(" margin-top:1pt;"));
    EXPECT_EQ(t[1].attrs, QStringLiteral("a b"));  // one blank for a run and a line break
    EXPECT_EQ(t[2].name, QStringLiteral("/p"));
    EXPECT_EQ(t[2].step, -1);
    // The line break between the tags is no text; ">" inside quotes is no end of tag.
    EXPECT_EQ(t[3].name, QStringLiteral("a"));
    EXPECT_EQ(t[3].attrs, QStringLiteral(" href=\"x>y\" title='it>s'"));
    EXPECT_EQ(t[6].name, QStringLiteral("###comment"));
    EXPECT_EQ(t[6].attrs, QStringLiteral("<!-- c > d -->"));
    EXPECT_EQ(t[7].attrs, QStringLiteral(" 1 < 2"));
}

TEST(TokensTest, TwoStyleAttributesAreJoinedAndEmptyElementsHaveNoStep) {
    TokenTable t;
    tokenize(
        QStringLiteral("<li style=\"color:red\" style=\"margin:0\"><br /><img src=a.png/></li>"),
        t);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(css::canonical(t[0].style), QStringLiteral("color:red;margin:0;"));
    EXPECT_TRUE(t[0].attrs.isEmpty());
    EXPECT_EQ(t[1].step, 0);
    EXPECT_EQ(t[2].step, 0);
    EXPECT_EQ(t[2].attrs, QStringLiteral(" src=a.png"));
}

TEST(TokensTest, OutputIndentsBlocksByNesting) {
    TokenTable t;
    tokenize(QStringLiteral("<body><table><tr><td><div>x</div></td></tr></table></body>"), t);
    t[4].className = QStringLiteral("di01");
    EXPECT_EQ(writeTokens(t), QStringLiteral("\r\n<body>\r\n  <table>\r\n    <tr>\r\n      <td>"
                                             "\r\n        <div class=\"di01\">x</div></td></tr>"
                                             "</table></body>"));
}

TEST(PassesTest, ClosingRecordsAreRepaired) {
    EXPECT_EQ(after(QStringLiteral("<div><span>a</div></span><b>x"), passes::closingTags),
              QStringLiteral("<div><span>a</span></div><b>x</b>"));
}

TEST(PassesTest, EmptyElementsGoFromTheInsideOut) {
    EXPECT_EQ(after(QStringLiteral("<div><span></span></div><a>t</a><a href=\"h\"></a>"),
                    passes::emptyElements),
              QStringLiteral("t<a href=\"h\"></a>"));
}

TEST(PassesTest, OnlyAPlainSingleSpanMergesIntoItsBlock) {
    EXPECT_EQ(
        after(QStringLiteral("<div style=\"margin-left:3pt;color:red\"><span style=\"color:blue;"
                             "font-size:10pt\">a</span></div>"),
              passes::singleSpans),
        QStringLiteral("<div style=\"margin-left:3pt;color:blue;font-size:10pt;\">a</div>"));
    // A background or a title counts twice; a link counts too.
    const QString background =
        QStringLiteral("<div><span style=\"background-color:#fff\">a</span></div>");
    EXPECT_EQ(after(background, passes::singleSpans), same(background));
    const QString titled = QStringLiteral("<div><span title=\"t\">a</span></div>");
    EXPECT_EQ(after(titled, passes::singleSpans), same(titled));
    const QString linked = QStringLiteral("<div><a href=\"h\">l</a><span>a</span></div>");
    EXPECT_EQ(after(linked, passes::singleSpans), same(linked));
}

TEST(PassesTest, IndentedBlocksBecomeHeadingsByTheirSize) {
    std::array<UsrFormat, kUserFormatCount> formats;
    for (int i = 0; i < kUserFormatCount; ++i)
        formats[i] = defaultUserFormat(i);
    const auto heading = [&](const QString& style, const QString& span = QString()) {
        return after(QStringLiteral("<div style=\"") + style + QStringLiteral("\"><span style=\"") +
                         span + QStringLiteral("\">t</span></div>"),
                     [&](TokenTable& t) { passes::headings(t, formats); })
            .section(u'>', 0, 0);
    };
    EXPECT_EQ(heading(QStringLiteral("margin-left:8pt;font-size:14pt")),
              QStringLiteral("<h1 style=\"margin-left:8pt;font-size:14pt;\""));
    EXPECT_EQ(heading(QStringLiteral("margin-left:6pt"), QStringLiteral("font-size:13pt")),
              QStringLiteral("<h3 style=\"margin-left:6pt;\""));
    EXPECT_EQ(heading(QStringLiteral("margin-left:6pt"), QStringLiteral("font-size:11pt")),
              QStringLiteral("<h5 style=\"margin-left:6pt;\""));
    EXPECT_EQ(heading(QStringLiteral("margin-left:6pt"), QStringLiteral("font-size:10pt")),
              QStringLiteral("<div style=\"margin-left:6pt;\""));
    EXPECT_EQ(heading(QStringLiteral("margin-left:5pt;font-size:20pt")),
              QStringLiteral("<div style=\"margin-left:5pt;font-size:20pt;\""));
}

TEST(PassesTest, AttributesBecomeDeclarations) {
    EXPECT_EQ(
        after(QStringLiteral("<div align=\"Center\">a</div><td valign=\"top\" bgcolor=\"#eee\" "
                             "width=\"9\">b</td><ol type=\"i\"><li type=\"A\">c</li></ol>"),
              passes::attributesToStyles),
        QStringLiteral("<div style=\"text-align:center;\">a</div><td width=\"9\" "
                       "style=\"vertical-align:top;background-color:#eee;\">b</td><ol "
                       "style=\"list-style-type:lower-roman;\"><li "
                       "style=\"list-style-type:upper-alpha;\">c</li></ol>"));
}

TEST(PassesTest, CellsLoseTheirBlocksAndTheirParentsDeclarations) {
    EXPECT_EQ(after(QStringLiteral("<td><div style=\"text-align:right;margin-top:3pt\">a</div>"
                                   "<div><br></div><div>b</div></td>"),
                    passes::cells),
              QStringLiteral("<td style=\"text-align:right;\">a<br><br>b</td>"));
    EXPECT_EQ(after(QStringLiteral("<tr style=\"color:red;\"><td style=\"text-align:left;color:red;"
                                   "vertical-align:top;padding:1px\">x</td></tr>"),
                    passes::cellAlignment),
              QStringLiteral("<tr style=\"color:red;\"><td style=\"padding:1px;\">x</td></tr>"));
    EXPECT_EQ(after(QStringLiteral("<ul style=\"margin:0;color:red\"><li style=\"color:red;"
                                   "font-weight:700\">x</li></ul>"),
                    passes::listStyles),
              QStringLiteral(
                  "<ul style=\"margin:0;color:red;\"><li style=\"font-weight:700;\">x</li></ul>"));
}

TEST(PassesTest, SpansAroundPicturesBreaksAndBlanksGo) {
    EXPECT_EQ(after(QStringLiteral("<span><img src=\"a\"></span><span><br></span><span>t</span>"),
                    passes::pictureSpans),
              QStringLiteral("<img src=\"a\"><br><span>t</span>"));
    EXPECT_EQ(after(QStringLiteral("<span>&#160;</span><span>&nbsp;</span><span> </span>"),
                    passes::blankSpans),
              QStringLiteral("&#160;&nbsp;<span> </span>"));
    EXPECT_EQ(after(QStringLiteral(
                        "<br><a href=\"p\"><img src=\"a\"></a><br><span><img src=\"b\"></span>"),
                    passes::ebookPictures),
              QStringLiteral("<a href=\"p\"><img src=\"a\"></a><img src=\"b\">"));
    EXPECT_EQ(after(QStringLiteral("<div><div>a</div></div><li><div>b</div></li>"),
                    passes::listItemBlocks),
              QStringLiteral("<div><div>a</div></div><li>b</li>"));
}

TEST(ClassesTest, EqualStylesShareAClassNumberedPerPrefix) {
    ClassRegistry registry;
    EXPECT_EQ(registry.classFor(u"div", QStringLiteral("color:red;")), QStringLiteral("di01"));
    EXPECT_EQ(registry.classFor(u"span", QStringLiteral("color:red;")), QStringLiteral("sp01"));
    EXPECT_EQ(registry.classFor(u"div", QStringLiteral("color:blue;")), QStringLiteral("di02"));
    EXPECT_EQ(registry.classFor(u"div", QStringLiteral("color:red;")), QStringLiteral("di01"));
    EXPECT_EQ(registry.classFor(u"h1", QStringLiteral("x:y;")), QStringLiteral("h101"));
    EXPECT_EQ(
        registry.text(),
        QStringLiteral("1\tdi\tcolor:red;\r1\tsp\tcolor:red;\r2\tdi\tcolor:blue;\r1\th1\tx:y;\r"));

    TokenTable t;
    tokenize(QStringLiteral("<div style=\"font-size:11pt; line-height:13.2pt;\"><span style=\""
                            "font-size:11pt;font-style:italic\">a</span></div><img src=x>"),
             t);
    ClassRegistry site;
    ClassOptions o;
    o.relativeSizes = true;
    o.removeItalics = true;
    assignClasses(t, site, o);
    ASSERT_EQ(site.entries().size(), 2u);
    EXPECT_EQ(site.entries()[0].style, QStringLiteral("font-size:110%;"));
    EXPECT_EQ(site.entries()[1].style, QStringLiteral("font-size:100%;"));
    EXPECT_TRUE(t[0].style.isEmpty());
    EXPECT_EQ(t[0].className, QStringLiteral("di01"));
    EXPECT_TRUE(t[4].className.isEmpty());
}

}  // namespace
