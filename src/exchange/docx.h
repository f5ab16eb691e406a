#pragma once
// Word documents (.docx, Office Open XML): a general writer and reader of pages and of
// the documents the Word export builds.

#include <QByteArray>
#include <QString>

#include "editor/document_model.h"

namespace arbor::docx {

// Writes body, header, footer and page setup; the file is written under a temporary
// name and renamed into place, so a failure never leaves a half-written file.
bool writeDocx(const doc::DocumentParts& parts, const QString& path, QString& error);
QByteArray docxBytes(const doc::DocumentParts& parts, QString& error);

// Reads a .docx into the given documents (replacing their content) and page setup.
// A damaged, truncated or oversized package is refused with a reason, and the
// documents are left as they were.
bool readDocx(const QString& path, doc::DocumentParts& parts, QString& error);
bool readDocxBytes(const QByteArray& bytes, doc::DocumentParts& parts, QString& error);

}  // namespace arbor::docx
