#pragma once
// Format 9: Arbor's own lossless byte form of a page, as msDoc.obDoc stores it. It holds
// body, header, footer and page setup with every block, character, frame, table, cell,
// list and picture format and their custom properties (fields, paragraph styles), table
// shapes with merged cells, the pictures' original bytes and page breaks.
//
// Layout: an 8-byte signature, version, flags, payload length and the payload's CRC-32,
// then the payload. Saving the same content always gives the same bytes.
//
// Loading checks everything before it changes anything: a damaged, truncated or foreign
// block is refused with a reason, and the documents stay exactly as they were.

#include <QByteArray>
#include <QString>
#include <functional>

#include "editor/document_model.h"

class QTextCursor;

namespace arbor::byteformat {

inline constexpr int kFormatCode = 9;
inline constexpr uint16_t kVersion = 1;

// The whole page. A null header or footer is written as absent.
QByteArray save(const doc::DocumentParts& parts);
// Only the selected part of the cursor's document (its body content), with the page
// setup given; nothing selected gives an empty body.
QByteArray saveSelection(const QTextCursor& selection, const doc::PageSetup& page);

// Replaces the content of the given documents (a null document is skipped) and the page
// setup. The undo history of a replaced document starts afresh and it is unmodified.
// beforeChange runs once the block is known to be sound, right before the documents change.
bool load(const QByteArray& data, doc::DocumentParts& parts, QString& error,
          const std::function<void()>& beforeChange = {});
// Inserts the body of the block at the cursor (replacing its selection) as one undo
// step; pictures and fields are renumbered so they cannot clash with those present.
bool insert(const QByteArray& data, QTextCursor& cursor, QString& error);

// Whether the block can be loaded, without loading it anywhere.
bool check(const QByteArray& data, QString& error);

}  // namespace arbor::byteformat
