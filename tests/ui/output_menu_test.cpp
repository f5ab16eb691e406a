// The output menu of the main window on the sample collection: "EPUB 出力" asks for the
// book's settings in sbEpub (a missing title or identifier keeps it open), stores them and
// writes the book; "HTM 出力" asks in sbHtm and writes and shows the export.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "app/program_state.h"
#include "app/shell_ops.h"
#include "db/zsvr.h"
#include "ui/main_menus.h"
#include "ui/main_window_fixture.h"
#include "ui/sbepub.h"
#include "ui/sbhtm.h"

using namespace arbor;
using arbor::test::MainWindowTest;

namespace {

class OutputMenuTest : public MainWindowTest {
  protected:
    QList<QUrl> opened;
    UrlOpener previousOpener;

    void SetUp() override {
        MainWindowTest::SetUp();
        G().ApDataPath = QStringLiteral(ARBOR_TEST_APDATA);
        previousOpener = setUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
    }
    void TearDown() override {
        setUrlOpener(previousOpener);
        MainWindowTest::TearDown();
    }
    // Triggers the item and lets fill work on the dialog it opens.
    void withDialog(int index, const std::function<void(QDialog*)>& fill) {
        QAction* a = window->menus()->item(QStringLiteral("mnOut"), index);
        ASSERT_NE(a, nullptr);
        ASSERT_TRUE(a->isEnabled());
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            seen = dialog != nullptr;
            if (dialog)
                fill(dialog);
        });
        a->trigger();
        EXPECT_TRUE(seen);
    }
    static void ok(QDialog* d) {
        d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    }
    static void set(QDialog* d, const char* name, const QString& text) {
        d->findChild<QLineEdit*>(QString::fromLatin1(name))->setText(text);
    }
};

}  // namespace

TEST_F(OutputMenuTest, EpubAsksForTitleAndIdentifierStoresThemAndWritesTheBook) {
    withDialog(1, [](QDialog* d) {
        ASSERT_NE(dynamic_cast<ui::sbEpub*>(d), nullptr);
        set(d, "title", QString());
        set(d, "identifier", QString());
        ok(d);  // no title: stays open
        ASSERT_TRUE(d->isVisible());
        set(d, "title", QStringLiteral("見本 & 'R&D'"));
        ok(d);  // no identifier: one is made, and the dialog stays open to show it
        ASSERT_TRUE(d->isVisible());
        EXPECT_TRUE(d->findChild<QLineEdit*>("identifier")->text().startsWith("arepub_"));
        d->findChild<QCheckBox*>("fullWidth")->setChecked(true);
        ok(d);
    });
    const QStringList& messages = ui.prompter.messages;
    ASSERT_GE(messages.size(), 3);
    EXPECT_EQ(messages[0], QStringLiteral("タイトルが指定されていません"));
    EXPECT_EQ(messages[1],
              QStringLiteral("IDが指定されていなかったので、生成しました確認して下さい"));
    const QString book = G().UserPath + "ePub/" + G().DbName + ".epub";
    EXPECT_EQ(messages.last(), book + QStringLiteral(" に出力しました"));
    EXPECT_TRUE(QFileInfo::exists(book));
    zSvr& db = zSvr::instance();
    EXPECT_EQ(db.R_GtVaL("Select EsTtl From kaUsr", "").toString(), QStringLiteral("見本 & 'R&D'"));
    EXPECT_TRUE(db.R_GtVaL("Select EsUid From kaUsr", "").toString().startsWith("arepub_"));
    EXPECT_EQ(db.R_GtVaL("Select EbTbF From kaUsr", 0).toInt(), 1);

    // The stored settings come back; cancelling writes nothing.
    QFile::remove(book);
    withDialog(1, [](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("title")->text(), QStringLiteral("見本 & 'R&D'"));
        d->reject();
    });
    EXPECT_FALSE(QFileInfo::exists(book));
}

TEST_F(OutputMenuTest, EpubOfTheCurrentBranchOpensTheFolderWhenAsked) {
    open(1003);
    withDialog(1, [](QDialog* d) {
        set(d, "title", QStringLiteral("第2章"));
        set(d, "identifier", QStringLiteral("urn:isbn:978-4-00-000000-0"));
        set(d, "outputName", QStringLiteral("第2章"));
        d->findChild<QRadioButton*>("branch")->setChecked(true);
        d->findChild<QCheckBox*>("openFolder")->setChecked(true);
        ok(d);
    });
    EXPECT_TRUE(QFileInfo::exists(G().UserPath + "ePub/第2章.epub"));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(QDir::cleanPath(opened.first().toLocalFile()),
              QDir::cleanPath(G().UserPath + "ePub"));
}

TEST_F(OutputMenuTest, HtmWritesBothKindsAndShowsTheResult) {
    withDialog(0, [](QDialog* d) {
        ASSERT_NE(dynamic_cast<ui::sbHtm*>(d), nullptr);
        EXPECT_EQ(d->findChild<QLineEdit*>("folder")->text(), G().UserPath + "Htm/" + G().DbName);
        ok(d);
    });
    const QString folder = G().UserPath + "Htm/" + G().DbName + "/";
    EXPECT_TRUE(QFileInfo::exists(folder + "1001.htm"));
    EXPECT_TRUE(QFileInfo::exists(folder + "cmn/menu.js"));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().toLocalFile(), folder + "1001.htm");

    // Frames, emptied first (asked), into the same folder; the user data folder is refused.
    withDialog(0, [](QDialog* d) {
        set(d, "folder", G().UserPath);
        ok(d);
        ASSERT_TRUE(d->isVisible());
        set(d, "folder", G().UserPath + "Htm/" + G().DbName);
        d->findChild<QRadioButton*>("frames")->setChecked(true);
        d->findChild<QCheckBox*>("empty")->setChecked(true);
        ok(d);
    });
    EXPECT_TRUE(QFileInfo::exists(folder + "frame.htm"));
    EXPECT_FALSE(QFileInfo::exists(folder + "1003_1002.htm"));  // emptied: tree-index only
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened.last().toLocalFile(), folder + "frame.htm");
}
