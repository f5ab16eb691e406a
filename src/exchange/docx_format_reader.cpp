#include "exchange/docx_format_reader.h"

#include <QBrush>

#include "exchange/ooxml.h"
#include "exchange/wml_read.h"

namespace arbor::docx {

namespace {

using wml::isW;
using wml::wAttr;

constexpr int kMaxTwips = 31680 * 2;  // twice Word's largest page side

QLatin1String l1(const char* s) {
    return QLatin1String(s);
}

QColor highlightColor(const QString& name) {
    static const struct {
        const char* name;
        QRgb rgb;
    } table[] = {{"black", 0x000000},    {"blue", 0x0000FF},       {"cyan", 0x00FFFF},
                 {"green", 0x00FF00},    {"magenta", 0xFF00FF},    {"red", 0xFF0000},
                 {"yellow", 0xFFFF00},   {"white", 0xFFFFFF},      {"darkBlue", 0x000080},
                 {"darkCyan", 0x008080}, {"darkGreen", 0x008000},  {"darkMagenta", 0x800080},
                 {"darkRed", 0x800000},  {"darkYellow", 0x808000}, {"darkGray", 0x808080},
                 {"lightGray", 0xC0C0C0}};
    for (const auto& e : table)
        if (name == QLatin1String(e.name))
            return QColor::fromRgb(e.rgb);
    return {};
}

// The fill of a w:shd; a NoBrush brush for "no fill" (which still overrides a style).
QBrush shadingBrush(const QXmlStreamReader& r) {
    const QString val = wAttr(r, l1("val"));
    QColor color;
    if (val == QLatin1String("solid"))
        color = ooxml::colorFromHex(wAttr(r, l1("color")));
    else
        color = ooxml::colorFromHex(wAttr(r, l1("fill")));
    return color.isValid() ? QBrush(color) : QBrush();
}

QTextCharFormat::UnderlineStyle underlineStyle(const QString& v) {
    if (v == QLatin1String("none") || v.isEmpty())
        return QTextCharFormat::NoUnderline;
    if (v.startsWith(QLatin1String("dotDotDash")))
        return QTextCharFormat::DashDotDotLine;
    if (v.startsWith(QLatin1String("dotDash")) || v.startsWith(QLatin1String("dashDot")))
        return QTextCharFormat::DashDotLine;
    if (v.startsWith(QLatin1String("dot")))
        return QTextCharFormat::DotLine;
    if (v.startsWith(QLatin1String("dash")))
        return QTextCharFormat::DashUnderline;
    if (v.startsWith(QLatin1String("wav")))
        return QTextCharFormat::WaveUnderline;
    return QTextCharFormat::SingleUnderline;
}

QString themeFont(const ThemeFonts& theme, const QString& ref) {
    if (ref.startsWith(QLatin1String("major")))
        return ref.contains(QLatin1String("EastAsia")) ? theme.majorEastAsia : theme.majorLatin;
    if (ref.startsWith(QLatin1String("minor")))
        return ref.contains(QLatin1String("EastAsia")) ? theme.minorEastAsia : theme.minorLatin;
    return {};
}

struct Border {
    double widthPx = 0;
    QTextFrameFormat::BorderStyle style = QTextFrameFormat::BorderStyle_None;
    QBrush brush;
};

Border readBorder(const QXmlStreamReader& r) {
    Border b;
    const QString val = wAttr(r, l1("val"));
    if (val.isEmpty() || val == QLatin1String("nil") || val == QLatin1String("none"))
        return b;
    const int eighths = wml::wNumber(r, l1("sz"), 0, 96).value_or(4);
    b.widthPx = qMax(1.0, eighths / 6.0);
    if (val == QLatin1String("dotted"))
        b.style = QTextFrameFormat::BorderStyle_Dotted;
    else if (val.startsWith(QLatin1String("dash")))
        b.style = QTextFrameFormat::BorderStyle_Dashed;
    else if (val == QLatin1String("double"))
        b.style = QTextFrameFormat::BorderStyle_Double;
    else if (val == QLatin1String("dotDash"))
        b.style = QTextFrameFormat::BorderStyle_DotDash;
    else if (val == QLatin1String("dotDotDash"))
        b.style = QTextFrameFormat::BorderStyle_DotDotDash;
    else
        b.style = QTextFrameFormat::BorderStyle_Solid;
    const QColor color = ooxml::colorFromHex(wAttr(r, l1("color")));
    b.brush = color.isValid() ? QBrush(color) : QBrush(Qt::black);
    return b;
}

// A width attribute pair (w:w, w:type) as a Qt length in pixels or percent.
QTextLength widthLength(const QXmlStreamReader& r) {
    const QString type = wAttr(r, l1("type"));
    const QString w = wAttr(r, l1("w"));
    if (type == QLatin1String("pct")) {
        if (w.endsWith(QLatin1Char('%'))) {
            const auto pct = wml::number(QStringView(w).chopped(1), 0, 100);
            return pct ? QTextLength(QTextLength::PercentageLength, *pct) : QTextLength();
        }
        const auto fiftieths = wml::number(w, 0, 5000);
        return fiftieths ? QTextLength(QTextLength::PercentageLength, *fiftieths / 50.0)
                         : QTextLength();
    }
    if (type == QLatin1String("dxa") || type.isEmpty()) {
        const auto twips = wml::number(w, 0, kMaxTwips);
        if (twips && *twips > 0)
            return QTextLength(QTextLength::FixedLength, *twips / ooxml::kTwipsPerPixel);
    }
    return {};
}

}  // namespace

void finishCharFormat(QTextCharFormat& f) {
    const QString latin = f.stringProperty(LatinFont);
    const QString eastAsia = f.stringProperty(EastAsiaFont);
    QStringList families;
    for (const QString& name : {latin, eastAsia})
        if (!name.isEmpty() && !families.contains(name))
            families << name;
    if (!families.isEmpty())
        f.setFontFamilies(families);
    f.clearProperty(LatinFont);
    f.clearProperty(EastAsiaFont);
    for (int property : {int(QTextFormat::ForegroundBrush), int(QTextFormat::BackgroundBrush)})
        if (f.hasProperty(property) && f.brushProperty(property).style() == Qt::NoBrush)
            f.clearProperty(property);
}

void readRunProperties(QXmlStreamReader& r, const ThemeFonts& theme, QTextCharFormat& f,
                       QString* runStyle) {
    bool highlighted = false;
    while (r.readNextStartElement()) {
        if (!isW(r)) {
            r.skipCurrentElement();
            continue;
        }
        const QStringView n = r.name();
        if (n == l1("rStyle")) {
            if (runStyle)
                *runStyle = wAttr(r, l1("val"));
        } else if (n == l1("rFonts")) {
            QString latin = wAttr(r, l1("ascii"));
            if (latin.isEmpty())
                latin = wAttr(r, l1("hAnsi"));
            const QString latinTheme = wAttr(r, l1("asciiTheme"));
            if (!latinTheme.isEmpty() && !themeFont(theme, latinTheme).isEmpty())
                latin = themeFont(theme, latinTheme);
            QString eastAsia = wAttr(r, l1("eastAsia"));
            const QString eastAsiaTheme = wAttr(r, l1("eastAsiaTheme"));
            if (!eastAsiaTheme.isEmpty() && !themeFont(theme, eastAsiaTheme).isEmpty())
                eastAsia = themeFont(theme, eastAsiaTheme);
            if (!latin.isEmpty())
                f.setProperty(LatinFont, latin);
            if (!eastAsia.isEmpty())
                f.setProperty(EastAsiaFont, eastAsia);
        } else if (n == l1("b")) {
            f.setFontWeight(wml::toggleValue(r) ? QFont::Bold : QFont::Normal);
        } else if (n == l1("i")) {
            f.setFontItalic(wml::toggleValue(r));
        } else if (n == l1("strike") || n == l1("dstrike")) {
            f.setFontStrikeOut(wml::toggleValue(r));
        } else if (n == l1("caps")) {
            f.setFontCapitalization(wml::toggleValue(r) ? QFont::AllUppercase : QFont::MixedCase);
        } else if (n == l1("smallCaps")) {
            if (wml::toggleValue(r))
                f.setFontCapitalization(QFont::SmallCaps);
            else if (f.fontCapitalization() == QFont::SmallCaps)
                f.setFontCapitalization(QFont::MixedCase);
        } else if (n == l1("color")) {
            const QColor c = ooxml::colorFromHex(wAttr(r, l1("val")));
            f.setForeground(c.isValid() ? QBrush(c) : QBrush());
        } else if (n == l1("sz")) {
            if (const auto half = wml::wNumber(r, l1("val"), 2, 3276))
                f.setFontPointSize(*half / 2.0);
        } else if (n == l1("highlight")) {
            const QColor c = highlightColor(wAttr(r, l1("val")));
            f.setBackground(c.isValid() ? QBrush(c) : QBrush());
            highlighted = c.isValid();
        } else if (n == l1("shd")) {
            if (!highlighted)
                f.setBackground(shadingBrush(r));
        } else if (n == l1("u")) {
            f.setUnderlineStyle(underlineStyle(wAttr(r, l1("val"))));
        } else if (n == l1("vertAlign")) {
            const QString v = wAttr(r, l1("val"));
            f.setVerticalAlignment(
                v == QLatin1String("superscript") ? QTextCharFormat::AlignSuperScript
                : v == QLatin1String("subscript") ? QTextCharFormat::AlignSubScript
                                                  : QTextCharFormat::AlignNormal);
        }
        r.skipCurrentElement();
    }
}

void readSectionProperties(QXmlStreamReader& r, Section& s) {
    while (r.readNextStartElement()) {
        if (!isW(r)) {
            r.skipCurrentElement();
            continue;
        }
        const QStringView n = r.name();
        if (n == l1("headerReference") || n == l1("footerReference")) {
            const QString type = wAttr(r, l1("type"));
            if (type.isEmpty() || type == QLatin1String("default")) {
                const QString id = wml::rAttr(r, l1("id"));
                (n == l1("headerReference") ? s.headerId : s.footerId) = id;
            }
        } else if (n == l1("type")) {
            s.newPage = wAttr(r, l1("val")) != QLatin1String("continuous");
        } else if (n == l1("pgSz")) {
            doc::PageSetup page = s.page.value_or(doc::PageSetup());
            page.width = wml::wNumber(r, l1("w"), 720, kMaxTwips).value_or(page.width);
            page.height = wml::wNumber(r, l1("h"), 720, kMaxTwips).value_or(page.height);
            s.page = page;
        } else if (n == l1("pgMar")) {
            doc::PageSetup page = s.page.value_or(doc::PageSetup());
            // Word allows negative top and bottom margins ("do not move the text").
            const auto margin = [&](const char* name, int fallback) {
                const auto v = wml::wNumber(r, l1(name), -kMaxTwips / 2, kMaxTwips / 2);
                return v ? std::abs(*v) : fallback;
            };
            page.marginTop = margin("top", page.marginTop);
            page.marginBottom = margin("bottom", page.marginBottom);
            page.marginLeft = margin("left", page.marginLeft);
            page.marginRight = margin("right", page.marginRight);
            s.page = page;
        }
        r.skipCurrentElement();
    }
}

void readParagraphProperties(QXmlStreamReader& r, const ThemeFonts& theme, QTextBlockFormat& b,
                             ParagraphExtras* extras) {
    while (r.readNextStartElement()) {
        if (!isW(r)) {
            r.skipCurrentElement();
            continue;
        }
        const QStringView n = r.name();
        if (n == l1("rPr")) {
            QTextCharFormat mark;
            readRunProperties(r, theme, mark);
            if (extras)
                extras->mark = mark;
            continue;
        }
        if (n == l1("sectPr")) {
            Section section;
            readSectionProperties(r, section);
            if (extras)
                extras->section = section;
            continue;
        }
        if (n == l1("numPr")) {
            while (r.readNextStartElement()) {
                if (extras && isW(r, l1("numId")))
                    extras->numId = wml::wNumber(r, l1("val"), -1, 1 << 20).value_or(-1);
                else if (extras && isW(r, l1("ilvl")))
                    extras->level = wml::wNumber(r, l1("val"), 0, 8).value_or(0);
                r.skipCurrentElement();
            }
            continue;
        }
        if (n == l1("pStyle")) {
            if (extras)
                extras->styleId = wAttr(r, l1("val"));
        } else if (n == l1("pageBreakBefore")) {
            b.setPageBreakPolicy(wml::toggleValue(r) ? QTextFormat::PageBreak_AlwaysBefore
                                                     : QTextFormat::PageBreak_Auto);
        } else if (n == l1("shd")) {
            b.setBackground(shadingBrush(r));
        } else if (n == l1("spacing")) {
            if (const auto v = wml::wNumber(r, l1("before"), 0, kMaxTwips))
                b.setTopMargin(ooxml::pointsFromTwips(*v));
            if (const auto v = wml::wNumber(r, l1("after"), 0, kMaxTwips))
                b.setBottomMargin(ooxml::pointsFromTwips(*v));
            if (const auto line = wml::wNumber(r, l1("line"), 1, kMaxTwips)) {
                const QString rule = wAttr(r, l1("lineRule"));
                if (rule == QLatin1String("exact"))
                    b.setLineHeight(ooxml::pointsFromTwips(*line), QTextBlockFormat::FixedHeight);
                else if (rule == QLatin1String("atLeast"))
                    b.setLineHeight(ooxml::pointsFromTwips(*line), QTextBlockFormat::MinimumHeight);
                else if (*line == 240)
                    b.setLineHeight(0, QTextBlockFormat::SingleHeight);
                else
                    b.setLineHeight(*line * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
            }
        } else if (n == l1("ind")) {
            auto left = wml::wNumber(r, l1("left"), -kMaxTwips, kMaxTwips);
            if (!left)
                left = wml::wNumber(r, l1("start"), -kMaxTwips, kMaxTwips);
            auto right = wml::wNumber(r, l1("right"), -kMaxTwips, kMaxTwips);
            if (!right)
                right = wml::wNumber(r, l1("end"), -kMaxTwips, kMaxTwips);
            if (left)
                b.setLeftMargin(ooxml::pointsFromTwips(*left));
            if (right)
                b.setRightMargin(ooxml::pointsFromTwips(*right));
            if (const auto hanging = wml::wNumber(r, l1("hanging"), 0, kMaxTwips))
                b.setTextIndent(-ooxml::pointsFromTwips(*hanging));
            else if (const auto first = wml::wNumber(r, l1("firstLine"), 0, kMaxTwips))
                b.setTextIndent(ooxml::pointsFromTwips(*first));
        } else if (n == l1("jc")) {
            const QString v = wAttr(r, l1("val"));
            if (v == QLatin1String("center"))
                b.setAlignment(Qt::AlignHCenter);
            else if (v == QLatin1String("right") || v == QLatin1String("end"))
                b.setAlignment(Qt::AlignRight);
            else if (v == QLatin1String("both") || v == QLatin1String("distribute") ||
                     v == QLatin1String("justify"))
                b.setAlignment(Qt::AlignJustify);
            else if (v == QLatin1String("left") || v == QLatin1String("start"))
                b.setAlignment(Qt::AlignLeft);
        } else if (n == l1("outlineLvl")) {
            if (const auto level = wml::wNumber(r, l1("val"), 0, 9))
                b.setProperty(OutlineLevel, *level);
        }
        r.skipCurrentElement();
    }
}

QTextTableFormat bareTableFormat() {
    QTextTableFormat f;
    for (int p : {int(QTextFormat::FrameBorder), int(QTextFormat::FrameBorderBrush),
                  int(QTextFormat::FrameBorderStyle), int(QTextFormat::TableCellSpacing)})
        f.clearProperty(p);
    return f;
}

void readTableProperties(QXmlStreamReader& r, QTextTableFormat& t, TableExtras* extras) {
    while (r.readNextStartElement()) {
        if (!isW(r)) {
            r.skipCurrentElement();
            continue;
        }
        const QStringView n = r.name();
        if (n == l1("tblStyle")) {
            if (extras)
                extras->styleId = wAttr(r, l1("val"));
        } else if (n == l1("tblW")) {
            const QTextLength width = widthLength(r);
            if (width.type() != QTextLength::VariableLength)
                t.setWidth(width);
        } else if (n == l1("jc")) {
            const QString v = wAttr(r, l1("val"));
            if (v == QLatin1String("center"))
                t.setAlignment(Qt::AlignHCenter);
            else if (v == QLatin1String("right") || v == QLatin1String("end"))
                t.setAlignment(Qt::AlignRight);
            else
                t.setAlignment(Qt::AlignLeft);
        } else if (n == l1("tblCellSpacing")) {
            const QTextLength spacing = widthLength(r);
            if (spacing.type() == QTextLength::FixedLength)
                t.setCellSpacing(spacing.rawValue());
        } else if (n == l1("tblBorders")) {
            Border widest;
            while (r.readNextStartElement()) {
                if (isW(r)) {
                    const Border b = readBorder(r);
                    if (b.widthPx > widest.widthPx)
                        widest = b;
                }
                r.skipCurrentElement();
            }
            t.setBorder(widest.widthPx);
            t.setBorderStyle(widest.style);
            if (widest.brush.style() != Qt::NoBrush)
                t.setBorderBrush(widest.brush);
            if (extras)
                extras->bordersGiven = true;
            continue;
        } else if (n == l1("tblCellMar")) {
            while (r.readNextStartElement()) {
                if (isW(r, l1("left")) || isW(r, l1("start"))) {
                    const QTextLength pad = widthLength(r);
                    t.setCellPadding(pad.type() == QTextLength::FixedLength ? pad.rawValue() : 0);
                }
                r.skipCurrentElement();
            }
            continue;
        }
        r.skipCurrentElement();
    }
}

void readCellProperties(QXmlStreamReader& r, QTextTableCellFormat& c, CellExtras& extras) {
    while (r.readNextStartElement()) {
        if (!isW(r)) {
            r.skipCurrentElement();
            continue;
        }
        const QStringView n = r.name();
        if (n == l1("tcW")) {
            const QTextLength width = widthLength(r);
            if (width.type() == QTextLength::PercentageLength)
                extras.widthPercent = width.rawValue();
        } else if (n == l1("gridSpan")) {
            extras.gridSpan = wml::wNumber(r, l1("val"), 1, 1000).value_or(1);
        } else if (n == l1("vMerge")) {
            extras.vMerge = wAttr(r, l1("val")) == QLatin1String("restart") ? CellExtras::Restart
                                                                            : CellExtras::Continue;
        } else if (n == l1("tcBorders")) {
            while (r.readNextStartElement()) {
                if (isW(r)) {
                    const Border b = readBorder(r);
                    const QStringView side = r.name();
                    if (side == l1("top")) {
                        c.setTopBorder(b.widthPx);
                        c.setTopBorderStyle(b.style);
                        c.setTopBorderBrush(b.brush);
                    } else if (side == l1("bottom")) {
                        c.setBottomBorder(b.widthPx);
                        c.setBottomBorderStyle(b.style);
                        c.setBottomBorderBrush(b.brush);
                    } else if (side == l1("left") || side == l1("start")) {
                        c.setLeftBorder(b.widthPx);
                        c.setLeftBorderStyle(b.style);
                        c.setLeftBorderBrush(b.brush);
                    } else if (side == l1("right") || side == l1("end")) {
                        c.setRightBorder(b.widthPx);
                        c.setRightBorderStyle(b.style);
                        c.setRightBorderBrush(b.brush);
                    }
                }
                r.skipCurrentElement();
            }
            continue;
        } else if (n == l1("shd")) {
            const QBrush fill = shadingBrush(r);
            if (fill.style() != Qt::NoBrush)
                c.setBackground(fill);
        } else if (n == l1("vAlign")) {
            const QString v = wAttr(r, l1("val"));
            c.setVerticalAlignment(v == QLatin1String("center")   ? QTextCharFormat::AlignMiddle
                                   : v == QLatin1String("bottom") ? QTextCharFormat::AlignBottom
                                                                  : QTextCharFormat::AlignTop);
        }
        r.skipCurrentElement();
    }
}

}  // namespace arbor::docx
