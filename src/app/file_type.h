#pragma once
// Registration of the document database file type with the desktop: a MIME type for
// "*.<ext>" (mime/packages) and a desktop entry that opens such files with the program
// (applications), both in the user's data folder.

#include <QString>

namespace arbor {

// The MIME type registered for an extension: "application/x-" + ext.
QString mimeTypeForExtension(const QString& ext);

// Registers ext under progId for exePath in dataHome (empty: $XDG_DATA_HOME or
// ~/.local/share), then refreshes the desktop's databases when their tools are present.
// A missing program shows exePath + " Not Found" and registers nothing. ok tells whether
// the desktop entry (the "open" command) was written.
void RegFileType(const QString& progId, const QString& exePath, const QString& ext, bool& ok,
                 const QString& dataHome = QString());

// The message after a registration of *.txdb.
QString fileTypeMessage(bool ok, const QString& exePath);

// The menu command: registers "txdb" as "txdbfile" for exePath and reports the result.
bool registerDocumentFileType(const QString& exePath, const QString& dataHome = QString());

}  // namespace arbor
