#pragma once
// The page files a site build writes, planned by its walk in tree order, and the writer
// that carries them out chunk by chunk: page texts are read for a chunk, converted when
// their cached HTML is stale, filled into their templates and written on the worker
// threads, and the chunk's cache updates and publish stamps go back in one transaction.

#include <QHash>
#include <QString>
#include <QVector>

#include "web/site_build.h"
#include "web/site_navigation.h"

namespace arbor::web {

struct PageJob {
    int level = 0;
    int parent = 0;
    int page = 0;
    bool link = false;
    bool stamp = false;    // dyPub is stamped after the write
    QString file;          // HsFName, relative to the page folder
    QString templateName;  // in the site's template folder
    QString trail;
    QString leftMenu;
    int menus = -1;     // the top menus of its top-level section
    int row = -1;       // its row in the page sequence (previous/next)
    PageHeadData head;  // own or inherited site settings of the page
};

// The pages' own head settings (tbHtm), read once per build.
class HeadSettings {
  public:
    void load();
    bool has(int page) const { return rows_.contains(page); }
    // The page's own row, else what it inherits; the title falls back to the label.
    PageHeadData effective(int page, const PageHeadData& inherited, const QString& label) const;

  private:
    QHash<int, PageHeadData> rows_;
};

struct PagePlan {
    QVector<TopMenus> menus;
    QVector<PageJob> jobs;
    QString siteTitle;  // the top page's title, for the template's element id="sTitle"
    QString topFile;    // the top page's file name, which that title links to
};

class PageWriter {
  public:
    PageWriter(SiteConversion& conversion, const SiteBuildRequest& request,
               const PageSequence& sequence, const PagePlan& plan, const HeadSettings& heads,
               int threads)
        : conversion_(conversion),
          request_(request),
          sequence_(sequence),
          plan_(plan),
          heads_(heads),
          threads_(threads) {}

    void run(int chunkSize, SiteBuildReport& report);

  private:
    SiteConversion& conversion_;
    const SiteBuildRequest& request_;
    const PageSequence& sequence_;
    const PagePlan& plan_;
    const HeadSettings& heads_;
    int threads_;
};

}  // namespace arbor::web
