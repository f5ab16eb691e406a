#pragma once
// Text formats (block, character, frame, table, cell, list, image) as bytes: the type,
// then every property as key, value kind and value. Only value kinds that formats
// really hold are written; the reader accepts nothing else, so no input can make it
// construct arbitrary objects, and it refuses values no page can have.

#include <QTextFormat>

#include "editor/byte_io.h"

namespace arbor::bytes {

// The internal object index (which ties a format to a frame, table or list of one
// document) is never written: the loader recreates those links.
void writeFormat(ByteWriter& out, const QTextFormat& format);
// Serialized form of one format; equal bytes mean equal formats.
QByteArray formatBytes(const QTextFormat& format);
// An invalid format (and a reason in the reader) when the bytes are not a sane format.
QTextFormat readFormat(ByteReader& in);

}  // namespace arbor::bytes
