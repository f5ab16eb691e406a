// uTxm: the editing commands (rtAct) and the formatting they do.
#include <QLineEdit>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

#include "app/prompter.h"
#include "app/yini.h"
#include "editor/editor_checks.h"
#include "editor/editor_commands.h"
#include "editor/editor_texts.h"
#include "editor/page_settings.h"
#include "editor/paragraph_styles.h"
#include "editor/rich_text.h"
#include "editor/user_formats.h"
#include "ui/colour_button.h"
#include "ui/find_dialog.h"
#include "ui/format_frame.h"
#include "ui/page_setup_dialog.h"
#include "ui/page_view.h"
#include "ui/table_dialogs.h"
#include "ui/text_dialogs.h"
#include "ui/utxm_parts.h"

namespace arbor::ui {

namespace {

// Commands that change nothing on the page: they run on a read-only page too.
bool onlyLooks(int code) {
    static const QSet<int> codes = {
        cmd::SaveToDatabase, cmd::SaveAs,       cmd::FocusTitle,   cmd::FocusText,
        cmd::FocusText2,     cmd::FocusText3,   cmd::Copy,         cmd::SelectAll,
        cmd::Find,           cmd::Print,        cmd::Preview,      cmd::PropertiesFD,
        cmd::PropertiesRP,   cmd::PropertiesDP, cmd::PropertiesPG, cmd::PropertiesUS,
        cmd::PropertiesTF,   cmd::ZoomIn,       cmd::ZoomOut,      cmd::InsertOtherPage,
    };
    return codes.contains(code);
}

// Commands after which the page counts as modified (when they were carried out).
bool marksModified(int code) {
    static const QSet<int> codes = {
        cmd::InsertTextFile, cmd::InsertOtherPage, cmd::InsertPicture, cmd::Bold,
        cmd::Italic,         cmd::Underline,       cmd::InsertFrame,   cmd::Indent,
        cmd::FontDialog,     cmd::TextColor,       cmd::BackColor,     cmd::AlignLeft,
        cmd::TableCells,
    };
    return codes.contains(code);
}

}  // namespace

void uTxm::rtAct(int code) {
    const bool done = d_->carryOut(code);
    if (code == cmd::EditField || code == cmd::InsertTag || code == cmd::SaveAs)
        emit eUdtFld();
    if (done && marksModified(code))
        d_->setModified(true);
    emit eRtAct(code);
    d_->refresh();
}

void uTxm::PageWdIn() {
    if (d_->pageSetup())
        d_->refresh();
}

void uTxm::txSaveAs() {
    d_->saveAs();
}

bool uTxm::Parts::carryOut(int code) {
    if ((readOnly || mode < 0) && !onlyLooks(code))
        return false;
    view->pushCursor();
    bool done = true;
    switch (code) {
        case cmd::ReadFile:
        case cmd::ReadFile2:
        case cmd::ReadFile3:
            return readFile();
        case cmd::EditField:
            return editField();
        case cmd::SaveToDatabase:
            return runSave();
        case cmd::InsertTag:
            pickTagPage();
            return true;
        case cmd::SaveAs:
            return saveAs();
        case cmd::InsertTerm:
            return insertTerm();
        case cmd::InsertHyperlink:
            return insertHyperlink();
        case cmd::InsertPageBreak:
            text->insertPageBreak();
            break;
        case cmd::FocusTitle:
            title->setFocus();
            title->selectAll();
            return true;
        case cmd::FocusText:
        case cmd::FocusText2:
        case cmd::FocusText3:
            view->setFocus();
            return true;
        case cmd::Undo:
            view->undo();
            return true;
        case cmd::Redo:
            view->redo();
            return true;
        case cmd::Cut:
            view->cut();
            return true;
        case cmd::Copy:
            view->copy();
            return true;
        case cmd::Paste:
            view->paste();
            return true;
        case cmd::SelectAll:
            view->selectAll();
            return true;
        case cmd::Find:
        case cmd::Replace:
            openFind(code == cmd::Replace);
            return true;
        case cmd::Print:
            print();
            return true;
        case cmd::Preview:
            preview();
            return true;
        case cmd::NewDocument:
            return newDocument();
        case cmd::InsertTextFile:
            return insertTextFile();
        case cmd::InsertPicture:
            return insertPicture();
        case cmd::Bold:
            text->setBold(!text->bold());
            break;
        case cmd::Italic:
            text->setItalic(!text->italic());
            break;
        case cmd::Underline:
            text->setUnderline(!text->underline());
            break;
        case cmd::InsertFrame:
        case cmd::InsertScript:
            return insertMarkup(code == cmd::InsertScript);
        case cmd::StyleHeading1:
        case cmd::StyleHeading2:
        case cmd::StyleHeading3:
        case cmd::StyleBody:
        case cmd::StyleEmphasis:
        case cmd::StyleNote:
            done = applyStyle(code - cmd::StyleHeading1);
            break;
        case cmd::Indent:
            done = indentDialog();
            break;
        case cmd::HeaderFooter:
            return headerFooter();
        case cmd::FontDialog:
            done = fontDialog();
            break;
        case cmd::TextColor:
            done = applyColour(false);
            break;
        case cmd::BackColor:
            done = applyColour(true);
            break;
        case cmd::AlignLeft:
            setAlignment(Qt::AlignLeft);
            break;
        case cmd::AlignCenter:
            setAlignment(Qt::AlignHCenter);
            break;
        case cmd::AlignRight:
            setAlignment(Qt::AlignRight);
            break;
        case cmd::InsertTable:
            done = insertTable();
            break;
        case cmd::InsertRowsColumns:
            done = insertRowsColumns();
            break;
        case cmd::TableRows:
        case cmd::TableColumns:
        case cmd::TableCells:
            done = tableCommand(code);
            break;
        case cmd::ZoomIn:
        case cmd::ZoomOut:
            setZoom(nextZoom(view->zoom(), code == cmd::ZoomIn));
            return true;
        case cmd::PageSetup:
            return pageSetup();
        default:
            // The page properties window, another page's content: the main window's.
            return false;
    }
    view->pullCursor();
    view->setFocus();
    return done;
}

// ------------------------------------------------------------------ formats

bool uTxm::Parts::applyStyle(int index) {
    const QString refusal = styleRefusal(text->cursor(), index);
    if (!refusal.isEmpty()) {
        message(refusal);
        return false;
    }
    applyParagraphStyle(text->cursor(), index, Frmt::instance());
    return true;
}

bool uTxm::Parts::applyColour(bool background) {
    const ColourButton* button = background ? frame->backColour() : frame->textColour();
    if (background) {
        // White behind the text is the page itself, as the user formats have it.
        const bool white = button->colour() == QColor(Qt::white);
        text->setBackground(white ? QColor() : button->colour());
    } else {
        text->setForeground(button->colour());
    }
    return true;
}

void uTxm::Parts::setAlignment(Qt::Alignment alignment) {
    text->setAlignment(alignment);
}

bool uTxm::Parts::fontDialog() {
    FontDialog::Choice current;
    current.family = text->fontName();
    current.size = text->fontSize();
    current.bold = text->bold();
    current.italic = text->italic();
    current.underline = text->underline();
    current.colour = text->foreground();
    FontDialog dialog(current, q);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const FontDialog::Choice c = dialog.choice();
    QTextCharFormat f;
    if (!c.family.isEmpty())
        f.setFontFamilies(QStringList{c.family});
    if (c.size > 0)
        f.setFontPointSize(c.size);
    f.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(c.italic);
    f.setFontUnderline(c.underline);
    f.setForeground(c.colour);
    // One undo step for the whole choice.
    QTextCursor& cursor = text->cursor();
    cursor.beginEditBlock();
    cursor.mergeCharFormat(f);
    cursor.endEditBlock();
    return true;
}

bool uTxm::Parts::indentDialog() {
    const QString refusal = indentRefusal(text->cursor(), Frmt::instance());
    if (!refusal.isEmpty()) {
        message(refusal);
        return false;
    }
    IndentDialog dialog(text->leftIndent(), text->rightIndent(), text->firstLineIndent(), q);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    text->setIndents(dialog.left(), dialog.right(), dialog.firstLine());
    return true;
}

bool uTxm::Parts::headerFooter() {
    HeaderFooterDialog dialog(text->headerText(), text->footerText(), q);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const Frmt& table = Frmt::instance();
    if (dialog.header() != text->headerText()) {
        text->setHeaderText(dialog.header());
        applyHeaderFooterFormat(*text->header(), kHeader, table);
    }
    if (dialog.footer() != text->footerText()) {
        text->setFooterText(dialog.footer());
        applyHeaderFooterFormat(*text->footer(), kFooter, table);
    }
    return true;
}

// ------------------------------------------------------------------ tables

bool uTxm::Parts::insertTable() {
    TableDialog dialog(q);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return text->insertTable(dialog.rows(), dialog.columns()) != nullptr;
}

bool uTxm::Parts::insertRowsColumns() {
    if (!text->currentTable()) {
        message(QStringLiteral("表の中にｶｰｿﾙを置いてください"));
        return false;
    }
    RowsColumnsDialog dialog(q);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return dialog.columns() ? text->insertColumns(dialog.count(), dialog.after())
                            : text->insertRows(dialog.count(), dialog.after());
}

bool uTxm::Parts::tableCommand(int code) {
    if (!text->currentTable()) {
        message(QStringLiteral("表の中にｶｰｿﾙを置いてください"));
        return false;
    }
    if (code == cmd::TableRows)
        return text->removeRows();
    if (code == cmd::TableColumns)
        return text->removeColumns();
    // "ｾﾙ": selected cells are merged, a merged cell at the caret is split again.
    if (text->cursor().hasComplexSelection())
        return text->mergeCells();
    if (text->splitCell())
        return true;
    message(QStringLiteral("結合するｾﾙを選択してください"));
    return false;
}

// ------------------------------------------------------------------ page and view

bool uTxm::Parts::pageSetup() {
    PageSetupDialog dialog(text->pageSetup(), q);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const doc::PageSetup chosen = dialog.page();
    settings.page = chosen;
    writePageSettings(Ini(), chosen);
    text->setPageSetup(chosen);
    view->setViewMode(view->viewMode());
    return true;
}

bool uTxm::Parts::newDocument() {
    if (!prompter().confirm(edtext::kInitQuestion))
        return false;
    const bool hadContent = !text->isEmpty() || modified;
    {
        // Emptying is an edit of the page (it differs from what is stored), not a load.
        text->clear();
    }
    styleEmptyPage();
    if (hadContent)
        setUnsaved();
    view->setFocus();
    return true;
}

void uTxm::Parts::setZoom(int percent) {
    settings.zoom = std::clamp(percent, kMinZoom, kMaxZoom);
    view->setZoom(settings.zoom);
    refresh();
}

void uTxm::Parts::openFind(bool replace) {
    if (!find) {
        find = new FindDialog(view, q->window());
        QObject::connect(find, &FindDialog::status, q, [this](const QString& t) { status(t); });
    }
    find->showFor(replace, view->textCursor().selectedText());
}

}  // namespace arbor::ui
