#include "tree/reverse_tree.h"

#include "db/result_array.h"
#include "db/zsvr.h"
#include "tree/node_key.h"

namespace arbor::tree {

namespace {

QString withValues(QString sql, const QVariantList& values) {
    zSvr::instance().T_CnvSq(sql, values);
    return sql;
}

bool placedUnderAPage(int page) {
    return zSvr::instance()
               .R_GtVaL(withValues(QStringLiteral("Select Count(*) From tbTree Where noLfP <> 0 "
                                                  "And noLfC = ?"),
                                   {page}),
                        0)
               .toInt() >= 1;
}

}  // namespace

PageContent readPageContent(int page) {
    PageContent content;
    ResultArray rows;
    zSvr& db = zSvr::instance();
    if (!db.readRows(
            withValues(QStringLiteral("Select obDoc, szDoc From msDoc Where noDoc = ?"), {page}),
            rows) ||
        rows.isEmpty())
        return content;
    content.found = true;
    content.obDoc = rows(0, 0).toByteArray();
    content.title = rows(1, 0).toString();
    content.text =
        db.R_GtVaL(withValues(QStringLiteral("Select txDoc From msDoc Where noDoc = ?"), {page}),
                   QString())
            .toString();
    return content;
}

ReverseTree::ReverseTree(QObject* parent)
    : QObject(parent),
      model_(new TreeModel(this)),
      selection_(new QItemSelectionModel(model_, this)) {
    model_->setFetcher([this](const QModelIndex& index) { loadParents(index); });
}

QStandardItem* ReverseTree::makeNode(int page, const QString& title) {
    return TreeModel::makeNode(
        makeKey(u'R', counter_++, QString::number(page)), title,
        placedUnderAPage(page) ? QStringLiteral("ndcls") : QStringLiteral("ndlef"));
}

void ReverseTree::clear() {
    selection_->clear();
    model_->removeRows(0, model_->rowCount());
}

void ReverseTree::search(const QString& text) {
    if (!history_.contains(text)) {
        history_ << text;
        emit historyChanged();
    }
    lastText_ = text;
    clear();
    ResultArray rows;
    zSvr::instance().readRows(
        withValues(QStringLiteral(" Select noDoc, szDoc From msDoc Where txDoc Like '%?%' Order By "
                                  "szDoc "),
                   {text}),
        rows);
    QList<QStandardItem*> items;
    for (int r = 0; r < rows.rowCount(); ++r)
        items << makeNode(rows(0, r).toInt(), rows(1, r).toString());
    if (!items.isEmpty())
        model_->invisibleRootItem()->insertRows(0, items);
}

void ReverseTree::loadParents(const QModelIndex& index) {
    QStandardItem* item = model_->itemFromIndex(index);
    if (!item || item->rowCount() > 0)
        return;
    ResultArray rows;
    zSvr::instance().readRows(
        withValues(QStringLiteral("Select T.noLfP, D.szDoc From msDoc D, tbTree T Where T.noLfP = "
                                  "D.noDoc And T.noLfC = ? Order By T.noLfP"),
                   {pageNumberOfKey(item->data(KeyRole).toString())}),
        rows);
    QList<QStandardItem*> items;
    for (int r = 0; r < rows.rowCount(); ++r)
        items << makeNode(rows(0, r).toInt(), rows(1, r).toString());
    if (items.isEmpty())
        item->setData(QStringLiteral("ndlef"), ImageRole);
    else
        item->insertRows(0, items);
}

void ReverseTree::open(const QModelIndex& index) {
    if (!index.isValid() || index.model() != model_)
        return;
    selection_->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    loadParents(index);
    emit pageChosen(lastText_, pageNumberOfKey(index.data(KeyRole).toString()));
}

void ReverseTree::setExpanded(const QModelIndex& index, bool expanded) {
    QStandardItem* item = model_->itemFromIndex(index);
    if (!item || item->data(ExpandedRole).toBool() == expanded)
        return;
    item->setData(expanded, ExpandedRole);
    if (item->rowCount() > 0)
        item->setData(expandedImage(item->data(ImageRole).toString(), expanded), ImageRole);
}

void ReverseTree::tgTree(const QString& text, const QString& page, const QString& title) {
    if (!isPageNumber(page))
        return;
    lastText_ = text;
    for (int r = 0; r < model_->rowCount(); ++r) {
        const QModelIndex top = model_->index(r, 0);
        if (top.data(Qt::DisplayRole).toString() == title) {
            selection_->setCurrentIndex(top, QItemSelectionModel::ClearAndSelect);
            return;
        }
    }
    QStandardItem* node = makeNode(page.trimmed().toInt(), title);
    model_->appendRow(node);
    selection_->setCurrentIndex(node->index(), QItemSelectionModel::ClearAndSelect);
}

}  // namespace arbor::tree
