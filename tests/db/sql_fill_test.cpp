// Filling "?" placeholders: the template convention, and values that must not
// break or alter a statement.
#include <gtest/gtest.h>

#include "db/sql_dialect.h"
#include "db/sql_fill.h"

using namespace arbor;

namespace {

QString fill(QString sql, const QVariantList& values, bool jet = true) {
    fillSqlPlaceholders(sql, values, jet);
    return sql;
}
// What the engine finally receives.
QString sent(const QString& filled) {
    return translateSql(filled, SqlDialect::SQLite).statements.value(0);
}

}  // namespace

TEST(SqlFill, TemplateConvention) {
    EXPECT_EQ(fill("a='?' and b=?", {"xy", 5}), "a='xy' and b=5");
    // A null value removes its placeholder.
    EXPECT_EQ(fill("a='?' and b=?", {QVariant(), 5}), "a='' and b=5");
    // Placeholders beyond the last value stay for a later fill.
    EXPECT_EQ(fill("a=? and b=? and c=?", {1}), "a=1 and b=? and c=?");
    EXPECT_EQ(fill(fill("a=? and b=?", {1}), {2}), "a=1 and b=2");
    // Column names, dates of both dialects and number lists are bare values.
    EXPECT_EQ(fill(" Update tbTree Set ? = ? Where noLfP = ? And noLfC = ? ",
                   {"dyPub", "#03/05/24 14:07:09#", 0, 1001}),
              " Update tbTree Set dyPub = #03/05/24 14:07:09# Where noLfP = 0 And noLfC = 1001 ");
    EXPECT_EQ(fill("d=?", {"convert(datetime,'2024/03/05 14:07:09')"}, false),
              "d=convert(datetime,'2024/03/05 14:07:09')");
    EXPECT_EQ(fill("Delete From tbTree Where noLfP = ? And noLfC in ( ? )", {7, "1001,1002, 1003"}),
              "Delete From tbTree Where noLfP = 7 And noLfC in ( 1001,1002, 1003 )");
    EXPECT_EQ(fill("w=?", {4294967296.5}), "w=4294967296.5");
    EXPECT_EQ(fill("f=?", {true}), "f=1");
}

TEST(SqlFill, QuestionMarksInValuesAreKeptAndNeverFillLater) {
    const QString once = fill("a='?' and b=?", {"x?y"});
    EXPECT_EQ(fill(once, {5}).count(u'?'), 0);
    EXPECT_EQ(sent(fill(once, {5})), "a='x?y' and b=5");
}

TEST(SqlFill, HostileTextStaysOneLiteral) {
    const QString title = "O'Reilly's \"本\" ?; DROP TABLE msDoc;--";
    const QString sql = fill("Update msDoc Set szDoc='?' Where noDoc=?", {title, 1001});
    EXPECT_EQ(sent(sql),
              "Update msDoc Set szDoc='O''Reilly''s \"本\" ?; DROP TABLE msDoc;--' "
              "Where noDoc=1001");
    // Inside double quotes the double quote is doubled.
    EXPECT_EQ(fill("a=\"?\"", {"say \"hi\""}), "a=\"say \"\"hi\"\"\"");
    // NUL characters cannot live in text on the server and would cut the statement.
    EXPECT_EQ(fill("a='?'", {QString(QString("x") + QChar(0) + "y")}), "a='xy'");
}

TEST(SqlFill, BareSlotsOnlyTakeHarmlessTokens) {
    // Text that is not a number, name, list or date goes in as a literal.
    EXPECT_EQ(fill("Select a From t Where n=?", {"1 or 1=1"}),
              "Select a From t Where n='1 or 1=1'");
    EXPECT_EQ(fill("Select a From t Where n=?", {"0; Delete From msDoc"}),
              "Select a From t Where n='0; Delete From msDoc'");
    EXPECT_EQ(fill("Select a From t Where n=?", {"x'--"}), "Select a From t Where n='x''--'");
    EXPECT_EQ(fill("Select a From t Where n in (?)", {"1,2) or (1=1"}),
              "Select a From t Where n in ('1,2) or (1=1')");
    // A date-looking value with more in it is not a date literal.
    EXPECT_EQ(fill("d=?", {"#01/01/20# or 1=1"}), "d='#01/01/20# or 1=1'");
}

TEST(SqlFill, QuotesInTheTemplateAreTracked) {
    // The second slot follows a closed literal that contains a doubled quote.
    EXPECT_EQ(fill("a='it''s' and b=? and c='?'", {"x y", "p'q"}),
              "a='it''s' and b='x y' and c='p''q'");
    EXPECT_EQ(fill("a like '%?%'", {"50%"}), "a like '%50%%'");
}
