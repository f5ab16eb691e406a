// The document builder expresses what the Word export assembles: heading styles,
// page documents, bookmarks and internal links, page and section breaks, headers and
// footers with page numbers, a table of contents; LibreOffice lays it out.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QXmlStreamReader>

#include "exchange/docx.h"
#include "exchange/docx_builder.h"
#include "exchange/office_convert.h"
#include "exchange_test_util.h"
#include "support/gui_app.h"

using namespace arbor;
using namespace arbor::test;
using docx::DocxBuilder;
using docx::HeaderFooterText;

namespace {

// Elements of one part, as "name" or "name@attribute=value" entries in document order.
QStringList elements(const QByteArray& xml) {
    QStringList out;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement)
            continue;
        out << r.name().toString();
        for (const QXmlStreamAttribute& a : r.attributes())
            out << r.name().toString() + QLatin1Char('@') + a.name().toString() + QLatin1Char('=') +
                       a.value().toString();
    }
    return out;
}

QString instructions(const QByteArray& xml) {
    QString out;
    QXmlStreamReader r(xml);
    while (!r.atEnd())
        if (r.readNext() == QXmlStreamReader::StartElement &&
            r.name() == QLatin1String("instrText"))
            out += r.readElementText() + QLatin1Char('|');
    return out;
}

class DocxBuilderTest : public ::testing::Test {
  protected:
    void SetUp() override { ensureGuiApp(); }

    QTextDocument page1, page2;

    // An export of two pages in the outline form: table of contents, headings,
    // bookmarks for the pages, an internal link from page 1 to page 2.
    QByteArray buildOutline(QString& error) {
        QTextCursor c1(&page1);
        c1.insertText(QStringLiteral("一ページ目の本文 "));
        QTextCharFormat link;
        link.setProperty(doc::FieldId, 1);
        link.setProperty(doc::FieldData, QStringLiteral("TG_1002"));
        c1.insertText(QStringLiteral("二ページ目へ"), link);
        QTextCursor c2(&page2);
        c2.insertText(QStringLiteral("二ページ目の本文"));

        DocxBuilder b;
        b.setPageSetup({11906, 16838, 1134, 1134, 1134, 1134});
        b.tableOfContents(1, 3);
        b.pageBreak();
        b.addHeading(1, QStringLiteral("全体の題"));
        b.bookmark(QStringLiteral("TG_1001"));
        b.appendDocument(page1);
        b.pageBreak();
        b.addHeading(2, QStringLiteral("１－１ 下位の題"));
        b.bookmark(QStringLiteral("TG_1002"));
        b.appendDocument(page2);
        b.setFooter(HeaderFooterText{QString(), true, Qt::AlignRight, 9, QColor()});
        return b.package(error);
    }
};

TEST_F(DocxBuilderTest, OutlineExportParts) {
    QString error;
    const QByteArray bytes = buildOutline(error);
    ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
    keepForCorpus(QStringLiteral("arbor-outline-export.docx"), bytes);
    const auto parts = unzip(bytes);
    const QByteArray document = parts.at(QStringLiteral("word/document.xml"));
    const QStringList e = elements(document);

    // Headings in their styles; the styles carry the names and outline levels.
    EXPECT_TRUE(e.contains(QStringLiteral("pStyle@val=Heading1")));
    EXPECT_TRUE(e.contains(QStringLiteral("pStyle@val=Heading2")));
    const QStringList styles = elements(parts.at(QStringLiteral("word/styles.xml")));
    for (const char* name : {"見出し 1", "見出し 2", "見出し 3"})
        EXPECT_TRUE(styles.contains(QStringLiteral("name@val=") + QString::fromUtf8(name))) << name;
    EXPECT_TRUE(styles.contains(QStringLiteral("outlineLvl@val=2")));

    // Table of contents field (refreshed by Word on open), page references to the
    // headings' bookmarks, and a page number in the footer.
    const QString fields = instructions(document);
    EXPECT_TRUE(fields.contains(QStringLiteral("TOC \\o \"1-3\" \\h")));
    EXPECT_TRUE(fields.contains(QStringLiteral("PAGEREF _Toc")));
    EXPECT_TRUE(elements(parts.at(QStringLiteral("word/settings.xml")))
                    .contains(QStringLiteral("updateFields@val=true")));
    QByteArray footer;
    for (const auto& [name, content] : parts)
        if (name.startsWith(QLatin1String("word/footer")))
            footer = content;
    EXPECT_TRUE(instructions(footer).contains(QStringLiteral("PAGE")));
    EXPECT_TRUE(elements(footer).contains(QStringLiteral("jc@val=right")));
    EXPECT_TRUE(elements(footer).contains(QStringLiteral("sz@val=18")));

    // Page bookmarks and the link to one of them.
    EXPECT_TRUE(e.contains(QStringLiteral("bookmarkStart@name=TG_1001")));
    EXPECT_TRUE(e.contains(QStringLiteral("bookmarkStart@name=TG_1002")));
    EXPECT_TRUE(e.contains(QStringLiteral("hyperlink@anchor=TG_1002")));
    EXPECT_EQ(e.count(QStringLiteral("pageBreakBefore")), 2);

    if (haveTool(QStringLiteral("xmllint"))) {
        for (const auto& [name, content] : parts) {
            if (name.endsWith(QLatin1String(".xml")) || name.endsWith(QLatin1String(".rels"))) {
                EXPECT_EQ(xmllintProblem(content), QString()) << name.toStdString();
            }
        }
    }
}

TEST_F(DocxBuilderTest, OutlineExportReadsBack) {
    QString error;
    const QByteArray bytes = buildOutline(error);
    OwnedParts back;
    doc::DocumentParts parts = back.parts();
    ASSERT_TRUE(docx::readDocxBytes(bytes, parts, error)) << error.toStdString();
    const QTextDocument& d = *back.body;
    // The table of contents comes first, its entries in their own paragraphs.
    const QTextBlock entry = blockOf(d, QStringLiteral("全体の題"));
    EXPECT_EQ(entry.text(), QStringLiteral("全体の題\t"));
    EXPECT_FALSE(entry.blockFormat().hasProperty(doc::StyleIndex));
    const QTextBlock title = blockWithText(d, QStringLiteral("全体の題"));
    EXPECT_EQ(title.blockFormat().property(doc::StyleIndex), QVariant(0));
    EXPECT_TRUE(title.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    const QTextBlock sub = blockWithText(d, QStringLiteral("１－１ 下位の題"));
    EXPECT_EQ(sub.blockFormat().property(doc::StyleIndex), QVariant(1));
    EXPECT_TRUE(sub.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    // The internal link is the tag field again; the bookmark it points to survives as
    // an anchor name.
    const auto fields = fieldRuns(d);
    bool tagLink = false;
    for (const FieldRun& f : fields)
        tagLink = tagLink ||
                  (f.text == QStringLiteral("二ページ目へ") && f.data == QStringLiteral("TG_1002"));
    EXPECT_TRUE(tagLink);
    EXPECT_TRUE(formatOf(d, QStringLiteral("二ページ目の本文"))
                    .anchorNames()
                    .contains(QStringLiteral("TG_1002")));
    EXPECT_EQ(back.footer->toPlainText(), QStringLiteral("1"));
}

TEST_F(DocxBuilderTest, HeadedExportSections) {
    QTextCursor(&page1).insertText(QStringLiteral("ページ一"));
    QTextCursor(&page2).insertText(QStringLiteral("ページ二"));
    DocxBuilder b;
    b.appendDocument(page1);
    b.setHeader(HeaderFooterText{QStringLiteral("題一"), false, Qt::AlignRight, 9, QColor()});
    b.sectionBreak();
    b.appendDocument(page2);
    b.setHeader(HeaderFooterText{QStringLiteral("題二"), false, Qt::AlignRight, 9, QColor()});
    QString error;
    const QByteArray bytes = b.package(error);
    ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
    const auto parts = unzip(bytes);
    const QStringList e = elements(parts.at(QStringLiteral("word/document.xml")));
    EXPECT_EQ(e.count(QStringLiteral("sectPr")), 2);
    EXPECT_EQ(e.count(QStringLiteral("headerReference")), 2);
    EXPECT_EQ(e.count(QStringLiteral("type@val=nextPage")), 2);

    OwnedParts back;
    doc::DocumentParts read = back.parts();
    ASSERT_TRUE(docx::readDocxBytes(bytes, read, error)) << error.toStdString();
    EXPECT_EQ(back.header->toPlainText(), QStringLiteral("題一"));  // the first section's
    QTextBlock b1 = blockOf(*back.body, QStringLiteral("ページ一"));
    EXPECT_TRUE(b1.next().blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter);
}

TEST_F(DocxBuilderTest, LibreOfficeLaysOutTheExport) {
    if (!office::available())
        GTEST_SKIP() << "LibreOffice is not installed (apt-get install libreoffice-writer-nogui)";
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed (package poppler-utils)";
    QString error;
    const QByteArray bytes = buildOutline(error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export.docx"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    QString reason;
    const QString pdf = sofficeConvert(path, QStringLiteral("pdf"), reason);
    ASSERT_FALSE(pdf.isEmpty()) << reason.toStdString();
    const QString text = pdfText(pdf);
    // The headings appear twice: in the table of contents and in the body.
    EXPECT_EQ(text.count(QStringLiteral("全体の題")), 2) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("下位の題")), 2) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("二ページ目の本文")));
    EXPECT_EQ(text.count(QLatin1Char('\f')), 3) << "table of contents and two pages";
    // The footer's page number field counts the pages.
    for (const char* number : {"1", "2", "3"})
        EXPECT_TRUE(
            text.contains(QRegularExpression(QStringLiteral("^%1$").arg(QLatin1String(number)),
                                             QRegularExpression::MultilineOption)))
            << number;
}

}  // namespace
