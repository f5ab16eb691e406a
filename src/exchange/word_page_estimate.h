#pragma once
// Where the pages of an exported document will break, estimated by laying the content
// out with Qt on the export's paper: the table of contents shows these page numbers
// until the word processor refreshes its fields.

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

#include "editor/document_model.h"
#include "exchange/docx_builder.h"
#include "exchange/docx_styles.h"

class QTextDocument;

namespace arbor::word {

class PageEstimate {
  public:
    explicit PageEstimate(const doc::PageSetup& page, const docx::StyleSet& styles);
    ~PageEstimate();
    PageEstimate(const PageEstimate&) = delete;
    PageEstimate& operator=(const PageEstimate&) = delete;

    struct Layout {
        int sheets = 1;
        QHash<int, int> sheetOfBlock;  // by block number of the laid-out document
    };
    // A heading paragraph (level 1-3, empty text: none) followed by the document
    // (nullptr: none), from the top of a fresh sheet. The sheets of the document's
    // blocks are given by its own block numbers.
    Layout layOut(int headingLevel, const QString& heading, const QTextDocument* document);

    // Sheets the table of contents fills with these entries.
    int tableOfContentsSheets(const std::vector<docx::DocxBuilder::Heading>& headings);

  private:
    struct State;
    std::unique_ptr<State> d_;
};

}  // namespace arbor::word
