#pragma once
// What a folder import makes of a folder: every .html, .htm, .md and .txt file is a page;
// a folder beside a page file of the same stem holds that page's children; any other
// folder is a page of its own holding its files, unless it holds no page at all (a folder
// of pictures). Dot files and dot folders are left out. Siblings follow their names in
// natural order ("2" before "10"). Files that cannot be read as text are left out and
// reported, so the pages that remain can be numbered before anything is written.

#include <QList>
#include <QString>
#include <QVector>

namespace arbor::folderimport {

enum class SourceKind { Html, Markdown, Text, Folder };

struct SourcePage {
    SourceKind kind = SourceKind::Folder;
    QString path;     // the file, or the folder of a folder page (absolute, cleaned)
    QString name;     // the file name without its extension, or the folder's name
    int parent = -1;  // index of the parent page in the scan; -1: the import's target
    int order = 0;    // position among its siblings, from 0
};

struct SkippedFile {
    QString path;
    QString reason;
};

struct FolderScan {
    QVector<SourcePage> pages;  // depth first: each page right before its children
    QList<SkippedFile> skipped;
};

// The kind of page a file name makes; false for files that are not pages.
bool pageKindOf(const QString& fileName, SourceKind& kind);

// The text of a page file, decoded as the editor decodes files of its kind (HTML honours
// its charset declaration); false with a reason when the file cannot be read, its
// encoding is none of those known, or it holds no text.
bool readPageText(const QString& path, SourceKind kind, QString& text, QString& reason);

// Walks the folder and every folder below it (each real folder once, so links that loop
// end). Reads every page file once to leave out those readPageText refuses.
FolderScan scanFolder(const QString& folder);

// Natural order of names: runs of digits compare as numbers, the rest as Japanese text.
bool naturalLess(const QString& a, const QString& b);

}  // namespace arbor::folderimport
