// Bad input and a database that refuses writes: a clear message, nothing lost, and
// a view that shows what the database holds.
#include <QFile>

#include "app/program_state.h"
#include "db/db_messages.h"
#include "tree/node_key.h"
#include "tree/tree_commands.h"
#include "tree/tree_fixture.h"
#include "tree/tree_messages.h"

using namespace arbor;
using namespace arbor::tree;
using arbor::test::DbEngine;
using arbor::test::EventLog;

namespace {

class BadInputTest : public arbor::test::TreeTest {
  protected:
    // The database is opened again read-only under a loaded tree.
    void reopenReadOnly(arbor::test::TestDocDb& doc) {
        if (GetParam() == DbEngine::SQLite) {
            db.D_Close();
            QFile::setPermissions(doc.path(), QFile::ReadOwner | QFile::ReadGroup);
        } else {
            ASSERT_TRUE(doc.pg()->adminExec("ALTER DATABASE " + doc.pg()->name() +
                                            " SET default_transaction_read_only = on"));
        }
        bool ok = false;
        db.D_StDcDb(doc.path(), ok);
        ASSERT_TRUE(ok) << db.lastError().toStdString();
        ASSERT_TRUE(db.readOnly());
    }
    void restoreWritable(arbor::test::TestDocDb& doc) {
        if (GetParam() == DbEngine::SQLite)
            QFile::setPermissions(doc.path(), QFile::ReadOwner | QFile::WriteOwner);
    }
};

TEST_P(BadInputTest, UnusableNumbersAndTitlesChangeNothing) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);
    t.openNode(node(t, "トップ"));
    const int rows = count("Select Count(*) From tbTree");
    // A page number without a page row, text for a number, an empty clipboard slot.
    t.trIns(-1, "ghost", "9999");
    EXPECT_EQ(ui.prompter.messages, QStringList({tree::msg::noSuchPage(9999)}));
    t.trIns(-1, "x", "abc");
    t.trIns(7, "x", "*");
    EXPECT_EQ(count("Select Count(*) From tbTree"), rows);
    EXPECT_EQ(t.model()->rowCount(node(t, "トップ")), 3);
    // A title made only of removed characters commits nothing.
    t.trNew(2, "");
    t.UdtNd(" <>&\"' ", "", "1012");
    EXPECT_TRUE(t.hasPendingNewNode());
    t.UdtNd("ok", "", "12abc");
    EXPECT_TRUE(t.hasPendingNewNode());
    EXPECT_EQ(count("Select Count(*) From tbTree"), rows);
    // Keys from outside.
    t.SetNodes("N1-", false);
    t.SetLeaf(",,");
    EXPECT_EQ(t.GetPrCdNo("nokey").page, QString());
    EXPECT_FALSE(t.trNdDL("nokey", QString()));
}

TEST_P(BadInputTest, AReadOnlyDatabaseRefusesEveryChangeWithOneMessageEach) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);
    t.openNode(node(t, "トップ"));
    t.setExpanded(node(t, "トップ"), true);
    t.selectNode(node(t, "保護ページ", node(t, "トップ")));
    t.trMove(false);  // pending order, written later
    t.selectNode(node(t, "第1章", node(t, "トップ")));
    t.trCopy(false);
    t.trNew(2, "");
    reopenReadOnly(*doc);
    const QString readOnly = arbor::msg::readOnlyDatabase();

    // The placeholder stays for a later save.
    t.UdtNd("新規", "", "1012");
    EXPECT_TRUE(t.hasPendingNewNode());
    EXPECT_EQ(ui.prompter.messages, QStringList({readOnly}));
    ui.prompter.messages.clear();
    // A label edit is refused and the label stays.
    const QModelIndex appendix = node(t, "付録top");
    EXPECT_FALSE(t.finishLabelEdit(appendix, "別名"));
    EXPECT_EQ(appendix.data().toString(), "付録top");
    EXPECT_EQ(ui.prompter.messages, QStringList({readOnly}));
    ui.prompter.messages.clear();
    // A paste adds no node.
    t.selectNode(node(t, "下書き"));
    const int top = t.model()->rowCount();
    t.trIns(0, "第1章", "*");
    EXPECT_EQ(t.model()->rowCount(), top);
    EXPECT_EQ(ui.prompter.messages, QStringList({readOnly}));
    ui.prompter.messages.clear();
    // A delete keeps the node.
    t.selectNode(node(t, "下書き"));
    EXPECT_FALSE(deleteSelectedPlacement(t));
    EXPECT_TRUE(node(t, "下書き").isValid());
    EXPECT_EQ(ui.prompter.messages.size(), 2);  // the question, then the refusal
    EXPECT_EQ(ui.prompter.messages.last(), readOnly);
    ui.prompter.messages.clear();
    // The pending order cannot be written: the view shows the stored order again.
    t.trSort();
    EXPECT_EQ(ui.prompter.messages, QStringList({readOnly}));
    EXPECT_EQ(labels(t), QStringList({"トップ", "下書き", "付録top"}));
    EXPECT_EQ(labels(t, node(t, "トップ")), QStringList({"第1章", "お知らせ", "保護ページ"}));
    EXPECT_FALSE(t.renumberPending());
    restoreWritable(*doc);
}

TEST_P(BadInputTest, ADatabaseThatTurnsReadOnlyShowsTheReadOnlyMessage) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    sample();
    PageTree t;
    t.SetNodes("0", false);
    t.openNode(node(t, "トップ"));
    t.setExpanded(node(t, "トップ"), true);
    // The connection stays open; the server or file starts refusing writes.
    ASSERT_TRUE(db.D_ExeSq(GetParam() == DbEngine::SQLite
                               ? QString("PRAGMA query_only = 1")
                               : QString("Set default_transaction_read_only = on")))
        << db.lastError().toStdString();
    ASSERT_FALSE(db.readOnly());
    t.selectNode(node(t, "保護ページ", node(t, "トップ")));
    t.trMove(false);
    t.trSort();
    EXPECT_EQ(ui.prompter.messages, QStringList({arbor::msg::readOnlyDatabase()}));
    EXPECT_EQ(labels(t, node(t, "トップ")), QStringList({"第1章", "お知らせ", "保護ページ"}));
    EXPECT_EQ(orderOf(1001), QStringList({"1002:0", "1003:1", "1007:2", "1099:3"}));
    ui.prompter.messages.clear();
    EXPECT_FALSE(t.finishLabelEdit(node(t, "付録top"), "別名"));
    EXPECT_EQ(label(0, 1005), "付録top");
    EXPECT_EQ(ui.prompter.messages, QStringList({arbor::msg::readOnlyDatabase()}));
}

ARBOR_INSTANTIATE_ENGINES(BadInputTest);

}  // namespace
