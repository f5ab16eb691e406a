// The main window's menu commands and the enabling of its menus.

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QColorDialog>
#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QTextTable>
#include <QUrl>

#include "app/file_type.h"
#include "app/program_state.h"
#include "app/prompter.h"
#include "app/shell_ops.h"
#include "app/yini.h"
#include "db/publish_right.h"
#include "db/schema.h"
#include "db/zsvr.h"
#include "editor/editor_commands.h"
#include "editor/html_export.h"
#include "editor/page_settings.h"
#include "editor/rich_text.h"
#include "exchange/folder_import.h"
#include "exchange/page_files.h"
#include "tree/node_key.h"
#include "tree/page_tree.h"
#include "ui/export_dialog.h"
#include "ui/fmdoc.h"
#include "ui/main_menus.h"
#include "ui/placement_properties.h"
#include "ui/settings_dialog.h"
#include "ui/tree_menu.h"
#include "ui/ufky.h"
#include "ui/utrx.h"
#include "ui/utxm.h"

namespace arbor::ui {

namespace {

void enableItems(MainMenus* menus, const QString& array, std::initializer_list<int> items,
                 bool on) {
    for (int i : items)
        if (QAction* a = menus->item(array, i))
            a->setEnabled(on);
}

// Pastes tab-separated lines as a table.
void pasteAsTable(RichText& text, const QString& clip) {
    QStringList lines = clip.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return;
    int columns = 1;
    for (const QString& l : lines)
        columns = std::max(columns, static_cast<int>(l.count(u'\t')) + 1);
    QTextTable* table = text.insertTable(static_cast<int>(lines.size()), columns);
    if (!table)
        return;
    for (int r = 0; r < lines.size(); ++r) {
        const QStringList cells = lines[r].split(u'\t');
        for (int c = 0; c < cells.size(); ++c)
            table->cellAt(r, c).firstCursorPosition().insertText(cells[c]);
    }
}

// Imports a folder under the selected page, at the top level when nothing is selected;
// returns the first new page (0 when nothing was imported).
int importFolderUnderSelection(const tree::PageTree& t) {
    static QString lastFolder;
    const QString key = t.SlctdKy();
    if (key == tree::kNewNodeKey) {
        prompter().message(QStringLiteral("新規ﾍﾟｰｼﾞを保存してから取り込んで下さい"));
        return 0;
    }
    const int parent = key.isEmpty() ? 0 : t.GetPrCdNo(key).page.toInt();
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Folder;
    request.title = QStringLiteral("取り込むﾌｫﾙﾀﾞ");
    request.folder = lastFolder.isEmpty() ? QDir::homePath() : lastFolder;
    const QString folder = prompter().chooseFile(request);
    if (folder.isEmpty())
        return 0;
    lastFolder = folder;
    const QString place = parent > 0
                              ? QStringLiteral("｢") + t.GetNodeText() + QStringLiteral("｣ の下に")
                              : QStringLiteral("ﾄｯﾌﾟﾚﾍﾞﾙに");
    if (!prompter().confirm(place + u'\n' + folder + u'\n' +
                            QStringLiteral("の .html .htm .md .txt をﾍﾟｰｼﾞとして取り込みます\n") +
                            QStringLiteral("実行して良いですか")))
        return 0;
    folderimport::ImportRequest import;
    import.folder = folder;
    import.parent = parent;
    import.pageSetup = readPageSettings(Ini());
    const folderimport::ImportReport report = folderimport::importFolder(import);
    prompter().message(folderimport::reportText(report), report.ok && report.skipped.isEmpty()
                                                             ? Severity::Information
                                                             : Severity::Warning);
    return report.ok ? report.firstPage : 0;
}

}  // namespace

void fmDoc::runCommand(const QString& array, int index) {
    RichText& text = editor_->GetObj();
    if (array == QLatin1String("mnFile")) {
        switch (index) {
            case 0:
                previewInBrowser();
                return;
            case 2:
                editor_->rtAct(cmd::Preview);
                return;
            case 3:
                editor_->rtAct(cmd::ReadFile);
                return;
            case 4:
                editor_->rtAct(cmd::InsertTextFile);
                return;
            case 5:
                editor_->rtAct(cmd::SaveAs);
                return;
            case 6:
                editor_->rtAct(cmd::Print);
                return;
            case 7:
                openInWordProcessor();
                return;
        }
    } else if (array == QLatin1String("mnExit")) {
        G().BusyFlag = true;
        if (CloseMain())
            close();
        else
            G().BusyFlag = false;
    } else if (array == QLatin1String("mnEdit")) {
        static const QHash<int, int> codes = {
            {0, cmd::Undo},         {1, cmd::Redo},        {3, cmd::Cut},
            {4, cmd::Copy},         {5, cmd::Paste},       {8, cmd::SelectAll},
            {9, cmd::Find},         {10, cmd::Replace},    {12, cmd::EditField},
            {13, cmd::NewDocument}, {16, cmd::FocusTitle}, {18, cmd::SaveToDatabase}};
        if (index == 15)
            InsertOtherPage();
        else if (codes.contains(index))
            editor_->rtAct(codes.value(index));
    } else if (array == QLatin1String("mnPast")) {
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        if (!mime)
            return;
        if (index == 0 && mime->hasText()) {
            text.insertText(mime->text());
        } else if (index == 2) {
            editor_->rtAct(cmd::Paste);
        } else if (index == 3 && mime->hasImage()) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            qvariant_cast<QImage>(mime->imageData()).save(&buffer, "PNG");
            QString error;
            if (!text.insertPicture(png, error))
                prompter().message(error, Severity::Warning);
        } else if (index == 5 && mime->hasText()) {
            pasteAsTable(text, mime->text());
        }
    } else if (array == QLatin1String("mnLocal")) {
        static const QHash<int, int> codes = {
            {0, cmd::InsertTable},      {1, cmd::InsertRowsColumns}, {3, cmd::InsertPicture},
            {4, cmd::InsertTextFile},   {8, cmd::InsertFrame},       {9, cmd::InsertScript},
            {11, cmd::InsertHyperlink}, {12, cmd::InsertTag},        {14, cmd::InsertTerm},
            {15, cmd::EditField},       {18, cmd::InsertPageBreak},  {20, cmd::HeaderFooter},
            {21, cmd::PageSetup}};
        if (index == 5)
            InsertOtherPage();
        else if (index == 17)
            text.insertText(
                QDateTime::currentDateTime().toString(QStringLiteral("yyyy年M月d日 H:mm")));
        else if (codes.contains(index))
            editor_->rtAct(codes.value(index));
    } else if (array == QLatin1String("mnSelc")) {
        static const QHash<int, int> codes = {
            {0, cmd::StyleHeading1}, {1, cmd::StyleHeading2}, {2, cmd::StyleHeading3},
            {3, cmd::StyleBody},     {4, cmd::StyleEmphasis}, {5, cmd::StyleNote},
            {7, cmd::Bold},          {8, cmd::Italic},        {9, cmd::FontDialog},
            {10, cmd::Underline},    {12, cmd::TextColor},    {13, cmd::BackColor},
            {15, cmd::AlignLeft},    {16, cmd::AlignCenter},  {17, cmd::AlignRight},
            {18, cmd::Indent}};
        if (codes.contains(index))
            editor_->rtAct(codes.value(index));
    } else if (array == QLatin1String("mnTins")) {
        if (index == 0)
            editor_->rtAct(cmd::InsertTable);
        else if (index == 2 || index == 3)
            text.insertRows(1, index == 3);
        else if (index == 5 || index == 6)
            text.insertColumns(1, index == 6);
    } else if (array == QLatin1String("mnTbl")) {
        if (index == 0) {
            text.mergeCells();
        } else if (index == 1) {
            text.splitCell();
        } else if (index == 2) {
            const QColor c = QColorDialog::getColor(Qt::white, this, QStringLiteral("ｾﾙの背景色"));
            if (c.isValid())
                text.setCellBackground(c);
        } else if (index == 3 || index == 4) {
            bool ok = false;
            const double v = QInputDialog::getDouble(
                this, index == 3 ? QStringLiteral("罫線") : QStringLiteral("ｾﾙの余白"),
                QStringLiteral("ﾎﾟｲﾝﾄ"), 1, 0, 20, 1, &ok);
            if (ok)
                index == 3 ? text.setCellBorder(v, Qt::black) : text.setCellPadding(v);
        }
    } else if (array == QLatin1String("mnTdel")) {
        if (index == 0) {
            text.removeRows();
        } else if (index == 1) {
            text.removeColumns();
        } else if (QTextTable* table = text.currentTable()) {
            QTextCursor c = table->firstCursorPosition();
            c.setPosition(table->lastCursorPosition().position(), QTextCursor::KeepAnchor);
            table->removeRows(0, table->rows());
        }
    } else if (array == QLatin1String("mnTslc")) {
        QTextTable* table = text.currentTable();
        if (!table)
            return;
        const QTextTableCell cell = table->cellAt(text.cursor());
        QTextCursor c = text.cursor();
        int row = cell.row(), column = cell.column(), rows = 1, columns = 1;
        if (index == 0) {
            column = 0;
            columns = table->columns();
        } else if (index == 1) {
            row = 0;
            rows = table->rows();
        } else {
            row = column = 0;
            rows = table->rows();
            columns = table->columns();
        }
        c.setPosition(table->cellAt(row, column).firstPosition());
        c.setPosition(table->cellAt(row + rows - 1, column + columns - 1).lastPosition(),
                      QTextCursor::KeepAnchor);
        text.setCursor(c);
        editor_->rtAct(cmd::FocusText);
    } else if (array == QLatin1String("mnZoom")) {
        editor_->rtAct(index == 0 ? cmd::ZoomIn : cmd::ZoomOut);
    } else if (array == QLatin1String("mnView")) {
        if (index == 0) {
            keys_->setVisible(!keys_->isVisible());
            if (QAction* a = menus_->item(array, 0))
                a->setChecked(keys_->isVisible());
        } else if (index == 1) {
            tree_->setFocus();
        } else if (index == 2) {
            editor_->rtAct(cmd::FocusText);
        }
    } else if (array == QLatin1String("mnUser")) {
        if (index == 0)
            showSettings();
    } else if (array == QLatin1String("mnApSys")) {
        if (index == 0)
            registerDocumentFileType(QCoreApplication::applicationFilePath());
        else
            Ini().W_SendTo();
    } else if (array == QLatin1String("mnHelp")) {
        if (index == 0)
            Ini().W_Help(QStringLiteral("index"));
        else
            QMessageBox::about(this, QStringLiteral("Arborについて"),
                               QStringLiteral("<h3>Arbor %1</h3><p>ﾂﾘｰに並べたﾍﾟｰｼﾞで文書を書き、"
                                              "Webｻｲﾄ・EPUB・ﾜｰﾄﾞ文書に出力するｴﾃﾞｨﾀです。</p>")
                                   .arg(QCoreApplication::applicationVersion()));
    } else if (array == QLatin1String("mnTree")) {
        tree_->runMenuItem(index);
    } else if (array == QLatin1String("mnWeb") || array == QLatin1String("mnWebUp")) {
        runWebCommand(array, index);
    } else if (array == QLatin1String("mnOut")) {
        runOutputCommand(index);
    } else {
        runDatabaseCommand(array, index);
    }
}

void fmDoc::runDatabaseCommand(const QString& array, int index) {
    zSvr& db = zSvr::instance();
    if (array == QLatin1String("mnDb")) {
        if (index == 0) {
            if (releaseCurrentPage())
                files_.NewDocDb();
        } else if (index == 1) {
            if (releaseCurrentPage())
                files_.OpenDocDb(QString());
        } else if (index == 2) {
            if (releaseCurrentPage())
                files_.SaveDocDbAs();
        } else if (index == 6) {
            if (releaseCurrentPage())
                files_.CloseDocDb();
        }
        refreshRecentMenu();
    } else if (array == QLatin1String("mnDcDb")) {
        tree::PageTree* t = tree_->tree();
        if (index == 0) {
            tree_->tabs()->setCurrentIndex(1);
        } else if (index == 1) {
            t->SetRcntLst(
                QStringLiteral("最近更新したﾍﾟｰｼﾞ"), QStringLiteral("保存した日時の新しい順"),
                QStringLiteral("Select Top 50 szDoc, noDoc From msDoc Order By dyUdt Desc"));
            tree_->tabs()->setCurrentIndex(2);
        } else if (index == 2) {
            t->RootSelect(true);
        } else if (index == 3) {
            tree_->runMenuItem(22);
        }
    } else if (array == QLatin1String("mnRet")) {
        if (index != 6 && !releaseCurrentPage())
            return;
        switch (index) {
            case 0:
                RebuildLinkFlags(true);
                status(QStringLiteral("ﾘﾝｸ情報を再構築しました"));
                tree_->tree()->RefreshTree();
                break;
            case 1:
                tree_->tree()->RefreshTree();
                break;
            case 2:
                if (prompter().confirm(
                        QStringLiteral("ﾌﾟﾛｸﾞﾗﾑの更新に伴うﾃﾞｰﾀｰﾍﾞｰｽ構造の変更に対応させます\n") +
                        QStringLiteral("実行しますか"))) {
                    UpgradeDb();
                    prompter().message(QStringLiteral("更新しました"));
                }
                break;
            case 4:
                FillWkRnd();
                status(QStringLiteral("ﾍﾟｰｼﾞの識別子を補いました"));
                break;
            case 5:
                exportBranch();
                break;
            case 6:
                importDatabase();
                break;
            case 7:
                if (const int first = importFolderUnderSelection(*tree_->tree()); first > 0) {
                    tree_->tree()->RefreshTree();
                    tree_->tree()->SetLeaf(QString::number(first));
                    enableForTree(treeHasPages());
                }
                break;
        }
    } else if (array == QLatin1String("mnDbRet")) {
        if (index == 0) {
            if (releaseCurrentPage())
                files_.Maintenance(keepCompactedCopy_);
        } else if (index == 1) {
            files_.DeleteAllPages();
        } else if (index == 3) {
            Ini().W_ExpFd(G().UserPath, false);
        }
    }
    Q_UNUSED(db);
}

void fmDoc::runTreeCommand(int index) {
    switch (index) {
        case 0:
        case 1:
        case 2:
            NewPage(index);
            break;
        case 11:
            DuplicatePage();
            break;
        case 14:
            CopyFromPage();
            break;
        case 15:
            LoadFromFile();
            break;
        case 20:
            showPlacementProperties();
            break;
        default:
            break;
    }
}

void fmDoc::exportBranch() {
    const tree::PageTree* t = tree_->tree();
    const int page = tree::pageNumberOfKey(t->SlctdKy());
    if (page <= 0)
        return;
    ExportRequest request;
    request.page = page;
    request.pageName = t->GetNodeText();
    if (!ExportDialog::ask(this, request))
        return;
    files_.ExportBranch(request);
}

void fmDoc::importDatabase() {
    const tree::PageTree* t = tree_->tree();
    const QString key = t->SlctdKy();
    ImportTarget target;
    const tree::PageTree::NodeNumbers numbers = t->GetPrCdNo(key);
    target.page = key == QLatin1String("NewNode") ? 0 : numbers.page.toInt();
    target.parent = numbers.parent.toInt();
    target.isLink = numbers.link;
    target.name = t->GetNodeText();
    if (key.isEmpty() &&
        zSvr::instance().R_GtVaL(QStringLiteral("Select Count(*) From tbTree"), 0).toInt() > 0)
        return;  // nothing selected in a tree that has pages
    files_.ImportDocDb(target);
}

void fmDoc::previewInBrowser() {
    const QString target = G().WrkPath + QStringLiteral("preview.htm");
    QString html, error;
    if (!html::writeHtmlFile(*editor_->GetObj().body(), target, error)) {
        prompter().message(error, Severity::Warning);
        return;
    }
    A_ViewIE(target);
}

void fmDoc::openInWordProcessor() {
    const QString target = G().WrkPath + QStringLiteral("Wrk.docx");
    QString error;
    if (!pagefiles::saveFile(editor_->GetObj(), target, error)) {
        prompter().message(error, Severity::Warning);
        return;
    }
    Ini().W_ExpFd(target, true);
}

void fmDoc::showSettings() {
    editor_->cOff();  // the editor's own settings go to the file first
    SettingsDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        readOptions();
    editor_->cOn();
}

void fmDoc::showPlacementProperties() {
    PlacementProperties::edit(this, *tree_->tree());
    enableForTree(treeHasPages());
}

// ---- enabling

void fmDoc::enableForDatabase(bool open) {
    enableItems(menus_, QStringLiteral("mnDb"), {2, 6}, open);
    enableItems(menus_, QStringLiteral("mnDb"), {4, 5}, open);
    enableItems(menus_, QStringLiteral("mnDbRet"), {0, 1}, open);
    // The file menu stays: it holds 終了 (its items follow the editor when it opens).
    enableItems(menus_, QStringLiteral("mnJb"), {1, 3, 4, 5, 6, 7}, open);
    enableItems(menus_, QStringLiteral("mnRet"), {0, 1, 2, 4, 5, 6, 7}, open);
    if (open && !G().IsJet)
        enableItems(menus_, QStringLiteral("mnDb"), {2}, false);  // a copy works on files only
    const bool pages = open && treeHasPages();
    enableItems(menus_, QStringLiteral("mnDcDb"), {1, 2, 3}, pages);
    lastTreeState_ = -1;
    enableForTree(pages);
    tree_->setEnabled(open);
    keys_->SetEnbByMenu();
}

void fmDoc::enableForTree(bool hasPages) {
    const int state = hasPages ? 1 : 0;
    if (state == lastTreeState_)
        return;
    lastTreeState_ = state;
    if (QAction* first = tree_->mnTree()->item(0))
        first->setText(hasPages ? QStringLiteral("前に新規ﾍﾟｰｼﾞ(&P)")
                                : QStringLiteral("最初のﾍﾟｰｼﾞ(&P)"));
    for (int i : {1, 2, 4, 5})
        if (QAction* a = tree_->mnTree()->item(i))
            a->setEnabled(hasPages);
    enableItems(menus_, QStringLiteral("mnDcDb"), {1, 2, 3}, hasPages && zSvr::instance().isOpen());
    keys_->SetEnbByMenu();
}

void fmDoc::updateMenusBeforeOpen(int top) {
    const uTxm::MenuState s = editor_->menuState();
    const bool doc = s.hasDocument && zSvr::instance().isOpen();
    const bool write = doc && !s.readOnly;
    switch (top) {
        case 0:
            enableItems(menus_, QStringLiteral("mnFile"), {0, 2, 5, 6, 7}, doc);
            enableItems(menus_, QStringLiteral("mnFile"), {3, 4}, write);
            break;
        case 1:
            enableItems(menus_, QStringLiteral("mnEdit"), {0}, write && s.canUndo);
            enableItems(menus_, QStringLiteral("mnEdit"), {1}, write && s.canRedo);
            enableItems(menus_, QStringLiteral("mnEdit"), {3}, write && s.hasSelection);
            enableItems(menus_, QStringLiteral("mnEdit"), {4}, doc && s.hasSelection);
            enableItems(menus_, QStringLiteral("mnEdit"), {5}, write && s.canPaste);
            enableItems(menus_, QStringLiteral("mnEdit"), {8, 9, 16}, doc);
            enableItems(menus_, QStringLiteral("mnEdit"), {10, 13, 15}, write);
            enableItems(menus_, QStringLiteral("mnEdit"), {12}, write && s.inField);
            enableItems(menus_, QStringLiteral("mnEdit"), {18}, write && currentPage_ > 0);
            enableItems(menus_, QStringLiteral("mnPast"), {0, 2, 3, 5}, write && s.canPaste);
            break;
        case 3:
            enableItems(menus_, QStringLiteral("mnLocal"),
                        {0, 3, 4, 5, 8, 9, 11, 12, 14, 17, 18, 20, 21}, write);
            enableItems(menus_, QStringLiteral("mnLocal"), {1}, write && s.inTable);
            enableItems(menus_, QStringLiteral("mnLocal"), {15}, write && s.inField);
            break;
        case 4:
            enableItems(menus_, QStringLiteral("mnSelc"),
                        {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 12, 13, 15, 16, 17, 18}, write);
            break;
        case 5:
            enableItems(menus_, QStringLiteral("mnTins"), {0}, write);
            enableItems(menus_, QStringLiteral("mnTins"), {2, 3, 5, 6}, write && s.inTable);
            enableItems(menus_, QStringLiteral("mnTbl"), {0, 1, 2, 3, 4}, write && s.inTable);
            enableItems(menus_, QStringLiteral("mnTdel"), {0, 1, 2}, write && s.inTable);
            enableItems(menus_, QStringLiteral("mnTslc"), {0, 1, 2}, doc && s.inTable);
            break;
        default:
            break;
    }
}

}  // namespace arbor::ui
