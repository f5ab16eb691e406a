// Revealing pages, the expansion state across reloads, refreshing nodes and tag
// nodes; broken and circular chains.
#include "tree/node_key.h"
#include "tree/tree_fixture.h"
#include "tree/tree_messages.h"

using namespace arbor;
using namespace arbor::tree;
using arbor::test::EventLog;

namespace {

class RevealTest : public arbor::test::TreeTest {
  protected:
    // A chain 0 > 3001 > 3002 > ... > 3000+depth, home placements only.
    void chain(int depth) {
        for (int i = 1; i <= depth; ++i) {
            page(3000 + i, QString("c%1").arg(i));
            place(i == 1 ? 0 : 2999 + i, 3000 + i, 0, QString("c%1").arg(i));
        }
    }
};

TEST_P(RevealTest, APageIsRevealedAlongItsHomePlacementsAndItsPathReadBack) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    chain(5);
    PageTree t;
    t.SetNodes("0", false);
    EventLog log(t);
    t.SetLeaf("3005");
    EXPECT_EQ(log.only("eSetDoc"), QStringList({"eSetDoc:c5|3005|3004|1|0"}));
    EXPECT_EQ(t.sGetLeaf(), "3005,3004,3003,3002,3001,0");
    EXPECT_TRUE(node(t, "c1").data(ExpandedRole).toBool());
    // Only the levels on the way were read.
    EXPECT_EQ(t.model()->rowCount(node(t, "トップ")), 0);
    // A link is reached through the page's home placement.
    t.SetLeaf("1005");
    EXPECT_EQ(t.sGetLeaf(), "1005,1002,1001,0");
    // A path given as such is followed as it is, here to the link below 保護ページ.
    t.SetLeaf("1005,1007,1001,0");
    EXPECT_EQ(t.sGetLeaf(), "1005,1007,1001,0");
    EXPECT_EQ(t.GetNodeText(), "付録リンク");
    // A page below a collecting page is opened in its list.
    log.events.clear();
    t.SetLeaf("1004");
    EXPECT_TRUE(t.codMode());
    EXPECT_EQ(log.only("eSetDoc").last(), "eSetDoc:お知らせA|1004|1003|2|0");
}

TEST_P(RevealTest, BrokenCircularAndOverlongChainsRevealNothing) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    // No home placement: 4001 is only a link.
    page(4001, "linkonly");
    place(1001, 4001, 9, "linkonly", 1);
    // A cycle: 4002 home below 4003, 4003 home below 4002.
    page(4002, "a");
    page(4003, "b");
    place(4003, 4002, 0, "a");
    place(4002, 4003, 0, "b");
    // A page home below itself.
    page(4004, "self");
    place(4004, 4004, 0, "self");
    chain(51);
    PageTree t;
    t.SetNodes("0", false);
    EventLog log(t);
    for (const char* page : {"4001", "4002", "4004", "3051", "abc", "0"})
        t.SetLeaf(page);
    EXPECT_EQ(log.events, QStringList());
    EXPECT_EQ(t.model()->rowCount(node(t, "トップ")), 0);
    // Fifty levels are still within reach.
    t.SetLeaf("3050");
    EXPECT_EQ(t.GetNodeText(), "c50");
}

TEST_P(RevealTest, ReloadsKeepExpansionSelectionAndTheCurrentPlacement) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);
    t.SetLeaf("1005,1007,1001,0");
    t.SetTmpKy();
    const PageTree::ExpansionState state = t.GetExPndNds();
    EXPECT_EQ(state.expanded, "0-1001,1001-1007,");
    EXPECT_EQ(state.selectedId, "1007-1005");
    const QString oldKey = t.currentKey();
    exec("Update tbTree Set szDoc='保護2' Where noLfP=1001 And noLfC=1007");
    EventLog log(t);
    t.RefreshTree();
    EXPECT_EQ(log.only("eSetDoc"), QStringList());  // selected again, not opened
    EXPECT_EQ(t.GetExPndNds().expanded, state.expanded);
    EXPECT_EQ(t.GetExPndNds().selectedId, state.selectedId);
    EXPECT_TRUE(node(t, "保護2", node(t, "トップ")).isValid());
    EXPECT_NE(t.currentKey(), oldKey);
    EXPECT_EQ(t.currentKey(), t.SlctdKy());
    // Another tree opens the same view from the handed-over state.
    PageTree other;
    other.SetExPndNds(state.expanded, state.selectedId);
    EXPECT_EQ(other.sGetLeaf(), "1005,1007,1001,0");
    // Without a list the parents of the selected placement are looked up.
    PageTree third;
    third.SetExPndNds("", "1008-1009");
    EXPECT_EQ(third.GetNodeText(), "下書き1");
}

TEST_P(RevealTest, ExpansionStateAcrossALoopTerminates) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    // 1002 placed below its own child 1005: 0 > 1001 > 1002 > 1005 > 1002 > ...
    place(1005, 1002, 0, "第1章again", 1);
    PageTree t;
    t.SetExPndNds("0-1001,1001-1002,1002-1005,1005-1002,", "1005-1002");
    EXPECT_EQ(t.sGetLeaf(), "1002,1005,1002,1001,0");
    const PageTree::ExpansionState s = t.GetExPndNds();
    EXPECT_EQ(s.expanded, "0-1001,1001-1002,1002-1005,1005-1002,");
    // Revealing through the loop by home placements still ends.
    t.SetLeaf("1005");
    EXPECT_EQ(t.sGetLeaf(), "1005,1002,1001,0");
}

TEST_P(RevealTest, RefreshingANodeReadsItsKindAgain) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);
    t.openNode(node(t, "付録top"));
    // The page was replaced from outside: now a collecting page with a child, home.
    exec("Update msDoc Set boCod=1 Where noDoc=1005");
    exec("Update tbTree Set boLnk=0 Where noLfP=0 And noLfC=1005");
    place(1005, 1011, 0, "孤立");
    EventLog log(t);
    t.RefreshNd("付録new", "1005");
    const QModelIndex refreshed = node(t, "付録new");
    ASSERT_TRUE(refreshed.isValid());
    EXPECT_TRUE(key(refreshed).startsWith("N"));
    EXPECT_EQ(image(refreshed), "ndcod");
    EXPECT_EQ(t.currentKey(), key(refreshed));
    EXPECT_EQ(log.only("eSetDoc"), QStringList({"eSetDoc:付録new|1005|0|1|0"}));
    // Every node of a page.
    exec("Update msDoc Set boCod=0 Where noDoc=1005");
    exec("Update tbTree Set boLnk=1 Where noLfP=1002 And noLfC=1005");
    t.openNode(node(t, "トップ"));
    t.openNode(node(t, "第1章", node(t, "トップ")));
    t.RefreshDcNd("1005");
    EXPECT_EQ(image(node(t, "付録new")), "ndopn");
    const QModelIndex other = node(t, "付録", node(t, "第1章", node(t, "トップ")));
    EXPECT_TRUE(key(other).startsWith("L"));
    EXPECT_EQ(image(other), "lkcls");
}

TEST_P(RevealTest, TagNodesAreAddedOnceAndOnlyInTheView) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);
    EventLog log(t);
    const int rows = count("Select Count(*) From tbTree");
    t.selectNode(node(t, "下書き"));
    t.TagTree("1002", "第1章");
    const QModelIndex tag = t.selectedIndex();
    EXPECT_TRUE(key(tag).startsWith("X"));
    EXPECT_TRUE(key(tag).endsWith("-1002"));
    EXPECT_EQ(image(tag), "tgcls");
    EXPECT_EQ(labels(t, node(t, "下書き")), QStringList({"下書き1", "第1章"}));
    EXPECT_EQ(log.events, QStringList({"eFmMsg:" + msg::tagInserted()}));
    t.selectNode(node(t, "下書き"));
    t.TagTree("1002", "第1章");
    EXPECT_EQ(t.model()->rowCount(node(t, "下書き")), 2);
    EXPECT_EQ(t.selectedIndex(), tag);
    // Opening a tag node reports kind 2; deleting it touches no row.
    t.openNode(tag);
    EXPECT_EQ(log.only("eSetDoc").last(), "eSetDoc:第1章|1002|1008|2|0");
    ASSERT_TRUE(t.trNdDL(key(tag), QString()));
    EXPECT_EQ(count("Select Count(*) From tbTree"), rows);
}

ARBOR_INSTANTIATE_ENGINES(RevealTest);

}  // namespace
