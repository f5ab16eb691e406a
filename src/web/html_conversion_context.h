#pragma once
// What one conversion works with: the site settings (shared, read only), the options
// of the page, and what the conversion derives from them before the passes run.

#include <QHash>
#include <QString>

#include "web/yhtm_settings.h"

namespace arbor::web {

// Which conversion runs: the site page (CnvHtml), the saved page (cSaveHtm) or the
// inner body (cGetHtm).
enum class Operation { Site, Save, Inner };

// The per-page options: head data (HtmHd), page options (E_Opt, P_NoPic) and where
// the page goes.
struct PageOptions {
    int pageNumber = 0;
    QString targetPath;          // the page file (decides picture places and links)
    bool linkPlacement = false;  // the page file is parent_page (pictures take the page part)
    QString title;
    QString description;
    QString keywords;
    QString copyright;
    bool pngPictures = false;
    bool robotsOff = false;
    bool fullWidthTables = false;
    bool noItalicsInEbook = false;
    bool noPictures = false;
};

// Where the page file lies, for links to other pages.
enum class PagePlace { PageFolder, SiteRoot, LinkFolder, Elsewhere };

struct ConversionContext {
    const HtmlSiteSettings* site = nullptr;
    const PageOptions* page = nullptr;
    Operation operation = Operation::Site;
    int kind = kHtml401Transitional;
    PagePlace place = PagePlace::Elsewhere;
    QString pageFolder;  // folder of the target, ending in "/"
    // Picture references of the export and what they become.
    QHash<QString, QString> pictureReferences;

    bool ebook() const { return kind == kEbookXhtml11; }
    const UsrFormat& format(int index) const { return site->formats[index]; }
};

}  // namespace arbor::web
