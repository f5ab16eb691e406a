#pragma once
// The frame of the published site as the template editor designs it: layout and widths,
// logo and title pictures, the colours and weights of the top menu, its drop-down lists,
// the left menu and the trail. From a design the editor generates a pair of files, a
// page template in the site's "Template" folder and its style sheet in "cmn" (with the
// column background picture); it reads a pair back into a design, and writes a work pair
// that the site build's template preview shows.

#include <QColor>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>

namespace arbor::web {

// A sample label of the dialog: text colour, background colour and boldness.
struct LabelStyle {
    QColor text;
    QColor back;
    bool bold = false;
    bool operator==(const LabelStyle& o) const {
        return text == o.text && back == o.back && bold == o.bold;
    }
};

struct CssDesign {
    QString id;             // txID: "" or letters, digits, "-" and "_"
    bool elastic = false;   // opLout: "-el" (full width) instead of "-fx" (fixed width)
    int totalWidth = 960;   // txWide (fixed layout)
    int leftWidth = 220;    // the logo (left) column
    int headerHeight = 64;  // the logo and title areas
    QString logo;           // txLogo, a file name in "cmn" ("" for none)
    QSize logoSize;         // the picture's size (invalid: not known)
    QString title;          // txTitle
    QSize titleSize;
    int topItemWidth = 100;                         // txTpW, at most 100
    bool dropDown = true;                           // chDrop
    QColor titleBack, topBack, mainBack, logoBack;  // bcTitle, bcTop, bcMain, bcLogo
    LabelStyle top, topHover, topNow;               // lbTop, lbTop_h, lbTop_n
    LabelStyle drop, dropHover;                     // lbDrop, lbDrop_h
    LabelStyle left, leftHover, leftNow;            // lbLeft, lbLeft_h, lbLeft_n
    LabelStyle pan, panHover;                       // lbPan, lbPan_h

    bool operator==(const CssDesign& o) const;
};

// The design of the skeleton site's own pair (tpl-fx.htm, navi-fx.css).
CssDesign defaultDesign();

// Limits applied before writing (the top-menu item width of more than 100 becomes 100).
void normaliseDesign(CssDesign& design);
// Why the design cannot be written (bad ID, widths, pictures that do not fit), or "".
QString designProblem(const CssDesign& design);

// The text of a width field: digits (and "px"), from low to high; false for letters or a
// number out of range.
bool parseWidthField(const QString& text, int low, int high, int& value);
// The text of a colour field: "#RRGGBB", "RRGGBB" or the short "RGB"; invalid otherwise.
QColor parseColourField(const QString& text);

// "-fx" or "-el", then "_" and the ID when there is one.
QString designPart(const CssDesign& design);
// The names of the pair: "navi" + part + ".css", "tpl" + part + ".htm", "back" + part +
// ".gif"; for the preview "navi_wrk.css", "tpl_wrk.htm" and "back_wrk.gif".
QString styleSheetName(const CssDesign& design, bool preview = false);
QString templateName(const CssDesign& design, bool preview = false);
QString backgroundName(const CssDesign& design, bool preview = false);

// A colour as the style sheet writes it: six upper-case hexadecimal digits, red first.
QString cssHex(const QColor& colour);

// The style sheet: layout, areas, top menu (with or without drop-down lists), left
// menu, main part and trail, CR LF line ends, then additions as they are.
QString generateStyleSheet(const CssDesign& design, const QString& backgroundFile,
                           const QString& additions);
// The template linking its style sheet through naviHref ("../cmn/navi-fx.css"); script
// adds the site's drop-down script for touch screens.
QString generateTemplate(const CssDesign& design, const QString& naviHref, bool script);

// The part of a style sheet the user added: from "/* 追加指定 */" to the end ("" without).
QString additionsOf(const QString& styleSheet);

// ---------------------------------------------------------------- colour presets

QStringList presetNames();  // Red, Blue, Green, Yellow, Orange, Pink, Black, Brown, Purple
// The groups of a preset, three colours each (title area, logo column, top bar).
QList<std::array<QColor, 3>> presetGroups(const QString& name);
// A short colour: "F36" is red FF, green 33, blue 66.
QColor shortColour(const QString& text);
// Applies a group: the three area colours, and menu text colours that read on them.
void applyPresetGroup(CssDesign& design, const std::array<QColor, 3>& group);
// The group after (step 1) or before (step -1) index in a preset of count groups,
// wrapping at both ends.
int stepGroup(int index, int step, int count);

// The areas and their colours for the clipboard, and the message that follows.
QString colourSummary(const CssDesign& design);

}  // namespace arbor::web
