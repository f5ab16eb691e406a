#pragma once
// Page files: reading a file into the page (replacing it, or at the selection) and writing
// the page to a file, the format chosen by the extension: .txt, .htm/.html, .odt (write
// only), .pdf (write only), .docx, and .rtf/.doc through LibreOffice. Reads build the new
// content apart and change the page only when everything was read; writes go through a
// temporary file that replaces the target only when complete.

#include <QString>

namespace arbor {
class RichText;
}

namespace arbor::pagefiles {

enum class FileKind { Text, Html, Odt, Pdf, Docx, Rtf, Doc, Unknown };

FileKind kindOf(const QString& path);

// Replaces body (and for Word files header, footer and page setup) with the file.
bool loadFile(RichText& page, const QString& path, QString& error);
// Inserts the file's body at the selection, as one undo step.
bool insertFile(RichText& page, const QString& path, QString& error);
bool saveFile(const RichText& page, const QString& path, QString& error);

}  // namespace arbor::pagefiles
