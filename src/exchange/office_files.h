#pragma once
// RTF and legacy Word files (.doc) read and written as pages, by way of .docx and
// LibreOffice.

#include <QString>

#include "editor/document_model.h"

namespace arbor::office {

// Reads an .rtf or .doc file into the parts; they stay as they were on failure.
bool readOfficeFile(const QString& path, doc::DocumentParts& parts, QString& error,
                    int timeoutMs = 60000);
// Writes the parts as extension ("rtf" or "doc"); an existing file is replaced only
// when everything succeeded.
bool writeOfficeFile(const doc::DocumentParts& parts, const QString& path, const QString& extension,
                     QString& error, int timeoutMs = 60000);

}  // namespace arbor::office
