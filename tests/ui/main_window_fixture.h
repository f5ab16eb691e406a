#pragma once
// A main window offscreen on a fresh sample collection, for the window's tests.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTextCursor>
#include <memory>

#include "app/program_state.h"
#include "app/yini.h"
#include "db/zsvr.h"
#include "editor/rich_text.h"
#include "editor/sample_collection.h"
#include "editor/user_formats.h"
#include "support/scripted_prompter.h"
#include "tree/page_tree.h"
#include "ui/fmdoc.h"
#include "ui/utrx.h"
#include "ui/utxm.h"

namespace arbor::test {

class MainWindowTest : public ::testing::Test {
  protected:
    PrompterFixture ui;
    QTemporaryDir user;
    QString savedUserPath = G().UserPath;
    std::unique_ptr<ui::fmDoc> window;
    QString sample;

    void SetUp() override {
        G().UserPath = user.path() + "/";
        G().WrkPath = G().UserPath + "Wrk/";
        QDir().mkpath(G().WrkPath);
        bool ok = false;
        Ini().GetTxt(user.filePath("User.xml"), ok);
        Ini().GetGtx("TX_USR");
        Ini().SetVal("更新確認", "確認");
        Ini().SetGtx();
        registerUserFormatLoading();
        sample = user.filePath("sample.txdb");
        QString error;
        ASSERT_TRUE(createSampleCollection(sample, ARBOR_TEST_APDATA "schema.sql", error))
            << error.toStdString();
        window = std::make_unique<ui::fmDoc>();
        window->SetDBNo(sample, 0);
        window->load();
        ASSERT_TRUE(zSvr::instance().isOpen());
    }
    void TearDown() override {
        window.reset();
        zSvr::instance().D_Close();
        zSvr::setOpenHook(nullptr);
        G().UserPath = savedUserPath;
    }
    tree::PageTree& tree() { return *window->tree()->tree(); }
    ui::uTxm& editor() { return *window->editor(); }
    // Opens the node of a page as a click would.
    void open(int page) {
        const QList<QModelIndex> nodes = tree().nodesOfPage(page);
        ASSERT_FALSE(nodes.isEmpty()) << page;
        tree().openNode(nodes.first());
    }
    void type(const QString& text) {
        QTextCursor c = editor().GetObj().cursor();
        c.movePosition(QTextCursor::End);
        editor().GetObj().setCursor(c);
        editor().GetObj().insertText(text);
    }
    QString stored(int page) {
        return zSvr::instance()
            .R_GtVaL("Select txDoc From msDoc Where noDoc=" + QString::number(page), "")
            .toString();
    }
};

}  // namespace arbor::test
