// Hand-made blocks that once crashed the loader or would crash Qt if it let them through:
// each must be refused with a reason, the page unchanged. The first one checks that the
// hand-made layout itself is sound.
#include <gtest/gtest.h>

#include <QTextFormat>
#include <functional>

#include "editor/byte_format.h"
#include "editor/byte_io.h"
#include "editor/rich_text.h"
#include "support/gui_app.h"

using namespace arbor;
using bytes::ByteWriter;

namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;
enum : uint8_t { kEnd = 0, kBlock = 1, kTable = 2, kFrame = 3 };
enum : uint8_t { kInt = 2, kDouble = 6, kBrush = 10, kLength = 12, kTab = 13 };

// A page of formats 0: page frame, 1: paragraph, 2: characters, 3: table, 4: cell, then
// whatever `extraFormats` adds, and the body items `body` writes.
QByteArray block(const std::function<void(ByteWriter&)>& body,
                 const std::function<uint32_t(ByteWriter&)>& extraFormats = {}) {
    ByteWriter formats;
    uint32_t count = 5;
    formats.i32(QTextFormat::FrameFormat);
    formats.u32(0);
    formats.i32(QTextFormat::BlockFormat);
    formats.u32(0);
    formats.i32(QTextFormat::CharFormat);
    formats.u32(0);
    formats.i32(QTextFormat::FrameFormat);  // a table: object type "table"
    formats.u32(1);
    formats.i32(QTextFormat::ObjectType);
    formats.u8(kInt);
    formats.i32(QTextFormat::TableObject);
    formats.i32(QTextFormat::CharFormat);  // a cell
    formats.u32(1);
    formats.i32(QTextFormat::ObjectType);
    formats.u8(kInt);
    formats.i32(QTextFormat::TableCellObject);
    if (extraFormats)
        count += extraFormats(formats);

    ByteWriter payload;
    for (int v : {12240, 15840, 1134, 1134, 567, 567})
        payload.i32(v);
    payload.u32(count);
    payload.raw(formats.data());
    payload.u32(0);  // pictures
    payload.u32(0);  // lists
    payload.u8(1);
    payload.u32(0);
    body(payload);
    payload.u8(0);  // no header
    payload.u8(0);  // no footer

    ByteWriter out;
    out.raw(
        QByteArray("\x89"
                   "ArbTx\r\n",
                   8));
    out.u16(1);
    out.u16(0);
    out.u32(static_cast<uint32_t>(payload.size()));
    out.u32(bytes::crc32(payload.data()));
    out.raw(payload.data());
    return out.data();
}

void paragraph(ByteWriter& w, const QString& text, uint32_t charFormat = 2) {
    w.u8(kBlock);
    w.u32(1);
    w.u32(charFormat);
    w.u32(kNone);
    w.u32(text.isEmpty() ? 0 : 1);
    if (!text.isEmpty()) {
        w.string(text);
        w.u32(charFormat);
    }
}

void cellParagraph(ByteWriter& w) {
    w.u8(kBlock);
    w.u32(1);
    w.u32(kNone);
    w.u32(kNone);
    w.u32(0);
    w.u8(kEnd);
}

// A table of rows x columns whose cells (row, column, row span, column span) are given.
void table(ByteWriter& w, uint32_t rows, uint32_t columns,
           const QList<std::array<uint32_t, 4>>& cells, uint32_t format = 3) {
    w.u8(kTable);
    w.u32(format);
    w.u32(rows);
    w.u32(columns);
    w.u32(static_cast<uint32_t>(cells.size()));
    for (const auto& c : cells) {
        for (uint32_t v : c)
            w.u32(v);
        w.u32(4);
        cellParagraph(w);
    }
}

// One extra character format with a single property of the given kind and raw value.
std::function<uint32_t(ByteWriter&)> charProperty(int key, uint8_t kind,
                                                  const std::function<void(ByteWriter&)>& value) {
    return [=](ByteWriter& w) {
        w.i32(QTextFormat::CharFormat);
        w.u32(1);
        w.i32(key);
        w.u8(kind);
        value(w);
        return 1u;
    };
}

class ByteFormatRegressionTest : public ::testing::Test {
  protected:
    void SetUp() override { test::ensureGuiApp(); }

    void expectRefused(const QByteArray& data) {
        RichText page;
        page.insertText(QStringLiteral("元のページ"));
        QString error;
        EXPECT_FALSE(page.loadBytes(data, error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("文書データを読み込めません")))
            << error.toStdString();
        EXPECT_EQ(page.plainText(), QStringLiteral("元のページ"));
        QTextCursor cursor(page.body());
        EXPECT_FALSE(byteformat::insert(data, cursor, error));
        EXPECT_EQ(page.plainText(), QStringLiteral("元のページ"));
    }
};

TEST_F(ByteFormatRegressionTest, HandMadeLayoutLoads) {
    const QByteArray data = block([](ByteWriter& w) {
        paragraph(w, QStringLiteral("前"));
        table(w, 2, 2, {{0, 0, 1, 2}, {1, 0, 1, 1}, {1, 1, 1, 1}});
        paragraph(w, QStringLiteral("後"));
        w.u8(kEnd);
    });
    RichText page;
    QString error;
    ASSERT_TRUE(page.loadBytes(data, error)) << error.toStdString();
    EXPECT_EQ(page.plainText(), QStringLiteral("前\n\n\t\n後"));

    // The same with a sane value where the next test puts insane ones.
    const QByteArray sized = block(
        [](ByteWriter& w) {
            paragraph(w, QStringLiteral("x"), 5);
            w.u8(kEnd);
        },
        charProperty(QTextFormat::FontPointSize, kDouble, [](ByteWriter& w) { w.f64(12); }));
    ASSERT_TRUE(page.loadBytes(sized, error)) << error.toStdString();
    page.setSelection(0, 1);
    EXPECT_EQ(page.fontSize(), 12);
}

// Found by fuzzing: a length whose type is out of range was cast before it was checked.
TEST_F(ByteFormatRegressionTest, OutOfRangeEnumValuesAreRefusedBeforeUse) {
    const auto withChar = [](auto property) {
        return block(
            [](ByteWriter& w) {
                paragraph(w, QStringLiteral("x"), 5);
                w.u8(kEnd);
            },
            property);
    };
    expectRefused(
        withChar(charProperty(QTextFormat::TextOutline + 1000, kLength, [](ByteWriter& w) {
            w.u8(25);
            w.f64(1);
        })));
    expectRefused(withChar(charProperty(QTextFormat::BackgroundBrush, kBrush, [](ByteWriter& w) {
        w.u8(200);
        w.u8(1);
        for (int i = 0; i < 4; ++i)
            w.u16(0);
    })));
    expectRefused(withChar(charProperty(QTextFormat::TabPositions, kTab, [](ByteWriter& w) {
        w.f64(10);
        w.u8(9);
        w.u16(0);
    })));
    expectRefused(withChar(
        charProperty(QTextFormat::FontPointSize, kDouble, [](ByteWriter& w) { w.f64(1e9); })));
    expectRefused(
        withChar(charProperty(QTextFormat::ObjectIndex, kInt, [](ByteWriter& w) { w.i32(7); })));
}

TEST_F(ByteFormatRegressionTest, StructureQtCannotHoldIsRefused) {
    // Paragraph marks inside a run would build paragraphs the block does not describe.
    expectRefused(block([](ByteWriter& w) {
        paragraph(w, QStringLiteral("a\nb"));
        w.u8(kEnd);
    }));
    expectRefused(block([](ByteWriter& w) {
        paragraph(w, QStringLiteral("a") + QChar(0xFDD0));
        w.u8(kEnd);
    }));
    // A table must follow a paragraph and be followed by one.
    expectRefused(block([](ByteWriter& w) {
        table(w, 1, 1, {{0, 0, 1, 1}});
        paragraph(w, QString());
        w.u8(kEnd);
    }));
    expectRefused(block([](ByteWriter& w) {
        paragraph(w, QString());
        table(w, 1, 1, {{0, 0, 1, 1}});
        w.u8(kEnd);
    }));
    // A frame with a table's format would make Qt a table without cells.
    expectRefused(block([](ByteWriter& w) {
        paragraph(w, QString());
        w.u8(kFrame);
        w.u32(3);
        paragraph(w, QString());
        w.u8(kEnd);
        paragraph(w, QString());
        w.u8(kEnd);
    }));
    // And a table with a plain frame format.
    expectRefused(block([](ByteWriter& w) {
        paragraph(w, QString());
        table(w, 1, 1, {{0, 0, 1, 1}}, 0);
        paragraph(w, QString());
        w.u8(kEnd);
    }));
}

TEST_F(ByteFormatRegressionTest, CellsThatOverlapLeaveGapsOrStickOutAreRefused) {
    const auto withTable = [](uint32_t rows, uint32_t columns,
                              const QList<std::array<uint32_t, 4>>& cells) {
        return block([=](ByteWriter& w) {
            paragraph(w, QString());
            table(w, rows, columns, cells);
            paragraph(w, QString());
            w.u8(kEnd);
        });
    };
    expectRefused(withTable(2, 2, {{0, 0, 2, 2}, {1, 1, 1, 1}}));                // overlap
    expectRefused(withTable(2, 2, {{0, 0, 1, 1}, {0, 1, 1, 1}, {1, 0, 1, 1}}));  // a gap
    expectRefused(withTable(2, 2, {{0, 0, 1, 3}, {1, 0, 1, 2}}));                // too wide
    expectRefused(withTable(2, 2, {{0, 1, 1, 1}, {0, 0, 1, 1}, {1, 0, 1, 2}}));  // out of order
    expectRefused(withTable(1, 1, {{0, 0, 0, 1}}));                              // empty span
    expectRefused(withTable(0, 1, {}));
    expectRefused(withTable(20000, 20000, {{0, 0, 20000, 20000}}));  // too large
}

TEST_F(ByteFormatRegressionTest, DeepNestingAndDanglingReferencesAreRefused) {
    expectRefused(block([](ByteWriter& w) {
        // Frames in frames, deeper than any page.
        for (int i = 0; i < 40; ++i) {
            paragraph(w, QString());
            w.u8(kFrame);
            w.u32(0);
        }
        for (int i = 0; i < 40; ++i) {
            paragraph(w, QString());
            w.u8(kEnd);
        }
        paragraph(w, QString());
        w.u8(kEnd);
    }));
    expectRefused(block([](ByteWriter& w) {
        paragraph(w, QStringLiteral("x"), 99);  // no such format
        w.u8(kEnd);
    }));
    expectRefused(block([](ByteWriter& w) {
        w.u8(kBlock);
        w.u32(1);
        w.u32(2);
        w.u32(3);  // no such list
        w.u32(0);
        w.u8(kEnd);
    }));
    expectRefused(block([](ByteWriter& w) {
        w.u8(kBlock);
        w.u32(1);
        w.u32(2);
        w.u32(kNone);
        w.u32(0x7FFFFFFF);  // more runs than bytes
        w.u8(kEnd);
    }));
}

}  // namespace
