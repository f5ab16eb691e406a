#pragma once
// RTF and legacy Word files pass through LibreOffice when it is installed.

#include <QString>

namespace arbor::office {

// Whether a LibreOffice program (soffice or libreoffice) is on the PATH.
bool available();
// The message shown when a conversion needs LibreOffice and it is missing.
QString missingMessage();
// Converts input into the format given by extension ("docx", "rtf", "doc", "pdf") and
// puts the result at output (replaced only when the conversion succeeded). Stops a
// conversion that runs longer than timeoutMs.
bool convert(const QString& input, const QString& extension, const QString& output, QString& error,
             int timeoutMs = 60000);

}  // namespace arbor::office
