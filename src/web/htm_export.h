#pragma once
// The HTML export: the visible page tree written as a plain static HTML site into a
// folder of its own, one file per page, with a frame page and a contents frame, or with
// the collapsible tree index repeated in every page. The common files come from the
// skeleton "Htm/Moto/cmn" of the user data folder.
//
// The new export is built in a folder beside the target and moved into place only when
// it is complete, so a failure leaves the earlier export as it was.

#include <QString>
#include <QStringList>

namespace arbor::web {

struct HtmExportRequest {
    QString folder;        // the export folder (default: defaultHtmFolder())
    QString topFileName;   // the top page's file name ("" for its number; the frame page in frames)
    bool frames = false;   // frame page and contents frame instead of the tree index
    bool elastic = false;  // the tree index's second layout (page-el.css)
    bool emptyFirst = false;
};

struct HtmExportReport {
    bool ok = false;
    QString message;       // why nothing was exported
    QString folder;        // where the export stands
    QString entryPath;     // the page to open: the frame page or the top page
    int written = 0;       // page files
    int skipped = 0;       // protected pages left as they were
    QStringList problems;  // pages that could not be converted (not written)
};

// UserPath + "Htm/" + DbName.
QString defaultHtmFolder();

// The skeleton "Htm/Moto" of the user data folder, made from the program's own when
// missing. False with a reason.
bool ensureHtmSkeleton(QString& error);

// Why a folder cannot take an export ("" when it can): the user data folder, the site
// folder, the skeleton, a folder that holds any of them or the open database file.
QString refuseHtmFolder(const QString& folder);

// The export of the open database. Protected pages ask the prompter (No keeps their
// earlier file); progress goes to the progress interface.
HtmExportReport exportHtm(const HtmExportRequest& request);

}  // namespace arbor::web
