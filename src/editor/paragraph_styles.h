#pragma once
// The six paragraph styles applied from the user format table, the paragraph kind the
// status panel shows, and the editor's Enter and Delete rules, as operations on a
// document through a cursor.

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include "editor/user_formats.h"

class QTextCursor;
class QTextBlock;
class QTextDocument;
class QTextTableCell;

namespace arbor {

// Gives the paragraphs of the cursor (all of them when it selects several) the user
// format `index` (0-7) of the table: font, size, colours, weight for the text; for the
// headings (0-2) alignment and frame values, for 0-3 the distances and the line spacing
// (FontSize x 20 x factor twips). Other styles get alignment left, frames 0, 0, 7936.
void applyParagraphStyle(QTextCursor& cursor, int index, const Frmt& table);

// Gives a table cell's paragraphs the style `index`; its own format (background, padding,
// borders) stays, and what is typed into it takes the style's font.
void styleCell(const QTextTableCell& cell, int index, const Frmt& table);

// The paragraph a paste lands in, taken before the paste, so its style can be kept when
// the pasted content brings no whole paragraph of its own.
struct LandingParagraph {
    int position = 0;  // where the paste starts
    QTextBlockFormat block;
    QTextCharFormat chars;  // the paragraph's own character format
    bool empty = false;
};
LandingParagraph landingParagraph(const QTextCursor& cursor);
// After the paste (cursor behind the pasted content): when the content stayed inside the
// paragraph it landed in, that paragraph keeps its style; an empty styled paragraph also
// gives the pasted text its style's look. Joins the paste's undo step.
void keepLandingStyle(QTextCursor& cursor, const LandingParagraph& landing, const Frmt& table);

// Applies the header or footer format (6 or 7) to a whole header or footer document.
void applyHeaderFooterFormat(QTextDocument& document, int index, const Frmt& table);

// The paragraph kind shown for the caret: "Field" inside a field; "見出１(頁見出)",
// "見出２" or "見出３" for a heading (bold, larger than the body size, heading attribute
// 1); "本文" otherwise.
QString paragraphKind(const QTextCursor& cursor, const Frmt& table);
// Whether a paragraph counts as a heading by that rule, and its level (1-3, 0: none).
int headingLevel(const QTextBlock& block, const Frmt& table);

// True when the cursor stands inside a field.
bool insideField(const QTextCursor& cursor);

enum class EnterResult { LeftToComponent, LineBreak, ParagraphBreak };
// The editor's Enter in the text: inside a field, or with no document (negative mode),
// the component does its own; in a body paragraph a line break when lineBreakOption
// ("本文はEnter= <br>") is on, else a paragraph break; in a heading a paragraph break,
// and at the end of the heading the new paragraph is body text.
EnterResult pressEnter(QTextCursor& cursor, const Frmt& table, bool lineBreakOption, int mode);

// Delete with a selection of two or more characters that ends with a paragraph break
// keeps the break. Returns true when it deleted (false: nothing selected).
bool deleteSelectionKeepingBreak(QTextCursor& cursor);

// Enter in the title box: with an empty document and "最初は見出1" on, the title
// becomes the first paragraph, as heading 1, and the caret stays behind it.
bool titleToFirstParagraph(QTextDocument& document, const QString& title, const Frmt& table,
                           bool headingOption, QTextCursor& caret);

}  // namespace arbor
