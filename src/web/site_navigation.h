#pragma once
// The navigation every page file of the site carries: the top menu of the top-level
// sections (plain, or with drop-down lists), the breadcrumb trail, the left menu of the
// page's neighbourhood, the previous/next block that chains the pages in tree order, and
// on a collecting page the table of its children, newest first. Class and id names are
// the interface to the user's templates and style sheets.

#include <QString>
#include <QVector>
#include <functional>

#include "web/site_tree.h"

namespace arbor::web {

// The file name of a placement relative to the page folder (parent, page, is a link).
using FileNameOf = std::function<QString(int parent, int page, bool link)>;

// One published placement, in the order of a depth-first walk of the visible tree.
struct SequenceRow {
    int index = 0;
    int level = 0;
    int parent = 0;
    int page = 0;
    QString file;
    QString title;  // cleaned for markup (T_HtmMoji)
    bool hasChildren = false;
};

class PageSequence {
  public:
    // Fills the table from the top level: every visible placement whose page exists,
    // without the children of collecting pages. A page met again inside its own branch
    // (a cycle) is left out there.
    void build(const SiteTree& tree, const FileNameOf& fileName);
    const QVector<SequenceRow>& rows() const { return rows_; }
    int cursor() const { return cursor_; }
    void resetCursor() { cursor_ = 0; }

    // The left menu of a page, 12 blanks before its items; moves the cursor past the
    // page's row. Empty when the placement is not in the table.
    QString BuildLeftMenu(int parent, int page);
    // The row of a placement, looked up from the cursor as the walk advances; -1 when
    // absent.
    int locate(int parent, int page) const;
    // Inserts the top anchor and the previous/next block for the row before the cursor.
    QString InsertPageNavigation(const QString& pageText) const {
        return InsertPageNavigation(pageText, cursor_ - 1);
    }
    // The same for a given row (nothing for -1).
    QString InsertPageNavigation(const QString& pageText, int row) const;

  private:
    void fill(const SiteTree& tree, const FileNameOf& fileName, int parent, int level,
              QVector<int>& path);
    QVector<SequenceRow> rows_;
    int cursor_ = 0;
};

struct TopMenus {
    QString plain;
    QString dropDown;
};

// The top menus with the top-level placement `current` (a page number) marked "now".
TopMenus BuildTopMenus(const SiteTree& tree, const FileNameOf& fileName, int current);

// The trail of a placement below its parent's trail; the label is written as text.
QString BuildTrail(const QString& parentTrail, const QString& file, const QString& label);

// One child of a collecting page for its children table.
struct CollectedChild {
    int page = 0;
    QString label;  // tbTree.szDoc
    QString text;   // msDoc.txDoc
};

// The body with the children table inserted before "</body>"; unchanged without children.
QString AppendChildrenTable(const QString& body, const QVector<CollectedChild>& children,
                            const FileNameOf& fileName);

// A title for the menus: without blanks, "&", "<", ">", double quotes and apostrophes.
QString menuTitle(const QString& label);
// Text for HTML: "&", "<", ">" and double quotes as entities.
QString htmlText(const QString& text);

}  // namespace arbor::web
