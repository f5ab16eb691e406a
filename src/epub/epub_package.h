#pragma once
// The files an EPUB 2 book holds around its pages: the container document, the package
// document (content.opf: metadata, manifest, spine) and the navigation document (toc.ncx).
// Plain text builders; the book builder decides what goes in.

#include <QString>
#include <QStringList>
#include <QVector>

namespace arbor::epub {

struct BookMetadata {
    QString title;
    QString identifier;
    QString author;     // dc:creator, left out when empty
    QString rights;     // dc:rights, left out when empty
    QString publisher;  // dc:publisher, left out when empty
};

// One entry of the table of contents.
struct NavPoint {
    int level = 0;      // 0 for the top
    int number = 1;     // counts the navigation points: the id is "p" + number
    int playOrder = 1;  // position of the target in the reading order
    QString title;
    QString file;  // the page file, relative to OEBPS
};

// META-INF/container.xml.
QString containerDocument();

// OEBPS/content.opf. files are the page files in reading order (a page placed twice may
// appear twice; the manifest and spine list it once); pictures are the file names in
// OEBPS/Images.
QString packageDocument(const BookMetadata& book, const QStringList& files,
                        const QStringList& pictures);

// OEBPS/toc.ncx; depth is the number of levels of the table of contents.
QString navigationDocument(const BookMetadata& book, const QVector<NavPoint>& points, int depth);

// The manifest id of a page file ("pg" + the name before its last ".").
QString pageItemId(const QString& file);
// The media type of a picture file by its extension ("photo.JPG" -> "image/jpeg").
QString pictureMediaType(const QString& file);

}  // namespace arbor::epub
