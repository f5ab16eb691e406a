#pragma once
// The conversion of one page into published HTML, re-entrant: all its state lives in
// the call, the settings are only read. Several converters (or one, from several
// threads) may run at once, each on its own document.

#include <QByteArray>
#include <QList>
#include <QString>

#include "editor/html_export.h"
#include "web/html_conversion_context.h"
#include "web/yhtm_settings.h"

class QTextDocument;

namespace arbor::web {

struct ConversionResult {
    bool ok = false;
    QString head;   // document type, meta lines, favicon, style block, title, "</head>"
    QString body;   // from "<body" to "</html>"
    QString error;  // why it failed (for the caller's message)
};

// cSaveHtm's kind argument.
enum class SaveKind { Site = 0, NoDoctype = 1, Ebook = 2 };

class HtmlConverter {
  public:
    explicit HtmlConverter(const HtmlSiteSettings& site) : site_(site) {}

    // CnvHtml: head and body of a site page; pictures go to the picture folder. The
    // document is changed (its fields and pictures); pass a copy you do not need.
    ConversionResult convertSitePage(QTextDocument& document, const PageOptions& page) const;

    // cSaveHtm: the whole page written as UTF-8 to page.targetPath.
    bool savePage(const QTextDocument& document, const PageOptions& page, SaveKind kind,
                  QString& error) const;

    // cGetHtm: the markup between "<body>" and "</body>" and the style block.
    bool innerBody(const QTextDocument& document, const PageOptions& page, QString& body,
                   QString& styleBlock, QString& error) const;

    // The stages after the export, on the export's markup and its pictures (from
    // html::exportHtml with collect set). For kind Site the result holds head and body;
    // for Save the joined page is in body (document type applied, not written); for
    // Inner body holds the inner markup and head the style block.
    ConversionResult convertMarkup(const QString& exportedHtml,
                                   const QList<html::ExportedPicture>& pictures,
                                   const PageOptions& page, Operation operation, int kind) const;

    // The kind a conversion writes.
    int kindFor(Operation operation, SaveKind save) const;

  private:
    // Exports a copy of document, or consumable itself when given.
    bool exportPage(const QTextDocument& document, QTextDocument* consumable,
                    const PageOptions& page, QString& html, QList<html::ExportedPicture>& pictures,
                    QString& error) const;
    const HtmlSiteSettings& site_;
};

// For the site build: a page's obDoc bytes to head and body, as CnvHtml makes them.
ConversionResult convertPageBytes(const QByteArray& obDoc, const PageOptions& page,
                                  const HtmlSiteSettings& site);

}  // namespace arbor::web
