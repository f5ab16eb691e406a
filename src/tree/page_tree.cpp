// Nodes, loading one level, opening a node, selection, expansion and tabs.
#include "tree/page_tree.h"

#include "tree/node_key.h"
#include "tree/tree_messages.h"
#include "tree/tree_store.h"

namespace arbor::tree {

PageTree::PageTree(QObject* parent)
    : QObject(parent),
      model_(new TreeModel(this)),
      selection_(new QItemSelectionModel(model_, this)),
      codList_(new QStandardItemModel(0, 2, this)),
      codSelection_(new QItemSelectionModel(codList_, this)),
      findList_(new QStandardItemModel(this)),
      recentList_(new QStandardItemModel(this)) {
    model_->setFetcher([this](const QModelIndex& index) { loadIfEmpty(index); });
}

PageTree::~PageTree() = default;

// ---- nodes

QStandardItem* PageTree::itemOf(const QModelIndex& index) const {
    return index.isValid() && index.model() == model_ ? model_->itemFromIndex(index) : nullptr;
}

QStandardItem* PageTree::parentItemOf(QStandardItem* item) const {
    QStandardItem* parent = item ? item->parent() : nullptr;
    return parent ? parent : model_->invisibleRootItem();
}

bool PageTree::hasRoot() const {
    return model_->rowCount() > 0 && model_->index(0, 0).data(KeyRole).toString() == kRootKey;
}

QModelIndex PageTree::topParent() const {
    return hasRoot() ? model_->index(0, 0) : QModelIndex();
}

QString PageTree::nextKey(QChar prefix, const QString& page) {
    return makeKey(prefix, keyCounter_++, page);
}

QModelIndex PageTree::selectedIndex() const {
    const QModelIndex current = selection_->currentIndex();
    return current.isValid() && selection_->isSelected(current) ? current : QModelIndex();
}

void PageTree::selectNode(const QModelIndex& index) {
    if (!index.isValid()) {
        selection_->clear();
        return;
    }
    selection_->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void PageTree::forEachNode(const std::function<void(const QModelIndex&)>& visit) const {
    std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        const int rows = model_->rowCount(parent);
        for (int r = 0; r < rows; ++r) {
            const QModelIndex child = model_->index(r, 0, parent);
            visit(child);
            if (model_->QStandardItemModel::hasChildren(child))
                walk(child);
        }
    };
    walk(QModelIndex());
}

QModelIndex PageTree::findKey(const QString& key) const {
    if (key.isEmpty())
        return {};
    QModelIndex found;
    forEachNode([&](const QModelIndex& index) {
        if (!found.isValid() && index.data(KeyRole).toString() == key)
            found = index;
    });
    return found;
}

QList<QModelIndex> PageTree::nodesOfPage(int page) const {
    QList<QModelIndex> out;
    forEachNode([&](const QModelIndex& index) {
        if (pageNumberOfKey(index.data(KeyRole).toString()) == page)
            out << index;
    });
    return out;
}

QString PageTree::parentPageOf(const QModelIndex& index) const {
    const QModelIndex parent = index.parent();
    return parent.isValid() ? pageOfKey(parent.data(KeyRole).toString()) : QStringLiteral("0");
}

QString PageTree::placementIdOf(const QModelIndex& index) const {
    return placementId(parentPageOf(index), pageOfKey(index.data(KeyRole).toString()));
}

QString PageTree::SlctdKy() const {
    return selectedIndex().data(KeyRole).toString();
}

void PageTree::SetTmpKy() {
    const QModelIndex index = selectedIndex();
    currentKey_ = index.data(KeyRole).toString();
    currentId_ = index.isValid() ? placementIdOf(index) : QString();
}

QString PageTree::GetNodeText() const {
    return selectedIndex().data(Qt::DisplayRole).toString();
}

PageTree::NodeNumbers PageTree::GetPrCdNo(const QString& key) const {
    const QModelIndex index = key.isEmpty() ? selectedIndex() : findKey(key);
    NodeNumbers n;
    if (!index.isValid())
        return n;
    const QString k = index.data(KeyRole).toString();
    n.parent = parentPageOf(index);
    n.page = pageOfKey(k);
    n.link = isLinkKey(k);
    return n;
}

PageTree::MenuState PageTree::trChkDcm() const {
    MenuState s;
    s.noPendingNew = !pendingNew_.isValid();
    s.collecting = codMode_;
    const QModelIndex index = selectedIndex();
    if (index.isValid()) {
        s.hasPrevious = index.row() > 0;
        s.hasNext = index.row() + 1 < model_->rowCount(index.parent());
    }
    return s;
}

QStringList PageTree::cutKeys() const {
    QStringList keys;
    for (const CutEntry& e : cut_)
        if (!e.key.isEmpty())
            keys << e.key;
    return keys;
}

void PageTree::applyCutColour(QStandardItem* item) {
    if (cut_.isEmpty())
        return;
    const QString id = placementIdOf(item->index());
    for (CutEntry& e : cut_) {
        if (e.key.isEmpty() && e.id == id) {
            e.key = item->data(KeyRole).toString();
            TreeModel::setForeColour(item, kCutColour);
            return;
        }
    }
}

// ---- loading

void PageTree::SetNodes(const QString& parentKey, bool makeRoot) {
    const QString parentPage = pageOfKey(parentKey);
    if (parentPage != QLatin1String("0") && !isPageNumber(parentPage))
        return;
    QModelIndex parent;
    if (makeRoot) {
        keyCounter_ = 0;
        auto* root = TreeModel::makeNode(kRootKey, kRootText, imageFor(u'N', false, true));
        model_->appendRow(root);
        parent = root->index();
    } else if (model_->rowCount() > 0) {
        parent = findKey(parentKey);
        if (!parent.isValid())
            return;
    }
    loadLevel(parent, parentPage);
    if (makeRoot)
        setExpanded(parent, true);
}

int PageTree::loadLevel(const QModelIndex& parent, const QString& parentPage) {
    const QVector<LevelRow> rows = readLevel(parentPage);
    QStandardItem* parentItem = parent.isValid() ? itemOf(parent) : model_->invisibleRootItem();
    if (!parentItem)
        return 0;
    QList<QStandardItem*> items;
    items.reserve(rows.size());
    for (const LevelRow& row : rows) {
        const QChar prefix = row.link ? u'L' : u'N';
        const QString page = QString::number(row.page);
        const bool children = !row.collecting && row.hasChildren;
        auto* item = TreeModel::makeNode(nextKey(prefix, page), row.label,
                                         imageFor(prefix, row.collecting, children));
        item->setEditable(true);
        if (row.isProtected)
            TreeModel::setForeColour(item, kProtectedColour);
        if (row.hidden)
            TreeModel::setBackColour(item, kHiddenBack);
        items << item;
    }
    // One insertion for the level: a view lays out once.
    if (!items.isEmpty()) {
        parentItem->insertRows(parentItem->rowCount(), items);
        for (QStandardItem* item : items)
            applyCutColour(item);
    } else if (parent.isValid()) {
        // The page has no children (any more): show it as a leaf.
        const QString image = parentItem->data(ImageRole).toString();
        if (!image.startsWith(QLatin1String("tg")) && !isCollectingImage(image) &&
            image.size() == 5)
            parentItem->setData(QString(image.left(2) + QStringLiteral("lef")), ImageRole);
    }
    return items.size();
}

void PageTree::loadIfEmpty(const QModelIndex& index) {
    if (!index.isValid() || model_->QStandardItemModel::hasChildren(index))
        return;
    const QString key = index.data(KeyRole).toString();
    if (isCollectingImage(index.data(ImageRole).toString()))
        return;
    loadLevel(index, pageOfKey(key));
}

// ---- opening

void PageTree::reselectCurrent() {
    if (pendingNew_.isValid()) {
        selectNode(pendingNew_);
        return;
    }
    const QModelIndex current = findKey(currentKey_);
    if (current.isValid())
        selectNode(current);
}

void PageTree::discardPending() {
    if (pendingNewItem_) {
        const QModelIndex item = codItem(QStringLiteral("NEW"));
        if (item.isValid())
            codList_->removeRow(item.row());
        pendingNewItem_ = false;
        emit eFmMsg(msg::newPageDiscarded());
    }
    if (pendingNew_.isValid()) {
        emit eFmMsg(msg::newPageDiscarded());
        removeFromView(pendingNew_, false);
    }
}

bool PageTree::mayLeaveShownPage() {
    bool cancel = false;
    emit eChkMove(cancel);
    return !cancel;
}

void PageTree::showNoPage() {
    currentKey_.clear();
    currentId_.clear();
    emit eSetDoc(QString(), QString(), QString(), kNoPage, false);
}

bool PageTree::mayLeave() {
    bool cancel = false;
    emit eChkMove(cancel);
    if (cancel)
        return false;
    discardPending();
    return true;
}

void PageTree::openNode(const QModelIndex& index) {
    if (busy_ || !itemOf(index))
        return;
    const QPersistentModelIndex target(index);
    // The placeholder is the page being written: there is nothing to leave.
    if (pendingNew_.isValid() && target == pendingNew_) {
        selectNode(target);
        return;
    }
    bool cancel = false;
    emit eChkMove(cancel);
    if (cancel) {
        if (codMode_) {
            emit eFmMsg(msg::editNewPage());
            emit codListFocusRequested();
        }
        reselectCurrent();
        return;
    }
    discardPending();
    if (target.isValid())
        openResolved(target);
}

void PageTree::openResolved(const QModelIndex& index) {
    selectNode(index);
    const QString key = index.data(KeyRole).toString();
    const QString page = pageOfKey(key);
    const QString parent = parentPageOf(index);
    const bool isProtected = index.data(ForeColourRole).toInt() == kProtectedColour;
    const int kind = isTagKey(key) ? kTagOrListEntry : kTreeNode;
    const bool collecting = isCollectingImage(index.data(ImageRole).toString());
    if (collecting != codMode_) {
        codMode_ = collecting;
        SetFrame(1);
    }
    if (!codMode_)
        loadIfEmpty(index);
    else
        fillCodList(page.toInt());
    emit eSetDoc(index.data(Qt::DisplayRole).toString(), page, parent, kind, isProtected);
}

void PageTree::RootSelect(bool flag) {
    if (flag && model_->rowCount() > 0)
        openNode(model_->index(0, 0));
}

// ---- expansion

void PageTree::setExpanded(const QModelIndex& index, bool expanded) {
    QStandardItem* item = itemOf(index);
    if (!item || item->data(ExpandedRole).toBool() == expanded)
        return;
    item->setData(expanded, ExpandedRole);
    const QString image = item->data(ImageRole).toString();
    // A node without child nodes keeps its leaf image.
    if (!expanded || item->rowCount() > 0 || !image.endsWith(QLatin1String("lef")))
        item->setData(expandedImage(image, expanded), ImageRole);
}

// ---- tabs and the rest

void PageTree::SetFrame(int tab) {
    if (tab < 1 || tab > 3)
        return;
    tab_ = tab;
    emit frameChanged(tab, codMode_);
    emit eFmMsg(tab == 1 ? msg::frameTree() : tab == 2 ? msg::frameFind() : msg::frameRecent());
}

void PageTree::ClearItem(bool keep) {
    if (!keep)
        trSort();
    selection_->clear();
    model_->removeRows(0, model_->rowCount());
    findList_->removeRows(0, findList_->rowCount());
    recentList_->removeRows(0, recentList_->rowCount());
    codList_->removeRows(0, codList_->rowCount());
    renumber_.clear();
    renumberTop_ = false;
    cut_.clear();
    clipboard_.clear();
    pendingNew_ = QPersistentModelIndex();
    pendingNewItem_ = false;
    currentKey_.clear();
    currentId_.clear();
    if (codMode_) {
        codMode_ = false;
        emit frameChanged(tab_, false);
    }
    emit clipboardChanged();
}

void PageTree::StratEdt() {
    const QModelIndex index = selectedIndex();
    if (canEditLabel(index))
        emit labelEditRequested(index);
}

void PageTree::rightClick(bool onTree) {
    emit eRightClick(onTree);
}

}  // namespace arbor::tree
