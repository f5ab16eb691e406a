#pragma once
// Folder import: a folder of HTML, Markdown and text files (collections from other tools)
// becomes pages of the open document database, under a chosen page or at the top level,
// arranged as the folders arrange the files (folder_import_scan.h). Each page is stored
// as the editor stores a saved page; links between the files become tag links. The
// whole import is one transaction: when anything fails nothing of it stays.

#include <QList>
#include <QString>

#include "editor/document_model.h"
#include "exchange/folder_import_scan.h"

namespace arbor::folderimport {

struct ImportRequest {
    QString folder;
    int parent = 0;            // the page the imported pages go under; 0: the top level
    doc::PageSetup pageSetup;  // the page size new pages take
};

struct ImportReport {
    bool ok = false;
    bool cancelled = false;
    int pages = 0;      // pages written
    int firstPage = 0;  // number of the first page written; the rest follow in tree order
    QList<SkippedFile> skipped;
    QString error;  // why nothing was imported
    qint64 milliseconds = 0;
    // Where the time went: walking the folder and checking its files, reading each page
    // into the rich text, writing the rows (with the link-flag rebuild and the commit).
    qint64 scanMilliseconds = 0;
    qint64 convertMilliseconds = 0;
    qint64 writeMilliseconds = 0;
};

// Imports into the database open in zSvr::instance(). Shows its progress through
// progress() and stops (writing nothing) when the user asks it to.
ImportReport importFolder(const ImportRequest& request);

// The report for the user: the count, the time, and every skipped file with its reason.
QString reportText(const ImportReport& report);

}  // namespace arbor::folderimport
