#pragma once
// The paragraph styles of Arbor's Word documents: one style per user format (the three
// headings as "見出し 1" to "見出し 3"), their direct formatting, and styles.xml.

#include <QByteArray>
#include <QString>
#include <QTextFormat>
#include <array>

#include "editor/user_formats.h"

namespace arbor::docx {

// The user formats a package is written with.
struct StyleSet {
    std::array<UsrFormat, kUserFormatCount> formats;
    float lineSpacingFactor = 1.2f;

    static StyleSet defaults();
    static StyleSet fromTable(const Frmt& table);
};

// Style id and name of user format index (0-7); empty outside.
QString styleId(int styleIndex);
QString styleName(int styleIndex);
// The user format a style stands for, recognised by id or name: ours, and the heading
// styles Word and LibreOffice write ("heading 1", "Heading 1", "見出し 1"). -1: none.
int styleIndexOf(const QString& id, const QString& name);

// 0x00BBGGRR as a colour.
QColor colorFromBgr(qint32 bgr);

// What applying user format index to a paragraph sets, as the editor applies it:
// font, size, colours, weight, and for the paragraph styles the alignment, left
// distance, line spacing and the stored frame and distance values.
void applyUserFormat(const StyleSet& set, int index, QTextBlockFormat& block,
                     QTextCharFormat& chars);

// styles.xml; textWidth (twips) places the right tab of the table of contents.
QByteArray stylesXml(const StyleSet& set, int textWidth);
// settings.xml; updateFields asks Word to refresh fields (the table of contents) on open.
QByteArray settingsXml(bool updateFields);

}  // namespace arbor::docx
