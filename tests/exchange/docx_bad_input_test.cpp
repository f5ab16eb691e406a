// Damaged, hostile and incomplete .docx files are refused with a reason, and the
// documents keep what they had.
#include <gtest/gtest.h>

#include <QTextCursor>

#include "exchange/docx.h"
#include "exchange_test_util.h"
#include "support/gui_app.h"

using namespace arbor;
using namespace arbor::test;

namespace {

const QString kParagraph = QStringLiteral("<w:p><w:r><w:t>本文</w:t></w:r></w:p>");

class DocxBadInput : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureGuiApp();
        owned.body->setPlainText(QStringLiteral("元の本文"));
        owned.header->setPlainText(QStringLiteral("元のヘッダー"));
        owned.footer->setPlainText(QStringLiteral("元のフッター"));
        owned.page = {1000, 2000, 10, 20, 30, 40};
    }

    // Reads bytes, expects a refusal whose reason contains hint, and unchanged parts.
    void expectRefused(const QByteArray& bytes, const QString& hint) {
        doc::DocumentParts parts = owned.parts();
        QString error;
        EXPECT_FALSE(docx::readDocxBytes(bytes, parts, error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(error.contains(hint)) << error.toStdString();
        EXPECT_EQ(owned.body->toPlainText(), QStringLiteral("元の本文"));
        EXPECT_EQ(owned.header->toPlainText(), QStringLiteral("元のヘッダー"));
        EXPECT_EQ(owned.footer->toPlainText(), QStringLiteral("元のフッター"));
        EXPECT_EQ(parts.page, owned.page);
    }

    QByteArray withPicture(const QByteArray& mediaBytes) {
        const QString drawing = QStringLiteral(
            "<w:p><w:r><w:drawing><wp:inline><wp:extent cx=\"95250\" cy=\"95250\"/>"
            "<wp:docPr id=\"1\" name=\"p\"/><a:graphic><a:graphicData "
            "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic>"
            "<pic:blipFill><a:blip r:embed=\"rIdImg\"/></pic:blipFill></pic:pic>"
            "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>");
        return docxWith(drawing, {{QStringLiteral("word/media/image1.png"), mediaBytes}},
                        QStringLiteral("<Relationship Id=\"rIdImg\" Type=\"http://"
                                       "schemas.openxmlformats.org/officeDocument/2006/"
                                       "relationships/image\" Target=\"media/image1.png\"/>"));
    }

    OwnedParts owned;
};

TEST_F(DocxBadInput, NotAPackage) {
    expectRefused(QByteArray(), QStringLiteral("ZIP"));
    expectRefused("これは Word 文書ではありません", QStringLiteral("ZIP"));
    expectRefused(QByteArray(4096, '\0'), QStringLiteral("ZIP"));
}

TEST_F(DocxBadInput, TruncatedPackage) {
    const QByteArray good = docxWith(kParagraph);
    expectRefused(good.left(good.size() / 2), QStringLiteral("ZIP"));
    expectRefused(good.left(good.size() - 10), QString());
    // Damage inside a compressed entry: the CRC or inflating fails.
    QByteArray damaged = good;
    const qsizetype at = damaged.indexOf("word/document.xml") + 40;
    for (qsizetype i = at; i < at + 16 && i < damaged.size(); ++i)
        damaged[i] = char(damaged[i] ^ 0x5A);
    expectRefused(damaged, QString());
}

TEST_F(DocxBadInput, MissingMainDocument) {
    auto entries = unzip(docxWith(kParagraph));
    entries.erase(QStringLiteral("word/document.xml"));
    expectRefused(zipOf(entries), QStringLiteral("document.xml"));
}

TEST_F(DocxBadInput, ZipBomb) {
    // 64 MB of blanks deflate to well under a megabyte.
    const QByteArray huge =
        "<?xml version=\"1.0\"?><w:document xmlns:w=\"" +
        QByteArray("http://schemas.openxmlformats.org/wordprocessingml/2006/main") + "\">" +
        QByteArray(64 << 20, ' ') + "</w:document>";
    auto entries = unzip(docxWith(kParagraph));
    entries[QStringLiteral("word/document.xml")] = huge;
    const QByteArray bomb = zipOf(entries);
    ASSERT_LT(bomb.size(), 1 << 20);
    expectRefused(bomb, QStringLiteral("ZIP 爆弾"));
}

TEST_F(DocxBadInput, MalformedXml) {
    expectRefused(docxWith(QStringLiteral("<w:p><w:r><w:t>閉じない</w:r></w:p>")),
                  QStringLiteral("XML が壊れています"));
    auto entries = unzip(docxWith(kParagraph));
    entries[QStringLiteral("word/styles.xml")] = "<w:styles";
    entries[QStringLiteral("word/_rels/document.xml.rels")] =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"s\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/styles\" Target=\"styles.xml\"/></Relationships>";
    expectRefused(zipOf(entries), QStringLiteral("styles.xml"));
}

TEST_F(DocxBadInput, EntityExpansion) {
    QByteArray laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE w:document [<!ENTITY a \"aaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c "
        "\"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:body><w:p><w:r><w:t>&d;&d;&d;</w:t></w:r></w:p></w:body></w:document>";
    auto entries = unzip(docxWith(kParagraph));
    entries[QStringLiteral("word/document.xml")] = laughs;
    expectRefused(zipOf(entries), QStringLiteral("文書型宣言"));
}

TEST_F(DocxBadInput, AbsurdNesting) {
    QString deep;
    for (int i = 0; i < 400; ++i)
        deep += QStringLiteral("<w:sdt><w:sdtContent>");
    expectRefused(docxWith(deep + kParagraph +
                           QString(deep).replace(QStringLiteral("<w:"), QStringLiteral("</w:"))),
                  QStringLiteral("入れ子"));
}

TEST_F(DocxBadInput, PictureThatIsNotAPicture) {
    expectRefused(withPicture("this is text, not a PNG"), QStringLiteral("画像"));
    QByteArray truncated = pictureFile("PNG", 50, 50, qRgb(10, 20, 30));
    truncated.truncate(truncated.size() / 2);
    expectRefused(withPicture(truncated), QStringLiteral("画像"));
    // A real picture in the same place is read.
    doc::DocumentParts parts = owned.parts();
    QString error;
    EXPECT_TRUE(
        docx::readDocxBytes(withPicture(pictureFile("PNG", 5, 5, qRgb(1, 1, 1))), parts, error))
        << error.toStdString();
}

TEST_F(DocxBadInput, OddButReadable) {
    // Things a careless writer produces are read without fuss: absurd spans and sizes,
    // references to nothing, unbalanced fields, unknown elements.
    const QString body = QStringLiteral(
        "<w:tbl><w:tr><w:tc><w:tcPr><w:gridSpan w:val=\"99999999\"/><w:vMerge/></w:tcPr>"
        "<w:p><w:r><w:t>広いセル</w:t></w:r></w:p></w:tc><w:tc><w:p/></w:tc></w:tr>"
        "<w:tr><w:tc><w:tcPr><w:vMerge/></w:tcPr><w:p/></w:tc></w:tr></w:tbl>"
        "<w:p><w:pPr><w:spacing w:before=\"-5\" w:line=\"1e400\"/><w:ind w:left=\"abc\"/></w:pPr>"
        "<w:r><w:rPr><w:sz w:val=\"999999999999\"/><w:color w:val=\"zzzzzz\"/></w:rPr>"
        "<w:fldChar w:fldCharType=\"end\"/><w:t>文字</w:t></w:r>"
        "<w:hyperlink r:id=\"nowhere\"><w:r><w:t>どこへも</w:t></w:r></w:hyperlink>"
        "<w:r><w:fldChar "
        "w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>HYPERLINK</w:instrText></w:r>"
        "<w:unknown><w:r><w:t>見えない</w:t></w:r></w:unknown></w:p>"
        "<w:sectPr><w:pgSz w:w=\"-1\" w:h=\"99999999\"/><w:headerReference w:type=\"default\" "
        "r:id=\"none\"/></w:sectPr>");
    doc::DocumentParts parts = owned.parts();
    QString error;
    ASSERT_TRUE(docx::readDocxBytes(docxWith(body), parts, error)) << error.toStdString();
    const QString text = owned.body->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("広いセル")));
    EXPECT_TRUE(text.contains(QStringLiteral("文字どこへも")));
    EXPECT_FALSE(text.contains(QStringLiteral("見えない")));
    EXPECT_TRUE(owned.header->isEmpty());
    EXPECT_EQ(parts.page.width, 720);
    EXPECT_EQ(parts.page.height, 31680 * 2);
}

TEST_F(DocxBadInput, UnbalancedFieldsInsideASimpleField) {
    // Once ended the field stack below the simple field (found in review, crashed).
    const QString body = QStringLiteral(
        "<w:p><w:fldSimple w:instr=\"PAGE\"><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r><w:r><w:t>x</w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r></w:fldSimple>"
        "<w:r><w:t>後</w:t></w:r></w:p>");
    doc::DocumentParts parts = owned.parts();
    QString error;
    ASSERT_TRUE(docx::readDocxBytes(docxWith(body), parts, error)) << error.toStdString();
    EXPECT_EQ(owned.body->toPlainText(), QStringLiteral("x後"));
}

}  // namespace
