#pragma once
// The pages of a Word export: a walk over the tree from the range's root that lists
// placements in their order with outline numbers (2-1-3: the third child of the first
// child of the second page).

#include <QList>
#include <QString>

namespace arbor::word {

enum class Range {
    AllPages,             // "全てのﾍﾟｰｼﾞ": from the top level
    CurrentNode,          // "現在のﾉｰﾄﾞ": the page and its direct children
    CurrentNodeAndBelow,  // "現在のﾉｰﾄﾞ以降全て": the page and everything below it
};

struct Entry {
    int parent = 0;
    int page = 0;
    QString number;  // outline number; empty for the current page of a node range
    // The walk met this page before (a link placement, or a cycle): it is listed again
    // but not descended into.
    bool repeated = false;
};

// Deeper levels are no longer opened once this many entries are listed; later siblings
// at the levels already open are still listed.
inline constexpr int kDescendLimit = 100;

// The entries of the range. For the node ranges the first entry is the current page
// (currentPage under currentParent). Reads the open database.
QList<Entry> pageList(Range range, int currentPage, int currentParent);

// The outline number in full-width characters ("2-1" -> "２－１").
QString fullWidthNumber(const QString& number);

// The heading of entry i: empty for an empty title, the title alone for the first
// entry, else the full-width outline number, a blank and the title.
QString headingText(int index, const QString& number, const QString& title);

// The heading level in the outline: 1 for the first entry, 2 for a number without "-",
// 3 for deeper ones.
int headingLevel(int index, const QString& number);

// The placement's label ("Select szDoc From tbTree Where noLfP=.. And noLfC=..").
QString placementTitle(int parent, int page);

}  // namespace arbor::word
