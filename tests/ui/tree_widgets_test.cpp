// The wiring of the tree widgets, offscreen: mouse and keys reach the tree logic in
// the right order, the views follow the model, the menu holds its items, and the bulk
// and reverse lookup windows work on a real database.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeView>

#include "db/zsvr.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"
#include "tree/node_key.h"
#include "tree/tree_messages.h"
#include "ui/dialog_prompter.h"
#include "ui/page_tree_view.h"
#include "ui/sbrev.h"
#include "ui/sbtrret.h"
#include "ui/tree_menu.h"
#include "ui/utrx.h"

using namespace arbor;
using arbor::test::DbEngine;

namespace {

class TreeWidgetsTest : public ::testing::TestWithParam<DbEngine> {
  protected:
    test::PrompterFixture ui;
    zSvr& db = zSvr::instance();

    void exec(const QString& sql) {
        ASSERT_TRUE(db.D_ExeSq(sql)) << sql.toStdString() << ": " << db.lastError().toStdString();
    }
    //   0 > 1001 A > 1002 A1, 1003 A2 (> 1005 A2x);  0 > 1004 B;  1005 also below 1004 (link)
    void sample() {
        const char* pages[][3] = {{"1001", "A", "alpha text"},
                                  {"1002", "A1", "beta"},
                                  {"1003", "A2", "alpha beta"},
                                  {"1004", "B", "gamma"},
                                  {"1005", "A2x", "delta"}};
        for (auto& p : pages)
            exec(
                QString("Insert Into msDoc (noDoc, szDoc, txDoc, boCod) Values (%1, '%2', '%3', 0)")
                    .arg(p[0], p[1], p[2]));
        const char* rows[][5] = {
            {"0", "1001", "0", "A", "0"},      {"1001", "1002", "0", "A1", "0"},
            {"1001", "1003", "1", "A2", "0"},  {"0", "1004", "1", "B", "0"},
            {"1003", "1005", "0", "A2x", "0"}, {"1004", "1005", "0", "A2x", "1"}};
        for (auto& r : rows)
            exec(QString("Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk) Values (%1, %2, "
                         "%3, '%4', %5)")
                     .arg(r[0], r[1], r[2], r[3], r[4]));
    }
    // A shown control with the top level loaded and the events recorded.
    void showTree(ui::uTrX& w) {
        w.resize(300, 400);
        w.setOwnContextMenu(false);
        w.show();
        tree::PageTree* t = w.tree();
        QObject::connect(t, &tree::PageTree::eChkMove, [this](bool& cancel) {
            events << "eChkMove";
            cancel = cancelMove;
        });
        QObject::connect(
            t, &tree::PageTree::eSetDoc,
            [this](const QString& label, const QString& page, const QString&, int kind, bool) {
                events << QString("eSetDoc:%1|%2|%3").arg(label, page).arg(kind);
            });
        QObject::connect(t, &tree::PageTree::eFmMsg,
                         [this](const QString& s) { events << "eFmMsg:" + s; });
        QObject::connect(t, &tree::PageTree::eRightClick,
                         [this](bool onTree) { events << QString("eRightClick:%1").arg(onTree); });
        t->SetNodes("0", false);
        QApplication::processEvents();
    }
    static QModelIndex row(const QAbstractItemModel* m, int r, const QModelIndex& parent = {}) {
        return m->index(r, 0, parent);
    }
    static void click(QAbstractItemView* view, const QModelIndex& index,
                      Qt::MouseButton button = Qt::LeftButton) {
        view->scrollTo(index);
        const QPoint p = view->visualRect(index).center();
        const QPoint g = view->viewport()->mapToGlobal(p);
        QMouseEvent press(QEvent::MouseButtonPress, p, g, button, button, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, p, g, button, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &release);
        QApplication::processEvents();
    }
    static void key(QWidget* w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, k, mods);
        QApplication::sendEvent(w, &press);
        QApplication::processEvents();
    }

    QStringList events;
    bool cancelMove = false;
};

TEST_P(TreeWidgetsTest, AClickAsksFirstThenOpensAndACancelKeepsTheNode) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    ui::uTrX w;
    showTree(w);
    tree::PageTree* t = w.tree();
    click(w.trView(), row(t->model(), 0));
    EXPECT_EQ(events, QStringList({"eChkMove", "eSetDoc:A|1001|1"}));
    t->SetTmpKy();
    events.clear();
    cancelMove = true;
    click(w.trView(), row(t->model(), 1));
    EXPECT_EQ(events, QStringList({"eChkMove"}));
    EXPECT_EQ(t->SlctdKy(), t->currentKey());
    EXPECT_EQ(w.trView()->currentIndex(), row(t->model(), 0));
    // Enter opens the selected node; with Shift it does not.
    cancelMove = false;
    events.clear();
    w.trView()->setCurrentIndex(row(t->model(), 1));
    key(w.trView(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(events, QStringList());
    key(w.trView(), Qt::Key_Return);
    EXPECT_EQ(events, QStringList({"eChkMove", "eSetDoc:B|1004|1"}));
}

TEST_P(TreeWidgetsTest, TheViewAndTheModelShareExpansionAndReadOneLevel) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    ui::uTrX w;
    showTree(w);
    tree::PageTree* t = w.tree();
    const QModelIndex a = row(t->model(), 0);
    w.trView()->expand(a);
    QApplication::processEvents();
    EXPECT_EQ(t->model()->rowCount(a), 2);
    EXPECT_TRUE(a.data(tree::ExpandedRole).toBool());
    EXPECT_EQ(a.data(tree::ImageRole).toString(), "ndopn");
    EXPECT_EQ(t->model()->rowCount(row(t->model(), 1, a)), 0);  // A2's children wait
    w.trView()->collapse(a);
    EXPECT_EQ(a.data(tree::ImageRole).toString(), "ndcls");
    // Revealing from the logic opens the view along the way.
    t->SetLeaf("1005");
    EXPECT_TRUE(w.trView()->isExpanded(a));
    EXPECT_TRUE(w.trView()->isExpanded(row(t->model(), 1, a)));
    EXPECT_EQ(w.trView()->currentIndex().data().toString(), "A2x");
}

TEST_P(TreeWidgetsTest, TheContextMenuHoldsItsItemsAndFollowsTheSelection) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    ui::uTrX w;
    showTree(w);
    tree::PageTree* t = w.tree();
    ui::TreeMenu* menu = w.mnTree();
    QStringList captions;
    for (QAction* a : menu->menu()->actions())
        captions << (a->isSeparator() ? QString("-") : a->text());
    ASSERT_EQ(captions.size(), ui::TreeMenu::kItems);
    for (int i = 0; i < ui::TreeMenu::kItems; ++i)
        EXPECT_EQ(captions[i], tree::msg::treeMenuCaption(i).isEmpty()
                                   ? QString("-")
                                   : tree::msg::treeMenuCaption(i))
            << i;
    // A right click selects the node under the pointer without opening it.
    const QModelIndex b = row(t->model(), 1);
    const QPoint p = w.trView()->visualRect(b).center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, p,
                                w.trView()->viewport()->mapToGlobal(p));
    QApplication::sendEvent(w.trView()->viewport(), &menuEvent);
    EXPECT_EQ(events, QStringList({"eRightClick:1"}));
    EXPECT_EQ(t->SlctdKy(), b.data(tree::KeyRole).toString());
    menu->updateFor(*t);
    EXPECT_TRUE(menu->item(4)->isEnabled());   // B has a previous sibling
    EXPECT_FALSE(menu->item(5)->isEnabled());  // and no next one
    for (int later : {11, 14, 15, 20, 24})
        EXPECT_FALSE(menu->item(later)->isEnabled()) << later;
    EXPECT_FALSE(menu->pasteExisting()->isEnabled());
    // Copies appear as paste items, newest first.
    t->trCopy(false);
    t->selectNode(row(t->model(), 0));
    t->trCopy(false);
    QStringList clips;
    for (QAction* a : menu->clipItems())
        clips << a->text();
    EXPECT_EQ(clips, QStringList({"A", "B"}));
    // Menu items reach the tree: move down, then rename starts an editor.
    menu->item(5)->trigger();  // still disabled from B's popup: nothing happens
    EXPECT_EQ(row(t->model(), 0).data().toString(), "A");
    menu->updateFor(*t);
    menu->item(5)->trigger();
    EXPECT_EQ(row(t->model(), 1).data().toString(), "A");
    menu->item(18)->trigger();
    EXPECT_NE(w.trView()->findChild<QLineEdit*>(), nullptr);  // the label editor is open
}

TEST_P(TreeWidgetsTest, ALabelEditIsWrittenOrRefusedByTheTree) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    ui::uTrX w;
    showTree(w);
    tree::PageTree* t = w.tree();
    const QModelIndex b = row(t->model(), 1);
    t->selectNode(b);
    auto commit = [&](const QString& text) {
        t->StratEdt();
        auto* editor = w.trView()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        key(editor, Qt::Key_Return);
    };
    commit("B <new>");
    EXPECT_EQ(b.data().toString(), "Bnew");
    EXPECT_EQ(db.R_GtVaL("Select szDoc From tbTree Where noLfP=0 And noLfC=1004", "").toString(),
              "Bnew");
    commit("<>&");
    EXPECT_EQ(b.data().toString(), "Bnew");
}

TEST_P(TreeWidgetsTest, TabsSearchAndRecentListsReachTheTree) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    ui::uTrX w;
    showTree(w);
    tree::PageTree* t = w.tree();
    w.tabs()->setCurrentIndex(1);
    EXPECT_EQ(t->iTabNo(), 2);
    EXPECT_EQ(events.last(), "eFmMsg:" + tree::msg::frameFind());
    w.cmbFind()->setCurrentText("alpha");
    w.cmdFind()->click();
    EXPECT_EQ(w.lsFind()->model()->rowCount(), 2);
    EXPECT_EQ(events.last(), "eFmMsg:２ 件候補がありました");
    w.cmbFind()->setCurrentText("beta");
    key(w.cmbFind()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w.cmbFind()->count(), 2);
    events.clear();
    click(w.lsFind(), w.lsFind()->model()->index(0, 0));
    EXPECT_EQ(events, QStringList({"eChkMove", "eSetDoc:A1|1002|2"}));
    t->SetFrame(3);
    EXPECT_EQ(w.tabs()->currentIndex(), 2);
    t->SetRcnt("1004", "B");
    events.clear();
    click(w.lsRsnt(), w.lsRsnt()->model()->index(0, 0));
    EXPECT_EQ(events, QStringList({"eChkMove", "eSetDoc:B|1004|2"}));
    t->SetRcntLst("一覧", "tip", "Select szDoc, noDoc From msDoc Where noDoc=1001");
    EXPECT_EQ(w.tabs()->tabText(2), "一覧");
    EXPECT_FALSE(w.recentClear()->isVisible());
}

TEST_P(TreeWidgetsTest, TheBulkWindowCopiesLinksBelowThePickedNode) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    ui::uTrX w;
    showTree(w);
    tree::PageTree* t = w.tree();
    t->openNode(row(t->model(), 0));  // A: its children are the source
    ui::sbTrRet bulk(*t, 1);
    bulk.show();
    QApplication::processEvents();
    EXPECT_EQ(bulk.windowTitle(), tree::msg::bulkCaption());
    // The own tree has a root and shows the main tree's page.
    tree::PageTree* own = bulk.ownTree()->tree();
    EXPECT_TRUE(own->hasRoot());
    EXPECT_EQ(own->sGetLeaf(), "1001,0");
    QStandardItem* top = bulk.transfer().checklist()->item(0);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->text(), "A");
    EXPECT_EQ(top->rowCount(), 2);
    // Pick B in the own tree and copy both children there as links.
    own->openNode(own->nodesOfPage(1004).first());
    bulk.cmRet(2)->click();
    EXPECT_EQ(db.R_GtVaL("Select Count(*) From tbTree Where noLfP=1004", 0).toInt(), 3);
    EXPECT_EQ(db.R_GtVaL("Select boLnk From tbTree Where noLfP=1004 And noLfC=1002", -1).toInt(),
              1);
    // The delete mode works on the main node alone.
    ui::sbTrRet remove(*t, 2);
    remove.show();
    QApplication::processEvents();
    EXPECT_FALSE(remove.ownTree()->isVisible());
    EXPECT_FALSE(remove.cmRet(1)->isVisible());
    EXPECT_EQ(remove.cmRet(0)->text(), tree::msg::bulkDeleteCommand());
}

TEST_P(TreeWidgetsTest, TheReverseWindowSearchesWalksUpAndFollowsTags) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    ui::sbRev rev;
    rev.show();
    ui::uTrg* trg = rev.reverseTree();
    trg->cbFind()->setCurrentText("delta");
    trg->cmFind()->click();
    const QAbstractItemModel* m = trg->trView()->model();
    ASSERT_EQ(m->rowCount(), 1);
    click(trg->trView(), m->index(0, 0));
    EXPECT_EQ(rev.titleLabel()->text(), "A2x");
    EXPECT_EQ(rev.pageView()->toPlainText(), "delta");
    EXPECT_EQ(m->rowCount(m->index(0, 0)), 2);  // below A2 and below B
    emit rev.pageView()->anchorClicked(QUrl("TG_1004"));
    EXPECT_EQ(m->rowCount(), 2);
    EXPECT_EQ(rev.titleLabel()->text(), "B");
    emit rev.pageView()->anchorClicked(QUrl("http://example.com/"));
    EXPECT_EQ(m->rowCount(), 2);
}

TEST(TreeItemDelegateTest, OnlyALabelTooLongForThePanelIsCut) {
    arbor::ui::PageTreeView view;
    QStandardItemModel model;
    model.appendRow(new QStandardItem("短い"));
    model.appendRow(new QStandardItem(QString("とても長いページの題名").repeated(4)));
    view.setModel(&model);
    view.resize(180, 200);
    view.show();
    QApplication::processEvents();
    auto* delegate = qobject_cast<arbor::ui::TreeItemDelegate*>(view.itemDelegate());
    ASSERT_NE(delegate, nullptr);
    auto cut = [&](int row) {
        QStyleOptionViewItem option;
        option.initFrom(&view);
        option.rect = view.visualRect(model.index(row, 0));
        return delegate->isLabelCut(option, model.index(row, 0), &view);
    };
    EXPECT_FALSE(cut(0));
    EXPECT_TRUE(cut(1));
    view.resize(2000, 200);
    QApplication::processEvents();
    EXPECT_FALSE(cut(1));
}

TEST(DialogPrompterTest, CarriageReturnsBecomeLineBreaks) {
    EXPECT_EQ(ui::DialogPrompter::displayText("a\rb\r\nc\n"), "a\nb\nc\n");
}

ARBOR_INSTANTIATE_ENGINES(TreeWidgetsTest);

}  // namespace
