#pragma once
// Names and units of Office Open XML word-processing packages, shared by the .docx
// writer and reader.

#include <QColor>
#include <QString>
#include <QStringView>
#include <cmath>

namespace arbor::ooxml {

// Namespaces (transitional; the reader also accepts the strict variants).
inline constexpr char kNsW[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr char kNsR[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr char kNsWp[] =
    "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
inline constexpr char kNsA[] = "http://schemas.openxmlformats.org/drawingml/2006/main";
inline constexpr char kNsPic[] = "http://schemas.openxmlformats.org/drawingml/2006/picture";
inline constexpr char kNsPackageRels[] =
    "http://schemas.openxmlformats.org/package/2006/relationships";
inline constexpr char kNsContentTypes[] =
    "http://schemas.openxmlformats.org/package/2006/content-types";
inline constexpr char kNsStrictW[] = "http://purl.oclc.org/ooxml/wordprocessingml/main";
inline constexpr char kNsStrictR[] = "http://purl.oclc.org/ooxml/officeDocument/relationships";
inline constexpr char kNsMc[] = "http://schemas.openxmlformats.org/markup-compatibility/2006";

// Relationship types; the reader compares only the last path segment, which the
// transitional and strict variants share.
inline constexpr char kRelBase[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
inline QString relType(const char* name) {
    return QString::fromLatin1(kRelBase) + QLatin1String(name);
}
inline bool isRelType(QStringView type, QLatin1String name) {
    return type.size() > name.size() && type.endsWith(name) &&
           type.at(type.size() - name.size() - 1) == QLatin1Char('/');
}

inline constexpr char kCtMain[] =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
inline constexpr char kCtStyles[] =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml";
inline constexpr char kCtSettings[] =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml";
inline constexpr char kCtHeader[] =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml";
inline constexpr char kCtFooter[] =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml";
inline constexpr char kCtRels[] = "application/vnd.openxmlformats-package.relationships+xml";

// Lengths. Word measures in twips (1/20 pt), half-points and EMU (1/914400 inch).
// Block margins of a page document are points; picture and table sizes are pixels
// at 96 dpi, as Qt lays them out.
inline constexpr double kTwipsPerPoint = 20.0;
inline constexpr double kTwipsPerPixel = 15.0;
inline constexpr double kEmuPerPixel = 9525.0;
inline constexpr double kEmuPerTwip = 635.0;

inline int toTwips(double points) {
    return int(std::lround(points * kTwipsPerPoint));
}
inline double pointsFromTwips(double twips) {
    return twips / kTwipsPerPoint;
}

// "RRGGBB" of an opaque colour.
inline QString hexColor(const QColor& color) {
    return color.name(QColor::HexRgb).mid(1).toUpper();
}
// A colour from "RRGGBB"; invalid for "auto" and anything malformed.
inline QColor colorFromHex(QStringView text) {
    if (text.size() != 6)
        return {};
    bool ok = false;
    const uint rgb = text.toUInt(&ok, 16);
    return ok ? QColor::fromRgb(QRgb(rgb)) : QColor();
}

}  // namespace arbor::ooxml
