#pragma once
// The web-output settings of a collection: those of the whole site (the one kaUsr row) and
// those of single pages (one tbHtm row per page, inherited by the pages below that have
// none). Reading, checking and writing them, and keeping the written site consistent after
// a change: the heads of page files already written are rewritten, and the pages whose
// output changes are marked for the next sync. The settings window and the site-settings
// command both work through these operations.

#include <QList>
#include <QString>
#include <QStringList>

namespace arbor::web {

class SiteConversion;

// ---------------------------------------------------------------- the whole site

struct SiteWideSettings {
    QString altAddress;         // HsHome2, shown with a trailing "/"
    int loadedHomeMode = 0;     // HiHome as read
    bool altOn = false;         // HiHome = 2
    int docType = 0;            // HiType, 0 to 3
    int mapDepth = 3;           // HiPopS, 3 to 6
    int pictureFolderMode = 0;  // HiPfold: 0 a folder per page file, 1 one folder
    QString pictureFolder;      // HsPfold, "Images" shown when empty in mode 1
};

// "Select HsHome2, HiHome, HiType , HiPopS, HiPfold, HsPfold From kaUsr", as the window
// shows it. False with the reason when the database could not be read.
bool loadSiteWide(SiteWideSettings& settings, QString& error);

// The home mode stored for the check box: 2 when on; when off, a loaded 2 becomes 0 and
// any other loaded value stays.
int homeModeToStore(const SiteWideSettings& settings);

// Checks and writes the row (updated, or inserted when there is none). The message is the
// one for the user: the confirmation, or why nothing was written.
bool saveSiteWide(const SiteWideSettings& settings, QString& message);

// ---------------------------------------------------------------- one page

struct PageSettings {
    int page = 0;
    bool exists = false;     // the page has a row of its own
    QString title;           // szTtl
    QString copyright;       // szCpy
    QString keywords;        // szKwd
    QString description;     // szDsc
    QString templ;           // saTpl
    QString fileName;        // saFnm
    bool root = false;       // boRoot
    QString subPages;        // saSbP
    bool noIndex = false;    // boNnx
    bool fitTables = false;  // boTbF
    int pictureFormat = 0;   // inPng: 1 JPEG, 2 PNG, 0 as the upper page

    // The values that go into the head of a written page.
    bool sameHead(const PageSettings& other) const;
    // The values that change what the site build writes.
    bool sameOutput(const PageSettings& other) const;
    bool sameAs(const PageSettings& other) const {
        return sameHead(other) && sameOutput(other) && root == other.root;
    }
};

// The page's own row ("Select noDoc, szTtl, ... From tbHtm Where noDoc="); exists false and
// empty values when it has none.
bool loadPageSettings(int page, PageSettings& settings, QString& error);

// The top page of the settings, the one whose row holds the site title and the first
// template: the site build's top page, the first visible top-level placement; 0 when the
// tree has none.
int settingsTopPage();

// The clean-up of the texts before saving: full-width blanks and line breaks become
// blanks; keywords become a comma list; double blanks in title and description become
// one; a file name with "_" has its "-" replaced by "_".
void cleanPageTexts(PageSettings& settings);

// The site's template folder holds the file (a plain name, no folder part).
bool templateFileExists(const QString& name);
// Why the template (or sub-page file) cannot be used: not a plain name, missing, empty,
// not UTF-8; "" when it can.
QString templateFileProblem(const QString& name);
// Why a page's own file name would not do on a web server ("" when it does, or is empty).
QString fileNameProblem(const QString& name);

struct PageSaveResult {
    bool saved = false;
    QString message;         // for the user (also when nothing was saved)
    QList<int> affected;     // the page and the pages below that inherit from it
    QList<int> marked;       // pages whose dyUdt was set, for the next sync
    int headsRewritten = 0;  // written page files whose head was changed
    QStringList problems;    // files that could not be rewritten
};

// Saves the page's settings against the values shown when it was loaded: clean-up,
// checks, the row, then the head rewrite of the written files and the re-output marking
// of the affected pages. edited receives the cleaned texts. fileNames gives the file
// names of placements after the save (its settings are loaded again here).
PageSaveResult savePageSettings(PageSettings& edited, const PageSettings& loaded,
                                SiteConversion& fileNames);

// Deletes the page's row; the page and those below that inherited from it take the values
// of the nearest row above again, in their written heads and in their next output.
PageSaveResult deletePageSettings(int page, SiteConversion& fileNames);

// The page and every page below it without a row of its own (depth first, a page with a
// row and its subtree left out). For the top page the search also starts at the top
// level, so every page of the tree without a row is included.
QList<int> affectedPages(int page, int topPage);

// "文書No 1002,1005" ... as the messages list pages (a long list is cut short).
QString pageListText(const QList<int>& pages);

}  // namespace arbor::web
