#pragma once
// Pages for the HTML conversion tests, written the way the editor writes them (user
// formats applied as paragraph styles, fields, tables, pictures), and the checks the
// tests share: well-formedness by xmllint, files read back, golden files.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <memory>

#include "editor/rich_text.h"
#include "web/html_converter.h"
#include "web/yhtm_settings.h"

namespace arbor::test {

QByteArray pngPicture(const QColor& color, int width = 12, int height = 9);

// Writes paragraphs into a page in the user format styles of Frmt::instance().
class PageBuilder {
  public:
    PageBuilder();
    RichText& page() { return page_; }
    QTextCursor& cursor() { return page_.cursor(); }

    // A new paragraph in a style (kHeading1 ... kNote).
    PageBuilder& paragraph(int style, const QString& text);
    // Text at the caret, in the paragraph's style.
    PageBuilder& text(const QString& text);
    PageBuilder& field(const QString& label, const QString& data);
    PageBuilder& lineBreak();
    PageBuilder& picture(const QByteArray& bytes);
    // A paragraph with a background colour.
    PageBuilder& box(const QColor& background, const QString& text);
    PageBuilder& list(const QStringList& items);
    // A rows x columns table with texts "r,c", cell (0,1) merged with (0,2).
    PageBuilder& table(int rows, int columns, bool mergeFirstRow = true);
    // A table starting right after the previous one (no paragraph between).
    PageBuilder& joinedTable(int rows, int columns);

    std::unique_ptr<QTextDocument> copy() const;

  private:
    void newParagraph();
    RichText page_;
    bool first_ = true;
};

// A page with every construct of the editor: the six styles, an ideographic space,
// a genuine U+2177, tag/term/web links, a background box, an embedded frame (map) and
// script, a list, a table with merged cells, two joined tables, a picture.
void fillRepresentativePage(PageBuilder& b);

// Site settings for a site folder: the user formats in use, pub/ and lnk/ below root.
web::HtmlSiteSettings siteSettings(const QString& root);

QString readUtf8(const QString& path);
QByteArray fileBytes(const QString& path);

// Runs xmllint --noout on a file; ran is false when xmllint is not installed.
bool wellFormed(const QString& path, bool& ran, QString& messages);

// Compares text with tests/web/golden/<name>; ARBOR_UPDATE_GOLDEN=1 rewrites the file.
// Returns an empty text when equal, else a description of the first difference.
QString compareGolden(const QString& name, const QString& text);

}  // namespace arbor::test
