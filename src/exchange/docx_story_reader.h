#pragma once
// Reads the XML of a story part (the main document, a header or a footer) into the
// reader's intermediate form: paragraphs, runs with resolved formatting, fields from
// hyperlinks, pictures from the package, tables with their merges, sections.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <functional>
#include <vector>

#include "exchange/docx_format_reader.h"
#include "exchange/docx_ir.h"
#include "exchange/docx_numbering.h"
#include "exchange/docx_package_reader.h"
#include "exchange/docx_style_reader.h"

namespace arbor::docx {

struct StoryContext {
    PackageReader& package;
    QString partName;
    RelationshipMap rels;
    const StyleSheet& styles;
    const ThemeFonts& theme;
    const Numbering& numbering;
};

class StoryReader {
  public:
    explicit StoryReader(const StoryContext& context);
    // xml has passed the safety check. sections receives the sections of the main
    // document in order (may be null for headers and footers).
    bool read(const QByteArray& xml, ir::Story& story, std::vector<Section>* sections,
              QString& error);

  private:
    struct FieldFrame {
        QString instruction;
        bool inResult = false;
        int fieldId = 0;  // > 0 for a hyperlink field
        QString data;
    };
    struct Link {
        int fieldId = 0;
        QString data;
    };
    class ParagraphBuilder;

    bool readAlternateContent(const std::function<void()>& readChoice);
    void readBlockContent(std::vector<ir::Block>& out, int tableDepth);
    void readBlockElement(std::vector<ir::Block>& out, int tableDepth);
    void readParagraph(std::vector<ir::Block>& out);
    void readRunContent(ParagraphBuilder& p, const Link& link);
    void readRunElement(ParagraphBuilder& p, const Link& outer);
    void readRun(ParagraphBuilder& p, const Link& link);
    void readPicture(ParagraphBuilder& p, const QTextCharFormat& format, bool vml);
    void readTable(std::vector<ir::Block>& out, int tableDepth);
    int loadPicture(const QString& relationshipId);
    void fieldChar(const QString& type);
    void startHyperlinkField(FieldFrame& frame);
    bool fieldTextVisible() const;
    Link currentLink(const Link& element) const;
    void fail(const QString& reason);

    StoryContext context_;
    QXmlStreamReader r_;
    ir::Story* story_ = nullptr;
    std::vector<Section>* sections_ = nullptr;
    QString error_;
    int nextFieldId_ = 1;
    std::vector<FieldFrame> fields_;
    int ignoredFieldBegins_ = 0;
    QStringList pendingAnchors_;
    QHash<QString, int> pictureByPart_;
    qint64 cellBudget_ = 0;
};

// The field data of an anchor inside the document: our link conventions as they are,
// other bookmarks as "#name".
QString anchorFieldData(const QString& anchor);

}  // namespace arbor::docx
