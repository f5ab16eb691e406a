// The search tab, the collecting page's list, the recent pages and tag references.
#include "tree/node_key.h"
#include "tree/tree_commands.h"
#include "tree/tree_fixture.h"
#include "tree/tree_messages.h"

using namespace arbor;
using namespace arbor::tree;
using arbor::test::EventLog;

namespace {

class ListsTest : public arbor::test::TreeTest {
  protected:
    static QStringList hits(const PageTree& t) {
        QStringList out;
        for (int r = 0; r < t.findList()->rowCount(); ++r)
            out << t.findList()->index(r, 0).data(PageRole).toString();
        return out;
    }
    static QStringList codKeys(const PageTree& t) {
        QStringList out;
        for (int r = 0; r < t.codList()->rowCount(); ++r)
            out << t.codList()->index(r, 0).data(KeyRole).toString() + "=" +
                       t.codList()->index(r, 0).data().toString();
        return out;
    }
};

TEST_P(ListsTest, SearchMatchesEveryWordAndCountsInFullWidthDigits) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    EventLog log(t);
    t.find("知らせ");
    EXPECT_EQ(hits(t), QStringList({"1003", "1004", "1010"}));  // by title
    EXPECT_EQ(log.events.last(), "eFmMsg:３ 件候補がありました");
    t.find("  arbor 　本文 ");  // blanks of both widths separate words
    EXPECT_EQ(hits(t), QStringList({"1002"}));
    t.find("ARBOR");  // case is ignored
    EXPECT_EQ(hits(t).size(), 4);
    t.find("");
    EXPECT_EQ(hits(t).size(), 10);  // every page, placed or not
    EXPECT_EQ(log.events.last(), "eFmMsg:１０ 件候補がありました");
    // Quotes are text; "%" and "_" keep their pattern meaning (any run, any one character).
    t.find("It's");
    EXPECT_EQ(hits(t), QStringList({"1005"}));
    t.find("a\"b' Or 1=1 --");
    EXPECT_EQ(hits(t), QStringList());
    EXPECT_EQ(log.events.last(), "eFmMsg:０ 件候補がありました");
    t.find("q_z");
    EXPECT_EQ(hits(t), QStringList({"1009", "1005"}));  // "qyz" and "q_z"
    t.find("arbor%確実");
    EXPECT_EQ(hits(t), QStringList({"1002"}));
    // The history holds each text once.
    t.find("知らせ");
    EXPECT_EQ(t.findHistory().count("知らせ"), 1);
    EXPECT_EQ(t.findHistory().first(), "知らせ");
}

TEST_P(ListsTest, OpeningAHitAsksFirstThenShowsThePageAndMarksTheText) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);
    t.openNode(node(t, "トップ"));
    t.trNew(1, "");
    EventLog log(t);
    t.find("知らせ");
    log.events.clear();
    log.cancelMove = true;
    t.openFindItem(t.findList()->index(1, 0));
    EXPECT_EQ(log.events, QStringList({"eChkMove"}));
    EXPECT_TRUE(t.hasPendingNewNode());
    log.cancelMove = false;
    t.openFindItem(t.findList()->index(1, 0));
    EXPECT_EQ(log.events.mid(1), QStringList({"eChkMove", "eFmMsg:" + msg::newPageDiscarded(),
                                              "eSetDoc:お知らせA|1004|0|2|0", "eFndWd:知らせ"}));
    EXPECT_FALSE(t.hasPendingNewNode());
}

TEST_P(ListsTest, TheCollectingListTakesNewPagesRenamesAndDeletes) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);
    t.openNode(node(t, "トップ"));
    t.openNode(node(t, "お知らせ", node(t, "トップ")));
    ASSERT_TRUE(t.codMode());
    t.cdNew();
    EXPECT_EQ(codKeys(t).first(), "NEW=" + msg::newPageTitle());
    EXPECT_TRUE(t.hasPendingNewItem());
    page(1012, "お知らせC");  // the main window writes the page row first
    t.UdtNd("お知らせC", "", "1012");
    EXPECT_FALSE(t.hasPendingNewItem());
    EXPECT_EQ(codKeys(t).first(), "K1012=お知らせC");
    EXPECT_EQ(order(1003, 1012), 100);
    EXPECT_EQ(link(1003, 1012), 0);
    // A renamed page keeps its list entry in step with the placement.
    t.UdtNd("お知らせA2", "お知らせA", "1004");
    EXPECT_TRUE(codKeys(t).contains("K1004=お知らせA2"));
    EXPECT_EQ(label(1003, 1004), "お知らせA2");
    // Deleting asks; the page row stays.
    t.codSelection()->setCurrentIndex(t.codList()->index(2, 0),
                                      QItemSelectionModel::ClearAndSelect);
    const QString doomed = codKeys(t)[2];
    ui.prompter.answers = {Answer::Cancel};
    t.cdDel();
    EXPECT_EQ(codKeys(t).size(), 3);
    t.cdDel();
    EXPECT_FALSE(codKeys(t).contains(doomed));
    EXPECT_EQ(ui.prompter.messages, QStringList({msg::confirmDelete(), msg::confirmDelete()}));
    const int gone = doomed.mid(1, 4).toInt();
    EXPECT_FALSE(placed(1003, gone));
    EXPECT_EQ(count(QString("Select Count(*) From msDoc Where noDoc=%1").arg(gone)), 1);
    // An unsaved entry is dropped when another entry is opened.
    t.cdNew();
    EventLog log(t);
    t.openCodItem(t.codList()->index(1, 0));
    EXPECT_EQ(log.events.mid(0, 2), QStringList({"eChkMove", "eFmMsg:" + msg::newPageDiscarded()}));
    EXPECT_FALSE(codKeys(t).first().startsWith("NEW"));
    EXPECT_TRUE(log.events.last().startsWith("eSetDoc:"));
    EXPECT_TRUE(log.events.last().endsWith("|1003|2|0"));
}

TEST_P(ListsTest, RecentPagesAndTagReferences) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetRcnt("1001", "トップ");
    t.SetRcnt("1002", "第1章");
    t.SetRcnt("1001", "トップ");
    ASSERT_EQ(t.recentList()->rowCount(), 2);
    EXPECT_EQ(t.recentList()->index(1, 0).data(PageRole).toInt(), 1001);
    QStringList captions;
    QObject::connect(
        &t, &PageTree::recentListCaption,
        [&](const QString& c, const QString&, bool clear) { captions << c + (clear ? "+" : "-"); });
    t.SetRcntLst("更新順", "tip", "Select szDoc, noDoc From msDoc Where boCod=1");
    EXPECT_EQ(captions, QStringList({"更新順-"}));
    ASSERT_EQ(t.recentList()->rowCount(), 1);
    EXPECT_EQ(t.recentList()->index(0, 0).data().toString(), "お知らせ");
    EventLog log(t);
    t.openRecentItem(t.recentList()->index(0, 0));
    EXPECT_EQ(log.events, QStringList({"eChkMove", "eSetDoc:お知らせ|1003|0|2|0"}));

    EXPECT_EQ(tagReferencesText(1002), "下書き1 (1009)\r\t" + msg::tagReferencedTail());
    EXPECT_EQ(tagReferencesText(1001), msg::notTagReferenced());
    const QString both = tagReferencesText(1005);
    EXPECT_TRUE(both.contains("第1章 (1002)\r"));
    EXPECT_TRUE(both.contains("下書き1 (1009)\r"));
    // ".1005." must not match ".10050."
    page(5000, "x", "", ".10050.");
    EXPECT_FALSE(tagReferencesText(1005).contains("(5000)"));
}

ARBOR_INSTANTIATE_ENGINES(ListsTest);

}  // namespace
