#pragma once
// Icons of the editor's bars: the style's standard icons where it has one that fits,
// drawn ones for the rest (the style offers no scissors, printer or magnifier).

#include <QColor>
#include <QIcon>
#include <QString>

class QStyle;

namespace arbor::ui::icons {

// The tool bar button's icon: "New", "Open", "Save", "Print", "Preview", "Cut", "Copy",
// "Paste", "Undo", "Redo", "Find".
QIcon toolIcon(const QString& button, const QStyle* style);
// Alignment: "left", "center", "right".
QIcon alignIcon(const QString& side);
// An "A" over a bar of the text colour; a marker stroke of the background colour.
QIcon textColour(const QColor& colour);
QIcon backColour(const QColor& colour);

}  // namespace arbor::ui::icons
