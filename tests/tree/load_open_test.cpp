// Loading levels, node keys, images and colours, opening nodes and the placeholder
// of a new page, on both engines.
#include "tree/node_key.h"
#include "tree/tree_fixture.h"
#include "tree/tree_messages.h"

using namespace arbor;
using namespace arbor::tree;
using arbor::test::EventLog;

namespace {

class LoadOpenTest : public arbor::test::TreeTest {};

TEST_P(LoadOpenTest, TopLevelAndOneOpenedLevelCarryKeysImagesAndColours) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);
    ASSERT_EQ(labels(t), QStringList({"トップ", "下書き", "付録top"}));
    const QModelIndex top = node(t, "トップ");
    EXPECT_EQ(key(top), "N0-1001");
    EXPECT_EQ(key(node(t, "下書き")), "N1-1008");
    EXPECT_EQ(key(node(t, "付録top")), "L2-1005");
    EXPECT_EQ(image(top), "ndcls");
    EXPECT_EQ(image(node(t, "付録top")), "lklef");
    EXPECT_EQ(node(t, "下書き").data(BackColourRole).toInt(), kHiddenBack);
    EXPECT_EQ(top.data(BackColourRole).toInt(), kNormalBack);
    // Nothing below the top level is read until a node is opened.
    EXPECT_EQ(t.model()->rowCount(top), 0);

    EventLog log(t);
    t.openNode(top);
    EXPECT_EQ(log.events, QStringList({"eChkMove", "eSetDoc:トップ|1001|0|1|0"}));
    // The placement whose page row is missing does not appear.
    ASSERT_EQ(labels(t, top), QStringList({"第1章", "お知らせ", "保護ページ"}));
    EXPECT_EQ(key(node(t, "第1章", top)), "N3-1002");
    EXPECT_EQ(image(node(t, "お知らせ", top)), "ndcod");
    const QModelIndex guarded = node(t, "保護ページ", top);
    EXPECT_EQ(guarded.data(ForeColourRole).toInt(), kProtectedColour);
    log.events.clear();
    t.openNode(guarded);
    EXPECT_EQ(log.only("eSetDoc"), QStringList({"eSetDoc:保護ページ|1007|1001|1|1"}));
    const QModelIndex linkNode = node(t, "付録リンク", guarded);
    EXPECT_EQ(key(linkNode).left(1), "L");
    EXPECT_EQ(image(linkNode), "lklef");
}

TEST_P(LoadOpenTest, ARootResetsTheCounterAndBadParentKeysLoadNothing) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);  // uses up keys 0..2
    t.ClearItem(true);
    t.SetNodes("0", true);
    ASSERT_TRUE(t.hasRoot());
    const QModelIndex root = t.model()->index(0, 0);
    EXPECT_EQ(key(root), "N-0");
    EXPECT_EQ(root.data(Qt::DisplayRole).toString(), "Root");
    EXPECT_TRUE(root.data(ExpandedRole).toBool());
    EXPECT_EQ(key(t.model()->index(0, 0, root)), "N0-1001");
    for (const char* bad : {"X", "N5-abc", "N5-", "L2-0x10"}) {
        t.SetNodes(bad, false);
        EXPECT_EQ(t.model()->rowCount(), 1) << bad;
    }
}

TEST_P(LoadOpenTest, ExpandingReadsOneLevelAndALeafLosesItsArrow) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);
    const QModelIndex top = node(t, "トップ");
    ASSERT_TRUE(t.model()->hasChildren(top));
    ASSERT_TRUE(t.model()->canFetchMore(top));
    t.model()->fetchMore(top);
    EXPECT_EQ(t.model()->rowCount(top), 3);
    EXPECT_FALSE(t.model()->canFetchMore(top));
    // Grandchildren wait for their own expansion.
    EXPECT_EQ(t.model()->rowCount(node(t, "第1章", top)), 0);
    // Collecting pages show no arrow: their children go to the list.
    EXPECT_FALSE(t.model()->hasChildren(node(t, "お知らせ", top)));
    // The children of 1008 went away after it was shown: the node becomes a leaf.
    const QModelIndex draft = node(t, "下書き");
    exec("Delete From tbTree Where noLfP=1008");
    t.model()->fetchMore(draft);
    EXPECT_EQ(image(draft), "ndlef");
    EXPECT_FALSE(t.model()->hasChildren(draft));
    // Expanding and collapsing change the image only.
    const QModelIndex chapter = node(t, "第1章", top);
    t.model()->fetchMore(chapter);
    t.setExpanded(chapter, true);
    EXPECT_EQ(image(chapter), "ndopn");
    t.setExpanded(chapter, false);
    EXPECT_EQ(image(chapter), "ndcls");
    EXPECT_EQ(t.model()->rowCount(chapter), 1);
}

TEST_P(LoadOpenTest, ACancelledMoveKeepsTheCurrentNode) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);
    EventLog log(t);
    t.openNode(node(t, "トップ"));
    t.SetTmpKy();  // as the main window does when it shows the page
    log.events.clear();
    log.cancelMove = true;
    t.openNode(node(t, "下書き"));
    EXPECT_EQ(log.events, QStringList({"eChkMove"}));
    EXPECT_EQ(t.SlctdKy(), "N0-1001");
    EXPECT_EQ(t.model()->rowCount(node(t, "下書き")), 0);
}

TEST_P(LoadOpenTest, ACollectingPageListsItsChildrenNewestFirst) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    place(1003, 1011, 0, "孤立");  // never saved, lowest inSrt
    PageTree t;
    t.SetNodes("0", false);
    QList<bool> frames;
    QObject::connect(&t, &PageTree::frameChanged, [&](int, bool cod) { frames << cod; });
    t.openNode(node(t, "トップ"));
    const QModelIndex news = node(t, "お知らせ", node(t, "トップ"));
    t.openNode(news);
    EXPECT_TRUE(t.codMode());
    EXPECT_EQ(frames, QList<bool>({true}));
    EXPECT_EQ(t.model()->rowCount(news), 0);
    QStringList listed;
    for (int r = 0; r < t.codList()->rowCount(); ++r)
        listed << t.codList()->index(r, 0).data(KeyRole).toString() + " " +
                      t.codList()->index(r, 1).data().toString();
    ASSERT_EQ(listed.size(), 3);
    EXPECT_EQ(listed[0], "K1004 24/04/20 10:00:00");
    EXPECT_EQ(listed[1], "K1010 23/12/24 10:00:00");
    EXPECT_EQ(listed[2], "K1011 ");
    t.openNode(node(t, "第1章", node(t, "トップ")));
    EXPECT_FALSE(t.codMode());
}

TEST_P(LoadOpenTest, APlaceholderIsDiscardedByOpeningAnotherNodeAndCommittedBySaving) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);
    EventLog log(t);
    t.openNode(node(t, "トップ"));
    const int before = count("Select Count(*) From tbTree");
    t.trNew(1, "");
    const QModelIndex placeholder = node(t, msg::newPageTitle());
    ASSERT_TRUE(placeholder.isValid());
    EXPECT_EQ(placeholder.row(), 1);  // after the selected node
    EXPECT_EQ(key(placeholder), "NewNode");
    EXPECT_EQ(image(placeholder), "ndlef");
    EXPECT_EQ(t.SlctdKy(), "NewNode");
    EXPECT_EQ(count("Select Count(*) From tbTree"), before);

    log.events.clear();
    t.openNode(node(t, "下書き"));
    EXPECT_EQ(log.events, QStringList({"eChkMove", "eFmMsg:" + msg::newPageDiscarded(),
                                       "eSetDoc:下書き|1008|0|1|0"}));
    EXPECT_FALSE(node(t, msg::newPageTitle()).isValid());
    EXPECT_FALSE(t.hasPendingNewNode());

    // Below a node whose children were never read: they come first, the new page last.
    t.trNew(2, "");
    const QModelIndex draft = node(t, "下書き");
    EXPECT_EQ(labels(t, draft), QStringList({"下書き1", msg::newPageTitle()}));
    EXPECT_EQ(image(draft), "ndopn");
    t.UdtNd(" 新しい <ページ> & 'x' ", "", "1012");
    const QModelIndex saved = node(t, "新しいページx", draft);
    ASSERT_TRUE(saved.isValid());
    EXPECT_EQ(key(saved).left(1), "N");
    EXPECT_TRUE(key(saved).endsWith("-1012"));
    EXPECT_EQ(t.currentKey(), key(saved));
    EXPECT_FALSE(t.hasPendingNewNode());
    EXPECT_EQ(label(1008, 1012), "新しいページx");
    EXPECT_EQ(order(1008, 1012), 1);
    EXPECT_EQ(link(1008, 1012), 0);
    EXPECT_EQ(count("Select Count(*) From tbTree Where noLfP=1008 And noLfC=1012 And dyUdt Is "
                    "Not Null"),
              1);
    EXPECT_EQ(t.insertCounter(), 101);
    // A committed page is an ordinary node: opening another keeps it.
    t.openNode(node(t, "トップ"));
    EXPECT_TRUE(node(t, "新しいページx", draft).isValid());
}

ARBOR_INSTANTIATE_ENGINES(LoadOpenTest);

}  // namespace
