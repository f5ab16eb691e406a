// Word copies of single pages on both engines: the backup of every page, the copies the
// purge writes before it deletes, and those beside an exported branch; the names the
// editor reads back, and what a damaged page or an unwritable folder does.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/program_state.h"
#include "db/database_files.h"
#include "db/schema.h"
#include "db/word_copy_hook.h"
#include "db/zsvr.h"
#include "editor/link_fields.h"
#include "editor/page_records.h"
#include "editor/rich_text.h"
#include "exchange/docx.h"
#include "exchange/exchange_test_util.h"
#include "exchange/word_copies.h"
#include "exchange/word_test_pages.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"

using namespace arbor;
using arbor::test::DbEngine;

namespace {

class WordCopiesTest : public ::testing::TestWithParam<DbEngine> {
  protected:
    test::PrompterFixture ui;
    QTemporaryDir user;
    QString savedUserPath = G().UserPath;
    DatabaseHost host;
    DatabaseFiles files{host};

    void SetUp() override {
        G().UserPath = user.path() + "/";
        bool created = false;
        QString error;
        ASSERT_TRUE(
            ensureTemplateDb(G().UserPath, ARBOR_TEST_APDATA "schema.sql", "", created, error))
            << error.toStdString();
        word::registerWordCopies();
    }
    void TearDown() override {
        setWordCopyWriter({});
        zSvr::instance().D_Close();
        G().UserPath = savedUserPath;
    }
    // The body text of a written copy, and its link fields' data.
    QString copyText(const QString& path, QStringList* links = nullptr) {
        test::OwnedParts parts;
        doc::DocumentParts p = parts.parts();
        QString error;
        EXPECT_TRUE(docx::readDocx(path, p, error)) << path.toStdString() << error.toStdString();
        if (links)
            for (const test::FieldRun& f : test::fieldRuns(*parts.body))
                *links << f.data;
        return parts.body->toPlainText();
    }
    int pages(const QString& where) {
        return zSvr::instance().R_GtVaL("Select Count(*) From msDoc Where " + where, -1).toInt();
    }
};

TEST(WordCopyNames, FourDigitsAtLeast) {
    EXPECT_EQ(wordCopyFileName(12), "0012.docx");
    EXPECT_EQ(wordCopyFileName(2345), "2345.docx");
    EXPECT_EQ(wordCopyFileName(12345), "12345.docx");
    EXPECT_EQ(wordCopyFolder("/u/", "本"), "/u/Dbs/本_doc/");
    EXPECT_EQ(wordCopyFolderBeside("/a/b/枝.v2.txdb"), "/a/b/枝.v2_doc/");
}

TEST_P(WordCopiesTest, BackupWritesEveryPageUnderItsNumber) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    for (int number : {12, 2345, 12345})
        test::storePage(number, QStringLiteral("頁%1").arg(number), [&](RichText& p) {
            p.insertText(QStringLiteral("本文%1 ").arg(number));
            test::addLink(p, QString(), QStringLiteral("次へ"), tagData(1004));
        });
    test::storeTitleOnly(77, QStringLiteral("題だけ"));

    // Cancelled at the question: nothing written.
    ui.prompter.answers = {Answer::Cancel};
    word::BackupReport report = word::BackupToWord(true);
    EXPECT_FALSE(report.asked);
    const QString folder = G().UserPath + "Dbs/" + G().DbName + "_doc/";
    EXPECT_EQ(ui.prompter.messages.last(),
              "全てのﾍﾟｰｼﾞをﾜｰﾄﾞ文書に保存します\n (出力先:" + folder + ")");
    EXPECT_FALSE(QFileInfo::exists(folder));

    report = word::BackupToWord(true);
    ASSERT_TRUE(report.asked);
    EXPECT_EQ(report.folder, folder);
    EXPECT_TRUE(report.outcome.ok);
    EXPECT_EQ(report.outcome.written, 3);
    EXPECT_EQ(word::backupMessage(report), "ﾜｰﾄﾞで一括ﾊﾞｯｸｱｯﾌﾟを完了しました");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              (QStringList{"0012.docx", "12345.docx", "2345.docx"}));
    // Each copy is the page, its tag link kept for the editor that reads it back.
    QStringList links;
    EXPECT_EQ(copyText(folder + "12345.docx", &links), "本文12345 次へ");
    EXPECT_EQ(links, QStringList{"TG_1004"});
    EXPECT_EQ(copyText(folder + "2345.docx"), "本文2345 次へ");
    // The editor looks for the side file under the same names.
    EXPECT_EQ(wordSideFilePath(12345), folder + "12345.docx");
    EXPECT_EQ(wordSideFilePath(12), folder + "0012.docx");
}

TEST_P(WordCopiesTest, BackupSkipsADamagedPageAndKeepsItsOldCopy) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    test::buildCollection();
    ASSERT_EQ(word::BackupToWord(false).outcome.written, 5);
    const QString old = word::backupFolder() + "1003.docx";
    QFile f(old);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    test::damagePage(1003);
    const word::BackupReport report = word::BackupToWord(false);
    EXPECT_TRUE(report.outcome.ok);
    EXPECT_EQ(report.outcome.written, 4);
    ASSERT_EQ(report.outcome.problems.size(), 1);
    EXPECT_TRUE(report.outcome.problems[0].startsWith("文書No 1003: 文書が壊れているので"));
    EXPECT_TRUE(word::backupMessage(report).contains("書き出せなかったものがあります"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST_P(WordCopiesTest, PurgeBacksUpThePagesItDeletes) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    test::buildCollection();
    test::storePage(1010, QStringLiteral("孤立"),
                    [](RichText& p) { p.insertText(QStringLiteral("どこからも参照されない")); });
    test::storePage(1011, QStringLiteral("壊れた孤立"),
                    [](RichText& p) { p.insertText(QStringLiteral("壊れる前の文字")); });
    test::damagePage(1011);
    const QString message = files.PurgeNoUse();
    EXPECT_EQ(message.section('\n', 0, 1), "２件 削除しました\n" + G().UserPath + "Dbs/" +
                                               G().DbName + "_doc にﾜｰﾄﾞ文書でBackUpしました");
    EXPECT_TRUE(message.contains("文書No 1011")) << message.toStdString();
    EXPECT_EQ(pages("noDoc In (1010, 1011)"), 0);
    EXPECT_EQ(pages("1=1"), 6);
    const QString folder = word::backupFolder();
    EXPECT_EQ(copyText(folder + "1010.docx"), "どこからも参照されない");
    // The damaged page keeps its text.
    EXPECT_EQ(copyText(folder + "1011.docx"), "壊れる前の文字");
    EXPECT_FALSE(QFileInfo::exists(folder + "1001.docx"));
}

TEST_P(WordCopiesTest, PurgeDeletesNothingWithoutItsBackup) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    test::buildCollection();
    test::storePage(1010, QStringLiteral("孤立"), [](RichText& p) { p.insertText("x"); });
    // The copy folder cannot be made: a file stands in its place.
    QDir().mkpath(G().UserPath + "Dbs");
    QFile blocker(word::backupFolder().chopped(1));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString message = files.PurgeNoUse();
    EXPECT_TRUE(message.startsWith("ﾜｰﾄﾞ文書でBackUpできないので削除しませんでした"))
        << message.toStdString();
    EXPECT_EQ(pages("noDoc = 1010"), 1);
    EXPECT_EQ(pages("1=1"), 7);
}

TEST_P(WordCopiesTest, ExportedBranchGetsItsCopiesBeside) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    test::buildCollection();
    const QString target = user.filePath("第一章.txdb");
    ui.prompter.files = {target};
    ASSERT_TRUE(files.ExportBranch({1002, "第一章", true, "https://other.example.jp"}));
    const QString folder = user.filePath("第一章_doc/");
    EXPECT_TRUE(ui.prompter.messages.last().startsWith(target + "へｴｸｽﾎﾟｰﾄしました\n" + folder +
                                                       " にﾜｰﾄﾞ文書を 4 件書き出しました"))
        << ui.prompter.messages.last().toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              (QStringList{"1002.docx", "1003.docx", "1004.docx", "1006.docx"}));
    // Inside the branch a tag link stays a tag; the page left behind is on the web site.
    QStringList links;
    copyText(folder + "1003.docx", &links);
    EXPECT_EQ(links, (QStringList{"TG_1004", "https://other.example.jp/pub/1001.htm", "TP_ＨＴＭＬ",
                                  "https://example.jp/"}));
}

ARBOR_INSTANTIATE_ENGINES(WordCopiesTest);

}  // namespace
