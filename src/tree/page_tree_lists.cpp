// The collecting page's list (lsCod), the recent pages and the search tab.
#include <QDateTime>
#include <QRegularExpression>

#include "app/prompter.h"
#include "db/result_array.h"
#include "db/zsvr.h"
#include "tree/node_key.h"
#include "tree/page_tree.h"
#include "tree/tree_messages.h"
#include "tree/tree_store.h"

namespace arbor::tree {

namespace {

const QString kNewItemKey = QStringLiteral("NEW");

QString listTime(const QDateTime& when) {
    return when.isValid() ? when.toString(QStringLiteral("yy/MM/dd HH:mm:ss")) : QString();
}

QStandardItem* listEntry(const QString& text, int page) {
    auto* item = new QStandardItem(text);
    item->setData(page, PageRole);
    item->setEditable(false);
    return item;
}

QList<QStandardItem*> codRow(const QString& key, const QString& text, int page,
                             const QDateTime& when) {
    auto* label = listEntry(text, page);
    label->setData(key, KeyRole);
    auto* time = new QStandardItem(listTime(when));
    time->setEditable(false);
    return {label, time};
}

}  // namespace

// ---- collecting page list

QModelIndex PageTree::codItem(const QString& key) const {
    for (int r = 0; r < codList_->rowCount(); ++r)
        if (codList_->index(r, 0).data(KeyRole).toString() == key)
            return codList_->index(r, 0);
    return {};
}

void PageTree::fillCodList(int page) {
    codPage_ = page;
    pendingNewItem_ = false;
    codSelection_->clear();
    codList_->removeRows(0, codList_->rowCount());
    for (const CollectedRow& row : collectedChildren(page))
        codList_->appendRow(codRow(QStringLiteral("K") + QString::number(row.page), row.label,
                                   row.page, row.saved));
}

void PageTree::cdNew() {
    QModelIndex item = codItem(kNewItemKey);
    if (!item.isValid()) {
        codList_->insertRow(
            0, codRow(kNewItemKey, msg::newPageTitle(), 0, QDateTime::currentDateTime()));
        item = codList_->index(0, 0);
    }
    codSelection_->setCurrentIndex(item,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    pendingNewItem_ = true;
}

void PageTree::cdDel() {
    const QModelIndex current = codSelection_->currentIndex();
    if (!current.isValid())
        return;
    const QModelIndex item = codList_->index(current.row(), 0);
    if (item.data(KeyRole).toString() == kNewItemKey) {
        codList_->removeRow(item.row());
        pendingNewItem_ = false;
        return;
    }
    if (!prompter().confirm(msg::confirmDelete()))
        return;
    if (!deletePlacement(QString::number(codPage_), item.data(PageRole).toInt())) {
        reportWriteFailure();
        return;
    }
    codList_->removeRow(item.row());
}

void PageTree::commitCodItem(const QString& title, const QString& oldTitle, int page) {
    const QString key = QStringLiteral("K") + QString::number(page);
    if (pendingNewItem_) {
        if (!insertCollectedPlacement(codPage_, page, title)) {
            reportWriteFailure();
            return;
        }
        stampPlacement(QString::number(codPage_), page);
        pendingNewItem_ = false;
        QModelIndex item = codItem(kNewItemKey);
        if (!item.isValid()) {
            codList_->insertRow(0, codRow(key, title, page, QDateTime::currentDateTime()));
            return;
        }
        codList_->setData(item, key, KeyRole);
        codList_->setData(item, title, Qt::DisplayRole);
        codList_->setData(item, page, PageRole);
        return;
    }
    if (title == oldTitle)
        return;
    const QStringList renamed = relabelPlacements(page, oldTitle, title);
    const QModelIndex item = codItem(key);
    if (item.isValid() && item.data(Qt::DisplayRole).toString() == oldTitle &&
        renamed.contains(QString::number(codPage_)))
        codList_->setData(item, title, Qt::DisplayRole);
}

void PageTree::openCodItem(const QModelIndex& index) {
    if (busy_ || !index.isValid() || index.model() != codList_)
        return;
    const QModelIndex item = codList_->index(index.row(), 0);
    const QPersistentModelIndex target(item);
    if (item.data(KeyRole).toString() == kNewItemKey) {
        codSelection_->setCurrentIndex(
            item, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;  // the page being written
    }
    bool cancel = false;
    emit eChkMove(cancel);
    if (cancel) {
        emit eFmMsg(msg::editNewPage());
        const QModelIndex pending = codItem(kNewItemKey);
        if (pending.isValid())
            codSelection_->setCurrentIndex(
                pending, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        emit codListFocusRequested();
        return;
    }
    discardPending();
    if (!target.isValid())
        return;
    codSelection_->setCurrentIndex(target,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit eSetDoc(target.data(Qt::DisplayRole).toString(),
                 QString::number(target.data(PageRole).toInt()), QString::number(codPage_),
                 kTagOrListEntry, false);
}

// ---- recent pages

void PageTree::SetRcnt(const QString& page, const QString& title) {
    const int no = page.trimmed().toInt();
    for (int r = recentList_->rowCount() - 1; r >= 0; --r)
        if (recentList_->index(r, 0).data(PageRole).toInt() == no)
            recentList_->removeRow(r);
    recentList_->appendRow(listEntry(title, no));
}

void PageTree::SetRcntLst(const QString& caption, const QString& toolTip, const QString& sql) {
    emit recentListCaption(caption, toolTip, false);
    recentList_->removeRows(0, recentList_->rowCount());
    ResultArray rows;
    if (!zSvr::instance().readRows(sql, rows) || rows.fieldCount() < 2)
        return;
    for (int r = 0; r < rows.rowCount(); ++r)
        recentList_->appendRow(listEntry(rows(0, r).toString(), rows(1, r).toInt()));
}

void PageTree::clearRecent() {
    recentList_->removeRows(0, recentList_->rowCount());
}

bool PageTree::openListEntry(const QStandardItemModel* list, const QModelIndex& index) {
    if (busy_ || !index.isValid() || index.model() != list)
        return false;
    const QPersistentModelIndex target(index);
    if (!mayLeave() || !target.isValid())
        return false;
    emit eSetDoc(target.data(Qt::DisplayRole).toString(),
                 QString::number(target.data(PageRole).toInt()), QStringLiteral("0"),
                 kTagOrListEntry, false);
    return true;
}

void PageTree::openRecentItem(const QModelIndex& index) {
    openListEntry(recentList_, index);
}

// ---- search

void PageTree::find(const QString& text) {
    const QString entry = text.trimmed();
    if (!entry.isEmpty() && !findHistory_.contains(entry)) {
        findHistory_ << entry;
        emit findHistoryChanged();
    }
    lastFind_ = entry;
    // Words are separated by blanks, half- or full-width.
    static const QRegularExpression blanks(QStringLiteral("[ \\x{3000}]+"));
    const QStringList words = entry.split(blanks, Qt::SkipEmptyParts);
    const QVector<LabelledPage> hits = searchPages(words);
    findList_->removeRows(0, findList_->rowCount());
    for (const LabelledPage& hit : hits)
        findList_->appendRow(listEntry(hit.label, hit.page));
    emit eFmMsg(fullWidthNumber(hits.size()) + msg::hitCountTail());
}

void PageTree::openFindItem(const QModelIndex& index) {
    if (openListEntry(findList_, index))
        emit eFndWd(lastFind_);
}

}  // namespace arbor::tree
