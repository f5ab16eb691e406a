// The editor's bars and dialogs at work on a page: the style chooser, the colour buttons,
// find and replace, indentation, header and footer, links, tables, page setup, save as,
// reading files, pictures from files and from the clipboard.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextList>
#include <QTextTable>

#include "editor/document_model.h"
#include "editor/editor_commands.h"
#include "editor/editor_texts.h"
#include "editor/link_fields.h"
#include "editor/pictures.h"
#include "exchange/page_files.h"
#include "ui/colour_button.h"
#include "ui/editor_test_support.h"
#include "ui/find_dialog.h"
#include "ui/link_dialogs.h"
#include "ui/page_setup_dialog.h"
#include "ui/table_dialogs.h"
#include "ui/text_dialogs.h"

using namespace arbor;
using arbor::test::answerDialog;
using arbor::test::EditorFixture;

namespace {

QByteArray pngBytes(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

int pictureCount(const QTextDocument& document) {
    int count = 0;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                ++count;
    return count;
}

class EditorDialogs : public EditorFixture {
  protected:
    QTemporaryDir dir;

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QTextCharFormat formatAt(int position) {
        QTextCursor c(&body());
        c.setPosition(position + 1);
        return c.charFormat();
    }
    ui::FindDialog* findWindow() {
        return editor->window()->findChild<ui::FindDialog*>(QStringLiteral("sbFind"));
    }
};

TEST_F(EditorDialogs, StyleChooserAppliesTheStyleAndRefusesHeadingsOverLists) {
    load(QStringLiteral("First\nSecond"));
    auto* chooser = editor->findChild<QComboBox*>(QStringLiteral("cmbStyle"));
    ASSERT_NE(chooser, nullptr);
    ASSERT_EQ(chooser->count(), 6);
    EXPECT_EQ(chooser->itemText(1), QStringLiteral("見出２"));
    caretAt(8);
    emit chooser->activated(1);
    EXPECT_EQ(body().lastBlock().blockFormat().intProperty(doc::StyleIndex), 1);
    EXPECT_EQ(editor->paragraphKind(), QStringLiteral("見出２"));
    EXPECT_EQ(formatAt(7).fontPointSize(), Frmt::instance().format(1).FontSize);
    EXPECT_EQ(body().firstBlock().blockFormat().hasProperty(doc::StyleIndex), false);
    EXPECT_EQ(chooser->currentIndex(), 1);  // follows the caret
    caretAt(1);
    EXPECT_EQ(chooser->currentIndex(), -1);
    EXPECT_TRUE(editor->bDcEdt());

    // A list in the range: headings are refused, body styles are not.
    QTextCursor list(&body());
    list.createList(QTextListFormat::ListDisc);
    select(0, 3);
    emit chooser->activated(0);
    EXPECT_EQ(ui.prompter.messages,
              QStringList{QStringLiteral("ﾘｽﾄを含む範囲に対しては､見出しのｽﾀｲﾙは設定できません")});
    EXPECT_FALSE(body().firstBlock().blockFormat().hasProperty(doc::StyleIndex));
    emit chooser->activated(5);
    EXPECT_EQ(body().firstBlock().blockFormat().intProperty(doc::StyleIndex), 5);
}

TEST_F(EditorDialogs, ColourButtonsSetTheChosenColourAndSayWhichInTheirTip) {
    load(QStringLiteral("colour me"));
    auto* fore = editor->findChild<ui::ColourButton*>(QStringLiteral("cmFcr"));
    auto* back = editor->findChild<ui::ColourButton*>(QStringLiteral("cmBcr"));
    ASSERT_TRUE(fore && back);
    ASSERT_EQ(fore->menu()->actions().size(), 10);

    select(0, 6);
    fore->entry(QStringLiteral("Navy"))->trigger();
    EXPECT_EQ(fore->toolTip(), QStringLiteral("文字色(Navy)を設定します"));
    EXPECT_EQ(formatAt(2).foreground().color(), fore->colour());
    EXPECT_EQ(fore->colour(), QColor(0x00, 0x00, 0x80));
    EXPECT_TRUE(editor->bDcEdt());
    EXPECT_NE(formatAt(7).foreground().color(), fore->colour());  // outside the selection

    back->entry(QStringLiteral("Yellow"))->trigger();
    EXPECT_EQ(back->toolTip(), QStringLiteral("文字背景色(Yellow)を設定します"));
    EXPECT_EQ(formatAt(2).background().color(), back->colour());
    // The button itself applies its colour again, elsewhere; White is no background.
    select(7, 2);
    back->click();
    EXPECT_EQ(formatAt(7).background().color(), back->colour());
    back->entry(QStringLiteral("White"))->trigger();
    EXPECT_EQ(formatAt(7).background().style(), Qt::NoBrush);
    EXPECT_EQ(back->toolTip(), QStringLiteral("文字背景色(White)を設定します"));
}

TEST_F(EditorDialogs, FindNextWrapsAndHonoursCaseAndWholeWords) {
    load(QStringLiteral("cat Cat concat\ncat"));
    caretAt(0);
    editor->rtAct(cmd::Find);
    ui::FindDialog* find = findWindow();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    find->findEdit()->setText(QStringLiteral("cat"));
    auto found = [this] { return view()->textCursor().selectionStart(); };
    ASSERT_TRUE(find->findNext());
    EXPECT_EQ(found(), 0);
    find->findNext();
    EXPECT_EQ(found(), 4);  // case ignored
    find->caseBox()->setChecked(true);
    find->findNext();
    EXPECT_EQ(found(), 11);  // inside "concat"
    find->wordBox()->setChecked(true);
    find->findNext();
    EXPECT_EQ(found(), 15);
    find->findNext();
    EXPECT_EQ(found(), 0);  // round the end
    find->findEdit()->setText(QStringLiteral("dog"));
    EXPECT_FALSE(find->findNext());
    EXPECT_EQ(view()->textCursor().selectedText(), QStringLiteral("cat"));  // stays put
    find->close();
}

TEST_F(EditorDialogs, ReplaceAllIsOneUndoStep) {
    load(QStringLiteral("a-b a-b\na-b"));
    editor->rtAct(cmd::Replace);
    ui::FindDialog* find = findWindow();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->replaceEdit()->isVisible());
    find->findEdit()->setText(QStringLiteral("a-b"));
    find->replaceEdit()->setText(QStringLiteral("xyz"));
    EXPECT_EQ(find->replaceAll(), 3);
    EXPECT_EQ(plain(), QStringLiteral("xyz xyz\nxyz"));
    EXPECT_TRUE(editor->bDcEdt());
    editor->rtAct(cmd::Undo);
    EXPECT_EQ(plain(), QStringLiteral("a-b a-b\na-b"));

    // One at a time: replace what is selected, then select the next.
    caretAt(0);
    ASSERT_TRUE(find->findNext());
    EXPECT_TRUE(find->replaceOne());
    EXPECT_EQ(plain(), QStringLiteral("xyz a-b\na-b"));
    EXPECT_EQ(view()->textCursor().selectionStart(), 4);
    find->close();
}

TEST_F(EditorDialogs, IndentationRefusesWithoutOneNonHeadingParagraph) {
    load(QStringLiteral("Title\nbody one\nbody two"));
    caretAt(0);
    editor->rtAct(cmd::StyleHeading1);
    ui.prompter.messages.clear();
    caretAt(8);
    editor->rtAct(cmd::Indent);
    select(8, 9);
    editor->rtAct(cmd::Indent);
    select(1, 2);
    editor->rtAct(cmd::Indent);
    EXPECT_EQ(
        ui.prompter.messages,
        (QStringList{QStringLiteral("範囲が指定されていません"),
                     QStringLiteral("複数の段落にまたがっています"),
                     QStringLiteral("見出し部には、設定できません (Htmではｽﾀｲﾙｼｰﾄで設定します)")}));

    answerDialog<ui::IndentDialog>([](ui::IndentDialog* d) {
        d->leftBox()->setValue(10);
        d->firstLineBox()->setValue(-5);
        return true;
    });
    select(7, 4);
    editor->rtAct(cmd::Indent);
    EXPECT_EQ(ui.prompter.messages.size(), 3);
    const QTextBlockFormat f = body().findBlock(8).blockFormat();
    EXPECT_NEAR(f.leftMargin(), 10 / 25.4 * 72, 0.1);
    EXPECT_NEAR(f.textIndent(), -5 / 25.4 * 72, 0.1);
    EXPECT_EQ(body().findBlock(17).blockFormat().leftMargin(), 0);  // only the selected one
}

TEST_F(EditorDialogs, HeaderAndFooterTakeTheirUserFormats) {
    load(QStringLiteral("body"));
    answerDialog<ui::HeaderFooterDialog>([](ui::HeaderFooterDialog* d) {
        d->headerEdit()->setPlainText(QStringLiteral("Head line"));
        d->footerEdit()->setPlainText(QStringLiteral("Foot line"));
        return true;
    });
    editor->rtAct(cmd::HeaderFooter);
    EXPECT_EQ(text().headerText(), QStringLiteral("Head line"));
    EXPECT_EQ(text().footerText(), QStringLiteral("Foot line"));
    QTextCursor head(text().header());
    head.setPosition(1);
    EXPECT_EQ(head.charFormat().fontPointSize(), Frmt::instance().format(kHeader).FontSize);
    EXPECT_EQ(text().header()->firstBlock().blockFormat().intProperty(doc::StyleIndex), kHeader);
    EXPECT_EQ(text().footer()->firstBlock().blockFormat().intProperty(doc::StyleIndex), kFooter);
    EXPECT_TRUE(editor->bDcEdt());

    // Cancelled: nothing changes.
    load(QStringLiteral("body"));
    answerDialog<ui::HeaderFooterDialog>([](ui::HeaderFooterDialog* d) {
        d->headerEdit()->setPlainText(QStringLiteral("ignored"));
        return false;
    });
    editor->rtAct(cmd::HeaderFooter);
    EXPECT_TRUE(text().headerText().isEmpty());
    EXPECT_FALSE(editor->bDcEdt());
}

TEST_F(EditorDialogs, HyperlinkAndObjectLinksAreFields) {
    load(QStringLiteral("visit us"));
    select(0, 5);
    ui.prompter.files = {QStringLiteral("/srv/docs/guide.pdf")};
    answerDialog<ui::HyperlinkDialog>([](ui::HyperlinkDialog* d) {
        EXPECT_EQ(d->textEdit()->text(), QStringLiteral("visit"));
        d->browse();
        return true;
    });
    editor->rtAct(cmd::InsertHyperlink);
    ASSERT_EQ(ui.prompter.fileRequests.size(), 1);
    EXPECT_EQ(ui.prompter.fileRequests[0].title, QStringLiteral("ﾘﾝｸ先のﾄﾞｷｭﾒﾝﾄ"));
    EXPECT_EQ(ui.prompter.fileRequests[0].filters, QStringList{QStringLiteral("全てのﾌｧｲﾙ (*)")});
    ASSERT_EQ(text().allFields().size(), 1);
    EXPECT_EQ(text().allFields()[0].text, QStringLiteral("visit"));
    EXPECT_EQ(text().allFields()[0].data, QStringLiteral("/srv/docs/guide.pdf"));

    caretAt(body().characterCount() - 1);
    answerDialog<ui::MarkupDialog>([](ui::MarkupDialog* d) {
        d->markupEdit()->setPlainText(
            QStringLiteral("<iframe src=\"https://x.example/\">\n</iframe>"));
        return true;
    });
    editor->rtAct(cmd::InsertFrame);
    ASSERT_EQ(text().allFields().size(), 2);
    const fields::Field object = text().allFields()[1];
    EXPECT_EQ(object.text,
              QStringLiteral("[Iframe:<iframe src=\"https://x.example/\"> </iframe>]"));
    EXPECT_EQ(object.data,
              objectData(QStringLiteral("<iframe src=\"https://x.example/\">\n</iframe>")));
    EXPECT_TRUE(editor->bDcEdt());

    // A target that would read as a tag is refused.
    load(QStringLiteral("x"));
    answerDialog<ui::HyperlinkDialog>([](ui::HyperlinkDialog* d) {
        d->targetEdit()->setText(QStringLiteral("tg_12"));
        return true;
    });
    editor->rtAct(cmd::InsertHyperlink);
    EXPECT_TRUE(text().allFields().isEmpty());
    EXPECT_TRUE(ui.prompter.messages.last().contains(QStringLiteral("tg_12")));
}

TEST_F(EditorDialogs, TablesAreInsertedAndChanged) {
    load(QStringLiteral("before"));
    caretAt(6);
    ui.prompter.messages.clear();
    editor->rtAct(cmd::TableRows);
    EXPECT_EQ(ui.prompter.messages.size(), 1);  // no table at the caret

    answerDialog<ui::TableDialog>([](ui::TableDialog* d) {
        d->rowsBox()->setValue(2);
        d->columnsBox()->setValue(4);
        return true;
    });
    editor->rtAct(cmd::InsertTable);
    QTextTable* table = view()->textCursor().currentTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 4);
    EXPECT_TRUE(editor->menuState().inTable);

    answerDialog<ui::RowsColumnsDialog>([](ui::RowsColumnsDialog* d) {
        d->columnsButton()->setChecked(true);
        d->countBox()->setValue(2);
        return true;
    });
    editor->rtAct(cmd::InsertRowsColumns);
    EXPECT_EQ(table->columns(), 6);
    editor->rtAct(cmd::TableRows);
    EXPECT_EQ(table->rows(), 1);

    // Cells: two selected are merged, then split again.
    QTextCursor cells = view()->textCursor();
    cells.setPosition(table->cellAt(0, 0).firstPosition());
    cells.setPosition(table->cellAt(0, 1).firstPosition(), QTextCursor::KeepAnchor);
    view()->setTextCursor(cells);
    editor->rtAct(cmd::TableCells);
    EXPECT_EQ(table->cellAt(0, 0).columnSpan(), 2);
    caretAt(table->cellAt(0, 0).firstPosition());
    editor->rtAct(cmd::TableCells);
    EXPECT_EQ(table->cellAt(0, 0).columnSpan(), 1);
}

TEST_F(EditorDialogs, PageSetupFillsFromThePaperListAndWritesTheSettings) {
    load(QStringLiteral("page"));
    answerDialog<ui::PageSetupDialog>([](ui::PageSetupDialog* d) {
        EXPECT_EQ(d->paperList()->count(), 15);
        EXPECT_EQ(d->paperList()->currentRow(), 7);  // letter, the default page
        d->paperList()->setCurrentRow(0);
        EXPECT_NEAR(d->widthBox()->value(), 210, 0.2);
        EXPECT_NEAR(d->heightBox()->value(), 297, 0.2);
        d->marginBox(0)->setValue(20);
        // Margins wider than the paper are not taken.
        d->marginBox(2)->setValue(200);
        d->accept();
        EXPECT_TRUE(d->isVisible());
        EXPECT_FALSE(d->problem().isEmpty());
        d->marginBox(2)->setValue(10);
        return true;
    });
    editor->PageWdIn();
    EXPECT_EQ(text().pageSetup().width, 11900);
    EXPECT_EQ(text().pageSetup().height, 16838);
    EXPECT_EQ(text().pageSetup().marginLeft, 1134);
    Ini().GetGtx(QStringLiteral("TX_PAGE"));
    EXPECT_EQ(Ini().vGtVal(QStringLiteral("WIDTH"), 0).toInt(), 11900);
    EXPECT_EQ(Ini().vGtVal(QStringLiteral("HEIGHT"), 0).toInt(), 16838);
    EXPECT_EQ(Ini().vGtVal(QStringLiteral("M_LFT"), 0).toInt(), 1134);
    EXPECT_EQ(Ini().vGtVal(QStringLiteral("M_RGH"), 0).toInt(), 567);
    EXPECT_TRUE(editor->bDcEdt());
    // A new page takes the size from now on.
    editor->SetData(QByteArray(), true);
    EXPECT_EQ(text().pageSetup().width, 11900);
    Ini().GetGtx(QStringLiteral("TX_PAGE"));
    Ini().SetVal(QStringLiteral("WIDTH"), 12240);
    Ini().SetVal(QStringLiteral("HEIGHT"), 15840);
    Ini().SetGtx();
}

TEST_F(EditorDialogs, SaveAsWritesTheKindTheNameChooses) {
    load(QStringLiteral("saved text"));
    editor->setTitle(QStringLiteral("My page"));
    ui.prompter.files = {dir.filePath("out.docx"), dir.filePath("out.txt"), dir.filePath("plain"),
                         dir.filePath("out.html")};
    editor->rtAct(cmd::SaveAs);
    ASSERT_EQ(ui.prompter.fileRequests.size(), 1);
    const FileDialogRequest& request = ui.prompter.fileRequests[0];
    EXPECT_EQ(request.title, QStringLiteral("文書の保存"));
    EXPECT_EQ(request.fileName, QStringLiteral("My_page.docx"));
    EXPECT_EQ(request.filters, edtext::filterLines(edtext::saveAsFilters()));
    ASSERT_EQ(request.filters.size(), 6);
    EXPECT_EQ(request.filters[0], QStringLiteral("ﾜｰﾄﾞ文書 97-2003(*.doc)"));
    EXPECT_EQ(request.filters[3], QStringLiteral("HTML (*.htm *.html)"));
    EXPECT_EQ(request.filters[5], QStringLiteral("ﾃｽｷﾄﾌｧｲﾙ (*.txt)"));
    EXPECT_EQ(request.filters[request.filterIndex], QStringLiteral("ﾜｰﾄﾞ文書 (*.docx)"));

    RichText back;
    QString error;
    ASSERT_TRUE(pagefiles::loadFile(back, dir.filePath("out.docx"), error)) << error.toStdString();
    EXPECT_EQ(back.plainText(), QStringLiteral("saved text"));
    EXPECT_TRUE(events.contains("eSaveAs"));

    editor->rtAct(cmd::SaveAs);
    QFile txt(dir.filePath("out.txt"));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    EXPECT_EQ(txt.readAll(), QByteArray("saved text"));
    editor->rtAct(cmd::SaveAs);
    EXPECT_TRUE(QFile::exists(dir.filePath("plain.docx")));
    events.clear();
    editor->rtAct(cmd::SaveAs);
    EXPECT_TRUE(events.contains("eAskHtmHd"));
    EXPECT_TRUE(QFile::exists(dir.filePath("out.html")));
    EXPECT_FALSE(editor->bDcEdt());  // the page itself is not stored by a save as
}

TEST_F(EditorDialogs, ReadingAFileReplacesThePageOrLeavesItOnFailure) {
    load(QStringLiteral("original"));
    const QString good = writeFile("in.txt", QByteArray("read line 1\nread line 2"));
    const QString bad = writeFile("broken.docx", QByteArray("not a zip at all"));
    ui.prompter.files = {bad, good};
    editor->rtAct(cmd::ReadFile);
    EXPECT_EQ(ui.prompter.fileRequests[0].title, QStringLiteral("文書の読み込み"));
    EXPECT_EQ(ui.prompter.messages.size(), 1);
    EXPECT_EQ(plain(), QStringLiteral("original"));
    EXPECT_FALSE(editor->bDcEdt());

    editor->rtAct(cmd::ReadFile);
    EXPECT_EQ(plain(), QStringLiteral("read line 1\nread line 2"));
    EXPECT_TRUE(editor->bDcEdt());  // the page holds the file now, not what is stored

    // Over unsaved changes the user is asked first; Cancel keeps them.
    ui.prompter.files = {good};
    ui.prompter.answers = {Answer::Cancel};
    caretAt(0);
    test::typeText(view(), QStringLiteral("mine "));
    editor->rtAct(cmd::ReadFile);
    EXPECT_TRUE(plain().startsWith(QStringLiteral("mine ")));
    EXPECT_EQ(ui.prompter.messages.last(), QStringLiteral("文書は初期化されますが良いですか"));

    // Inserting a text file puts it at the caret.
    load(QStringLiteral("AB"));
    caretAt(1);
    ui.prompter.files = {good};
    editor->rtAct(cmd::InsertTextFile);
    EXPECT_EQ(ui.prompter.fileRequests.last().title, QStringLiteral("ﾃｷｽﾄの挿入"));
    EXPECT_EQ(plain(), QStringLiteral("Aread line 1\nread line 2B"));
    EXPECT_TRUE(editor->bDcEdt());
}

TEST_F(EditorDialogs, PicturesComeFromImageFilesOnly) {
    load(QStringLiteral("pic"));
    const QString notImage = writeFile("notes.png", QByteArray("just some text"));
    const QString image = writeFile("real.png", pngBytes(40, 30));
    ui.prompter.files = {notImage};
    editor->rtAct(cmd::InsertPicture);
    ASSERT_EQ(ui.prompter.messages.size(), 1);
    EXPECT_TRUE(ui.prompter.messages[0].contains(QStringLiteral("PNG")));
    EXPECT_EQ(pictureCount(body()), 0);
    EXPECT_FALSE(editor->bDcEdt());

    ui.prompter.files = {image};
    editor->rtAct(cmd::InsertPicture);
    EXPECT_EQ(pictureCount(body()), 1);
    EXPECT_TRUE(editor->bDcEdt());
}

TEST_F(EditorDialogs, PastedImagesBecomePngPictures) {
    load(QStringLiteral("clip"));
    caretAt(4);
    auto* mime = new QMimeData;
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(Qt::red);
    mime->setImageData(image);
    QApplication::clipboard()->setMimeData(mime);
    editor->rtAct(cmd::Paste);
    ASSERT_EQ(pictureCount(body()), 1);
    const auto names = pictures::pictureNames(body());
    ASSERT_EQ(names.size(), 1);
    EXPECT_TRUE(names[0].endsWith(QStringLiteral(".png")));
    EXPECT_TRUE(editor->bDcEdt());

    // A copy inside the page keeps its fields.
    load(QStringLiteral("ab"));
    caretAt(1);
    text().setCursor(view()->textCursor());
    text().insertField(QStringLiteral("L"), tagData(7));
    select(0, 3);
    editor->rtAct(cmd::Copy);
    caretAt(body().characterCount() - 1);
    editor->rtAct(cmd::Paste);
    EXPECT_EQ(plain(), QStringLiteral("aLbaLb"));
    EXPECT_EQ(text().allFields().size(), 2);
}

}  // namespace
