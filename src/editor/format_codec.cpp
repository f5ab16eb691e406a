#include "editor/format_codec.h"

#include <QBrush>
#include <QColor>
#include <QPen>
#include <QStringList>
#include <QTextOption>
#include <cmath>

namespace arbor::bytes {

namespace {

enum Kind : uint8_t {
    kBool = 1,
    kInt = 2,
    kUInt = 3,
    kLongLong = 4,
    kULongLong = 5,
    kDouble = 6,
    kString = 7,
    kStringList = 8,
    kColor = 9,
    kBrush = 10,
    kPen = 11,
    kLength = 12,
    kTab = 13,
    kList = 14,
};

constexpr uint32_t kMaxProperties = 1024;
constexpr uint32_t kMaxListItems = 100000;
constexpr int kMaxListDepth = 2;
// Sizes and distances beyond this are not on any page and only make layout misbehave.
constexpr double kMaxDistance = 1e6;
constexpr double kMaxFontSize = 4000;

void writeColor(ByteWriter& out, const QColor& color) {
    const QRgba64 c = color.rgba64();
    out.u8(color.isValid() ? 1 : 0);
    out.u16(c.red());
    out.u16(c.green());
    out.u16(c.blue());
    out.u16(c.alpha());
}

QColor readColor(ByteReader& in) {
    const uint8_t valid = in.u8();
    const uint16_t r = in.u16(), g = in.u16(), b = in.u16(), a = in.u16();
    if (valid > 1)
        in.fail(QStringLiteral("a colour is damaged"));
    if (!in.ok() || valid == 0)
        return QColor();
    return QColor::fromRgba64(r, g, b, a);
}

// Gradients and textures never come from the editor; they are kept as their colour.
void writeBrush(ByteWriter& out, const QBrush& brush) {
    const int style = brush.style();
    out.u8(static_cast<uint8_t>(style <= Qt::DiagCrossPattern ? style : Qt::SolidPattern));
    writeColor(out, brush.color());
}

QBrush readBrush(ByteReader& in) {
    const uint8_t style = in.u8();
    const QColor color = readColor(in);
    // Checked before the cast: an enum holding a value outside its range is undefined.
    if (style > Qt::DiagCrossPattern) {
        in.fail(QStringLiteral("a brush is damaged"));
        return QBrush();
    }
    return QBrush(color, static_cast<Qt::BrushStyle>(style));
}

void writePen(ByteWriter& out, const QPen& pen) {
    const int style = pen.style();
    out.u8(static_cast<uint8_t>(style <= Qt::DashDotDotLine ? style : Qt::SolidLine));
    out.f64(pen.widthF());
    writeBrush(out, pen.brush());
    out.u16(static_cast<uint16_t>(pen.capStyle()));
    out.u16(static_cast<uint16_t>(pen.joinStyle()));
}

QPen readPen(ByteReader& in) {
    const uint8_t style = in.u8();
    const double width = in.f64();
    const QBrush brush = readBrush(in);
    const uint16_t cap = in.u16();
    const uint16_t join = in.u16();
    const bool capOk = cap == Qt::FlatCap || cap == Qt::SquareCap || cap == Qt::RoundCap;
    const bool joinOk = join == Qt::MiterJoin || join == Qt::BevelJoin || join == Qt::RoundJoin ||
                        join == Qt::SvgMiterJoin;
    if (style > Qt::DashDotDotLine || width < 0 || width > 1000 || !capOk || !joinOk) {
        in.fail(QStringLiteral("a pen is damaged"));
        return QPen();
    }
    return QPen(brush, width, static_cast<Qt::PenStyle>(style), static_cast<Qt::PenCapStyle>(cap),
                static_cast<Qt::PenJoinStyle>(join));
}

bool writeValue(ByteWriter& out, const QVariant& value, int depth);

// Only lists whose every item can be written are written.
bool writableValue(const QVariant& value, int depth) {
    switch (value.metaType().id()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::QString:
        case QMetaType::QStringList:
        case QMetaType::QColor:
        case QMetaType::QBrush:
        case QMetaType::QPen:
        case QMetaType::QTextLength:
            return true;
        case QMetaType::QVariantList: {
            if (depth >= kMaxListDepth)
                return false;
            const QVariantList list = value.toList();
            for (const QVariant& item : list)
                if (!writableValue(item, depth + 1))
                    return false;
            return true;
        }
        default:
            return value.metaType() == QMetaType::fromType<QTextOption::Tab>();
    }
}

bool writeValue(ByteWriter& out, const QVariant& value, int depth) {
    switch (value.metaType().id()) {
        case QMetaType::Bool:
            out.u8(kBool);
            out.u8(value.toBool() ? 1 : 0);
            return true;
        case QMetaType::Int:
            out.u8(kInt);
            out.i32(value.toInt());
            return true;
        case QMetaType::UInt:
            out.u8(kUInt);
            out.u32(value.toUInt());
            return true;
        case QMetaType::LongLong:
            out.u8(kLongLong);
            out.i64(value.toLongLong());
            return true;
        case QMetaType::ULongLong:
            out.u8(kULongLong);
            out.u64(value.toULongLong());
            return true;
        case QMetaType::Double:
        case QMetaType::Float:
            out.u8(kDouble);
            out.f64(value.toDouble());
            return true;
        case QMetaType::QString:
            out.u8(kString);
            out.string(value.toString());
            return true;
        case QMetaType::QStringList: {
            const QStringList list = value.toStringList();
            out.u8(kStringList);
            out.u32(static_cast<uint32_t>(list.size()));
            for (const QString& s : list)
                out.string(s);
            return true;
        }
        case QMetaType::QColor:
            out.u8(kColor);
            writeColor(out, value.value<QColor>());
            return true;
        case QMetaType::QBrush:
            out.u8(kBrush);
            writeBrush(out, value.value<QBrush>());
            return true;
        case QMetaType::QPen:
            out.u8(kPen);
            writePen(out, value.value<QPen>());
            return true;
        case QMetaType::QTextLength: {
            const QTextLength length = value.value<QTextLength>();
            out.u8(kLength);
            out.u8(static_cast<uint8_t>(length.type()));
            out.f64(length.rawValue());
            return true;
        }
        case QMetaType::QVariantList: {
            const QVariantList list = value.toList();
            out.u8(kList);
            out.u32(static_cast<uint32_t>(list.size()));
            for (const QVariant& item : list)
                writeValue(out, item, depth + 1);
            return true;
        }
        default:
            break;
    }
    if (value.metaType() == QMetaType::fromType<QTextOption::Tab>()) {
        const auto tab = value.value<QTextOption::Tab>();
        out.u8(kTab);
        out.f64(tab.position);
        out.u8(static_cast<uint8_t>(tab.type));
        out.u16(tab.delimiter.unicode());
        return true;
    }
    return false;
}

double readDistance(ByteReader& in) {
    const double value = in.f64();
    if (std::fabs(value) > kMaxDistance)
        in.fail(QStringLiteral("a size or distance is out of range"));
    return value;
}

QVariant readValue(ByteReader& in, int depth) {
    const uint8_t kind = in.u8();
    if (!in.ok())
        return {};
    switch (kind) {
        case kBool: {
            const uint8_t b = in.u8();
            if (b > 1)
                in.fail(QStringLiteral("a flag is damaged"));
            return QVariant(b == 1);
        }
        case kInt:
            return QVariant(static_cast<int>(in.i32()));
        case kUInt:
            return QVariant(static_cast<uint>(in.u32()));
        case kLongLong:
            return QVariant(static_cast<qlonglong>(in.i64()));
        case kULongLong:
            return QVariant(static_cast<qulonglong>(in.u64()));
        case kDouble:
            return QVariant(readDistance(in));
        case kString:
            return QVariant(in.string());
        case kStringList: {
            const uint32_t n = in.count(4, kMaxListItems, "texts in a list");
            QStringList list;
            for (uint32_t i = 0; i < n && in.ok(); ++i)
                list.append(in.string());
            return QVariant(list);
        }
        case kColor:
            return QVariant(readColor(in));
        case kBrush:
            return QVariant(readBrush(in));
        case kPen:
            return QVariant(readPen(in));
        case kLength: {
            const uint8_t type = in.u8();
            const double v = readDistance(in);
            if (type > QTextLength::PercentageLength) {
                in.fail(QStringLiteral("a length is damaged"));
                return {};
            }
            return QVariant(QTextLength(static_cast<QTextLength::Type>(type), v));
        }
        case kTab: {
            QTextOption::Tab tab;
            tab.position = readDistance(in);
            const uint8_t type = in.u8();
            tab.delimiter = QChar(in.u16());
            if (type > QTextOption::DelimiterTab) {
                in.fail(QStringLiteral("a tab stop is damaged"));
                return {};
            }
            tab.type = static_cast<QTextOption::TabType>(type);
            return QVariant::fromValue(tab);
        }
        case kList: {
            if (depth >= kMaxListDepth) {
                in.fail(QStringLiteral("lists are nested too deeply"));
                return {};
            }
            const uint32_t n = in.count(2, kMaxListItems, "list items");
            QVariantList list;
            for (uint32_t i = 0; i < n && in.ok(); ++i)
                list.append(readValue(in, depth + 1));
            return QVariant(list);
        }
        default:
            in.fail(QStringLiteral("unknown kind of value %1").arg(kind));
            return {};
    }
}

// Values that would make layout or painting misbehave are refused, not clamped: only a
// damaged or forged block has them.
bool plausible(int key, const QVariant& value) {
    const int type = value.metaType().id();
    switch (key) {
        case QTextFormat::FontPointSize:
            return type != QMetaType::Double ||
                   (value.toDouble() >= 0 && value.toDouble() <= kMaxFontSize);
        case QTextFormat::FontPixelSize:
            return type != QMetaType::Int || (value.toInt() >= 0 && value.toInt() <= kMaxFontSize);
        case QTextFormat::BlockIndent:
        case QTextFormat::ListIndent:
            return type != QMetaType::Int || (value.toInt() >= -1000 && value.toInt() <= 1000);
        case QTextFormat::HeadingLevel:
            return type != QMetaType::Int || (value.toInt() >= 0 && value.toInt() <= 6);
        case QTextFormat::TableColumns:
        case QTextFormat::TableHeaderRowCount:
            return type != QMetaType::Int || (value.toInt() >= 0 && value.toInt() <= 10000);
        case QTextFormat::TableCellRowSpan:
        case QTextFormat::TableCellColumnSpan:
            return type != QMetaType::Int || (value.toInt() >= 1 && value.toInt() <= 10000);
        default:
            return true;
    }
}

}  // namespace

void writeFormat(ByteWriter& out, const QTextFormat& format) {
    auto props = format.properties();
    props.remove(QTextFormat::ObjectIndex);
    for (auto it = props.begin(); it != props.end();) {
        if (writableValue(it.value(), 0))
            ++it;
        else
            it = props.erase(it);
    }
    out.i32(format.type());
    out.u32(static_cast<uint32_t>(props.size()));
    for (auto it = props.cbegin(); it != props.cend(); ++it) {
        out.i32(it.key());
        writeValue(out, it.value(), 0);
    }
}

QByteArray formatBytes(const QTextFormat& format) {
    ByteWriter out;
    writeFormat(out, format);
    return out.data();
}

QTextFormat readFormat(ByteReader& in) {
    const int32_t type = in.i32();
    if (!in.ok())
        return QTextFormat();
    if (type != QTextFormat::BlockFormat && type != QTextFormat::CharFormat &&
        type != QTextFormat::ListFormat && type != QTextFormat::FrameFormat) {
        in.fail(QStringLiteral("unknown kind of format %1").arg(type));
        return QTextFormat();
    }
    QTextFormat format(type);
    const uint32_t n = in.count(6, kMaxProperties, "format properties");
    int32_t previousKey = 0;
    for (uint32_t i = 0; i < n && in.ok(); ++i) {
        const int32_t key = in.i32();
        // Written in ascending key order; anything else is not a block of ours.
        if (in.ok() && key <= previousKey) {
            in.fail(QStringLiteral("format properties out of order"));
            break;
        }
        previousKey = key;
        const QVariant value = readValue(in, 0);
        if (!in.ok())
            break;
        if (!plausible(key, value)) {
            in.fail(QStringLiteral("format property %1 is out of range").arg(key));
            break;
        }
        format.setProperty(key, value);
    }
    return in.ok() ? format : QTextFormat();
}

}  // namespace arbor::bytes
