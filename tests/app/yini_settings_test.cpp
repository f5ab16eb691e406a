#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>
#include <QStringEncoder>

#include "app/yini.h"
#include "app_test_env.h"

namespace arbor {
namespace {

const QString kDecl = QStringLiteral("<?xml version='1.0' encoding='UTF-8' ?>");

class YiniSettings : public ::testing::Test {
  protected:
    test::AppTestEnv env;
    test::PrompterFixture prompts;
    QString file;

    void SetUp() override {
        file = env.path("user/User.xml");
        QDir().mkpath(env.path("user"));
    }

    // A settings file of these lines, CR LF separated.
    void writeLines(const QStringList& lines) {
        test::writeBytes(file, lines.join(QStringLiteral("\r\n")).toUtf8());
    }
    QString damageMessage(const QString& key) const {
        return QLatin1Char('<') + key + QStringLiteral("> の設定が読み込めません\n") +
               QStringLiteral("ﾕｰｻﾞｰ環境ﾌｧｲﾙ(") + file + QStringLiteral(") が破損しています");
    }
};

TEST_F(YiniSettings, MissingFileIsCreatedAndReadsAsTheSkeleton) {
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(QFileInfo(file).isFile());
    EXPECT_EQ(ini.text(), kDecl + QStringLiteral("\r\n<運用>\r\n</運用>"));
    ini.GetGtx(QStringLiteral("位置"));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("TrxWd"), 2800).toInt(), 2800);
    EXPECT_EQ(ini.vGtVal(QStringLiteral("Function"), QStringLiteral("表示")).toString(),
              QStringLiteral("表示"));
    EXPECT_TRUE(prompts.prompter.messages.isEmpty());
}

TEST_F(YiniSettings, WrittenFileHasTheExactLayout) {
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    ini.GetGtx(QStringLiteral("位置"));
    ini.SetVal(QStringLiteral("Left"), 120);
    ini.SetVal(QStringLiteral("Function"), QStringLiteral("非表示"));
    ini.SetGtx();
    ini.GetGtx(QStringLiteral("最近"));
    ini.SetVal(QStringLiteral("開始頁"), QStringLiteral("開く"));
    ini.SetGtx();
    ini.SetTxt(ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(test::readBytes(file), (kDecl + QStringLiteral("\r\n<運用>\r\n"
                                                             "   <位置>\r\n"
                                                             "      <Left>120</Left>\r\n"
                                                             "      <Function>非表示</Function>\r\n"
                                                             "   </位置>\r\n"
                                                             "   <最近>\r\n"
                                                             "      <開始頁>開く</開始頁>\r\n"
                                                             "   </最近>\r\n"
                                                             "</運用>"))
                                         .toUtf8());
}

TEST_F(YiniSettings, TypedValuesSurviveARoundTrip) {
    const QDateTime when(QDate(2024, 3, 9), QTime(7, 5, 4));
    {
        yIni ini;
        bool ok = false;
        ini.GetTxt(file, ok);
        ini.GetGtx(QStringLiteral("DC_保存"));
        ini.SetVal(QStringLiteral("SaveDoc"), QStringLiteral("無効"));
        ini.SetVal(QStringLiteral("自動"), true);
        ini.SetVal(QStringLiteral("手動"), false);
        ini.SetVal(QStringLiteral("日時"), when);
        ini.SetVal(QStringLiteral("率"), 1.25);
        ini.SetVal(QStringLiteral("件数"), 42);
        ini.SetGtx();
        ini.SetTxt(ok);
        ASSERT_TRUE(ok);
    }
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    ASSERT_TRUE(ok);
    ini.GetGtx(QStringLiteral("DC_保存"));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("SaveDoc"), QStringLiteral("有効")).toString(),
              QStringLiteral("無効"));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("自動"), false), QVariant(true));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("手動"), true), QVariant(false));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("日時"), QDateTime()).toDateTime(), when);
    EXPECT_DOUBLE_EQ(ini.vGtVal(QStringLiteral("率"), 0.0).toDouble(), 1.25);
    const QVariant count = ini.vGtVal(QStringLiteral("件数"), 0);
    EXPECT_EQ(count.typeId(), QMetaType::Int);
    EXPECT_EQ(count.toInt(), 42);
    // Missing keys give their defaults, typed as given.
    EXPECT_EQ(ini.vGtVal(QStringLiteral("無い"), 5).toInt(), 5);
    EXPECT_EQ(ini.vGtVal(QStringLiteral("無い"), true), QVariant(true));
}

TEST_F(YiniSettings, RewritingAGroupKeepsTheOthersInPlace) {
    writeLines({kDecl, QStringLiteral("<運用>"), QStringLiteral("   <A>"),
                QStringLiteral("      <k>1</k>"), QStringLiteral("   </A>"),
                QStringLiteral("   <B>"), QStringLiteral("      <k>2</k>"),
                QStringLiteral("      <j>x</j>"), QStringLiteral("   </B>"),
                QStringLiteral("   <C>"), QStringLiteral("   </C>"), QStringLiteral("</運用>")});
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    const QString before = ini.text();
    ini.GetGtx(QStringLiteral("B"));
    EXPECT_EQ(ini.groupText(), QStringLiteral("      <k>2</k>\r\n      <j>x</j>\r\n"));
    ini.SetGtx();
    EXPECT_EQ(ini.text(), before);  // storing an unchanged group changes nothing
    ini.SetVal(QStringLiteral("k"), QStringLiteral("22"));
    ini.SetGtx();
    EXPECT_EQ(ini.text(),
              QString(before).replace(QStringLiteral("<k>2</k>"), QStringLiteral("<k>22</k>")));
    ini.GetGtx(QStringLiteral("C"));
    EXPECT_TRUE(ini.groupText().isEmpty());
    EXPECT_EQ(ini.vGtVal(QStringLiteral("k"), 9).toInt(), 9);
}

TEST_F(YiniSettings, DuplicateKeyChangesOnlyTheFirst) {
    writeLines({kDecl, QStringLiteral("<運用>"), QStringLiteral("   <G>"),
                QStringLiteral("      <k>1</k>"), QStringLiteral("      <k>2</k>"),
                QStringLiteral("   </G>"), QStringLiteral("</運用>")});
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    ini.GetGtx(QStringLiteral("G"));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("k"), 0).toInt(), 1);
    ini.SetVal(QStringLiteral("k"), 7);
    EXPECT_EQ(ini.groupText(), QStringLiteral("      <k>7</k>\r\n      <k>2</k>\r\n"));
}

TEST_F(YiniSettings, ValuesWithMarkupAndLineBreaksAreStoredUnchanged) {
    const QString value = QStringLiteral("a < b\r\n<i>c</i>\r\n");
    {
        yIni ini;
        bool ok = false;
        ini.GetTxt(file, ok);
        ini.GetGtx(QStringLiteral("書式"));
        ini.SetVal(QStringLiteral("本文"), value);
        ini.SetVal(QStringLiteral("途中"), QStringLiteral("x</途中>y"));
        ini.SetGtx();
        ini.SetTxt(ok);
    }
    EXPECT_TRUE(test::readBytes(file).contains(
        QString(QStringLiteral("<本文>") + value + QStringLiteral("</本文>")).toUtf8()));
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    ini.GetGtx(QStringLiteral("書式"));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("本文"), QString()).toString(), value);
    // Read up to the first end tag of the key.
    EXPECT_EQ(ini.vGtVal(QStringLiteral("途中"), QString()).toString(), QStringLiteral("x"));
}

TEST_F(YiniSettings, NumbersAreReadLeniently) {
    writeLines({kDecl, QStringLiteral("<運用>"), QStringLiteral("   <N>"),
                QStringLiteral("      <a>12abc</a>"), QStringLiteral("      <b></b>"),
                QStringLiteral("      <c>2.5</c>"), QStringLiteral("      <d>abc</d>"),
                QStringLiteral("      <e> -1 5e1x</e>"), QStringLiteral("      <f>yes</f>"),
                QStringLiteral("      <g>2024/02/30</g>"), QStringLiteral("      <h>-1</h>"),
                QStringLiteral("   </N>"), QStringLiteral("</運用>")});
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    ini.GetGtx(QStringLiteral("N"));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("a"), 0).toInt(), 12);
    EXPECT_EQ(ini.vGtVal(QStringLiteral("b"), 1024).toInt(), 1024);
    EXPECT_DOUBLE_EQ(ini.vGtVal(QStringLiteral("c"), 0.0).toDouble(), 2.5);
    EXPECT_EQ(ini.vGtVal(QStringLiteral("c"), 0).toInt(), 2);  // half to even
    EXPECT_EQ(ini.vGtVal(QStringLiteral("d"), 768).toInt(), 0);
    EXPECT_DOUBLE_EQ(ini.vGtVal(QStringLiteral("e"), 0.0).toDouble(), -150.0);
    EXPECT_EQ(ini.vGtVal(QStringLiteral("f"), true), QVariant(true));  // no boolean: default
    EXPECT_EQ(ini.vGtVal(QStringLiteral("f"), false), QVariant(false));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("h"), false), QVariant(true));
    const QDateTime fallback(QDate(2000, 1, 1), QTime(0, 0));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("g"), fallback).toDateTime(), fallback);
    EXPECT_EQ(ini.vGtVal(QStringLiteral("a"), QStringLiteral("x")).toString(),
              QStringLiteral("12abc"));
}

TEST_F(YiniSettings, MissingEndTagReportsTheDamageAndReadsDefaults) {
    const QStringList lines{kDecl, QStringLiteral("<運用>"), QStringLiteral("   <位置>"),
                            QStringLiteral("      <Left>500</Left>"), QStringLiteral("</運用>")};
    writeLines(lines);
    const QByteArray original = test::readBytes(file);
    test::writeBytes(file + QStringLiteral(".bak"), "older backup");
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    EXPECT_TRUE(ok);
    ini.GetGtx(QStringLiteral("位置"));
    ASSERT_EQ(prompts.prompter.messages.size(), 1);
    EXPECT_EQ(prompts.prompter.messages.first(), damageMessage(QStringLiteral("位置")));
    EXPECT_TRUE(ini.groupText().isEmpty());
    EXPECT_EQ(ini.vGtVal(QStringLiteral("Left"), 0).toInt(), 0);

    // Writing the settings back keeps the damaged file aside, without replacing an
    // older copy.
    ini.SetVal(QStringLiteral("Left"), 600);
    ini.SetGtx();
    ini.SetTxt(ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(test::readBytes(file + QStringLiteral(".bak")), QByteArray("older backup"));
    EXPECT_EQ(test::readBytes(file + QStringLiteral(".bak1")), original);
}

TEST_F(YiniSettings, EndTagBeforeStartTagIsDamageToo) {
    writeLines({kDecl, QStringLiteral("<運用>"), QStringLiteral("   <G>"),
                QStringLiteral("      </k>1<k>"), QStringLiteral("   </G>"),
                QStringLiteral("</運用>")});
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    ini.GetGtx(QStringLiteral("G"));
    EXPECT_TRUE(prompts.prompter.messages.isEmpty());
    EXPECT_EQ(ini.vGtVal(QStringLiteral("k"), QStringLiteral("既定")).toString(),
              QStringLiteral("既定"));
    ASSERT_EQ(prompts.prompter.messages.size(), 1);
    EXPECT_EQ(prompts.prompter.messages.first(), damageMessage(QStringLiteral("k")));
}

TEST_F(YiniSettings, MissingRootEndGetsTheGroupAndTheRootBack) {
    test::writeBytes(file,
                     (kDecl + QStringLiteral("\r\n<運用>\r\n   <A>\r\n   </A>\r\n")).toUtf8());
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    ini.GetGtx(QStringLiteral("B"));
    ini.SetVal(QStringLiteral("k"), 1);
    ini.SetGtx();
    EXPECT_TRUE(ini.text().endsWith(
        QStringLiteral("   </A>\r\n   <B>\r\n      <k>1</k>\r\n   </B>\r\n</運用>")));
}

TEST_F(YiniSettings, GroupCutShortIsReplacedSoTheNewValuesWinAtTheNextStart) {
    // Cut inside the last group: no end tags at all.
    test::writeBytes(file, (kDecl + QStringLiteral("\r\n<運用>\r\n   <A>\r\n      <k>a</k>\r\n"
                                                   "   </A>\r\n   <位置>\r\n      <Left>5"))
                               .toUtf8());
    {
        yIni ini;
        bool ok = false;
        ini.GetTxt(file, ok);
        ini.GetGtx(QStringLiteral("位置"));
        ini.SetVal(QStringLiteral("Left"), 600);
        ini.SetVal(QStringLiteral("Top"), 700);
        ini.SetGtx();
        ini.SetTxt(ok);
        ASSERT_TRUE(ok);
    }
    yIni again;
    bool ok = false;
    again.GetTxt(file, ok);
    again.GetGtx(QStringLiteral("位置"));
    EXPECT_EQ(again.vGtVal(QStringLiteral("Left"), 0).toInt(), 600);
    EXPECT_EQ(again.vGtVal(QStringLiteral("Top"), 0).toInt(), 700);
    again.GetGtx(QStringLiteral("A"));
    EXPECT_EQ(again.vGtVal(QStringLiteral("k"), QString()).toString(), QStringLiteral("a"));
    EXPECT_EQ(again.text().count(QStringLiteral("<位置>")), 1);
    EXPECT_TRUE(again.text().endsWith(QStringLiteral("</運用>")));

    // A group without its end tag in the middle: the groups after it stay.
    writeLines({kDecl, QStringLiteral("<運用>"), QStringLiteral("   <位置>"),
                QStringLiteral("      <Left>1</Left>"), QStringLiteral("   <最近>"),
                QStringLiteral("      <n>2</n>"), QStringLiteral("   </最近>"),
                QStringLiteral("</運用>")});
    yIni mid;
    mid.GetTxt(file, ok);
    mid.GetGtx(QStringLiteral("位置"));
    mid.SetVal(QStringLiteral("Left"), 9);
    mid.SetGtx();
    mid.GetGtx(QStringLiteral("位置"));
    EXPECT_EQ(mid.vGtVal(QStringLiteral("Left"), 0).toInt(), 9);
    mid.GetGtx(QStringLiteral("最近"));
    EXPECT_EQ(mid.vGtVal(QStringLiteral("n"), 0).toInt(), 2);
}

TEST_F(YiniSettings, DvSettingsNameReadsAndWritesThePlainFile) {
    writeLines({kDecl, QStringLiteral("<運用>"), QStringLiteral("   <G>"),
                QStringLiteral("      <k>plain</k>"), QStringLiteral("   </G>"),
                QStringLiteral("</運用>")});
    yIni ini;
    bool ok = false;
    ini.GetTxt(env.path("user/User_dv.xml"), ok);
    EXPECT_EQ(ini.filePath(), file);
    ini.GetGtx(QStringLiteral("G"));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("k"), QString()).toString(), QStringLiteral("plain"));
    ini.SetVal(QStringLiteral("k"), QStringLiteral("changed"));
    ini.SetGtx();
    ini.SetTxt(ok);
    EXPECT_TRUE(ok);
    EXPECT_FALSE(QFileInfo::exists(env.path("user/User_dv.xml")));
    EXPECT_TRUE(test::readBytes(file).contains("<k>changed</k>"));
}

TEST_F(YiniSettings, ShiftJisFileFromWindowsIsReadAndRewrittenAsUtf8) {
    const QString text = QStringLiteral(
        "<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <最近>\r\n"
        "      <ACT>Dbs\\ﾃｽﾄ文書.txdb</ACT>\r\n   </最近>\r\n</運用>");
    QStringEncoder sjis("Shift-JIS");
    ASSERT_TRUE(sjis.isValid());
    const QByteArray bytes = sjis(text);
    ASSERT_FALSE(sjis.hasError());
    test::writeBytes(file, bytes);
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    EXPECT_TRUE(ok);
    ini.GetGtx(QStringLiteral("最近"));
    EXPECT_EQ(ini.vGtVal(QStringLiteral("ACT"), QString()).toString(),
              QStringLiteral("Dbs\\ﾃｽﾄ文書.txdb"));
    ini.SetTxt(ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(test::readBytes(file),
              QString(text).replace(QStringLiteral("Shift-JIS"), QStringLiteral("UTF-8")).toUtf8());
    EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral(".bak")));
}

TEST_F(YiniSettings, UndecodableFileIsKeptAsideBeforeItIsReplaced) {
    const QByteArray bytes = "<?xml version='1.0' encoding='UTF-8' ?>\r\n<\xff\xfe>\r\n</\xff\xfe>";
    test::writeBytes(file, bytes);
    yIni ini;
    bool ok = true;
    ini.GetTxt(file, ok);
    EXPECT_FALSE(ok);
    ini.SetTxt(ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(test::readBytes(file + QStringLiteral(".bak")), bytes);
}

TEST_F(YiniSettings, ContentAfterAnEmptyFirstLineIsKeptAside) {
    const QByteArray bytes = "\r\n<運用>\r\n   <A>\r\n   </A>\r\n</運用>";
    test::writeBytes(file, bytes);
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    EXPECT_EQ(ini.text(), yIni::skeleton());
    ini.SetTxt(ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(test::readBytes(file + QStringLiteral(".bak")), bytes);
    EXPECT_EQ(test::readBytes(file), yIni::skeleton().toUtf8());
}

TEST_F(YiniSettings, UnreadableFileIsNeverOverwritten) {
    // A folder where the file should be: it cannot be read, and nothing may replace it.
    QDir().mkpath(file);
    test::writeBytes(file + QStringLiteral("/keep"), "x");
    yIni ini;
    bool ok = true;
    ini.GetTxt(file, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ini.text(), yIni::skeleton());
    ini.GetGtx(QStringLiteral("位置"));
    ini.SetVal(QStringLiteral("Left"), 1);
    ini.SetGtx();
    ini.SetTxt(ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(test::readBytes(file + QStringLiteral("/keep")), QByteArray("x"));
}

TEST_F(YiniSettings, UnwritablePlaceGivesOkFalse) {
    test::writeBytes(env.path("plainfile"), "x");
    const QString impossible = env.path("plainfile/User.xml");
    yIni ini;
    bool ok = true;
    ini.GetTxt(impossible, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ini.text(), yIni::skeleton());
    ini.SetTxt(ok);
    EXPECT_FALSE(ok);
}

TEST_F(YiniSettings, FailedWriteLeavesTheOldFileAsItWas) {
    if (test::AppTestEnv::isRoot())
        GTEST_SKIP() << "folder permissions do not bind root";
    writeLines({kDecl, QStringLiteral("<運用>"), QStringLiteral("</運用>")});
    const QByteArray before = test::readBytes(file);
    yIni ini;
    bool ok = false;
    ini.GetTxt(file, ok);
    ini.GetGtx(QStringLiteral("G"));
    ini.SetVal(QStringLiteral("k"), 1);
    ini.SetGtx();
    QFile::setPermissions(env.path("user"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    ini.SetTxt(ok);
    QFile::setPermissions(env.path("user"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(ok);
    EXPECT_EQ(test::readBytes(file), before);
}

}  // namespace
}  // namespace arbor
