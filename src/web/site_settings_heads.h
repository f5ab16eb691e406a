#pragma once
// The heads of page files already written, brought up to date after a change of a page's
// settings without writing the pages again: title, description, keywords, copyright and
// robots are replaced in place, in the form the site build writes them.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace arbor::web {

class SiteConversion;

struct HeadValues {
    QString title;  // empty: the placement's label
    QString description;
    QString keywords;
    QString copyright;
    bool noIndex = false;
};

// The page text with its head carrying the values. Only the part before "</head>" is
// touched. A meta line that is missing is added when its value is set, one whose value
// became empty is removed; robots is replaced as a whole value. Attributes in double or
// single quotes are both found; new lines take the form of the file (" />" in XHTML).
QString rewriteHead(const QString& page, const HeadValues& values, const QString& label);

// Every written file that carries the head of one of the pages: the files of its visible
// placements (not those of a collecting page's children, which carry the collecting page's
// head), its sub-page files and, for a collecting page, its children's files. Each file
// that exists and is not empty is rewritten with the page's values (valuesOf). Returns the
// number of files changed; files that could not be written are named in problems.
using HeadValuesOf = std::function<HeadValues(int page)>;
int rewriteWrittenHeads(const QList<int>& pages, const HeadValuesOf& valuesOf,
                        const SiteConversion& fileNames, QStringList& problems);

// The paths rewriteWrittenHeads looks at for a page, with the label of each (for the
// title when the values have none).
struct HeadFile {
    QString path;
    QString label;
};
QList<HeadFile> writtenFilesOf(int page, const SiteConversion& fileNames);

}  // namespace arbor::web
