#include <gtest/gtest.h>

#include <QFileInfo>
#include <QStandardPaths>

#include "app/desktop_entry.h"
#include "app/file_type.h"
#include "app_test_env.h"

namespace arbor {
namespace {

class FileType : public ::testing::Test {
  protected:
    test::AppTestEnv env;
    test::PrompterFixture prompts;
    QString program;
    void SetUp() override {
        program = env.path("My Programs/arbor");
        test::writeBytes(program, "#!/bin/sh\n");
    }
};

TEST_F(FileType, RegistersMimeTypeAndDesktopEntry) {
    EXPECT_TRUE(registerDocumentFileType(program, env.dataHome()));
    const QByteArray mime = test::readBytes(env.dataHome() + "/mime/packages/arbor-txdbfile.xml");
    EXPECT_TRUE(mime.contains("type=\"application/x-txdb\"")) << mime.constData();
    EXPECT_TRUE(mime.contains("<glob pattern=\"*.txdb\"/>"));
    const QByteArray entry =
        test::readBytes(env.dataHome() + "/applications/arbor-txdbfile.desktop");
    EXPECT_TRUE(entry.contains("MimeType=application/x-txdb;\n")) << entry.constData();
    EXPECT_TRUE(entry.contains(QByteArray("Exec=\"" + program.toUtf8() + "\" %f\n")))
        << entry.constData();
    ASSERT_EQ(prompts.prompter.messages.size(), 1);
    EXPECT_EQ(prompts.prompter.messages.first(), QStringLiteral("拡張子(*.txdb)を ") + program +
                                                     QStringLiteral(" と関連付けしました"));
    if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()) {
        // The desktop's own tool accepted the package.
        EXPECT_TRUE(QFileInfo::exists(env.dataHome() + "/mime/application/x-txdb.xml"));
    }
}

TEST_F(FileType, MissingProgramRegistersNothing) {
    bool ok = true;
    RegFileType(QStringLiteral("txdbfile"), env.path("nope/arbor"), QStringLiteral("txdb"), ok,
                env.dataHome());
    EXPECT_FALSE(ok);
    ASSERT_EQ(prompts.prompter.messages.size(), 1);
    EXPECT_EQ(prompts.prompter.messages.first(),
              env.path("nope/arbor") + QStringLiteral(" Not Found"));
    EXPECT_FALSE(QFileInfo::exists(env.dataHome() + "/applications"));
    EXPECT_FALSE(QFileInfo::exists(env.dataHome() + "/mime"));
}

TEST_F(FileType, UnwritableDataFolderReportsTheFailure) {
    test::writeBytes(env.path("blocked"), "x");
    EXPECT_FALSE(registerDocumentFileType(program, env.path("blocked")));
    ASSERT_EQ(prompts.prompter.messages.size(), 1);
    EXPECT_EQ(prompts.prompter.messages.first(),
              QStringLiteral("拡張子(*.txdb)の関連付けできませんでした\n") +
                  QStringLiteral(
                      "OS がVista以降で UACを有効にしている場合は、管理者として実行して下さい"));
}

TEST_F(FileType, DefaultDataFolderIsXdgDataHome) {
    bool ok = false;
    RegFileType(QStringLiteral("txdbfile"), program, QStringLiteral("txdb"), ok);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(QFileInfo::exists(env.dataHome() + "/applications/arbor-txdbfile.desktop"));
}

TEST(DesktopEntryExec, ArgumentsAreQuotedAndEscaped) {
    EXPECT_EQ(desktopExecArgument(QStringLiteral("/usr/bin/arbor")),
              QStringLiteral("/usr/bin/arbor"));
    EXPECT_EQ(desktopExecArgument(QStringLiteral("/opt/My Apps/arbor")),
              QStringLiteral("\"/opt/My Apps/arbor\""));
    EXPECT_EQ(desktopExecArgument(QStringLiteral("/opt/$x\"y/a`b")),
              QStringLiteral("\"/opt/\\$x\\\"y/a\\`b\""));
    EXPECT_EQ(desktopExecArgument(QStringLiteral("/opt/100%/arbor")),
              QStringLiteral("/opt/100%%/arbor"));
    // In the file the Exec value's own backslashes are escaped again.
    DesktopEntry e;
    e.name = QStringLiteral("Arbor");
    e.exec = QStringLiteral("/opt/a\\b/arbor");
    e.execArguments = QStringLiteral("%f");
    EXPECT_TRUE(
        desktopEntryText(e).contains(QStringLiteral("Exec=\"/opt/a\\\\\\\\b/arbor\" %f\n")));
}

}  // namespace
}  // namespace arbor
