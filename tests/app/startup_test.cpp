#include <gtest/gtest.h>

#include <QFileInfo>

#include "app/app_paths.h"
#include "app/command_line.h"
#include "app/startup.h"
#include "app/yini.h"
#include "app_test_env.h"

namespace arbor {
namespace {

TEST(StartupExeName, TrailingDvIsRemovedInAnyCase) {
    EXPECT_EQ(exeNameFromPath(QStringLiteral("/opt/arbor/bin/arbor")), QStringLiteral("arbor"));
    EXPECT_EQ(exeNameFromPath(QStringLiteral("/opt/arbor/bin/arbor_dv")), QStringLiteral("arbor"));
    EXPECT_EQ(exeNameFromPath(QStringLiteral("/x/Arbor_DV.exe")), QStringLiteral("Arbor"));
    EXPECT_EQ(exeNameFromPath(QStringLiteral("/x/arbor_Dv")), QStringLiteral("arbor"));
}

TEST(StartupExeName, DvElsewhereInTheNameStays) {
    EXPECT_EQ(exeNameFromPath(QStringLiteral("/x/my_dvtool")), QStringLiteral("my_dvtool"));
    EXPECT_EQ(exeNameFromPath(QStringLiteral("/x/_dv_arbor")), QStringLiteral("_dv_arbor"));
    EXPECT_EQ(exeNameFromPath(QStringLiteral("/x_dv/arbor")), QStringLiteral("arbor"));
    EXPECT_EQ(exeNameFromPath(QStringLiteral("/x/arbor_dv2")), QStringLiteral("arbor_dv2"));
}

class StartupRun : public ::testing::Test {
  protected:
    test::AppTestEnv env;
    test::PrompterFixture prompts;
    yIni ini;

    StartupInputs inputsFor(const QString& program, const QStringList& arguments) {
        test::writeBytes(program, "#!/bin/sh\n");
        StartupInputs in;
        in.programPath = program;
        in.commandLine = joinCommandLine(arguments);
        in.folders.appData = env.path("data");
        in.folders.documents = env.path("docs");
        in.folders.config = env.path("config");
        return in;
    }
};

TEST_F(StartupRun, PreparesFoldersSettingsAndCommandLine) {
    test::writeBytes(env.path("My Docs/本.txdb"), "db");
    const StartupInputs in =
        inputsFor(env.path("prog/arbor_dv"), {env.path("My Docs/本.txdb"), QStringLiteral("12")});
    const StartupResult r = runStartup(in, ini);

    const QString user = env.path("data") + QStringLiteral("/Marrow/arbor/");
    EXPECT_TRUE(G().RunMode);
    EXPECT_EQ(G().ExeName, QStringLiteral("arbor"));
    EXPECT_EQ(G().ProgramDir, env.path("prog") + QLatin1Char('/'));
    EXPECT_EQ(G().UserPath, user);
    EXPECT_EQ(G().WrkPath, user + QStringLiteral("Wrk/"));
    for (const char* sub : {"Wrk", "Site", "Dbs"})
        EXPECT_TRUE(QFileInfo(user + QLatin1String(sub)).isDir()) << sub;
    EXPECT_TRUE(QFileInfo(user + QStringLiteral("User.xml")).isFile());
    EXPECT_EQ(ini.filePath(), user + QStringLiteral("User.xml"));
    EXPECT_TRUE(r.settingsRead);
    EXPECT_EQ(ini.text(), yIni::skeleton());
    EXPECT_GT(G().workArea.width, 0);
    EXPECT_EQ(r.databasePath, env.path("My Docs/本.txdb"));
    EXPECT_EQ(r.pageNumber, 12);
    EXPECT_TRUE(prompts.prompter.messages.isEmpty());
}

TEST_F(StartupRun, MissingDatabaseIsDroppedButThePageStays) {
    const StartupResult r = runStartup(
        inputsFor(env.path("prog/arbor"), {env.path("nothing.txdb"), QStringLiteral("7")}), ini);
    EXPECT_TRUE(r.databasePath.isEmpty());
    EXPECT_EQ(r.pageNumber, 7);
}

TEST_F(StartupRun, KeepsExistingSettings) {
    const QString user = env.path("data") + QStringLiteral("/Marrow/arbor/");
    const QByteArray existing =
        "<?xml version='1.0' encoding='UTF-8' ?>\r\n<運用>\r\n   <最近>\r\n"
        "      <ACT>Dbs/a.txdb</ACT>\r\n   </最近>\r\n</運用>";
    test::writeBytes(user + QStringLiteral("User.xml"), existing);
    runStartup(inputsFor(env.path("prog/arbor"), {}), ini);
    ini.GetGtx(QStringLiteral("最近"));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("ACT"), QString()).toString(),
              QStringLiteral("Dbs/a.txdb"));
    EXPECT_EQ(test::readBytes(user + QStringLiteral("User.xml")), existing);
}

TEST(StartupApData, InstalledProgramUsesTheSharedDataFolder) {
    test::AppTestEnv env;
    QDir().mkpath(env.path("usr/share/arbor/apData"));
    QDir().mkpath(env.path("usr/bin"));
    EXPECT_EQ(apDataPathFor(env.path("usr/bin/")), env.path("usr/share/arbor/apData/"));
    // A build that is not installed reads the source tree's data.
    const QString fromBuild = apDataPathFor(env.path("build/src/"));
    EXPECT_TRUE(fromBuild.endsWith(QStringLiteral("/apData/")));
    EXPECT_TRUE(QFileInfo(fromBuild).isDir());
    // bin without an installed data folder is a build too.
    EXPECT_EQ(apDataPathFor(env.path("other/bin/")), fromBuild);
}

}  // namespace
}  // namespace arbor
