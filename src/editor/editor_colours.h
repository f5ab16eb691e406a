#pragma once
// The ten named colours of the editor's text and background colour buttons, and the
// tool tips those buttons show for the colour chosen.

#include <QColor>
#include <QString>
#include <QVector>

namespace arbor {

struct NamedColour {
    QString code;  // "Bk", "Gy", ...
    QString name;  // "Black", "Gray", ...
    QColor colour;
};

// In the order the buttons offer them: Black, Gray, Brown, Navy, Blue, Red, Green,
// Yellow, Purple, White.
const QVector<NamedColour>& namedColours();
// The entry of a code or name (either, case-insensitive); nullptr for none.
const NamedColour* findNamedColour(const QString& codeOrName);

// "文字色(" + name + ")を設定します" and "文字背景色(" + name + ")を設定します".
QString textColourTip(const QString& name);
QString backColourTip(const QString& name);

}  // namespace arbor
