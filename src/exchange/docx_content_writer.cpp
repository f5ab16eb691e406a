#include "exchange/docx_content_writer.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <QVariant>
#include <cmath>

#include "editor/document_model.h"
#include "exchange/docx_format_writer.h"
#include "exchange/docx_styles.h"
#include "exchange/ooxml.h"
#include "exchange/wml_write.h"

namespace arbor::docx {

namespace {

constexpr double kMaxWrittenPicturePixels = 20000;

bool isPng(const QByteArray& b) {
    return b.startsWith("\x89PNG\r\n\x1a\n");
}
bool isJpeg(const QByteArray& b) {
    return b.startsWith("\xFF\xD8\xFF");
}

QByteArray encodePng(const QImage& image) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        return {};
    return out;
}

// Where a field's data leads: an anchor inside the document (our link conventions and
// "#name") or an outside target.
bool isAnchorData(const QString& data) {
    return data.startsWith(QLatin1String("TG_")) || data.startsWith(QLatin1String("TP_")) ||
           data.startsWith(QLatin1String("LK_OBJ")) || data.startsWith(QLatin1Char('#'));
}

QString plainHeadingText(const QTextBlock& block) {
    QString text = block.text();
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::LineSeparator, QLatin1Char(' '));
    return text.trimmed();
}

QString borderValue(QTextFrameFormat::BorderStyle style) {
    switch (style) {
        case QTextFrameFormat::BorderStyle_None:
            return QStringLiteral("nil");
        case QTextFrameFormat::BorderStyle_Dotted:
            return QStringLiteral("dotted");
        case QTextFrameFormat::BorderStyle_Dashed:
            return QStringLiteral("dashed");
        case QTextFrameFormat::BorderStyle_Double:
            return QStringLiteral("double");
        case QTextFrameFormat::BorderStyle_DotDash:
            return QStringLiteral("dotDash");
        case QTextFrameFormat::BorderStyle_DotDotDash:
            return QStringLiteral("dotDotDash");
        default:  // solid, and Qt's 3-D styles, which Word would draw quite differently
            return QStringLiteral("single");
    }
}

void writeBorder(QXmlStreamWriter& x, const QString& side, double widthPx,
                 QTextFrameFormat::BorderStyle style, const QBrush& brush) {
    x.writeEmptyElement(side);
    if (widthPx <= 0 || style == QTextFrameFormat::BorderStyle_None) {
        x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("nil"));
        return;
    }
    x.writeAttribute(QStringLiteral("w:val"), borderValue(style));
    // Eighths of a point: one pixel is three quarters of a point.
    x.writeAttribute(QStringLiteral("w:sz"),
                     QString::number(std::clamp(int(std::lround(widthPx * 6)), 2, 96)));
    x.writeAttribute(QStringLiteral("w:space"), QStringLiteral("0"));
    x.writeAttribute(QStringLiteral("w:color"), brush.style() == Qt::NoBrush
                                                    ? QStringLiteral("auto")
                                                    : ooxml::hexColor(brush.color()));
}

void writeWidth(QXmlStreamWriter& x, const QString& name, int value, const QString& type) {
    x.writeEmptyElement(name);
    x.writeAttribute(QStringLiteral("w:w"), QString::number(value));
    x.writeAttribute(QStringLiteral("w:type"), type);
}

struct Grid {
    std::vector<int> twips;
    std::vector<double> percent;  // > 0 where the column is given in percent
};

Grid tableGrid(const QTextTableFormat& f, int columns, int textWidth) {
    Grid g;
    g.twips.assign(size_t(columns), 0);
    g.percent.assign(size_t(columns), 0);
    const QTextLength width = f.width();
    int tableWidth = textWidth;
    if (width.type() == QTextLength::FixedLength)
        tableWidth = int(std::lround(width.rawValue() * ooxml::kTwipsPerPixel));
    else if (width.type() == QTextLength::PercentageLength)
        tableWidth = int(std::lround(textWidth * width.rawValue() / 100));
    tableWidth = qMax(tableWidth, columns * 100);
    const QList<QTextLength> constraints = f.columnWidthConstraints();
    int known = 0, variable = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength l = c < constraints.size() ? constraints.at(c) : QTextLength();
        if (l.type() == QTextLength::FixedLength) {
            g.twips[size_t(c)] = int(std::lround(l.rawValue() * ooxml::kTwipsPerPixel));
        } else if (l.type() == QTextLength::PercentageLength && l.rawValue() > 0) {
            g.percent[size_t(c)] = l.rawValue();
            g.twips[size_t(c)] = int(std::lround(tableWidth * l.rawValue() / 100));
        } else {
            ++variable;
            continue;
        }
        known += g.twips[size_t(c)];
    }
    const int share = variable ? qMax(100, (tableWidth - known) / variable) : 0;
    for (int c = 0; c < columns; ++c)
        if (g.twips[size_t(c)] <= 0)
            g.twips[size_t(c)] = share > 0 ? share : 100;
    return g;
}

}  // namespace

QByteArray pictureBytes(const QTextDocument& document, const QString& name, QString& extension) {
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(name));
    QByteArray bytes;
    if (resource.typeId() == QMetaType::QByteArray) {
        bytes = resource.toByteArray();
    } else if (resource.typeId() == QMetaType::QImage) {
        bytes = encodePng(resource.value<QImage>());
    } else if (resource.typeId() == QMetaType::QPixmap) {
        bytes = encodePng(resource.value<QPixmap>().toImage());
    }
    if (bytes.isEmpty())
        return {};
    if (isPng(bytes)) {
        extension = QStringLiteral("png");
        return bytes;
    }
    if (isJpeg(bytes)) {
        extension = QStringLiteral("jpeg");
        return bytes;
    }
    // Other formats Qt can read (GIF, BMP) go in as PNG.
    extension = QStringLiteral("png");
    return encodePng(QImage::fromData(bytes));
}

ContentWriter::ContentWriter(QXmlStreamWriter& xml, Relations& rels, WriteState& state,
                             int textWidth, bool mainDocument)
    : x_(xml), rels_(rels), state_(state), textWidth_(textWidth), main_(mainDocument) {}

void ContentWriter::writeDocument(const QTextDocument& document) {
    document_ = &document;
    listIds_.clear();
    writeFrame(document.rootFrame());
    document_ = nullptr;
    listIds_.clear();
}

void ContentWriter::writeFrame(const QTextFrame* frame) {
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) {
            if (const auto* table = qobject_cast<const QTextTable*>(child))
                writeTable(table);
            else
                writeFrame(child);
        } else if (it.currentBlock().isValid()) {
            writeBlock(it.currentBlock());
        }
    }
}

bool ContentWriter::claimBookmark(const QString& name, int& id) {
    const QString safe = wml::xmlSafe(name);
    if (safe.isEmpty() || state_.bookmarkNames.contains(safe))
        return false;
    state_.bookmarkNames.insert(safe);
    id = state_.nextBookmarkId++;
    return true;
}

void ContentWriter::writeBookmark(const QString& name) {
    int id = 0;
    if (!claimBookmark(name, id))
        return;
    x_.writeEmptyElement(QStringLiteral("w:bookmarkStart"));
    x_.writeAttribute(QStringLiteral("w:id"), QString::number(id));
    x_.writeAttribute(QStringLiteral("w:name"), wml::xmlSafe(name));
    x_.writeEmptyElement(QStringLiteral("w:bookmarkEnd"));
    x_.writeAttribute(QStringLiteral("w:id"), QString::number(id));
}

void ContentWriter::writePendingBookmarks() {
    if (!main_)
        return;
    const QStringList names = std::exchange(state_.pendingBookmarks, {});
    for (const QString& name : names)
        writeBookmark(name);
}

void ContentWriter::openHyperlink(const QString& data) {
    x_.writeStartElement(QStringLiteral("w:hyperlink"));
    if (isAnchorData(data)) {
        const QString anchor = data.startsWith(QLatin1Char('#')) ? data.mid(1) : data;
        x_.writeAttribute(QStringLiteral("w:anchor"), wml::xmlSafe(anchor));
    } else {
        x_.writeAttribute(QStringLiteral("r:id"),
                          rels_.add(ooxml::relType("hyperlink"), wml::xmlSafe(data), true));
    }
    x_.writeAttribute(QStringLiteral("w:history"), QStringLiteral("1"));
}

void ContentWriter::writeBlock(const QTextBlock& block) {
    QTextBlockFormat format = block.blockFormat();
    if (main_ && std::exchange(state_.pendingPageBreak, false))
        format.setPageBreakPolicy(format.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
    const int styleIndex =
        format.hasProperty(doc::StyleIndex) ? format.intProperty(doc::StyleIndex) : -1;
    ParagraphOptions options;
    options.styleId = styleId(styleIndex);
    for (auto it = block.begin(); !it.atEnd(); ++it)
        options.hasPicture = options.hasPicture || it.fragment().charFormat().isImageFormat();
    if (const QTextList* list = block.textList()) {
        const QTextListFormat lf = list->format();
        const int level = qBound(0, lf.indent() - 1, 8);
        int& id = listIds_[list];
        if (!id)
            id = state_.numbering.add(lf.style(), level);
        options.numId = id;
        options.numLevel = level;
    }

    x_.writeStartElement(QStringLiteral("w:p"));
    writeParagraphProperties(x_, format, block.charFormat(), options);
    writePendingBookmarks();

    int headingBookmark = 0;
    if (main_ && styleIndex >= 0 && styleIndex <= 2) {
        const QString text = plainHeadingText(block);
        const QString name =
            QStringLiteral("_Toc%1").arg(state_.headings.size() + 1, 8, 10, QLatin1Char('0'));
        if (!text.isEmpty() && claimBookmark(name, headingBookmark)) {
            int page = 0;
            if (state_.contentPage > 0)
                page = state_.contentPage + (state_.sheetOfBlock ? state_.sheetOfBlock(block) : 0);
            state_.headings.push_back({styleIndex + 1, text, name, page});
            x_.writeEmptyElement(QStringLiteral("w:bookmarkStart"));
            x_.writeAttribute(QStringLiteral("w:id"), QString::number(headingBookmark));
            x_.writeAttribute(QStringLiteral("w:name"), name);
        }
    }

    int openField = 0;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const QTextCharFormat f = fragment.charFormat();
        int field = f.intProperty(doc::FieldId);
        const QString data = f.stringProperty(doc::FieldData);
        if (field <= 0 || data.isEmpty())
            field = 0;
        if (field != openField) {
            if (openField)
                x_.writeEndElement();
            openField = field;
            if (field)
                openHyperlink(data);
        }
        for (const QString& name : f.anchorNames())
            writeBookmark(name);
        if (f.isImageFormat()) {
            for (const QChar c : fragment.text())
                if (c == QChar::ObjectReplacementCharacter)
                    writeImage(f.toImageFormat());
        } else {
            writeTextRun(x_, fragment.text(), f);
        }
    }
    if (openField)
        x_.writeEndElement();
    if (headingBookmark) {
        x_.writeEmptyElement(QStringLiteral("w:bookmarkEnd"));
        x_.writeAttribute(QStringLiteral("w:id"), QString::number(headingBookmark));
    }
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter)
        writePageBreakRun(x_);
    x_.writeEndElement();
}

void ContentWriter::writeImage(const QTextImageFormat& format) {
    QString extension;
    const QByteArray bytes = pictureBytes(*document_, format.name(), extension);
    if (bytes.isEmpty())
        return;  // nothing to show: the picture is left out rather than the document refused
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QSize natural = reader.size();
    double w = format.hasProperty(QTextFormat::ImageWidth) ? format.width() : 0;
    double h = format.hasProperty(QTextFormat::ImageHeight) ? format.height() : 0;
    if (w <= 0 && h <= 0 && natural.isValid()) {
        w = natural.width();
        h = natural.height();
    } else if (w <= 0 && natural.isValid() && natural.height() > 0) {
        w = h * natural.width() / natural.height();
    } else if (h <= 0 && natural.isValid() && natural.width() > 0) {
        h = w * natural.height() / natural.width();
    }
    if (!(w > 0 && h > 0))
        return;
    w = std::min(w, kMaxWrittenPicturePixels);
    h = std::min(h, kMaxWrittenPicturePixels);
    const QString cx = QString::number(qint64(std::llround(w * ooxml::kEmuPerPixel)));
    const QString cy = QString::number(qint64(std::llround(h * ooxml::kEmuPerPixel)));
    const QString media = state_.media.add(bytes, extension);
    const QString relId = rels_.add(ooxml::relType("image"), media);
    const int id = state_.nextDrawingId++;
    const QString fileName = media.section(QLatin1Char('/'), -1);

    QXmlStreamWriter& x = x_;
    x.writeStartElement(QStringLiteral("w:r"));
    x.writeStartElement(QStringLiteral("w:drawing"));
    x.writeStartElement(QStringLiteral("wp:inline"));
    for (const char* d : {"distT", "distB", "distL", "distR"})
        x.writeAttribute(wml::attr(d), QStringLiteral("0"));
    x.writeEmptyElement(QStringLiteral("wp:extent"));
    x.writeAttribute(QStringLiteral("cx"), cx);
    x.writeAttribute(QStringLiteral("cy"), cy);
    x.writeEmptyElement(QStringLiteral("wp:docPr"));
    x.writeAttribute(QStringLiteral("id"), QString::number(id));
    x.writeAttribute(QStringLiteral("name"), QStringLiteral("Picture %1").arg(id));
    x.writeStartElement(QStringLiteral("wp:cNvGraphicFramePr"));
    x.writeEmptyElement(QStringLiteral("a:graphicFrameLocks"));
    x.writeAttribute(QStringLiteral("noChangeAspect"), QStringLiteral("1"));
    x.writeEndElement();
    x.writeStartElement(QStringLiteral("a:graphic"));
    x.writeStartElement(QStringLiteral("a:graphicData"));
    x.writeAttribute(QStringLiteral("uri"), QLatin1String(ooxml::kNsPic));
    x.writeStartElement(QStringLiteral("pic:pic"));
    x.writeStartElement(QStringLiteral("pic:nvPicPr"));
    x.writeEmptyElement(QStringLiteral("pic:cNvPr"));
    x.writeAttribute(QStringLiteral("id"), QString::number(id));
    x.writeAttribute(QStringLiteral("name"), fileName);
    x.writeEmptyElement(QStringLiteral("pic:cNvPicPr"));
    x.writeEndElement();
    x.writeStartElement(QStringLiteral("pic:blipFill"));
    x.writeEmptyElement(QStringLiteral("a:blip"));
    x.writeAttribute(QStringLiteral("r:embed"), relId);
    x.writeStartElement(QStringLiteral("a:stretch"));
    x.writeEmptyElement(QStringLiteral("a:fillRect"));
    x.writeEndElement();
    x.writeEndElement();
    x.writeStartElement(QStringLiteral("pic:spPr"));
    x.writeStartElement(QStringLiteral("a:xfrm"));
    x.writeEmptyElement(QStringLiteral("a:off"));
    x.writeAttribute(QStringLiteral("x"), QStringLiteral("0"));
    x.writeAttribute(QStringLiteral("y"), QStringLiteral("0"));
    x.writeEmptyElement(QStringLiteral("a:ext"));
    x.writeAttribute(QStringLiteral("cx"), cx);
    x.writeAttribute(QStringLiteral("cy"), cy);
    x.writeEndElement();
    x.writeStartElement(QStringLiteral("a:prstGeom"));
    x.writeAttribute(QStringLiteral("prst"), QStringLiteral("rect"));
    x.writeEmptyElement(QStringLiteral("a:avLst"));
    x.writeEndElement();
    x.writeEndElement();  // spPr
    x.writeEndElement();  // pic
    x.writeEndElement();  // graphicData
    x.writeEndElement();  // graphic
    x.writeEndElement();  // inline
    x.writeEndElement();  // drawing
    x.writeEndElement();  // r
}

void ContentWriter::writeTable(const QTextTable* table) {
    const QTextTableFormat f = table->format();
    const int rows = table->rows();
    const int columns = table->columns();
    if (rows <= 0 || columns <= 0)
        return;
    const Grid grid = tableGrid(f, columns, textWidth_);
    QXmlStreamWriter& x = x_;
    // Word ignores a page break before a paragraph inside a table: break before it.
    if (main_ && std::exchange(state_.pendingPageBreak, false)) {
        x.writeStartElement(QStringLiteral("w:p"));
        writePageBreakRun(x);
        x.writeEndElement();
    }

    x.writeStartElement(QStringLiteral("w:tbl"));
    x.writeStartElement(QStringLiteral("w:tblPr"));
    const QTextLength width = f.width();
    if (width.type() == QTextLength::FixedLength)
        writeWidth(x, QStringLiteral("w:tblW"),
                   int(std::lround(width.rawValue() * ooxml::kTwipsPerPixel)),
                   QStringLiteral("dxa"));
    else if (width.type() == QTextLength::PercentageLength)
        writeWidth(x, QStringLiteral("w:tblW"), int(std::lround(width.rawValue() * 50)),
                   QStringLiteral("pct"));
    else
        writeWidth(x, QStringLiteral("w:tblW"), 0, QStringLiteral("auto"));
    if (f.hasProperty(QTextFormat::BlockAlignment)) {
        const Qt::Alignment a = f.alignment();
        if (a & Qt::AlignHCenter)
            wml::val(x, QStringLiteral("w:jc"), QStringLiteral("center"));
        else if (a & Qt::AlignRight)
            wml::val(x, QStringLiteral("w:jc"), QStringLiteral("right"));
    }
    x.writeStartElement(QStringLiteral("w:tblBorders"));
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"})
        writeBorder(x, wml::attr(side), f.border(), f.borderStyle(), f.borderBrush());
    x.writeEndElement();
    if (f.hasProperty(QTextFormat::TableCellPadding)) {
        const int pad = int(std::lround(qMax(0.0, f.cellPadding()) * ooxml::kTwipsPerPixel));
        x.writeStartElement(QStringLiteral("w:tblCellMar"));
        for (const char* side : {"w:top", "w:left", "w:bottom", "w:right"})
            writeWidth(x, wml::attr(side), pad, QStringLiteral("dxa"));
        x.writeEndElement();
    }
    x.writeEndElement();  // tblPr

    x.writeStartElement(QStringLiteral("w:tblGrid"));
    for (int w : grid.twips) {
        x.writeEmptyElement(QStringLiteral("w:gridCol"));
        x.writeAttribute(QStringLiteral("w:w"), QString::number(w));
    }
    x.writeEndElement();

    for (int r = 0; r < rows; ++r) {
        x.writeStartElement(QStringLiteral("w:tr"));
        if (r < f.headerRowCount()) {
            x.writeStartElement(QStringLiteral("w:trPr"));
            x.writeEmptyElement(QStringLiteral("w:tblHeader"));
            x.writeEndElement();
        }
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (!cell.isValid() || cell.column() != c)
                continue;  // covered by a cell spanning from the left
            const int span = qBound(1, cell.columnSpan(), columns - c);
            const bool origin = cell.row() == r;
            const QTextTableCellFormat cf = cell.format().toTableCellFormat();

            x.writeStartElement(QStringLiteral("w:tc"));
            x.writeStartElement(QStringLiteral("w:tcPr"));
            int twips = 0;
            double percent = 0;
            bool allPercent = true;
            for (int k = c; k < c + span; ++k) {
                twips += grid.twips[size_t(k)];
                percent += grid.percent[size_t(k)];
                allPercent = allPercent && grid.percent[size_t(k)] > 0;
            }
            if (allPercent)
                writeWidth(x, QStringLiteral("w:tcW"), int(std::lround(percent * 50)),
                           QStringLiteral("pct"));
            else
                writeWidth(x, QStringLiteral("w:tcW"), twips, QStringLiteral("dxa"));
            if (span > 1)
                wml::val(x, QStringLiteral("w:gridSpan"), span);
            if (!origin)
                x.writeEmptyElement(QStringLiteral("w:vMerge"));
            else if (cell.rowSpan() > 1)
                wml::val(x, QStringLiteral("w:vMerge"), QStringLiteral("restart"));
            const bool cellBorders = cf.hasProperty(QTextFormat::TableCellTopBorder) ||
                                     cf.hasProperty(QTextFormat::TableCellLeftBorder) ||
                                     cf.hasProperty(QTextFormat::TableCellBottomBorder) ||
                                     cf.hasProperty(QTextFormat::TableCellRightBorder);
            if (cellBorders) {
                x.writeStartElement(QStringLiteral("w:tcBorders"));
                if (cf.hasProperty(QTextFormat::TableCellTopBorder))
                    writeBorder(x, QStringLiteral("w:top"), cf.topBorder(), cf.topBorderStyle(),
                                cf.topBorderBrush());
                if (cf.hasProperty(QTextFormat::TableCellLeftBorder))
                    writeBorder(x, QStringLiteral("w:left"), cf.leftBorder(), cf.leftBorderStyle(),
                                cf.leftBorderBrush());
                if (cf.hasProperty(QTextFormat::TableCellBottomBorder))
                    writeBorder(x, QStringLiteral("w:bottom"), cf.bottomBorder(),
                                cf.bottomBorderStyle(), cf.bottomBorderBrush());
                if (cf.hasProperty(QTextFormat::TableCellRightBorder))
                    writeBorder(x, QStringLiteral("w:right"), cf.rightBorder(),
                                cf.rightBorderStyle(), cf.rightBorderBrush());
                x.writeEndElement();
            }
            if (cf.hasProperty(QTextFormat::BackgroundBrush) &&
                cf.background().style() != Qt::NoBrush) {
                x.writeEmptyElement(QStringLiteral("w:shd"));
                x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("clear"));
                x.writeAttribute(QStringLiteral("w:color"), QStringLiteral("auto"));
                x.writeAttribute(QStringLiteral("w:fill"),
                                 ooxml::hexColor(cf.background().color()));
            }
            if (cf.hasProperty(QTextFormat::TextVerticalAlignment)) {
                switch (cf.verticalAlignment()) {
                    case QTextCharFormat::AlignMiddle:
                        wml::val(x, QStringLiteral("w:vAlign"), QStringLiteral("center"));
                        break;
                    case QTextCharFormat::AlignBottom:
                        wml::val(x, QStringLiteral("w:vAlign"), QStringLiteral("bottom"));
                        break;
                    case QTextCharFormat::AlignTop:
                        wml::val(x, QStringLiteral("w:vAlign"), QStringLiteral("top"));
                        break;
                    default:
                        break;
                }
            }
            x.writeEndElement();  // tcPr

            bool endsWithParagraph = false;
            if (origin) {
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    if (const QTextFrame* child = it.currentFrame()) {
                        if (const auto* inner = qobject_cast<const QTextTable*>(child))
                            writeTable(inner);
                        else
                            writeFrame(child);
                        endsWithParagraph = false;
                    } else if (it.currentBlock().isValid()) {
                        writeBlock(it.currentBlock());
                        endsWithParagraph = true;
                    }
                }
            }
            if (!endsWithParagraph)  // a cell ends with a paragraph
                x.writeEmptyElement(QStringLiteral("w:p"));
            x.writeEndElement();  // tc
        }
        x.writeEndElement();  // tr
    }
    x.writeEndElement();  // tbl
}

}  // namespace arbor::docx
