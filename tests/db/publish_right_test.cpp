// The publish right: claimed by the first PC that publishes, exact name comparison,
// messages naming the holder, and the reset.
#include <gtest/gtest.h>

#include "app/program_state.h"
#include "db/publish_right.h"
#include "db/zsvr.h"
#include "support/doc_db.h"
#include "support/scripted_prompter.h"

using namespace arbor;
using arbor::test::DbEngine;

namespace {

class PublishRight : public ::testing::TestWithParam<DbEngine> {
  protected:
    test::PrompterFixture ui;
    QString savedPc = G().PcName;
    void TearDown() override { G().PcName = savedPc; }
    QString holder() {
        return zSvr::instance().R_GtVaL("Select HsPub From kaUsr", "<null>").toString();
    }
};

}  // namespace

TEST_P(PublishRight, ClaimedOnceAndComparedExactly) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    G().PcName = "Desk-01";
    // A silent check or a link check claims nothing.
    EXPECT_TRUE(ChkPubPc(0));
    EXPECT_TRUE(ChkPubPc(2));
    EXPECT_EQ(holder(), "");
    // Web output claims it.
    EXPECT_TRUE(ChkPubPc(1));
    EXPECT_EQ(holder(), "Desk-01");
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
    // Another PC, and the same name in other letter case, are refused.
    G().PcName = "DESK-01";
    EXPECT_FALSE(ChkPubPc(0));
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
    EXPECT_FALSE(ChkPubPc(1));
    EXPECT_FALSE(ChkPubPc(2));
    EXPECT_EQ(ui.prompter.messages,
              QStringList({"Webへの出力できるPC(ﾊﾞﾌﾞﾘｯｼｭ権限)は Desk-01 です",
                           "PCのﾌｧｲﾙへのﾘﾝｸをｾｯﾄできるPC(ﾊﾞﾌﾞﾘｯｼｭ権限)は Desk-01 です"}));
    EXPECT_EQ(holder(), "Desk-01");
}

TEST_P(PublishRight, ResetAsksAndClears) {
    ARBOR_OPEN_DOCDB(doc, GetParam());
    G().PcName = "O'Brien's PC";  // a name that would break a statement written naively
    EXPECT_TRUE(ChkPubPc(1));
    EXPECT_EQ(holder(), "O'Brien's PC");
    ui.prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(ResetPubPc());
    EXPECT_EQ(holder(), "O'Brien's PC");
    ASSERT_EQ(ui.prompter.messages.size(), 1);
    EXPECT_TRUE(ui.prompter.messages[0].startsWith(
        "現在 Webへ出力できるPCは O'Brien's PC です(ﾊﾞﾌﾞﾘｯｼｭ権限)\n"));
    EXPECT_TRUE(ui.prompter.messages[0].endsWith("Web出力PCの初期化を行って良いですか"));
    ui.prompter.messages.clear();
    EXPECT_TRUE(ResetPubPc());
    EXPECT_EQ(holder(), "");
    EXPECT_EQ(ui.prompter.messages.last(), "Web出力PCの初期化を行いました");
    G().PcName = "other";
    EXPECT_TRUE(ChkPubPc(0));
}

TEST(PublishRightClosed, NoDatabaseNoRight) {
    zSvr::instance().D_Close();
    EXPECT_FALSE(ChkPubPc(0));
    EXPECT_FALSE(ChkPubPc(1));
}

ARBOR_INSTANTIATE_ENGINES(PublishRight);
