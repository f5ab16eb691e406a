#pragma once
// The files of a collection's site folder that no visible page uses any more: page files
// of pages that were deleted, hidden, renamed or moved, and pictures no page shows. Page
// files are those the visible tree names (with sub pages and the children of collecting
// pages); a file counts as used when such a page, or a page it links to, refers to it.
// The chosen files go to the trash.

#include <QList>
#include <QString>
#include <QStringList>

namespace arbor::web {

class SiteConversion;

// The use flag of the pages: all 0, then 1 for every page with a visible placement (one
// whose placements up to the top level are not hidden). False with the reason.
bool recomputePageUse(QString& error);

struct UnusedFile {
    QString path;      // absolute
    QString relative;  // to the site root
    qint64 size = 0;
    bool pageFile = false;  // .htm / .html; else a picture or another file
};

// Page files (page folder and site root) and other files of the page folder and the
// enlarged-picture folder that no used page refers to; page files first, then by path.
bool listUnusedSiteFiles(const SiteConversion& fileNames, QList<UnusedFile>& files, QString& error);

// Moves the files to the trash; the ones that could not be moved are put in failed.
int trashFiles(const QStringList& paths, QStringList& failed);

// "12.3 KB" and the like.
QString sizeText(qint64 bytes);

}  // namespace arbor::web
