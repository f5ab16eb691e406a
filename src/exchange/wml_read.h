#pragma once
// Helpers for reading WordprocessingML with QXmlStreamReader: a safety pass over each
// part, namespace tests that accept the transitional and strict vocabularies, and
// lenient parsing of attribute values.

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QXmlStreamReader>
#include <optional>

namespace arbor::wml {

// Checks that xml is well-formed, has no document type declaration (so no entity can
// expand) and is not nested absurdly deep. The reason names the part.
bool checkXml(const QByteArray& xml, const QString& partName, QString& error);

// The reader stands on an element of the main vocabulary with this local name.
bool isW(const QXmlStreamReader& r, QLatin1String name);
bool isW(const QXmlStreamReader& r);
bool isR(QStringView namespaceUri);

// w:name of the current element; empty when absent.
QString wAttr(const QXmlStreamReader& r, QLatin1String name);
// r:id style attributes.
QString rAttr(const QXmlStreamReader& r, QLatin1String name);
// An attribute without namespace.
QString plainAttr(const QXmlStreamReader& r, QLatin1String name);

// A toggle such as <w:b/>, <w:b w:val="false"/>.
bool toggleValue(const QXmlStreamReader& r);
// A whole number of a measure (decimals are rounded: some writers emit them), clamped
// to [min, max]; nothing for a missing or malformed value.
std::optional<int> number(QStringView text, int min, int max);
// The current element's w:val as a number.
std::optional<int> wNumber(const QXmlStreamReader& r, QLatin1String name, int min, int max);

}  // namespace arbor::wml
