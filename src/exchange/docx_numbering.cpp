#include "exchange/docx_numbering.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "exchange/wml_read.h"
#include "exchange/wml_write.h"

namespace arbor::docx {

namespace {

constexpr int kLevels = 9;
constexpr int kMaxNumberingIds = 1 << 20;

QLatin1String nm(const char* s) {
    return QLatin1String(s);
}

QTextListFormat::Style bulletStyle(const QString& text, int level) {
    if (text.contains(QChar(0x25CB)) || text == nm("o"))
        return QTextListFormat::ListCircle;
    if (text.contains(QChar(0x25A0)) || text.contains(QChar(0x25AA)) ||
        text.contains(QChar(0xF0A7)))
        return QTextListFormat::ListSquare;
    if (text.isEmpty())
        return level == 0   ? QTextListFormat::ListDisc
               : level == 1 ? QTextListFormat::ListCircle
                            : QTextListFormat::ListSquare;
    return QTextListFormat::ListDisc;
}

QTextListFormat::Style numberStyle(const QString& format) {
    if (format == nm("lowerLetter"))
        return QTextListFormat::ListLowerAlpha;
    if (format == nm("upperLetter"))
        return QTextListFormat::ListUpperAlpha;
    if (format == nm("lowerRoman"))
        return QTextListFormat::ListLowerRoman;
    if (format == nm("upperRoman"))
        return QTextListFormat::ListUpperRoman;
    return QTextListFormat::ListDecimal;  // also the Japanese counting systems
}

bool isBullet(QTextListFormat::Style style) {
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

}  // namespace

void Numbering::read(const QByteArray& xml) {
    QXmlStreamReader r(xml);
    if (!r.readNextStartElement() || !wml::isW(r, nm("numbering")))
        return;
    while (r.readNextStartElement()) {
        if (wml::isW(r, nm("abstractNum"))) {
            const auto id = wml::wNumber(r, nm("abstractNumId"), 0, kMaxNumberingIds);
            QHash<int, Level> levels;
            while (r.readNextStartElement()) {
                if (!wml::isW(r, nm("lvl"))) {
                    r.skipCurrentElement();
                    continue;
                }
                const int ilvl = wml::wNumber(r, nm("ilvl"), 0, kLevels - 1).value_or(0);
                QString format, text;
                while (r.readNextStartElement()) {
                    if (wml::isW(r, nm("numFmt")))
                        format = wml::wAttr(r, nm("val"));
                    else if (wml::isW(r, nm("lvlText")))
                        text = wml::wAttr(r, nm("val"));
                    r.skipCurrentElement();
                }
                Level level;
                level.none = format == nm("none");
                level.style =
                    format == nm("bullet") ? bulletStyle(text, ilvl) : numberStyle(format);
                levels.insert(ilvl, level);
            }
            if (id && !abstract_.contains(*id))
                abstract_.insert(*id, levels);
        } else if (wml::isW(r, nm("num"))) {
            const auto numId = wml::wNumber(r, nm("numId"), 0, kMaxNumberingIds);
            while (r.readNextStartElement()) {
                if (numId && wml::isW(r, nm("abstractNumId")))
                    if (const auto a = wml::wNumber(r, nm("val"), 0, kMaxNumberingIds))
                        nums_.insert(*numId, *a);
                r.skipCurrentElement();
            }
        } else {
            r.skipCurrentElement();
        }
    }
}

std::optional<QTextListFormat> Numbering::format(int numId, int level) const {
    if (numId <= 0)
        return std::nullopt;  // 0 takes a paragraph out of a list
    const auto num = nums_.constFind(numId);
    if (num == nums_.constEnd())
        return std::nullopt;
    const auto levels = abstract_.constFind(*num);
    if (levels == abstract_.constEnd())
        return std::nullopt;
    const Level l = levels->value(level);
    if (l.none)
        return std::nullopt;
    QTextListFormat f;
    f.setStyle(l.style);
    f.setIndent(level + 1);
    return f;
}

int NumberingWriter::add(QTextListFormat::Style style, int level) {
    lists_.push_back({style, qBound(0, level, kLevels - 1)});
    return int(lists_.size());
}

QByteArray NumberingWriter::xml() const {
    QByteArray out;
    QXmlStreamWriter x(&out);
    x.writeStartDocument(QStringLiteral("1.0"), true);
    x.writeStartElement(QStringLiteral("w:numbering"));
    x.writeAttribute(QStringLiteral("xmlns:w"), QLatin1String(ooxml::kNsW));
    for (size_t i = 0; i < lists_.size(); ++i) {
        const List& list = lists_[i];
        x.writeStartElement(QStringLiteral("w:abstractNum"));
        x.writeAttribute(QStringLiteral("w:abstractNumId"), QString::number(i + 1));
        wml::val(x, QStringLiteral("w:multiLevelType"), QStringLiteral("hybridMultilevel"));
        for (int level = 0; level < kLevels; ++level) {
            // The list's own level carries its mark; the others number plainly.
            const QTextListFormat::Style style =
                level == list.level ? list.style : QTextListFormat::ListDecimal;
            x.writeStartElement(QStringLiteral("w:lvl"));
            x.writeAttribute(QStringLiteral("w:ilvl"), QString::number(level));
            wml::val(x, QStringLiteral("w:start"), 1);
            QString format, text;
            switch (style) {
                case QTextListFormat::ListDisc:
                    format = QStringLiteral("bullet");
                    text = QChar(0x2022);
                    break;
                case QTextListFormat::ListCircle:
                    format = QStringLiteral("bullet");
                    text = QChar(0x25CB);
                    break;
                case QTextListFormat::ListSquare:
                    format = QStringLiteral("bullet");
                    text = QChar(0x25A0);
                    break;
                case QTextListFormat::ListLowerAlpha:
                    format = QStringLiteral("lowerLetter");
                    break;
                case QTextListFormat::ListUpperAlpha:
                    format = QStringLiteral("upperLetter");
                    break;
                case QTextListFormat::ListLowerRoman:
                    format = QStringLiteral("lowerRoman");
                    break;
                case QTextListFormat::ListUpperRoman:
                    format = QStringLiteral("upperRoman");
                    break;
                default:
                    format = QStringLiteral("decimal");
                    break;
            }
            if (!isBullet(style))
                text = QStringLiteral("%%1.").arg(level + 1);
            wml::val(x, QStringLiteral("w:numFmt"), format);
            wml::val(x, QStringLiteral("w:lvlText"), text);
            wml::val(x, QStringLiteral("w:lvlJc"), QStringLiteral("left"));
            x.writeStartElement(QStringLiteral("w:pPr"));
            x.writeEmptyElement(QStringLiteral("w:ind"));
            x.writeAttribute(QStringLiteral("w:left"), QString::number((level + 1) * 420));
            x.writeAttribute(QStringLiteral("w:hanging"), QStringLiteral("420"));
            x.writeEndElement();
            x.writeEndElement();
        }
        x.writeEndElement();
    }
    for (size_t i = 0; i < lists_.size(); ++i) {
        x.writeStartElement(QStringLiteral("w:num"));
        x.writeAttribute(QStringLiteral("w:numId"), QString::number(i + 1));
        wml::val(x, QStringLiteral("w:abstractNumId"), qint64(i + 1));
        x.writeEndElement();
    }
    x.writeEndElement();
    x.writeEndDocument();
    return out;
}

}  // namespace arbor::docx
