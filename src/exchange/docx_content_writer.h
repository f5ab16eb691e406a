#pragma once
// Writes the content of a QTextDocument (paragraphs, runs, fields as hyperlinks,
// pictures, tables) as WordprocessingML block content of one part.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QXmlStreamWriter>
#include <functional>
#include <vector>

#include "exchange/docx_numbering.h"
#include "exchange/docx_package_writer.h"

class QTextBlock;
class QTextDocument;
class QTextFrame;
class QTextTable;
class QTextList;
class QTextImageFormat;
class QTextCharFormat;

namespace arbor::docx {

// What the parts of one package share while they are written.
struct WriteState {
    MediaStore media;
    NumberingWriter numbering;
    int nextDrawingId = 1;
    int nextBookmarkId = 1;
    QSet<QString> bookmarkNames;
    // Placed at the start of the next paragraph of the main document.
    QStringList pendingBookmarks;
    // The next paragraph of the main document starts a new page.
    bool pendingPageBreak = false;
    // Headings of the main document, for the table of contents.
    struct Heading {
        int level;  // 1-3
        QString text;
        QString bookmark;
        int page = 0;  // estimated page (1-based), 0 when unknown
    };
    std::vector<Heading> headings;
    // Page estimates of the main document: the page the content being written starts
    // on (0: unknown), and the sheet offset of one of its blocks from that page.
    int contentPage = 0;
    std::function<int(const QTextBlock&)> sheetOfBlock;
};

class ContentWriter {
  public:
    // textWidth (twips) sizes tables given in percent. Only the main document collects
    // headings and takes the pending bookmarks and page break.
    ContentWriter(QXmlStreamWriter& xml, Relations& rels, WriteState& state, int textWidth,
                  bool mainDocument);

    void writeDocument(const QTextDocument& document);
    // A bookmark around nothing, at the current position of the part.
    void writeBookmark(const QString& name);

  private:
    void writeFrame(const QTextFrame* frame);
    void writeTable(const QTextTable* table);
    void writeBlock(const QTextBlock& block);
    void writeImage(const QTextImageFormat& format);
    void writePendingBookmarks();
    bool claimBookmark(const QString& name, int& id);
    void openHyperlink(const QString& data);

    QXmlStreamWriter& x_;
    Relations& rels_;
    WriteState& state_;
    int textWidth_;
    bool main_;
    const QTextDocument* document_ = nullptr;
    QHash<const QTextList*, int> listIds_;  // of the document being written
};

// The picture bytes a document holds for an image name, as PNG or JPEG; empty when
// the document has no usable picture under that name. extension is "png" or "jpeg".
QByteArray pictureBytes(const QTextDocument& document, const QString& name, QString& extension);

}  // namespace arbor::docx
