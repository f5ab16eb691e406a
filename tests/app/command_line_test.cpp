#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app_test_env.h"

namespace arbor {
namespace {

TEST(CommandLine, QuotedPathWithBlankThenPage) {
    const CommandLineArgs a = splitCommandLine(QStringLiteral("\"/home/u/My Docs/本.txdb\" 12"));
    EXPECT_EQ(a.database, QStringLiteral("/home/u/My Docs/本.txdb"));
    EXPECT_EQ(a.pageText, QStringLiteral("12"));
    EXPECT_EQ(a.page, 12);
}

TEST(CommandLine, UnquotedPathWithBlankSplitsAtFirstBlank) {
    const CommandLineArgs a = splitCommandLine(QStringLiteral("/home/u/My Docs/a.txdb 12"));
    EXPECT_EQ(a.database, QStringLiteral("/home/u/My"));
    EXPECT_EQ(a.pageText, QStringLiteral("Docs/a.txdb 12"));
    EXPECT_EQ(a.page, 0);
}

TEST(CommandLine, OnlyQuotedPathOrOnlyPlainPath) {
    CommandLineArgs a = splitCommandLine(QStringLiteral("\"/a b/c.txdb\""));
    EXPECT_EQ(a.database, QStringLiteral("/a b/c.txdb"));
    EXPECT_TRUE(a.pageText.isEmpty());
    EXPECT_EQ(a.page, 0);

    a = splitCommandLine(QStringLiteral("/a/c.txdb"));
    EXPECT_EQ(a.database, QStringLiteral("/a/c.txdb"));
    EXPECT_TRUE(a.pageText.isEmpty());

    a = splitCommandLine(QString());
    EXPECT_TRUE(a.database.isEmpty());
    EXPECT_EQ(a.page, 0);
}

TEST(CommandLine, PageNumberIsTheLeadingDigits) {
    EXPECT_EQ(splitCommandLine(QStringLiteral("\"/a.txdb\"   1012  ")).page, 1012);
    EXPECT_EQ(splitCommandLine(QStringLiteral("/a.txdb 12abc")).page, 12);
    EXPECT_EQ(splitCommandLine(QStringLiteral("/a.txdb abc")).page, 0);
    EXPECT_EQ(splitCommandLine(QStringLiteral("/a.txdb -5")).page, 0);
    // Larger than any page number: no page rather than a wrapped one.
    EXPECT_EQ(pageNumberOf(QStringLiteral("99999999999")), 0);
    EXPECT_EQ(pageNumberOf(QStringLiteral("2147483647")), 2147483647);
}

TEST(CommandLine, QuotesInsideTheDatabaseArgumentAreRemoved) {
    // Everything before the last quote is the database, without any quote.
    const CommandLineArgs a = splitCommandLine(QStringLiteral("\"/x\" \"/y z\" 7"));
    EXPECT_EQ(a.database, QStringLiteral("/x /y z"));
    EXPECT_EQ(a.page, 7);
}

TEST(CommandLine, JoinedArgumentsSplitBackIntoDatabaseAndPage) {
    const QString line =
        joinCommandLine({QStringLiteral("/data/My Docs/a.txdb"), QStringLiteral("40")});
    EXPECT_EQ(line, QStringLiteral("\"/data/My Docs/a.txdb\" 40"));
    const CommandLineArgs a = splitCommandLine(line);
    EXPECT_EQ(a.database, QStringLiteral("/data/My Docs/a.txdb"));
    EXPECT_EQ(a.page, 40);
    EXPECT_EQ(joinCommandLine({QStringLiteral("/a.txdb"), QStringLiteral("3")}),
              QStringLiteral("/a.txdb 3"));
}

TEST(CommandLine, DatabaseMustNameAnExistingFile) {
    test::AppTestEnv env;
    test::writeBytes(env.path("My Docs/a.txdb"), "x");
    CommandLineArgs a = splitCommandLine(joinCommandLine({env.path("My Docs/a.txdb"), "5"}));
    dropMissingDatabase(a);
    EXPECT_EQ(a.database, env.path("My Docs/a.txdb"));

    a = splitCommandLine(env.path("My Docs/a.txdb") + QStringLiteral(" 5"));  // unquoted
    dropMissingDatabase(a);
    EXPECT_TRUE(a.database.isEmpty());

    a = splitCommandLine(joinCommandLine({env.path("My Docs"), "5"}));  // a folder
    dropMissingDatabase(a);
    EXPECT_TRUE(a.database.isEmpty());
    EXPECT_EQ(a.page, 5);
}

}  // namespace
}  // namespace arbor
