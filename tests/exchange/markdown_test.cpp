// The Markdown reader of the folder import: the blocks and inlines it knows, what it
// leaves as text, and that its HTML reads back as the structure it means.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include "exchange/markdown.h"

using arbor::markdown::inlineHtml;
using arbor::markdown::toHtml;

TEST(Markdown, Headings) {
    EXPECT_EQ(toHtml("# 第一章"), "<h1>第一章</h1>\n");
    EXPECT_EQ(toHtml("###### six ##"), "<h6>six</h6>\n");
    EXPECT_EQ(toHtml("  ## indented"), "<h2>indented</h2>\n");
    EXPECT_EQ(toHtml("####### seven"), "<p>####### seven</p>\n");
    EXPECT_EQ(toHtml("#hashtag"), "<p>#hashtag</p>\n");
    EXPECT_EQ(toHtml("#"), "<h1></h1>\n");
    // Setext underlines make headings of the paragraph above them.
    EXPECT_EQ(toHtml("Title\n=====\nSub\n---"), "<h1>Title</h1>\n<h2>Sub</h2>\n");
}

TEST(Markdown, ParagraphsAndBreaks) {
    EXPECT_EQ(toHtml("one\ntwo\n\n\nthree"), "<p>one\ntwo</p>\n<p>three</p>\n");
    EXPECT_EQ(toHtml("hard  \nbreak\\\nagain"), "<p>hard<br>\nbreak<br>\nagain</p>\n");
    EXPECT_EQ(toHtml("line one\r\nline two\r\n\r\nnext"),
              "<p>line one\nline two</p>\n<p>next</p>\n");
    EXPECT_EQ(toHtml("trailing  "), "<p>trailing</p>\n");
    EXPECT_EQ(toHtml(""), "");
}

TEST(Markdown, EmphasisAndStrong) {
    EXPECT_EQ(inlineHtml("*em* and **strong** and ***both***"),
              "<em>em</em> and <strong>strong</strong> and <em><strong>both</strong></em>");
    EXPECT_EQ(inlineHtml("_em_ __strong__"), "<em>em</em> <strong>strong</strong>");
    // Japanese has no blanks around emphasis, and may have punctuation inside it.
    EXPECT_EQ(inlineHtml("これは**「重要」**です"), "これは<strong>「重要」</strong>です");
    EXPECT_EQ(inlineHtml("これは*強調*です"), "これは<em>強調</em>です");
    // Underscores inside words are names, not emphasis.
    EXPECT_EQ(inlineHtml("snake_case_name"), "snake_case_name");
    // A star with blanks on both sides is a star.
    EXPECT_EQ(inlineHtml("2 * 3 * 4"), "2 * 3 * 4");
    EXPECT_EQ(inlineHtml("**unclosed"), "**unclosed");
    EXPECT_EQ(inlineHtml("\\*not em\\*"), "*not em*");
}

TEST(Markdown, CodeSpansKeepTheirText) {
    EXPECT_EQ(inlineHtml("use `a < b && *c*`"), "use <code>a &lt; b &amp;&amp; *c*</code>");
    EXPECT_EQ(inlineHtml("``has ` tick``"), "<code>has ` tick</code>");
    EXPECT_EQ(inlineHtml("`open"), "`open");
}

TEST(Markdown, LinksAndPictures) {
    EXPECT_EQ(inlineHtml("[次へ](next.md)"), "<a href=\"next.md\">次へ</a>");
    EXPECT_EQ(inlineHtml("[t](../a/b.html#top \"Title\")"),
              "<a href=\"../a/b.html#top\" title=\"Title\">t</a>");
    EXPECT_EQ(inlineHtml("[*em* link](<with space.md>)"),
              "<a href=\"with space.md\"><em>em</em> link</a>");
    EXPECT_EQ(inlineHtml("[p](wiki/Foo_(bar))"), "<a href=\"wiki/Foo_(bar)\">p</a>");
    EXPECT_EQ(inlineHtml("![図 1](images/pic.png)"), "<img src=\"images/pic.png\" alt=\"図 1\">");
    EXPECT_EQ(inlineHtml("[![pic](a.png)](b.html)"),
              "<a href=\"b.html\"><img src=\"a.png\" alt=\"pic\"></a>");
    EXPECT_EQ(inlineHtml("<https://example.org/?a=1&b=2>"),
              "<a href=\"https://example.org/?a=1&amp;b=2\">https://example.org/?a=1&amp;b=2</a>");
    EXPECT_EQ(inlineHtml("<user@example.org>"),
              "<a href=\"mailto:user@example.org\">user@example.org</a>");
    // Not links: a bracket without a target, and a quote in a target cannot escape it.
    EXPECT_EQ(inlineHtml("[just brackets] (x)"), "[just brackets] (x)");
    EXPECT_EQ(inlineHtml("[q](a\"onclick=x)"), "<a href=\"a&quot;onclick=x\">q</a>");
}

TEST(Markdown, RawHtmlIsText) {
    EXPECT_EQ(toHtml("<script>alert(1)</script>"),
              "<p>&lt;script&gt;alert(1)&lt;/script&gt;</p>\n");
    EXPECT_EQ(inlineHtml("A &amp; B &copy; & C"), "A &amp; B &copy; &amp; C");
}

TEST(Markdown, Lists) {
    EXPECT_EQ(toHtml("- one\n- two\n* other"),
              "<ul>\n<li>one</li>\n<li>two</li>\n</ul>\n<ul>\n<li>other</li>\n</ul>\n");
    EXPECT_EQ(toHtml("1. a\n2. b"), "<ol>\n<li>a</li>\n<li>b</li>\n</ol>\n");
    EXPECT_EQ(toHtml("3) c"), "<ol start=\"3\">\n<li>c</li>\n</ol>\n");
    // Nested by indentation; a continuation line stays in its item.
    EXPECT_EQ(toHtml("- top\n  - inner\n    more\n- next"),
              "<ul>\n<li>top<ul>\n<li>inner\nmore</li>\n</ul></li>\n<li>next</li>\n</ul>\n");
    // A blank line between items makes paragraphs of them.
    EXPECT_EQ(toHtml("- a\n\n- b"), "<ul>\n<li><p>a</p></li>\n<li><p>b</p></li>\n</ul>\n");
    // A list ends at an unindented paragraph after a blank line.
    EXPECT_EQ(toHtml("- a\n\nafter"), "<ul>\n<li>a</li>\n</ul>\n<p>after</p>\n");
    // Inside a paragraph only a bullet or an item numbered 1 starts a list.
    EXPECT_EQ(toHtml("in 2024\n2. not a list"), "<p>in 2024\n2. not a list</p>\n");
    EXPECT_EQ(toHtml("text\n- list"), "<p>text</p>\n<ul>\n<li>list</li>\n</ul>\n");
    EXPECT_EQ(toHtml("* * *"), "<hr>\n");
}

TEST(Markdown, QuotesAndFencedCode) {
    EXPECT_EQ(toHtml("> quoted\nlazy\n> > nested"),
              "<blockquote>\n<p>quoted\nlazy</p>\n<blockquote>\n<p>nested</p>\n</blockquote>\n"
              "</blockquote>\n");
    EXPECT_EQ(toHtml("```cpp\nint a = b < c;\n\n# not a heading\n```\nafter"),
              "<pre><code>int a = b &lt; c;\n\n# not a heading</code></pre>\n<p>after</p>\n");
    // A shorter fence does not close; an unclosed fence runs to the end.
    EXPECT_EQ(toHtml("~~~~\n~~~\ncode"), "<pre><code>~~~\ncode</code></pre>\n");
    EXPECT_EQ(toHtml("\tindented\n---"), "<h2>indented</h2>\n");
}

// What the page's HTML reader makes of the converter's output.
TEST(Markdown, ReadsBackAsStructure) {
    QTextDocument doc;
    doc.setHtml(
        toHtml("# 見出し\n\n本文の**太字**\n\n- 項目1\n- 項目2\n\n> 引用\n\n```\ncode\n```"));
    QTextBlock b = doc.begin();
    EXPECT_EQ(b.text(), "見出し");
    EXPECT_EQ(b.blockFormat().headingLevel(), 1);
    b = b.next();
    EXPECT_EQ(b.text(), "本文の太字");
    bool bold = false;
    for (auto it = b.begin(); !it.atEnd(); ++it)
        if (it.fragment().text() == "太字")
            bold = it.fragment().charFormat().fontWeight() >= QFont::Bold;
    EXPECT_TRUE(bold);
    b = b.next();
    ASSERT_NE(b.textList(), nullptr);
    EXPECT_EQ(b.textList()->count(), 2);
    EXPECT_EQ(b.text(), "項目1");
}
