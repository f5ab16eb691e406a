// Paper sizes and the page settings group.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/yini.h"
#include "editor/page_settings.h"
#include "support/scripted_prompter.h"

using namespace arbor;

TEST(PageSettings, PaperSizeTable) {
    ASSERT_EQ(paperSizes().size(), 15);
    EXPECT_EQ(paperSizes()[0].caption, "A4   210 * 297 mm");
    EXPECT_EQ(paperSizes()[7].width, doc::PageSetup().width);
    EXPECT_EQ(paperSizes()[7].height, doc::PageSetup().height);
    doc::PageSetup page;
    EXPECT_TRUE(choosePaperSize(5, page));
    EXPECT_EQ(page.width, 5666);
    EXPECT_EQ(page.height, 8386);
    const doc::PageSetup before = page;
    EXPECT_FALSE(choosePaperSize(15, page));
    EXPECT_FALSE(choosePaperSize(-1, page));
    EXPECT_EQ(page, before);
}

TEST(PageSettings, StoredInTheSettingsFile) {
    test::PrompterFixture ui;
    QTemporaryDir dir;
    yIni ini;
    bool ok = false;
    ini.GetTxt(dir.filePath("User.xml"), ok);
    EXPECT_EQ(readPageSettings(ini), doc::PageSetup());
    doc::PageSetup a4;
    choosePaperSize(0, a4);
    a4.marginLeft = 1701;
    writePageSettings(ini, a4);
    ini.SetTxt(ok);
    ASSERT_TRUE(ok);
    yIni again;
    again.GetTxt(dir.filePath("User.xml"), ok);
    EXPECT_EQ(readPageSettings(again), a4);
    // A page its margins do not fit on is not a page: the defaults come back.
    again.GetGtx("TX_PAGE");
    again.SetVal("M_LFT", 20000);
    again.SetGtx();
    EXPECT_EQ(readPageSettings(again), doc::PageSetup());
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
}
