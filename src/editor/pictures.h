#pragma once
// Pictures of a page: image characters naming a document resource that holds the
// picture file's own bytes (see document_model.h), so nothing is ever re-encoded.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

class QTextDocument;
class QTextCursor;

namespace arbor::pictures {

enum class Kind { None, Png, Jpeg };

// By the file signature, not by the name.
Kind sniff(const QByteArray& bytes);
// "png" or "jpg".
QString extension(Kind kind);

// "arbor-image:<n>.png" or ".jpg".
QString resourceName(int number, Kind kind);
// n of "arbor-image:<n>.<ext>", or 0 for any other name.
int resourceNumber(const QString& name);
// One more than the largest number among the document's pictures.
int nextNumber(const QTextDocument& document);

// The bytes a picture character names: the resource as stored, or PNG for a decoded
// image somebody put there; empty when the document has no such resource.
QByteArray resourceBytes(const QTextDocument& document, const QString& name);

// The names of the pictures in document order, each once.
QStringList pictureNames(const QTextDocument& document);

// Adds the bytes as a new resource and inserts a picture character at the cursor.
// Refuses (with a message) anything that is not a PNG or JPEG file.
bool insertPicture(QTextCursor& cursor, const QByteArray& bytes, QString& error);

// Gives every picture of `document` whose name is already used in `target` (or uses the
// arbor-image scheme at all) a fresh number above those of `target`, so the two can be
// joined without one picture replacing another; copies nothing.
void renumberFor(QTextDocument& document, const QTextDocument& target);

// Copies the picture resources of `from` that `to` lacks.
void copyResources(const QTextDocument& from, QTextDocument& to);

}  // namespace arbor::pictures
