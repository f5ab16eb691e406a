#include "exchange/docx_format_writer.h"

#include <QBrush>
#include <cmath>

#include "exchange/ooxml.h"
#include "exchange/wml_write.h"

namespace arbor::docx {

namespace {

// Starts an element only when something is written into it.
class LazyElement {
  public:
    LazyElement(QXmlStreamWriter& x, const QString& name) : x_(x), name_(name) {}
    ~LazyElement() {
        if (open_)
            x_.writeEndElement();
    }
    LazyElement(const LazyElement&) = delete;
    LazyElement& operator=(const LazyElement&) = delete;
    QXmlStreamWriter& operator()() {
        if (!open_) {
            x_.writeStartElement(name_);
            open_ = true;
        }
        return x_;
    }

  private:
    QXmlStreamWriter& x_;
    QString name_;
    bool open_ = false;
};

QStringList familiesOf(const QTextCharFormat& f) {
    if (f.hasProperty(QTextFormat::FontFamilies)) {
        QStringList list = f.property(QTextFormat::FontFamilies).toStringList();
        list.removeAll(QString());
        if (!list.isEmpty())
            return list;
    }
    const QString family = f.stringProperty(QTextFormat::FontFamily);
    if (!family.isEmpty())
        return {family};
    return {};
}

QColor brushColor(const QTextFormat& f, int property) {
    if (!f.hasProperty(property))
        return {};
    const QBrush brush = f.brushProperty(property);
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

QString underlineValue(QTextCharFormat::UnderlineStyle style) {
    switch (style) {
        case QTextCharFormat::NoUnderline:
            return QStringLiteral("none");
        case QTextCharFormat::DashUnderline:
            return QStringLiteral("dash");
        case QTextCharFormat::DotLine:
            return QStringLiteral("dotted");
        case QTextCharFormat::DashDotLine:
            return QStringLiteral("dotDash");
        case QTextCharFormat::DashDotDotLine:
            return QStringLiteral("dotDotDash");
        case QTextCharFormat::WaveUnderline:
            return QStringLiteral("wave");
        default:
            return QStringLiteral("single");
    }
}

void writeShading(QXmlStreamWriter& x, const QColor& fill) {
    x.writeEmptyElement(QStringLiteral("w:shd"));
    x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("clear"));
    x.writeAttribute(QStringLiteral("w:color"), QStringLiteral("auto"));
    x.writeAttribute(QStringLiteral("w:fill"), ooxml::hexColor(fill));
}

QString twips(double points) {
    return QString::number(ooxml::toTwips(points));
}

}  // namespace

void writeRunProperties(QXmlStreamWriter& x, const QTextCharFormat& f) {
    LazyElement rPr(x, QStringLiteral("w:rPr"));
    const QStringList families = familiesOf(f);
    if (!families.isEmpty()) {
        rPr().writeEmptyElement(QStringLiteral("w:rFonts"));
        const QString latin = wml::xmlSafe(families.front());
        x.writeAttribute(QStringLiteral("w:ascii"), latin);
        x.writeAttribute(QStringLiteral("w:hAnsi"), latin);
        x.writeAttribute(QStringLiteral("w:eastAsia"),
                         wml::xmlSafe(families.size() > 1 ? families.at(1) : families.front()));
        x.writeAttribute(QStringLiteral("w:cs"), latin);
    }
    if (f.hasProperty(QTextFormat::FontWeight))
        wml::toggle(rPr(), QStringLiteral("w:b"), f.fontWeight() >= QFont::DemiBold);
    if (f.hasProperty(QTextFormat::FontItalic))
        wml::toggle(rPr(), QStringLiteral("w:i"), f.fontItalic());
    if (f.hasProperty(QTextFormat::FontCapitalization)) {
        const QFont::Capitalization caps = f.fontCapitalization();
        wml::toggle(rPr(), QStringLiteral("w:caps"), caps == QFont::AllUppercase);
        wml::toggle(rPr(), QStringLiteral("w:smallCaps"), caps == QFont::SmallCaps);
    }
    if (f.hasProperty(QTextFormat::FontStrikeOut))
        wml::toggle(rPr(), QStringLiteral("w:strike"), f.fontStrikeOut());
    if (f.hasProperty(QTextFormat::ForegroundBrush)) {
        const QColor color = brushColor(f, QTextFormat::ForegroundBrush);
        wml::val(rPr(), QStringLiteral("w:color"),
                 color.isValid() ? ooxml::hexColor(color) : QStringLiteral("auto"));
    }
    double points = 0;
    if (f.hasProperty(QTextFormat::FontPointSize))
        points = f.fontPointSize();
    else if (f.hasProperty(QTextFormat::FontPixelSize))
        points = f.intProperty(QTextFormat::FontPixelSize) * 0.75;
    if (points > 0) {
        const int halfPoints = std::clamp(int(std::lround(points * 2)), 2, 3276);
        wml::val(rPr(), QStringLiteral("w:sz"), halfPoints);
        wml::val(x, QStringLiteral("w:szCs"), halfPoints);
    }
    if (f.hasProperty(QTextFormat::TextUnderlineStyle))
        wml::val(rPr(), QStringLiteral("w:u"), underlineValue(f.underlineStyle()));
    else if (f.hasProperty(QTextFormat::FontUnderline))
        wml::val(rPr(), QStringLiteral("w:u"),
                 f.fontUnderline() ? QStringLiteral("single") : QStringLiteral("none"));
    const QColor background = brushColor(f, QTextFormat::BackgroundBrush);
    if (background.isValid())
        writeShading(rPr(), background);
    if (f.hasProperty(QTextFormat::TextVerticalAlignment)) {
        switch (f.verticalAlignment()) {
            case QTextCharFormat::AlignSuperScript:
                wml::val(rPr(), QStringLiteral("w:vertAlign"), QStringLiteral("superscript"));
                break;
            case QTextCharFormat::AlignSubScript:
                wml::val(rPr(), QStringLiteral("w:vertAlign"), QStringLiteral("subscript"));
                break;
            default:
                break;
        }
    }
}

void writeParagraphProperties(QXmlStreamWriter& x, const QTextBlockFormat& b,
                              const QTextCharFormat& mark, const ParagraphOptions& options) {
    LazyElement pPr(x, QStringLiteral("w:pPr"));
    if (!options.styleId.isEmpty())
        wml::val(pPr(), QStringLiteral("w:pStyle"), options.styleId);
    if (b.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        pPr().writeEmptyElement(QStringLiteral("w:pageBreakBefore"));
    if (options.numId > 0) {
        pPr().writeStartElement(QStringLiteral("w:numPr"));
        wml::val(x, QStringLiteral("w:ilvl"), options.numLevel);
        wml::val(x, QStringLiteral("w:numId"), options.numId);
        x.writeEndElement();
    }
    const QColor background = brushColor(b, QTextFormat::BackgroundBrush);
    if (background.isValid())
        writeShading(pPr(), background);

    const bool hasBefore = b.hasProperty(QTextFormat::BlockTopMargin);
    const bool hasAfter = b.hasProperty(QTextFormat::BlockBottomMargin);
    const bool hasLine = b.hasProperty(QTextFormat::LineHeightType);
    QString line, rule;
    if (hasLine) {
        const double h = b.lineHeight();
        switch (b.lineHeightType()) {
            case QTextBlockFormat::SingleHeight:
                line = QStringLiteral("240");
                rule = QStringLiteral("auto");
                break;
            case QTextBlockFormat::ProportionalHeight:
                if (h > 0) {
                    line = QString::number(std::lround(h * 240 / 100));
                    rule = QStringLiteral("auto");
                }
                break;
            case QTextBlockFormat::FixedHeight:
            case QTextBlockFormat::MinimumHeight:
                if (h > 0) {
                    line = twips(h);
                    rule =
                        b.lineHeightType() == QTextBlockFormat::FixedHeight && !options.hasPicture
                            ? QStringLiteral("exact")
                            : QStringLiteral("atLeast");
                }
                break;
            default:
                break;
        }
    }
    if (hasBefore || hasAfter || !line.isEmpty()) {
        pPr().writeEmptyElement(QStringLiteral("w:spacing"));
        if (hasBefore)
            x.writeAttribute(QStringLiteral("w:before"), twips(qMax(0.0, b.topMargin())));
        if (hasAfter)
            x.writeAttribute(QStringLiteral("w:after"), twips(qMax(0.0, b.bottomMargin())));
        if (!line.isEmpty()) {
            x.writeAttribute(QStringLiteral("w:line"), line);
            x.writeAttribute(QStringLiteral("w:lineRule"), rule);
        }
    }

    const bool hasLeft =
        b.hasProperty(QTextFormat::BlockLeftMargin) || b.hasProperty(QTextFormat::BlockIndent);
    const bool hasRight = b.hasProperty(QTextFormat::BlockRightMargin);
    const bool hasFirst = b.hasProperty(QTextFormat::TextIndent);
    if (hasLeft || hasRight || hasFirst) {
        pPr().writeEmptyElement(QStringLiteral("w:ind"));
        if (hasLeft)  // an indent level counts 40 points, Qt's default indent width
            x.writeAttribute(QStringLiteral("w:left"), twips(b.leftMargin() + b.indent() * 40.0));
        if (hasRight)
            x.writeAttribute(QStringLiteral("w:right"), twips(b.rightMargin()));
        if (hasFirst) {
            const double first = b.textIndent();
            if (first >= 0)
                x.writeAttribute(QStringLiteral("w:firstLine"), twips(first));
            else
                x.writeAttribute(QStringLiteral("w:hanging"), twips(-first));
        }
    }
    if (b.hasProperty(QTextFormat::BlockAlignment)) {
        const Qt::Alignment a = b.alignment() & Qt::AlignHorizontal_Mask;
        QString jc;
        if (a & Qt::AlignJustify)
            jc = QStringLiteral("both");
        else if (a & Qt::AlignHCenter)
            jc = QStringLiteral("center");
        else if (a & (Qt::AlignRight | Qt::AlignTrailing))
            jc = QStringLiteral("right");
        else if (a & (Qt::AlignLeft | Qt::AlignLeading))
            jc = QStringLiteral("left");
        if (!jc.isEmpty())
            wml::val(pPr(), QStringLiteral("w:jc"), jc);
    }
    {
        QByteArray probe;
        QXmlStreamWriter probeWriter(&probe);
        writeRunProperties(probeWriter, mark);
        if (!probe.isEmpty())
            writeRunProperties(pPr(), mark);
    }
    if (options.sectionProperties)
        options.sectionProperties(pPr());
}

void writeTextRun(QXmlStreamWriter& x, const QString& text, const QTextCharFormat& format) {
    const QString safe = wml::xmlSafe(text);
    if (safe.isEmpty())
        return;
    x.writeStartElement(QStringLiteral("w:r"));
    writeRunProperties(x, format);
    QString pending;
    const auto flush = [&] {
        if (pending.isEmpty())
            return;
        x.writeStartElement(QStringLiteral("w:t"));
        x.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        x.writeCharacters(pending);
        x.writeEndElement();
        pending.clear();
    };
    for (const QChar c : safe) {
        if (c == QLatin1Char('\t')) {
            flush();
            x.writeEmptyElement(QStringLiteral("w:tab"));
        } else if (c == QChar::LineSeparator || c == QLatin1Char('\n') ||
                   c == QChar::ParagraphSeparator) {
            flush();
            x.writeEmptyElement(QStringLiteral("w:br"));
        } else if (c == QLatin1Char('\r') || c == QChar::ObjectReplacementCharacter) {
            continue;
        } else {
            pending.append(c);
        }
    }
    flush();
    x.writeEndElement();
}

void writeFieldBegin(QXmlStreamWriter& x, const QString& instruction, const QTextCharFormat& format,
                     bool dirty) {
    x.writeStartElement(QStringLiteral("w:r"));
    writeRunProperties(x, format);
    x.writeEmptyElement(QStringLiteral("w:fldChar"));
    x.writeAttribute(QStringLiteral("w:fldCharType"), QStringLiteral("begin"));
    if (dirty)
        x.writeAttribute(QStringLiteral("w:dirty"), QStringLiteral("true"));
    x.writeEndElement();
    x.writeStartElement(QStringLiteral("w:r"));
    writeRunProperties(x, format);
    x.writeStartElement(QStringLiteral("w:instrText"));
    x.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    x.writeCharacters(wml::xmlSafe(instruction));
    x.writeEndElement();
    x.writeEndElement();
}

void writeFieldSeparate(QXmlStreamWriter& x, const QTextCharFormat& format) {
    x.writeStartElement(QStringLiteral("w:r"));
    writeRunProperties(x, format);
    x.writeEmptyElement(QStringLiteral("w:fldChar"));
    x.writeAttribute(QStringLiteral("w:fldCharType"), QStringLiteral("separate"));
    x.writeEndElement();
}

void writeFieldEnd(QXmlStreamWriter& x, const QTextCharFormat& format) {
    x.writeStartElement(QStringLiteral("w:r"));
    writeRunProperties(x, format);
    x.writeEmptyElement(QStringLiteral("w:fldChar"));
    x.writeAttribute(QStringLiteral("w:fldCharType"), QStringLiteral("end"));
    x.writeEndElement();
}

void writeField(QXmlStreamWriter& x, const QString& instruction, const QString& result,
                const QTextCharFormat& format, bool dirty) {
    writeFieldBegin(x, instruction, format, dirty);
    writeFieldSeparate(x, format);
    writeTextRun(x, result, format);
    writeFieldEnd(x, format);
}

void writePageBreakRun(QXmlStreamWriter& x) {
    x.writeStartElement(QStringLiteral("w:r"));
    x.writeEmptyElement(QStringLiteral("w:br"));
    x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("page"));
    x.writeEndElement();
}

void writeSectionProperties(QXmlStreamWriter& x, const SectionProperties& s) {
    x.writeStartElement(QStringLiteral("w:sectPr"));
    if (!s.headerId.isEmpty()) {
        x.writeEmptyElement(QStringLiteral("w:headerReference"));
        x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("default"));
        x.writeAttribute(QStringLiteral("r:id"), s.headerId);
    }
    if (!s.footerId.isEmpty()) {
        x.writeEmptyElement(QStringLiteral("w:footerReference"));
        x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("default"));
        x.writeAttribute(QStringLiteral("r:id"), s.footerId);
    }
    wml::val(x, QStringLiteral("w:type"), QStringLiteral("nextPage"));
    const doc::PageSetup& p = s.page;
    x.writeEmptyElement(QStringLiteral("w:pgSz"));
    x.writeAttribute(QStringLiteral("w:w"), QString::number(p.width));
    x.writeAttribute(QStringLiteral("w:h"), QString::number(p.height));
    if (p.width > p.height)
        x.writeAttribute(QStringLiteral("w:orient"), QStringLiteral("landscape"));
    x.writeEmptyElement(QStringLiteral("w:pgMar"));
    x.writeAttribute(QStringLiteral("w:top"), QString::number(p.marginTop));
    x.writeAttribute(QStringLiteral("w:right"), QString::number(p.marginRight));
    x.writeAttribute(QStringLiteral("w:bottom"), QString::number(p.marginBottom));
    x.writeAttribute(QStringLiteral("w:left"), QString::number(p.marginLeft));
    // Header and footer sit halfway into their margins, at most half an inch away.
    x.writeAttribute(QStringLiteral("w:header"), QString::number(qBound(0, p.marginTop / 2, 720)));
    x.writeAttribute(QStringLiteral("w:footer"),
                     QString::number(qBound(0, p.marginBottom / 2, 720)));
    x.writeAttribute(QStringLiteral("w:gutter"), QStringLiteral("0"));
    x.writeEndElement();
}

}  // namespace arbor::docx
