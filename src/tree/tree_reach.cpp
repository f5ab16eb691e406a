#include "tree/tree_reach.h"

#include <QSet>
#include <QVector>

#include "tree/tree_store.h"

namespace arbor::tree {

namespace {

// Walks upward through every placement; a bounded walk, since chains may loop.
bool reachesTop(int page, int removedParent, int addedParent) {
    constexpr int kLimit = 20000;
    QSet<int> seen{page};
    QVector<int> frontier{page};
    while (!frontier.isEmpty()) {
        const int p = frontier.takeLast();
        QVector<int> parents;
        for (const ParentLabel& pl : placementsOf(p))
            if (!(p == page && pl.parent == removedParent))
                parents << pl.parent;
        if (p == page && addedParent >= 0)
            parents << addedParent;
        for (int parent : parents) {
            if (parent == 0)
                return true;
            if (seen.contains(parent))
                continue;
            if (seen.size() >= kLimit)
                return true;  // too large to decide: do not refuse
            seen.insert(parent);
            frontier << parent;
        }
    }
    return false;
}

}  // namespace

bool wouldOrphan(int page, int oldParent, int newParent) {
    if (newParent == 0)
        return false;
    if (!reachesTop(page, -1, -1))
        return false;
    return !reachesTop(page, oldParent, newParent);
}

}  // namespace arbor::tree
