#pragma once
// The site build's conversion through yHtm: the site settings of the open database, the
// file names of placements, the document type, and one converter per thread that loads a
// page's stored rich text into its own component and converts it as a site page.

#include <memory>

#include "web/site_conversion.h"

namespace arbor::web {

std::unique_ptr<SiteConversion> makeSiteConversion();

// MakeMap: the site map of the tree from root (0: the whole tree) written to path.
bool writeSiteMap(int root, const QString& path, QString& error);

}  // namespace arbor::web
