#pragma once
// uTrX: the page-tree control of the main window's left pane. Three tabs (the tree
// with the collecting page's list lsCod, the search with cmbFind and lsFind, the
// recent pages lsRsnt) over one PageTree, which holds the logic and raises the
// events; this widget shows its models and forwards the mouse and the keys.

#include <QPointer>
#include <QWidget>

#include "tree/page_tree.h"

class QComboBox;
class QListView;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTreeView;

namespace arbor::ui {

class PageTreeView;
class TreeMenu;
class sbTrRet;
class sbRev;

class uTrX : public QWidget {
    Q_OBJECT
  public:
    explicit uTrX(QWidget* parent = nullptr);
    ~uTrX() override;

    tree::PageTree* tree() const { return tree_; }
    PageTreeView* trView() const { return trView_; }
    QTreeView* lsCod() const { return lsCod_; }
    QComboBox* cmbFind() const { return cmbFind_; }
    QPushButton* cmdFind() const { return cmdFind_; }
    QListView* lsFind() const { return lsFind_; }
    QListView* lsRsnt() const { return lsRsnt_; }
    QPushButton* recentClear() const { return recentClear_; }
    QTabWidget* tabs() const { return tabs_; }
    TreeMenu* mnTree() const { return menu_; }

    // The right button pops up mnTree unless the container does it.
    void setOwnContextMenu(bool own) { ownMenu_ = own; }
    void popupMenu(const QPoint& globalPos);
    // Runs a menu item as a click on it would.
    void runMenuItem(int index);

    sbTrRet* bulkWindow() const;
    sbRev* reverseWindow() const;

  signals:
    // Items the main window carries out (new pages, duplicate, properties, ...).
    void menuCommand(int index);

  private:
    void buildTabs();
    void connectTree();
    void connectMenu();
    void runFind();
    void openBulk(int mode);
    void openReverse();
    void refillFindHistory();

    tree::PageTree* tree_;
    QTabWidget* tabs_ = nullptr;
    QSplitter* treeSplit_ = nullptr;
    PageTreeView* trView_ = nullptr;
    QTreeView* lsCod_ = nullptr;
    QComboBox* cmbFind_ = nullptr;
    QPushButton* cmdFind_ = nullptr;
    QListView* lsFind_ = nullptr;
    QListView* lsRsnt_ = nullptr;
    QPushButton* recentClear_ = nullptr;
    TreeMenu* menu_ = nullptr;
    bool ownMenu_ = true;
    QPointer<sbTrRet> bulk_;
    QPointer<sbRev> reverse_;
};

}  // namespace arbor::ui
