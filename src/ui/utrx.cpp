#include "ui/utrx.h"

#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/prompter.h"
#include "tree/node_key.h"
#include "tree/tree_commands.h"
#include "ui/page_tree_view.h"
#include "ui/sbrev.h"
#include "ui/sbtrret.h"
#include "ui/tree_menu.h"

namespace arbor::ui {

namespace {

QListView* makeList(QWidget* parent) {
    auto* list = new QListView(parent);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setUniformItemSizes(true);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    return list;
}

}  // namespace

uTrX::uTrX(QWidget* parent) : QWidget(parent), tree_(new tree::PageTree(this)) {
    buildTabs();
    menu_ = new TreeMenu(this);
    connectTree();
    connectMenu();
}

uTrX::~uTrX() = default;

sbTrRet* uTrX::bulkWindow() const {
    return bulk_;
}

sbRev* uTrX::reverseWindow() const {
    return reverse_;
}

void uTrX::buildTabs() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tabs_ = new QTabWidget(this);
    layout->addWidget(tabs_);

    // frTree: the tree, and below it the list of a collecting page.
    auto* frTree = new QWidget(tabs_);
    auto* treeLayout = new QVBoxLayout(frTree);
    treeLayout->setContentsMargins(2, 2, 2, 2);
    treeSplit_ = new QSplitter(Qt::Vertical, frTree);
    trView_ = new PageTreeView(treeSplit_);
    trView_->setNodeModel(tree_->model(), tree_->selection(),
                          [this](const QModelIndex& i, bool e) { tree_->setExpanded(i, e); });
    trView_->itemDelegateForNodes()->setLabelCommit(
        [this](const QModelIndex& i, const QString& text) {
            return tree_->finishLabelEdit(i, text);
        });
    lsCod_ = new QTreeView(treeSplit_);
    lsCod_->setModel(tree_->codList());
    lsCod_->setSelectionModel(tree_->codSelection());
    lsCod_->setRootIsDecorated(false);
    lsCod_->setHeaderHidden(true);
    lsCod_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lsCod_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lsCod_->setContextMenuPolicy(Qt::CustomContextMenu);
    lsCod_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lsCod_->setVisible(false);
    treeSplit_->addWidget(trView_);
    treeSplit_->addWidget(lsCod_);
    treeSplit_->setStretchFactor(0, 3);
    treeSplit_->setStretchFactor(1, 2);
    treeLayout->addWidget(treeSplit_);
    tabs_->addTab(frTree, QStringLiteral("ﾂﾘｰ"));

    // frFind: the search text with its history, and the hits.
    auto* frFind = new QWidget(tabs_);
    auto* findLayout = new QVBoxLayout(frFind);
    findLayout->setContentsMargins(2, 2, 2, 2);
    auto* findRow = new QHBoxLayout;
    cmbFind_ = new QComboBox(frFind);
    cmbFind_->setEditable(true);
    cmbFind_->setInsertPolicy(QComboBox::NoInsert);
    cmbFind_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    cmdFind_ = new QPushButton(QStringLiteral("検索"), frFind);
    findRow->addWidget(cmbFind_, 1);
    findRow->addWidget(cmdFind_);
    findLayout->addLayout(findRow);
    lsFind_ = makeList(frFind);
    lsFind_->setModel(tree_->findList());
    findLayout->addWidget(lsFind_);
    tabs_->addTab(frFind, QStringLiteral("検索"));

    // frRcnt: the pages shown lately.
    auto* frRcnt = new QWidget(tabs_);
    auto* recentLayout = new QVBoxLayout(frRcnt);
    recentLayout->setContentsMargins(2, 2, 2, 2);
    lsRsnt_ = makeList(frRcnt);
    lsRsnt_->setModel(tree_->recentList());
    recentLayout->addWidget(lsRsnt_);
    recentClear_ = new QPushButton(QStringLiteral("ｸﾘｱ"), frRcnt);
    recentLayout->addWidget(recentClear_, 0, Qt::AlignRight);
    tabs_->addTab(frRcnt, QStringLiteral("最近"));
}

void uTrX::connectTree() {
    using tree::PageTree;
    connect(trView_, &PageTreeView::openRequested, tree_, &PageTree::openNode);
    connect(trView_, &PageTreeView::contextRequested, this,
            [this](const QModelIndex& index, const QPoint&) {
                if (index.isValid())
                    tree_->selectNode(index);
                tree_->rightClick(true);
            });
    connect(lsCod_, &QAbstractItemView::clicked, tree_, &PageTree::openCodItem);
    connect(lsFind_, &QAbstractItemView::clicked, tree_, &PageTree::openFindItem);
    connect(lsRsnt_, &QAbstractItemView::clicked, tree_, &PageTree::openRecentItem);
    for (QAbstractItemView* list :
         {static_cast<QAbstractItemView*>(lsCod_), static_cast<QAbstractItemView*>(lsFind_),
          static_cast<QAbstractItemView*>(lsRsnt_)})
        connect(list, &QWidget::customContextMenuRequested, this,
                [this](const QPoint&) { tree_->rightClick(false); });
    connect(tree_, &PageTree::eRightClick, this, [this](bool) {
        if (ownMenu_)
            popupMenu(QCursor::pos());
    });
    connect(tree_, &PageTree::frameChanged, this, [this](int tab, bool showCod) {
        if (showCod && !lsCod_->isVisible()) {
            // The tree keeps the larger part; the list takes the rest.
            const int h = std::max(treeSplit_->height(), 200);
            lsCod_->setVisible(true);
            treeSplit_->setSizes({h * 3 / 5, h - h * 3 / 5});
        }
        lsCod_->setVisible(showCod);
        if (tabs_->currentIndex() != tab - 1)
            tabs_->setCurrentIndex(tab - 1);
    });
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index + 1 != tree_->iTabNo())
            tree_->SetFrame(index + 1);
    });
    connect(tree_, &PageTree::labelEditRequested, this, [this](const QModelIndex& index) {
        trView_->setFocus();
        trView_->scrollTo(index);
        trView_->edit(index);
    });
    connect(tree_, &PageTree::codListFocusRequested, lsCod_, [this] { lsCod_->setFocus(); });
    connect(tree_, &PageTree::findHistoryChanged, this, &uTrX::refillFindHistory);
    connect(tree_, &PageTree::recentListCaption, this,
            [this](const QString& caption, const QString& tip, bool clearVisible) {
                tabs_->setTabText(2, caption);
                tabs_->setTabToolTip(2, tip);
                recentClear_->setVisible(clearVisible);
            });
    connect(recentClear_, &QPushButton::clicked, tree_, &PageTree::clearRecent);
    connect(cmdFind_, &QPushButton::clicked, this, &uTrX::runFind);
    connect(cmbFind_->lineEdit(), &QLineEdit::returnPressed, this, &uTrX::runFind);
    // The selected node stays in sight.
    connect(tree_->selection(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    trView_->scrollTo(current);
            });
}

void uTrX::connectMenu() {
    connect(menu_, &TreeMenu::triggered, this, &uTrX::runMenuItem);
    connect(menu_, &TreeMenu::clipTriggered, this, [this](int slot) {
        tree_->trIns(slot, tree_->clipboard().slot(slot).caption, QStringLiteral("*"));
    });
    connect(menu_, &TreeMenu::bulkTriggered, this, &uTrX::openBulk);
    connect(tree_, &tree::PageTree::clipboardChanged, this,
            [this] { menu_->updateClipboard(*tree_); });
}

void uTrX::popupMenu(const QPoint& globalPos) {
    menu_->updateFor(*tree_);
    menu_->menu()->popup(globalPos);
}

void uTrX::runMenuItem(int index) {
    const int page = tree::pageNumberOfKey(tree_->SlctdKy());
    switch (index) {
        case 4:
        case 5:
            tree_->trMove(index == 5);
            return;
        case 7:
        case 8:
            tree_->trCopy(index == 7);
            return;
        case 17:
            tree::deleteSelectedPlacement(*tree_);
            return;
        case 18:
            tree_->StratEdt();
            return;
        case 21:
            if (page > 0)
                prompter().message(tree::tagReferencesText(page));
            return;
        case 22:
            openReverse();
            return;
        default:
            emit menuCommand(index);
    }
}

void uTrX::runFind() {
    tree_->find(cmbFind_->currentText());
}

void uTrX::refillFindHistory() {
    const QString text = cmbFind_->currentText();
    cmbFind_->clear();
    cmbFind_->addItems(tree_->findHistory());
    cmbFind_->setCurrentText(text);
}

void uTrX::openBulk(int mode) {
    if (bulk_)
        bulk_->close();
    bulk_ = new sbTrRet(*tree_, mode, window());
    bulk_->setAttribute(Qt::WA_DeleteOnClose);
    bulk_->show();
}

void uTrX::openReverse() {
    if (!reverse_) {
        reverse_ = new sbRev(window());
        reverse_->setAttribute(Qt::WA_DeleteOnClose);
    }
    const QModelIndex selected = tree_->selectedIndex();
    const int page = tree::pageNumberOfKey(selected.data(tree::KeyRole).toString());
    if (page > 0)
        reverse_->showPage(page, selected.data().toString());
    reverse_->show();
    reverse_->raise();
}

}  // namespace arbor::ui
