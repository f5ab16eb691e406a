#include "web/yhtm_site_conversion.h"

#include <QFileInfo>
#include <QTextDocument>

#include "db/zsvr.h"
#include "web/html_converter.h"
#include "web/html_head.h"
#include "web/page_file_names.h"
#include "web/site_map.h"
#include "web/yhtm_settings.h"

namespace arbor::web {

namespace {

// One thread's converter: the settings are shared read-only; each conversion loads the
// page into a document of its own.
class YhtmPageConverter : public PageConverter {
  public:
    explicit YhtmPageConverter(const HtmlSiteSettings& site) : site_(site) {}

    bool convert(int page, const QByteArray& richText, const QString& outputPath,
                 const PageHeadData& headData, QString& head, QString& body,
                 QString& error) override {
        PageOptions options;
        options.pageNumber = page;
        options.targetPath = outputPath;
        options.linkPlacement = headData.linkPlacement;
        // The head texts keep no double quotes, as HtmHd stores them.
        auto stored = [](QString text) { return text.replace(u'"', u' '); };
        options.title = stored(headData.title);
        options.description = stored(headData.description);
        options.keywords = stored(headData.keywords);
        options.copyright = stored(headData.copyright);
        options.pngPictures = headData.pngPictures;
        options.robotsOff = headData.robotsOff;
        options.fullWidthTables = headData.fullWidthTables;
        // A page that was never given content is published empty, not refused.
        QTextDocument empty;
        const ConversionResult result = richText.isEmpty()
                                            ? HtmlConverter(site_).convertSitePage(empty, options)
                                            : convertPageBytes(richText, options, site_);
        if (!result.ok) {
            error = result.error;
            return false;
        }
        head = result.head;
        body = result.body;
        return true;
    }

  private:
    const HtmlSiteSettings& site_;
};

class YhtmSiteConversion : public SiteConversion {
  public:
    bool loadSettings(QString& error) override {
        site_ = defaultSiteSettings();
        if (!loadSiteSettings(site_, true, siteRootOfOpenDatabase()) || !loadTermTexts(site_)) {
            error = zSvr::instance().lastError();
            return false;
        }
        return true;
    }
    QString fileName(int parent, int page, bool link) const override {
        return HsFName(site_, site_.htmlKind, QString::number(parent), QString::number(page), link,
                       false);
    }
    QString setDocumentType(const QString& pageText) const override {
        QString page = pageText;
        SetDTD(page, site_.htmlKind);
        return page;
    }
    std::unique_ptr<PageConverter> converter() const override {
        return std::make_unique<YhtmPageConverter>(site_);
    }

  private:
    HtmlSiteSettings site_ = defaultSiteSettings();
};

}  // namespace

std::unique_ptr<SiteConversion> makeSiteConversion() {
    return std::make_unique<YhtmSiteConversion>();
}

bool writeSiteMap(int root, const QString& path, QString& error) {
    HtmlSiteSettings site = defaultSiteSettings();
    if (!loadSiteSettings(site, true, siteRootOfOpenDatabase())) {
        error = zSvr::instance().lastError();
        return false;
    }
    return MakeMap(site, root, path, error);
}

}  // namespace arbor::web
