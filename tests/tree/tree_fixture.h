#pragma once
// A small collection on a real document database, and helpers that read the
// tree table back and check the invariants the page tree keeps.
//
//   0 ─┬─ 1001 トップ            inSrt 0
//      │    ├─ 1002 第1章          0      (tags 1005)
//      │    │    └─ 1005 付録        0   home, saved first
//      │    ├─ 1003 お知らせ        1   collecting page
//      │    │    ├─ 1004 お知らせA   100 saved 2024-04-20
//      │    │    └─ 1010 お知らせB   100 saved 2023-12-24
//      │    ├─ 1007 保護ページ      2   protected
//      │    │    └─ 1005 付録リンク  0   link
//      │    └─ 1099 (no page row)  3
//      ├─ 1008 下書き             1      hidden
//      │    └─ 1009 下書き1          0   (tags 1005 and 1002)
//      └─ 1005 付録top            2      link
//   1011 孤立: a page without placement.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QStringList>

#include "db/zsvr.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"
#include "tree/page_tree.h"

namespace arbor::test {

class TreeTest : public ::testing::TestWithParam<DbEngine> {
  protected:
    PrompterFixture ui;
    zSvr& db = zSvr::instance();

    void exec(const QString& sql);
    void page(int no, const QString& title, const QString& text = QString(),
              const QString& tags = QStringLiteral("."), int collecting = 0,
              const QString& saved = QString());
    void place(int parent, int child, int order, const QString& label, int link = 0, int hidden = 0,
               int isProtected = 0, const QString& when = QString());
    // The collection drawn above.
    void sample();

    int count(const QString& sql);
    QString label(int parent, int child);
    int link(int parent, int child);
    int order(int parent, int child);
    bool placed(int parent, int child);
    // The children of a page as "page:inSrt" in inSrt order.
    QStringList orderOf(int parent);
    // Pages placed more than once under one parent, and pages (with placements)
    // that do not have exactly one home placement: both must be empty.
    QStringList duplicatePairs();
    QStringList pagesWithoutOneHome();

    // Node helpers on a PageTree.
    static QModelIndex node(const tree::PageTree& t, const QString& label,
                            const QModelIndex& parent = QModelIndex());
    static QStringList labels(const tree::PageTree& t, const QModelIndex& parent = QModelIndex());
    static QString key(const QModelIndex& index);
    static QString image(const QModelIndex& index);
};

// Records the events of a PageTree in order, as "name:arguments".
class EventLog {
  public:
    explicit EventLog(tree::PageTree& tree);
    QStringList events;
    // The answer eChkMove gives (true cancels).
    bool cancelMove = false;
    QStringList only(const QString& name) const;
};

}  // namespace arbor::test
