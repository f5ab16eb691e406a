#pragma once
// File names of published pages: HsFName and its site address HsFNameX work on a
// settings copy; HsFName2 reads a page's own entry from tbHtm.

#include <QString>

#include "web/yhtm_settings.h"

namespace arbor::web {

// A page number of fewer than three digits padded with zeros to three (7 -> "007").
QString padPageNumber(const QString& number);

// The file name of a placement relative to the page folder: parent_page.htm for a link
// placement, else the page's own name from the settings, else the padded number; ".htm"
// is added unless the name ends in ".htm" or ".html". For e-book pages (kind 4) without
// keepName own names are not used and the extension becomes "xhtml".
QString HsFName(const HtmlSiteSettings& site, int kind, const QString& parent,
                const QString& document, bool isLink, bool keepName);

// The page's address on the site: home address + "pub/" + name, or for a page of the
// site root under the alternative address (HiHome 2) home address + the name without
// its "../".
QString HsFNameX(const HtmlSiteSettings& site, int kind, const QString& parent,
                 const QString& document, bool isLink, bool keepName);

// The file name and folder of a page by its key ("page" or "parent_page") from
// "Select saFnm, boRoot From tbHtm Where noDoc=" page: the stored name (".htm" added
// when needed) or the padded default; folder is "pub/" unless boRoot is 1 (then "").
// False when the database could not be read.
bool HsFName2(const QString& pageKey, QString& name, QString& folder);

}  // namespace arbor::web
