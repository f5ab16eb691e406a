#include "exchange/word_page_estimate.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

#include "editor/pictures.h"

namespace arbor::word {

struct PageEstimate::State {
    doc::PageSetup page;
    docx::StyleSet styles;
    QBuffer sink;
    std::unique_ptr<QPdfWriter> device;
    QSizeF body;  // device units

    void prepare(QTextDocument& d) {
        d.setDocumentMargin(0);
        d.documentLayout()->setPaintDevice(device.get());
        d.setPageSize(body);
    }

    int sheetOf(const QTextDocument& d, const QTextBlock& block) const {
        const QRectF box = d.documentLayout()->blockBoundingRect(block);
        return qMax(0, int(std::floor((box.top() + 0.5) / body.height())));
    }

    int sheetsOf(const QTextDocument& d) const { return qMax(1, d.pageCount()); }

    void styledParagraph(QTextCursor& c, int styleIndex, const QString& text, bool first) {
        QTextBlockFormat block;
        QTextCharFormat chars;
        docx::applyUserFormat(styles, styleIndex, block, chars);
        if (first) {
            c.setBlockFormat(block);
            c.setBlockCharFormat(chars);
        } else {
            c.insertBlock(block, chars);
        }
        c.insertText(text, chars);
    }
};

PageEstimate::PageEstimate(const doc::PageSetup& page, const docx::StyleSet& styles)
    : d_(std::make_unique<State>()) {
    d_->page = page;
    d_->styles = styles;
    d_->sink.open(QIODevice::WriteOnly);
    d_->device = std::make_unique<QPdfWriter>(&d_->sink);
    const QSizeF points(page.width / 20.0, page.height / 20.0);
    const bool landscape = points.width() > points.height();
    d_->device->setPageLayout(
        QPageLayout(QPageSize(landscape ? points.transposed() : points, QPageSize::Point, QString(),
                              QPageSize::ExactMatch),
                    landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                    QMarginsF(0, 0, 0, 0), QPageLayout::Point));
    const double unit = d_->device->logicalDpiX() / 72.0 / 20.0;  // device units per twip
    const double unitY = d_->device->logicalDpiY() / 72.0 / 20.0;
    d_->body = QSizeF(qMax(100, page.width - page.marginLeft - page.marginRight) * unit,
                      qMax(100, page.height - page.marginTop - page.marginBottom) * unitY);
}

PageEstimate::~PageEstimate() = default;

PageEstimate::Layout PageEstimate::layOut(int headingLevel, const QString& heading,
                                          const QTextDocument* document) {
    Layout out;
    std::unique_ptr<QTextDocument> copy(document ? document->clone() : new QTextDocument);
    if (document)
        pictures::copyResources(*document, *copy);
    // The heading goes in front as a paragraph of its own, so the document's block n
    // becomes block n + 1.
    const int shift = heading.isEmpty() ? 0 : 1;
    if (shift) {
        QTextCursor c(copy.get());
        c.movePosition(QTextCursor::Start);
        const QTextBlockFormat first = c.blockFormat();
        const QTextCharFormat firstChars = c.blockCharFormat();
        c.insertBlock(first, firstChars);
        c.movePosition(QTextCursor::Start);
        d_->styledParagraph(c, qBound(1, headingLevel, 3) - 1, heading, true);
    }
    d_->prepare(*copy);
    out.sheets = d_->sheetsOf(*copy);
    if (document) {
        for (QTextBlock b = copy->begin(); b.isValid(); b = b.next())
            if (b.blockNumber() >= shift)
                out.sheetOfBlock.insert(b.blockNumber() - shift, d_->sheetOf(*copy, b));
    }
    return out;
}

int PageEstimate::tableOfContentsSheets(const std::vector<docx::DocxBuilder::Heading>& headings) {
    QTextDocument toc;
    QTextCursor c(&toc);
    bool first = true;
    for (const auto& h : headings) {
        // Entries are body text indented by level, with the page number after a tab.
        d_->styledParagraph(c, arbor::kBody, h.text + QStringLiteral("\t000"), first);
        QTextBlockFormat indent = c.blockFormat();
        indent.setLeftMargin((h.level - 1) * 210 / 20.0);
        c.setBlockFormat(indent);
        first = false;
    }
    d_->prepare(toc);
    return d_->sheetsOf(toc);
}

}  // namespace arbor::word
