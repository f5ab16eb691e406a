#pragma once
// What the site build needs of the HTML conversion: the site's output settings, the file
// names of placements, the document type of a finished page, and page converters that
// turn a page's stored rich text into the head and body of its page file. Converters are
// made one per thread, so pages convert side by side.

#include <QByteArray>
#include <QString>
#include <memory>

namespace arbor::web {

// The head data of a page: its own site settings, or those of its nearest ancestor that
// has some, and the picture format it inherits.
struct PageHeadData {
    QString title;
    QString description;
    QString keywords;
    QString copyright;
    bool robotsOff = false;
    bool fullWidthTables = false;
    bool pngPictures = false;
    bool linkPlacement = false;
};

class PageConverter {
  public:
    virtual ~PageConverter() = default;
    // The head and body of the page file at outputPath; pictures go beside it.
    virtual bool convert(int page, const QByteArray& richText, const QString& outputPath,
                         const PageHeadData& headData, QString& head, QString& body,
                         QString& error) = 0;
};

class SiteConversion {
  public:
    virtual ~SiteConversion() = default;
    // Reads the site's output settings from the open database (kind, pictures, file names).
    virtual bool loadSettings(QString& error) = 0;
    // HsFName: the file name of a placement relative to the page folder.
    virtual QString fileName(int parent, int page, bool link) const = 0;
    // SetDTD: the page text with the site's document type and empty-element form.
    virtual QString setDocumentType(const QString& pageText) const = 0;
    // A converter for the calling thread.
    virtual std::unique_ptr<PageConverter> converter() const = 0;
};

}  // namespace arbor::web
