#pragma once
// The component's HTML export, in the shape the HTML conversion reads: Qt's HTML of the
// body with tag fields as links to "#TG_" + page, term fields as links to "#TP_" + term,
// hyperlink fields as links to their target, embedded objects ("LK_OBJ" fields) as boxed
// paragraphs whose text is "[Iframe:" or "[Script:" + the markup + "]" on the background
// #FEFEFA (frame) or #FEFAFE (script), distances in pt, and pictures written as files into
// the folder named after the target file plus "_Images" beside it, referenced relatively.
// UTF-8, and well-formed enough for an XML parser.

#include <QString>

class QTextDocument;

namespace arbor::html {

enum class PictureFormat { Original, Png, Jpeg };

struct ExportOptions {
    PictureFormat pictures = PictureFormat::Original;
};

// "<name>_Images" for "/dir/<name>.htm".
QString pictureFolderName(const QString& targetPath);

// The HTML for a page file at targetPath; the pictures are written into its picture
// folder (created when missing). False with a message when a picture cannot be written.
bool exportHtml(const QTextDocument& body, const QString& targetPath, QString& html, QString& error,
                const ExportOptions& options = {});

// exportHtml, then the page file itself (UTF-8), written under a temporary name and
// renamed into place.
bool writeHtmlFile(const QTextDocument& body, const QString& path, QString& error,
                   const ExportOptions& options = {});

}  // namespace arbor::html
