#pragma once
// How a page lives in a QTextDocument: the custom properties that carry fields,
// paragraph styles and the user format's paragraph values, and the parts of a page
// (body, header, footer, page setup). Every reader and writer of pages (byte format,
// HTML, Word, the editor) keeps to these conventions.

#include <QTextFormat>

class QTextDocument;

namespace arbor::doc {

// Character-format properties.
enum CharProperty {
    // A field is a run of characters with the same FieldId (> 0); fields next to each
    // other differ in id. FieldData is the field's data text: "TG_" + page number,
    // "TP_" + term, "LK_OBJ" + TAB + markup, or a hyperlink target. Field characters
    // also carry isAnchor / anchorHref = data, so a view can report a click on them.
    FieldId = QTextFormat::UserProperty + 1,    // int
    FieldData = QTextFormat::UserProperty + 2,  // QString
};

// Block-format properties.
enum BlockProperty {
    // Index (0-7) of the user format applied to the paragraph; absent: none.
    StyleIndex = QTextFormat::UserProperty + 10,  // int
    // 1 on heading paragraphs (the paragraph attribute the heading test reads).
    HeadingAttribute = QTextFormat::UserProperty + 11,  // int
    // The user format's frame values and distances 2-5, kept as given (distance 1 is
    // also the block's left margin in points x 20 = twips).
    ParaFrame1 = QTextFormat::UserProperty + 12,  // int
    ParaFrame2 = QTextFormat::UserProperty + 13,
    ParaFrame3 = QTextFormat::UserProperty + 14,
    ParaDist1 = QTextFormat::UserProperty + 15,
    ParaDist2 = QTextFormat::UserProperty + 16,
    ParaDist3 = QTextFormat::UserProperty + 17,
    ParaDist4 = QTextFormat::UserProperty + 18,
    ParaDist5 = QTextFormat::UserProperty + 19,
};

// Pictures are image characters (QTextImageFormat) whose name is a resource URL of the
// document; the resource holds the picture's original file bytes (QByteArray, PNG or
// JPEG), so pictures round-trip without re-encoding.
inline constexpr char kImageScheme[] = "arbor-image";  // names: "arbor-image:<n>.png"

// Page size and margins in twips ("TX_PAGE"); the default page is US letter.
struct PageSetup {
    int width = 12240;
    int height = 15840;
    int marginLeft = 1134;
    int marginTop = 1134;
    int marginRight = 567;
    int marginBottom = 567;
    bool operator==(const PageSetup&) const = default;
};

// The parts of one page, as readers and writers of files see them. The documents are
// owned elsewhere (by the rich-text component).
struct DocumentParts {
    QTextDocument* body = nullptr;
    QTextDocument* header = nullptr;  // empty document: no header
    QTextDocument* footer = nullptr;
    PageSetup page;
};

}  // namespace arbor::doc
