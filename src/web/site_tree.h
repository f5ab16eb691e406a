#pragma once
// The placements and page facts a site build works from, read in a few statements at its
// start instead of one query per parent and per column: the tree of a collection of
// 10,000 pages loads in milliseconds. Texts of pages (rich text, cache) are not held here.

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVector>

namespace arbor::web {

struct SitePlacement {
    int parent = 0;
    int page = 0;
    QString label;  // tbTree.szDoc as stored
    bool link = false;
    bool guarded = false;   // boHogo: the page file is never rewritten
    QDateTime changed;      // tbTree.dyUdt
    QDateTime changedNear;  // dyUdt_P
    QDateTime published;    // dyPub
};

struct SitePage {
    bool collecting = false;  // boCod = 1
    QDateTime changed;        // msDoc.dyUdt
};

class SiteTree {
  public:
    // Reads the visible placements (boHide = 0) in order, and the pages' flags and dates.
    // False with the database's reason when a read fails.
    bool load(QString& error);

    // Visible placements under a parent (0: the top level), in inSrt order.
    const QVector<int>& children(int parent) const;
    const SitePlacement& at(int index) const { return placements_[index]; }
    int placementCount() const { return static_cast<int>(placements_.size()); }
    // The index of the visible placement (parent, page), or -1.
    int find(int parent, int page) const;
    bool hasPage(int page) const { return pages_.contains(page); }
    const SitePage* page(int page) const;
    bool isCollecting(int page) const;

    // For tests and tools that build a tree without a database.
    void add(const SitePlacement& placement);
    void setPage(int number, const SitePage& page) { pages_.insert(number, page); }

  private:
    QVector<SitePlacement> placements_;
    QHash<int, QVector<int>> children_;
    QHash<int, SitePage> pages_;
};

}  // namespace arbor::web
