// Structural changes: placeholder and save, insert and paste, cut and copy, delete,
// moving and renumbering, labels, home placement and markings.
#include <QCoreApplication>

#include "app/progress.h"
#include "app/prompter.h"
#include "db/write_batch.h"
#include "db/zsvr.h"
#include "tree/node_key.h"
#include "tree/page_tree.h"
#include "tree/tree_messages.h"
#include "tree/tree_reach.h"
#include "tree/tree_store.h"

namespace arbor::tree {

namespace {

void letEventsRun() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

struct BusyGuard {
    explicit BusyGuard(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~BusyGuard() { flag_ = was_; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    bool& flag_;
    bool was_;
};

bool isAncestorOrSelf(const QModelIndex& ancestor, QModelIndex node) {
    for (; node.isValid(); node = node.parent())
        if (node == ancestor)
            return true;
    return false;
}

}  // namespace

// ---- renumber list

void PageTree::addRenumber(const QModelIndex& parent) {
    if (!parent.isValid()) {
        renumberTop_ = true;
        return;
    }
    for (const QPersistentModelIndex& p : renumber_)
        if (p == parent)
            return;
    renumber_.push_back(QPersistentModelIndex(parent));
}

bool PageTree::renumberInside(const QModelIndex& node) const {
    for (const QPersistentModelIndex& p : renumber_)
        if (p.isValid() && isAncestorOrSelf(node, p))
            return true;
    return false;
}

QVector<SiblingOrder> PageTree::siblingOrder(const QModelIndex& parent, const QModelIndex& standIn,
                                             int standInPage) const {
    QVector<SiblingOrder> out;
    const int rows = model_->rowCount(parent);
    out.reserve(rows);
    for (int k = 0; k < rows; ++k) {
        const QModelIndex child = model_->index(k, 0, parent);
        const QString key = child.data(KeyRole).toString();
        const int page = standIn.isValid() && child == standIn ? standInPage : pageNumberOfKey(key);
        if (isTagKey(key) || page <= 0)
            continue;  // counted, not written
        out.push_back({k, page});
    }
    return out;
}

void PageTree::dropRenumber(const QModelIndex& parent) {
    if (!parent.isValid()) {
        renumberTop_ = false;
        return;
    }
    renumber_.removeIf([&](const QPersistentModelIndex& p) { return p == parent; });
}

void PageTree::trSort() {
    QVector<QPersistentModelIndex> entries = renumber_;
    const bool top = renumberTop_;
    renumber_.clear();
    renumberTop_ = false;
    zSvr& db = zSvr::instance();
    if ((!top && entries.isEmpty()) || model_->rowCount() == 0 || !db.isOpen())
        return;
    bool refused = false;
    db.DbRead(refused);
    if (refused) {
        reload(false);  // show the order the database keeps
        return;
    }
    BusyGuard busy(busy_);
    // One batch: the siblings are renumbered together or not at all.
    WriteBatch batch(db);
    int written = 0;
    auto queue = [&](const QModelIndex& parent, const QString& parentPage) {
        const QVector<SiblingOrder> order = siblingOrder(parent);
        for (const QString& sql : renumberStatements(parentPage, order))
            batch.add(sql);
        written += static_cast<int>(order.size());
        progress().step(written, 0);
        letEventsRun();
    };
    if (top)
        queue(QModelIndex(), QStringLiteral("0"));
    for (const QPersistentModelIndex& p : std::as_const(entries))
        if (p.isValid() && !batch.failed())
            queue(p, pageOfKey(p.data(KeyRole).toString()));
    if (!batch.commit()) {
        reportWriteFailure();
        reload(false);
    }
}

// ---- removing nodes from the view

void PageTree::afterChildRemoved(QStandardItem* parent) {
    if (!parent || parent == model_->invisibleRootItem() || parent->rowCount() > 0)
        return;
    const QString image = parent->data(ImageRole).toString();
    parent->setData(false, ExpandedRole);
    if (image.size() == 5 && !image.startsWith(QLatin1String("tg")) && !isCollectingImage(image))
        parent->setData(QString(image.left(2) + QStringLiteral("lef")), ImageRole);
}

void PageTree::noteChildAdded(QStandardItem* parent) {
    if (!parent || parent == model_->invisibleRootItem())
        return;
    const QString image = parent->data(ImageRole).toString();
    if (image.endsWith(QLatin1String("lef")))
        parent->setData(QString(image.left(2) + QStringLiteral("opn")), ImageRole);
    setExpanded(parent->index(), true);
}

void PageTree::removeFromView(const QModelIndex& index, bool openAfter) {
    QStandardItem* item = itemOf(index);
    if (!item)
        return;
    QStandardItem* parent = parentItemOf(item);
    const int row = item->row();
    addRenumber(index.parent());
    const bool selectedInside = isAncestorOrSelf(index, selection_->currentIndex());
    if (pendingNew_.isValid() && isAncestorOrSelf(index, pendingNew_))
        pendingNew_ = QPersistentModelIndex();
    const QString key = item->data(KeyRole).toString();
    cut_.removeIf([&](const CutEntry& e) { return e.key == key; });
    parent->removeRow(row);
    afterChildRemoved(parent);
    if (selectedInside) {
        QModelIndex next;
        if (row < parent->rowCount())
            next = parent->child(row)->index();
        else if (row > 0)
            next = parent->child(row - 1)->index();
        else if (parent != model_->invisibleRootItem())
            next = parent->index();
        selectNode(next);
    }
    if (openAfter) {
        const QModelIndex now = selectedIndex();
        if (now.isValid())
            openNode(now);
        else
            emit eSetDoc(QString(), QString(), QString(), kNoPage, false);
    }
}

// ---- new page placeholder and saving

void PageTree::trNew(int position, const QString& title) {
    const QString text = title.isEmpty() ? msg::newPageTitle() : title;
    if (pendingNew_.isValid())
        removeFromView(pendingNew_, false);  // one placeholder at a time
    const QModelIndex selected = selectedIndex();
    auto* node = TreeModel::makeNode(kNewNodeKey, text, QStringLiteral("ndlef"));
    QStandardItem* parent = model_->invisibleRootItem();
    if (QStandardItem* s = itemOf(selected)) {
        if (position == 2) {
            loadIfEmpty(selected);  // its own children first, or they would never be read
            parent = s;
            s->appendRow(node);
            noteChildAdded(s);
        } else {
            parent = parentItemOf(s);
            parent->insertRow(s->row() + (position == 1 ? 1 : 0), node);
        }
    } else {
        parent->appendRow(node);
    }
    SetFrame(1);
    pendingNew_ = node->index();
    addRenumber(parent == model_->invisibleRootItem() ? QModelIndex() : parent->index());
    selectNode(node->index());
}

void PageTree::UdtNd(const QString& title, const QString& oldTitle, const QString& page) {
    const QString clean = cleanTitle(title);
    if (!isPageNumber(page) || clean.isEmpty())
        return;
    const int no = page.trimmed().toInt();
    const QString pageText = QString::number(no);
    if (codMode_) {
        commitCodItem(clean, oldTitle, no);
        return;
    }
    if (pendingNew_.isValid()) {
        QStandardItem* node = itemOf(pendingNew_);
        const QString parent = parentPageOf(pendingNew_);
        const QModelIndex parentIndex = pendingNew_.parent();
        // The row and its place among the siblings are stored together, so a crash right
        // after the save cannot leave the page last; the renumbering stamps dyUdt too.
        // The row first: a refused insert keeps the placeholder for the next save.
        WriteBatch batch;
        batch.add(newPlacementStatement(parent, no, insertCounter_, clean));
        for (const QString& sql :
             renumberStatements(parent, siblingOrder(parentIndex, pendingNew_, no)))
            batch.add(sql);
        if (!batch.commit()) {
            reportWriteFailure();
            return;
        }
        dropRenumber(parentIndex);
        ++insertCounter_;
        const QString key = nextKey(u'N', pageText);
        node->setData(key, KeyRole);
        node->setText(clean);
        node->setEditable(true);
        currentKey_ = key;
        currentId_ = placementId(parent, pageText);
        pendingNew_ = QPersistentModelIndex();
        return;
    }
    if (clean != oldTitle)
        relabelPlacements(no, oldTitle, clean);
}

QStringList PageTree::relabelPlacements(int page, const QString& oldTitle, const QString& title) {
    // Every placement still labelled with the old title follows, shown or not.
    QStringList renamed;
    for (const ParentLabel& pl : placementsOf(page)) {
        if (pl.label != oldTitle)
            continue;
        const QString parent = QString::number(pl.parent);
        if (!relabelPlacement(parent, page, title)) {
            reportWriteFailure();
            break;
        }
        stampPlacement(parent, page);
        renamed << parent;
    }
    for (const QModelIndex& index : nodesOfPage(page)) {
        if (isTagKey(index.data(KeyRole).toString()) || !renamed.contains(parentPageOf(index)))
            continue;
        if (index.data(Qt::DisplayRole).toString() == oldTitle)
            model_->setData(index, title, Qt::DisplayRole);
    }
    return renamed;
}

// ---- clipboard, paste and insert

void PageTree::trCopy(bool cut) {
    const QModelIndex selected = selectedIndex();
    const QString key = selected.data(KeyRole).toString();
    if (!selected.isValid() || key == kNewNodeKey || pageNumberOfKey(key) <= 0)
        return;
    if (cut) {
        bool listed = false;
        for (const CutEntry& e : cut_)
            listed = listed || e.key == key;
        if (!listed)
            cut_.push_back({key, placementIdOf(selected)});
        TreeModel::setForeColour(itemOf(selected), kCutColour);
    }
    if (clipboard_.add(pageNumberOfKey(key), selected.data(Qt::DisplayRole).toString()))
        emit clipboardChanged();
}

void PageTree::trIns(int slot, const QString& title, const QString& page) {
    int no = isPageNumber(page) ? page.trimmed().toInt() : clipboard_.slot(slot).page;
    if (no == 0)
        return;
    if (!pageExists(no)) {
        prompter().message(msg::noSuchPage(no), Severity::Warning);
        return;
    }
    const QString pageText = QString::number(no);
    const QString label = cleanTitle(title);

    // Where the node goes: after the selected node, or in place of the placeholder.
    const QModelIndex selected = selectedIndex();
    const bool reuse = selected.isValid() && selected == pendingNew_;
    QStandardItem* parentItem = model_->invisibleRootItem();
    int row = model_->rowCount();
    if (QStandardItem* s = itemOf(selected)) {
        parentItem = parentItemOf(s);
        row = reuse ? s->row() : s->row() + 1;
    }
    const bool atTop = parentItem == model_->invisibleRootItem();
    const QPersistentModelIndex parentIndex(atTop ? QModelIndex() : parentItem->index());
    const QString parentPage =
        atTop ? QStringLiteral("0") : pageOfKey(parentItem->data(KeyRole).toString());

    // Refusals come before anything changes, so a refused paste keeps the cut source.
    int cutAt = -1;
    for (int i = 0; i < cut_.size() && cutAt < 0; ++i)
        if (cut_[i].id.section(u'-', 1).toInt() == no)
            cutAt = i;
    const bool sameRow = cutAt >= 0 && cut_[cutAt].id == placementId(parentPage, pageText);
    if (!sameRow) {
        const int existing = placementCount(parentPage, no);
        if (existing != 0) {
            if (existing > 0)
                prompter().message(msg::duplicateLink(), Severity::Warning);
            else
                reportWriteFailure();
            return;
        }
    }
    QPersistentModelIndex anchor(selected);
    if (cutAt >= 0) {
        const CutEntry entry = cut_[cutAt];
        const QModelIndex cutNode = findKey(entry.key);
        const int oldParent = entry.id.section(u'-', 0, 0).toInt();
        if ((cutNode.isValid() && !atTop && isAncestorOrSelf(cutNode, parentIndex)) ||
            wouldOrphan(no, oldParent, parentPage.toInt())) {
            prompter().message(msg::cutIntoOwnSubtree(), Severity::Warning);
            return;
        }
        // Cut and paste moves the placement: the source goes first, so a moved home
        // placement stays the home.
        if (cutNode.isValid()) {
            const int cutRow = cutNode.row();
            if (!trNdDL(entry.key, QString()))
                return;
            if (!selected.isValid())
                row = parentItem->rowCount();
            else if (!anchor.isValid())
                row = cutRow;  // the anchor was the cut node: the page takes its place
            else
                row = reuse ? anchor.row() : anchor.row() + 1;
        } else {
            if (!deletePlacement(entry.id.section(u'-', 0, 0), no)) {
                reportWriteFailure();
                return;
            }
            cut_.removeAt(cutAt);
        }
        row = std::min(row, parentItem->rowCount());
    }

    const bool link = homeCount(no) > 0;
    const bool collecting = isCollecting(no);
    const QChar prefix = link ? u'L' : u'N';
    const QString image = imageFor(prefix, collecting, !collecting && childCount(no) > 0);
    QStandardItem* node = nullptr;
    if (reuse && pendingNew_.isValid()) {
        node = itemOf(pendingNew_);
        node->setText(label);
        node->setData(image, ImageRole);
        pendingNew_ = QPersistentModelIndex();
    } else {
        node = TreeModel::makeNode(kTempKey, label, image);
        parentItem->insertRow(row, node);
    }
    node->setData(nextKey(prefix, pageText), KeyRole);
    node->setEditable(true);
    addRenumber(parentIndex);

    // The row with its final place among the siblings (stamped by the renumbering).
    WriteBatch batch;
    batch.add(placementStatement(parentPage, no, insertCounter_, label, link));
    for (const QString& sql : renumberStatements(parentPage, siblingOrder(parentIndex)))
        batch.add(sql);
    if (!batch.commit()) {
        reportWriteFailure();
        removeFromView(node->index(), false);
        return;
    }
    dropRenumber(parentIndex);
    ++insertCounter_;
    noteChildAdded(atTop ? nullptr : parentItem);
    emit eFmMsg(msg::pageInserted());
    openNode(node->index());
}

// ---- delete

bool PageTree::trNdDL(const QString& key, const QString& message) {
    const QModelIndex index = key.isEmpty() ? selectedIndex() : findKey(key);
    if (!index.isValid())
        return false;
    if (key.isEmpty()) {
        const QString question =
            message.isEmpty() ? msg::confirmDelete() : message + u'\r' + msg::confirmDelete();
        if (!prompter().confirm(question))
            return false;
    }
    const QString nodeKey = index.data(KeyRole).toString();
    const int page = pageNumberOfKey(nodeKey);
    // Tag nodes live only in the view; the placeholder has no row yet.
    if (nodeKey != kNewNodeKey && !isTagKey(nodeKey) && page > 0) {
        if (!deletePlacement(parentPageOf(index), page)) {
            reportWriteFailure();
            return false;
        }
    }
    removeFromView(index, false);
    return true;
}

// ---- moving among siblings and renumbering

void PageTree::trMove(bool down) {
    QModelIndex selected = selectedIndex();
    if (!selected.isValid())
        return;
    BusyGuard busy(busy_);
    const int target = selected.row() + (down ? 1 : -1);
    if (target < 0 || target >= model_->rowCount(selected.parent()))
        return;
    // The node is re-added without its children: their pending order is written now.
    if (renumberInside(selected)) {
        const QString key = selected.data(KeyRole).toString();
        trSort();
        selected = findKey(key);
        if (!selected.isValid())
            return;
    }
    QStandardItem* item = itemOf(selected);
    QStandardItem* parent = parentItemOf(item);
    const int row = item->row();
    const bool wasPending = pendingNew_.isValid() && pendingNew_ == selected;
    auto* moved = TreeModel::makeNode(item->data(KeyRole).toString(), item->text(),
                                      expandedImage(item->data(ImageRole).toString(), false));
    moved->setEditable(item->isEditable());
    TreeModel::setForeColour(moved, item->data(ForeColourRole).toInt());
    TreeModel::setBackColour(moved, item->data(BackColourRole).toInt());
    parent->removeRow(row);
    parent->insertRow(down ? row + 1 : row - 1, moved);
    if (wasPending)
        pendingNew_ = moved->index();
    selectNode(moved->index());
    addRenumber(parent == model_->invisibleRootItem() ? QModelIndex() : parent->index());
    letEventsRun();
}

// ---- labels

bool PageTree::canEditLabel(const QModelIndex& index) const {
    const QString key = index.data(KeyRole).toString();
    return itemOf(index) && !isTagKey(key) && key != kNewNodeKey && key != kRootKey &&
           pageNumberOfKey(key) > 0;
}

bool PageTree::finishLabelEdit(const QModelIndex& index, const QString& text) {
    if (!canEditLabel(index))
        return false;
    const QString clean = cleanTitle(text.trimmed());
    if (clean.isEmpty())
        return false;
    const QString parent = parentPageOf(index);
    const int page = pageNumberOfKey(index.data(KeyRole).toString());
    if (!renamePlacement(parent, page, clean)) {
        reportWriteFailure();
        return false;
    }
    stampPlacement(parent, page);
    // Other nodes that show the same placement follow.
    const QString id = placementIdOf(index);
    for (const QModelIndex& node : nodesOfPage(page))
        if (!isTagKey(node.data(KeyRole).toString()) && placementIdOf(node) == id)
            model_->setData(node, clean, Qt::DisplayRole);
    return true;
}

// ---- home placement and markings

void PageTree::imageNodesOfPage(int page, int homeParentPage) {
    for (const QModelIndex& index : nodesOfPage(page)) {
        QStandardItem* item = itemOf(index);
        const QString key = item->data(KeyRole).toString();
        if (isTagKey(key) || key == kRootKey)
            continue;
        const bool link = parentPageOf(index).toInt() != homeParentPage;
        const QString newKey = (link ? u'L' : u'N') + key.mid(1);
        if (newKey != key) {
            for (CutEntry& e : cut_)
                if (e.key == key)
                    e.key = newKey;
            if (currentKey_ == key)
                currentKey_ = newKey;
            item->setData(newKey, KeyRole);
        }
        item->setData(imageWithPrefix(item->data(ImageRole).toString(), link), ImageRole);
    }
}

void PageTree::StOrgn(bool keep) {
    const QModelIndex selected = selectedIndex();
    const int page = pageNumberOfKey(selected.data(KeyRole).toString());
    if (page <= 0)
        return;
    const QString parent = parentPageOf(selected);
    const int home = keep ? parent.toInt() : otherParent(page, parent);
    if (home < 0)
        return;
    if (!makeHome(home, page)) {
        reportWriteFailure();
        return;
    }
    imageNodesOfPage(page, home);
}

void PageTree::HogoNode(bool flag) {
    if (QStandardItem* item = itemOf(selectedIndex()))
        TreeModel::setForeColour(item, flag ? kProtectedColour : kNormalColour);
}

void PageTree::HideNode(bool flag) {
    if (QStandardItem* item = itemOf(selectedIndex()))
        TreeModel::setBackColour(item, flag ? kHiddenBack : kNormalBack);
}

bool PageTree::ChkHideNode(const QString& key) const {
    for (QModelIndex index = key.isEmpty() ? selectedIndex() : findKey(key); index.isValid();
         index = index.parent()) {
        const QString k = index.data(KeyRole).toString();
        if (k == kRootKey)
            break;
        const int page = pageNumberOfKey(k);
        if (page > 0 && isHiddenPlacement(parentPageOf(index), page))
            return true;
    }
    return false;
}

void PageTree::CngCod(bool flag) {
    const int page = pageNumberOfKey(SlctdKy());
    if (page <= 0)
        return;
    if (!setCollecting(page, flag)) {
        reportWriteFailure();
        return;
    }
    const bool children = !flag && childCount(page) > 0;
    for (const QModelIndex& index : nodesOfPage(page)) {
        QStandardItem* item = itemOf(index);
        const QString key = item->data(KeyRole).toString();
        if (isTagKey(key))
            continue;
        // A collecting page lists its children instead of showing them.
        if (item->rowCount() > 0)
            item->removeRows(0, item->rowCount());
        item->setData(false, ExpandedRole);
        item->setData(imageFor(key.at(0), flag, children), ImageRole);
    }
}

void PageTree::SetActImg(const QString& prefix, const QString& page, bool collecting) {
    codMode_ = collecting;
    QStandardItem* item = itemOf(selectedIndex());
    if (!item || prefix.isEmpty())
        return;
    const int no = page.toInt();
    item->setData(imageFor(prefix.at(0), collecting, !collecting && no > 0 && childCount(no) > 0),
                  ImageRole);
}

}  // namespace arbor::tree
