// The document export on both engines: the page list of each range with its outline
// numbers and the 100-entry cut, the three Word kinds and the text file as written
// (sections, headers, headings, bookmarks and the links that point at them, the table of
// contents), and what damaged pages, unreadable pictures, a cancel and an unwritable
// target do.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>

#include "app/program_state.h"
#include "app/progress.h"
#include "db/zsvr.h"
#include "editor/document_model.h"
#include "editor/link_fields.h"
#include "editor/rich_text.h"
#include "exchange/exchange_test_util.h"
#include "exchange/word_export.h"
#include "exchange/word_page_list.h"
#include "exchange/word_test_pages.h"
#include "support/doc_db.h"
#include "support/rich_text_samples.h"

using namespace arbor;
using namespace arbor::word;
using arbor::test::DbEngine;

namespace {

// Stops the work after a number of steps.
class StoppingProgress : public Progress {
  public:
    explicit StoppingProgress(int stopAfter) : stopAfter_(stopAfter) {}
    void status(const QString&) override {}
    void showWait(const QString&) override {}
    void hideWait() override {}
    void step(qint64 done, qint64) override { steps_ = int(done); }
    bool cancelRequested() override { return steps_ >= stopAfter_; }

  private:
    int stopAfter_;
    int steps_ = 0;
};

QStringList describe(const QList<Entry>& entries) {
    QStringList out;
    for (const Entry& e : entries)
        out << QStringLiteral("%1:%2>%3%4")
                   .arg(e.number)
                   .arg(e.parent)
                   .arg(e.page)
                   .arg(e.repeated ? QStringLiteral("*") : QString());
    return out;
}

class WordExportTest : public ::testing::TestWithParam<DbEngine> {
  protected:
    QTemporaryDir out;
    QString savedUserPath = G().UserPath;

    void TearDown() override {
        zSvr::instance().D_Close();
        G().UserPath = savedUserPath;
    }

    ExportReport run(Kind kind, Range range = Range::AllPages, int current = 0, int parent = 0,
                     const QString& name = QStringLiteral("出力.docx")) {
        ExportRequest request;
        request.kind = kind;
        request.range = range;
        request.currentPage = current;
        request.currentParent = parent;
        request.path = out.filePath(name);
        request.page = {11906, 16838, 1134, 1134, 1134, 1134};
        return ExportToWord(request);
    }
    QByteArray documentXml(const QString& name = QStringLiteral("出力.docx")) {
        return test::docxParts(out.filePath(name))[QStringLiteral("word/document.xml")];
    }
};

TEST(WordPageListText, HeadingsAndNumbers) {
    EXPECT_EQ(fullWidthNumber("2-1-3"), QStringLiteral("２－１－３"));
    EXPECT_EQ(fullWidthNumber("10"), QStringLiteral("１０"));
    EXPECT_EQ(headingText(0, "1", "題"), QStringLiteral("題"));
    EXPECT_EQ(headingText(3, "2-1", "題"), QStringLiteral("２－１ 題"));
    EXPECT_EQ(headingText(3, "2-1", ""), QString());
    EXPECT_EQ(headingLevel(0, "1"), 1);
    EXPECT_EQ(headingLevel(1, "2"), 2);
    EXPECT_EQ(headingLevel(1, "2-1"), 3);
    EXPECT_EQ(headingLevel(1, "2-1-4"), 3);
}

TEST_P(WordExportTest, PageListOfEachRange) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    test::buildCollection();
    // A link of 1004 at the top level and a cycle: 1006 holds its own ancestor 1002.
    test::placePage(0, 1004, 3, QStringLiteral("節Ｂ(リンク)"), 1);
    test::placePage(1006, 1002, 0, QStringLiteral("第一章(リンク)"), 1);

    EXPECT_EQ(describe(pageList(Range::AllPages, 0, 0)),
              (QStringList{"1:0>1001", "2:0>1002", "2-1:1002>1003", "2-2:1002>1004",
                           "2-2-1:1004>1006", "2-2-1-1:1006>1002*", "3:0>1005", "4:0>1004*"}));
    // The node and its direct children only.
    EXPECT_EQ(describe(pageList(Range::CurrentNode, 1002, 0)),
              (QStringList{":0>1002", "1:1002>1003", "2:1002>1004"}));
    EXPECT_EQ(describe(pageList(Range::CurrentNodeAndBelow, 1004, 1002)),
              (QStringList{":1002>1004", "1:1004>1006", "1-1:1006>1002", "1-1-1:1002>1003",
                           "1-1-2:1002>1004*"}));
    EXPECT_TRUE(pageList(Range::CurrentNode, 0, 0).isEmpty());
    EXPECT_TRUE(pageList(Range::CurrentNode, 1005, 0).size() == 1);
}

TEST_P(WordExportTest, DeeperLevelsStopAtOneHundredEntries) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    zSvr& db = zSvr::instance();
    db.D_Tran(0);
    // Two top pages; the first has 60 children with one child each, the second one child.
    test::placePage(0, 1, 0, "T1");
    for (int i = 0; i < 60; ++i) {
        test::placePage(1, 100 + i, i, QStringLiteral("C%1").arg(i + 1));
        test::placePage(100 + i, 500 + i, 0, QStringLiteral("G%1").arg(i + 1));
    }
    test::placePage(0, 2, 1, "T2");
    test::placePage(2, 900, 0, "T2child");
    db.D_Tran(1);
    const QList<Entry> entries = pageList(Range::AllPages, 0, 0);
    // T1, then C1 G1 ... C49 G49 (99 entries), C50 makes 100: no more grandchildren, but
    // C51..C60 and T2 are still listed; T2's child is not.
    ASSERT_EQ(entries.size(), 1 + 49 * 2 + 11 + 1);
    EXPECT_EQ(entries[98].page, 548);  // G49
    EXPECT_EQ(entries[99].page, 149);  // C50
    EXPECT_EQ(entries[99].number, "1-50");
    EXPECT_EQ(entries[100].page, 150);  // C51, no G50 between
    EXPECT_EQ(entries.last().page, 2);
    EXPECT_EQ(entries.last().number, "2");
}

TEST_P(WordExportTest, HeadedKindHasASectionPerPage) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    test::buildCollection();
    const ExportReport report = run(Kind::Headed);
    ASSERT_TRUE(report.written) << report.error.toStdString();
    EXPECT_EQ(report.entries, 6);
    EXPECT_EQ(report.documents, 5);  // 1005 has no document: it contributes nothing
    EXPECT_TRUE(report.failures.isEmpty());
    auto parts = test::docxParts(report.path);
    const QByteArray document = parts["word/document.xml"];

    // One section per page with a document, each with its own header holding the title,
    // right-aligned in 9 pt; the page numbers in the first section's footer.
    EXPECT_EQ(document.count("<w:sectPr"), 5);
    EXPECT_EQ(document.count("<w:headerReference"), 5);
    QStringList headers;
    for (const auto& [name, xml] : parts) {
        if (name.startsWith("word/header")) {
            headers << test::wordText(xml).trimmed();
            EXPECT_TRUE(xml.contains("<w:jc w:val=\"right\"/>")) << name.toStdString();
            EXPECT_TRUE(xml.contains("<w:sz w:val=\"18\"/>")) << name.toStdString();
        }
    }
    headers.sort();
    QStringList titles{"序章", "第一章", "節Ａ", "節Ｂ", "小節"};
    titles.sort();
    EXPECT_EQ(headers, titles);
    EXPECT_EQ(document.count("<w:footerReference"), 1);
    QByteArray footer;
    for (const auto& [name, xml] : parts)
        if (name.startsWith("word/footer"))
            footer = xml;
    EXPECT_TRUE(footer.contains("PAGE"));

    // Every tag link of the range leads to a bookmark of the document.
    const QStringList bookmarks = test::attributeValues(document, "bookmarkStart", "name");
    for (int page : {1001, 1002, 1003, 1004, 1006})
        EXPECT_TRUE(bookmarks.contains(tagData(page))) << page;
    EXPECT_FALSE(bookmarks.contains(tagData(1005)));
    const QStringList anchors = test::attributeValues(document, "hyperlink", "anchor");
    EXPECT_EQ(anchors, (QStringList{"TG_1004", "TG_1004", "TG_1001"}));
    for (const QString& a : anchors)
        EXPECT_TRUE(bookmarks.contains(a)) << a.toStdString();
    // The term link is text now; the web link stays a link; the picture is there.
    const QString text = test::wordText(document);
    EXPECT_TRUE(text.contains("用語 ＨＴＭＬ"));
    EXPECT_EQ(document.count("<w:hyperlink r:id="), 1);
    EXPECT_TRUE(parts.count("word/media/image1.png"));
    // Section breaks: the pages follow in the order of the tree.
    EXPECT_LT(text.indexOf("序章の本文"), text.indexOf("第一章の本文"));
    EXPECT_LT(text.indexOf("節Ｂの二枚目。"), text.indexOf("小節の本文"));
}

TEST_P(WordExportTest, NoPicturesKindLeavesThePicturesOut) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    test::buildCollection();
    const ExportReport report = run(Kind::NoPictures);
    ASSERT_TRUE(report.written) << report.error.toStdString();
    auto parts = test::docxParts(report.path);
    for (const auto& [name, xml] : parts)
        EXPECT_FALSE(name.startsWith("word/media/")) << name.toStdString();
    EXPECT_FALSE(parts["word/document.xml"].contains("<w:drawing"));
    EXPECT_TRUE(test::wordText(parts["word/document.xml"]).contains("第一章の本文と図。"));
    EXPECT_EQ(parts["word/document.xml"].count("<w:sectPr"), 5);
}

TEST_P(WordExportTest, OutlineKindHasNumberedHeadingsAndContents) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    test::buildCollection();
    const ExportReport report = run(Kind::Outline);
    ASSERT_TRUE(report.written) << report.error.toStdString();
    const QByteArray document = documentXml();
    const QString text = test::wordText(document) + u'\n';
    // Headings: the first entry's title alone, then full-width numbers and the title,
    // in 見出し 1 / 2 / 3 by depth; a page without a document still has its heading.
    const QStringList styles = test::attributeValues(document, "pStyle", "val");
    for (const char* heading : {"\n序章\n", "\n２ 第一章\n", "\n２－１ 節Ａ\n", "\n２－２ 節Ｂ\n",
                                "\n２－２－１ 小節\n", "\n３ 付録\n"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(heading))) << heading;
    EXPECT_TRUE(styles.contains("Heading1"));
    EXPECT_TRUE(styles.contains("Heading2"));
    EXPECT_TRUE(styles.contains("Heading3"));
    // One page per entry after the contents page, and 節Ｂ's own page break.
    EXPECT_EQ(document.count("<w:pageBreakBefore/>"), 7);
    EXPECT_EQ(document.count("<w:sectPr"), 1);
    EXPECT_EQ(document.count("<w:headerReference"), 0);

    // The contents: a TOC field whose current result already lists every heading with
    // the page it starts on (contents on page 1, 序章 2, 第一章 3, 節Ａ 4, 節Ｂ 5 and its
    // second sheet 6, 小節 7, 付録 8).
    EXPECT_TRUE(document.contains("TOC \\o &quot;1-3&quot;") ||
                document.contains("TOC \\o \"1-3\""));
    const QString toc = text.left(text.indexOf(QStringLiteral("\n序章\n")));

    const struct {
        const char* entry;
        int page;
    } expected[] = {{"序章", 2},
                    {"２ 第一章", 3},
                    {"２－１ 節Ａ", 4},
                    {"２－２ 節Ｂ", 5},
                    {"節Ｂの見出し", 5},
                    {"節Ｂの二枚目の見出し", 6},
                    {"２－２－１ 小節", 7},
                    {"３ 付録", 8}};
    for (const auto& e : expected)
        EXPECT_TRUE(toc.contains(QString::fromUtf8(e.entry) + "\t" + QString::number(e.page)))
            << e.entry << " " << toc.toStdString();
    // Bookmarks of all pages, the internal links pointing at them.
    const QStringList bookmarks = test::attributeValues(document, "bookmarkStart", "name");
    for (int page : {1001, 1002, 1003, 1004, 1005, 1006})
        EXPECT_TRUE(bookmarks.contains(tagData(page))) << page;
    for (const QString& a : test::attributeValues(document, "hyperlink", "anchor"))
        EXPECT_TRUE(bookmarks.contains(a)) << a.toStdString();
}

TEST_P(WordExportTest, LinksOutsideTheRange) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    test::buildCollection();
    // 節Ａ alone: its links to 1004 and 1001 lead nowhere in the document, so they are text.
    ExportReport report = run(Kind::Headed, Range::CurrentNode, 1003, 1002);
    ASSERT_TRUE(report.written) << report.error.toStdString();
    EXPECT_EQ(report.entries, 1);
    QByteArray document = documentXml();
    EXPECT_TRUE(test::attributeValues(document, "hyperlink", "anchor").isEmpty());
    EXPECT_TRUE(test::wordText(document).contains("次は 節Ｂ"));
    // With the alternative site address on they lead to the pages on the web site.
    zSvr::instance().D_ExeSq("Update kaUsr Set HiHome=2, HsHome2='https://site.example.jp/book/'");
    report = run(Kind::Headed, Range::CurrentNode, 1003, 1002);
    ASSERT_TRUE(report.written);
    const auto parts = test::docxParts(report.path);
    const QByteArray rels = parts.at("word/_rels/document.xml.rels");
    EXPECT_TRUE(rels.contains("https://site.example.jp/book/pub/1004.htm")) << rels.data();
    EXPECT_TRUE(rels.contains("https://site.example.jp/book/pub/1001.htm"));
}

TEST_P(WordExportTest, TextKindIsOneUtf8File) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    test::buildCollection();
    const ExportReport report =
        run(Kind::Text, Range::CurrentNodeAndBelow, 1002, 0, QStringLiteral("出力.txt"));
    ASSERT_TRUE(report.written) << report.error.toStdString();
    QFile f(report.path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.startsWith("第一章\n\n第一章の本文と図。")) << text.toStdString();
    EXPECT_TRUE(text.contains("\n\n１ 節Ａ\n\n節Ａの本文。\n"));
    EXPECT_TRUE(text.contains("\n\n２－１ 小節\n\n小節の本文。\n"));
    EXPECT_LT(text.indexOf("１ 節Ａ"), text.indexOf("２ 節Ｂ"));
}

TEST_P(WordExportTest, EmptyRangeWritesNothing) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    const ExportReport report = run(Kind::Headed);
    EXPECT_TRUE(report.empty);
    EXPECT_FALSE(report.written);
    EXPECT_EQ(report.error, QStringLiteral("ｱｲﾃﾑがありません"));
    EXPECT_FALSE(QFile::exists(out.filePath("出力.docx")));
}

TEST_P(WordExportTest, DamagedPagesAndPictures) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    test::buildCollection();
    test::damagePage(1003);
    // A picture whose bytes look like PNG but are not one.
    test::storePage(1006, QStringLiteral("小節"), [](RichText& p) {
        p.insertText(QStringLiteral("壊れた図の前"));
        QByteArray broken = test::pngBytes(Qt::blue, 20, 20);
        broken.truncate(40);
        QTextCursor c = p.cursor();
        QTextImageFormat image;
        image.setName(QStringLiteral("arbor-image:9.png"));
        image.setWidth(20);
        image.setHeight(20);
        p.body()->addResource(QTextDocument::ImageResource, QUrl(image.name()), broken);
        c.insertImage(image);
        p.setCursor(c);
    });
    for (Kind kind : {Kind::Headed, Kind::Outline}) {
        const ExportReport report = run(kind);
        ASSERT_TRUE(report.written) << report.error.toStdString();
        ASSERT_EQ(report.failures.size(), 1);
        EXPECT_TRUE(report.failures[0].contains("文書No 1003")) << report.failures[0].toStdString();
        ASSERT_EQ(report.warnings.size(), 1);
        EXPECT_TRUE(report.warnings[0].contains("文書No 1006"));
        // The damaged page is there with its text, the good picture too, the broken one not.
        auto parts = test::docxParts(report.path);
        const QString text = test::wordText(parts["word/document.xml"]);
        EXPECT_TRUE(text.contains("節Ａの本文。"));
        EXPECT_TRUE(text.contains("壊れた図の前"));
        EXPECT_EQ(parts["word/document.xml"].count("<w:drawing"), 1);
        EXPECT_TRUE(summaryOf(report).contains("読めない文書 1 件"));
    }
}

TEST_P(WordExportTest, CancelAndUnwritableTargetKeepTheOldFile) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    test::buildCollection();
    const QString path = out.filePath("出力.docx");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the previous export");
    old.close();

    StoppingProgress stopping(2);
    Progress* previous = setProgress(&stopping);
    ExportReport report = run(Kind::Outline);
    setProgress(previous);
    EXPECT_TRUE(report.cancelled);
    EXPECT_FALSE(report.written);
    EXPECT_EQ(summaryOf(report), QStringLiteral("文書の出力を中止しました"));
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("the previous export"));

    // A folder that cannot exist (its parent is a file): a reason, no file, no crash.
    report = run(Kind::Headed, Range::AllPages, 0, 0, QStringLiteral("出力.docx/中/x.docx"));
    EXPECT_FALSE(report.written);
    EXPECT_FALSE(report.error.isEmpty());
    report = run(Kind::Text, Range::AllPages, 0, 0, QStringLiteral("出力.docx/x.txt"));
    EXPECT_FALSE(report.written);
    EXPECT_FALSE(report.error.isEmpty());
    // Nothing stays behind beside the target.
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
              QStringList{"出力.docx"});
}

ARBOR_INSTANTIATE_ENGINES(WordExportTest);

}  // namespace
