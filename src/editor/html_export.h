#pragma once
// The component's HTML export, in the shape the HTML conversion reads: Qt's HTML of the
// body with tag fields as links to "#TG_" + page, term fields as links to "#TP_" + term,
// hyperlink fields as links to their target, embedded objects ("LK_OBJ" fields) as boxed
// paragraphs whose text is "[Iframe:" or "[Script:" + the markup + "]" on the background
// #FEFEFA (frame) or #FEFAFE (script), distances in pt, and pictures written as files into
// the folder named after the target file plus "_Images" beside it, referenced relatively.
// UTF-8, and well-formed enough for an XML parser.

#include <QByteArray>
#include <QList>
#include <QString>

#include "editor/pictures.h"

class QTextDocument;

namespace arbor::html {

enum class PictureFormat { Original, Png, Jpeg };

// A picture of the page as the export refers to it, for callers that place the
// picture files themselves.
struct ExportedPicture {
    QString reference;  // the src value the export wrote ("<name>_Images/001.png")
    QByteArray bytes;   // the picture's own bytes, not yet converted
    pictures::Kind kind = pictures::Kind::None;  // the format the reference names
};

struct ExportOptions {
    PictureFormat pictures = PictureFormat::Original;
    // When set, no picture file is written: the references are made as usual and the
    // pictures are listed here in document order (convertedPicture gives the bytes to
    // write). Saves the encoding of pictures nobody will write.
    QList<ExportedPicture>* collect = nullptr;
    // Every character's font family and size written out, none left to the document's
    // default font (which Qt leaves out of the markup when a character uses it). For
    // readers that give the text their own default, as the published pages do.
    bool explicitFonts = false;
};

// The picture's bytes in the format of kind (PNG or JPEG); as they are when they are
// in it already or cannot be decoded.
QByteArray convertedPicture(const QByteArray& bytes, pictures::Kind kind);

// "<name>_Images" for "/dir/<name>.htm".
QString pictureFolderName(const QString& targetPath);

// The HTML for a page file at targetPath; the pictures are written into its picture
// folder (created when missing). False with a message when a picture cannot be written.
bool exportHtml(const QTextDocument& body, const QString& targetPath, QString& html, QString& error,
                const ExportOptions& options = {});
// The same on a document the caller owns and no longer needs: its fields and pictures
// are changed in place, which saves copying the page.
bool exportHtmlConsuming(QTextDocument& body, const QString& targetPath, QString& html,
                         QString& error, const ExportOptions& options = {});

// exportHtml, then the page file itself (UTF-8), written under a temporary name and
// renamed into place.
bool writeHtmlFile(const QTextDocument& body, const QString& path, QString& error,
                   const ExportOptions& options = {});

}  // namespace arbor::html
