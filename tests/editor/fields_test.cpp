// Fields: walking them in document order, the field at a position or around the caret,
// inserting without nesting or spreading, updating and renumbering.
#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>

#include "editor/document_model.h"
#include "editor/fields.h"
#include "editor/rich_text.h"
#include "support/gui_app.h"

using namespace arbor;

namespace {

class FieldsTest : public ::testing::Test {
  protected:
    void SetUp() override { test::ensureGuiApp(); }
    RichText page;
};

TEST_F(FieldsTest, WalkGivesEveryKindInDocumentOrderWithPositions) {
    page.insertText(QStringLiteral("前"));
    page.insertField(QStringLiteral("頁"), QStringLiteral("TG_1012"));
    page.insertText(QStringLiteral("\n"));
    QTextTable* table = page.insertTable(1, 2);
    page.setCursor(table->cellAt(0, 1).firstCursorPosition());
    page.insertField(QStringLiteral("用語"), QStringLiteral("TP_用語"));
    page.setCursor(table->lastCursorPosition());
    page.cursor().movePosition(QTextCursor::NextBlock);
    page.insertField(QStringLiteral("外"), QStringLiteral("https://example.com/"));
    page.insertField(QStringLiteral("[Script:x]"), QStringLiteral("LK_OBJ\t<script></script>"));

    const QList<fields::Field> list = page.allFields();
    ASSERT_EQ(list.size(), 4);
    QStringList data;
    for (const fields::Field& f : list)
        data << f.data;
    EXPECT_EQ(data, QStringList({QStringLiteral("TG_1012"), QStringLiteral("TP_用語"),
                                 QStringLiteral("https://example.com/"),
                                 QStringLiteral("LK_OBJ\t<script></script>")}));
    EXPECT_EQ(list[0].start, 1);
    EXPECT_EQ(list[0].text, QStringLiteral("頁"));
    // Positions really are where the text is.
    for (const fields::Field& f : list) {
        QTextCursor c(page.body());
        c.setPosition(f.start);
        c.setPosition(f.end(), QTextCursor::KeepAnchor);
        EXPECT_EQ(c.selectedText(), f.text);
    }
    // Two fields side by side stay two, each with its own id.
    EXPECT_EQ(list[3].start, list[2].end());
    EXPECT_NE(list[2].id, list[3].id);
}

TEST_F(FieldsTest, AFieldWithMixedFormattingIsOneField) {
    page.insertField(QStringLiteral("太字の部分"), QStringLiteral("TG_5"));
    page.setSelection(0, 2);
    page.setBold(true);
    const QList<fields::Field> list = page.allFields();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].text, QStringLiteral("太字の部分"));
    EXPECT_EQ(page.fieldAt(4)->id, list[0].id);
    EXPECT_FALSE(page.fieldAt(5).has_value());
}

TEST_F(FieldsTest, CaretInsideOnlyStrictlyWithinTheField) {
    page.insertText(QStringLiteral("ab"));
    page.insertField(QStringLiteral("cde"), QStringLiteral("TP_x"));
    page.insertText(QStringLiteral("fg"));
    page.setSelection(2, 0);
    EXPECT_FALSE(page.currentField().has_value());
    page.setSelection(3, 0);
    ASSERT_TRUE(page.currentField().has_value());
    EXPECT_EQ(page.currentField()->text, QStringLiteral("cde"));
    page.setSelection(5, 0);
    EXPECT_FALSE(page.currentField().has_value());
    page.setSelection(2, 3);  // the whole field selected
    EXPECT_TRUE(page.currentField().has_value());
    page.setSelection(1, 3);  // reaches outside
    EXPECT_FALSE(page.currentField().has_value());
}

TEST_F(FieldsTest, InsertingNeitherNestsNorSpreads) {
    page.insertField(QStringLiteral("外側"), QStringLiteral("TG_1"));
    page.insertText(QStringLiteral("続き"));  // typed behind the field: not part of it
    page.setSelection(1, 0);                  // inside the first field
    page.insertField(QStringLiteral("内"), QStringLiteral("TG_2"));
    const QList<fields::Field> list = page.allFields();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].text, QStringLiteral("外側"));
    EXPECT_EQ(list[1].text, QStringLiteral("内"));
    EXPECT_EQ(page.plainText(), QStringLiteral("外側内続き"));
    EXPECT_FALSE(page.insertField(QString(), QStringLiteral("TG_3")));
}

TEST_F(FieldsTest, AFieldBehindAPictureIsTextNotPicture) {
    QTextCursor c(page.body());
    QTextImageFormat picture;
    picture.setName(QStringLiteral("arbor-image:1.png"));
    c.insertImage(picture);  // as a paste would, leaving the picture format at the caret
    page.setCursor(c);
    ASSERT_TRUE(page.insertField(QStringLiteral("頁"), QStringLiteral("TG_3")));
    QTextCursor at(page.body());
    at.setPosition(2);
    EXPECT_FALSE(at.charFormat().isImageFormat());
    EXPECT_FALSE(at.charFormat().hasProperty(QTextFormat::ImageName));
    EXPECT_EQ(page.allFields().size(), 1);
}

TEST_F(FieldsTest, UpdateAndSetDataKeepTheField) {
    page.insertText(QStringLiteral("["));
    page.insertField(QStringLiteral("古い"), QStringLiteral("TG_1"));
    page.insertText(QStringLiteral("]"));
    const int id = page.allFields()[0].id;
    page.setSelection(2, 0);
    ASSERT_TRUE(page.updateCurrentField(QStringLiteral("新しい題"), QStringLiteral("TG_2")));
    ASSERT_EQ(page.allFields().size(), 1);
    EXPECT_EQ(page.allFields()[0].id, id);
    EXPECT_EQ(page.allFields()[0].data, QStringLiteral("TG_2"));
    EXPECT_EQ(page.plainText(), QStringLiteral("[新しい題]"));
    // The anchor a view reports on a click follows the data.
    QTextCursor c(page.body());
    c.setPosition(2);
    EXPECT_EQ(c.charFormat().anchorHref(), QStringLiteral("TG_2"));

    EXPECT_TRUE(page.setFieldData(id, QStringLiteral("TP_語")));
    EXPECT_EQ(page.allFields()[0].data, QStringLiteral("TP_語"));
    EXPECT_FALSE(page.setFieldData(id + 100, QStringLiteral("x")));
    page.setSelection(0, 0);
    EXPECT_FALSE(page.updateCurrentField(QStringLiteral("x"), QStringLiteral("TG_9")));
}

TEST_F(FieldsTest, RenumberGivesFreshIdsInOrder) {
    page.insertField(QStringLiteral("a"), QStringLiteral("TG_1"));
    page.insertText(QStringLiteral(" "));
    page.insertField(QStringLiteral("b"), QStringLiteral("TG_2"));
    fields::renumber(*page.body(), 40);
    const QList<fields::Field> list = page.allFields();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].id, 40);
    EXPECT_EQ(list[1].id, 41);
    EXPECT_EQ(fields::highestId(*page.body()), 41);
}

}  // namespace
