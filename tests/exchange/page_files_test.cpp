// Page files: text and HTML in the encodings they come in, HTML back into fields and
// pictures, ODF and PDF output, Word through the exchange code, and failures that leave
// page and files as they were.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTextDocument>

#include "editor/html_export.h"
#include "editor/pictures.h"
#include "editor/rich_text.h"
#include "editor/text_decoding.h"
#include "exchange/office_convert.h"
#include "exchange/page_files.h"
#include "support/gui_app.h"
#include "support/rich_text_samples.h"

using namespace arbor;

namespace {

QByteArray encoded(const QString& text, const char* encoding) {
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// "Page size: W x H pts" of pdfinfo's report.
QSizeF pageSize(const QString& info) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

// Runs a poppler tool; empty when it is not installed.
QString runTool(const QString& tool, const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return {};
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

const QString kJapanese = QStringLiteral("日本語の本文：ｶﾀｶﾅ、①、表示");

class PageFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ensureGuiApp();
        ASSERT_TRUE(dir.isValid());
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
    RichText page;
};

TEST_F(PageFilesTest, TextFilesInEveryCommonEncodingReadTheSame) {
    const QString text = kJapanese + QStringLiteral("\n二行目");
    const QList<QPair<QString, QByteArray>> files = {
        {QStringLiteral("utf8.txt"), text.toUtf8()},
        {QStringLiteral("utf8bom.txt"), "\xEF\xBB\xBF" + text.toUtf8()},
        {QStringLiteral("utf16bom.txt"),
         QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom)(text)},
        // Without a mark UTF-16 shows itself by the zero bytes of its ASCII characters.
        {QStringLiteral("utf16le.txt"),
         encoded(QStringLiteral("Plain notes, ") + text, "UTF-16LE")},
        {QStringLiteral("sjis.txt"),
         encoded(QString(text).replace(u'\n', QLatin1String("\r\n")), "CP932")},
        {QStringLiteral("eucjp.txt"), encoded(QString(text).remove(QChar(0x2460)), "EUC-JP")},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(writeFile(path(name), bytes));
        QString error;
        ASSERT_TRUE(pagefiles::loadFile(page, path(name), error)) << error.toStdString();
        const QString expected =
            name.startsWith(QLatin1String("euc"))  ? QString(text).remove(QChar(0x2460))
            : name == QLatin1String("utf16le.txt") ? QStringLiteral("Plain notes, ") + text
                                                   : text;
        EXPECT_EQ(page.plainText(), expected);
    }
}

TEST_F(PageFilesTest, UndecodableTextIsRefusedAndThePageKept) {
    page.insertText(QStringLiteral("今の内容"));
    page.setHeaderText(QStringLiteral("ヘッダー"));
    const QString before = test::describe(page);
    // Neither UTF-8 nor any Japanese encoding.
    ASSERT_TRUE(
        writeFile(path(QStringLiteral("bad.txt")), QByteArray("\x81\x20\xFF\xFE\x80 x", 7)));
    QString error;
    EXPECT_FALSE(pagefiles::loadFile(page, path(QStringLiteral("bad.txt")), error));
    EXPECT_TRUE(error.contains(QStringLiteral("文字コード")));
    EXPECT_FALSE(pagefiles::loadFile(page, path(QStringLiteral("missing.txt")), error));
    EXPECT_FALSE(pagefiles::loadFile(page, path(QStringLiteral("page.xyz")), error));
    EXPECT_EQ(test::describe(page), before);
}

TEST_F(PageFilesTest, TextSavesAsUtf8AndLoadingKeepsHeaderAndFooter) {
    test::fillFullPage(page);
    const QString text = page.plainText();
    QString error;
    ASSERT_TRUE(pagefiles::saveFile(page, path(QStringLiteral("out.txt")), error));
    EXPECT_EQ(fileBytes(path(QStringLiteral("out.txt"))), text.toUtf8());
    RichText other;
    other.setHeaderText(QStringLiteral("残るヘッダー"));
    ASSERT_TRUE(pagefiles::loadFile(other, path(QStringLiteral("out.txt")), error));
    EXPECT_EQ(other.plainText(), text);
    EXPECT_EQ(other.headerText(), QStringLiteral("残るヘッダー"));
}

TEST_F(PageFilesTest, HtmlHonoursItsMetaCharsetAndSeesThroughAWrongOne) {
    const QString body = QStringLiteral("<p>") + kJapanese + QStringLiteral("</p>");
    const QString declared =
        QStringLiteral(
            "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=%1\">"
            "</head><body>") +
        body + QStringLiteral("</body></html>");
    ASSERT_TRUE(writeFile(path(QStringLiteral("sjis.htm")),
                          encoded(declared.arg(QStringLiteral("Shift_JIS")), "CP932")));
    ASSERT_TRUE(writeFile(path(QStringLiteral("wrong.htm")),
                          encoded(declared.arg(QStringLiteral("utf-8")), "CP932")));
    ASSERT_TRUE(writeFile(
        path(QStringLiteral("euc.html")),
        encoded(QString(declared).arg(QStringLiteral("EUC-JP")).remove(QChar(0x2460)), "EUC-JP")));
    // Latin-1 bytes that are also valid Shift-JIS: only the declaration tells them apart.
    ASSERT_TRUE(writeFile(path(QStringLiteral("latin.htm")),
                          "<meta charset=\"iso-8859-1\"><p>caf\xE9 \xC0 la carte</p>"));
    QString error;
    for (const QString& name : {QStringLiteral("sjis.htm"), QStringLiteral("wrong.htm")}) {
        ASSERT_TRUE(pagefiles::loadFile(page, path(name), error)) << error.toStdString();
        EXPECT_EQ(page.plainText(), kJapanese) << name.toStdString();
    }
    ASSERT_TRUE(pagefiles::loadFile(page, path(QStringLiteral("euc.html")), error));
    EXPECT_EQ(page.plainText(), QString(kJapanese).remove(QChar(0x2460)));
    ASSERT_TRUE(pagefiles::loadFile(page, path(QStringLiteral("latin.htm")), error));
    EXPECT_EQ(page.plainText(), QStringLiteral("café À la carte"));
    EXPECT_EQ(textcodec::declaredCharset("<META CHARSET=Shift_JIS>"), QStringLiteral("Shift_JIS"));
}

TEST_F(PageFilesTest, ExportedHtmlReadsBackWithFieldsAndPictures) {
    const QByteArray jpeg = test::jpegBytes(Qt::green, 16, 16);
    page.insertText(QStringLiteral("本文"));
    page.insertField(QStringLiteral("頁"), QStringLiteral("TG_1012"));
    page.insertField(QStringLiteral("語"), QStringLiteral("TP_用語"));
    page.insertField(QStringLiteral("外"), QStringLiteral("https://example.com/x?y=1&z=2"));
    page.insertText(QStringLiteral("\n"));
    page.insertField(QStringLiteral("[Iframe:x]"),
                     QStringLiteral("LK_OBJ\t<iframe src=\"https://example.com/\"></iframe>"));
    page.insertText(QStringLiteral("\n"));
    QString error;
    ASSERT_TRUE(page.insertPicture(jpeg, error));
    const QString file = path(QStringLiteral("sub dir/頁.htm"));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("sub dir"))));
    ASSERT_TRUE(pagefiles::saveFile(page, file, error)) << error.toStdString();

    RichText read;
    ASSERT_TRUE(pagefiles::loadFile(read, file, error)) << error.toStdString();
    QStringList data;
    for (const fields::Field& f : read.allFields())
        data << f.data;
    EXPECT_EQ(
        data,
        QStringList({QStringLiteral("TG_1012"), QStringLiteral("TP_用語"),
                     QStringLiteral("https://example.com/x?y=1&z=2"),
                     QStringLiteral("LK_OBJ\t<iframe src=\"https://example.com/\"></iframe>")}));
    const QStringList names = pictures::pictureNames(*read.body());
    ASSERT_EQ(names.size(), 1);
    EXPECT_GT(pictures::resourceNumber(names[0]), 0);
    EXPECT_EQ(pictures::resourceBytes(*read.body(), names[0]), jpeg);
}

TEST_F(PageFilesTest, InsertingAFilePutsItAtTheSelectionAsOneStep) {
    ASSERT_TRUE(writeFile(path(QStringLiteral("part.txt")), QStringLiteral("挿入").toUtf8()));
    page.insertText(QStringLiteral("前後"));
    page.setSelection(1, 0);
    QString error;
    ASSERT_TRUE(pagefiles::insertFile(page, path(QStringLiteral("part.txt")), error));
    EXPECT_EQ(page.plainText(), QStringLiteral("前挿入後"));
    page.body()->undo();
    EXPECT_EQ(page.plainText(), QStringLiteral("前後"));
}

TEST_F(PageFilesTest, OdtIsAnOpenDocumentPackage) {
    test::fillFullPage(page);
    QString error;
    ASSERT_TRUE(pagefiles::saveFile(page, path(QStringLiteral("page.odt")), error));
    const QByteArray bytes = fileBytes(path(QStringLiteral("page.odt")));
    EXPECT_TRUE(bytes.startsWith("PK"));
    EXPECT_TRUE(bytes.contains("application/vnd.oasis.opendocument.text"));
    EXPECT_TRUE(bytes.contains("content.xml"));
}

TEST_F(PageFilesTest, PdfHasThePageSizeAndExtractableJapanese) {
    test::fillFullPage(page);  // A4, a page break, header and footer
    QString error;
    const QString file = path(QStringLiteral("page.pdf"));
    ASSERT_TRUE(pagefiles::saveFile(page, file, error)) << error.toStdString();
    EXPECT_TRUE(fileBytes(file).startsWith("%PDF"));
    const QString info = runTool(QStringLiteral("pdfinfo"), {file});
    const QString text =
        runTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-enc"), QStringLiteral("UTF-8"), file, QStringLiteral("-")});
    if (info.isEmpty() || text.isEmpty())
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) are not installed: PDF not checked";
    // A4 is 11900 x 16838 twips: 595 x 841.9 points.
    EXPECT_NEAR(pageSize(info).width(), 595, 1) << info.toStdString();
    EXPECT_NEAR(pageSize(info).height(), 841.9, 1);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2"))));
    for (const QString& expected : {QStringLiteral("見出し：日本語のページ"),
                                    QStringLiteral("結合セル"), QStringLiteral("改ページの後"),
                                    QStringLiteral("ヘッダー：日本語"), QStringLiteral("フッター")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n"
                                             << text.toStdString();
    // The header is on every page.
    EXPECT_EQ(text.count(QStringLiteral("ヘッダー：日本語")), 2);

    doc::PageSetup wide = page.pageSetup();
    wide.width = 11332;  // 往復: wider than high
    wide.height = 8386;
    page.setPageSetup(wide);
    ASSERT_TRUE(pagefiles::saveFile(page, file, error));
    const QSizeF landscape = pageSize(runTool(QStringLiteral("pdfinfo"), {file}));
    EXPECT_NEAR(landscape.width(), 566.6, 1);
    EXPECT_NEAR(landscape.height(), 419.3, 1);
}

TEST_F(PageFilesTest, WordFilesGoThroughTheExchangeCode) {
    test::fillFullPage(page);
    QString error;
    const QString file = path(QStringLiteral("page.docx"));
    ASSERT_TRUE(pagefiles::saveFile(page, file, error)) << error.toStdString();
    RichText read;
    ASSERT_TRUE(pagefiles::loadFile(read, file, error)) << error.toStdString();
    EXPECT_TRUE(read.plainText().contains(QStringLiteral("見出し：日本語のページ")));
    EXPECT_EQ(read.headerText(), QStringLiteral("ヘッダー：日本語"));
    EXPECT_EQ(read.pageSetup().width, 11900);
}

// Puts PATH somewhere without programs for the life of the object.
class PathWithoutPrograms {
  public:
    explicit PathWithoutPrograms(const QString& folder) : saved_(qgetenv("PATH")) {
        qputenv("PATH", QFile::encodeName(folder));
    }
    ~PathWithoutPrograms() { qputenv("PATH", saved_); }
    PathWithoutPrograms(const PathWithoutPrograms&) = delete;
    PathWithoutPrograms& operator=(const PathWithoutPrograms&) = delete;

  private:
    QByteArray saved_;
};

TEST_F(PageFilesTest, RtfAndDocGoThroughLibreOfficeWhichIsNamedWhenMissing) {
    page.insertText(QStringLiteral("内容：日本語"));
    const QString before = test::describe(page);
    ASSERT_TRUE(writeFile(path(QStringLiteral("in.rtf")), "{\\rtf1\\ansi hello}"));
    {
        const PathWithoutPrograms noOffice(path(QStringLiteral("empty")));
        for (const QString& name : {QStringLiteral("out.rtf"), QStringLiteral("out.doc")}) {
            QString error;
            EXPECT_FALSE(pagefiles::saveFile(page, path(name), error));
            EXPECT_TRUE(error.contains(QLatin1String("LibreOffice"))) << error.toStdString();
            EXPECT_FALSE(QFile::exists(path(name)));
        }
        QString error;
        EXPECT_FALSE(pagefiles::loadFile(page, path(QStringLiteral("in.rtf")), error));
        EXPECT_TRUE(error.contains(QLatin1String("LibreOffice")));
        EXPECT_EQ(test::describe(page), before);
    }
    if (!office::available())
        GTEST_SKIP() << "LibreOffice is not installed: the conversions themselves not checked";
    // Each conversion starts LibreOffice: one round trip, and the legacy format written.
    QString error;
    ASSERT_TRUE(pagefiles::saveFile(page, path(QStringLiteral("page.rtf")), error))
        << error.toStdString();
    RichText read;
    ASSERT_TRUE(pagefiles::loadFile(read, path(QStringLiteral("page.rtf")), error))
        << error.toStdString();
    EXPECT_EQ(read.plainText().trimmed(), QStringLiteral("内容：日本語"));
    ASSERT_TRUE(pagefiles::saveFile(page, path(QStringLiteral("page.doc")), error))
        << error.toStdString();
    EXPECT_TRUE(fileBytes(path(QStringLiteral("page.doc"))).startsWith("\xD0\xCF\x11\xE0"));
}

TEST_F(PageFilesTest, FailedWritesLeaveNoFileAndKeepAGoodOne) {
    page.insertText(QStringLiteral("新しい内容"));
    QString error;
    EXPECT_FALSE(pagefiles::saveFile(page, path(QStringLiteral("no/such/folder/a.txt")), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(pagefiles::saveFile(page, path(QStringLiteral("a.unknown")), error));
    // A folder in the way of the target: the write fails and nothing is left behind.
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("taken.txt"))));
    EXPECT_FALSE(pagefiles::saveFile(page, path(QStringLiteral("taken.txt")), error));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0);
}

}  // namespace
