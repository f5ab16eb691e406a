#pragma once
// Fields: runs of characters whose format carries a field id (> 0) and a data text
// (document_model.h). A field lies within one paragraph; two fields next to each other
// differ in id.

#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <optional>

class QTextCursor;
class QTextDocument;

namespace arbor::fields {

struct Field {
    int id = 0;
    int start = 0;  // document position of the first character
    int length = 0;
    QString text;
    QString data;
    int end() const { return start + length; }
    bool operator==(const Field&) const = default;
};

// Every field of the document in document order (table cells and frames included).
QList<Field> all(const QTextDocument& document);
// The field holding the character at position.
std::optional<Field> at(const QTextDocument& document, int position);
// The field the cursor stands in: without a selection the caret is strictly inside it;
// a selection lies within it.
std::optional<Field> current(const QTextCursor& cursor);

int highestId(const QTextDocument& document);

// Replaces the cursor's selection by a field with the given text and data, formatted
// like the text around it; a caret strictly inside another field moves to that field's
// end first, so fields never nest. Afterwards the cursor stands behind the field and
// typing there does not extend it. False (nothing changed) for an empty text.
bool insert(QTextCursor& cursor, const QString& text, const QString& data);
// Replaces a field's text and data, keeping its id and the format of its first character.
bool update(QTextDocument& document, const Field& field, const QString& text, const QString& data);
// Sets the data of the field with this id (every run of it); false when there is none.
bool setData(QTextDocument& document, int id, const QString& data);

// The format for text next to a field or picture: the same look, without the field's or
// the picture's properties.
QTextCharFormat withoutField(QTextCharFormat format);

// At a field's edge (its start or end, not strictly inside it) what is typed belongs to the
// text around, not to the field: gives the caret that format. False when nothing changed
// (inside a field, in plain text, or with a selection).
bool leaveFieldEdge(QTextCursor& cursor);

// Gives the fields new ids firstId, firstId + 1, ... in document order.
void renumber(QTextDocument& document, int firstId);

}  // namespace arbor::fields
