// The editor's dialogs that read the open document database: the page picker (tree and
// title search) and the term dialog; and a stored sample page shown in the editor.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include "db/zsvr.h"
#include "editor/editor_commands.h"
#include "editor/link_fields.h"
#include "editor/page_records.h"
#include "editor/sample_collection.h"
#include "support/doc_db.h"
#include "tree/tree_model.h"
#include "ui/editor_test_support.h"
#include "ui/link_dialogs.h"
#include "ui/page_picker.h"
#include "ui/page_tree_view.h"

using namespace arbor;
using arbor::test::answerDialog;
using arbor::test::DbEngine;

namespace {

class EditorDatabase : public ::testing::TestWithParam<DbEngine> {
  protected:
    test::PrompterFixture ui;
    zSvr& db = zSvr::instance();

    void exec(const QString& sql) {
        ASSERT_TRUE(db.D_ExeSq(sql)) << sql.toStdString() << ": " << db.lastError().toStdString();
    }
    //   0 > 1001 Intro > 1002 Details;  0 > 1003 Appendix (collecting) > 1004 Note
    void pages() {
        exec("Insert Into msDoc (noDoc, szDoc, boCod) Values (1001, 'Intro', 0)");
        exec("Insert Into msDoc (noDoc, szDoc, boCod) Values (1002, 'Details', 0)");
        exec("Insert Into msDoc (noDoc, szDoc, boCod) Values (1003, 'Appendix', 1)");
        exec("Insert Into msDoc (noDoc, szDoc, boCod) Values (1004, 'Note on details', 0)");
        exec(
            "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk) Values (0, 1001, 0, 'Intro', "
            "0)");
        exec(
            "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk) Values (1001, 1002, 0, "
            "'Details label', 0)");
        exec(
            "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk) Values (0, 1003, 1, "
            "'Appendix', 0)");
        exec(
            "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk) Values (1003, 1004, 0, "
            "'Note on details', 0)");
    }
};

TEST_P(EditorDatabase, PagePickerOffersTheTreeAndFindsTitles) {
    ARBOR_OPEN_DOCDB(docDb, GetParam());
    pages();
    ui::PagePicker picker(QStringLiteral("ﾀｸﾞの参照"));
    picker.show();
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("ﾀｸﾞの参照"));
    QAbstractItemModel* model = picker.treeView()->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(picker.pageNumber(), 0);

    // Expanding reads the level below; the title is the page's, not the placement's label.
    const QModelIndex intro = model->index(0, 0);
    picker.treeView()->expand(intro);
    ASSERT_EQ(model->rowCount(intro), 1);
    picker.treeView()->setCurrentIndex(model->index(0, 0, intro));
    EXPECT_EQ(picker.pageNumber(), 1002);
    EXPECT_EQ(picker.pageTitle(), QStringLiteral("Details"));

    // The search also reaches a collecting page's children; clearing it shows the tree.
    picker.searchEdit()->setText(QStringLiteral("detail"));
    ASSERT_EQ(picker.hitList()->count(), 2);
    picker.hitList()->setCurrentRow(1);
    EXPECT_EQ(picker.pageNumber(), 1004);
    EXPECT_EQ(picker.pageTitle(), QStringLiteral("Note on details"));
    picker.searchEdit()->setText(QStringLiteral("nothing like it"));
    EXPECT_EQ(picker.pageNumber(), 0);
    picker.searchEdit()->clear();
    EXPECT_EQ(picker.pageNumber(), 1002);

    // The static form answers with the choice, or with nothing.
    answerDialog<ui::PagePicker>([](ui::PagePicker* p) {
        p->searchEdit()->setText(QStringLiteral("Appendix"));
        return true;
    });
    int number = 0;
    QString title;
    ASSERT_TRUE(ui::PagePicker::pick(nullptr, QStringLiteral("既存ﾍﾟｰｼﾞを参照"), number, title));
    EXPECT_EQ(number, 1003);
    EXPECT_EQ(title, QStringLiteral("Appendix"));
    answerDialog<ui::PagePicker>([](ui::PagePicker*) { return false; });
    number = 0;
    EXPECT_FALSE(ui::PagePicker::pick(nullptr, QStringLiteral("x"), number, title));
    EXPECT_EQ(number, 0);
}

TEST_P(EditorDatabase, TermLinksComeFromTheDictionary) {
    ARBOR_OPEN_DOCDB(docDb, GetParam());
    exec("Insert Into msDic (skDic, szDic) Values ('ＨＴＭＬ５（仕様）', 'markup')");
    exec("Insert Into msDic (skDic, szDic) Values ('木構造', 'tree')");
    test::setUpdateConfirmSetting(QStringLiteral("確認"));
    ui::uTxm editor;
    editor.setCTyp(2);
    editor.cOn();
    editor.show();
    RichText source;
    source.setText(QStringLiteral("see here"));
    ASSERT_TRUE(editor.SetData(source.saveBytes(), true));
    QTextCursor c(editor.GetObj().body());
    c.setPosition(4);
    c.setPosition(8, QTextCursor::KeepAnchor);
    editor.findChild<ui::PageView*>(QStringLiteral("mTxt"))->setTextCursor(c);

    answerDialog<ui::TermDialog>([](ui::TermDialog* d) {
        EXPECT_EQ(d->termCount(), 2);
        d->filterEdit()->setText(QStringLiteral("html"));
        EXPECT_TRUE(d->term().isEmpty());  // nothing chosen yet
        EXPECT_TRUE(d->selectTerm(QStringLiteral("ＨＴＭＬ５（仕様）")));
        return true;
    });
    editor.rtAct(cmd::InsertTerm);
    const QList<fields::Field> links = editor.GetObj().allFields();
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links[0].text, QStringLiteral("here"));
    // Narrowed, stripped of the brackets, widened again.
    EXPECT_EQ(links[0].data, QStringLiteral("TP_ＨＴＭＬ５仕様"));
    EXPECT_TRUE(editor.bDcEdt());
}

TEST_P(EditorDatabase, AnEditorOnItsOwnPicksTheTagPageItself) {
    ARBOR_OPEN_DOCDB(docDb, GetParam());
    pages();
    ui::uTxm editor;  // nobody answers ePickTagPage
    editor.setCTyp(2);
    editor.cOn();
    editor.show();
    ASSERT_TRUE(editor.SetData(QByteArray(), true));
    bool shown = false;
    answerDialog<ui::PagePicker>(
        [](ui::PagePicker* p) {
            EXPECT_EQ(p->windowTitle(), QStringLiteral("ﾀｸﾞの参照"));
            p->searchEdit()->setText(QStringLiteral("Intro"));
            return true;
        },
        &shown);
    editor.rtAct(cmd::InsertTag);
    EXPECT_TRUE(shown);
    ASSERT_EQ(editor.GetObj().allFields().size(), 1);
    EXPECT_EQ(editor.GetObj().allFields()[0].text, QStringLiteral("Intro"));
    EXPECT_EQ(editor.GetObj().allFields()[0].data, QStringLiteral("TG_1001"));
    EXPECT_TRUE(editor.bDcEdt());
}

ARBOR_INSTANTIATE_ENGINES(EditorDatabase);

TEST(EditorSamplePage, AStoredPageShowsUnmodifiedAndSavesWhatItLoaded) {
    test::PrompterFixture ui;
    QTemporaryDir dir;
    const QString path = dir.filePath("sample.txdb");
    QString error;
    ASSERT_TRUE(createSampleCollection(path, ARBOR_TEST_APDATA "schema.sql", error))
        << error.toStdString();
    bool ok = false;
    zSvr::instance().D_StDcDb(path, ok);
    ASSERT_TRUE(ok);
    const StoredPage page = readPage(1002, false);
    ASSERT_TRUE(page.hasBytes);

    ui::uTxm editor;
    editor.setCTyp(2);
    editor.cOn();
    editor.resize(900, 700);
    editor.show();
    ASSERT_TRUE(editor.SetData(page.bytes));
    editor.setTitle(page.title);
    QApplication::processEvents();
    EXPECT_FALSE(editor.bDcEdt());
    EXPECT_TRUE(ui.prompter.messages.isEmpty());
    EXPECT_EQ(editor.paragraphKind(), QStringLiteral("見出１(頁見出)"));

    const PageContent content = editor.pageContent();
    EXPECT_EQ(content.title, page.title);
    RichText again;
    ASSERT_TRUE(again.loadBytes(content.bytes, error)) << error.toStdString();
    RichText original;
    ASSERT_TRUE(original.loadBytes(page.bytes, error));
    EXPECT_EQ(again.plainText(), original.plainText());
    EXPECT_EQ(again.allFields(), original.allFields());
    EXPECT_EQ(content.fieldData.size(), original.allFields().size());
    EXPECT_EQ(again.headerText(), original.headerText());
    editor.cOff();
    zSvr::instance().D_Close();
}

}  // namespace
