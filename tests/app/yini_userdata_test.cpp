#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSettings>

#include "app/yini.h"
#include "app_test_env.h"

namespace arbor {
namespace {

// A program "arbor" in <tmp>/prog with special folders inside the temporary folder.
class YiniUserData : public ::testing::Test {
  protected:
    test::AppTestEnv env;
    test::PrompterFixture prompts;
    yIni ini;

    void SetUp() override {
        QDir().mkpath(env.path("prog"));
        G().ProgramDir = env.path("prog") + QLatin1Char('/');
        G().ExeName = QStringLiteral("arbor");
        UserFolders folders;
        folders.appData = env.path("data");
        folders.documents = env.path("docs");
        folders.config = env.path("config");
        ini.setFolders(folders);
    }
    void writeToken(const QByteArray& token) {
        test::writeBytes(env.path("prog/UserData.ini"), token);
    }
    QString defaultFolder() const { return env.path("data") + QStringLiteral("/Marrow/arbor/"); }
};

TEST_F(YiniUserData, MissingFileGivesTheDefaultAndWritesTheToken) {
    EXPECT_TRUE(ini.W_UserData());
    EXPECT_EQ(G().UserPath, defaultFolder());
    EXPECT_TRUE(QFileInfo(defaultFolder()).isDir());
    EXPECT_EQ(test::readBytes(env.path("prog/UserData.ini")), QByteArray("%applicaion data%\r\n"));
    EXPECT_TRUE(G().ApDataPath.endsWith(QStringLiteral("/apData/")));
    EXPECT_TRUE(prompts.prompter.messages.isEmpty());
}

TEST_F(YiniUserData, EmptyFirstLineCountsAsMissing) {
    writeToken("\r\n%app%\r\n");
    ini.W_UserData();
    EXPECT_EQ(G().UserPath, defaultFolder());
    EXPECT_EQ(test::readBytes(env.path("prog/UserData.ini")), QByteArray("%applicaion data%\r\n"));
}

TEST_F(YiniUserData, AppTokenInAnyCaseSelectsTheFolderBesideTheProgram) {
    writeToken("%APP%\r\n");
    ini.W_UserData();
    EXPECT_EQ(G().UserPath, env.path("prog/usData/"));
    EXPECT_TRUE(QFileInfo(env.path("prog/usData")).isDir());
    EXPECT_EQ(test::readBytes(env.path("prog/UserData.ini")), QByteArray("%APP%\r\n"));
}

TEST_F(YiniUserData, DocumentTokensSelectTheDocumentsFolder) {
    const QString docs = env.path("docs") + QStringLiteral("/Marrow/arbor/");
    for (const QByteArray& token : {QByteArray("%doc"), QByteArray("%My Document%")}) {
        writeToken(token);
        ini.W_UserData();
        EXPECT_EQ(G().UserPath, docs) << token.constData();
    }
}

TEST_F(YiniUserData, OtherPercentTokensSelectTheDefault) {
    for (const QByteArray& token : {QByteArray("%usr%"), QByteArray("%Applicaion Data%"),
                                    QByteArray("%doc%"), QByteArray("%whatever")}) {
        writeToken(token);
        ini.W_UserData();
        EXPECT_EQ(G().UserPath, defaultFolder()) << token.constData();
    }
    EXPECT_TRUE(prompts.prompter.messages.isEmpty());
}

TEST_F(YiniUserData, ExistingFolderIsUsedWithItsOwnLetterCase) {
    QDir().mkpath(env.path("Shared Data/Arbor"));
    writeToken(env.path("Shared Data/Arbor").toUtf8());
    ini.W_UserData();
    EXPECT_EQ(G().UserPath, env.path("Shared Data/Arbor/"));
    EXPECT_TRUE(prompts.prompter.messages.isEmpty());
}

TEST_F(YiniUserData, MissingFolderFallsBackToTheDefaultWithAMessage) {
    const QString missing = env.path("NoSuch/Folder");
    writeToken(missing.toUtf8() + "\r\n");
    ini.W_UserData();
    EXPECT_EQ(G().UserPath, defaultFolder());
    ASSERT_EQ(prompts.prompter.messages.size(), 1);
    EXPECT_EQ(prompts.prompter.messages.first(),
              QStringLiteral("ﾌｫﾙﾀﾞ ") + missing + QStringLiteral(" が見つかりません\n") +
                  QStringLiteral("ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　") + defaultFolder() +
                  QStringLiteral(" を使用します"));
    EXPECT_FALSE(QFileInfo(missing).exists());
}

TEST_F(YiniUserData, ProgramPathIsRecordedForCompanionPrograms) {
    const QString conf = env.path("config/MarrowTools/MarrowTools.conf");
    ini.W_UserData();
    {
        QSettings s(conf, QSettings::IniFormat);
        EXPECT_EQ(s.value(QStringLiteral("Path/arbor")).toString(), env.path("prog/arbor"));
        s.setValue(QStringLiteral("Path/arbor"), QStringLiteral("/old/place/arbor"));
        s.setValue(QStringLiteral("Path/other"), QStringLiteral("/opt/other"));
    }
    ini.W_UserData();
    QSettings s(conf, QSettings::IniFormat);
    EXPECT_EQ(s.value(QStringLiteral("Path/arbor")).toString(), env.path("prog/arbor"));
    EXPECT_EQ(s.value(QStringLiteral("Path/other")).toString(), QStringLiteral("/opt/other"));
}

TEST_F(YiniUserData, ShellCommandsOpenHelpFilesAndFolders) {
    ini.W_Help(QStringLiteral("Start"));
    ini.W_Help(QStringLiteral("faq.html"));
    ini.W_ExpFd(QString(), true);
    ini.W_ExpFd(env.path("nowhere"), false);
    ini.W_ExpFd(env.path("prog"), false);
    ini.W_HtmView(QStringLiteral("https://example.com/a b"));
    ASSERT_EQ(env.opened.size(), 4);
    EXPECT_TRUE(env.opened[0].toString().endsWith(QStringLiteral("/start.htm")));
    EXPECT_TRUE(env.opened[1].toString().endsWith(QStringLiteral("/faq.html")));
    EXPECT_EQ(env.opened[2], QUrl::fromLocalFile(env.path("prog")));
    EXPECT_EQ(env.opened[3].host(), QStringLiteral("example.com"));
}

TEST_F(YiniUserData, SendToMakesADesktopEntryAndReportsIt) {
    ini.W_SendTo();
    const QString folder = env.path("data") + QStringLiteral("/applications");
    const QByteArray entry = test::readBytes(folder + QStringLiteral("/arbor.desktop"));
    EXPECT_TRUE(entry.contains(QByteArray("Exec=" + env.path("prog/arbor").toUtf8() + " %f")))
        << entry.constData();
    ASSERT_EQ(prompts.prompter.messages.size(), 1);
    EXPECT_EQ(prompts.prompter.messages.first(),
              QStringLiteral("arbor のｼｮｰﾄｶｯﾄを ") + folder + QStringLiteral(" に作成しました"));
}

}  // namespace
}  // namespace arbor
