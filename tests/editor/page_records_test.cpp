// Saving and reading page rows on both engines: titles, tag sets, identities, the
// Word side file and tag references.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QThread>

#include "app/program_state.h"
#include "db/db_messages.h"
#include "db/zsvr.h"
#include "editor/page_records.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"

using namespace arbor;
using arbor::test::DbEngine;

namespace {

class PageRecords : public ::testing::TestWithParam<DbEngine> {
  protected:
    test::PrompterFixture ui;
    zSvr& db = zSvr::instance();

    PageContent content(const QString& title, const QString& text = "本文",
                        const QStringList& fields = {}) {
        QByteArray bytes("ARBD");
        bytes.append('\0');
        bytes.append(text.toUtf8());
        return {title, text, fields, bytes};
    }
    QVariant column(int no, const char* name) {
        return db.R_GtVaL(QString("Select %1 From msDoc Where noDoc=%2").arg(name).arg(no),
                          QVariant());
    }
};

}  // namespace

TEST_P(PageRecords, FirstSaveMakesTheRow) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    const PageContent page = content("  第1章 <はじめに>", "本文の一行目\n二行目",
                                     {"TG_1012", "https://x", "TG_1040", "TG_1012"});
    const SaveReport r = SavePage(1001, page);
    ASSERT_EQ(r.outcome, SaveOutcome::Saved) << r.error.toStdString();
    EXPECT_TRUE(r.newPage);
    EXPECT_EQ(r.title, "第1章はじめに");
    EXPECT_EQ(r.oldTitle, "");
    EXPECT_EQ(column(1001, "szDoc").toString(), "第1章はじめに");
    EXPECT_EQ(column(1001, "txDoc").toString(), "本文の一行目\n二行目");
    EXPECT_EQ(column(1001, "saTgs").toString(), ".1012.1040.");
    EXPECT_EQ(column(1001, "obDoc").toByteArray(), page.bytes);
    EXPECT_EQ(column(1001, "boCod").toInt(), 0);
    EXPECT_GT(column(1001, "wkRnd").toDouble(), 0.0);
    EXPECT_LE(qAbs(column(1001, "dyUdt").toDateTime().secsTo(QDateTime::currentDateTime())), 5);
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
    // A page without tags stores ".".
    ASSERT_EQ(SavePage(1002, content("二")).outcome, SaveOutcome::Saved);
    EXPECT_EQ(column(1002, "saTgs").toString(), ".");
}

TEST_P(PageRecords, ResaveKeepsIdentityAndRenewsTheTime) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    ASSERT_EQ(SavePage(1001, content("A")).outcome, SaveOutcome::Saved);
    const double identity = column(1001, "wkRnd").toDouble();
    db.D_ExeSq("Update msDoc Set dyUdt=" +
               SqlDateLiteral(QDateTime(QDate(2020, 1, 1), QTime(0, 0)), G().IsJet));
    // An empty title box keeps the old title, without asking.
    const SaveReport r = SavePage(1001, content("", "changed"));
    ASSERT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_FALSE(r.newPage);
    EXPECT_EQ(r.title, "A");
    EXPECT_EQ(r.oldTitle, "A");
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
    EXPECT_EQ(column(1001, "wkRnd").toDouble(), identity);
    EXPECT_EQ(column(1001, "txDoc").toString(), "changed");
    EXPECT_GT(column(1001, "dyUdt").toDateTime().date().year(), 2020);
    const SaveReport renamed = SavePage(1001, content("B"));
    EXPECT_EQ(renamed.oldTitle, "A");
    EXPECT_EQ(renamed.title, "B");
}

TEST_P(PageRecords, MissingTitleIsAskedWithAProposal) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    const QString firstLine = QString(80, QChar(u'長'));
    ui.prompter.inputs = {"入力された 'タイトル'"};
    SaveReport r = SavePage(1001, content("", firstLine + "\n次の行"));
    ASSERT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_EQ(r.title, "入力されたタイトル");
    EXPECT_EQ(titleProposal(firstLine + "\n次"), QString(50, QChar(u'長')));
    EXPECT_EQ(titleProposal("短い\r\n次"), "短い");
    EXPECT_EQ(titleProposal("改行なし"), "");
    // An emoji at the cut stays whole: no lone surrogate reaches the stored title.
    const QString proposal = titleProposal(QString(49, QChar(u'長')) + "😀後\n次");
    EXPECT_EQ(proposal, QString(49, QChar(u'長')) + "😀");
    // Cancel, or an empty answer: nothing is written.
    r = SavePage(1002, content("", "x\ny"));
    EXPECT_EQ(r.outcome, SaveOutcome::NoTitle);
    ui.prompter.inputs = {"  '&' "};
    r = SavePage(1002, content(" <> ", "x\ny"));
    EXPECT_EQ(r.outcome, SaveOutcome::NoTitle);
    EXPECT_EQ(db.R_GtVaL("Select Count(*) From msDoc Where noDoc=1002", -1).toInt(), 0);
    EXPECT_EQ(SavePage(0, content("x")).outcome, SaveOutcome::NoPage);
}

TEST_P(PageRecords, ReadOnlyDatabaseSavesNothing) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    ASSERT_EQ(SavePage(1001, content("A")).outcome, SaveOutcome::Saved);
    if (GetParam() == DbEngine::SQLite) {
        db.D_Close();
        QFile::setPermissions(doc->path(), QFile::ReadOwner);
    } else {
        ASSERT_TRUE(doc->pg()->adminExec("ALTER DATABASE " + doc->pg()->name() +
                                         " SET default_transaction_read_only = on"));
    }
    bool ok = false;
    db.D_StDcDb(doc->path(), ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(SavePage(1001, content("B")).outcome, SaveOutcome::ReadOnly);
    EXPECT_EQ(ui.prompter.messages, QStringList({msg::readOnlyDatabase()}));
    EXPECT_EQ(column(1001, "szDoc").toString(), "A");
    if (GetParam() == DbEngine::SQLite)
        QFile::setPermissions(doc->path(), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_P(PageRecords, ReadingPagesAndTheWordSideFile) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    const PageContent page = content("頁");
    ASSERT_EQ(SavePage(1001, page).outcome, SaveOutcome::Saved);
    ASSERT_TRUE(db.D_ExeSq("Insert Into msDoc (noDoc, szDoc) Values (1002, 'empty')"));
    StoredPage p = readPage(1001, false);
    EXPECT_TRUE(p.exists);
    EXPECT_TRUE(p.hasBytes);
    EXPECT_EQ(p.bytes, page.bytes);
    EXPECT_EQ(p.title, "頁");
    p = readPage(1002, false);
    EXPECT_TRUE(p.exists);
    EXPECT_FALSE(p.hasBytes);
    EXPECT_EQ(p.title, "empty");
    EXPECT_FALSE(readPage(4242, false).exists);

    const QString saved = G().UserPath;
    G().UserPath = doc->scratchDir() + "/";
    const QString side = wordSideFilePath(1001);
    EXPECT_TRUE(side.endsWith("Dbs/" + G().DbName + "_doc/1001.docx")) << side.toStdString();
    // Four digits at least, and never fewer than the number has: 12345 is not 2345.
    EXPECT_TRUE(wordSideFilePath(12).endsWith("_doc/0012.docx"));
    EXPECT_TRUE(wordSideFilePath(12345).endsWith("_doc/12345.docx"));
    EXPECT_NE(wordSideFilePath(12345), wordSideFilePath(2345));
    QDir().mkpath(QFileInfo(side).absolutePath());
    QFile f(side);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("docx");
    f.close();
    // Newer than the save: the side file wins, with the row's title.
    db.D_ExeSq("Update msDoc Set dyUdt=" +
               SqlDateLiteral(QDateTime::currentDateTime().addSecs(-3600), G().IsJet));
    p = readPage(1001, true);
    EXPECT_EQ(p.wordFile, QFileInfo(side).absoluteFilePath());
    EXPECT_EQ(p.title, "頁");
    EXPECT_TRUE(readPage(1001, false).wordFile.isEmpty());
    // Older than the save: the row.
    db.D_ExeSq("Update msDoc Set dyUdt=" +
               SqlDateLiteral(QDateTime::currentDateTime().addSecs(3600), G().IsJet));
    p = readPage(1001, true);
    EXPECT_TRUE(p.wordFile.isEmpty());
    EXPECT_EQ(p.bytes, page.bytes);
    G().UserPath = saved;
}

TEST_P(PageRecords, TagReferencesMatchWholeNumbers) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    ASSERT_EQ(SavePage(1001, content("refers", "t", {"TG_1012"})).outcome, SaveOutcome::Saved);
    ASSERT_EQ(SavePage(1002, content("other", "t", {"TG_11012", "TG_10120"})).outcome,
              SaveOutcome::Saved);
    ASSERT_EQ(SavePage(1003, content("both", "t", {"TG_1040", "TG_1012"})).outcome,
              SaveOutcome::Saved);
    auto refs = tagReferences(1012);
    std::sort(refs.begin(), refs.end());
    ASSERT_EQ(refs.size(), 2);
    EXPECT_EQ(refs[0], qMakePair(1001, QString("refers")));
    EXPECT_EQ(refs[1], qMakePair(1003, QString("both")));
    EXPECT_TRUE(tagReferences(99).isEmpty());
}

ARBOR_INSTANTIATE_ENGINES(PageRecords);
