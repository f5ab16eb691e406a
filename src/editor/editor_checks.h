#pragma once
// Conditions under which the editor refuses a paragraph command, with the message it
// shows; an empty text means the command may go ahead.

#include <QString>

class QTextCursor;

namespace arbor {

class Frmt;

// Indentation works on a selection inside one paragraph that is not a heading.
QString indentRefusal(const QTextCursor& cursor, const Frmt& table);

// A heading style (0-2) cannot be given to a range that holds a list.
QString styleRefusal(const QTextCursor& cursor, int styleIndex);

}  // namespace arbor
