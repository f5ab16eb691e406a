#pragma once
// Generates a large document collection into the open (empty) document database:
// a regular tree of pages with home placements, some links, a page with very many
// children, and a search word in a fixed share of the pages.

#include <QString>

namespace arbor::bench {

struct CollectionShape {
    int topPages = 10;
    int fanOut = 10;
    int depth = 5;            // levels below the root, the top level included
    int crossLinks = 100;     // pages of the deepest-but-one level linked elsewhere
    int wideChildren = 1000;  // links below the extra top-level page "一覧"
    int wordEvery = 100;      // every n-th page holds the search word
    int textChars = 400;      // plain text per page
    int richBytes = 1024;     // stored rich text per page
};

struct CollectionFacts {
    int pages = 0;
    int placements = 0;
    int firstPage = 0;
    int widePage = 0;  // the page with wideChildren children
    int deepPage = 0;  // a page at the deepest level
    int deepParent = 0;
    int wordPages = 0;  // pages holding the search word
    QString searchWord;
};

// Fills the open database (zSvr::instance()); false with a reason on failure.
bool generateCollection(const CollectionShape& shape, CollectionFacts& facts, QString& error);

}  // namespace arbor::bench
