#include "editor/page_painter.h"

#include <QAbstractTextDocumentLayout>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
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

// A face that is bold itself (not a regular one asked for bold).
bool boldFace(const QRawFont& font) {
    static const QRegularExpression bold(QStringLiteral("bold|black|heavy"),
                                         QRegularExpression::CaseInsensitiveOption);
    return font.styleName().contains(bold);
}

// Bold text in a font without a bold face (the IPA fonts have none) is drawn from the
// regular face, which Qt thickens only slightly on paper. Its outlines are stroked over
// it, about as much thicker as a bold face is; the text itself stays text, so it is found
// and copied as written.
void thickenSyntheticBold(QPainter& painter, QTextDocument& document, const QRectF& clip) {
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* lines = block.layout();
        if (!lines || lines->lineCount() == 0)
            continue;
        const QRectF box = layout->blockBoundingRect(block);
        if (box.bottom() < clip.top())
            continue;
        // Paragraphs of the page's own flow come in order; those of table cells side by
        // side do not, so only the flow ends the search.
        if (box.top() > clip.bottom()) {
            if (document.frameAt(block.position()) == document.rootFrame())
                break;
            continue;
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!fragment.isValid() || format.fontWeight() < QFont::Bold || format.isImageFormat())
                continue;
            const QColor colour = format.hasProperty(QTextFormat::ForegroundBrush)
                                      ? format.foreground().color()
                                      : QColor(Qt::black);
            const int from = fragment.position() - block.position();
            for (int i = 0; i < lines->lineCount(); ++i) {
                const QTextLine line = lines->lineAt(i);
                const int start = std::max(from, line.textStart());
                const int end =
                    std::min(from + fragment.length(), line.textStart() + line.textLength());
                if (start >= end)
                    continue;
                for (const QGlyphRun& run : line.glyphRuns(start, end - start)) {
                    const QRawFont font = run.rawFont();
                    if (boldFace(font))
                        continue;
                    QPainterPath outline;
                    const QList<quint32> glyphs = run.glyphIndexes();
                    const QList<QPointF> positions = run.positions();
                    for (qsizetype g = 0; g < glyphs.size(); ++g)
                        outline.addPath(font.pathForGlyph(glyphs[g]).translated(positions[g]));
                    painter.save();
                    painter.setPen(QPen(colour, font.pixelSize() / 32.0, Qt::SolidLine,
                                        Qt::RoundCap, Qt::RoundJoin));
                    painter.setBrush(Qt::NoBrush);
                    painter.drawPath(outline.translated(box.topLeft()));
                    painter.restore();
                }
            }
        }
    }
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
    thickenSyntheticBold(painter, document, clip);
    painter.restore();
}

struct Sheet {
    QRectF body;           // device units
    double marginTop = 0;  // device units
    double marginBottom = 0;
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
    sheet.marginTop = page.marginTop * unitY;
    sheet.marginBottom = page.marginBottom * unitY;
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
        // Header and footer stand in the middle of their margins, as far from the text as
        // from the paper's edge.
        if (header) {
            const double h = header->size().height();
            const double top = std::max(0.0, body.top() - (sheet.marginTop + h) / 2);
            drawSheetArea(painter, *header, QPointF(body.left(), top),
                          QRectF(0, 0, body.width(), h));
        }
        if (footer) {
            const double h = footer->size().height();
            const double top = body.bottom() + std::max(0.0, (sheet.marginBottom - h) / 2);
            drawSheetArea(painter, *footer, QPointF(body.left(), top),
                          QRectF(0, 0, body.width(), h));
        }
    }
    painter.end();
    return true;
}

}  // namespace arbor::printing
