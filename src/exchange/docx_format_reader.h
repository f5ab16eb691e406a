#pragma once
// WordprocessingML properties (w:rPr, w:pPr, w:sectPr, table and cell properties) read
// into Qt text formats. Formats read here are layered (document defaults, styles,
// direct formatting) with QTextFormat::merge and finished with finishCharFormat.

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextTableCellFormat>
#include <QTextTableFormat>
#include <QXmlStreamReader>
#include <optional>

#include "editor/document_model.h"

namespace arbor::docx {

// Font names a theme gives to "major"/"minor" references.
struct ThemeFonts {
    QString majorLatin, majorEastAsia, minorLatin, minorEastAsia;
};

// Properties that only live while reading.
enum ReadProperty {
    LatinFont = QTextFormat::UserProperty + 0x700,  // QString
    EastAsiaFont,                                   // QString
    OutlineLevel,                                   // int, block formats
};

// Makes the font properties Qt's own: the Latin font first, the East-Asian one as
// the fallback family; "automatic" colours and shading markers are removed.
void finishCharFormat(QTextCharFormat& format);

// Reads the w:rPr the reader stands on (and its end). runStyle receives w:rStyle.
void readRunProperties(QXmlStreamReader& r, const ThemeFonts& theme, QTextCharFormat& into,
                       QString* runStyle = nullptr);

struct Section {
    QString headerId;  // default header and footer relationship ids
    QString footerId;
    std::optional<doc::PageSetup> page;
    bool newPage = true;  // false for continuous breaks
};
void readSectionProperties(QXmlStreamReader& r, Section& into);

struct ParagraphExtras {
    QString styleId;
    std::optional<QTextCharFormat> mark;
    std::optional<Section> section;
    int numId = -1;
    int level = 0;
};
// Reads the w:pPr the reader stands on.
void readParagraphProperties(QXmlStreamReader& r, const ThemeFonts& theme, QTextBlockFormat& into,
                             ParagraphExtras* extras);

// A table format without Qt's own defaults (border, spacing), for layering.
QTextTableFormat bareTableFormat();

struct TableExtras {
    QString styleId;
    bool bordersGiven = false;
};
void readTableProperties(QXmlStreamReader& r, QTextTableFormat& into, TableExtras* extras);

struct CellExtras {
    int gridSpan = 1;
    enum Merge { None, Restart, Continue } vMerge = None;
    double widthPercent = 0;  // > 0 when the width is given in percent
};
void readCellProperties(QXmlStreamReader& r, QTextTableCellFormat& into, CellExtras& extras);

}  // namespace arbor::docx
