#include "ui/sbtrret.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/prompter.h"
#include "tree/page_tree.h"
#include "tree/tree_messages.h"
#include "ui/page_tree_view.h"
#include "ui/utrx.h"

namespace arbor::ui {

using tree::BulkCommand;
using tree::BulkMode;

sbTrRet::sbTrRet(tree::PageTree& mainTree, int mode, QWidget* parent)
    : QDialog(parent), main_(mainTree), mode_(mode) {
    setWindowTitle(tree::msg::bulkCaption());
    build();
    reload();
}

QPushButton* sbTrRet::cmRet(int index) const {
    return index >= 0 && index < 4 ? buttons_[index] : nullptr;
}

void sbTrRet::build() {
    auto* layout = new QVBoxLayout(this);
    explanation_ = new QLabel(tree::msg::bulkExplanation(), this);
    explanation_->setWordWrap(true);
    layout->addWidget(explanation_);

    auto* split = new QSplitter(Qt::Horizontal, this);
    own_ = new uTrX(split);
    own_->setOwnContextMenu(false);
    auto* right = new QWidget(split);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    trView_ = new QTreeView(right);
    trView_->setModel(bulk_.checklist());
    trView_->setHeaderHidden(true);
    trView_->setItemDelegate(new TreeItemDelegate(trView_));
    trView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rightLayout->addWidget(trView_);
    chLnk_ = new QCheckBox(tree::msg::bulkLinkChildren(), right);
    rightLayout->addWidget(chLnk_);
    lbRet_ = new QPushButton(tree::msg::bulkReload(), right);
    rightLayout->addWidget(lbRet_, 0, Qt::AlignLeft);
    split->addWidget(own_);
    split->addWidget(right);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    const QString captions[] = {
        mode_ == static_cast<int>(BulkMode::Delete) ? tree::msg::bulkDeleteCommand()
                                                    : tree::msg::bulkMove(),
        tree::msg::bulkCopyNew(), tree::msg::bulkCopyLink(), tree::msg::bulkCancel()};
    for (int i = 0; i < 4; ++i) {
        buttons_[i] = new QPushButton(captions[i], this);
        row->addWidget(buttons_[i]);
    }
    layout->addLayout(row);

    // The delete mode needs no second node and copies nothing.
    const bool deleting = mode_ == static_cast<int>(BulkMode::Delete);
    own_->setVisible(!deleting);
    explanation_->setVisible(!deleting);  // it speaks of copying and moving
    buttons_[1]->setVisible(!deleting);
    buttons_[2]->setVisible(!deleting);
    chLnk_->setVisible(!deleting);
    resize(deleting ? 420 : 760, 520);

    connect(lbRet_, &QPushButton::clicked, this, &sbTrRet::reload);
    connect(buttons_[0], &QPushButton::clicked, this,
            [this, deleting] { runCommand(deleting ? BulkCommand::Delete : BulkCommand::Move); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] { runCommand(BulkCommand::CopyNew); });
    connect(buttons_[2], &QPushButton::clicked, this,
            [this] { runCommand(BulkCommand::CopyLink); });
    connect(buttons_[3], &QPushButton::clicked, this, &QDialog::reject);
    // The picked node: its children are the source in the first mode.
    connect(own_->tree(), &tree::PageTree::eSetDoc, this, [this] {
        if (mode_ == static_cast<int>(BulkMode::FromPicked))
            fillChecklist();
    });
}

bool sbTrRet::mainNode(tree::PlacementRef& ref) const {
    const tree::PageTree::NodeNumbers n = main_.GetPrCdNo();
    if (n.page.isEmpty() && n.parent.isEmpty())
        return false;
    ref = {n.parent.toInt(), n.page.toInt()};
    return true;
}

bool sbTrRet::pickedNode(tree::PlacementRef& ref) const {
    const tree::PageTree::NodeNumbers n = own_->tree()->GetPrCdNo();
    if (n.page.isEmpty() && n.parent.isEmpty())
        return false;
    ref = {n.parent.toInt(), n.page.toInt()};
    return true;
}

void sbTrRet::fillChecklist() {
    tree::PlacementRef source;
    const bool have =
        mode_ == static_cast<int>(BulkMode::FromPicked) ? pickedNode(source) : mainNode(source);
    if (!have) {
        bulk_.checklist()->clear();
        return;
    }
    bulk_.fill(source);
    trView_->expandAll();
}

void sbTrRet::reload() {
    tree::PageTree* own = own_->tree();
    own->ClearItem(true);
    own->SetNodes(QStringLiteral("0"), true);
    const QString path = main_.sGetLeaf();
    if (!path.isEmpty())
        own->SetLeaf(path);
    fillChecklist();
}

tree::BulkResult sbTrRet::runCommand(BulkCommand command) {
    tree::PlacementRef mainRef;
    tree::PlacementRef picked;
    const bool haveMain = mainNode(mainRef);
    const bool havePicked = pickedNode(picked);
    tree::PlacementRef source;
    tree::PlacementRef destination;
    bool ready = haveMain;
    if (mode_ == static_cast<int>(BulkMode::FromPicked)) {
        source = picked;
        destination = mainRef;
        ready = ready && havePicked;
    } else if (mode_ == static_cast<int>(BulkMode::ToPicked)) {
        source = mainRef;
        destination = picked;
        ready = ready && havePicked;
    } else {
        source = mainRef;
    }
    if (!ready || source.page != bulk_.source().page || source.parent != bulk_.source().parent) {
        // The list shows another node than the one the command would change.
        prompter().message(tree::msg::bulkPickNode());
        fillChecklist();
        return {};
    }
    const tree::BulkResult result = bulk_.run(command, source, destination, chLnk_->isChecked());
    if (!result.ran)
        return result;
    if (command == BulkCommand::Delete)
        main_.RefreshDcNd(QString::number(source.page));
    else
        main_.RefreshTree();
    own_->tree()->RefreshTree();
    fillChecklist();
    return result;
}

}  // namespace arbor::ui
