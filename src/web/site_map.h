#pragma once
// The site map page: every visible page below a root in a table of eight columns, top
// pages with children as group rows, deeper pages with children as node rows, pages
// without children six to a row.

#include <QString>

#include "web/yhtm_settings.h"

namespace arbor::web {

// Reads the site's document type and map depth ("Select HiType, HiPopS  From kaUsr"),
// reloads the custom file names into a copy of site, walks the visible placements from
// root (0: the whole tree) and writes the page to path as UTF-8. False with a message
// when the database could not be read or the file not written.
bool MakeMap(const HtmlSiteSettings& site, int root, const QString& path, QString& error);

// The map's depth from HiPopS: 3 to 6, anything else 3.
int siteMapDepth(int hiPops);

}  // namespace arbor::web
