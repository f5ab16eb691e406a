#include "tree/tree_fixture.h"

#include "app/program_state.h"
#include "db/result_array.h"
#include "tree/tree_model.h"

namespace arbor::test {

using tree::KeyRole;

void TreeTest::exec(const QString& sql) {
    ASSERT_TRUE(db.D_ExeSq(sql)) << sql.toStdString() << ": " << db.lastError().toStdString();
}

void TreeTest::page(int no, const QString& title, const QString& text, const QString& tags,
                    int collecting, const QString& saved) {
    QString sql =
        "Insert Into msDoc (noDoc, szDoc, txDoc, saTgs, boCod, dyUdt, wkRnd, obDoc) Values (?, "
        "'?', '?', '?', ?, ?, ?, Null)";
    db.T_CnvSq(sql, {no, title, text, tags, collecting,
                     saved.isEmpty()
                         ? QString("Null")
                         : SqlDateLiteral(QDateTime::fromString(saved, Qt::ISODate), G().IsJet),
                     no * 7});
    exec(sql);
}

void TreeTest::place(int parent, int child, int order, const QString& label, int link, int hidden,
                     int isProtected, const QString& when) {
    QString sql =
        "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, boHogo, dyUdt) Values (?, "
        "?, ?, '?', ?, ?, ?, ?)";
    db.T_CnvSq(sql, {parent, child, order, label, link, hidden, isProtected,
                     when.isEmpty()
                         ? QString("Null")
                         : SqlDateLiteral(QDateTime::fromString(when, Qt::ISODate), G().IsJet)});
    exec(sql);
}

void TreeTest::sample() {
    page(1001, "トップ", "ようこそ arbor の世界へ");
    page(1002, "第1章", "本文 arbor 100% 確実", ".1005.");
    page(1003, "お知らせ", "お知らせの一覧", ".", 1);
    page(1004, "お知らせA", "春の知らせ", ".", 0, "2024-04-20T10:00:00");
    page(1005, "付録", "It's 付録 q_z");
    page(1007, "保護ページ", "保護");
    page(1008, "下書き", "下書き");
    page(1009, "下書き1", "qyz arbor", ".1005.1002.");
    page(1010, "お知らせB", "冬の知らせ", ".", 0, "2023-12-24T10:00:00");
    page(1011, "孤立", "孤立したページ arbor");
    place(0, 1001, 0, "トップ");
    place(1001, 1002, 0, "第1章");
    place(1002, 1005, 0, "付録", 0, 0, 0, "2024-01-01T00:00:00");
    place(1001, 1003, 1, "お知らせ");
    place(1003, 1004, 100, "お知らせA");
    place(1003, 1010, 100, "お知らせB");
    place(1001, 1007, 2, "保護ページ", 0, 0, 1);
    place(1007, 1005, 0, "付録リンク", 1, 0, 0, "2024-02-01T00:00:00");
    place(1001, 1099, 3, "行方不明");
    place(0, 1008, 1, "下書き", 0, 1);
    place(1008, 1009, 0, "下書き1");
    place(0, 1005, 2, "付録top", 1, 0, 0, "2024-03-01T00:00:00");
}

int TreeTest::count(const QString& sql) {
    bool ok = false;
    const int n = db.readValue(sql, -1, ok).toInt();
    EXPECT_TRUE(ok) << sql.toStdString() << ": " << db.lastError().toStdString();
    return n;
}

QString TreeTest::label(int parent, int child) {
    return db
        .R_GtVaL(
            QString("Select szDoc From tbTree Where noLfP=%1 And noLfC=%2").arg(parent).arg(child),
            "<none>")
        .toString();
}

int TreeTest::link(int parent, int child) {
    return db
        .R_GtVaL(
            QString("Select boLnk From tbTree Where noLfP=%1 And noLfC=%2").arg(parent).arg(child),
            -1)
        .toInt();
}

int TreeTest::order(int parent, int child) {
    return db
        .R_GtVaL(
            QString("Select inSrt From tbTree Where noLfP=%1 And noLfC=%2").arg(parent).arg(child),
            -1)
        .toInt();
}

bool TreeTest::placed(int parent, int child) {
    return count(QString("Select Count(*) From tbTree Where noLfP=%1 And noLfC=%2")
                     .arg(parent)
                     .arg(child)) == 1;
}

QStringList TreeTest::orderOf(int parent) {
    ResultArray rows;
    EXPECT_TRUE(db.readRows(
        QString("Select noLfC, inSrt From tbTree Where noLfP=%1 Order By inSrt, noLfC").arg(parent),
        rows));
    QStringList out;
    for (int r = 0; r < rows.rowCount(); ++r)
        out << rows(0, r).toString() + ":" + rows(1, r).toString();
    return out;
}

QStringList TreeTest::duplicatePairs() {
    ResultArray rows;
    EXPECT_TRUE(
        db.readRows("Select noLfP, noLfC, Count(*) From tbTree Group By noLfP, noLfC "
                    "Having Count(*) > 1",
                    rows));
    QStringList out;
    for (int r = 0; r < rows.rowCount(); ++r)
        out << rows(0, r).toString() + "-" + rows(1, r).toString();
    return out;
}

QStringList TreeTest::pagesWithoutOneHome() {
    ResultArray rows;
    EXPECT_TRUE(db.readRows("Select noLfC, Sum(1 - boLnk) From tbTree Group By noLfC", rows));
    QStringList out;
    for (int r = 0; r < rows.rowCount(); ++r)
        if (rows(1, r).toInt() != 1)
            out << rows(0, r).toString() + " homes " + rows(1, r).toString();
    return out;
}

QModelIndex TreeTest::node(const tree::PageTree& t, const QString& label,
                           const QModelIndex& parent) {
    const int rows = t.model()->rowCount(parent);
    for (int r = 0; r < rows; ++r) {
        const QModelIndex i = t.model()->index(r, 0, parent);
        if (i.data(Qt::DisplayRole).toString() == label)
            return i;
    }
    return {};
}

QStringList TreeTest::labels(const tree::PageTree& t, const QModelIndex& parent) {
    QStringList out;
    for (int r = 0; r < t.model()->rowCount(parent); ++r)
        out << t.model()->index(r, 0, parent).data(Qt::DisplayRole).toString();
    return out;
}

QString TreeTest::key(const QModelIndex& index) {
    return index.data(KeyRole).toString();
}

QString TreeTest::image(const QModelIndex& index) {
    return index.data(tree::ImageRole).toString();
}

EventLog::EventLog(tree::PageTree& t) {
    QObject::connect(&t, &tree::PageTree::eFmMsg,
                     [this](const QString& s) { events << "eFmMsg:" + s; });
    QObject::connect(&t, &tree::PageTree::eSetDoc,
                     [this](const QString& label, const QString& page, const QString& parent,
                            int kind, bool isProtected) {
                         events << QString("eSetDoc:%1|%2|%3|%4|%5")
                                       .arg(label, page, parent)
                                       .arg(kind)
                                       .arg(isProtected ? 1 : 0);
                     });
    QObject::connect(&t, &tree::PageTree::eFndWd,
                     [this](const QString& s) { events << "eFndWd:" + s; });
    QObject::connect(&t, &tree::PageTree::eChkMove, [this](bool& cancel) {
        events << "eChkMove";
        cancel = cancelMove;
    });
}

QStringList EventLog::only(const QString& name) const {
    QStringList out;
    for (const QString& e : events)
        if (e.startsWith(name + ":") || e == name)
            out << e;
    return out;
}

}  // namespace arbor::test
