#include "tree/tree_store.h"

#include <algorithm>

#include "app/prompter.h"
#include "db/db_messages.h"
#include "db/result_array.h"
#include "db/zsvr.h"

namespace arbor::tree {

namespace {

QString fill(QString sql, const QVariantList& values) {
    zSvr::instance().T_CnvSq(sql, values);
    return sql;
}

int readInt(const QString& sql, int defaultValue) {
    return zSvr::instance().R_GtVaL(sql, defaultValue).toInt();
}

bool exec(const QString& sql) {
    return zSvr::instance().D_ExeSq(sql);
}

bool flag(const QVariant& v) {
    return v.toInt() == 1;
}

QVector<LabelledPage> labelledPages(const QString& sql) {
    ResultArray rows;
    QVector<LabelledPage> out;
    if (!zSvr::instance().readRows(sql, rows))
        return out;
    out.reserve(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r)
        out.push_back({rows(0, r).toInt(), rows(1, r).toString()});
    return out;
}

QStringList firstColumn(const QString& sql) {
    ResultArray rows;
    QStringList out;
    if (zSvr::instance().readRows(sql, rows))
        for (int r = 0; r < rows.rowCount(); ++r)
            out << rows(0, r).toString();
    return out;
}

}  // namespace

QVector<LevelRow> readLevel(const QString& parentPage, bool* ok) {
    // Whether each page has children only chooses its image; it comes with the level
    // instead of one count per row, which costs a server a round trip each.
    const QString sql = fill(QStringLiteral("Select T.noLfC, T.szDoc, T.boLnk, D.boCod, T.boHogo, "
                                            "T.boHide, Exists (Select noLfP From tbTree C Where "
                                            "C.noLfP = T.noLfC) As hasChild From tbTree T, msDoc "
                                            "D Where T.noLfC = D.noDoc And T.noLfP = ? Order By "
                                            "T.inSrt "),
                             {parentPage});
    ResultArray rows;
    const bool ran = zSvr::instance().readRows(sql, rows);
    if (ok)
        *ok = ran;
    QVector<LevelRow> out;
    out.reserve(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r) {
        LevelRow row;
        row.page = rows(0, r).toInt();
        row.label = rows(1, r).toString();
        row.link = flag(rows(2, r));
        row.collecting = flag(rows(3, r));
        row.isProtected = flag(rows(4, r));
        row.hidden = flag(rows(5, r));
        row.hasChildren = flag(rows(6, r));
        out.push_back(row);
    }
    return out;
}

int childCount(int page) {
    return readInt(fill(QStringLiteral("Select Count(*) From tbTree Where noLfP= ?"), {page}), 0);
}

bool pageExists(int page) {
    return readInt(fill(QStringLiteral("Select Count(*) From msDoc Where noDoc=?"), {page}), 0) > 0;
}

bool readNodeKind(const QString& parentPage, int page, bool& link, bool& collecting) {
    const QString sql =
        fill(QStringLiteral("Select T.boLnk, D.boCod From tbTree T, msDoc D Where T.noLfC = "
                            "D.noDoc And T.noLfP = ? And T.noLfC = ? "),
             {parentPage, page});
    ResultArray rows;
    if (!zSvr::instance().readRows(sql, rows) || rows.isEmpty())
        return false;
    link = flag(rows(0, 0));
    collecting = flag(rows(1, 0));
    return true;
}

int homeCount(int page) {
    return readInt(
        fill(QStringLiteral("Select Count(*) From tbTree Where boLnk=0 And noLfC=?"), {page}), 0);
}

bool isCollecting(int page) {
    return readInt(fill(QStringLiteral("Select boCod From msDoc Where noDoc=?"), {page}), 0) == 1;
}

int placementCount(const QString& parentPage, int page) {
    bool ok = false;
    const int n = zSvr::instance()
                      .readValue(fill(QStringLiteral("Select Count(*) From tbTree Where "
                                                     "noLfP=? and noLfC=?"),
                                      {parentPage, page}),
                                 0, ok)
                      .toInt();
    return ok ? n : -1;
}

int homeParent(int page) {
    return readInt(
        fill(QStringLiteral("Select noLfP From tbtree Where boLnk=0 And noLfC = ?"), {page}), -1);
}

int anyParent(int page) {
    return readInt(fill(QStringLiteral("Select nolfP From tbTree Where noLfC=?"), {page}), -1);
}

int otherParent(int page, const QString& parentPage) {
    return readInt(fill(QStringLiteral("Select Top 1 noLfP From tbTree Where noLfC=? And "
                                       "noLfP<> ? Order By noLfP"),
                        {page, parentPage}),
                   -1);
}

bool isHiddenPlacement(const QString& parentPage, int page) {
    return readInt(fill(QStringLiteral("Select boHide From tbTree Where noLfP=? And noLfC=?"),
                        {parentPage, page}),
                   0) == 1;
}

QStringList taggedByTitles(int page) {
    return firstColumn(
        fill(QStringLiteral("Select szDoc From msDoc Where saTgs like '%.?.%'"), {page}));
}

QStringList childLabels(int page) {
    return firstColumn(
        fill(QStringLiteral("Select szDoc From tbTree Where noLfP= ? Order By inSrt"), {page}));
}

QVector<LabelledPage> taggedByPages(int page) {
    return labelledPages(
        fill(QStringLiteral("Select noDoc, szDoc From msDoc Where saTgs like '%.?.%'"), {page}));
}

QVector<CollectedRow> collectedChildren(int page) {
    const QString sql = fill(QStringLiteral("Select T.noLfC, T.szDoc, D.dyUdt From tbTree T, "
                                            "msDoc D Where T.noLfC = D.noDoc And T.noLfP = ? "
                                            "Order By D.dyUdt Desc"),
                             {page});
    ResultArray rows;
    QVector<CollectedRow> out;
    if (!zSvr::instance().readRows(sql, rows))
        return out;
    for (int r = 0; r < rows.rowCount(); ++r)
        out.push_back({rows(0, r).toInt(), rows(1, r).toString(), rows(2, r).toDateTime()});
    return out;
}

QVector<ParentLabel> placementsOf(int page) {
    ResultArray rows;
    QVector<ParentLabel> out;
    if (!zSvr::instance().readRows(
            fill(QStringLiteral("Select noLfP, szDoc From tbTree Where noLfC=?"), {page}), rows))
        return out;
    for (int r = 0; r < rows.rowCount(); ++r)
        out.push_back({rows(0, r).toInt(), rows(1, r).toString()});
    return out;
}

QVector<LabelledPage> searchPages(const QStringList& words) {
    if (words.isEmpty())
        return labelledPages(QStringLiteral(" Select noDoc, szDoc From msDoc Order By szDoc "));
    QStringList conditions;
    for (const QString& w : words)
        conditions << fill(QStringLiteral("txDoc Like '%?%' "), {w});
    return labelledPages(QStringLiteral(" Select noDoc, szDoc From msDoc Where ") +
                         conditions.join(QStringLiteral(" And ")) +
                         QStringLiteral(" Order By szDoc "));
}

QString newPlacementStatement(const QString& parentPage, int page, int order,
                              const QString& label) {
    return fill(QStringLiteral(" Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, "
                               "boHide, boHogo) Values ( ?, ?, ?,'?', 0, 0, 0)"),
                {parentPage, page, order, label});
}

QString placementStatement(const QString& parentPage, int page, int order, const QString& label,
                           bool link) {
    return fill(QStringLiteral(" Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, "
                               "boHide, boHogo) Values (?, ?, ?, '?', ?, 0, 0)"),
                {parentPage, page, order, label, link ? 1 : 0});
}

QStringList renumberStatements(const QString& parentPage, const QVector<SiblingOrder>& order) {
    // Each statement joins the placements with a list of (page, position) pairs; full
    // chunks share one text, so the engine compiles it once.
    constexpr qsizetype kPerStatement = 10000;
    QStringList out;
    const QString now = SqlNow();
    for (qsizetype from = 0; from < order.size(); from += kPerStatement) {
        const qsizetype n = std::min<qsizetype>(kPerStatement, order.size() - from);
        QString sql =
            QStringLiteral(" Update tbTree Set inSrt = v.column2, dyUdt = ? From (Values ");
        QVariantList values;
        values.reserve(2 * n + 2);
        values << now;
        for (qsizetype i = from; i < from + n; ++i) {
            sql += i == from ? QStringLiteral("(?, ?)") : QStringLiteral(", (?, ?)");
            values << order[i].page << order[i].position;
        }
        sql += QStringLiteral(") As v Where tbTree.noLfP = ? And tbTree.noLfC = v.column1");
        values << parentPage;
        out << fill(sql, values);
    }
    return out;
}

bool insertCollectedPlacement(int collectingPage, int page, const QString& label) {
    return exec(fill(QStringLiteral(" Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, "
                                    "boHide, boHogo) Values ( ?, ?, 100,'?', 0, 0, 0)"),
                     {collectingPage, page, label}));
}

bool relabelPlacement(const QString& parentPage, int page, const QString& label) {
    return exec(fill(QStringLiteral("Update tbTree Set szDoc='?' Where noLfP=? And nolfC=? "),
                     {label, parentPage, page}));
}

bool renamePlacement(const QString& parentPage, int page, const QString& label) {
    return exec(fill(QStringLiteral("Update tbTree Set szDoc='?' Where noLfP=? and noLfC=?"),
                     {label, parentPage, page}));
}

bool deletePlacement(const QString& parentPage, int page) {
    return exec(fill(QStringLiteral(" Delete From tbTree Where noLfP = ? And noLfC = ? "),
                     {parentPage, page}));
}

bool makeHome(int homeParentPage, int page) {
    return exec(fill(QStringLiteral("Update tbTree Set boLnk=0 Where noLfP=? and noLfC=?"),
                     {homeParentPage, page})) &&
           exec(fill(QStringLiteral("Update tbTree Set boLnk=1 Where noLfP<>? and noLfC=?"),
                     {homeParentPage, page}));
}

bool setCollecting(int page, bool collecting) {
    return exec(fill(QStringLiteral("Update msDoc Set boCod = ? Where noDoc = ?"),
                     {collecting ? 1 : 0, page}));
}

bool stampPlacement(const QString& parentPage, int page) {
    bool ok = false;
    StampTreeDate(parentPage, page, ok, false);
    return ok;
}

void reportWriteFailure() {
    reportWriteFailure(zSvr::instance().lastError());
}

void reportWriteFailure(const QString& reason) {
    if (zSvr::instance().readOnly())
        return;  // DbRead has said so already
    const QString lower = reason.toLower();
    if (lower.contains(QLatin1String("readonly")) || lower.contains(QLatin1String("read-only")) ||
        lower.contains(QLatin1String("read only"))) {
        prompter().message(msg::readOnlyDatabase(), Severity::Warning);
        return;
    }
    prompter().message(QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽに書き込めませんでした") + u'\r' + reason,
                       Severity::Warning);
}

}  // namespace arbor::tree
