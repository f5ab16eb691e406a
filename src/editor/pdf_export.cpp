#include "editor/pdf_export.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

#include "app/file_io.h"
#include "editor/pictures.h"

namespace arbor::pdf {

namespace {

const QString kGothic = QStringLiteral("IPAPGothic");
const QString kMincho = QStringLiteral("IPAPMincho");

bool isMincho(const QString& family) {
    return family.contains(QStringLiteral("明朝")) ||
           family.contains(QLatin1String("Mincho"), Qt::CaseInsensitive) ||
           (family.contains(QLatin1String("Serif"), Qt::CaseInsensitive) &&
            !family.contains(QLatin1String("Sans"), Qt::CaseInsensitive));
}

// A copy for printing: every run is set in an IPA font first (the page's own font stays
// behind it for anything IPA lacks), so the PDF's text maps back to the right characters
// whatever other Japanese fonts the system offers.
std::unique_ptr<QTextDocument> printCopy(const QTextDocument& source) {
    std::unique_ptr<QTextDocument> copy(source.clone());
    pictures::copyResources(source, *copy);
    QFont font = source.defaultFont();
    font.setFamilies({isMincho(font.family()) ? kMincho : kGothic, font.family()});
    copy->setDefaultFont(font);
    copy->setDocumentMargin(0);
    struct Run {
        int start, length;
        QStringList families;
    };
    QList<Run> runs;
    for (QTextBlock b = copy->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            QStringList families = f.charFormat().fontFamilies().toStringList();
            const QString first = families.value(0, font.family());
            if (families.isEmpty())
                families << first;
            families.prepend(isMincho(first) ? kMincho : kGothic);
            runs.append({f.position(), f.length(), families});
        }
    QTextCursor cursor(copy.get());
    for (const Run& run : runs) {
        QTextCharFormat change;
        change.setFontFamilies(run.families);
        cursor.setPosition(run.start);
        cursor.setPosition(run.start + run.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(change);
    }
    return copy;
}

void drawArea(QPainter& painter, QTextDocument& document, const QPointF& at, const QRectF& clip) {
    painter.save();
    painter.translate(at);
    painter.setClipRect(clip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

}  // namespace

bool writePdf(const doc::DocumentParts& parts, const QString& path, QString& error) {
    if (!parts.body) {
        error = QStringLiteral("PDF にする文書がありません");
        return false;
    }
    const doc::PageSetup& page = parts.page;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Arbor"));
        // Margins are drawn here, not by the writer: header and footer live in them.
        const QSizeF points(page.width / 20.0, page.height / 20.0);
        const bool landscape = points.width() > points.height();
        const QPageSize size(landscape ? points.transposed() : points, QPageSize::Point, QString(),
                             QPageSize::ExactMatch);
        writer.setPageLayout(QPageLayout(size,
                                         landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Point));
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = QStringLiteral("PDF を作れません");
            return false;
        }
        const double unit = writer.resolution() / 72.0 / 20.0;  // device units per twip
        const QRectF body(page.marginLeft * unit, page.marginTop * unit,
                          (page.width - page.marginLeft - page.marginRight) * unit,
                          (page.height - page.marginTop - page.marginBottom) * unit);

        const std::unique_ptr<QTextDocument> text = printCopy(*parts.body);
        text->documentLayout()->setPaintDevice(&writer);
        text->setPageSize(body.size());
        std::unique_ptr<QTextDocument> header, footer;
        for (auto [source, copy] : {std::pair{parts.header, &header}, {parts.footer, &footer}}) {
            if (!source || source->isEmpty())
                continue;
            *copy = printCopy(*source);
            (*copy)->documentLayout()->setPaintDevice(&writer);
            (*copy)->setTextWidth(body.width());
        }

        const int pages = std::max(1, text->pageCount());
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                writer.newPage();
            drawArea(painter, *text, QPointF(body.left(), body.top() - i * body.height()),
                     QRectF(0, i * body.height(), body.width(), body.height()));
            if (header) {
                const double h = header->size().height();
                drawArea(painter, *header, QPointF(body.left(), std::max(0.0, body.top() - h)),
                         QRectF(0, 0, body.width(), h));
            }
            if (footer)
                drawArea(painter, *footer, QPointF(body.left(), body.bottom()),
                         QRectF(0, 0, body.width(), footer->size().height()));
        }
        painter.end();
    }
    buffer.close();
    if (!writeFileAtomically(path, bytes)) {
        error = QStringLiteral("ファイルを書き込めません: ") + path;
        return false;
    }
    return true;
}

}  // namespace arbor::pdf
