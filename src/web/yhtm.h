#pragma once
// yHtm: the program's one HTML converter, as the page editor and the e-book builder use
// it. It keeps the site settings (SetKaHtm), the head data and options of the next page
// and the attached rich-text control, and hands the work to HtmlConverter, which the
// site build may also use directly (several at once, see html_converter.h).

#include <QString>

#include "web/html_conversion_context.h"
#include "web/html_converter.h"
#include "web/yhtm_settings.h"

namespace arbor {

class RichText;

class yHtm {
  public:
    static yHtm& instance();
    yHtm();

    // Attaches the control whose content is converted and the work folder.
    void cOn(RichText* control, const QString& workFolder);
    // Detaches the control and forgets the page options.
    void cOff();
    void E_Opt(bool fullWidthTables, bool noItalicsInEbook);
    void HtmHd(const QString& title, const QString& description, const QString& keywords,
               const QString& copyright, bool pngPictures, bool robotsOff, bool fullWidthTables);
    void P_NoPic(bool noPictures);
    // Reads the site settings of the open database; with reloadNames also the favicon,
    // the pub and lnk folders (below siteRoot(), the lnk folder is created) and the
    // custom file names. False when the database could not be read (the settings stay
    // as they were).
    bool SetKaHtm(bool reloadNames);
    // The document type of the current kind (the site's, or that of the last save).
    void SetDTD(QString& page) const;
    // Converts the attached control's page for the site: head and body, pictures placed
    // for targetPath; writes no page file.
    bool CnvHtml(const QString& targetPath, QString& head, QString& body, bool linkPlacement);
    // Converts the control's page and writes it to targetPath. kind 1: no document
    // type; 2: e-book page (XHTML 1.1); anything else: the site's kind.
    bool cSaveHtm(RichText* control, const QString& targetPath, int kind);
    // The markup between "<body>" and "</body>" of the control's page (pictures beside
    // targetPath); styleBlock, when given, receives the page's style block.
    bool cGetHtm(RichText* control, const QString& targetPath, QString& pageText,
                 QString* styleBlock = nullptr);
    // Writes the site map of the subtree of root (0: the whole tree) to path.
    bool MakeMap(int root, const QString& path);
    void HsFName(const QString& parent, const QString& document, bool isLink, bool keepName,
                 QString& name) const;
    QString HsFNameX(const QString& parent, const QString& document, bool isLink,
                     bool keepName) const;
    bool HsFName2(const QString& pageKey, QString& name, QString& folder) const;
    static void T_HtmMoji(QString& text);

    // The page the next conversion is for.
    void setPageNumber(int page) { page_.pageNumber = page; }
    // The site folder SetKaHtm uses; empty: that of the open database.
    void setSiteRoot(const QString& root) { siteRoot_ = root; }
    QString siteRoot() const;
    // The settings copy every conversion uses (the e-book builder sets bookPages and,
    // for a book without a root, homeMode 0 here).
    web::HtmlSiteSettings& settings() { return site_; }
    const web::HtmlSiteSettings& settings() const { return site_; }
    const web::PageOptions& pageOptions() const { return page_; }
    int HtmlKind() const { return kind_; }
    RichText* control() const { return control_; }
    QString workFolder() const { return workFolder_; }
    // Why the last operation failed.
    QString lastError() const { return error_; }

  private:
    RichText* control_ = nullptr;
    QString workFolder_;
    QString siteRoot_;
    web::HtmlSiteSettings site_;
    web::PageOptions page_;
    int kind_ = web::kHtml401Transitional;
    QString error_;
};

}  // namespace arbor
