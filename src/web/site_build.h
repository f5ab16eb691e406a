#pragma once
// The site build: the visible page tree of the open database becomes a static web site
// under its site folder. Every page file is the page's template filled with the page's
// cached HTML, the top menu, the trail, the left menu and the previous/next block. The
// build is incremental: a page is converted again only when it changed since its HTML was
// cached, and a file is written only when the update mode selects its placement.
//
// Pages convert and files are written on several threads; the database is read and
// written on the calling thread only, in chunks, each chunk's writes in one transaction.
// The progress interface shows the work and may cancel it between chunks; every file is
// written under a temporary name and renamed, so a cancelled or failed build leaves no
// half-written file.

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include "web/site_conversion.h"

namespace arbor::web {

enum class UpdateMode {
    Sync = -1,
    SinceDate = -2,
    TemplatePreview = -3,
    AllPages = 0,
    CurrentNode = 1,
    CurrentNodeAndBelow = 2,
};

struct SiteBuildRequest {
    UpdateMode mode = UpdateMode::Sync;
    QDateTime since;      // SinceDate
    int currentPage = 0;  // the placement shown in the editor
    int currentParent = 0;
};

struct SiteBuildReport {
    bool started = false;  // false: stopped before writing (see message)
    bool cancelled = false;
    int written = 0;    // page files written (sub-page and collected files included)
    int unchanged = 0;  // visible placements the mode did not select
    int guarded = 0;    // protected placements left as they were
    int converted = 0;  // pages converted anew
    int failed = 0;
    double seconds = 0;
    QStringList problems;  // one line per page that failed, with the reason
    QString message;       // why the build stopped, when it did
    QString topFile;       // the top page's file, to show at the end
    QString currentFile;   // the current placement's file (or the work template)
    QStringList phases;    // "name milliseconds" of each step, for measuring
};

class SiteBuild {
  public:
    explicit SiteBuild(SiteConversion& conversion) : conversion_(conversion) {}

    // UpdateSite without the editor and the browser: the caller saves the page being
    // edited first, shows the result and reports the problems. Messages that stop the
    // build go through the prompter as well as into the report.
    SiteBuildReport run(const SiteBuildRequest& request);

    // Threads that convert and write pages (default: the machine's cores).
    void setThreads(int threads) { threads_ = threads; }
    // Pages per chunk between database reads, writes and progress.
    void setChunkSize(int pages) { chunkSize_ = pages; }

  private:
    SiteConversion& conversion_;
    int threads_ = 0;
    int chunkSize_ = 64;
};

// Change propagation before a Sync or SinceDate walk: every placement's dyUdt_P becomes
// the latest change of the placements next to it (and of the top level). Writes only the
// values that change, in one transaction.
bool propagateChanges(QString& error);

}  // namespace arbor::web
