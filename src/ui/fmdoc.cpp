#include "ui/fmdoc.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "app/machine.h"
#include "app/program_state.h"
#include "app/prompter.h"
#include "app/yini.h"
#include "db/zsvr.h"
#include "editor/function_keys.h"
#include "tree/page_tree.h"
#include "ui/main_menus.h"
#include "ui/tree_menu.h"
#include "ui/ufky.h"
#include "ui/utrx.h"
#include "ui/utxm.h"
#include "web/site_conversion.h"

namespace arbor::ui {

namespace {

const QString kPosition = QStringLiteral("位置");
const QString kRecent = QStringLiteral("最近");
const QString kSave = QStringLiteral("DC_保存");
const QString kOn = QStringLiteral("有効");
const QString kOff = QStringLiteral("無効");

// Twips per pixel of the screen the window is on.
double twipsPerPixel(const QWidget* w) {
    const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

}  // namespace

fmDoc::fmDoc(QWidget* parent) : QMainWindow(parent), files_(*this) {
    setWindowTitle(QStringLiteral("[*]Arbor"));
    menus_ = new MainMenus(this);
    menus_->buildMenuBar(menuBar());
    buildLayout();
    connectTree();
    connectEditor();
    connect(menus_, &MainMenus::command, this, &fmDoc::runCommand);
    connect(menus_, &MainMenus::recentChosen, this, [this](int index) {
        if (!editor_->ChkUdt())
            return;
        files_.OpenDocDb(files_.recent().paths().value(index));
        refreshRecentMenu();
    });
    for (int top = 0; top < 11; ++top)
        if (QMenu* m = menus_->topMenu(top))
            connect(m, &QMenu::aboutToShow, this, [this, top] { updateMenusBeforeOpen(top); });

    leaveSharedKeysToMenus();
    keys_->cOn(menus_);
    bindMainWindowKeys(keys_->keys());
    // The function keys of both layers, wherever the focus is in the window. F2 in the
    // tree renames the node, as in any tree.
    for (int n = 1; n <= 12; ++n)
        for (bool ctrl : {false, true}) {
            const QKeyCombination keys(ctrl ? Qt::ControlModifier : Qt::NoModifier,
                                       Qt::Key(Qt::Key_F1 + n - 1));
            auto* shortcut = new QShortcut(QKeySequence(keys), this);
            connect(shortcut, &QShortcut::activated, this, [this, n, ctrl] {
                if (!ctrl && n == 2 && tree_->isAncestorOf(QApplication::focusWidget())) {
                    tree_->tree()->StratEdt();
                    return;
                }
                // The keys follow what the editor can do at this moment.
                for (int top : {0, 1, 3, 4, 5})
                    updateMenusBeforeOpen(top);
                keys_->SetEnbByMenu();
                keys_->press(n, ctrl);
            });
        }

    qApp->installEventFilter(this);

    autosaveTimer_ = new QTimer(this);
    autosaveTimer_->setInterval(30 * 1000);
    connect(autosaveTimer_, &QTimer::timeout, this, &fmDoc::autosave);
    zSvr::setLinkKindHook([this](bool dataLink) {
        if (QAction* a = menus_->item(QStringLiteral("mnDb"), 2))
            a->setEnabled(!dataLink);
    });
}

fmDoc::~fmDoc() {
    zSvr::setLinkKindHook(nullptr);
}

// The editor brings its own keys for when it stands alone; here the menu bar carries the
// same keys, and a key claimed twice in one window would do nothing at all.
void fmDoc::leaveSharedKeysToMenus() {
    QSet<QKeySequence> menuKeys;
    for (const QAction* a : menuBar()->findChildren<QAction*>())
        if (!a->shortcut().isEmpty())
            menuKeys.insert(a->shortcut());
    for (QAction* a : editor_->actions())
        if (menuKeys.contains(a->shortcut()))
            a->setShortcut(QKeySequence());
}

void fmDoc::buildLayout() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    split_ = new QSplitter(Qt::Horizontal, central);
    tree_ = new uTrX(split_);
    editor_ = new uTxm(split_);
    split_->addWidget(tree_);
    split_->addWidget(editor_);
    split_->setStretchFactor(0, 0);
    split_->setStretchFactor(1, 1);
    split_->setChildrenCollapsible(false);
    layout->addWidget(split_, 1);
    keys_ = new uFky(central);
    layout->addWidget(keys_);
    setCentralWidget(central);
    // The items of the tree menu the main window carries out.
    for (int i : {0, 1, 2, 11, 14, 15, 20})
        tree_->mnTree()->setAvailable(i, true);
    tree_->mnTree()->pasteExisting()->setEnabled(true);
    QVector<QAction*> treeItems(TreeMenu::kItems);
    for (int i = 0; i < TreeMenu::kItems; ++i)
        treeItems[i] = tree_->mnTree()->item(i);
    menus_->setTreeMenu(treeItems);
    resize(1100, 720);
}

void fmDoc::SetDBNo(const QString& path, int page) {
    startPath_ = path;
    startPage_ = page;
}

void fmDoc::load() {
    G().BusyFlag = true;
    fnEnv(0);
    files_.recent().load(Ini(), G().UserPath);
    refreshRecentMenu();
    // At load, before a database opens.
    if (QAction* a = menus_->item(QStringLiteral("mnDcDb"), 1))
        a->setEnabled(false);
    if (QAction* a = menus_->item(QStringLiteral("mnLocal"), 7))
        a->setVisible(false);
    editor_->cOn();
    editorNoDocument();
    QString path = startPath_;
    if (!path.isEmpty() && !QFileInfo(path).isFile())
        path.clear();
    if (!path.isEmpty())
        files_.OpenDocDb(path);
    enableForDatabase(zSvr::instance().isOpen());
    startPage_ = 0;
    G().BusyFlag = false;
    refreshRecentMenu();
    autosaveTimer_->start();
}

void fmDoc::fnEnv(int mode) {
    yIni& ini = Ini();
    const double tw = twipsPerPixel(this);
    if (mode == 0) {
        ini.GetGtx(kPosition);
        int left = ini.vGtVal(QStringLiteral("Left"), 0).toInt();
        int top = ini.vGtVal(QStringLiteral("Top"), 0).toInt();
        int width = ini.vGtVal(QStringLiteral("Width"), 0).toInt();
        int height = ini.vGtVal(QStringLiteral("Height"), 0).toInt();
        const int treeWidth = ini.vGtVal(QStringLiteral("TrxWd"), 2800).toInt();
        if (width <= 0 || height <= 0) {
            // The designed size, centred on the screen.
            width = static_cast<int>(this->width() * tw);
            height = static_cast<int>(this->height() * tw);
            const WorkArea& area = G().workArea;
            left = area.left + (area.width - width) / 2;
            top = area.top + (area.height - height) / 2;
        }
        FitToWorkArea(left, top, width, height);
        setGeometry(static_cast<int>(left / tw), static_cast<int>(top / tw),
                    static_cast<int>(width / tw), static_cast<int>(height / tw));
        split_->setSizes({static_cast<int>(treeWidth / tw),
                          std::max(200, this->width() - static_cast<int>(treeWidth / tw))});
        readOptions();
        ini.GetGtx(kRecent);
        if (startPath_.isEmpty()) {
            const QString act = ini.vGtVal(QStringLiteral("ACT"), QString()).toString().trimmed();
            if (!act.isEmpty()) {
                const QString path = settingsPath(act, G().UserPath);
                if (QFileInfo(path).isFile())
                    startPath_ = path;
            }
        }
        if (openStartPage_ && startPage_ == 0)
            startPage_ = startPageNo_;
        return;
    }
    ini.GetGtx(kPosition);
    const QRect g = normalGeometry();
    ini.SetVal(QStringLiteral("Left"), static_cast<int>(g.left() * tw));
    ini.SetVal(QStringLiteral("Top"), static_cast<int>(g.top() * tw));
    ini.SetVal(QStringLiteral("Width"), static_cast<int>(g.width() * tw));
    ini.SetVal(QStringLiteral("Height"), static_cast<int>(g.height() * tw));
    ini.SetVal(QStringLiteral("TrxWd"), static_cast<int>(split_->sizes().value(0) * tw));
    ini.SetVal(QStringLiteral("Function"),
               keys_->isVisible() ? QStringLiteral("表示") : QStringLiteral("非表示"));
    ini.SetGtx();
    ini.GetGtx(kRecent);
    QString act = files_.currentPath();
    if (act.startsWith(G().UserPath))
        act = act.mid(G().UserPath.size());  // kept relative to the user data folder
    ini.SetVal(QStringLiteral("ACT"), act);
    ini.SetVal(QStringLiteral("開始頁"),
               openStartPage_ ? QStringLiteral("開く") : QStringLiteral("開かない"));
    ini.SetVal(QStringLiteral("開始頁NO"),
               startPageNo_ > 0 ? QString::number(startPageNo_) : QString());
    ini.SetGtx();
    ini.GetGtx(kSave);
    ini.SetVal(QStringLiteral("SaveDb"), keepCompactedCopy_ ? kOn : kOff);
    ini.SetVal(QStringLiteral("AutoSave"), autoSave_ ? kOn : kOff);
    ini.SetGtx();
}

void fmDoc::readOptions() {
    yIni& ini = Ini();
    ini.GetGtx(kPosition);
    showKeys_ = ini.vGtVal(QStringLiteral("Function"), QStringLiteral("表示")).toString() !=
                QStringLiteral("非表示");
    keys_->setVisible(showKeys_);
    if (QAction* a = menus_->item(QStringLiteral("mnView"), 0))
        a->setChecked(showKeys_);
    ini.GetGtx(kRecent);
    openStartPage_ = ini.vGtVal(QStringLiteral("開始頁"), QStringLiteral("開かない")).toString() ==
                     QStringLiteral("開く");
    startPageNo_ = ini.vGtVal(QStringLiteral("開始頁NO"), 0).toInt();
    ini.GetGtx(kSave);
    keepCompactedCopy_ = ini.vGtVal(QStringLiteral("SaveDb"), kOn).toString() == kOn;
    autoSave_ = ini.vGtVal(QStringLiteral("AutoSave"), kOn).toString() == kOn;
}

bool fmDoc::CloseMain() {
    if (currentPage_ > 0 && !editor_->ChkUdt())
        return false;
    closing_ = true;
    editor_->cOff();
    fnEnv(1);
    files_.recent().save(Ini());
    saveTreeState();
    // The end of the program: the settings file is written once, the connection closed.
    bool written = false;
    Ini().SetTxt(written);
    if (!written)
        prompter().message(QStringLiteral("ﾕｰｻﾞｰ環境ﾌｧｲﾙ(") + Ini().filePath() +
                               QStringLiteral(") を保存できませんでした"),
                           Severity::Warning);
    zSvr::instance().D_Close();
    return true;
}

void fmDoc::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    if (G().BusyFlag || !CloseMain()) {
        event->ignore();
        return;
    }
    event->accept();
}

void fmDoc::keyPressEvent(QKeyEvent* event) {
    QMainWindow::keyPressEvent(event);
}

// A menu key is looked up before the focus widget sees the key: the items it may reach
// must follow the editor's state at that moment, not at the last time a menu was open.
bool fmDoc::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if ((key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && widget &&
            widget->window() == this)
            for (int top : {0, 1, 3, 4, 5})
                updateMenusBeforeOpen(top);
    }
    return QMainWindow::eventFilter(watched, event);
}

void fmDoc::fnMenu(int group, int index) {
    menus_->fnMenu(group, index);
}

void fmDoc::status(const QString& text, int kind) {
    keys_->PanelTx(text, kind);
}

void fmDoc::refreshRecentMenu() {
    QStringList captions;
    QList<bool> hidden;
    for (int i = 0; i < files_.recent().paths().size(); ++i) {
        captions << files_.recent().caption(i);
        hidden << files_.recent().isHidden(i);
    }
    menus_->setRecent(captions, hidden);
}

// ---- the database host

bool fmDoc::releaseCurrentPage() {
    return currentPage_ <= 0 || editor_->ChkUdt();
}

void fmDoc::editorNoDocument() {
    setDamagedPage(false);
    editor_->clearDocument();
    SetCurrentPage(0);
    editor_->setCTyp(tree_->tree()->selectedIndex().isValid() ? 88 : 20);
}

void fmDoc::clearTreeAndEditor() {
    status(QString());  // the last database's texts do not belong to the next one
    tree_->tree()->ClearItem(true);
    editorNoDocument();
    lastTreeState_ = -1;
}

void fmDoc::loadTree() {
    tree::PageTree* t = tree_->tree();
    t->ClearItem(true);
    t->SetNodes(QStringLiteral("0"), false);
    enableForTree(treeHasPages());
    if (startPage_ > 0)
        t->SetLeaf(QString::number(startPage_));
    else
        t->RootSelect(true);
}

void fmDoc::saveTreeState() {
    if (zSvr::instance().isOpen() && !zSvr::instance().readOnly())
        tree_->tree()->trSort();
}

void fmDoc::setCaption(const QString& path) {
    const zSvr& db = zSvr::instance();
    const bool readOnly = !path.isEmpty() && db.isOpen() && db.readOnly();
    // "[*]" is where the window shows that the page has unsaved changes.
    setWindowTitle(path.isEmpty() ? QStringLiteral("[*]Arbor")
                                  : QFileInfo(path).fileName() +
                                        (readOnly ? QStringLiteral(" (読み取り専用)") : QString()) +
                                        QStringLiteral("[*] - Arbor"));
    setWindowFilePath(path);
    updateEditorReadOnly();
    if (path.isEmpty())
        status(QString());  // nothing of a closed database stays in the panel
    else if (readOnly)
        status(readOnlyStatus(), 4);
}

QString fmDoc::readOnlyStatus() {
    return QStringLiteral("読み取り専用の文書ﾃﾞｰﾀｰﾍﾞｰｽです　変更は保存できません");
}

void fmDoc::refreshMenus() {
    enableForDatabase(zSvr::instance().isOpen());
    refreshRecentMenu();
}

void fmDoc::clipboardCleared() {
    tree_->mnTree()->updateClipboard(*tree_->tree());
    if (QAction* a = menus_->item(QStringLiteral("mnEdit"), 18))
        a->setEnabled(false);
}

void fmDoc::refreshNode(int page, int /*boCod*/) {
    tree_->tree()->RefreshDcNd(QString::number(page));
}

bool fmDoc::treeHasPages() const {
    return zSvr::instance().isOpen() &&
           zSvr::instance().R_GtVaL(QStringLiteral("Select Count(*) From tbTree"), 0).toInt() > 0;
}

}  // namespace arbor::ui
