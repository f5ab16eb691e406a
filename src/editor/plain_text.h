#pragma once
// A page as plain text, as msDoc.txDoc keeps it for searching: paragraphs and line
// breaks inside a paragraph end in LF; a table gives one line per row with its cells
// separated by TAB (the paragraphs inside a cell joined by a blank); fields give their
// text; pictures and other objects give nothing.

#include <QString>

class QTextCursor;
class QTextDocument;

namespace arbor::plaintext {

QString text(const QTextDocument& document);

// Replaces the whole document by the text, in the default formats, as one undo step.
// CR LF, CR and LF start a new paragraph; vertical tab and U+2028 break the line.
void setText(QTextDocument& document, const QString& text);

// Inserts text at the cursor (replacing its selection) with the same line rules, in the
// cursor's character format.
void insertText(QTextCursor& cursor, const QString& text);

}  // namespace arbor::plaintext
