#pragma once
// Node keys, placement ids, images and colours of the page tree, and the label
// cleaning every title and label goes through before it is stored.

#include <QString>

#include "app/zclt.h"

namespace arbor::tree {

// Keys of nodes that are not placements.
inline const QString kRootKey = QStringLiteral("N-0");
inline const QString kRootText = QStringLiteral("Root");
inline const QString kNewNodeKey = QStringLiteral("NewNode");
inline const QString kTempKey = QStringLiteral("Temp");

// Colours as the rest of the program tests them: Windows values 0x00BBGGRR.
inline constexpr int kProtectedColour = 192;  // &H0000C0, red fore colour
inline constexpr int kNormalColour = 0;       // black fore colour
inline constexpr int kCutColour = 0xE0E0E0;   // light grey fore colour
inline constexpr int kHiddenBack = 0xDCF0F0;  // pale back colour
inline constexpr int kNormalBack = 0xFFFFFF;  // white back colour

// The page number of a key: the text after its first "-" ("0" for "0", "" without "-").
QString pageOfKey(const QString& key);
// The page number as a number; 0 when it is none.
int pageNumberOfKey(const QString& key);
bool isTagKey(const QString& key);
bool isLinkKey(const QString& key);
// "N"/"L"/"X" + running number + "-" + page.
QString makeKey(QChar prefix, int counter, const QString& page);
// Parent number + "-" + page number.
QString placementId(const QString& parentPage, const QString& page);

// True when the text is a whole number other than zero (a page number).
bool isPageNumber(const QString& text);

// Image keys: "nd"/"lk"/"tg" + "cod"/"cls"/"opn"/"lef".
QString imageFor(QChar keyPrefix, bool collecting, bool hasChildren);
// The image after expanding or collapsing; collecting-page and leaf images stay.
QString expandedImage(const QString& image, bool expanded);
// The same image with the home ("nd") or link ("lk") prefix.
QString imageWithPrefix(const QString& image, bool link);
bool isCollectingImage(const QString& image);


}  // namespace arbor::tree
