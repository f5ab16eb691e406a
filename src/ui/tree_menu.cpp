#include "ui/tree_menu.h"

#include "tree/node_key.h"
#include "tree/page_tree.h"
#include "tree/tree_messages.h"

namespace arbor::ui {

namespace {

// Items whose windows come with the main window and the page editor.
constexpr int kLaterItems[] = {11, 14, 15, 20, 24};

}  // namespace

TreeMenu::TreeMenu(QWidget* parent)
    : QObject(parent),
      menu_(new QMenu(parent)),
      paste_(new QMenu(tree::msg::treeMenuCaption(9), menu_)),
      bulk_(new QMenu(tree::msg::treeMenuCaption(12), menu_)),
      items_(kItems, nullptr),
      available_(kItems, true) {
    for (int i = 0; i < kItems; ++i) {
        const QString caption = tree::msg::treeMenuCaption(i);
        if (caption.isEmpty()) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = nullptr;
        if (i == 9) {
            action = menu_->addMenu(paste_);
        } else if (i == 12) {
            action = menu_->addMenu(bulk_);
        } else {
            action = menu_->addAction(caption);
            connect(action, &QAction::triggered, this, [this, i] { emit triggered(i); });
        }
        items_[i] = action;
    }
    for (int i : kLaterItems)
        setAvailable(i, false);

    pasteExisting_ = paste_->addAction(tree::msg::pasteExisting());
    connect(pasteExisting_, &QAction::triggered, this, &TreeMenu::pasteExistingTriggered);
    pasteExisting_->setEnabled(false);  // the tree explorer window comes later
    clipSeparator_ = paste_->addSeparator();
    clipSeparator_->setVisible(false);

    const QString bulkCaptions[] = {tree::msg::bulkMenu0(), tree::msg::bulkMenu1(),
                                    tree::msg::bulkMenu2()};
    for (int mode = 0; mode < 3; ++mode) {
        QAction* action = bulk_->addAction(bulkCaptions[mode]);
        connect(action, &QAction::triggered, this, [this, mode] { emit bulkTriggered(mode); });
        bulkItems_ << action;
    }
}

QAction* TreeMenu::item(int index) const {
    return index >= 0 && index < kItems ? items_[index] : nullptr;
}

QAction* TreeMenu::bulkItem(int mode) const {
    return bulkItems_.value(mode, nullptr);
}

QList<QAction*> TreeMenu::clipItems() const {
    QList<QAction*> out;
    for (QAction* a : clips_)
        if (a->isVisible())
            out << a;
    return out;
}

void TreeMenu::setAvailable(int index, bool available) {
    if (index < 0 || index >= kItems || !items_[index])
        return;
    available_[index] = available;
    items_[index]->setEnabled(available);
}

void TreeMenu::updateClipboard(const tree::PageTree& tree) {
    const int count = tree.clipboard().count();
    // Items are loaded as the count grows and reused afterwards.
    while (clips_.size() < count) {
        const int slot = static_cast<int>(clips_.size());
        QAction* action = paste_->addAction(QString());
        connect(action, &QAction::triggered, this, [this, slot] { emit clipTriggered(slot); });
        clips_ << action;
    }
    for (int i = 0; i < clips_.size(); ++i) {
        clips_[i]->setVisible(i < count);
        if (i < count)
            clips_[i]->setText(tree.clipboard().slot(i).caption);
    }
    clipSeparator_->setVisible(count > 0);
}

void TreeMenu::updateFor(const tree::PageTree& t) {
    const bool pages = t.model()->rowCount() > 0;
    const QModelIndex selected = t.selectedIndex();
    const QString key = selected.data(tree::KeyRole).toString();
    const bool placement = selected.isValid() && key != tree::kNewNodeKey && !tree::isTagKey(key) &&
                           tree::pageNumberOfKey(key) > 0;
    const tree::PageTree::MenuState state = t.trChkDcm();
    items_[0]->setText(pages ? tree::msg::treeMenuCaption(0) : tree::msg::firstPage());
    auto enable = [this](int i, bool on) { items_[i]->setEnabled(available_[i] && on); };
    enable(1, pages && selected.isValid());
    enable(2, pages && selected.isValid());
    enable(4, pages && state.hasPrevious);
    enable(5, pages && state.hasNext);
    enable(7, selected.isValid() && key != tree::kNewNodeKey);
    enable(8, selected.isValid() && key != tree::kNewNodeKey);
    enable(9, !pages || selected.isValid());
    enable(11, placement);
    enable(12, placement || key == tree::kRootKey);
    enable(17, selected.isValid() && key != tree::kRootKey);
    enable(18, t.canEditLabel(selected));
    enable(21, tree::pageNumberOfKey(key) > 0);
    bulkItems_[0]->setEnabled(placement || key == tree::kRootKey);
    bulkItems_[1]->setEnabled(placement || key == tree::kRootKey);
    bulkItems_[2]->setEnabled(placement || key == tree::kRootKey);
    updateClipboard(t);
}

}  // namespace arbor::ui
