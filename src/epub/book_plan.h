#pragma once
// What goes into a book, in reading order: the walk of the visible tree from the book's
// root (or from the top level) gives the table of contents, and each page once, with its
// file name. The tree is read once; the walk itself runs in memory.

#include <QHash>
#include <QString>
#include <QVector>

#include "epub/epub_package.h"

namespace arbor::epub {

struct BookPage {
    int page = 0;
    QString file;  // relative to OEBPS
};

struct BookPlan {
    QVector<NavPoint> points;  // the table of contents, in reading order
    QVector<BookPage> pages;   // every page once, in the order of its first navigation point
    QStringList files;         // the file of every navigation point (a page placed twice twice)
    QString bookPages = QStringLiteral(".");  // "." + each page of a book with a root + "."
    int depth = 0;                            // levels of the table of contents
};

// One visible placement as the walk reads it.
struct TreeEntry {
    int page = 0;
    QString label;
};

// The visible placements by parent, children in their order.
using VisibleTree = QHash<int, QVector<TreeEntry>>;

// Reads "Select noLfP, noLfC, szDoc From tbTree Where boHide=0 Order By noLfP, inSrt".
bool readVisibleTree(VisibleTree& tree, QString& error);

// The walk. root 0: every top-level page starts a branch at level 0; otherwise the root is
// the first navigation point (play order 1, its rootTitle) and its visible descendants
// follow one level deeper. fileName gives a page's file. A page below itself (a link that
// closes a loop) is listed but not walked into again.
BookPlan planBook(const VisibleTree& tree, int root, const QString& rootTitle,
                  QString (*fileName)(int page));

// The e-book file name of a page: its number padded to three digits + ".xhtml".
QString bookFileName(int page);

}  // namespace arbor::epub
