// The output menu's Word commands from the main window on the sample collection: the
// dialog "文書出力の指定" and its choices, the file written and handed to the desktop, the
// page on screen saved into it first, and the backup with its question.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "app/program_state.h"
#include "app/shell_ops.h"
#include "db/zsvr.h"
#include "editor/rich_text.h"
#include "exchange/page_files.h"
#include "ui/main_menus.h"
#include "ui/main_window_fixture.h"
#include "ui/ufky.h"
#include "ui/word_export_dialog.h"

using namespace arbor;
using arbor::test::MainWindowTest;

namespace {

class WordMenuTest : public MainWindowTest {
  protected:
    QList<QUrl> opened;
    UrlOpener previousOpener;
    QTemporaryDir out;
    bool dialogSeen = false;

    void SetUp() override {
        MainWindowTest::SetUp();
        previousOpener = setUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
    }
    void TearDown() override {
        setUrlOpener(previousOpener);
        MainWindowTest::TearDown();
    }
    // Answers the export dialog when it shows: choose changes it, then OK or Cancel.
    void answerDialog(const std::function<void(ui::WordExportDialog&)>& choose, bool ok) {
        QTimer::singleShot(0, [this, choose, ok] {
            auto* dialog = dynamic_cast<ui::WordExportDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialogSeen = true;
            EXPECT_EQ(dialog->windowTitle(), "文書出力の指定");
            choose(*dialog);
            if (ok)
                dialog->accept();
            else
                dialog->reject();
        });
    }
    QAction* item(int index) { return window->menus()->item("mnOut", index); }
    QString bodyOf(const QString& path) {
        RichText page;
        QString error;
        EXPECT_TRUE(pagefiles::loadFile(page, path, error)) << error.toStdString();
        return page.plainText();
    }
};

}  // namespace

TEST(WordExportDialogTest, ChoicesAndFileNames) {
    word::ExportRequest request;
    request.kind = word::Kind::Outline;
    request.range = word::Range::CurrentNodeAndBelow;
    request.path = "/tmp/出力.docx";
    // Without a current page only the whole tree can be chosen.
    ui::WordExportDialog without(nullptr, request, false);
    EXPECT_TRUE(without.rangeButton(word::Range::AllPages)->isChecked());
    EXPECT_FALSE(without.rangeButton(word::Range::CurrentNode)->isEnabled());
    EXPECT_FALSE(without.rangeButton(word::Range::CurrentNodeAndBelow)->isEnabled());

    ui::WordExportDialog dialog(nullptr, request, true);
    EXPECT_TRUE(dialog.rangeButton(word::Range::CurrentNodeAndBelow)->isChecked());
    EXPECT_TRUE(dialog.kindButton(word::Kind::Outline)->isChecked());
    EXPECT_EQ(dialog.kindButton(word::Kind::Text)->text(), "ﾃｷｽﾄ");
    EXPECT_EQ(dialog.kindButton(word::Kind::NoPictures)->text(), "MSﾜｰﾄﾞ文書(画像なし)");
    // The extension follows the format.
    dialog.kindButton(word::Kind::Text)->setChecked(true);
    EXPECT_EQ(dialog.pathEdit()->text(), "/tmp/出力.txt");
    dialog.kindButton(word::Kind::Headed)->setChecked(true);
    EXPECT_EQ(dialog.pathEdit()->text(), "/tmp/出力.docx");
    word::ExportRequest chosen;
    dialog.apply(chosen);
    EXPECT_EQ(chosen.kind, word::Kind::Headed);
    EXPECT_EQ(chosen.range, word::Range::CurrentNodeAndBelow);

    EXPECT_EQ(ui::pathForKind("a/b.c.doc", word::Kind::Outline), "a/b.c.docx");
    EXPECT_EQ(ui::pathForKind("a/名前", word::Kind::Text), "a/名前.txt");
    EXPECT_EQ(ui::pathForKind("a/x.TXT", word::Kind::Text), "a/x.TXT");
}

TEST_F(WordMenuTest, ExportWritesTheChosenFileAndShowsIt) {
    ASSERT_NE(item(2), nullptr);
    EXPECT_EQ(item(2)->text(), "文書(txt,doc)に出力");
    EXPECT_TRUE(item(2)->isEnabled());
    EXPECT_FALSE(item(2)->property("later").toBool());
    EXPECT_EQ(item(3)->text(), "ﾜｰﾄﾞ文書にﾊﾞｯｸｱｯﾌﾟ");
    EXPECT_TRUE(item(3)->isEnabled());

    open(1003);
    const QString target = out.filePath("第2章.docx");
    // Cancelled: nothing written, nothing shown.
    answerDialog([&](ui::WordExportDialog& d) { d.pathEdit()->setText(target); }, false);
    item(2)->trigger();
    EXPECT_TRUE(dialogSeen);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(opened.isEmpty());

    answerDialog(
        [&](ui::WordExportDialog& d) {
            // The dialog starts in the work folder with the database's name.
            EXPECT_EQ(d.pathEdit()->text(), G().WrkPath + G().DbName + ".docx");
            d.rangeButton(word::Range::CurrentNodeAndBelow)->setChecked(true);
            d.kindButton(word::Kind::Outline)->setChecked(true);
            d.pathEdit()->setText(target);
        },
        true);
    item(2)->trigger();
    ASSERT_TRUE(QFile::exists(target));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile(), target);
    EXPECT_TRUE(window->keyBar()->panelText().contains("に 3 ﾍﾟｰｼﾞを出力しました"))
        << window->keyBar()->panelText().toStdString();
    const QString body = bodyOf(target);
    EXPECT_TRUE(body.contains("第2章ツリーの使い方\n")) << body.toStdString();
    EXPECT_TRUE(body.contains("１ 第1章(リンク)\n"));
    EXPECT_TRUE(body.contains("２ 保護されたページ\n"));
    EXPECT_FALSE(body.contains("お知らせの一覧"));
}

TEST_F(WordMenuTest, ThePageOnScreenGoesInAsItStands) {
    open(1001);
    type("画面で書き足した文");
    const QString target = out.filePath("ようこそ.txt");
    ui.prompter.answers = {Answer::Yes};  // save the page on screen
    answerDialog(
        [&](ui::WordExportDialog& d) {
            d.rangeButton(word::Range::CurrentNode)->setChecked(true);
            d.kindButton(word::Kind::Text)->setChecked(true);
            d.pathEdit()->setText(target);
        },
        true);
    item(2)->trigger();
    EXPECT_TRUE(ui.prompter.messages.contains("現在の文書を保存しますか"));
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(f.readAll()).contains("画面で書き足した文"));
}

TEST_F(WordMenuTest, BackupAsksAndWritesEveryPage) {
    const QString folder = G().UserPath + "Dbs/" + G().DbName + "_doc/";
    ui.prompter.answers = {Answer::Cancel};
    item(3)->trigger();
    EXPECT_EQ(ui.prompter.messages.last(),
              "全てのﾍﾟｰｼﾞをﾜｰﾄﾞ文書に保存します\n (出力先:" + folder + ")");
    EXPECT_FALSE(QDir(folder).exists());

    item(3)->trigger();
    EXPECT_EQ(ui.prompter.messages.last(), "ﾜｰﾄﾞで一括ﾊﾞｯｸｱｯﾌﾟを完了しました");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 9);
    EXPECT_TRUE(bodyOf(folder + "1003.docx").startsWith("第2章 ツリーの使い方"));
}
