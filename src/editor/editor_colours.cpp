#include "editor/editor_colours.h"

namespace arbor {

const QVector<NamedColour>& namedColours() {
    // Tuned to stay readable both as text on white and as a background behind black text;
    // Yellow is the highlighter's yellow, not the pure one, which vanishes on white.
    static const QVector<NamedColour> colours = {
        {QStringLiteral("Bk"), QStringLiteral("Black"), QColor(0x00, 0x00, 0x00)},
        {QStringLiteral("Gy"), QStringLiteral("Gray"), QColor(0x80, 0x80, 0x80)},
        {QStringLiteral("Br"), QStringLiteral("Brown"), QColor(0x8B, 0x45, 0x13)},
        {QStringLiteral("Nv"), QStringLiteral("Navy"), QColor(0x00, 0x00, 0x80)},
        {QStringLiteral("Bl"), QStringLiteral("Blue"), QColor(0x00, 0x4E, 0xD8)},
        {QStringLiteral("Rd"), QStringLiteral("Red"), QColor(0xD0, 0x10, 0x10)},
        {QStringLiteral("Gr"), QStringLiteral("Green"), QColor(0x00, 0x80, 0x00)},
        {QStringLiteral("Yw"), QStringLiteral("Yellow"), QColor(0xFF, 0xE6, 0x00)},
        {QStringLiteral("Pr"), QStringLiteral("Purple"), QColor(0x80, 0x00, 0x80)},
        {QStringLiteral("Wh"), QStringLiteral("White"), QColor(0xFF, 0xFF, 0xFF)},
    };
    return colours;
}

const NamedColour* findNamedColour(const QString& codeOrName) {
    for (const NamedColour& c : namedColours())
        if (c.code.compare(codeOrName, Qt::CaseInsensitive) == 0 ||
            c.name.compare(codeOrName, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QString textColourTip(const QString& name) {
    return QStringLiteral("文字色(") + name + QStringLiteral(")を設定します");
}

QString backColourTip(const QString& name) {
    return QStringLiteral("文字背景色(") + name + QStringLiteral(")を設定します");
}

}  // namespace arbor
