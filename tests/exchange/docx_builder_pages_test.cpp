// The document builder's page estimates: the table of contents shows the page each
// heading was estimated on (shifted by the pages in front), an empty result where no
// estimate was given, and headings inside an appended document land on the sheet the
// caller's layout names.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "editor/document_model.h"
#include "exchange/docx_builder.h"
#include "exchange/exchange_test_util.h"
#include "exchange/word_test_pages.h"

using namespace arbor;

TEST(DocxBuilderPages, ContentsShowTheEstimatedPages) {
    QTextDocument page;
    QTextCursor c(&page);
    QTextBlockFormat heading;
    heading.setProperty(doc::StyleIndex, 1);
    c.setBlockFormat(heading);
    c.insertText(QStringLiteral("内の見出し一"));
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("本文"));
    c.insertBlock(heading);
    c.insertText(QStringLiteral("内の見出し二"));

    docx::DocxBuilder b;
    b.tableOfContents(1, 3);
    b.pageBreak();
    b.setContentPage(1);
    b.addHeading(1, QStringLiteral("一章"));
    // The second inner heading lands two sheets further on.
    b.setContentPage(1, [](const QTextBlock& block) { return block.blockNumber() == 2 ? 2 : 0; });
    b.appendDocument(page);
    b.setContentPage(0);
    b.pageBreak();
    b.addHeading(2, QStringLiteral("見積もりのない章"));
    b.setPageShift(1);  // the contents page

    const std::vector<docx::DocxBuilder::Heading> headings = b.headings();
    ASSERT_EQ(headings.size(), 4u);
    EXPECT_EQ(headings[0].page, 1);
    EXPECT_EQ(headings[2].page, 3);
    EXPECT_EQ(headings[3].page, 0);

    QString error;
    const QByteArray bytes = b.package(error);
    ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
    const QString text = test::wordText(test::unzip(bytes).at("word/document.xml"));
    EXPECT_TRUE(text.contains("\n一章\t2\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\n内の見出し一\t2\n"));
    EXPECT_TRUE(text.contains("\n内の見出し二\t4\n"));
    EXPECT_TRUE(text.contains("\n見積もりのない章\t\n"));
}
