// Structural changes on real databases: paste and cut, the clipboard, delete,
// moving and renumbering, labels, the home placement and markings. Every test
// ends with the tree table's invariants.
#include "db/schema.h"
#include "tree/node_key.h"
#include "tree/tree_commands.h"
#include "tree/tree_fixture.h"
#include "tree/tree_messages.h"

using namespace arbor;
using namespace arbor::tree;
using arbor::test::EventLog;

namespace {

class EditTest : public arbor::test::TreeTest {
  protected:
    // The sample with the top level loaded and トップ opened.
    void openSample(PageTree& t) {
        sample();
        t.SetNodes("0", false);
        t.openNode(node(t, "トップ"));
    }
    QModelIndex top(const PageTree& t) { return node(t, "トップ"); }
    void expectInvariants() {
        EXPECT_EQ(duplicatePairs(), QStringList());
        RebuildLinkFlags(false);
        EXPECT_EQ(pagesWithoutOneHome(), QStringList());
    }
};

TEST_P(EditTest, SavingRenamesOnlyPlacementsStillShowingTheOldTitle) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    place(1008, 1005, 1, "付録");  // not shown yet, still the old title
    t.UdtNd("補遺", "付録", "1005");
    EXPECT_EQ(label(1002, 1005), "補遺");
    EXPECT_EQ(label(1008, 1005), "補遺");
    EXPECT_EQ(label(1007, 1005), "付録リンク");
    EXPECT_EQ(label(0, 1005), "付録top");
    EXPECT_EQ(labels(t).last(), "付録top");
    // Saving without a title change writes nothing.
    exec("Update tbTree Set dyUdt=Null Where noLfC=1005");
    t.UdtNd("補遺", "補遺", "1005");
    EXPECT_EQ(count("Select Count(*) From tbTree Where noLfC=1005 And dyUdt Is Not Null"), 0);
    expectInvariants();
}

TEST_P(EditTest, InsertMakesALinkWhenAHomeExistsAndRefusesASecondPairUnderOneParent) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    EventLog log(t);
    t.selectNode(node(t, "第1章", top(t)));
    t.trIns(-1, "付録 の'写し'", "1005");
    EXPECT_EQ(log.events.mid(0, 2), QStringList({"eFmMsg:" + msg::pageInserted(), "eChkMove"}));
    EXPECT_EQ(labels(t, top(t)), QStringList({"第1章", "付録の写し", "お知らせ", "保護ページ"}));
    EXPECT_EQ(link(1001, 1005), 1);
    EXPECT_EQ(label(1001, 1005), "付録の写し");
    EXPECT_EQ(order(1001, 1005), 1);  // its place right away, after the selected node
    EXPECT_TRUE(key(node(t, "付録の写し", top(t))).startsWith("L"));
    EXPECT_EQ(t.SlctdKy(), key(node(t, "付録の写し", top(t))));
    // A page without any home placement gets one.
    t.trIns(-1, "孤立", "1011");
    EXPECT_EQ(link(1001, 1011), 0);
    // 1099 has no page row, is not shown and keeps its order.
    EXPECT_EQ(orderOf(1001),
              QStringList({"1002:0", "1005:1", "1011:2", "1003:3", "1099:3", "1007:4"}));
    EXPECT_EQ(t.insertCounter(), 102);

    const int rows = count("Select Count(*) From tbTree");
    const int nodes = t.model()->rowCount(top(t));
    ui.prompter.messages.clear();
    t.trIns(-1, "また", "1005");
    EXPECT_EQ(ui.prompter.messages, QStringList({msg::duplicateLink()}));
    EXPECT_EQ(count("Select Count(*) From tbTree"), rows);
    EXPECT_EQ(t.model()->rowCount(top(t)), nodes);
    expectInvariants();
}

TEST_P(EditTest, TheClipboardKeepsTenDistinctPagesNewestFirst) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    for (int no = 2001; no <= 2011; ++no) {
        page(no, QString("p%1").arg(no));
        place(1008, no, no, QString("p%1").arg(no));
    }
    const QModelIndex draft = node(t, "下書き");
    t.openNode(draft);
    for (int r = 1; r <= 11; ++r) {
        t.selectNode(t.model()->index(r, 0, draft));
        t.trCopy(false);
        t.trCopy(false);  // the same page again keeps one slot
    }
    EXPECT_EQ(t.clipboard().count(), 10);
    EXPECT_EQ(t.clipboard().slot(0).page, 2011);
    EXPECT_EQ(t.clipboard().slot(0).caption, "p2011");
    EXPECT_EQ(t.clipboard().slot(9).page, 2002);
    EXPECT_FALSE(t.clipboard().contains(2001));
    // Pasting a slot ("*") places that page after the selected node.
    t.selectNode(node(t, "第1章", top(t)));
    t.trIns(3, t.clipboard().slot(3).caption, "*");
    EXPECT_TRUE(placed(1001, 2008));
    expectInvariants();
}

TEST_P(EditTest, CutAndPasteMovesAPlacementAndKeepsItsKind) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    const QModelIndex chapter = node(t, "第1章", top(t));
    t.openNode(chapter);
    // The home placement of 1005 moves below 下書き and stays the home.
    t.selectNode(node(t, "付録", chapter));
    t.trCopy(true);
    EXPECT_EQ(node(t, "付録", chapter).data(ForeColourRole).toInt(), kCutColour);
    EXPECT_EQ(t.cutKeys().size(), 1);
    t.openNode(node(t, "下書き"));
    t.selectNode(node(t, "下書き1", node(t, "下書き")));
    t.trIns(0, "付録", "*");
    EXPECT_FALSE(placed(1002, 1005));
    EXPECT_EQ(link(1008, 1005), 0);
    EXPECT_TRUE(t.cutKeys().isEmpty());
    EXPECT_FALSE(node(t, "付録", node(t, "第1章", top(t))).isValid());
    expectInvariants();

    // A link moved while the home exists stays a link.
    t.openNode(node(t, "保護ページ", top(t)));
    t.selectNode(node(t, "付録リンク", node(t, "保護ページ", top(t))));
    t.trCopy(true);
    t.selectNode(node(t, "第1章", top(t)));
    t.trIns(0, "付録リンク", "*");
    EXPECT_FALSE(placed(1007, 1005));
    EXPECT_EQ(link(1001, 1005), 1);
    expectInvariants();
}

TEST_P(EditTest, ARefusedPasteKeepsTheCutSource) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    t.openNode(node(t, "保護ページ", top(t)));
    // Cut the link below 保護ページ and paste it where 1005 already stands.
    t.selectNode(node(t, "付録リンク", node(t, "保護ページ", top(t))));
    t.trCopy(true);
    t.selectNode(node(t, "下書き"));
    t.trIns(0, "付録リンク", "*");
    EXPECT_EQ(ui.prompter.messages, QStringList({msg::duplicateLink()}));
    EXPECT_TRUE(placed(1007, 1005));
    EXPECT_EQ(t.cutKeys().size(), 1);
    // Cutting a page and pasting it below its own child would leave it nowhere.
    ui.prompter.messages.clear();
    t.openNode(node(t, "下書き"));
    t.selectNode(node(t, "下書き"));
    t.trCopy(true);
    const QModelIndex child = node(t, "下書き1", node(t, "下書き"));
    t.openNode(child);
    place(1009, 2000, 0, "x");
    page(2000, "x");
    t.RefreshDcNd("1009");
    t.selectNode(t.model()->index(0, 0, node(t, "下書き1", node(t, "下書き"))));
    t.trIns(0, "下書き", "1008");
    EXPECT_EQ(ui.prompter.messages, QStringList({msg::cutIntoOwnSubtree()}));
    EXPECT_TRUE(placed(0, 1008));
    EXPECT_FALSE(placed(1009, 1008));
    expectInvariants();
}

TEST_P(EditTest, DeleteWarnsRemovesOneRowAndLeavesThePageAndItsChildren) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    const QModelIndex chapter = node(t, "第1章", top(t));
    t.selectNode(chapter);
    ui.prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(deleteSelectedPlacement(t));
    ASSERT_EQ(ui.prompter.messages.size(), 1);
    EXPECT_EQ(ui.prompter.messages[0],
              "現在のﾍﾟｰｼﾞは \"下書き1\"  から参照されています\r"
              "現在のﾍﾟｰｼﾞから \"付録\"  へNavigate されています\r\r" +
                  msg::confirmDelete());
    EXPECT_TRUE(placed(1001, 1002));

    EXPECT_TRUE(deleteSelectedPlacement(t));
    EXPECT_FALSE(placed(1001, 1002));
    EXPECT_TRUE(placed(1002, 1005));
    EXPECT_EQ(count("Select Count(*) From msDoc Where noDoc=1002"), 1);
    EXPECT_FALSE(node(t, "第1章", top(t)).isValid());
    // The last placement gone, the page is still found by the search.
    t.find("arbor 本文");
    ASSERT_EQ(t.findList()->rowCount(), 1);
    EXPECT_EQ(t.findList()->index(0, 0).data(PageRole).toInt(), 1002);
    expectInvariants();
}

TEST_P(EditTest, DeletingThePlacementOfTheShownPageLeavesNoPageOpen) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    const QModelIndex chapter = node(t, "第1章", top(t));
    t.openNode(chapter);
    t.selectNode(node(t, "第1章", top(t)));
    t.SetTmpKy();  // the main window shows this page
    EventLog log(t);

    // The user cancels the editor's save question: nothing is deleted.
    log.cancelMove = true;
    EXPECT_FALSE(deleteSelectedPlacement(t));
    EXPECT_TRUE(placed(1001, 1002));
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
    EXPECT_TRUE(log.only("eSetDoc").isEmpty());

    log.cancelMove = false;
    log.events.clear();
    ASSERT_TRUE(deleteSelectedPlacement(t));
    EXPECT_FALSE(placed(1001, 1002));
    EXPECT_EQ(log.events.first(), "eChkMove");
    EXPECT_EQ(log.only("eSetDoc"), QStringList({"eSetDoc:|||3|0"}));
    EXPECT_TRUE(t.currentKey().isEmpty());

    // Another node's placement leaves the shown page alone.
    t.openNode(top(t));
    t.selectNode(node(t, "お知らせ", top(t)));
    t.SetTmpKy();
    t.selectNode(node(t, "保護ページ", top(t)));
    log.events.clear();
    ASSERT_TRUE(deleteSelectedPlacement(t));
    EXPECT_TRUE(log.only("eSetDoc").isEmpty());
    EXPECT_FALSE(log.events.contains("eChkMove"));
    expectInvariants();
}

TEST_P(EditTest, DeletingTheHomeMakesTheOldestLinkTheHome) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    t.openNode(node(t, "第1章", top(t)));
    t.selectNode(node(t, "付録", node(t, "第1章", top(t))));
    ASSERT_TRUE(deleteSelectedPlacement(t));
    EXPECT_EQ(link(1007, 1005), 0);  // dyUdt 2024-02-01, older than the top-level link
    EXPECT_EQ(link(0, 1005), 1);
    // The reload shows the new kinds.
    EXPECT_TRUE(key(node(t, "付録top")).startsWith("L"));
    EXPECT_EQ(image(node(t, "付録top")), "lklef");
    expectInvariants();
}

TEST_P(EditTest, MovingAndRenumberingWritesDenseOrderInDisplayOrder) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    exec("Delete From tbTree Where noLfC=1099");
    const QModelIndex guarded = node(t, "保護ページ", top(t));
    t.selectNode(guarded);
    t.trMove(false);
    t.trMove(false);
    EXPECT_EQ(labels(t, top(t)), QStringList({"保護ページ", "第1章", "お知らせ"}));
    EXPECT_EQ(orderOf(1001), QStringList({"1002:0", "1003:1", "1007:2"}));  // nothing yet
    EXPECT_TRUE(t.renumberPending());
    // Moving the top node down; its children are read again later.
    t.selectNode(top(t));
    t.trMove(true);
    EXPECT_EQ(labels(t), QStringList({"下書き", "トップ", "付録top"}));
    EXPECT_EQ(t.model()->rowCount(node(t, "トップ")), 0);  // pending order written first
    EXPECT_EQ(orderOf(1001), QStringList({"1007:0", "1002:1", "1003:2"}));
    t.trSort();
    EXPECT_FALSE(t.renumberPending());
    EXPECT_EQ(orderOf(0), QStringList({"1008:0", "1001:1", "1005:2"}));
    // Tag nodes keep their place in the count but are not written.
    t.openNode(node(t, "下書き"));
    t.selectNode(node(t, "下書き"));
    t.TagTree("1002", "第1章");
    t.selectNode(node(t, "下書き1", node(t, "下書き")));
    t.trMove(true);
    t.trSort();
    EXPECT_EQ(labels(t, node(t, "下書き")), QStringList({"第1章", "下書き1"}));
    EXPECT_EQ(orderOf(1008), QStringList({"1009:1"}));
    expectInvariants();
}

TEST_P(EditTest, RenamingChangesOnePlacementAndIgnoresEmptyLabels) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    const QModelIndex appendix = node(t, "付録top");
    EXPECT_TRUE(t.finishLabelEdit(appendix, "  付録 <改> "));
    EXPECT_EQ(appendix.data().toString(), "付録改");
    EXPECT_EQ(label(0, 1005), "付録改");
    EXPECT_EQ(label(1002, 1005), "付録");
    EXPECT_EQ(count("Select Count(*) From msDoc Where szDoc='付録'"), 1);
    for (const QString& empty : {QString("   "), QString("\"'&<> "), QString("　　")}) {
        EXPECT_FALSE(t.finishLabelEdit(appendix, empty));
        EXPECT_EQ(label(0, 1005), "付録改");
        EXPECT_EQ(appendix.data().toString(), "付録改");
    }
    // Tag nodes, the placeholder and the root are not placements.
    t.selectNode(top(t));
    t.TagTree("1005", "付録");
    EXPECT_FALSE(t.canEditLabel(t.selectedIndex()));
    t.trNew(0, "");
    EXPECT_FALSE(t.canEditLabel(t.selectedIndex()));
    expectInvariants();
}

TEST_P(EditTest, TheHomePlacementMovesAndEveryNodeOfThePageFollows) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    t.openNode(node(t, "保護ページ", top(t)));
    t.openNode(node(t, "第1章", top(t)));
    t.selectNode(node(t, "付録top"));
    t.StOrgn(true);
    EXPECT_EQ(link(0, 1005), 0);
    EXPECT_EQ(link(1002, 1005), 1);
    EXPECT_EQ(link(1007, 1005), 1);
    EXPECT_TRUE(key(node(t, "付録top")).startsWith("N"));
    EXPECT_EQ(image(node(t, "付録top")), "ndlef");
    EXPECT_EQ(image(node(t, "付録", node(t, "第1章", top(t)))), "lklef");
    // Without the flag the lowest other parent becomes the home.
    t.StOrgn(false);
    EXPECT_EQ(link(1002, 1005), 0);
    EXPECT_EQ(link(0, 1005), 1);
    EXPECT_TRUE(key(node(t, "付録", node(t, "第1章", top(t)))).startsWith("N"));
    EXPECT_EQ(pagesWithoutOneHome(), QStringList());
}

TEST_P(EditTest, MarkingsHiddenAncestorsAndCollectingPages) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    t.openNode(node(t, "下書き"));
    const QString childKey = key(node(t, "下書き1", node(t, "下書き")));
    EXPECT_TRUE(t.ChkHideNode(childKey));
    EXPECT_FALSE(t.ChkHideNode(key(top(t))));
    t.selectNode(top(t));
    t.HogoNode(true);
    EXPECT_EQ(top(t).data(ForeColourRole).toInt(), 192);
    t.HideNode(true);
    EXPECT_EQ(top(t).data(BackColourRole).toInt(), kHiddenBack);
    t.HogoNode(false);
    t.HideNode(false);
    EXPECT_EQ(top(t).data(ForeColourRole).toInt(), 0);
    // Turning a page into a collecting page drops its shown children.
    t.selectNode(node(t, "下書き"));
    t.CngCod(true);
    EXPECT_EQ(count("Select boCod From msDoc Where noDoc=1008"), 1);
    EXPECT_EQ(image(node(t, "下書き")), "ndcod");
    EXPECT_EQ(t.model()->rowCount(node(t, "下書き")), 0);
    t.CngCod(false);
    EXPECT_EQ(image(node(t, "下書き")), "ndcls");
}

TEST_P(EditTest, ANewPlacementStandsInItsPlaceAsSoonAsItIsStored) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    {
        PageTree t;
        openSample(t);
        exec("Delete From tbTree Where noLfC=1099");
        // A new page saved after 第1章.
        t.selectNode(node(t, "第1章", top(t)));
        t.trNew(1, "");
        page(2001, "新しい節");
        t.UdtNd("新しい節", "", "2001");
        // A placement of an existing page pasted after お知らせ.
        t.selectNode(node(t, "お知らせ", top(t)));
        t.trIns(-1, "孤立", "1011");
        EXPECT_FALSE(t.renumberPending());
        // The program dies here: nothing renumbers on close.
        db.D_Close();
    }
    bool ok = false;
    db.D_StDcDb(doc->path(), ok);
    ASSERT_TRUE(ok) << db.lastError().toStdString();
    EXPECT_EQ(orderOf(1001), QStringList({"1002:0", "2001:1", "1003:2", "1011:3", "1007:4"}));
    PageTree again;
    again.SetNodes("0", false);
    again.openNode(node(again, "トップ"));
    EXPECT_EQ(labels(again, node(again, "トップ")),
              QStringList({"第1章", "新しい節", "お知らせ", "孤立", "保護ページ"}));
    // Every sibling written with its order is stamped.
    EXPECT_EQ(count("Select Count(*) From tbTree Where noLfP=1001 And dyUdt Is Null"), 0);
    expectInvariants();
}

TEST_P(EditTest, RenumberingManySiblingsWritesEveryOneTogether) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    PageTree t;
    openSample(t);
    const int n = 450;  // more siblings than one renumbering statement takes
    db.D_Tran(0);
    for (int i = 0; i < n; ++i) {
        page(3000 + i, QString("p%1").arg(i));
        place(1008, 3000 + i, i + 1, QString("p%1").arg(i));
    }
    db.D_Tran(1);
    const QModelIndex draft = node(t, "下書き");
    t.openNode(draft);
    ASSERT_EQ(t.model()->rowCount(draft), n + 1);
    t.selectNode(t.model()->index(n, 0, draft));  // the last one moves up one place
    t.trMove(false);
    t.trSort();
    QStringList expected({"1009:0"});
    for (int i = 0; i < n - 2; ++i)
        expected << QString("%1:%2").arg(3000 + i).arg(i + 1);
    expected << QString("%1:%2").arg(3000 + n - 1).arg(n - 1)
             << QString("%1:%2").arg(3000 + n - 2).arg(n);
    EXPECT_EQ(orderOf(1008), expected);
    EXPECT_EQ(count("Select Count(*) From tbTree Where noLfP=1008 And dyUdt Is Null"), 0);
    // Other parents are not touched.
    EXPECT_EQ(orderOf(1001), QStringList({"1002:0", "1003:1", "1007:2", "1099:3"}));
    expectInvariants();
}

ARBOR_INSTANTIATE_ENGINES(EditTest);

}  // namespace
