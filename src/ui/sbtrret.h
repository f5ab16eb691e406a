#pragma once
// sbTrRet: copies, moves or deletes the marked children of a node. It has its own
// page tree to pick the other node, the check-box list trView of the source's
// children, chLnk, the refresh button lbRet and the command buttons cmRet.

#include <QDialog>

#include "tree/bulk_transfer.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeView;

namespace arbor::tree {
class PageTree;
}

namespace arbor::ui {

class uTrX;

class sbTrRet : public QDialog {
    Q_OBJECT
  public:
    // mainTree is the main window's tree (its selected node is one end).
    sbTrRet(tree::PageTree& mainTree, int mode, QWidget* parent = nullptr);

    int mode() const { return mode_; }
    uTrX* ownTree() const { return own_; }
    QTreeView* trView() const { return trView_; }
    QCheckBox* chLnk() const { return chLnk_; }
    QPushButton* lbRet() const { return lbRet_; }
    // 0 move, 1 copy as new pages, 2 copy as links, 3 cancel; in the delete mode
    // button 0 deletes.
    QPushButton* cmRet(int index) const;
    tree::BulkTransfer& transfer() { return bulk_; }

    // Fills both lists again ("再表示").
    void reload();
    // Runs a command button's command; the result is also shown in the main tree.
    tree::BulkResult runCommand(tree::BulkCommand command);

  private:
    void build();
    void fillChecklist();
    // The nodes of the two trees as (parent, page); false without a selected node.
    bool mainNode(tree::PlacementRef& ref) const;
    bool pickedNode(tree::PlacementRef& ref) const;

    tree::PageTree& main_;
    int mode_;
    tree::BulkTransfer bulk_;
    uTrX* own_ = nullptr;
    QLabel* explanation_ = nullptr;
    QTreeView* trView_ = nullptr;
    QCheckBox* chLnk_ = nullptr;
    QPushButton* lbRet_ = nullptr;
    QPushButton* buttons_[4] = {};
};

}  // namespace arbor::ui
