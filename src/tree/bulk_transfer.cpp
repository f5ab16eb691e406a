#include "tree/bulk_transfer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <memory>

#include "app/progress.h"
#include "app/prompter.h"
#include "db/recordset.h"
#include "db/result_array.h"
#include "db/schema.h"
#include "db/zsvr.h"
#include "tree/node_key.h"
#include "tree/tree_messages.h"
#include "tree/tree_model.h"
#include "tree/tree_reach.h"
#include "tree/tree_store.h"

namespace arbor::tree {

namespace {

const QString kBulkColumns = QStringLiteral(
    "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boUse, boLnk, dyUdt, dyUdt_P, dyPub, "
    "boHide, boHogo)");

QString filled(QString sql, const QVariantList& values) {
    zSvr::instance().T_CnvSq(sql, values);
    return sql;
}

void stepDone(int done, int total) {
    progress().step(done, total);
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

bool isLinkPlacement(const PlacementRef& node) {
    if (node.page <= 0)
        return false;
    return zSvr::instance()
               .R_GtVaL(filled(QStringLiteral("Select boLnk From tbTree Where noLfP=? And noLfC=?"),
                               {node.parent, node.page}),
                        0)
               .toInt() == 1;
}

bool insertLinkRow(int parent, int page, int order, const QString& label) {
    const QString now = SqlNow();
    return zSvr::instance().D_ExeSq(
        filled(kBulkColumns + QStringLiteral(" Values (?, ?, ?, '?', 1, 1, ?, ?, Null, 0, 0)"),
               {parent, page, order, label, now, now}));
}

}  // namespace

BulkTransfer::BulkTransfer() = default;

void BulkTransfer::fill(const PlacementRef& source) {
    source_ = source;
    checklist_.clear();
    zSvr& db = zSvr::instance();
    const QString label =
        source.page == 0
            ? kRootText
            : db.R_GtVaL(
                    filled(QStringLiteral("Select szDoc From tbTree Where noLfP=? And noLfC=?"),
                           {source.parent, source.page}),
                    QString())
                  .toString();
    auto* top = TreeModel::makeNode(
        placementId(QString::number(source.parent), QString::number(source.page)), label,
        QStringLiteral("ndopn"));
    ResultArray rows;
    db.readRows(
        filled(QStringLiteral("Select noLfC, szDoc From tbTree Where noLfP=? Order By inSrt"),
               {source.page}),
        rows);
    for (int r = 0; r < rows.rowCount(); ++r) {
        const int page = rows(0, r).toInt();
        auto* child = TreeModel::makeNode(QString(), rows(1, r).toString(),
                                          imageFor(u'N', false, childCount(page) > 0));
        child->setData(page, PageRole);
        child->setCheckable(true);
        child->setCheckState(Qt::Checked);
        top->appendRow(child);
    }
    checklist_.appendRow(top);
}

QString BulkTransfer::markedList() const {
    QStringList pages;
    const QStandardItem* top = checklist_.item(0);
    for (int r = 0; top && r < top->rowCount(); ++r)
        if (top->child(r)->checkState() == Qt::Checked)
            pages << QString::number(top->child(r)->data(PageRole).toInt());
    return pages.join(u',');
}

BulkResult BulkTransfer::run(BulkCommand command, const PlacementRef& source,
                             const PlacementRef& destination, bool linkChildren) {
    BulkResult result;
    // A page's children are shared by all its placements: changing them below a
    // link changes them everywhere.
    QVector<PlacementRef> changing;
    if (command == BulkCommand::Delete || command == BulkCommand::Move)
        changing << source;
    if (command != BulkCommand::Delete)
        changing << destination;
    for (const PlacementRef& node : changing) {
        if (isLinkPlacement(node)) {
            if (!prompter().confirm(msg::bulkIsLink()))
                return result;
            break;
        }
    }
    const QString list = markedList();
    if (list.isEmpty()) {
        prompter().message(msg::bulkNothingMarked());
        return result;
    }
    if (command == BulkCommand::Delete) {
        const int count = static_cast<int>(list.count(u',')) + 1;
        if (!prompter().confirm(msg::bulkConfirmDelete(count)))
            return result;
        result.ran = true;
        int n = 0;
        bool ok = false;
        zSvr::instance().D_ExeSq(
            filled(QStringLiteral("Delete From tbTree Where noLfP=? and noLfC in (?)"),
                   {source.page, list}),
            ok, n);
        if (!ok) {
            result.failed = true;
            reportWriteFailure();
            return result;
        }
        result.written = n;
        RebuildLinkFlags(true);
        return result;
    }
    result = copyOrMove(command, source.page, destination.page, list, linkChildren);
    RebuildLinkFlags(true);
    if (!result.skipped.isEmpty())
        prompter().message(msg::bulkSkippedHead() + u'\r' + result.skipped.join(u'\r'),
                           Severity::Warning);
    return result;
}

BulkResult BulkTransfer::copyOrMove(BulkCommand command, int source, int destination,
                                    const QString& list, bool linkChildren) {
    BulkResult result;
    result.ran = true;
    failure_.clear();
    zSvr& db = zSvr::instance();
    int position = db.R_GtVaL(filled(QStringLiteral("Select Max(inSrt) From tbTree Where noLfP=?"),
                                     {destination}),
                              -1)
                       .toInt() +
                   1;
    ResultArray rows;
    const bool move = command == BulkCommand::Move;
    const QString sources =
        move ? filled(QStringLiteral("Select noLfC, szDoc, boLnk, boHide, boHogo From tbTree  "
                                     "Where noLfP = ? And noLfC in ( ? ) Order By inSrt"),
                      {source, list})
             : filled(QStringLiteral("Select noLfC, szDoc From tbTree  Where noLfP=? And noLfC "
                                     "in (?) Order By inSrt"),
                      {source, list});
    if (!db.readRows(sources, rows)) {
        result.failed = true;
        reportWriteFailure();
        return result;
    }
    QStringList moved;
    for (int r = 0; r < rows.rowCount() && !result.failed; ++r) {
        const int page = rows(0, r).toInt();
        const QString label = rows(1, r).toString();
        bool ok = true;
        if (command == BulkCommand::CopyNew) {
            const int copy = copyPage(page, linkChildren, result.failed);
            if (copy == 0)
                break;
            result.newPages << copy;
            const QString now = SqlNow();
            ok = db.D_ExeSq(filled(
                kBulkColumns + QStringLiteral(" Values (?, ?, ?, '?', 1, 0, ?, ?, Null, 0, 0)"),
                {destination, copy, position++, label, now, now}));
        } else {
            const int existing = placementCount(QString::number(destination), page);
            if (existing != 0 || (move && wouldOrphan(page, source, destination))) {
                if (existing < 0) {
                    result.failed = true;
                    break;
                }
                result.skipped << label;
                continue;
            }
            if (move) {
                const QString now = SqlNow();
                ok = db.D_ExeSq(filled(
                    kBulkColumns + QStringLiteral(" Values (?, ?, ?, '?', 1, ?, ?, ?, Null, ?, ?)"),
                    {destination, page, position++, label, rows(2, r).toInt(), now, now,
                     rows(3, r).toInt(), rows(4, r).toInt()}));
                if (ok)
                    moved << QString::number(page);
            } else {
                ok = insertLinkRow(destination, page, position++, label);
            }
        }
        if (!ok) {
            result.failed = true;
            break;
        }
        ++result.written;
        stepDone(r + 1, rows.rowCount());
    }
    // Only rows that arrived at the destination leave the source.
    if (!moved.isEmpty() &&
        !db.D_ExeSq(filled(QStringLiteral("Delete From tbTree Where noLfP = ? And noLfC in ( ? )"),
                           {source, moved.join(u',')})))
        result.failed = true;
    if (result.failed) {
        if (failure_.isEmpty())
            reportWriteFailure();
        else
            reportWriteFailure(failure_);
    }
    return result;
}

int BulkTransfer::copyPage(int page, bool linkChildren, bool& failed) {
    zSvr& db = zSvr::instance();
    const int copy = NextDocNo();
    std::unique_ptr<Recordset> from;
    bool ok = false;
    db.R_Rset(filled(QStringLiteral("Select szDoc, txDoc, obDoc, boCod From msDoc Where noDoc=?"),
                     {page}),
              from, ok, 0);
    if (!ok || from->eof()) {
        failed = true;
        return 0;
    }
    const QVariant tags = db.R_GtVaL(
        filled(QStringLiteral("Select saTgs From msDoc Where noDoc=?"), {page}), QVariant());
    std::unique_ptr<Recordset> to;
    db.R_Rset(filled(QStringLiteral("Select * From msDoc Where noDoc=?"), {copy}), to, ok, 1);
    if (!ok || !to->addNew()) {
        failed = true;
        if (to)
            failure_ = to->lastError();
        return 0;
    }
    to->setValue(QStringLiteral("noDoc"), copy);
    to->setValue(QStringLiteral("wkRnd"), NewWkRnd());
    to->setValue(QStringLiteral("szDoc"), from->value(0));
    to->setValue(QStringLiteral("txDoc"), from->value(1));
    to->setValue(QStringLiteral("obDoc"), from->value(2));
    to->setValue(QStringLiteral("boCod"), from->value(3).isNull() ? QVariant(0) : from->value(3));
    to->setValue(QStringLiteral("boUse"), 1);
    to->setValue(QStringLiteral("saTgs"), tags);
    to->setValue(QStringLiteral("dyUdt"), QDateTime::currentDateTime());
    from->close();
    if (!to->update()) {
        failed = true;
        failure_ = to->lastError();
        return 0;
    }
    to->close();
    if (!linkChildren)
        return copy;
    // A shallow copy: the children are linked, not copied.
    ResultArray children;
    if (!db.readRows(
            filled(QStringLiteral("Select noLfC, inSrt, szDoc From tbTree Where noLfP=?"), {page}),
            children)) {
        failed = true;
        return copy;
    }
    for (int r = 0; r < children.rowCount(); ++r) {
        if (!insertLinkRow(copy, children(0, r).toInt(), children(1, r).toInt(),
                           children(2, r).toString())) {
            failed = true;
            return copy;
        }
    }
    return copy;
}

}  // namespace arbor::tree
