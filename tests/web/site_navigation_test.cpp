// The navigation fragments over a tree built in memory: the page sequence, every form of
// the left menu, the top menus, the trail, previous/next and the children table.
#include <gtest/gtest.h>

#include "web/site_navigation.h"

using namespace arbor::web;

namespace {

//   1 A ──┬─ 2 A1 ── 3 A1a
//         ├─ 4 A 2 ── 9 A2x
//         └─ 10 A3
//   5 B&B ┬─ 6 B1 (collecting) ── 7 B1x
//         └─ 11 B2 ── 12 B2a
//   8 C (collecting) ── 13 C1
SiteTree sampleTree() {
    SiteTree t;
    auto place = [&](int parent, int page, const QString& label, bool link = false) {
        SitePlacement p;
        p.parent = parent;
        p.page = page;
        p.label = label;
        p.link = link;
        t.add(p);
        t.setPage(page, SitePage{});
    };
    place(0, 1, "A");
    place(1, 2, "A1");
    place(2, 3, "A1a");
    place(1, 4, "A 2");
    place(4, 9, "A2x");
    place(1, 10, "A3");
    place(0, 5, "B&B");
    place(5, 6, "B1");
    place(6, 7, "B1x");
    place(5, 11, "B2");
    place(11, 12, "B2a");
    place(0, 8, "C");
    place(8, 13, "C1");
    t.setPage(6, SitePage{true, {}});
    t.setPage(8, SitePage{true, {}});
    return t;
}

QString name(int parent, int page, bool link) {
    return link ? QString("%1_%2.htm").arg(parent).arg(page) : QString("%1.htm").arg(page);
}

// The classes and files of a left menu, in order: "lc:3.htm lc_now:4.htm ...".
QString entries(const QString& menu) {
    QStringList out;
    for (const QString& line : menu.split("\r\n", Qt::SkipEmptyParts)) {
        const int cls = line.indexOf("class=\"") + 7;
        const int href = line.indexOf("href=\"") + 6;
        out << line.mid(cls, line.indexOf('"', cls) - cls) + ':' +
                   line.mid(href, line.indexOf('"', href) - href);
    }
    return out.join(' ');
}

}  // namespace

TEST(SiteNavigation, TheSequenceWalksTheTreeWithoutCollectedChildren) {
    PageSequence seq;
    seq.build(sampleTree(), name);
    QStringList order;
    for (const SequenceRow& r : seq.rows())
        order << QString("%1/%2%3").arg(r.page).arg(r.level).arg(r.hasChildren ? "+" : "");
    EXPECT_EQ(order.join(' '), "1/0+ 2/1+ 3/2 4/1+ 9/2 10/1 5/0+ 6/1 11/1+ 12/2 8/0");
    EXPECT_EQ(seq.rows()[3].title, "A2") << "titles lose blanks and markup characters";
    EXPECT_EQ(seq.rows()[6].title, "BB");
}

TEST(SiteNavigation, LeftMenuOfEachKindOfPage) {
    PageSequence seq;
    seq.build(sampleTree(), name);
    // A page with children: its siblings, itself, its children, the later siblings.
    EXPECT_EQ(entries(seq.BuildLeftMenu(1, 2)), "lp_now:2.htm lc:3.htm lp:4.htm lp:10.htm");
    EXPECT_EQ(seq.cursor(), 2);
    // A childless page: its parent's level around its own.
    EXPECT_EQ(entries(seq.BuildLeftMenu(2, 3)), "lp:2.htm lc_now:3.htm lp:4.htm lp:10.htm");
    // Under the first top-level page: no parent-level entries before it.
    EXPECT_EQ(entries(seq.BuildLeftMenu(1, 10)),
              "lc:2.htm lc:4.htm lc_now:10.htm lp:5.htm lp:8.htm");
    // The last page of a section with nothing after it: the next higher row as PX.
    EXPECT_EQ(entries(seq.BuildLeftMenu(11, 12)), "lp:6.htm lp:11.htm lc_now:12.htm lp_nxt:8.htm");
    // A collecting page is childless in the menus.
    EXPECT_EQ(entries(seq.BuildLeftMenu(5, 6)),
              "lp:1.htm lp:5.htm lc_now:6.htm lc:11.htm lp:8.htm");
    // The very last row gets no PX; top-level pages list their level.
    EXPECT_EQ(entries(seq.BuildLeftMenu(0, 8)), "lc:1.htm lc:5.htm lc_now:8.htm");
    EXPECT_TRUE(seq.BuildLeftMenu(0, 99).isEmpty());
    EXPECT_TRUE(seq.BuildLeftMenu(1, 2).startsWith(QString(12, ' ') + QString(16, ' ') + "<li"));
}

TEST(SiteNavigation, PreviousNextAndTheTopAnchor) {
    PageSequence seq;
    seq.build(sampleTree(), name);
    const QString page = "<body>\r<div id=\"vBack\">\r<p>x</p>\r</div>\r<!-- / vBack -->\r</body>";
    const QString first = seq.InsertPageNavigation(page, 0);
    EXPECT_FALSE(first.contains("前のページへ"));
    EXPECT_TRUE(first.contains("<a href=\"2.htm#aTopPage\">次のページへ</a>"));
    EXPECT_TRUE(first.contains("   <a name=\"aTopPage\"></a>\r<div id=\"vBack\">"));
    // The block goes inside vBack, before its closing tag's line.
    EXPECT_LT(first.indexOf("このページの先頭へ"), first.indexOf("</div>\r<!-- / vBack -->"));
    const QString last = seq.InsertPageNavigation(page, 10);
    EXPECT_TRUE(last.contains("<a href=\"12.htm#aTopPage\">前のページへ</a>"));
    EXPECT_FALSE(last.contains("次のページへ"));
    // No vBack, no navigation.
    EXPECT_EQ(seq.InsertPageNavigation("<body><p>x</p></body>", 3), "<body><p>x</p></body>");

    // A one-page site: only the way to the top.
    SiteTree one;
    SitePlacement only;
    only.page = 1;
    only.label = "only";
    one.add(only);
    one.setPage(1, SitePage{});
    PageSequence single;
    single.build(one, name);
    const QString alone = single.InsertPageNavigation(page, 0);
    EXPECT_TRUE(alone.contains("このページの先頭へ"));
    EXPECT_FALSE(alone.contains("前のページへ"));
    EXPECT_FALSE(alone.contains("次のページへ"));
}

TEST(SiteNavigation, TopMenusTrailAndChildrenTable) {
    const TopMenus menus = BuildTopMenus(sampleTree(), name, 5);
    EXPECT_TRUE(menus.plain.startsWith(QString(28, ' ') + "<li><a href=\"1.htm\">A</a></li>\r"));
    EXPECT_TRUE(menus.plain.contains("<li class=\"now\"><a href=\"5.htm\">BB</a></li>"));
    EXPECT_FALSE(menus.plain.contains("sub"));
    EXPECT_TRUE(menus.dropDown.contains("<ul class=\"sub\">\r" + QString(22, ' ') +
                                        "<li><a href=\"2.htm\">A1</a></li>"));
    EXPECT_FALSE(menus.dropDown.contains("B1x"));
    EXPECT_TRUE(menus.dropDown.contains("<li><a href=\"11.htm\">B2</a></li>"));
    // A top-level collecting page publishes its children through itself, in no menu.
    EXPECT_FALSE(menus.dropDown.contains("C1"));
    EXPECT_FALSE(menus.dropDown.contains("'"));

    EXPECT_EQ(BuildTrail("", "1.htm", "A"), QString(11, ' ') + "<a href=\"1.htm\">A</a>");
    EXPECT_EQ(BuildTrail("T", "2.htm", "<b>&"),
              "T &gt;\r" + QString(11, ' ') + "<a href=\"2.htm\">&lt;b&gt;&amp;</a>");

    const QString body = "<body>\r\n<div>x</div>\r\n</body>";
    EXPECT_EQ(AppendChildrenTable(body, {}, name), body);
    const QString text = QString(300, QChar(0x3042)) + "^|@";
    const QString withTable =
        AppendChildrenTable(body, {{7, "B1x ^|@", text}, {9, "<i>", "a < b"}}, name);
    EXPECT_TRUE(
        withTable.contains("<table width=\"100%\" cellpadding=\"0pt\">\r\n<colgroup>\r\n"
                           "  <col width=\"30%\">"));
    EXPECT_TRUE(withTable.contains("<td><a href=\"7.htm\">B1x ^|@</a></td>"));
    EXPECT_TRUE(withTable.contains("<td>" + QString(255, QChar(0x3042)) + "</td>"));
    EXPECT_TRUE(
        withTable.contains("<td><a href=\"9.htm\">&lt;i&gt;</a></td>\r\n  <td>a &lt; b</td>"));
    EXPECT_TRUE(withTable.endsWith("</table>\r\n</body>"));
}
