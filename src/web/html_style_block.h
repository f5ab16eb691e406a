#pragma once
// The style block of a converted page: rules for body, links and headings from the
// user formats, fixed rules for blocks and tables, and one rule per class.

#include <QString>

#include "web/html_classes.h"
#include "web/yhtm_settings.h"

namespace arbor::web {

// The CSS fragments of a user format: "font-family:'name';", "font-size:Npt;",
// "color:#RRGGBB;".
struct FormatRules {
    QString family;
    QString size;
    QString colour;
};
FormatRules formatRules(const UsrFormat& format);

// The fixed link colours, as CSS.
inline constexpr int kLinkColours[3] = {0xFF8080, 0x808000, 0x404080};

// "small" below 12 pt, "medium" from 12 to below 14, "large" from 14.
QString bodySizeKeyword(int points);

enum class StyleBlockKind { SavedPage, EbookPage, SitePage };

// The whole block from "<style type='text/css'>" to "</style>", lines ending in CR LF,
// apostrophes still single (the head turns them into double quotes).
QString styleBlock(const HtmlSiteSettings& site, const ClassRegistry& classes, StyleBlockKind kind);

}  // namespace arbor::web
