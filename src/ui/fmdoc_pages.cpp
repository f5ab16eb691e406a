// The main window's side of a page's life: new pages, loading a page into the editor,
// saving it, and the commands that fill a page from elsewhere.

#include <QTimer>

#include "app/program_state.h"
#include "app/prompter.h"
#include "app/yini.h"
#include "db/schema.h"
#include "db/zsvr.h"
#include "editor/editor_commands.h"
#include "editor/link_fields.h"
#include "editor/page_records.h"
#include "tree/node_key.h"
#include "tree/page_tree.h"
#include "ui/fmdoc.h"
#include "ui/page_picker.h"
#include "ui/tree_menu.h"
#include "ui/utrx.h"
#include "ui/utxm.h"

namespace arbor::ui {

namespace {

bool wordSideFiles() {
    yIni& ini = Ini();
    ini.GetGtx(QStringLiteral("DC_保存"));
    return ini.vGtVal(QStringLiteral("DocCash"), QStringLiteral("無効")).toString() ==
           QStringLiteral("有効");
}

QString titleOf(int number) {
    return zSvr::instance()
        .R_GtVaL(QStringLiteral("Select szDoc From msDoc Where noDoc=") + QString::number(number),
                 QString())
        .toString();
}

}  // namespace

void fmDoc::connectTree() {
    tree::PageTree* t = tree_->tree();
    connect(t, &tree::PageTree::eFmMsg, this, [this](const QString& text) { status(text); });
    connect(t, &tree::PageTree::eFndWd, this,
            [this](const QString& text) { editor_->FndWd(text); });
    connect(t, &tree::PageTree::eChkMove, this,
            [this](bool& cancel) { cancel = !editor_->ChkUdt(); });
    connect(t, &tree::PageTree::eSetDoc, this,
            [this](const QString& label, const QString& page, const QString&, int kind,
                   bool isProtected) {
                if (kind == tree::kNoPage) {
                    editorNoDocument();
                    return;
                }
                if (isProtected)
                    status(QStringLiteral("現在のﾍﾟｰｼﾞはHtm出力保護されています"));
                ShowPage(page.toInt(), label, kind == tree::kTreeNode ? 0 : 1, false);
            });
    connect(t, &tree::PageTree::eRightClick, this, [this](bool) { enableForTree(treeHasPages()); });
    connect(tree_, &uTrX::menuCommand, this, &fmDoc::runTreeCommand);
    connect(tree_->mnTree(), &TreeMenu::pasteExistingTriggered, this, [this] {
        int number = 0;
        QString title;
        if (PagePicker::pick(this, QStringLiteral("既存ﾍﾟｰｼﾞを参照"), number, title) &&
            number != 0 && !title.trimmed().isEmpty())
            tree_->tree()->trIns(-1, title, QString::number(number));
    });
}

void fmDoc::connectEditor() {
    connect(editor_, &uTxm::eSaveDB, this, &fmDoc::SavePage);
    connect(editor_, &uTxm::eClckLink, this, &fmDoc::FollowTag);
    connect(editor_, &uTxm::eStatus, this, [this](const QString& text) { status(text); });
    connect(editor_, &uTxm::eEdtCng, this, [this] { setWindowModified(editor_->bDcEdt()); });
    connect(editor_, &uTxm::ePickTagPage, this, [this] {
        int number = 0;
        QString title;
        if (PagePicker::pick(this, QStringLiteral("ﾀｸﾞの参照"), number, title) && number > 0)
            editor_->insertTagLink(number, title);
    });
    connect(editor_, &uTxm::eRtAct, this, [this](int code) {
        if (code == cmd::InsertOtherPage)
            InsertOtherPage();
        setWindowModified(editor_->bDcEdt());
    });
}

void fmDoc::SetCurrentPage(int number) {
    currentPage_ = number;
    editor_->setPageNumber(number);
    updateEditorReadOnly();
}

void fmDoc::updateEditorReadOnly() {
    // Without a page there is nowhere to store what is typed; a read-only database or a
    // page whose formatted content is damaged take no edits either.
    const zSvr& db = zSvr::instance();
    editor_->ReadOnly(currentPage_ <= 0 || damagedPage_ || !db.isOpen() || db.readOnly());
}

void fmDoc::NewPage(int position) {
    if (!zSvr::instance().isOpen() || !releaseCurrentPage())
        return;
    const int number = NextDocNo();
    setDamagedPage(false);
    editor_->clearDocument();
    SetCurrentPage(number);
    editor_->setCTyp(2);
    tree_->tree()->trNew(position, QString());
    status(QStringLiteral("新規ﾍﾟｰｼﾞを編集後  更新指示をして下さい"));
    editor_->setCTyp(9);
    editor_->rtAct(cmd::FocusTitle);
}

void fmDoc::ShowPage(int number, const QString& label, int mode, bool force) {
    if (number <= 0)
        return;
    if (!force && number == currentPage_ && currentPage_ != 0)
        return;
    tree::PageTree* t = tree_->tree();
    switch (mode) {
        case 0:
            t->SetTmpKy();
            t->SetRcnt(QString::number(number), label);
            break;
        case 1:
            t->SetTmpKy();
            break;
        case 3:
            editor_->setBDcEdt(false);
            break;
        case -1:
            editor_->setBDcEdt(false);
            SetCurrentPage(number);
            break;
        default:
            break;
    }
    editor_->setCTyp(2);
    setDamagedPage(false);
    const StoredPage page = readPage(number, wordSideFiles());
    QString refused;
    if (!page.wordFile.isEmpty() && editor_->SetDcFL(page.wordFile, true)) {
        editor_->setTitle(page.title);
    } else {
        if (page.hasBytes) {
            if (!editor_->SetData(page.bytes, true, &refused))
                showPlainTextOf(number);
        } else {
            editor_->clearDocument();
        }
        editor_->setTitle(page.title);
    }
    if (mode != 2) {
        SetCurrentPage(number);
        editor_->setBDcEdt(false);
    }
    status(QStringLiteral("文書No:") + QString::number(number));
    if (!refused.isEmpty()) {
        if (mode != 2)
            setDamagedPage(true);
        status(damagedPageStatus(), 4);
        prompter().message(QStringLiteral("文書No:") + QString::number(number) +
                               QStringLiteral(" の書式付きの内容が壊れていて読み込めません\n"
                                              "保存されている文字だけを表示します") +
                               (mode != 2 ? QStringLiteral("（読み取り専用）") : QString()) +
                               QStringLiteral("\n\n") + refused,
                           Severity::Warning);
    }
    if (mode != 3 && mode != -1)
        tree_->setFocus();
    setWindowModified(editor_->bDcEdt());
}

void fmDoc::showPlainTextOf(int number) {
    editor_->clearDocument();
    editor_->SetText(zSvr::instance()
                         .R_GtVaL(QStringLiteral("Select txDoc From msDoc Where noDoc = ") +
                                      QString::number(number),
                                  QString())
                         .toString());
}

void fmDoc::setDamagedPage(bool damaged) {
    damagedPage_ = damaged;
    updateEditorReadOnly();
}

QString fmDoc::damagedPageStatus() {
    return QStringLiteral("書式付きの内容が壊れたﾍﾟｰｼﾞです(保存されている内容は変更されません)");
}

void fmDoc::SavePage() {
    if (currentPage_ <= 0)
        return;
    if (damagedPage_) {
        // Its stored bytes are the only formatted copy: they are never saved over.
        status(damagedPageStatus(), 4);
        editor_->setBDcEdt(false);
        return;
    }
    const SaveReport report = arbor::SavePage(currentPage_, editor_->pageContent());
    switch (report.outcome) {
        case SaveOutcome::Saved:
            editor_->setTitle(report.title);
            tree_->tree()->UdtNd(report.title, report.oldTitle, QString::number(currentPage_));
            lastSave_ = QDateTime::currentDateTime();
            status(QStringLiteral("文書No:") + QString::number(currentPage_));
            lastTreeState_ = -1;
            refreshMenus();
            enableForTree(treeHasPages());
            break;
        case SaveOutcome::Failed:
            prompter().message(QStringLiteral("文書を保存できませんでした\n") + report.error,
                               Severity::Warning);
            status(QStringLiteral("文書を保存できませんでした"), 4);
            break;
        default:
            break;
    }
    // The editor cleared its flag before asking for the save: a page that was not stored
    // stays modified, so leaving it still asks.
    if (report.outcome != SaveOutcome::Saved && report.outcome != SaveOutcome::NoPage)
        editor_->setBDcEdt(true);
    setWindowModified(editor_->bDcEdt());
}

void fmDoc::DuplicatePage() {
    if (!editor_->ChkUdt())
        return;
    const int source = currentPage_;
    if (source <= 0)
        return;
    NewPage(1);
    ShowPage(source, QString(), 2, true);
    editor_->setBDcEdt(true);
    setWindowModified(true);
}

namespace {
// Copying into or loading a page replaces what the selected page holds.
bool mayOverwriteSelected(const tree::PageTree& t) {
    if (t.SlctdKy() == QLatin1String("NewNode"))
        return true;
    return prompter().confirm(QStringLiteral("選択されているﾍﾟｰｼﾞは新規ではありません\r") +
                              QStringLiteral("上書きされますが、良いですか"));
}
}  // namespace

void fmDoc::CopyFromPage() {
    if (!mayOverwriteSelected(*tree_->tree()))
        return;
    int number = 0;
    QString title;
    if (!PagePicker::pick(this, QStringLiteral("既存ﾍﾟｰｼﾞを参照"), number, title))
        return;
    if (number == 0 || title.trimmed().isEmpty())
        return;
    ShowPage(number, title, 2, true);
    editor_->setBDcEdt(true);
    editor_->setCTyp(4);
    setWindowModified(true);
}

void fmDoc::LoadFromFile() {
    if (!mayOverwriteSelected(*tree_->tree()))
        return;
    editor_->rtAct(cmd::ReadFile);
}

void fmDoc::InsertOtherPage() {
    int number = 0;
    QString title;
    if (!PagePicker::pick(this, QStringLiteral(" 他ﾍﾟｰｼﾞを挿入"), number, title) || number <= 0)
        return;
    const QVariant bytes = zSvr::instance().R_GtVaL(
        QStringLiteral("Select obDoc From msDoc Where noDoc = ") + QString::number(number),
        QVariant());
    if (!bytes.isNull())
        editor_->InsData(bytes.toByteArray());
}

void fmDoc::FollowTag(const QString& kind, const QString& target) {
    if (kind == QLatin1String("TG")) {
        const int number = target.trimmed().toInt();
        if (number <= 0 || !editor_->ChkUdt())
            return;
        const QString title = titleOf(number);
        if (title.isEmpty()) {
            status(QStringLiteral("文書No:") + target + QStringLiteral(" のﾍﾟｰｼﾞはありません"), 4);
            return;
        }
        tree_->tree()->TagTree(QString::number(number), title);
        status(QStringLiteral("ﾀｸﾞ(文書ﾃﾞｰﾀｰﾍﾞｰｽ内のﾘﾝｸ)を挿入しました"));
        ShowPage(number, title, 1, false);
        return;
    }
    if (kind == QLatin1String("TP")) {
        // A term shows its explanation from the dictionary.
        QString sql = QStringLiteral("Select szDic From msDic Where skDic='?'");
        zSvr::instance().T_CnvSq(sql, {target});
        const QString text = zSvr::instance().R_GtVaL(sql, QString()).toString();
        prompter().message(target + QStringLiteral("\n\n") +
                           (text.isEmpty() ? QStringLiteral("(辞書に登録されていません)") : text));
        return;
    }
    Ini().W_ExpFd(target, true);
}

void fmDoc::autosave() {
    if (!autoSave_ || currentPage_ <= 0 || !editor_->bDcEdt() ||
        editor_->Title().trimmed().isEmpty())
        return;
    yIni& ini = Ini();
    ini.GetGtx(QStringLiteral("TX_USR"));
    const int minutes = std::max(1, ini.vGtVal(QStringLiteral("AUTO_MIN"), 10).toInt());
    if (lastSave_.isValid() && lastSave_.secsTo(QDateTime::currentDateTime()) < minutes * 60)
        return;
    if (!lastSave_.isValid()) {
        lastSave_ = QDateTime::currentDateTime();  // the interval counts from the first change
        return;
    }
    if (tree_->tree()->GetNodeText() == QStringLiteral("新規ﾍﾟｰｼﾞ"))
        return;
    // A save that fails is tried again after the interval, not at every tick of the timer
    // (each failure shows its message).
    lastSave_ = QDateTime::currentDateTime();
    editor_->rtAct(cmd::SaveToDatabase);
}

}  // namespace arbor::ui
