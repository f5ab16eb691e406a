// User formats: the stored text, defaults for what is missing or malformed, the two
// editor options, saving on both engines and the check for web-compatible sizes.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/yini.h"
#include "db/zsvr.h"
#include "editor/user_formats.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"

using namespace arbor;
using arbor::test::DbEngine;

namespace {

const QString kBodyLine = QStringLiteral("ＭＳ Ｐゴシック|10|0|16777215|0|0|0|0|0|60|0|0|0|0");

QString line(const QString& font, int size, int frame3 = 0, int fields = 14) {
    QStringList parts = {font, QString::number(size),   "1",  "2",  "1",  "2",  "3",
                         "4",  QString::number(frame3), "10", "20", "30", "40", "50"};
    while (parts.size() > fields)
        parts.removeLast();
    while (parts.size() < fields)
        parts << "9";
    return parts.join('|');
}

class UserFormatsTest : public ::testing::Test {
  protected:
    test::PrompterFixture ui;
    QTemporaryDir dir;
    Frmt table;

    void SetUp() override {
        bool ok = false;
        Ini().GetTxt(dir.filePath("User.xml"), ok);
        ASSERT_TRUE(ok);
    }
    void setSizes(int h1, int h2, int h3, int body, int emphasis) {
        table.format(kHeading1).FontSize = static_cast<int16_t>(h1);
        table.format(kHeading2).FontSize = static_cast<int16_t>(h2);
        table.format(kHeading3).FontSize = static_cast<int16_t>(h3);
        table.format(kBody).FontSize = static_cast<int16_t>(body);
        table.format(kEmphasis).FontSize = static_cast<int16_t>(emphasis);
    }
    QList<int> sizes() const {
        QList<int> s;
        for (int i = 0; i < 5; ++i)
            s << table.format(i).FontSize;
        return s;
    }
};

}  // namespace

TEST_F(UserFormatsTest, DefaultsAndTheirStoredForm) {
    EXPECT_EQ(FormatLine(defaultUserFormat(kBody)), kBodyLine);
    EXPECT_EQ(FormatLine(defaultUserFormat(kHeading1)),
              "ＭＳ Ｐゴシック|14|5266053|16777215|1|0|0|0|0|160|180|160|0|0");
    EXPECT_EQ(defaultUserFormat(kHeader).ParaAlign, 1);
    EXPECT_EQ(styleNames(), QStringList({"見出１", "見出２", "見出３", "本文", "強調", "補足"}));
    const QString text = defaultFormatsText();
    const QStringList elements = text.split('\r', Qt::SkipEmptyParts);
    ASSERT_EQ(elements.size(), 9);
    EXPECT_EQ(elements[0], "<USR_LSP>1.2</USR_LSP>");
    EXPECT_EQ(elements[4], "<USR_FORMAT_3>" + kBodyLine + "</USR_FORMAT_3>");
    EXPECT_EQ(elements[8].left(15), "<USR_FORMAT_7>Ｍ");
    EXPECT_FALSE(text.contains('\n'));
}

TEST_F(UserFormatsTest, LineSpacingFactor) {
    EXPECT_EQ(lineSpacingText(1.2f), "1.2");
    EXPECT_EQ(lineSpacingText(1.0f), "1");
    EXPECT_EQ(lineSpacingText(1.5f), "1.5");
    for (const char* bad : {"0.9", "2.5", "abc", "", "-1.5"}) {
        table.LineSpacingFactor = 1.7f;
        table.setLineSpacingText(bad);
        EXPECT_FLOAT_EQ(table.LineSpacingFactor, 1.2f) << bad;
    }
    table.setLineSpacingText("2");
    EXPECT_FLOAT_EQ(table.LineSpacingFactor, 2.0f);
    table.setLineSpacingText("1.0");
    EXPECT_FLOAT_EQ(table.LineSpacingFactor, 1.0f);
    table.setLineSpacingText("1.3x");
    EXPECT_FLOAT_EQ(table.LineSpacingFactor, 1.3f);
}

TEST_F(UserFormatsTest, MalformedLinesRevertOnlyTheirOwnFormat) {
    table.ParseUserFormat(line("明朝", 16), kHeading1);
    table.ParseUserFormat(line("明朝", 15, 0, 13), kHeading2);
    table.ParseUserFormat(line("明朝", 15, 0, 15), kHeading3);
    table.ParseUserFormat("", kBody);
    table.ParseUserFormat(line("明朝", 70000), kEmphasis);  // does not fit the field
    table.ParseUserFormat(line("明朝", 12, 32), kNote);     // the old "no frame"
    EXPECT_EQ(table.format(kHeading1).FontName, "明朝");
    EXPECT_EQ(table.format(kHeading1).FontSize, 16);
    EXPECT_EQ(table.format(kHeading1).ParaDist5, 50);
    EXPECT_EQ(table.format(kHeading2), defaultUserFormat(kHeading2));
    EXPECT_EQ(table.format(kHeading3), defaultUserFormat(kHeading3));
    EXPECT_EQ(table.format(kBody), defaultUserFormat(kBody));
    EXPECT_EQ(table.format(kEmphasis), defaultUserFormat(kEmphasis));
    EXPECT_EQ(table.format(kNote).ParaFrame3, kNoFrame);
    EXPECT_TRUE(FormatLine(table.format(kNote)).contains("|7936|"));
    // Lenient numbers: leading digits count, half rounds to even.
    table.ParseUserFormat("x|12pt|255|0|1|0|0|0|0|60.5|0|0|0|0", kBody);
    EXPECT_EQ(table.format(kBody).FontSize, 12);
    EXPECT_EQ(table.format(kBody).ParaDist1, 60);
}

TEST_F(UserFormatsTest, CheckLeavesGoodSizesAndFixesTheNote) {
    setSizes(14, 13, 12, 12, 12);
    table.format(kNote).FontName = "other";
    table.format(kNote).BackColor = 0x123456;
    table.CheckHtmlFormats();
    EXPECT_EQ(sizes(), QList<int>({14, 13, 12, 12, 12}));
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
    EXPECT_EQ(table.format(kNote).FontName, table.format(kBody).FontName);
    EXPECT_EQ(table.format(kNote).BackColor, 0xFFFFFF);
}

TEST_F(UserFormatsTest, CheckRewritesHeadingSizesInOrder) {
    setSizes(12, 12, 12, 12, 12);
    EXPECT_TRUE(table.CheckHtmlFormats());
    EXPECT_EQ(sizes(), QList<int>({15, 14, 13, 12, 12}));
    EXPECT_EQ(ui.prompter.messages, QStringList({"見出しのﾌｫﾝﾄｻｲｽﾞ順に変えます"}));
    // A third heading smaller than the body brings the body down to 12 as well.
    ui.prompter.messages.clear();
    setSizes(16, 15, 13, 14, 14);
    EXPECT_TRUE(table.CheckHtmlFormats());
    EXPECT_EQ(sizes(), QList<int>({15, 14, 13, 12, 12}));
    setSizes(20, 18, 16, 14, 14);
    table.CheckHtmlFormats();
    EXPECT_EQ(sizes(), QList<int>({20, 18, 16, 14, 14}));
}

TEST_F(UserFormatsTest, CheckRefusesBodySizesTheWebCannotShow) {
    for (auto [body, emphasis] : {std::pair{11, 11}, std::pair{12, 10}}) {
        ui.prompter.messages.clear();
        setSizes(9, 9, 9, body, emphasis);
        table.format(kNote).FontName = "other";
        EXPECT_FALSE(table.CheckHtmlFormats());
        EXPECT_EQ(sizes(), QList<int>({9, 9, 9, body, emphasis}));
        EXPECT_EQ(table.format(kNote).FontName, "other");
        ASSERT_EQ(ui.prompter.messages.size(), 1);
        EXPECT_TRUE(
            ui.prompter.messages[0].startsWith("HTMに対応の場合､本文のﾌｫﾝﾄｻｲｽﾞは 10(x_small)"));
        EXPECT_TRUE(ui.prompter.messages[0].endsWith("\r本文と強調は同じｻｲｽﾞにしてさい"));
    }
}

namespace {

class UserFormatsDbTest : public ::testing::TestWithParam<DbEngine> {
  protected:
    test::PrompterFixture ui;
    QTemporaryDir dir;
    void SetUp() override {
        bool ok = false;
        Ini().GetTxt(dir.filePath("User.xml"), ok);
        ASSERT_TRUE(ok);
        registerUserFormatLoading();
    }
    void TearDown() override { zSvr::setOpenHook(nullptr); }
    void storeDmFmt(const QString& text) {
        QString sql = "Update kaUsr Set DmFmt='?'";
        zSvr::instance().T_CnvSq(sql, {text});
        ASSERT_TRUE(zSvr::instance().D_ExeSq(sql)) << zSvr::instance().lastError().toStdString();
    }
};

}  // namespace

TEST_P(UserFormatsDbTest, LoadedByTheOpenAndSavedBack) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    Frmt& table = Frmt::instance();
    // Empty DmFmt: all defaults.
    EXPECT_TRUE(table.LoadUserFormats());
    for (int i = 0; i < kUserFormatCount; ++i)
        EXPECT_EQ(table.format(i), defaultUserFormat(i));

    // Elements in any order, an old element, a missing one; the open loads them.
    storeDmFmt("<USR_FORMAT_3>" + line("O'Reilly \"体\" ?", 12) +
               "</USR_FORMAT_3>\r<USR_NWL>1</USR_NWL>\r"
               "<USR_LSP>1.5</USR_LSP>\r<USR_FORMAT_0>" +
               line("見出し体", 18, 32) + "</USR_FORMAT_0>\r");
    table.resetToDefaults();
    bool ok = false;
    zSvr::instance().D_StDcDb(doc->path(), ok);
    ASSERT_TRUE(ok) << zSvr::instance().lastError().toStdString();
    EXPECT_FLOAT_EQ(table.LineSpacingFactor, 1.5f);
    EXPECT_EQ(table.format(kBody).FontName, "O'Reilly \"体\" ?");
    EXPECT_EQ(table.format(kBody).FontSize, 12);
    EXPECT_EQ(table.format(kHeading1).ParaFrame3, kNoFrame);
    EXPECT_EQ(table.format(kHeading2), defaultUserFormat(kHeading2));

    // Saving writes all nine elements, drops the old one, and reads back the same.
    table.UsrDtp = false;
    ASSERT_TRUE(table.SaveUserFormats());
    const QString stored = zSvr::instance().R_GtVaL("Select DmFmt From kaUsr", "").toString();
    EXPECT_EQ(stored, table.dmFmtText());
    EXPECT_FALSE(stored.contains("USR_NWL"));
    EXPECT_EQ(stored.count('\r'), 9);
    EXPECT_TRUE(stored.contains("|7936|"));
    Frmt again;
    again.UsrDtp = true;
    ASSERT_TRUE(again.LoadUserFormats());
    for (int i = 0; i < kUserFormatCount; ++i)
        EXPECT_EQ(again.format(i), table.format(i)) << i;
    EXPECT_FALSE(again.UsrDtp);
    EXPECT_TRUE(again.UsrEntShift);
    // The options reached the settings file itself.
    QFile xml(dir.filePath("User.xml"));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(xml.readAll());
    EXPECT_TRUE(written.contains("<USR_DTP>False</USR_DTP>")) << written.toStdString();
    EXPECT_TRUE(written.contains("<USR_ENT_SHIFT>True</USR_ENT_SHIFT>"));
}

TEST_P(UserFormatsDbTest, UnreadableDatabaseFailsTheLoadAndTheOpen) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    Frmt& table = Frmt::instance();
    table.format(kBody).FontSize = 14;
    ASSERT_TRUE(zSvr::instance().D_ExeSq("Alter Table kaUsr Drop Column DmFmt"));
    EXPECT_FALSE(table.LoadUserFormats());
    EXPECT_EQ(table.format(kBody).FontSize, 14);  // what was set stays
    bool ok = true;
    zSvr::instance().D_StDcDb(doc->path(), ok);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(zSvr::instance().isOpen());
}

ARBOR_INSTANTIATE_ENGINES(UserFormatsDbTest);
