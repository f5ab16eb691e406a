// Bulk copy, move and delete of child placements, and the reverse lookup tree.
#include "db/result_array.h"
#include "tree/bulk_transfer.h"
#include "tree/node_key.h"
#include "tree/reverse_tree.h"
#include "tree/tree_fixture.h"
#include "tree/tree_messages.h"

using namespace arbor;
using namespace arbor::tree;

namespace {

class BulkTest : public arbor::test::TreeTest {
  protected:
    void expectInvariants() {
        EXPECT_EQ(duplicatePairs(), QStringList());
        EXPECT_EQ(pagesWithoutOneHome(), QStringList());
    }
    // Unmarks the child with this label in the check-box list.
    static void unmark(BulkTransfer& bulk, const QString& label) {
        QStandardItem* top = bulk.checklist()->item(0);
        for (int r = 0; r < top->rowCount(); ++r)
            if (top->child(r)->text() == label)
                top->child(r)->setCheckState(Qt::Unchecked);
    }
};

TEST_P(BulkTest, TheListShowsTheSourceAndItsChildrenAllMarked) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    BulkTransfer bulk;
    bulk.fill({0, 1001});
    QStandardItem* top = bulk.checklist()->item(0);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->text(), "トップ");
    EXPECT_EQ(top->rowCount(), 4);  // the placement of the missing page is listed too
    EXPECT_EQ(bulk.markedList(), "1002,1003,1007,1099");
    unmark(bulk, "お知らせ");
    EXPECT_EQ(bulk.markedList(), "1002,1007,1099");
    bulk.fill({0, 0});
    EXPECT_EQ(bulk.checklist()->item(0)->text(), "Root");
    EXPECT_EQ(bulk.markedList(), "1001,1008,1005");
}

TEST_P(BulkTest, DeleteRemovesOnlyTheMarkedPlacements) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    BulkTransfer bulk;
    bulk.fill({0, 1001});
    unmark(bulk, "お知らせ");
    unmark(bulk, "行方不明");
    ui.prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(bulk.run(BulkCommand::Delete, {0, 1001}, {}, false).ran);
    EXPECT_TRUE(placed(1001, 1002));
    const BulkResult r = bulk.run(BulkCommand::Delete, {0, 1001}, {}, false);
    EXPECT_EQ(r.written, 2);
    EXPECT_EQ(orderOf(1001), QStringList({"1003:1", "1099:3"}));
    // Pages and their own children stay.
    EXPECT_EQ(count("Select Count(*) From msDoc Where noDoc In (1002, 1007)"), 2);
    EXPECT_TRUE(placed(1002, 1005));
    expectInvariants();
}

TEST_P(BulkTest, MoveKeepsFlagsAppendsAndSkipsPagesAlreadyThere) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    page(1012, "既存");
    place(1008, 1012, 5, "既存");
    place(1001, 1012, 7, "既存も");  // also below 1001: a pair the move must not repeat
    BulkTransfer bulk;
    bulk.fill({0, 1001});
    unmark(bulk, "行方不明");
    unmark(bulk, "第1章");
    ui.prompter.messages.clear();
    const BulkResult r = bulk.run(BulkCommand::Move, {0, 1001}, {0, 1008}, false);
    EXPECT_TRUE(r.ran);
    EXPECT_EQ(r.skipped, QStringList({"既存も"}));
    ASSERT_EQ(ui.prompter.messages.size(), 1);
    EXPECT_TRUE(ui.prompter.messages[0].startsWith(msg::bulkSkippedHead()));
    EXPECT_EQ(orderOf(1008), QStringList({"1009:0", "1012:5", "1003:6", "1007:7"}));
    EXPECT_EQ(count("Select boHogo From tbTree Where noLfP=1008 And noLfC=1007"), 1);
    EXPECT_EQ(label(1008, 1003), "お知らせ");
    // Moved rows left the source; the skipped one stayed.
    EXPECT_EQ(orderOf(1001), QStringList({"1002:0", "1099:3", "1012:7"}));
    expectInvariants();
    // Moving a page below its own child is refused for that page.
    bulk.fill({0, 0});
    unmark(bulk, "トップ");
    unmark(bulk, "付録top");
    const BulkResult loop = bulk.run(BulkCommand::Move, {0, 0}, {1008, 1009}, false);
    EXPECT_EQ(loop.skipped, QStringList({"下書き"}));
    EXPECT_TRUE(placed(0, 1008));
    expectInvariants();
}

TEST_P(BulkTest, CopyAsLinksAddsLinksOnceAndAsksBelowALink) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    exec("Update tbTree Set inSrt=101 Where noLfP=1003 And noLfC=1010");
    BulkTransfer bulk;
    bulk.fill({1001, 1003});
    // The destination 1005 (top level) is a link: the question comes first.
    ui.prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(bulk.run(BulkCommand::CopyLink, {1001, 1003}, {0, 1005}, false).ran);
    EXPECT_EQ(count("Select Count(*) From tbTree Where noLfP=1005"), 0);
    ui.prompter.messages.clear();
    BulkResult r = bulk.run(BulkCommand::CopyLink, {1001, 1003}, {0, 1005}, false);
    EXPECT_EQ(r.written, 2);
    EXPECT_EQ(ui.prompter.messages, QStringList({msg::bulkIsLink()}));
    EXPECT_EQ(orderOf(1005), QStringList({"1004:0", "1010:1"}));
    EXPECT_EQ(link(1005, 1004), 1);
    EXPECT_EQ(link(1003, 1004), 0);
    r = bulk.run(BulkCommand::CopyLink, {1001, 1003}, {0, 1005}, false);
    EXPECT_EQ(r.written, 0);
    EXPECT_EQ(r.skipped.size(), 2);
    expectInvariants();
}

TEST_P(BulkTest, CopyAsNewPagesCopiesContentAndOptionallyLinksChildren) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    const QByteArray bytes("\x00\x01rich\xff", 7);
    ASSERT_TRUE(db.execBound("Update msDoc Set obDoc=? Where noDoc=1002", {bytes}));
    BulkTransfer bulk;
    bulk.fill({0, 1001});
    for (const char* l : {"お知らせ", "保護ページ", "行方不明"})
        unmark(bulk, l);
    BulkResult r = bulk.run(BulkCommand::CopyNew, {0, 1001}, {0, 1008}, false);
    ASSERT_EQ(r.newPages, QVector<int>({1012}));
    EXPECT_EQ(label(1008, 1012), "第1章");
    EXPECT_EQ(link(1008, 1012), 0);
    EXPECT_EQ(count("Select Count(*) From tbTree Where noLfP=1012"), 0);  // childless
    ResultArray row;
    ASSERT_TRUE(
        db.readRows("Select szDoc, txDoc, obDoc, saTgs, boUse, wkRnd, dyUdt From msDoc "
                    "Where noDoc=1012",
                    row));
    ASSERT_EQ(row.rowCount(), 1);
    EXPECT_EQ(row(0, 0).toString(), "第1章");
    EXPECT_EQ(row(1, 0).toString(), "本文 arbor 100% 確実");
    EXPECT_EQ(row(2, 0).toByteArray(), bytes);
    EXPECT_EQ(row(3, 0).toString(), ".1005.");
    EXPECT_EQ(row(4, 0).toInt(), 1);
    EXPECT_NE(row(5, 0).toDouble(), 1002 * 7.0);
    EXPECT_FALSE(row(6, 0).isNull());
    // With links to the children: a shallow copy.
    r = bulk.run(BulkCommand::CopyNew, {0, 1001}, {0, 1008}, true);
    ASSERT_EQ(r.newPages, QVector<int>({1013}));
    EXPECT_EQ(orderOf(1013), QStringList({"1005:0"}));
    EXPECT_EQ(link(1013, 1005), 1);
    EXPECT_EQ(count("Select Count(*) From msDoc Where noDoc=1005"), 1);
    expectInvariants();
}

TEST_P(BulkTest, TheReverseTreeWalksUpThroughEveryPlacement) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    place(1008, 1005, 3, "付録3");
    ReverseTree rev;
    QStringList chosen;
    QObject::connect(&rev, &ReverseTree::pageChosen, [&](const QString& text, int page) {
        chosen << text + ":" + QString::number(page);
    });
    rev.search("付録");
    ASSERT_EQ(rev.model()->rowCount(), 1);
    const QModelIndex appendix = rev.model()->index(0, 0);
    EXPECT_EQ(appendix.data().toString(), "付録");
    EXPECT_EQ(image(appendix), "ndcls");
    rev.open(appendix);
    EXPECT_EQ(chosen, QStringList({"付録:1005"}));
    // Three pages above 1005 by number; the top-level link adds no child.
    QStringList parents;
    for (int r = 0; r < rev.model()->rowCount(appendix); ++r)
        parents << rev.model()->index(r, 0, appendix).data().toString();
    EXPECT_EQ(parents, QStringList({"第1章", "保護ページ", "下書き"}));
    const QModelIndex chapter = rev.model()->index(0, 0, appendix);
    EXPECT_EQ(image(chapter), "ndcls");  // 1002 stands below 1001
    rev.model()->fetchMore(chapter);
    const QModelIndex top = rev.model()->index(0, 0, chapter);
    EXPECT_EQ(top.data().toString(), "トップ");
    EXPECT_EQ(image(top), "ndlef");  // only at the top level
    rev.open(top);
    EXPECT_EQ(rev.model()->rowCount(top), 0);
    // The whole text is one pattern; the history holds it once.
    rev.search("arbor 本文");
    EXPECT_EQ(rev.model()->rowCount(), 0);
    rev.search("付録");
    EXPECT_EQ(rev.history(), QStringList({"付録", "arbor 本文"}));
    // A followed tag adds its page once.
    rev.tgTree("x", "1002", "第1章");
    rev.tgTree("x", "1002", "第1章");
    EXPECT_EQ(rev.model()->rowCount(), 2);
    const PageContent content = readPageContent(1002);
    EXPECT_TRUE(content.found);
    EXPECT_EQ(content.title, "第1章");
    EXPECT_EQ(content.text, "本文 arbor 100% 確実");
    EXPECT_FALSE(readPageContent(4242).found);
}

ARBOR_INSTANTIATE_ENGINES(BulkTest);

}  // namespace
