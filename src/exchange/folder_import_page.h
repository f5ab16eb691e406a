#pragma once
// One imported file as a page: its text read into the rich-text component (HTML with its
// links to other imported files turned into tags and its relative pictures embedded,
// Markdown through HTML, plain text one paragraph per line, a folder page empty), and
// what the database keeps of a saved page.

#include <QByteArray>
#include <QString>

#include "editor/document_model.h"
#include "exchange/folder_import_scan.h"

class QTextDocument;

namespace arbor {
class RichText;
}

namespace arbor::folderimport {

class PageLinks;

struct ImportedPage {
    QString title;      // cleaned as titles written to the database are
    QString plainText;  // msDoc.txDoc
    QString tags;       // msDoc.saTgs
    QByteArray bytes;   // msDoc.obDoc
};

// Replaces the content of rich (reused from page to page) with the page. text is the
// file's decoded text (ignored for a folder page).
ImportedPage convertPage(RichText& rich, const SourcePage& source, const QString& text,
                         const PageLinks& links, const doc::PageSetup& pageSetup);

// The title of a read page: the HTML <title>, else the first heading, else fallback; each
// cleaned, and the first that stays non-empty wins ("無題" when none does).
QString pageTitle(const QTextDocument& body, const QString& fallback);

}  // namespace arbor::folderimport
