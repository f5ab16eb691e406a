#pragma once
// The collapsible tree index of the HTML export: every entry of the visible tree as a
// list item with a key (its parent's key plus one character), written once as lines and
// opened along a page's key for each page that carries it. Also the contents list and the
// two fixed pages of the frames kind.

#include <QString>
#include <QStringList>
#include <QVector>

namespace arbor::web {

// One placement of the export's tree, children in their order (a collecting page's
// newest first).
struct HtmEntry {
    int parent = 0;
    int page = 0;
    QString title;
    bool link = false;
    bool collecting = false;
    bool guarded = false;   // boHogo
    QString key;            // the tree-index key
    QString file;           // the page file, relative to the export folder
    int level = 0;          // 0 for the top
    QVector<int> children;  // indexes into the entry list
};

// The character of the n-th entry of a list (0-based): "1".."9", "A".."Z", "a".."z",
// then on from the character that the Japanese code page's 0x82A0 stands for.
QString treeKeyCharacter(int index);

// The export's file name of a placement: topName for the top page (when given), parent
// + "_" + page + ".htm" for a link placement, else page + ".htm".
QString htmFileName(int parent, int page, bool link, int topPage, const QString& topName);

// Fills the pattern's "?" with the values in order; "?" inside a value is dropped, so a
// value cannot move the next one.
QString fillMarks(const QString& pattern, const QStringList& values);

// The text conventions of the export: "~" a double quote, "|" a line break (CR LF), "@"
// two blanks.
QString applyConventions(const QString& text);

// The menu lines: "<ul>", the items of the entries below roots, "</ul>" ("@" already two
// blanks, "~" still standing for the double quote).
QStringList treeIndexLines(const QVector<HtmEntry>& entries, const QVector<int>& roots);

// The menu of one page: lists opened along its key, its own title marked; joined with
// CR LF, "~" turned into double quotes.
QString openTreeIndex(QStringList lines, const QString& key, const QString& title);

// navi.htm of the frames kind from the visible entries, and the frame page.
QString contentsPage(const QVector<HtmEntry>& entries, const QVector<int>& roots,
                     const QString& siteTitle);
QString framePage(int topPage, const QString& siteTitle, bool favicon);

// The page template of the tree-index kind with [TITLE], [STYLE], [DOC] and [MENU];
// elastic takes layout two.
QString treeIndexTemplate(bool elastic, bool favicon);

}  // namespace arbor::web
