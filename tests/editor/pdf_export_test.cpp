// The PDF of a page as a reader sees it: bold headings print bold while their text still
// extracts exactly, the page has the page setup's size to the fraction of a point, and
// header and footer keep their distance from the text. Checked with poppler-utils.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>

#include "editor/paragraph_styles.h"
#include "editor/pdf_export.h"
#include "editor/rich_text.h"
#include "editor/user_formats.h"
#include "support/gui_app.h"

using namespace arbor;

namespace {

const QString kHeading = QStringLiteral("見出しの文字は太字 Bold");

// Runs a poppler tool; empty output when it is not installed.
QByteArray runTool(const QString& tool, const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return {};
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(60000);
    return p.readAllStandardOutput();
}

bool havePoppler() {
    for (const char* tool : {"pdfinfo", "pdftotext", "pdftoppm", "pdffonts"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return false;
    return true;
}

QString extractedText(const QString& pdf) {
    return QString::fromUtf8(
        runTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")}));
}

// The darkness of the first page, rendered at 150 dpi: the sum over its pixels of how far
// each is from white.
double ink(const QString& pdf) {
    const QImage page =
        QImage::fromData(runTool(QStringLiteral("pdftoppm"),
                                 {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-f"),
                                  QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                  QStringLiteral("-gray"), QStringLiteral("-png"), pdf}),
                         "PNG");
    double sum = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            sum += 255 - qGray(page.pixel(x, y));
    return sum / 255;
}

struct Word {
    QString text;
    QRectF box;  // points, from the top left of the page
};

QList<Word> words(const QString& pdf) {
    const QString html = QString::fromUtf8(
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"),
                                              QStringLiteral("UTF-8"), pdf, QStringLiteral("-")}));
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<Word> list;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        list.append(
            {m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                   QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return list;
}

class PdfExport : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ensureGuiApp();
        Frmt::instance().resetToDefaults();
        ASSERT_TRUE(dir.isValid());
        if (!havePoppler())
            GTEST_SKIP() << "poppler-utils are not installed: PDF not checked";
    }
    QString write(const RichText& page, const QString& name) {
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(pdf::writePdf(page.parts(), path, error)) << error.toStdString();
        return path;
    }
    // A heading paragraph alone on the page.
    void heading(RichText& page, bool bold) {
        QTextCursor& c = page.cursor();
        c.insertText(kHeading);
        applyParagraphStyle(c, kHeading1, Frmt::instance());
        if (!bold) {
            c.select(QTextCursor::Document);
            page.setBold(false);
        }
    }
    QTemporaryDir dir;
};

TEST_F(PdfExport, BoldHeadingsPrintBoldAndTheirTextExtractsExactly) {
    RichText boldPage, regularPage;
    heading(boldPage, true);
    heading(regularPage, false);
    const QString bold = write(boldPage, QStringLiteral("bold.pdf"));
    const QString regular = write(regularPage, QStringLiteral("regular.pdf"));

    // The IPA font, whose glyphs map back to the right characters, is the one embedded.
    EXPECT_TRUE(runTool(QStringLiteral("pdffonts"), {bold}).contains("IPAPGothic"));
    // Bold is thicker about as a bold face is (half again as much ink); the regular face
    // asked for bold alone gives barely a quarter more.
    const double ratio = ink(bold) / ink(regular);
    EXPECT_GT(ratio, 1.4) << "bold heading barely darker than the regular one";
    EXPECT_LT(ratio, 2.2) << "bold heading smudged";
    // Drawn thicker, written once: the text comes out as written, not doubled.
    const QString text = extractedText(bold);
    EXPECT_EQ(text.count(kHeading), 1) << text.toStdString();
    EXPECT_EQ(text.trimmed(), kHeading);
}

TEST_F(PdfExport, ThePageHasTheExactSizeOfThePageSetup) {
    RichText page;
    heading(page, true);
    doc::PageSetup envelope = page.pageSetup();
    envelope.width = 6799;  // 長形3号: 339.95 x 665.75 points
    envelope.height = 13315;
    page.setPageSetup(envelope);
    const QString file = write(page, QStringLiteral("envelope.pdf"));
    const QString info =
        QString::fromUtf8(runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-box"), file}));
    EXPECT_TRUE(info.contains(QRegularExpression(
        QStringLiteral("MediaBox:\\s+0\\.00\\s+0\\.00\\s+339\\.95\\s+665\\.75"))))
        << info.toStdString();
    // The file is still whole: its text and its page are read as before.
    EXPECT_EQ(extractedText(file).trimmed(), kHeading);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1"))));

    envelope.width = 11332;  // 往復, wider than high
    envelope.height = 8386;
    page.setPageSetup(envelope);
    const QString wide = QString::fromUtf8(
        runTool(QStringLiteral("pdfinfo"),
                {QStringLiteral("-box"), write(page, QStringLiteral("wide.pdf"))}));
    EXPECT_TRUE(wide.contains(QRegularExpression(
        QStringLiteral("MediaBox:\\s+0\\.00\\s+0\\.00\\s+566\\.60\\s+419\\.30"))))
        << wide.toStdString();
}

TEST_F(PdfExport, HeaderAndFooterStandInTheMiddleOfTheirMargins) {
    RichText page;
    heading(page, true);
    page.setHeaderText(QStringLiteral("ヘッダー"));
    page.setFooterText(QStringLiteral("フッター"));
    applyHeaderFooterFormat(*page.header(), kHeader, Frmt::instance());
    applyHeaderFooterFormat(*page.footer(), kFooter, Frmt::instance());
    const doc::PageSetup setup = page.pageSetup();
    const double top = setup.marginTop / 20.0;
    const double bottom = (setup.height - setup.marginBottom) / 20.0;
    const double height = setup.height / 20.0;

    QRectF header, footer, first;
    for (const Word& w : words(write(page, QStringLiteral("header.pdf")))) {
        if (w.text == QStringLiteral("ヘッダー"))
            header = w.box;
        else if (w.text == QStringLiteral("フッター"))
            footer = w.box;
        else if (first.isNull())
            first = w.box;
    }
    ASSERT_FALSE(header.isNull());
    ASSERT_FALSE(footer.isNull());
    ASSERT_FALSE(first.isNull());
    // The text starts at the top margin; the header is clear of it and as far from it as
    // from the edge of the paper (glyph boxes are a little smaller than lines: 3 pt).
    EXPECT_NEAR(first.top(), top, 3);
    EXPECT_GT(first.top() - header.bottom(), 12);
    EXPECT_NEAR(header.top(), top - header.bottom(), 3);
    EXPECT_NEAR(height - footer.bottom(), footer.top() - bottom, 3);
    EXPECT_GT(footer.top(), bottom);
}

}  // namespace
