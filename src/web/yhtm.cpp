#include "web/yhtm.h"

#include <QTextDocument>
#include <memory>

#include "editor/pictures.h"
#include "editor/rich_text.h"
#include "web/html_head.h"
#include "web/html_text.h"
#include "web/page_file_names.h"
#include "web/site_map.h"

namespace arbor {

namespace {

QString withoutDoubleQuotes(QString text) {
    text.replace(u'"', u' ');
    return text;
}

const QString kNoControl = QStringLiteral("変換するページがありません");

}  // namespace

yHtm& yHtm::instance() {
    static yHtm converter;
    return converter;
}

yHtm::yHtm() : site_(web::defaultSiteSettings()) {}

void yHtm::cOn(RichText* control, const QString& workFolder) {
    control_ = control;
    workFolder_ = workFolder;
    if (!workFolder_.isEmpty() && !workFolder_.endsWith(u'/'))
        workFolder_ += u'/';
}

void yHtm::cOff() {
    control_ = nullptr;
    page_ = web::PageOptions();
}

void yHtm::E_Opt(bool fullWidthTables, bool noItalicsInEbook) {
    page_.fullWidthTables = fullWidthTables;
    page_.noItalicsInEbook = noItalicsInEbook;
}

void yHtm::HtmHd(const QString& title, const QString& description, const QString& keywords,
                 const QString& copyright, bool pngPictures, bool robotsOff, bool fullWidthTables) {
    page_.title = withoutDoubleQuotes(title);
    page_.description = withoutDoubleQuotes(description);
    page_.keywords = withoutDoubleQuotes(keywords);
    page_.copyright = withoutDoubleQuotes(copyright);
    page_.pngPictures = pngPictures;
    page_.robotsOff = robotsOff;
    page_.fullWidthTables = fullWidthTables;
}

void yHtm::P_NoPic(bool noPictures) {
    page_.noPictures = noPictures;
}

QString yHtm::siteRoot() const {
    return siteRoot_.isEmpty() ? web::siteRootOfOpenDatabase() : siteRoot_;
}

bool yHtm::SetKaHtm(bool reloadNames) {
    web::HtmlSiteSettings loaded = site_;
    if (!web::loadSiteSettings(loaded, reloadNames, siteRoot())) {
        error_ = QStringLiteral("サイトの設定を読めません");
        return false;
    }
    site_ = std::move(loaded);
    kind_ = site_.htmlKind;
    return true;
}

void yHtm::SetDTD(QString& page) const {
    web::SetDTD(page, kind_);
}

bool yHtm::CnvHtml(const QString& targetPath, QString& head, QString& body, bool linkPlacement) {
    head.clear();
    body.clear();
    if (!control_) {
        error_ = kNoControl;
        return false;
    }
    web::PageOptions page = page_;
    page.targetPath = targetPath;
    page.linkPlacement = linkPlacement;
    std::unique_ptr<QTextDocument> copy(control_->body()->clone());
    pictures::copyResources(*control_->body(), *copy);
    kind_ = site_.htmlKind;
    const web::ConversionResult r = web::HtmlConverter(site_).convertSitePage(*copy, page);
    error_ = r.error;
    if (!r.ok)
        return false;
    head = r.head;
    body = r.body;
    return true;
}

bool yHtm::cSaveHtm(RichText* control, const QString& targetPath, int kind) {
    RichText* source = control ? control : control_;
    if (!source) {
        error_ = kNoControl;
        return false;
    }
    web::PageOptions page = page_;
    page.targetPath = targetPath;
    const web::SaveKind save = kind == 1   ? web::SaveKind::NoDoctype
                               : kind == 2 ? web::SaveKind::Ebook
                                           : web::SaveKind::Site;
    const web::HtmlConverter converter(site_);
    kind_ = converter.kindFor(web::Operation::Save, save);
    error_.clear();
    return converter.savePage(*source->body(), page, save, error_);
}

bool yHtm::cGetHtm(RichText* control, const QString& targetPath, QString& pageText,
                   QString* styleBlock) {
    RichText* source = control ? control : control_;
    pageText.clear();
    if (!source) {
        error_ = kNoControl;
        return false;
    }
    web::PageOptions page = page_;
    page.targetPath = targetPath;
    QString styles;
    error_.clear();
    const bool ok =
        web::HtmlConverter(site_).innerBody(*source->body(), page, pageText, styles, error_);
    if (ok && styleBlock)
        *styleBlock = styles;
    return ok;
}

bool yHtm::MakeMap(int root, const QString& path) {
    error_.clear();
    return web::MakeMap(site_, root, path, error_);
}

void yHtm::HsFName(const QString& parent, const QString& document, bool isLink, bool keepName,
                   QString& name) const {
    name = web::HsFName(site_, kind_, parent, document, isLink, keepName);
}

QString yHtm::HsFNameX(const QString& parent, const QString& document, bool isLink,
                       bool keepName) const {
    return web::HsFNameX(site_, kind_, parent, document, isLink, keepName);
}

bool yHtm::HsFName2(const QString& pageKey, QString& name, QString& folder) const {
    return web::HsFName2(pageKey, name, folder);
}

void yHtm::T_HtmMoji(QString& text) {
    web::T_HtmMoji(text);
}

}  // namespace arbor
