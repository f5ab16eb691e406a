#pragma once
// Builds a Word document step by step, the way the Word export assembles pages:
// headings in the styles "見出し 1" to "見出し 3", paragraphs, whole page documents,
// page and section breaks, bookmarks, headers and footers with page numbers and a
// table of contents. writeDocx uses the same machinery for a single page.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "editor/document_model.h"
#include "exchange/docx_styles.h"

class QTextBlock;
class QTextDocument;

namespace arbor::docx {

// A one-line header or footer.
struct HeaderFooterText {
    QString text;
    bool pageNumber = false;  // the page number follows the text
    Qt::Alignment alignment = Qt::AlignLeft;
    double pointSize = 0;  // 0: the style's size
    QColor color;          // invalid: automatic
};

class DocxBuilder {
  public:
    explicit DocxBuilder(const StyleSet& styles = StyleSet::fromTable(Frmt::instance()));
    ~DocxBuilder();
    DocxBuilder(const DocxBuilder&) = delete;
    DocxBuilder& operator=(const DocxBuilder&) = delete;

    // Page size and margins of the current section and the ones after it.
    void setPageSetup(const doc::PageSetup& page);

    // A paragraph in style "見出し <level>" (1-3) with the heading's user format.
    void addHeading(int level, const QString& text);
    // A paragraph in the user format styleIndex (0-7), or unstyled for -1.
    void addParagraph(const QString& text, int styleIndex = kBody);
    // The content of a page's document: paragraphs, tables, pictures, links.
    void appendDocument(const QTextDocument& document);

    // The next paragraph starts a new page.
    void pageBreak();
    // Ends the current section; the next one starts on a new page and keeps the
    // header and footer unless it is given its own.
    void sectionBreak();
    // A bookmark at the start of the next paragraph (internal links point to it).
    void bookmark(const QString& name);

    // Header and footer of the current section, not linked to the previous one.
    void setHeader(const HeaderFooterText& header);
    void setHeader(const QTextDocument& header);
    void setFooter(const HeaderFooterText& footer);
    void setFooter(const QTextDocument& footer);

    // A table of contents of the heading levels from..to at the current position,
    // with right-aligned page numbers; Word brings it up to date when it opens the file.
    // Its entries are written as the field's current result, with the estimated pages
    // of the headings where they are known, so other readers show them as they are.
    void tableOfContents(int fromLevel = 1, int toLevel = 3);

    // Page estimates for the table of contents: the content added next starts on page
    // `page` (1-based; 0: unknown); sheetOfBlock, when given, tells on which sheet after
    // that page a block of the next appended document lands.
    void setContentPage(int page, std::function<int(const QTextBlock&)> sheetOfBlock = {});
    // Pages that come before the estimated ones (the table of contents itself).
    void setPageShift(int pages);

    struct Heading {
        int level;
        QString text;
        int page;  // estimated, without the shift; 0 when unknown
    };
    // The headings of the main document so far, in order.
    std::vector<Heading> headings() const;

    // The finished package (the builder may go on afterwards).
    QByteArray package(QString& error) const;
    // Writes the package under a temporary name and renames it into place.
    bool save(const QString& path, QString& error) const;

  private:
    struct State;
    std::unique_ptr<State> d_;
};

}  // namespace arbor::docx
