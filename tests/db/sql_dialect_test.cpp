// Translation of file-database statements for SQLite and PostgreSQL.
#include <gtest/gtest.h>

#include "db/sql_dialect.h"

using namespace arbor;

namespace {

QString one(const QString& sql, SqlDialect d) {
    const SqlTranslation t = translateSql(sql, d);
    EXPECT_TRUE(t.ok()) << t.error.toStdString();
    EXPECT_EQ(t.statements.size(), 1) << sql.toStdString();
    return t.statements.value(0);
}
QString lite(const QString& sql) {
    return one(sql, SqlDialect::SQLite);
}
QString pg(const QString& sql) {
    return one(sql, SqlDialect::PostgreSQL);
}

}  // namespace

TEST(SqlDialect, TopBecomesLimitAfterOrderBy) {
    EXPECT_EQ(lite("Select Top 1 noLfC From tbTree Where noLfP=0 Order By inSrt"),
              "Select noLfC From tbTree Where noLfP=0 Order By inSrt LIMIT 1");
    EXPECT_EQ(pg("Select Top 1 noLfC From tbTree Where noLfP=0 Order By inSrt"),
              "Select noLfC From tbTree Where noLfP=0 Order By inSrt NULLS FIRST LIMIT 1");
    // Inside a subquery the limit closes the subquery, not the statement.
    EXPECT_EQ(
        lite(
            "Select szDoc From msDoc Where noDoc = (Select Top 1 noLfC From tbTree Order By inSrt) "
            "Order By szDoc"),
        "Select szDoc From msDoc Where noDoc = (Select noLfC From tbTree Order By inSrt LIMIT 1) "
        "Order By szDoc");
    // A column that merely starts with "top" is left alone.
    EXPECT_EQ(lite("Select topX From t"), "Select topX From t");
    EXPECT_EQ(lite("Select Distinct Top 5 a From t"), "Select Distinct a From t LIMIT 5");
}

TEST(SqlDialect, NullsSortFirstAscendingOnPostgres) {
    EXPECT_EQ(pg("Select noLfC, boLnk From tbTree Order By noLfC, boLnk, dyUdt"),
              "Select noLfC, boLnk From tbTree Order By noLfC NULLS FIRST, boLnk NULLS FIRST, "
              "dyUdt NULLS FIRST");
    EXPECT_EQ(pg("Select a From t Order By a Desc, b ASC"),
              "Select a From t Order By a Desc NULLS LAST, b ASC NULLS FIRST");
    EXPECT_EQ(pg("Select a From t Order By a NULLS LAST"), "Select a From t Order By a NULLS LAST");
    // SQLite already orders nulls this way.
    EXPECT_EQ(lite("Select a From t Order By a Desc"), "Select a From t Order By a Desc");
    // Function calls with commas stay one term.
    EXPECT_EQ(pg("Select a From t Order By coalesce(a, b), c"),
              "Select a From t Order By coalesce(a, b) NULLS FIRST, c NULLS FIRST");
}

TEST(SqlDialect, LikeIgnoresCaseWithoutEscapeCharacter) {
    EXPECT_EQ(pg("Select noDoc From msDoc Where saTgs like '%.1012.%'"),
              "Select noDoc From msDoc Where saTgs ILIKE '%.1012.%' ESCAPE ''");
    EXPECT_EQ(pg("Select a From t Where a Not Like 'x\\y%'"),
              "Select a From t Where a Not ILIKE 'x\\y%' ESCAPE ''");
    EXPECT_EQ(lite("Select a From t Where a like 'A%'"), "Select a From t Where a like 'A%'");
    // The word inside text is not an operator.
    EXPECT_EQ(pg("Select a From t Where b = 'I like it'"), "Select a From t Where b = 'I like it'");
}

TEST(SqlDialect, DateLiteralsOfBothForms) {
    EXPECT_EQ(lite("Update tbTree Set dyUdt = #03/05/24 14:07:09# Where noLfP = 1"),
              "Update tbTree Set dyUdt = '2024-03-05 14:07:09' Where noLfP = 1");
    EXPECT_EQ(
        pg("Update tbTree Set dyUdt = convert(datetime,'2024/03/05 14:07:09') Where noLfP = 1"),
        "Update tbTree Set dyUdt = TIMESTAMP '2024-03-05 14:07:09' Where noLfP = 1");
    EXPECT_EQ(pg("Select a From t Where d > #12/31/99 23:59:59#"),
              "Select a From t Where d > TIMESTAMP '1999-12-31 23:59:59'");
    EXPECT_EQ(lite("Select a From t Where d > #1/2/2030#"),
              "Select a From t Where d > '2030-01-02 00:00:00'");
    EXPECT_FALSE(translateSql("Select a From t Where d > #13/45/24#", SqlDialect::SQLite).ok());
    EXPECT_FALSE(translateSql("Select a From t Where d > #03/05/24", SqlDialect::SQLite).ok());
}

TEST(SqlDialect, TwoDigitYearsFollowTheFileDatabaseWindow) {
    EXPECT_EQ(parseDateLiteral("01/01/29 00:00:00").date().year(), 2029);
    EXPECT_EQ(parseDateLiteral("01/01/30 00:00:00").date().year(), 1930);
    EXPECT_EQ(parseDateLiteral("2/29/24 7:05:00"), QDateTime(QDate(2024, 2, 29), QTime(7, 5, 0)));
    EXPECT_FALSE(parseDateLiteral("2/29/23 7:05:00").isValid());
    EXPECT_EQ(parseDateLiteral("2024-03-05T14:07:09"),
              QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
}

TEST(SqlDialect, AlterTableWithSeveralColumns) {
    SqlTranslation t =
        translateSql("Alter Table msDoc Add nDcS Long, iCmp integer", SqlDialect::SQLite);
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(t.statements, QStringList({"ALTER TABLE msDoc ADD COLUMN nDcS INTEGER",
                                         "ALTER TABLE msDoc ADD COLUMN iCmp INTEGER"}));
    t = translateSql("Alter Table msDoc Add nDcS Long, iCmp integer", SqlDialect::PostgreSQL);
    EXPECT_EQ(t.statements, QStringList({"ALTER TABLE msDoc ADD COLUMN nDcS integer, ADD COLUMN "
                                         "iCmp integer"}));
    t = translateSql("Alter Table tbTree Drop Column nLpS, nLcS, iCmp", SqlDialect::SQLite);
    EXPECT_EQ(t.statements, QStringList({"ALTER TABLE tbTree DROP COLUMN nLpS",
                                         "ALTER TABLE tbTree DROP COLUMN nLcS",
                                         "ALTER TABLE tbTree DROP COLUMN iCmp"}));
    t = translateSql("Alter Table tbTree Drop Column nLpS, nLcS", SqlDialect::PostgreSQL);
    EXPECT_EQ(t.statements, QStringList({"ALTER TABLE tbTree DROP COLUMN nLpS, DROP COLUMN nLcS"}));
}

TEST(SqlDialect, ColumnTypesOfBothEngines) {
    EXPECT_EQ(lite("Alter Table msDoc Add saTgs memo"), "ALTER TABLE msDoc ADD COLUMN saTgs TEXT");
    EXPECT_EQ(pg("Alter Table msDoc Add saTgs ntext"), "ALTER TABLE msDoc ADD COLUMN saTgs text");
    EXPECT_EQ(pg("Alter Table msDoc Add dyHtm datetime"),
              "ALTER TABLE msDoc ADD COLUMN dyHtm timestamp");
    EXPECT_EQ(lite("Alter Table msDoc Add dyHtm date"),
              "ALTER TABLE msDoc ADD COLUMN dyHtm DATETIME");
    EXPECT_EQ(
        pg("Create Table x (a Long Not Null Primary Key, b Text(255), c longbinary, d double, "
           "e date, Primary Key (a))"),
        "Create Table x (a integer Not Null Primary Key, b text, c bytea, d double "
        "precision, e timestamp, Primary Key (a))");
    EXPECT_EQ(lite("Create Table x (a Long Default 0, b memo)"),
              "Create Table x (a INTEGER Default 0, b TEXT)");
}

TEST(SqlDialect, TextLiteralsPassUntouched) {
    // Keywords, dates and placeholders inside text are text.
    EXPECT_EQ(pg("Update kaUsr Set HsPub='Select Top 1 #01/01/20# ?'"),
              "Update kaUsr Set HsPub='Select Top 1 #01/01/20# ?'");
    EXPECT_EQ(lite("Update kaUsr Set HsPub='O''Reilly'"), "Update kaUsr Set HsPub='O''Reilly'");
    // Double-quoted text of the file database becomes a standard literal.
    EXPECT_EQ(pg("Select a From t Where b = \"x'y\""), "Select a From t Where b = 'x''y'");
    // A value's question mark, kept by the placeholder fill, comes back.
    EXPECT_EQ(
        lite(QStringLiteral("Select a From t Where b = 'why") + QChar(kValueQuestionMark) + "'"),
        "Select a From t Where b = 'why?'");
    EXPECT_EQ(lite("Select [noDoc] From [msDoc]"), "Select noDoc From msDoc");
}

TEST(SqlDialect, RejectsWhatCannotRunSafely) {
    EXPECT_FALSE(translateSql("Select a From t Where b = 'open", SqlDialect::SQLite).ok());
    EXPECT_FALSE(translateSql("Delete From msDoc; Delete From tbTree", SqlDialect::SQLite).ok());
    // An unfilled placeholder would read as Null and hit nothing, silently.
    EXPECT_FALSE(translateSql("Delete From tbTree Where noLfP=?", SqlDialect::PostgreSQL).ok());
    EXPECT_TRUE(translateSql("Delete From msDoc;", SqlDialect::SQLite).ok());
}

TEST(SqlDialect, BoundParametersGetTheEngineMarkers) {
    SqlTranslation t = translateSql("Update msDoc Set obDoc=? Where noDoc=? And szDoc='?'",
                                    SqlDialect::PostgreSQL, true);
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(t.statements.value(0), "Update msDoc Set obDoc=$1 Where noDoc=$2 And szDoc='?'");
    t = translateSql("Update msDoc Set obDoc=? Where noDoc=?", SqlDialect::SQLite, true);
    EXPECT_EQ(t.statements.value(0), "Update msDoc Set obDoc=?1 Where noDoc=?2");
}

namespace {

SqlTranslation bound(const QString& sql, SqlDialect d = SqlDialect::PostgreSQL) {
    SqlTranslation t = translateAndBind(sql, d);
    EXPECT_TRUE(t.ok()) << t.error.toStdString();
    EXPECT_EQ(t.statements.size(), 1) << sql.toStdString();
    return t;
}

}  // namespace

TEST(SqlBind, ValuesLeaveTheTextSoItStaysTheSame) {
    const SqlTranslation a = bound("Update tbTree Set szDoc='第一' Where noLfP=0 and noLfC=1001");
    const SqlTranslation b = bound(
        "Update tbTree Set szDoc='O''Reilly''s \"本\" ?; DROP TABLE msDoc;--' Where "
        "noLfP=12 and noLfC=4294967296");
    EXPECT_EQ(a.statements[0], "Update tbTree Set szDoc=$1 Where noLfP=$2 and noLfC=$3");
    EXPECT_EQ(b.statements[0], a.statements[0]);
    EXPECT_EQ(b.params.values,
              QVariantList({"O'Reilly's \"本\" ?; DROP TABLE msDoc;--", 12, 4294967296LL}));
    // A whole number is typed as the server types the literal; text is left to its place.
    EXPECT_EQ(b.params.types,
              QVector<ParamType>({ParamType::Infer, ParamType::Int4, ParamType::Int8}));
    EXPECT_EQ(bound("Update t Set a=1 Where b=2", SqlDialect::SQLite).statements[0],
              "Update t Set a=?1 Where b=?2");
}

TEST(SqlBind, ValuesComeBackExactly) {
    const QString withMark =
        QStringLiteral("なぜ") + QChar(kValueQuestionMark) + QStringLiteral(" \\ 'x'");
    const SqlTranslation t = bound("Insert Into msDoc (noDoc, szDoc, wkRnd, txDoc) Values (-5, '" +
                                   QString(withMark).replace("'", "''") + "', 4294967296.5, \"\")");
    EXPECT_EQ(t.statements[0],
              "Insert Into msDoc (noDoc, szDoc, wkRnd, txDoc) Values (-$1, $2, $3, $4)");
    EXPECT_EQ(t.params.values, QVariantList({5, "なぜ? \\ 'x'", 4294967296.5, ""}));
    EXPECT_EQ(t.params.type(2), ParamType::Float8);
    // Dates of both forms become timestamps.
    const SqlTranslation d = bound(
        "Update tbTree Set dyUdt = convert(datetime,'2024/03/05 14:07:09') Where dyPub < "
        "#03/05/24 14:07:10#");
    EXPECT_EQ(d.statements[0], "Update tbTree Set dyUdt = $1 Where dyPub < $2");
    EXPECT_EQ(d.params.values, QVariantList({"2024-03-05 14:07:09", "2024-03-05 14:07:10"}));
    EXPECT_EQ(d.params.types, QVector<ParamType>({ParamType::Timestamp, ParamType::Timestamp}));
}

TEST(SqlBind, NamesAndTheShapeOfTheResultStayInTheText) {
    // A placeholder filled with a column name is a name, not a value.
    EXPECT_EQ(bound(" Update tbTree Set dyPub = #03/05/24 14:07:09# Where noLfP = 0 And noLfC = 5 ")
                  .statements[0],
              "Update tbTree Set dyPub = $1 Where noLfP = $2 And noLfC = $3");
    // Select list, Order By and Group By keep their literals (Order By 1 names a column).
    const SqlTranslation s = bound(
        "Select noLfC, 'x' As k, Max(inSrt)+1 From tbTree Where noLfP = 7 And szDoc Like 'a%' "
        "Group By noLfC Order By 1");
    EXPECT_EQ(s.statements[0],
              "Select noLfC, 'x' As k, Max(inSrt)+1 From tbTree Where noLfP = $1 And szDoc ILIKE "
              "$2 ESCAPE '' Group By noLfC Order By 1 NULLS FIRST");
    EXPECT_EQ(s.params.values, QVariantList({7, "a%"}));
    // A subquery in the conditions binds its own conditions.
    EXPECT_EQ(bound("Delete From msDoc Where noDoc In (Select noLfC From tbTree Where noLfP = 3) "
                    "And boUse = 0")
                  .statements[0],
              "Delete From msDoc Where noDoc In (Select noLfC From tbTree Where noLfP = $1) And "
              "boUse = $2");
    // Top n stays a number of the text.
    EXPECT_EQ(
        bound("Select Top 1 noLfC From tbTree Where noLfP=0 Order By inSrt", SqlDialect::SQLite)
            .statements[0],
        "Select noLfC From tbTree Where noLfP=?1 Order By inSrt LIMIT 1");
}

TEST(SqlBind, OtherStatementsAndHugeListsKeepTheirLiterals) {
    EXPECT_TRUE(bound("Alter Table msDoc Add boNew Long Default 0").params.isEmpty());
    EXPECT_TRUE(bound("Create Table x (a Text(255) Default 'y')").params.isEmpty());
    QStringList numbers;
    for (int i = 0; i <= kMaxBoundValues; ++i)
        numbers << QString::number(i);
    const SqlTranslation many =
        bound("Delete From tbTree Where noLfC In (" + numbers.join(",") + ")");
    EXPECT_TRUE(many.params.isEmpty());
    EXPECT_TRUE(many.statements[0].endsWith(QString::number(kMaxBoundValues) + ")"));
    // A number beyond 64 bits is left for the server to read.
    const SqlTranslation big = bound("Select a From t Where b = 99999999999999999999");
    EXPECT_TRUE(big.params.isEmpty());
}
