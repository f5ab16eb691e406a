#include "editor/page_painter.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>
#include <algorithm>
#include <memory>

#include "editor/pictures.h"

namespace arbor::printing {

namespace {

// A copy laid out for the device; the page's own documents keep their screen layout.
std::unique_ptr<QTextDocument> deviceCopy(const QTextDocument& source, QPagedPaintDevice& device,
                                          const CopyAdjuster& adjust) {
    std::unique_ptr<QTextDocument> copy(source.clone());
    pictures::copyResources(source, *copy);
    if (adjust)
        adjust(*copy);
    copy->setDocumentMargin(0);
    copy->documentLayout()->setPaintDevice(&device);
    return copy;
}

void drawSheetArea(QPainter& painter, QTextDocument& document, const QPointF& at,
                   const QRectF& clip) {
    painter.save();
    painter.translate(at);
    painter.setClipRect(clip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

struct Sheet {
    QRectF body;  // device units
    std::unique_ptr<QTextDocument> text;
};

Sheet layOut(const doc::DocumentParts& parts, QPagedPaintDevice& device,
             const CopyAdjuster& adjust = {}) {
    const doc::PageSetup& page = parts.page;
    // Margins are drawn here: header and footer live in them.
    const QSizeF points(page.width / 20.0, page.height / 20.0);
    const bool landscape = points.width() > points.height();
    const QPageSize size(landscape ? points.transposed() : points, QPageSize::Point, QString(),
                         QPageSize::ExactMatch);
    device.setPageLayout(QPageLayout(size,
                                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Point));
    // The device may keep hardware margins of its own: place the page in its paint rect.
    const double unit = device.logicalDpiX() / 72.0 / 20.0;  // device units per twip
    const double unitY = device.logicalDpiY() / 72.0 / 20.0;
    const QRect paintRect = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const QRect fullRect = device.pageLayout().fullRectPixels(device.logicalDpiX());
    const QPointF shift = fullRect.topLeft() - paintRect.topLeft();
    Sheet sheet;
    sheet.body = QRectF(page.marginLeft * unit + shift.x(), page.marginTop * unitY + shift.y(),
                        (page.width - page.marginLeft - page.marginRight) * unit,
                        (page.height - page.marginTop - page.marginBottom) * unitY);
    sheet.text = deviceCopy(*parts.body, device, adjust);
    sheet.text->setPageSize(sheet.body.size());
    return sheet;
}

}  // namespace

int sheetCount(const doc::DocumentParts& parts, QPagedPaintDevice& device) {
    if (!parts.body)
        return 0;
    return std::max(1, layOut(parts, device).text->pageCount());
}

bool paintPage(const doc::DocumentParts& parts, QPagedPaintDevice& device, QString& error,
               int first, int last, const CopyAdjuster& adjust) {
    if (!parts.body) {
        error = QStringLiteral("印刷する文書がありません");
        return false;
    }
    Sheet sheet = layOut(parts, device, adjust);
    std::unique_ptr<QTextDocument> header, footer;
    for (auto [source, copy] : {std::pair{parts.header, &header}, {parts.footer, &footer}}) {
        if (!source || source->isEmpty())
            continue;
        *copy = deviceCopy(*source, device, adjust);
        (*copy)->setTextWidth(sheet.body.width());
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        error = QStringLiteral("印刷を始められません");
        return false;
    }
    const int sheets = std::max(1, sheet.text->pageCount());
    const int from = first > 0 ? std::min(first, sheets) : 1;
    const int to = last > 0 ? std::clamp(last, from, sheets) : sheets;
    const QRectF& body = sheet.body;
    for (int i = from - 1; i < to; ++i) {
        if (i > from - 1)
            device.newPage();
        drawSheetArea(painter, *sheet.text, QPointF(body.left(), body.top() - i * body.height()),
                      QRectF(0, i * body.height(), body.width(), body.height()));
        if (header) {
            const double h = header->size().height();
            drawSheetArea(painter, *header, QPointF(body.left(), std::max(0.0, body.top() - h)),
                          QRectF(0, 0, body.width(), h));
        }
        if (footer)
            drawSheetArea(painter, *footer, QPointF(body.left(), body.bottom()),
                          QRectF(0, 0, body.width(), footer->size().height()));
    }
    painter.end();
    return true;
}

}  // namespace arbor::printing
