#pragma once
// Links of a converted page: tag links ("#TG_" + page key) become the target page's
// file name relative to the page being converted, local links into the site folder
// become relative, everything else stays.

#include <QString>

#include "web/html_conversion_context.h"

namespace arbor::web {

// Where a page file lies, seen from the site settings.
PagePlace placeOf(const QString& targetPath, const HtmlSiteSettings& site);

// The href value (escaped as in markup) as the published page writes it.
QString rewriteLink(const QString& href, const ConversionContext& context);

}  // namespace arbor::web
