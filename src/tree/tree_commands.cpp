#include "tree/tree_commands.h"

#include "app/progress.h"
#include "db/schema.h"
#include "tree/node_key.h"
#include "tree/page_tree.h"
#include "tree/tree_messages.h"
#include "tree/tree_store.h"

namespace arbor::tree {

namespace {

QString quotedList(const QStringList& texts) {
    QString out;
    for (const QString& t : texts)
        out += u'"' + t + QStringLiteral("\" ");
    return out;
}

}  // namespace

QString deleteWarning(int page) {
    QString text;
    const QStringList taggedBy = taggedByTitles(page);
    if (!taggedBy.isEmpty())
        text += msg::referencedHead() + quotedList(taggedBy) + msg::referencedTail() + u'\r';
    const QStringList children = childLabels(page);
    if (!children.isEmpty())
        text += msg::navigatedHead() + quotedList(children) + msg::navigatedTail() + u'\r';
    return text;
}

bool deleteSelectedPlacement(PageTree& tree) {
    const QString key = tree.SlctdKy();
    if (key.isEmpty())
        return false;
    const bool placement = key != kNewNodeKey && !isTagKey(key);
    // The placement of the page in the editor (or the new page being written): afterwards
    // no page is open, so nothing is saved into a page that stands nowhere.
    const bool shown = key == kNewNodeKey || (placement && key == tree.currentKey());
    if (shown && placement && !tree.mayLeaveShownPage())
        return false;
    const QString warning = placement ? deleteWarning(pageNumberOfKey(key)) : QString();
    if (!tree.trNdDL(QString(), warning))
        return false;
    if (placement) {
        RebuildLinkFlags(true);
        tree.RefreshTree();
    }
    if (shown)
        tree.showNoPage();
    if (tree.SlctdKy().isEmpty())
        progress().status(msg::pageDeleted());
    return true;
}

QString tagReferencesText(int page) {
    const QVector<LabelledPage> pages = taggedByPages(page);
    if (pages.isEmpty())
        return msg::notTagReferenced();
    QString text;
    for (const LabelledPage& p : pages)
        text += p.label + QStringLiteral(" (") + QString::number(p.page) + QStringLiteral(")\r");
    return text + u'\t' + msg::tagReferencedTail();
}

}  // namespace arbor::tree
