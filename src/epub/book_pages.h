#pragma once
// The pages of a book: each page's stored rich text converted as an e-book page (XHTML
// 1.1, pictures into OEBPS/Images) on several threads, one component per thread, while
// the calling thread reads the next pages from the database. Links that would lead to a
// file the book does not hold are mended or dropped, so every reader can follow them.

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

#include "epub/book_plan.h"
#include "web/site_conversion.h"
#include "web/yhtm_settings.h"

namespace arbor::epub {

// The e-book kind of the conversion for the worker pool: file names, document type and a
// converter per thread. convert() gives the whole page in body (head stays empty).
class BookConversion : public web::SiteConversion {
  public:
    BookConversion(const web::HtmlSiteSettings& site, bool noItalics)
        : site_(site), noItalics_(noItalics) {}
    bool loadSettings(QString&) override { return true; }
    QString fileName(int parent, int page, bool link) const override;
    QString setDocumentType(const QString& pageText) const override;
    std::unique_ptr<web::PageConverter> converter() const override;

  private:
    const web::HtmlSiteSettings& site_;
    bool noItalics_;
};

struct PageOutcome {
    int written = 0;
    int empty = 0;         // pages without a document, written with their title only
    QStringList problems;  // pages written with their title only, and why
    QString failure;       // why the pages could not all be written (the book is incomplete)
    bool cancelled = false;
};

struct PageRunOptions {
    QString folder;  // OEBPS, ending in "/"
    bool fullWidthTables = false;
    bool noItalics = false;
    // Address of the HTML export that holds the pages the book leaves out ("" for none).
    QString htmAddress;
    int threads = 0;  // 0: one per core
    int chunk = 64;   // pages read from the database at a time
};

// Converts and writes the plan's pages; progress steps and cancelling between chunks.
PageOutcome writeBookPages(const BookPlan& plan, const web::HtmlSiteSettings& site,
                           const PageRunOptions& options);

// A link of the page (href of an "a" element) to a file that is not one of the book's
// files: a link placement's file ("parent_page.xhtml") becomes the page's own file when
// the book holds it; a page file the book leaves out becomes its address in the HTML
// export at htmAddress when one is given; anything else loses its address (the text stays).
QString mendBookLinks(const QString& page, const QSet<QString>& files, const QString& htmAddress);

// The page of a page that has no document: its title, as a heading.
QString titleOnlyPage(const QString& title);

}  // namespace arbor::epub
