#pragma once
// Small helpers for writing WordprocessingML with QXmlStreamWriter. Element names are
// written with their usual prefixes; every part's root declares them (startRoot).

#include <QString>
#include <QXmlStreamWriter>

#include "exchange/ooxml.h"

namespace arbor::wml {

inline void startRoot(QXmlStreamWriter& x, const QString& qualifiedName) {
    x.writeStartElement(qualifiedName);
    x.writeAttribute(QStringLiteral("xmlns:w"), QLatin1String(ooxml::kNsW));
    x.writeAttribute(QStringLiteral("xmlns:r"), QLatin1String(ooxml::kNsR));
    x.writeAttribute(QStringLiteral("xmlns:wp"), QLatin1String(ooxml::kNsWp));
    x.writeAttribute(QStringLiteral("xmlns:a"), QLatin1String(ooxml::kNsA));
    x.writeAttribute(QStringLiteral("xmlns:pic"), QLatin1String(ooxml::kNsPic));
}

// <name w:val="value"/>
inline void val(QXmlStreamWriter& x, const QString& name, const QString& value) {
    x.writeEmptyElement(name);
    x.writeAttribute(QStringLiteral("w:val"), value);
}
inline void val(QXmlStreamWriter& x, const QString& name, qint64 value) {
    val(x, name, QString::number(value));
}
// A toggle property: <w:b/> or <w:b w:val="0"/>.
inline void toggle(QXmlStreamWriter& x, const QString& name, bool on) {
    x.writeEmptyElement(name);
    if (!on)
        x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("0"));
}

inline QString attr(const char* prefixed) {
    return QString::fromLatin1(prefixed);
}

// Text as XML accepts it: characters XML 1.0 forbids (and Qt's internal frame
// markers) are dropped.
QString xmlSafe(const QString& text);

}  // namespace arbor::wml
