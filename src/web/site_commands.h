#pragma once
// The web menu's commands without their windows: the date a SinceDate build starts from,
// the build with its report for the user, and the preview of a placement's page file.

#include <QDateTime>
#include <QString>

#include "web/site_build.h"

namespace arbor::web {

// Asks for the date of a SinceDate build and confirms it; false when the user cancels or
// gives no valid date (after saying so).
bool askSinceDate(QDateTime& since);

// Runs the build and tells the user what went wrong in it (one message listing the pages
// that failed); the status panel gets the summary.
SiteBuildReport runSiteUpdate(SiteConversion& conversion, const SiteBuildRequest& request);

// A one-line summary: pages written, unchanged, protected, failed, seconds.
QString summaryOf(const SiteBuildReport& report);

// PreviewPage: the page file of the placement (parent 0 or less: the page's own name),
// shown in the browser. False, after the message, when the file does not exist.
bool PreviewPage(const SiteConversion& conversion, int page, int parent);
// The page file of a placement, as PreviewPage opens it.
QString pageFilePath(const SiteConversion& conversion, int page, int parent);

}  // namespace arbor::web
