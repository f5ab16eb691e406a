// Every kind of document the Word export and backup write, opened by LibreOffice and
// turned into PDF: the headings with their outline numbers, the page titles in the
// headers, the table of contents with the pages its entries really start on, the page
// numbers, the pictures (or none), Japanese intact; one page rendered to pixels.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/program_state.h"
#include "db/zsvr.h"
#include "editor/page_records.h"
#include "editor/rich_text.h"
#include "editor/sample_collection.h"
#include "exchange/exchange_test_util.h"
#include "exchange/office_convert.h"
#include "exchange/word_copies.h"
#include "exchange/word_export.h"

using namespace arbor;
using namespace arbor::word;

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of each PDF page as laid out, compatibility characters folded (full-width
// digits read as ASCII).
QStringList pdfPages(const QString& pdf) {
    QStringList pages =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                          QStringLiteral("UTF-8"), pdf, QStringLiteral("-")})
            .normalized(QString::NormalizationForm_KC)
            .split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QStringList lines(const QString& page) {
    QStringList out;
    for (const QString& l : page.split(u'\n'))
        if (!l.trimmed().isEmpty())
            out << l.trimmed();
    return out;
}

// Blanks between CJK characters and digits that the PDF text adds are not the page's.
QString squeezed(QString text) {
    return text.remove(u' ');
}

int imageCount(const QString& pdf) {
    const QStringList rows = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                 .split(u'\n', Qt::SkipEmptyParts);
    return qMax(0, int(rows.size()) - 2);  // two header lines
}

class WordLibreOfficeTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString savedUserPath = G().UserPath;

    void SetUp() override {
        if (!office::available())
            GTEST_SKIP()
                << "LibreOffice is not installed (apt-get install libreoffice-writer-nogui)";
        for (const char* tool : {"pdftotext", "pdfimages", "pdftoppm"})
            if (!test::haveTool(QString::fromLatin1(tool)))
                GTEST_SKIP() << tool << " is not installed (package poppler-utils)";
        G().UserPath = dir.path() + "/";
        const QString sample = dir.filePath("サンプル.txdb");
        QString error;
        ASSERT_TRUE(createSampleCollection(sample, ARBOR_TEST_APDATA "schema.sql", error))
            << error.toStdString();
        bool ok = false;
        zSvr::instance().D_StDcDb(sample, ok);
        ASSERT_TRUE(ok);
    }
    void TearDown() override {
        zSvr::instance().D_Close();
        G().UserPath = savedUserPath;
    }
    QString exportAs(Kind kind, const QString& name) {
        ExportRequest request;
        request.kind = kind;
        request.path = dir.filePath(name);
        request.page = {11906, 16838, 1134, 1134, 1134, 1134};  // A4
        const ExportReport report = ExportToWord(request);
        EXPECT_TRUE(report.written) << report.error.toStdString();
        EXPECT_TRUE(report.failures.isEmpty());
        return report.path;
    }
    QString pdfOf(const QString& file) {
        QString reason;
        const QString pdf = test::sofficeConvert(file, QStringLiteral("pdf"), reason);
        EXPECT_FALSE(pdf.isEmpty()) << file.toStdString() << ": " << reason.toStdString();
        return pdf;
    }
};

TEST_F(WordLibreOfficeTest, OutlineContentsPointAtTheRightPages) {
    const QString pdf = pdfOf(exportAs(Kind::Outline, "目次付き.docx"));
    ASSERT_FALSE(pdf.isEmpty());
    const QStringList pages = pdfPages(pdf);
    ASSERT_GE(pages.size(), 10);
    // Contents on the first page: "heading .... page" lines, shown without updating.
    static const QRegularExpression entry(QStringLiteral("^(.+?)\\s*\\.{4,}\\s*(\\d+)$"));
    int entries = 0;
    QStringList outline;
    for (const QString& line : lines(pages[0])) {
        const QRegularExpressionMatch m = entry.match(line);
        if (!m.hasMatch())
            continue;
        ++entries;
        const QString heading = squeezed(m.captured(1));
        const int page = m.captured(2).toInt();
        outline << heading;
        // The heading stands on the page the contents name.
        ASSERT_TRUE(page >= 2 && page <= pages.size()) << line.toStdString();
        bool found = false;
        for (const QString& l : lines(pages[page - 1]))
            found = found || squeezed(l) == heading;
        EXPECT_TRUE(found) << heading.toStdString() << " not on page " << page << ":\n"
                           << pages[page - 1].toStdString();
    }
    EXPECT_GE(entries, 10);
    // Outline numbers and titles of the tree, in full width in the file.
    for (const char* heading :
         {"Arborへようこそ", "2第1章はじめての文書", "3第2章ツリーの使い方", "3-1第1章(リンク)",
          "3-2保護されたページ", "4お知らせ", "4-12026年12月のお知らせ", "5-1未公開のメモ"})
        EXPECT_TRUE(outline.contains(QString::fromUtf8(heading))) << heading;
    // Page numbers at the foot of every page.
    for (int i = 0; i < pages.size(); ++i)
        EXPECT_EQ(lines(pages[i]).last(), QString::number(i + 1)) << pages[i].toStdString();
    EXPECT_TRUE(pages.join("").contains("ひとつのページをツリーの何か所にも置けます。"));

    // The contents page as pixels: dark text on the upper part of a white page.
    const QString png = dir.filePath("contents");
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-f"), QStringLiteral("1"),
         QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), pdf, png});
    const QImage image(png + ".png");
    ASSERT_FALSE(image.isNull());
    int dark = 0, darkBelowMiddle = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                ++dark;
                darkBelowMiddle += y > image.height() * 3 / 4 ? 1 : 0;
            }
    EXPECT_GT(dark, 500);                   // a page of entries, not a blank page
    EXPECT_LT(darkBelowMiddle, dark / 10);  // the entries sit at the top
}

// A page that flows over several sheets by its length alone moves the pages after it.
TEST_F(WordLibreOfficeTest, LongPagesMoveTheContentsNumbers) {
    for (int n : {2001, 2002, 2003}) {
        RichText page;
        QString text;
        for (int i = 0; i < 100 * (n - 2000); ++i)
            text += QStringLiteral("長いページの%1段落目。").arg(i + 1).repeated(1 + i % 7) + u'\n';
        page.setText(text);
        PageContent content;
        content.title = QStringLiteral("長いページ%1").arg(n);
        content.plainText = page.plainText();
        content.bytes = page.saveBytes();
        ASSERT_EQ(SavePage(n, content).outcome, SaveOutcome::Saved);
        QString sql =
            "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boUse) Values (0, ?, ?, '?', "
            "0, 1)";
        zSvr::instance().T_CnvSq(sql, {n, n, content.title});
        ASSERT_TRUE(zSvr::instance().D_ExeSq(sql));
    }
    const QString pdf = pdfOf(exportAs(Kind::Outline, "長い.docx"));
    const QStringList pages = pdfPages(pdf);
    static const QRegularExpression entry(QStringLiteral("^(.+?)\\s*\\.{4,}\\s*(\\d+)$"));
    QList<int> starts;
    for (const QString& line : lines(pages[0])) {
        const QRegularExpressionMatch m = entry.match(line);
        if (!m.hasMatch() || !line.contains(QStringLiteral("長いページ")))
            continue;
        const int page = m.captured(2).toInt();
        starts << page;
        ASSERT_LE(page, pages.size());
        EXPECT_EQ(squeezed(lines(pages[page - 1]).first()), squeezed(m.captured(1)))
            << line.toStdString() << " / actual pages: " << pages.size();
    }
    // Each long page (the last entries) fills more sheets than the one before it.
    ASSERT_EQ(starts.size(), 3);
    const int sheets[] = {starts[1] - starts[0], starts[2] - starts[1],
                          int(pages.size()) - starts[2] + 1};
    EXPECT_GE(sheets[0], 2);
    EXPECT_GT(sheets[1], sheets[0]);
    EXPECT_GT(sheets[2], sheets[1]);
    for (int i = 0; i < pages.size(); ++i)
        EXPECT_EQ(lines(pages[i]).last(), QString::number(i + 1));
}

TEST_F(WordLibreOfficeTest, HeadedAndPictureFreeDocuments) {
    const QString headed = pdfOf(exportAs(Kind::Headed, "ﾍｯﾀﾞ付き.docx"));
    const QString plain = pdfOf(exportAs(Kind::NoPictures, "画像なし.docx"));
    ASSERT_FALSE(headed.isEmpty());
    ASSERT_FALSE(plain.isEmpty());
    for (const QString& pdf : {headed, plain}) {
        const QStringList pages = pdfPages(pdf);
        ASSERT_GE(pages.size(), 10);
        // The header of each section is its page's title, the footer the page number.
        EXPECT_EQ(squeezed(lines(pages[0]).first()), "Arborへようこそ");
        EXPECT_EQ(squeezed(lines(pages[1]).first()), "第1章はじめての文書");
        // 第1章 breaks onto a second sheet of its own section.
        EXPECT_EQ(squeezed(lines(pages[2]).first()), "第1章はじめての文書");
        EXPECT_EQ(squeezed(lines(pages[3]).first()), "第2章ツリーの使い方");
        EXPECT_EQ(squeezed(lines(pages.last()).first()), "未公開のメモ");
        for (int i = 0; i < pages.size(); ++i)
            EXPECT_EQ(lines(pages[i]).last(), QString::number(i + 1));
        EXPECT_TRUE(pages.join("").contains("表の見出し行は二つのセルをつないでいます。"));
    }
    EXPECT_GE(imageCount(headed), 1);
    EXPECT_EQ(imageCount(plain), 0);
}

TEST_F(WordLibreOfficeTest, BackupCopiesAndTheTextFile) {
    const word::BackupReport backup = word::BackupToWord(false);
    ASSERT_TRUE(backup.outcome.ok);
    ASSERT_EQ(backup.outcome.written, 9);
    // A page's copy carries its own header and footer and its picture.
    const QString pdf = pdfOf(backup.folder + "1002.docx");
    ASSERT_FALSE(pdf.isEmpty());
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(squeezed(lines(pages[0]).first()), "Arborサンプル");
    EXPECT_EQ(squeezed(lines(pages[0]).last()), "第1章");
    EXPECT_TRUE(squeezed(pages[0]).contains("1.1段落のスタイル"));
    EXPECT_TRUE(squeezed(pages[1]).contains("1.3次のページへ"));
    EXPECT_EQ(imageCount(pdf), 1);

    const QString text = pdfOf(exportAs(Kind::Text, "文書.txt"));
    ASSERT_FALSE(text.isEmpty());
    const QString all = squeezed(pdfPages(text).join(""));
    EXPECT_TRUE(all.contains("2第1章はじめての文書")) << all.toStdString();
    EXPECT_TRUE(all.contains("お知らせの一覧です。新しいものから順に並びます。"));
}

}  // namespace
