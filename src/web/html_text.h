#pragma once
// Small text routines of the HTML conversion: the title clean-up of T_HtmMoji, escaping
// of user texts for markup, and the marker that keeps ideographic spaces through it.

#include <QString>

namespace arbor::web {

// Removes blank, "&", "<", ">", double quote and apostrophe.
void T_HtmMoji(QString& text);

// Text for element content: "&", "<" and ">" as references.
QString escapeText(const QString& text);
// Text for an attribute value in either quote: escapeText plus both quotes.
QString escapeAttribute(const QString& text);

// Stands for U+3000 while the page is converted: trimming treats U+3000 as a blank and
// would lose it. A genuine U+2177 of the page is written as a character reference first.
inline constexpr char16_t kIdeographicSpace = 0x3000;
inline constexpr char16_t kIdeographicMarker = 0x2177;
void protectIdeographicSpaces(QString& text);
void restoreIdeographicSpaces(QString& text);

// The whole part of a CSS length in points ("14pt" -> 14, "16.8pt" -> 16.8); -1 when the
// value is not in points.
double pointValue(const QString& value);

// "#RRGGBB" of a Windows colour value 0x00BBGGRR.
QString cssColour(int bgr);

}  // namespace arbor::web
