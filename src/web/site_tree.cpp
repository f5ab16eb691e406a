#include "web/site_tree.h"

#include "db/result_array.h"
#include "db/zsvr.h"

namespace arbor::web {

namespace {

const QVector<int>& noChildren() {
    static const QVector<int> none;
    return none;
}

}  // namespace

bool SiteTree::load(QString& error) {
    placements_.clear();
    children_.clear();
    pages_.clear();
    zSvr& db = zSvr::instance();
    ResultArray rows;
    if (!db.readRows(QStringLiteral("Select noLfP, noLfC, szDoc, boLnk, boHogo, dyUdt, dyUdt_P, "
                                    "dyPub From tbTree Where boHide=0 Order By noLfP, inSrt"),
                     rows)) {
        error = db.lastError();
        return false;
    }
    placements_.reserve(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r) {
        SitePlacement p;
        p.parent = rows(0, r).toInt();
        p.page = rows(1, r).toInt();
        p.label = rows(2, r).toString();
        p.link = rows(3, r).toInt() == 1;  // Null counts as 0
        p.guarded = rows(4, r).toInt() == 1;
        p.changed = rows(5, r).toDateTime();
        p.changedNear = rows(6, r).toDateTime();
        p.published = rows(7, r).toDateTime();
        add(p);
    }
    ResultArray pages;
    if (!db.readRows(QStringLiteral("Select noDoc, boCod, dyUdt From msDoc"), pages)) {
        error = db.lastError();
        return false;
    }
    pages_.reserve(pages.rowCount());
    for (int r = 0; r < pages.rowCount(); ++r)
        pages_.insert(pages(0, r).toInt(),
                      SitePage{pages(1, r).toInt() == 1, pages(2, r).toDateTime()});
    return true;
}

void SiteTree::add(const SitePlacement& placement) {
    children_[placement.parent].push_back(static_cast<int>(placements_.size()));
    placements_.push_back(placement);
}

const QVector<int>& SiteTree::children(int parent) const {
    const auto it = children_.constFind(parent);
    return it == children_.constEnd() ? noChildren() : *it;
}

int SiteTree::find(int parent, int page) const {
    for (int i : children(parent))
        if (placements_[i].page == page)
            return i;
    return -1;
}

const SitePage* SiteTree::page(int number) const {
    const auto it = pages_.constFind(number);
    return it == pages_.constEnd() ? nullptr : &*it;
}

bool SiteTree::isCollecting(int number) const {
    const SitePage* p = page(number);
    return p && p->collecting;
}

}  // namespace arbor::web
