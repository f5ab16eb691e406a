#include <gtest/gtest.h>

#include <QDateTime>

#include "app/zclt.h"
#include "app_test_env.h"

namespace arbor {
namespace {

const zClt clt;

TEST(ZcltLists, DelRwdCleansBlanksBesideCommasAndTrailingSeparators) {
    QString list = QStringLiteral("a, b ,c,,");
    clt.T_DelRwd(list, QStringLiteral(","));
    EXPECT_EQ(list, QStringLiteral("a,b,c"));

    list = QStringLiteral("1,2,,,");
    clt.T_DelRwd(list, QString());  // empty separator means ","
    EXPECT_EQ(list, QStringLiteral("1,2"));

    list = QStringLiteral(".1012.1040..");
    clt.T_DelRwd(list, QStringLiteral("."));
    EXPECT_EQ(list, QStringLiteral(".1012.1040"));

    list = QStringLiteral("a; b;");  // blanks matter only for ","
    clt.T_DelRwd(list, QStringLiteral(";"));
    EXPECT_EQ(list, QStringLiteral("a; b"));

    list = QStringLiteral(",,,");
    clt.T_DelRwd(list, QStringLiteral(","));
    EXPECT_TRUE(list.isEmpty());
}

TEST(ZcltLists, AddRwdAppendsOnlyWhenNeeded) {
    QString list;
    clt.T_AddRwd(list, QStringLiteral(","));
    EXPECT_TRUE(list.isEmpty());
    list = QStringLiteral("a");
    clt.T_AddRwd(list, QStringLiteral(","));
    EXPECT_EQ(list, QStringLiteral("a,"));
    clt.T_AddRwd(list, QStringLiteral(","));
    EXPECT_EQ(list, QStringLiteral("a,"));
}

TEST(ZcltWords, SpltWdSplitsAtTheFirstSeparatorIgnoringCase) {
    QString left, right;
    clt.T_SpltWd(QStringLiteral("Title : Sub : More"), QStringLiteral(":"), left, right);
    EXPECT_EQ(left, QStringLiteral("Title"));
    EXPECT_EQ(right, QStringLiteral("Sub : More"));

    clt.T_SpltWd(QStringLiteral("keyANDvalue"), QStringLiteral("and"), left, right);
    EXPECT_EQ(left, QStringLiteral("key"));
    EXPECT_EQ(right, QStringLiteral("value"));

    clt.T_SpltWd(QStringLiteral("  alone  "), QStringLiteral(":"), left, right);
    EXPECT_EQ(left, QStringLiteral("alone"));
    EXPECT_TRUE(right.isEmpty());
}

TEST(ZcltWords, LwdTakesWordsOneByOne) {
    QString text = QStringLiteral("a,b,c");
    EXPECT_EQ(clt.TsLwd(text, QStringLiteral(",")), QStringLiteral("a"));
    EXPECT_EQ(text, QStringLiteral("b,c"));

    text = QStringLiteral("  one  TAB two TAB  three ");
    QStringList words;
    while (!text.isEmpty())
        words << clt.TsLwd(text, QStringLiteral("tab"));
    EXPECT_EQ(words,
              (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));

    text = QStringLiteral("a,");  // a trailing separator leaves nothing behind
    EXPECT_EQ(clt.TsLwd(text, QStringLiteral(",")), QStringLiteral("a"));
    EXPECT_TRUE(text.isEmpty());
}

TEST(ZcltWords, BtwnFindsTheTextBetweenMarks) {
    EXPECT_EQ(clt.TsBtwn(QStringLiteral("<TITLE>Hi</Title><title>x</title>"),
                         QStringLiteral("<title>"), QStringLiteral("</title>")),
              QStringLiteral("Hi"));
    EXPECT_EQ(clt.TsBtwn(QStringLiteral("a=b"), QStringLiteral("="), QStringLiteral(";")),
              QStringLiteral("b"));  // the end mark is assumed at the end
    EXPECT_EQ(clt.TsBtwn(QStringLiteral("key=v;rest"), QString(), QStringLiteral("=")),
              QStringLiteral("key"));
    EXPECT_TRUE(
        clt.TsBtwn(QStringLiteral("a=b"), QStringLiteral("#"), QStringLiteral(";")).isEmpty());
    EXPECT_TRUE(clt.TsBtwn(QString(), QStringLiteral("a"), QStringLiteral("b")).isEmpty());
}

TEST(ZcltWords, InStrTxIgnoresCaseAndRejectsAnEmptyMark) {
    int position = 99;
    EXPECT_TRUE(clt.InStrTx(QStringLiteral("abcDEF"), QStringLiteral("def"), position));
    EXPECT_EQ(position, 3);
    EXPECT_FALSE(clt.InStrTx(QStringLiteral("abc"), QString(), position));
    EXPECT_FALSE(clt.InStrTx(QStringLiteral("abc"), QStringLiteral("x"), position));
    EXPECT_EQ(position, -1);
    EXPECT_TRUE(clt.InStrTx(QStringLiteral("ＡＢＣ文書"), QStringLiteral("ａｂｃ"), position));
    EXPECT_EQ(position, 0);
}

TEST(ZcltTrim, TrmCRRemovesEmptyLinesIndentsAndDoubleBlanks) {
    QString text =
        QStringLiteral("Para  one\r\n\r\n\r\n\r\n    indented   line\r\n  two\x01\r\nend");
    clt.T_TrmCR(text);
    EXPECT_EQ(text, QStringLiteral("Para one\r\nindented line\r\ntwo\r\nend"));
}

TEST(ZcltTrim, TrmCRUnifiesEveryLineBreak) {
    QString text = QStringLiteral("a\nb\r\rc\r\n\nd\n \n e\n");
    clt.T_TrmCR(text);
    EXPECT_EQ(text, QStringLiteral("a\r\nb\r\nc\r\nd\r\ne\r\n"));
}

TEST(ZcltTemplate, CnvSqFillsPlaceholdersLeftToRight) {
    QString t = QStringLiteral("a='?' and b=?");
    clt.T_CnvSq(t, {QStringLiteral("xy"), 5});
    EXPECT_EQ(t, QStringLiteral("a='xy' and b=5"));

    t = QStringLiteral("a='?' and b=?");
    clt.T_CnvSq(t, {QVariant(), 5});  // null removes its placeholder
    EXPECT_EQ(t, QStringLiteral("a='' and b=5"));

    t = QStringLiteral("? ? ?");
    clt.T_CnvSq(t, {1});
    EXPECT_EQ(t, QStringLiteral("1 ? ?"));

    t = QStringLiteral("only ?");
    clt.T_CnvSq(t, {1, 2, 3});
    EXPECT_EQ(t, QStringLiteral("only 1"));

    t = QStringLiteral("?/?");
    clt.T_CnvSq(t, {true, 1.5});
    EXPECT_EQ(t, QStringLiteral("True/1.5"));
}

TEST(ZcltTemplate, CnvSqKeepsQuestionMarksOfValues) {
    // A "?" inside a value is user text, never the next placeholder.
    QString t = QStringLiteral("a='?' and b=?");
    clt.T_CnvSq(t, {QStringLiteral("x?y"), 5});
    EXPECT_EQ(t, QStringLiteral("a='x?y' and b=5"));

    t = QStringLiteral("h1 { content: \"?\"; } p { margin: ?px; }");
    clt.T_CnvSq(t, {QStringLiteral("??"), 4});
    EXPECT_EQ(t, QStringLiteral("h1 { content: \"??\"; } p { margin: 4px; }"));
}

TEST(ZcltDates, ChkDyAcceptsDatesAndTimesOnly) {
    QDateTime d;
    EXPECT_TRUE(clt.TbChkDy(QStringLiteral("2024/1/5"), d));
    EXPECT_EQ(d, QDateTime(QDate(2024, 1, 5), QTime(0, 0)));
    EXPECT_TRUE(clt.TbChkDy(QStringLiteral("2024-01-05 13:04:05"), d));
    EXPECT_EQ(d, QDateTime(QDate(2024, 1, 5), QTime(13, 4, 5)));
    EXPECT_TRUE(clt.TbChkDy(QStringLiteral("2024-01-05T09:05:03.250"), d));
    EXPECT_EQ(d.time(), QTime(9, 5, 3));
    EXPECT_TRUE(clt.TbChkDy(QStringLiteral("12:30"), d));
    EXPECT_EQ(d, QDateTime(QDate(1899, 12, 30), QTime(12, 30)));

    const QDateTime before = d;
    EXPECT_FALSE(clt.TbChkDy(QStringLiteral("2024/02/30"), d));
    EXPECT_FALSE(clt.TbChkDy(QStringLiteral("2024/01/05 25:00"), d));
    EXPECT_FALSE(clt.TbChkDy(QStringLiteral("abc"), d));
    EXPECT_FALSE(clt.TbChkDy(QString(), d));
    EXPECT_EQ(d, before);  // untouched when the text is no date
}

TEST(ZcltNumbers, LeadingNumberReadsLikeTheSettingsFile) {
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("12abc")), 12);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("  -3.5e2x")), -350);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("1 000")), 1000);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("&H1F")), 31);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("1e")), 1);
    for (const char* none : {"abc", "", ".", "-", "inf", "nan", "0x10z"})
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromLatin1(none)), 0) << none;
}

TEST(ZcltNumbers, TrimBlanksLeavesOtherWhitespace) {
    EXPECT_EQ(trimBlanks(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    EXPECT_EQ(trimBlanks(QStringLiteral("\ta\r\n")), QStringLiteral("\ta\r\n"));
}

}  // namespace
}  // namespace arbor
