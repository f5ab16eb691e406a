// The component's HTML export: links for the three link kinds, boxed blocks for embedded
// objects, picture files beside the page with relative references, distances in pt, and
// markup an XML parser accepts.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "editor/html_export.h"
#include "editor/pictures.h"
#include "editor/rich_text.h"
#include "support/gui_app.h"
#include "support/rich_text_samples.h"

using namespace arbor;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class HtmlExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ensureGuiApp();
        ASSERT_TRUE(dir.isValid());
    }
    QString exportPage(const QString& name, const html::ExportOptions& options = {}) {
        QString out, error;
        EXPECT_TRUE(html::exportHtml(*page.body(), dir.filePath(name), out, error, options))
            << error.toStdString();
        return out;
    }
    QTemporaryDir dir;
    RichText page;
};

TEST_F(HtmlExportTest, LinkFieldsBecomeLinksOfTheirKind) {
    page.insertField(QStringLiteral("頁"), QStringLiteral("TG_1012"));
    page.insertField(QStringLiteral("語"), QStringLiteral("tp_用語"));
    page.insertField(QStringLiteral("外"), QStringLiteral("https://example.com/?a=1&b=\"2\""));
    page.insertField(QStringLiteral("file"), QStringLiteral("/home/user/資料.pdf"));
    const QString html = exportPage(QStringLiteral("p.htm"));
    EXPECT_TRUE(html.contains(QStringLiteral("<a href=\"#TG_1012\">頁</a>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<a href=\"#TP_用語\">語</a>")));
    EXPECT_TRUE(html.contains(
        QStringLiteral("<a href=\"https://example.com/?a=1&amp;b=&quot;2&quot;\">外</a>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<a href=\"/home/user/資料.pdf\">file</a>")));
    // The export works on a copy: the page keeps its fields as they were.
    EXPECT_EQ(page.allFields()[1].data, QStringLiteral("tp_用語"));
}

TEST_F(HtmlExportTest, EmbeddedObjectsBecomeBoxedBlocksOfTheirOwn) {
    page.insertText(QStringLiteral("前の文"));
    page.insertField(QStringLiteral("[Iframe:地図]"),
                     QStringLiteral("LK_OBJ\t<iframe src='https://maps.example.com/?q=1&z=2' "
                                    "width=\"400\" height=\"300\"></iframe>"));
    page.insertText(QStringLiteral("後の文"));
    page.insertText(QStringLiteral("\n"));
    page.insertField(QStringLiteral("[Script:計数]"),
                     QStringLiteral("LK_OBJ\t<script src=\"count.js\"></script>"));
    const QString html = exportPage(QStringLiteral("p.htm"));

    const QRegularExpression frame(QStringLiteral(
        "<p style=\"background-color:#FEFEFA; width:300pt; height:225pt;\">\\[Iframe:&lt;iframe "
        "src=&#x0027;https://maps.example.com/\\?q=1&amp;z=2&#x0027; width=&quot;400&quot; "
        "height=&quot;300&quot;&gt;&lt;/iframe&gt;\\]</p>"));
    EXPECT_TRUE(frame.match(html).hasMatch()) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral(
        "<p style=\"background-color:#FEFAFE;\">[Script:&lt;script src=&quot;count.js&quot;&gt;"
        "&lt;/script&gt;]</p>")));
    // The surrounding text stays, in paragraphs of its own.
    EXPECT_TRUE(QRegularExpression(QStringLiteral(">前の文</p>")).match(html).hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral(">後の文</p>")).match(html).hasMatch());
    EXPECT_FALSE(html.contains(QChar(0xE000)));
}

TEST_F(HtmlExportTest, PicturesGoBesideThePageAndAreReferencedRelatively) {
    const QByteArray png = test::pngBytes(Qt::red, 12, 9);
    const QByteArray jpeg = test::jpegBytes(Qt::blue, 12, 9);
    QString error;
    ASSERT_TRUE(page.insertPicture(png, error));
    ASSERT_TRUE(page.insertPicture(jpeg, error));
    const QString html = exportPage(QStringLiteral("第 1 頁.htm"));
    EXPECT_EQ(html::pictureFolderName(dir.filePath(QStringLiteral("第 1 頁.htm"))),
              QStringLiteral("第 1 頁_Images"));
    EXPECT_TRUE(html.contains(QStringLiteral("<img src=\"第%201%20頁_Images/001.png\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("<img src=\"第%201%20頁_Images/002.jpg\"")));
    EXPECT_EQ(fileBytes(dir.filePath(QStringLiteral("第 1 頁_Images/001.png"))), png);
    EXPECT_EQ(fileBytes(dir.filePath(QStringLiteral("第 1 頁_Images/002.jpg"))), jpeg);
    EXPECT_FALSE(html.contains(QLatin1String("arbor-image:")));

    html::ExportOptions asPng;
    asPng.pictures = html::PictureFormat::Png;
    const QString converted = exportPage(QStringLiteral("b.htm"), asPng);
    EXPECT_TRUE(converted.contains(QStringLiteral("b_Images/002.png")));
    EXPECT_EQ(pictures::sniff(fileBytes(dir.filePath(QStringLiteral("b_Images/002.png")))),
              pictures::Kind::Png);
}

TEST_F(HtmlExportTest, DistancesAreWrittenInPoints) {
    test::fillFullPage(page);
    const QString html = exportPage(QStringLiteral("p.htm"));
    EXPECT_TRUE(html.contains(QStringLiteral("margin-left:8pt;")));
    EXPECT_TRUE(html.contains(QStringLiteral("line-height:16.8pt;")));
    EXPECT_TRUE(html.contains(QStringLiteral("padding-left:5pt;")));
    EXPECT_FALSE(
        QRegularExpression(QStringLiteral("(margin|indent|padding)[a-z-]*:\\s*-?[\\d.]+px"))
            .match(html)
            .hasMatch());
}

TEST_F(HtmlExportTest, WrittenPageIsUtf8AndWellFormed) {
    test::fillFullPage(page);
    page.insertText(QString(QChar(0x00A0)) + QStringLiteral("改行なし空白"));
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    QString error;
    ASSERT_TRUE(html::writeHtmlFile(*page.body(), path, error)) << error.toStdString();
    const QByteArray bytes = fileBytes(path);
    EXPECT_TRUE(bytes.contains(QStringLiteral("見出し：日本語のページ").toUtf8()));
    EXPECT_TRUE(bytes.contains("charset=\"utf-8\"") || bytes.contains("charset=utf-8"));
    EXPECT_FALSE(bytes.contains("&nbsp;"));

    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        GTEST_SKIP() << "xmllint is not installed: well-formedness not checked";
    QProcess lint;
    lint.start(xmllint, {QStringLiteral("--noout"), QStringLiteral("--nonet"), path});
    ASSERT_TRUE(lint.waitForFinished(30000));
    EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().toStdString();
}

TEST_F(HtmlExportTest, UnwritablePictureFolderIsReported) {
    QString error;
    ASSERT_TRUE(page.insertPicture(test::pngBytes(Qt::red), error));
    // A file where the picture folder should go.
    QFile blocker(dir.filePath(QStringLiteral("x_Images")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = dir.filePath(QStringLiteral("x.htm"));
    EXPECT_FALSE(html::writeHtmlFile(*page.body(), path, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
