#include "exchange/docx_styles.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>

#include "editor/document_model.h"
#include "exchange/wml_write.h"

namespace arbor::docx {

namespace {

const char* const kStyleIds[kUserFormatCount] = {"Heading1",  "Heading2",      "Heading3",
                                                 "ArborBody", "ArborEmphasis", "ArborNote",
                                                 "Header",    "Footer"};

QString styleNameAt(int index) {
    switch (index) {
        case 0:
            return QStringLiteral("見出し 1");
        case 1:
            return QStringLiteral("見出し 2");
        case 2:
            return QStringLiteral("見出し 3");
        case 3:
            return QStringLiteral("本文");
        case 4:
            return QStringLiteral("強調");
        case 5:
            return QStringLiteral("補足");
        case 6:
            return QStringLiteral("header");
        case 7:
            return QStringLiteral("footer");
        default:
            return {};
    }
}

QString compactLower(const QString& s) {
    QString out = s.toLower();
    out.remove(QLatin1Char(' '));
    return out;
}

void writeFonts(QXmlStreamWriter& x, const QString& font) {
    x.writeEmptyElement(QStringLiteral("w:rFonts"));
    for (const char* a : {"w:ascii", "w:hAnsi", "w:eastAsia", "w:cs"})
        x.writeAttribute(wml::attr(a), font);
}

void writeFormatRunProps(QXmlStreamWriter& x, const UsrFormat& f) {
    x.writeStartElement(QStringLiteral("w:rPr"));
    if (!f.FontName.isEmpty())
        writeFonts(x, f.FontName);
    wml::toggle(x, QStringLiteral("w:b"), f.Bold != 0);
    wml::val(x, QStringLiteral("w:color"), ooxml::hexColor(colorFromBgr(f.ForeColor)));
    if (f.FontSize > 0) {
        wml::val(x, QStringLiteral("w:sz"), f.FontSize * 2);
        wml::val(x, QStringLiteral("w:szCs"), f.FontSize * 2);
    }
    if ((f.BackColor & 0xFFFFFF) != 0xFFFFFF) {
        x.writeEmptyElement(QStringLiteral("w:shd"));
        x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("clear"));
        x.writeAttribute(QStringLiteral("w:color"), QStringLiteral("auto"));
        x.writeAttribute(QStringLiteral("w:fill"), ooxml::hexColor(colorFromBgr(f.BackColor)));
    }
    x.writeEndElement();
}

QString alignmentValue(int paraAlign) {
    return paraAlign == 1   ? QStringLiteral("right")
           : paraAlign == 2 ? QStringLiteral("center")
                            : QStringLiteral("left");
}

void writeUserStyle(QXmlStreamWriter& x, const StyleSet& set, int index) {
    const UsrFormat& f = set.formats.at(size_t(index));
    const bool heading = index <= kHeading3;
    x.writeStartElement(QStringLiteral("w:style"));
    x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("paragraph"));
    x.writeAttribute(QStringLiteral("w:styleId"), styleId(index));
    wml::val(x, QStringLiteral("w:name"), styleName(index));
    wml::val(x, QStringLiteral("w:basedOn"), QStringLiteral("Normal"));
    wml::val(x, QStringLiteral("w:next"), index <= kNote ? styleId(kBody) : styleId(index));
    if (heading)
        wml::val(x, QStringLiteral("w:uiPriority"), 9);
    x.writeEmptyElement(QStringLiteral("w:qFormat"));
    x.writeStartElement(QStringLiteral("w:pPr"));
    if (heading)
        x.writeEmptyElement(QStringLiteral("w:keepNext"));
    if (index <= kBody) {
        // The second and third distances read as the space above and below.
        x.writeEmptyElement(QStringLiteral("w:spacing"));
        x.writeAttribute(QStringLiteral("w:before"), QString::number(qMax<int>(0, f.ParaDist2)));
        x.writeAttribute(QStringLiteral("w:after"), QString::number(qMax<int>(0, f.ParaDist3)));
        if (f.FontSize > 0) {
            x.writeAttribute(QStringLiteral("w:line"),
                             QString::number(qRound(f.FontSize * 20 * set.lineSpacingFactor)));
            // At least, not exactly: an exact line height would clip pictures.
            x.writeAttribute(QStringLiteral("w:lineRule"), QStringLiteral("atLeast"));
        }
        x.writeEmptyElement(QStringLiteral("w:ind"));
        x.writeAttribute(QStringLiteral("w:left"), QString::number(qMax<int>(0, f.ParaDist1)));
    }
    if (heading || index >= kHeader)
        wml::val(x, QStringLiteral("w:jc"), alignmentValue(f.ParaAlign));
    if (heading)
        wml::val(x, QStringLiteral("w:outlineLvl"), index);
    x.writeEndElement();
    writeFormatRunProps(x, f);
    x.writeEndElement();
}

void writeTocStyle(QXmlStreamWriter& x, int level, int textWidth) {
    x.writeStartElement(QStringLiteral("w:style"));
    x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("paragraph"));
    x.writeAttribute(QStringLiteral("w:styleId"), QStringLiteral("TOC%1").arg(level));
    wml::val(x, QStringLiteral("w:name"), QStringLiteral("toc %1").arg(level));
    wml::val(x, QStringLiteral("w:basedOn"), QStringLiteral("Normal"));
    wml::val(x, QStringLiteral("w:next"), QStringLiteral("Normal"));
    wml::val(x, QStringLiteral("w:uiPriority"), 39);
    x.writeEmptyElement(QStringLiteral("w:unhideWhenUsed"));
    x.writeStartElement(QStringLiteral("w:pPr"));
    x.writeStartElement(QStringLiteral("w:tabs"));
    x.writeEmptyElement(QStringLiteral("w:tab"));
    x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("right"));
    x.writeAttribute(QStringLiteral("w:leader"), QStringLiteral("dot"));
    x.writeAttribute(QStringLiteral("w:pos"), QString::number(qMax(1, textWidth)));
    x.writeEndElement();
    x.writeEmptyElement(QStringLiteral("w:ind"));
    x.writeAttribute(QStringLiteral("w:left"), QString::number((level - 1) * 210));
    x.writeEndElement();
    x.writeEndElement();
}

}  // namespace

StyleSet StyleSet::defaults() {
    StyleSet set;
    for (int i = 0; i < kUserFormatCount; ++i)
        set.formats.at(size_t(i)) = defaultUserFormat(i);
    return set;
}

StyleSet StyleSet::fromTable(const Frmt& table) {
    StyleSet set;
    for (int i = 0; i < kUserFormatCount; ++i)
        set.formats.at(size_t(i)) = table.format(i);
    set.lineSpacingFactor = table.LineSpacingFactor;
    return set;
}

QString styleId(int styleIndex) {
    if (styleIndex < 0 || styleIndex >= kUserFormatCount)
        return {};
    return QString::fromLatin1(kStyleIds[styleIndex]);
}

QString styleName(int styleIndex) {
    return styleNameAt(styleIndex);
}

int styleIndexOf(const QString& id, const QString& name) {
    for (int i = 0; i < kUserFormatCount; ++i)
        if (id == QLatin1String(kStyleIds[i]))
            return i;
    const QString n = compactLower(name);
    if (n.isEmpty())
        return -1;
    for (int level = 1; level <= 3; ++level) {
        if (n == QStringLiteral("heading%1").arg(level) ||
            n == QStringLiteral("見出し%1").arg(level))
            return level - 1;
    }
    for (int i = 0; i < kUserFormatCount; ++i)
        if (n == compactLower(styleNameAt(i)))
            return i;
    return -1;
}

QColor colorFromBgr(qint32 bgr) {
    const quint32 v = quint32(bgr);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

void applyUserFormat(const StyleSet& set, int index, QTextBlockFormat& block,
                     QTextCharFormat& chars) {
    if (index < 0 || index >= kUserFormatCount)
        return;
    const UsrFormat& f = set.formats.at(size_t(index));
    if (!f.FontName.isEmpty())
        chars.setFontFamilies({f.FontName});
    if (f.FontSize > 0)
        chars.setFontPointSize(f.FontSize);
    chars.setForeground(colorFromBgr(f.ForeColor));
    if ((f.BackColor & 0xFFFFFF) != 0xFFFFFF)
        chars.setBackground(colorFromBgr(f.BackColor));
    chars.setFontWeight(f.Bold ? QFont::Bold : QFont::Normal);

    block.setProperty(doc::StyleIndex, index);
    if (index <= kHeading3) {
        block.setProperty(doc::HeadingAttribute, 1);
        block.setAlignment(f.ParaAlign == 1   ? Qt::AlignRight
                           : f.ParaAlign == 2 ? Qt::AlignHCenter
                                              : Qt::AlignLeft);
        block.setProperty(doc::ParaFrame1, int(f.ParaFrame1));
        block.setProperty(doc::ParaFrame2, int(f.ParaFrame2));
        block.setProperty(doc::ParaFrame3, int(f.ParaFrame3));
    } else if (index >= kHeader) {
        block.setAlignment(f.ParaAlign == 1   ? Qt::AlignRight
                           : f.ParaAlign == 2 ? Qt::AlignHCenter
                                              : Qt::AlignLeft);
    }
    if (index <= kBody) {
        block.setLeftMargin(ooxml::pointsFromTwips(f.ParaDist1));
        if (f.FontSize > 0)
            block.setLineHeight(f.FontSize * set.lineSpacingFactor, QTextBlockFormat::FixedHeight);
        block.setProperty(doc::ParaDist1, int(f.ParaDist1));
        block.setProperty(doc::ParaDist2, int(f.ParaDist2));
        block.setProperty(doc::ParaDist3, int(f.ParaDist3));
        block.setProperty(doc::ParaDist4, int(f.ParaDist4));
        block.setProperty(doc::ParaDist5, int(f.ParaDist5));
    }
}

QByteArray stylesXml(const StyleSet& set, int textWidth) {
    QByteArray out;
    QXmlStreamWriter x(&out);
    x.writeStartDocument(QStringLiteral("1.0"), true);
    wml::startRoot(x, QStringLiteral("w:styles"));

    const UsrFormat& body = set.formats.at(kBody);
    x.writeStartElement(QStringLiteral("w:docDefaults"));
    x.writeStartElement(QStringLiteral("w:rPrDefault"));
    x.writeStartElement(QStringLiteral("w:rPr"));
    if (!body.FontName.isEmpty())
        writeFonts(x, body.FontName);
    wml::val(x, QStringLiteral("w:sz"), qMax<int>(2, body.FontSize * 2));
    wml::val(x, QStringLiteral("w:szCs"), qMax<int>(2, body.FontSize * 2));
    x.writeEmptyElement(QStringLiteral("w:lang"));
    x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("en-US"));
    x.writeAttribute(QStringLiteral("w:eastAsia"), QStringLiteral("ja-JP"));
    x.writeAttribute(QStringLiteral("w:bidi"), QStringLiteral("ar-SA"));
    x.writeEndElement();
    x.writeEndElement();
    x.writeStartElement(QStringLiteral("w:pPrDefault"));
    x.writeStartElement(QStringLiteral("w:pPr"));
    x.writeEmptyElement(QStringLiteral("w:spacing"));
    x.writeAttribute(QStringLiteral("w:after"), QStringLiteral("0"));
    x.writeAttribute(QStringLiteral("w:line"), QStringLiteral("240"));
    x.writeAttribute(QStringLiteral("w:lineRule"), QStringLiteral("auto"));
    x.writeEndElement();
    x.writeEndElement();
    x.writeEndElement();

    x.writeStartElement(QStringLiteral("w:style"));
    x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("paragraph"));
    x.writeAttribute(QStringLiteral("w:default"), QStringLiteral("1"));
    x.writeAttribute(QStringLiteral("w:styleId"), QStringLiteral("Normal"));
    wml::val(x, QStringLiteral("w:name"), QStringLiteral("Normal"));
    x.writeEmptyElement(QStringLiteral("w:qFormat"));
    x.writeEndElement();

    x.writeStartElement(QStringLiteral("w:style"));
    x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("character"));
    x.writeAttribute(QStringLiteral("w:default"), QStringLiteral("1"));
    x.writeAttribute(QStringLiteral("w:styleId"), QStringLiteral("DefaultParagraphFont"));
    wml::val(x, QStringLiteral("w:name"), QStringLiteral("Default Paragraph Font"));
    wml::val(x, QStringLiteral("w:uiPriority"), 1);
    x.writeEmptyElement(QStringLiteral("w:semiHidden"));
    x.writeEmptyElement(QStringLiteral("w:unhideWhenUsed"));
    x.writeEndElement();

    x.writeStartElement(QStringLiteral("w:style"));
    x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("table"));
    x.writeAttribute(QStringLiteral("w:default"), QStringLiteral("1"));
    x.writeAttribute(QStringLiteral("w:styleId"), QStringLiteral("TableNormal"));
    wml::val(x, QStringLiteral("w:name"), QStringLiteral("Normal Table"));
    wml::val(x, QStringLiteral("w:uiPriority"), 99);
    x.writeEmptyElement(QStringLiteral("w:semiHidden"));
    x.writeEmptyElement(QStringLiteral("w:unhideWhenUsed"));
    x.writeStartElement(QStringLiteral("w:tblPr"));
    x.writeEmptyElement(QStringLiteral("w:tblInd"));
    x.writeAttribute(QStringLiteral("w:w"), QStringLiteral("0"));
    x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("dxa"));
    x.writeStartElement(QStringLiteral("w:tblCellMar"));
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right"}) {
        const bool horizontal = side[2] == 'l' || side[2] == 'r';
        x.writeEmptyElement(wml::attr(side));
        x.writeAttribute(QStringLiteral("w:w"),
                         horizontal ? QStringLiteral("108") : QStringLiteral("0"));
        x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("dxa"));
    }
    x.writeEndElement();
    x.writeEndElement();
    x.writeEndElement();

    for (int i = 0; i < kUserFormatCount; ++i)
        writeUserStyle(x, set, i);
    for (int level = 1; level <= 3; ++level)
        writeTocStyle(x, level, textWidth);

    x.writeEndElement();
    x.writeEndDocument();
    return out;
}

QByteArray settingsXml(bool updateFields) {
    QByteArray out;
    QXmlStreamWriter x(&out);
    x.writeStartDocument(QStringLiteral("1.0"), true);
    x.writeStartElement(QStringLiteral("w:settings"));
    x.writeAttribute(QStringLiteral("xmlns:w"), QLatin1String(ooxml::kNsW));
    wml::val(x, QStringLiteral("w:defaultTabStop"), 840);
    wml::val(x, QStringLiteral("w:characterSpacingControl"), QStringLiteral("compressPunctuation"));
    if (updateFields)
        wml::val(x, QStringLiteral("w:updateFields"), QStringLiteral("true"));
    x.writeStartElement(QStringLiteral("w:compat"));
    x.writeEmptyElement(QStringLiteral("w:compatSetting"));
    x.writeAttribute(QStringLiteral("w:name"), QStringLiteral("compatibilityMode"));
    x.writeAttribute(QStringLiteral("w:uri"),
                     QStringLiteral("http://schemas.microsoft.com/office/word"));
    x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("15"));
    x.writeEndElement();
    x.writeEndElement();
    x.writeEndDocument();
    return out;
}

}  // namespace arbor::docx
