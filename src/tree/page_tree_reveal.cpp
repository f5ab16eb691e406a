// Revealing pages, the expansion state, reloads, refreshing nodes and tag nodes.
#include <QCoreApplication>
#include <QSet>

#include "tree/node_key.h"
#include "tree/page_tree.h"
#include "tree/tree_messages.h"
#include "tree/tree_store.h"

namespace arbor::tree {

namespace {

constexpr int kMaxChain = 50;

void letRevealEventsRun() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

bool listed(const QString& list, const QString& id) {
    return QString(u',' + list).contains(QString(u',' + id + u','));
}

}  // namespace

// ---- revealing a page

void PageTree::SetLeaf(const QString& pageOrPath) {
    QStringList path;
    if (pageOrPath.contains(u',')) {
        for (const QString& part : pageOrPath.split(u',', Qt::SkipEmptyParts))
            path << part.trimmed();
    } else {
        if (!isPageNumber(pageOrPath))
            return;
        // Up the home placements; a page without one, a cycle or a chain longer
        // than the limit reveals nothing.
        int page = pageOrPath.trimmed().toInt();
        QSet<int> seen{page};
        path << QString::number(page);
        for (int i = 0; i < kMaxChain && path.last() != QLatin1String("0"); ++i) {
            const int parent = homeParent(page);
            if (parent < 0 || seen.contains(parent))
                return;
            seen.insert(parent);
            path << QString::number(parent);
            page = parent;
        }
        if (path.last() != QLatin1String("0"))
            return;
    }
    QStringList down;
    for (auto it = path.crbegin(); it != path.crend(); ++it)
        if (*it != QLatin1String("0"))
            down << *it;
    if (down.isEmpty())
        return;
    if (model_->rowCount() == 0)
        loadLevel(QModelIndex(), QStringLiteral("0"));
    QModelIndex parent = topParent();
    QModelIndex found;
    for (int i = 0; i < down.size(); ++i) {
        QModelIndex match;
        const int rows = model_->rowCount(parent);
        for (int r = 0; r < rows && !match.isValid(); ++r) {
            const QModelIndex child = model_->index(r, 0, parent);
            const QString key = child.data(KeyRole).toString();
            if (!isTagKey(key) && pageOfKey(key) == down[i])
                match = child;
        }
        if (!match.isValid())
            break;
        found = match;
        if (i + 1 == down.size())
            break;
        // A collecting page lists its children: open it and the entry of the page.
        if (isCollectingImage(match.data(ImageRole).toString())) {
            openNode(match);
            const QModelIndex entry = codItem(QStringLiteral("K") + down[i + 1]);
            if (codMode_ && entry.isValid())
                openCodItem(entry);
            return;
        }
        loadIfEmpty(match);
        setExpanded(match, true);
        parent = match;
        letRevealEventsRun();
    }
    if (found.isValid())
        openNode(found);
}

QString PageTree::sGetLeaf() const {
    QModelIndex index = selectedIndex();
    if (!index.isValid())
        return {};
    QStringList parts;
    for (; index.isValid(); index = index.parent()) {
        const QString key = index.data(KeyRole).toString();
        if (key == kRootKey)
            break;
        parts << pageOfKey(key);
    }
    parts << QStringLiteral("0");
    return parts.join(u',');
}

// ---- expansion state

void PageTree::collectExpanded(const QModelIndex& parent, QString& out) const {
    const int rows = model_->rowCount(parent);
    for (int r = 0; r < rows; ++r) {
        const QModelIndex child = model_->index(r, 0, parent);
        if (!child.data(ExpandedRole).toBool())
            continue;
        out += placementIdOf(child) + u',';
        collectExpanded(child, out);
    }
}

PageTree::ExpansionState PageTree::GetExPndNds() const {
    ExpansionState state;
    collectExpanded(QModelIndex(), state.expanded);
    const QModelIndex selected = selectedIndex();
    if (selected.isValid())
        state.selectedId = placementIdOf(selected);
    return state;
}

void PageTree::expandListed(const QModelIndex& parent, const QString& expanded) {
    // Ids already open on the way down are skipped: a page placed below itself
    // would otherwise open forever.
    QSet<QString> onPath;
    std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& p) {
        const int rows = model_->rowCount(p);
        for (int r = 0; r < rows; ++r) {
            const QModelIndex child = model_->index(r, 0, p);
            const QString key = child.data(KeyRole).toString();
            const QString id = placementIdOf(child);
            if (key != kRootKey && (!listed(expanded, id) || onPath.contains(id)))
                continue;
            loadIfEmpty(child);
            setExpanded(child, true);
            onPath.insert(id);
            walk(child);
            onPath.remove(id);
        }
    };
    walk(parent);
}

QModelIndex PageTree::findPlacement(const QString& id) const {
    if (id.isEmpty())
        return {};
    QModelIndex found;
    forEachNode([&](const QModelIndex& index) {
        if (!found.isValid() && !isTagKey(index.data(KeyRole).toString()) &&
            placementIdOf(index) == id)
            found = index;
    });
    return found;
}

void PageTree::SetExPndNds(const QString& expanded, const QString& selectedId) {
    QString list = expanded;
    if (list.isEmpty() && !selectedId.isEmpty()) {
        // The chain of parents above the selected placement.
        int child = selectedId.section(u'-', 0, 0).toInt();
        QSet<int> seen;
        for (int i = 0; child > 0 && i < kMaxChain && !seen.contains(child); ++i) {
            seen.insert(child);
            const int parent = anyParent(child);
            if (parent < 0)
                break;
            list += placementId(QString::number(parent), QString::number(child)) + u',';
            child = parent;
        }
    }
    if (model_->rowCount() == 0)
        loadLevel(QModelIndex(), QStringLiteral("0"));
    expandListed(QModelIndex(), list);
    letRevealEventsRun();
    const QModelIndex selected = findPlacement(selectedId);
    if (selected.isValid())
        openNode(selected);
}

// ---- reloads

void PageTree::RefreshTree() {
    reload(true);
}

void PageTree::reload(bool sortFirst) {
    if (sortFirst)
        trSort();
    const ExpansionState state = GetExPndNds();
    const bool root = hasRoot();
    for (CutEntry& e : cut_)
        e.key.clear();  // keys are made anew; the placement id finds the node again
    selection_->clear();
    model_->removeRows(0, model_->rowCount());
    pendingNew_ = QPersistentModelIndex();
    renumber_.clear();
    renumberTop_ = false;
    if (root)
        SetNodes(QStringLiteral("0"), true);
    else
        loadLevel(QModelIndex(), QStringLiteral("0"));
    expandListed(QModelIndex(), state.expanded);
    const QModelIndex selected = findPlacement(state.selectedId);
    if (selected.isValid())
        selectNode(selected);
    if (!currentId_.isEmpty()) {
        const QModelIndex current = findPlacement(currentId_);
        currentKey_ = current.data(KeyRole).toString();
    } else {
        currentKey_.clear();
    }
}

void PageTree::refreshNode(const QModelIndex& index, const QString& title, const QString& page,
                           bool open) {
    QStandardItem* item = itemOf(index);
    if (!item)
        return;
    const QPersistentModelIndex node(index);
    QString key = item->data(KeyRole).toString();
    bool link = isLinkKey(key);
    bool collecting = false;
    int no = pageNumberOfKey(key);
    if (isPageNumber(page)) {
        no = page.trimmed().toInt();
        readNodeKind(parentPageOf(index), no, link, collecting);
        const QString newKey = nextKey(link ? u'L' : u'N', QString::number(no));
        if (open || currentKey_ == key)
            currentKey_ = newKey;
        item->setData(newKey, KeyRole);
        key = newKey;
    } else {
        collecting = isCollecting(no);
    }
    if (!title.isEmpty())
        item->setText(title);
    if (item->rowCount() > 0)
        item->removeRows(0, item->rowCount());
    item->setData(false, ExpandedRole);
    const bool children = !collecting && no > 0 && childCount(no) > 0;
    item->setData(imageFor(link ? u'L' : u'N', collecting, children), ImageRole);
    addRenumber(index.parent());
    if (pendingNew_.isValid() && pendingNew_ == index)
        pendingNew_ = QPersistentModelIndex();
    if (open)
        openNode(node);
    else
        loadIfEmpty(node);
    if (node.isValid() && !link && children)
        setExpanded(node, true);
}

void PageTree::RefreshNd(const QString& title, const QString& page) {
    refreshNode(selectedIndex(), title, page, true);
}

void PageTree::RefreshDcNd(const QString& page) {
    if (!isPageNumber(page))
        return;
    QList<QPersistentModelIndex> nodes;
    for (const QModelIndex& index : nodesOfPage(page.trimmed().toInt()))
        if (!isTagKey(index.data(KeyRole).toString()))
            nodes << QPersistentModelIndex(index);
    const QModelIndex selected = selectedIndex();
    for (const QPersistentModelIndex& node : nodes)
        if (node.isValid())
            refreshNode(node, QString(), page, node == selected);
}

// ---- tag nodes

void PageTree::TagTree(const QString& page, const QString& title) {
    const QModelIndex selected = selectedIndex();
    QStandardItem* item = itemOf(selected);
    if (!item || !isPageNumber(page))
        return;
    const QString pageText = QString::number(page.trimmed().toInt());
    loadIfEmpty(selected);
    setExpanded(selected, true);
    for (int r = 0; r < item->rowCount(); ++r) {
        QStandardItem* child = item->child(r);
        const QString key = child->data(KeyRole).toString();
        if (isTagKey(key) && pageOfKey(key) == pageText && child->text() == title) {
            selectNode(child->index());
            return;
        }
    }
    auto* node = TreeModel::makeNode(nextKey(u'X', pageText), title, QStringLiteral("tgcls"));
    item->appendRow(node);
    noteChildAdded(item);
    emit eFmMsg(msg::tagInserted());
    selectNode(node->index());
}

}  // namespace arbor::tree
