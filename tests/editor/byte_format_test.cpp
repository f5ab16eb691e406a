// The byte format: lossless, repeatable round trips of every construct, selections,
// insertion, and refusal of damaged, truncated or foreign blocks with the page unchanged.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include "editor/byte_format.h"
#include "editor/byte_io.h"
#include "editor/document_model.h"
#include "editor/rich_text.h"
#include "support/gui_app.h"
#include "support/rich_text_samples.h"

using namespace arbor;

namespace {

constexpr int kHeaderSize = 20;

// Rewrites the checksum so that damage inside the payload reaches the parser.
QByteArray withFixedChecksum(QByteArray data) {
    if (data.size() < kHeaderSize)
        return data;
    const uint32_t crc = bytes::crc32(data.mid(kHeaderSize));
    for (int i = 0; i < 4; ++i)
        data[16 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    return data;
}

class ByteFormatTest : public ::testing::Test {
  protected:
    void SetUp() override { test::ensureGuiApp(); }

    // Loads into a fresh page and checks content and bytes against the original.
    void expectRoundTrip(const RichText& original) {
        const QByteArray first = original.saveBytes();
        RichText copy;
        QString error;
        ASSERT_TRUE(copy.loadBytes(first, error)) << error.toStdString();
        EXPECT_EQ(test::describe(copy), test::describe(original));
        EXPECT_EQ(copy.saveBytes(), first) << "a second save differs from the first";
    }

    // The page must be exactly as before a refused load.
    void expectRefusedUnchanged(RichText& page, const QByteArray& data) {
        const QString before = test::describe(page);
        const QByteArray bytesBefore = page.saveBytes();
        QString error;
        EXPECT_FALSE(page.loadBytes(data, error));
        EXPECT_FALSE(error.isEmpty());
        // The reason is shown to the user as it stands: Japanese, no English words.
        static const QRegularExpression english(QStringLiteral("[A-Za-z]{3,}"));
        EXPECT_FALSE(QString(error).remove(QStringLiteral("Arbor")).contains(english))
            << error.toStdString();
        EXPECT_EQ(test::describe(page), before);
        EXPECT_EQ(page.saveBytes(), bytesBefore);
    }
};

TEST_F(ByteFormatTest, FullPageRoundTripsLosslessly) {
    RichText page;
    test::fillFullPage(page);
    expectRoundTrip(page);

    // And the constructs really are there after loading, not merely described alike.
    RichText copy;
    QString error;
    ASSERT_TRUE(copy.loadBytes(page.saveBytes(), error));
    EXPECT_EQ(copy.pageSetup().width, 11900);
    EXPECT_EQ(copy.headerText(), QStringLiteral("ヘッダー：日本語"));
    EXPECT_EQ(copy.footerText(), QStringLiteral("フッター"));
    const QList<fields::Field> list = copy.allFields();
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list[0].data, QStringLiteral("TG_1012"));
    EXPECT_EQ(list[1].data, QStringLiteral("TP_用語"));
    EXPECT_EQ(list[3].text, QStringLiteral("[Iframe:地図]"));
    EXPECT_TRUE(copy.plainText().contains(QStringLiteral("結合セル\t右上")));
    EXPECT_FALSE(copy.body()->isModified());
    EXPECT_FALSE(copy.body()->isUndoAvailable());
}

TEST_F(ByteFormatTest, RandomEditedPagesRoundTrip) {
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        RichText page;
        test::fillRandomPage(page, seed);
        expectRoundTrip(page);
    }
}

TEST_F(ByteFormatTest, PicturesKeepTheirOriginalBytes) {
    RichText page;
    const QByteArray jpeg = test::jpegBytes(Qt::red, 40, 30);
    QString error;
    ASSERT_TRUE(page.insertPicture(jpeg, error));
    ASSERT_TRUE(page.insertPicture(jpeg, error));  // the same bytes twice: two pictures
    RichText copy;
    ASSERT_TRUE(copy.loadBytes(page.saveBytes(), error));
    QStringList names;
    for (auto it = copy.body()->begin().begin(); !it.atEnd(); ++it)
        names << it.fragment().charFormat().toImageFormat().name();
    ASSERT_EQ(names.size(), 2);
    EXPECT_NE(names[0], names[1]);
    EXPECT_TRUE(names[0].endsWith(QLatin1String(".jpg")));
    for (const QString& name : names)
        EXPECT_EQ(copy.body()->resource(QTextDocument::ImageResource, QUrl(name)).toByteArray(),
                  jpeg);
}

TEST_F(ByteFormatTest, EmptyPageAndEmptyPartsRoundTrip) {
    RichText page;
    expectRoundTrip(page);
    page.setHeaderText(QStringLiteral("見出しだけ"));
    expectRoundTrip(page);
}

TEST_F(ByteFormatTest, SelectionSavesOnlyTheSelectedContent) {
    RichText page;
    page.insertText(QStringLiteral("前の文。選んだ部分"));
    page.insertField(QStringLiteral("リンク"), QStringLiteral("TG_7"));
    page.insertText(QStringLiteral("の終わり。後の文"));
    const QString all = page.plainText();
    const int start = static_cast<int>(all.indexOf(QStringLiteral("選んだ")));
    const int end = static_cast<int>(all.indexOf(QStringLiteral("。後")));
    page.setSelection(start, end - start);

    RichText target;
    target.insertText(QStringLiteral("[]"));
    target.setSelection(1, 0);
    QString error;
    ASSERT_TRUE(target.insertBytes(page.saveSelectionBytes(), error)) << error.toStdString();
    EXPECT_EQ(target.plainText(), QStringLiteral("[選んだ部分リンクの終わり]"));
    ASSERT_EQ(target.allFields().size(), 1);
    EXPECT_EQ(target.allFields()[0].data, QStringLiteral("TG_7"));
    EXPECT_EQ(target.allFields()[0].text, QStringLiteral("リンク"));
    // One undo step takes the whole insertion back.
    target.body()->undo();
    EXPECT_EQ(target.plainText(), QStringLiteral("[]"));
}

TEST_F(ByteFormatTest, InsertedPicturesAndFieldsDoNotClashWithThePresentOnes) {
    RichText source;
    QString error;
    source.insertField(QStringLiteral("A"), QStringLiteral("TG_1"));
    ASSERT_TRUE(source.insertPicture(test::pngBytes(Qt::red), error));
    const QByteArray block = source.saveBytes();

    RichText target;
    target.insertField(QStringLiteral("B"), QStringLiteral("TG_2"));
    ASSERT_TRUE(target.insertPicture(test::pngBytes(Qt::blue), error));
    // Right behind B's field: an id clash would join the two fields into one.
    target.setSelection(1, 0);
    ASSERT_TRUE(target.insertBytes(block, error)) << error.toStdString();

    const QList<fields::Field> list = target.allFields();
    ASSERT_EQ(list.size(), 2);
    EXPECT_NE(list[0].id, list[1].id);
    EXPECT_EQ(list[0].data, QStringLiteral("TG_2"));
    EXPECT_EQ(list[1].data, QStringLiteral("TG_1"));

    QHash<QString, QByteArray> pictures;
    for (QTextBlock b = target.body()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QString name = it.fragment().charFormat().toImageFormat().name();
                pictures.insert(name, target.body()
                                          ->resource(QTextDocument::ImageResource, QUrl(name))
                                          .toByteArray());
            }
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_TRUE(pictures.values().contains(test::pngBytes(Qt::red)));
    EXPECT_TRUE(pictures.values().contains(test::pngBytes(Qt::blue)));
}

TEST_F(ByteFormatTest, TablesWithMergedCellsKeepTheirShapeWhenInserted) {
    RichText source;
    QTextTable* table = source.insertTable(3, 3);
    table->mergeCells(0, 0, 2, 2);
    table->cellAt(2, 2).firstCursorPosition().insertText(QStringLiteral("角"));
    RichText target;
    target.insertText(QStringLiteral("先頭"));
    QString error;
    ASSERT_TRUE(target.insertBytes(source.saveBytes(), error));
    QTextTable* copied = nullptr;
    for (QTextFrame* f : target.body()->rootFrame()->childFrames())
        copied = qobject_cast<QTextTable*>(f);
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->cellAt(0, 0).rowSpan(), 2);
    EXPECT_EQ(copied->cellAt(0, 0).columnSpan(), 2);
    EXPECT_EQ(copied->cellAt(1, 1).row(), 0);
    EXPECT_TRUE(target.plainText().contains(QStringLiteral("角")));
}

TEST_F(ByteFormatTest, EmptyForeignAndNewerBlocksAreRefused) {
    RichText page;
    test::fillFullPage(page);
    expectRefusedUnchanged(page, QByteArray());
    expectRefusedUnchanged(page, QByteArray("PK\x03\x04 not a page at all, a zip"));
    expectRefusedUnchanged(page, QByteArray("{\\rtf1\\ansi hello}"));

    QByteArray newer = page.saveBytes();
    newer[8] = 2;
    QString error;
    EXPECT_FALSE(byteformat::check(newer, error));
    EXPECT_TRUE(error.contains(QStringLiteral("新しい版")));
    expectRefusedUnchanged(page, newer);
}

TEST_F(ByteFormatTest, TruncatedBlocksAreRefusedAtEveryLength) {
    RichText source;
    test::fillFullPage(source);
    const QByteArray data = source.saveBytes();
    RichText page;
    test::fillRandomPage(page, 5);
    for (qsizetype length = 0; length < data.size(); length += 1 + length / 50) {
        SCOPED_TRACE(length);
        expectRefusedUnchanged(page, data.left(length));
        // With a checksum made to match, the parser itself must notice the cut.
        QString error;
        EXPECT_FALSE(byteformat::check(withFixedChecksum(data.left(length)), error));
    }
    expectRefusedUnchanged(page, data + "x");
}

TEST_F(ByteFormatTest, DamagedBytesAreRefusedOrHarmless) {
    RichText source;
    test::fillFullPage(source);
    const QByteArray data = source.saveBytes();
    RichText page;
    page.insertText(QStringLiteral("今のページ"));

    QByteArray flipped = data;
    flipped[data.size() / 2] = static_cast<char>(flipped[data.size() / 2] ^ 0x10);
    expectRefusedUnchanged(page, flipped);

    // Damage behind a valid checksum: the parser refuses or loads something sound; the
    // page is either unchanged or holds a document that saves again.
    for (qsizetype at = kHeaderSize; at < data.size(); at += 7) {
        for (char change : {'\x01', '\x80', '\xFF'}) {
            QByteArray damaged = data;
            damaged[at] = static_cast<char>(damaged[at] ^ change);
            damaged = withFixedChecksum(damaged);
            RichText target;
            target.insertText(QStringLiteral("今のページ"));
            QString error;
            if (target.loadBytes(damaged, error)) {
                EXPECT_FALSE(target.saveBytes().isEmpty());
            } else {
                EXPECT_EQ(target.plainText(), QStringLiteral("今のページ")) << at;
            }
        }
    }
}

}  // namespace
