#pragma once
// PageTree: the logic of the page-tree control uTrX. It holds the nodes (placements
// read one level at a time), the list of a collecting page's children, the search
// hits and the recent pages, and carries out every structural change of the tree.
// It shows nothing itself: a view in ui/ shows its models and forwards the user's
// clicks, keys and label edits; the main window listens to its events.

#include <QItemSelectionModel>
#include <QObject>
#include <QPersistentModelIndex>
#include <QStandardItemModel>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "tree/tree_clipboard.h"
#include "tree/tree_model.h"
#include "tree/tree_store.h"

namespace arbor::tree {

// Kinds of an eSetDoc.
enum DocKind { kTreeNode = 1, kTagOrListEntry = 2, kNoPage = 3 };

class PageTree : public QObject {
    Q_OBJECT
  public:
    explicit PageTree(QObject* parent = nullptr);
    ~PageTree() override;

    // --- models a view shows
    TreeModel* model() const { return model_; }
    QItemSelectionModel* selection() const { return selection_; }
    // lsCod: column 0 label (KeyRole "K" + page or "NEW"), column 1 save time.
    QStandardItemModel* codList() const { return codList_; }
    QItemSelectionModel* codSelection() const { return codSelection_; }
    // lsFind and lsRsnt: one title per row, the page number in PageRole.
    QStandardItemModel* findList() const { return findList_; }
    QStandardItemModel* recentList() const { return recentList_; }

    // --- state
    QStringList findHistory() const { return findHistory_; }
    QString lastFind() const { return lastFind_; }
    const TreeClipboard& clipboard() const { return clipboard_; }
    QStringList cutKeys() const;
    bool codMode() const { return codMode_; }
    int codPage() const { return codPage_; }
    QString currentKey() const { return currentKey_; }
    bool busy() const { return busy_; }
    int insertCounter() const { return insertCounter_; }
    bool hasPendingNewNode() const { return pendingNew_.isValid(); }
    bool hasPendingNewItem() const { return pendingNewItem_; }
    bool renumberPending() const { return renumberTop_ || !renumber_.isEmpty(); }
    bool hasRoot() const;

    // --- operations of the control
    void StSize() {}
    void SetFrame(int tab);
    int iTabNo() const { return tab_; }
    QString SlctdKy() const;
    void SetTmpKy();
    void UdtNd(const QString& title, const QString& oldTitle, const QString& page);
    void TagTree(const QString& page, const QString& title);
    void RootSelect(bool flag);
    void ClearItem(bool keep);
    void RefreshTree();
    void SetNodes(const QString& parentKey, bool makeRoot);
    void SetRcnt(const QString& page, const QString& title);
    void SetRcntLst(const QString& caption, const QString& toolTip, const QString& sql);
    void trNew(int position, const QString& title);
    void trSort();
    // Asks whether the page in the editor may be left (the editor's save question).
    bool mayLeaveShownPage();
    // The page in the editor lost its placement: the editor shows no page.
    void showNoPage();

    struct NodeNumbers {
        QString parent;
        QString page;
        bool link = false;
    };
    NodeNumbers GetPrCdNo(const QString& key = QString()) const;

    void cdNew();
    void cdDel();
    void SetLeaf(const QString& pageOrPath);
    QString sGetLeaf() const;
    void SetActImg(const QString& prefix, const QString& page, bool collecting);
    // Deletes a placement; with an empty key the selected one, after asking.
    bool trNdDL(const QString& key, const QString& message);
    void trIns(int slot, const QString& title, const QString& page);
    void trCopy(bool cut);

    struct MenuState {
        bool noPendingNew = true;
        bool hasPrevious = false;
        bool hasNext = false;
        bool collecting = false;
    };
    MenuState trChkDcm() const;

    void trMove(bool down);
    QString GetNodeText() const;
    void HogoNode(bool flag);
    void HideNode(bool flag);
    bool ChkHideNode(const QString& key = QString()) const;
    void StOrgn(bool keep);
    void RefreshNd(const QString& title, const QString& page);
    void RefreshDcNd(const QString& page);

    struct ExpansionState {
        QString expanded;    // placement ids, each followed by ","
        QString selectedId;  // placement id of the selected node
    };
    ExpansionState GetExPndNds() const;
    void SetExPndNds(const QString& expanded, const QString& selectedId);
    void StratEdt();
    void CngCod(bool flag);

    // --- input from a view
    void openNode(const QModelIndex& index);
    void openCodItem(const QModelIndex& index);
    void openFindItem(const QModelIndex& index);
    void openRecentItem(const QModelIndex& index);
    // Runs the search of cmbFind.
    void find(const QString& text);
    void setExpanded(const QModelIndex& index, bool expanded);
    bool canEditLabel(const QModelIndex& index) const;
    // The end of a label edit; false when the label stays as it was.
    bool finishLabelEdit(const QModelIndex& index, const QString& text);
    void rightClick(bool onTree);
    void clearRecent();

    // --- nodes
    QModelIndex selectedIndex() const;
    QModelIndex findKey(const QString& key) const;
    QString parentPageOf(const QModelIndex& index) const;
    QString placementIdOf(const QModelIndex& index) const;
    // Every node (in display order) whose key carries the page.
    QList<QModelIndex> nodesOfPage(int page) const;
    // Selects a node without opening it.
    void selectNode(const QModelIndex& index);

  signals:
    // Events of the control.
    void eFmMsg(const QString& text);
    void eSetDoc(const QString& label, const QString& page, const QString& parent, int kind,
                 bool isProtected);
    void eFndWd(const QString& text);
    void eChkMove(bool& cancel);
    void eRightClick(bool onTree);

    // Requests to the view.
    void frameChanged(int tab, bool showCodList);
    void labelEditRequested(const QModelIndex& index);
    void codListFocusRequested();
    void clipboardChanged();
    void findHistoryChanged();
    void recentListCaption(const QString& caption, const QString& toolTip, bool clearVisible);

  private:
    struct CutEntry {
        QString key;  // empty while the placement is not shown
        QString id;   // placement id, to find the row again after a reload
    };

    // page_tree.cpp
    QStandardItem* itemOf(const QModelIndex& index) const;
    QStandardItem* parentItemOf(QStandardItem* item) const;
    QModelIndex topParent() const;
    QString nextKey(QChar prefix, const QString& page);
    // Reads the children of a node (or of the top level) into the view.
    int loadLevel(const QModelIndex& parent, const QString& parentPage);
    void loadIfEmpty(const QModelIndex& index);
    void openResolved(const QModelIndex& index);
    void reselectCurrent();
    // Discards the unsaved placeholder and "NEW" list item, with a message for each.
    void discardPending();
    // Asks the container whether the current page may be left (for list entries).
    bool mayLeave();
    // Shows the page of a search or recent-list entry; false when nothing was opened.
    bool openListEntry(const QStandardItemModel* list, const QModelIndex& index);
    void forEachNode(const std::function<void(const QModelIndex&)>& visit) const;
    void applyCutColour(QStandardItem* item);

    // page_tree_edit.cpp
    void addRenumber(const QModelIndex& parent);
    bool renumberInside(const QModelIndex& node) const;
    // The placements below a parent in display order; standIn, when given, counts as
    // standInPage (the placeholder being saved).
    QVector<SiblingOrder> siblingOrder(const QModelIndex& parent,
                                       const QModelIndex& standIn = QModelIndex(),
                                       int standInPage = 0) const;
    // The parent's order is in the database: it leaves the renumber list.
    void dropRenumber(const QModelIndex& parent);
    void removeFromView(const QModelIndex& index, bool openAfter);
    void afterChildRemoved(QStandardItem* parent);
    void noteChildAdded(QStandardItem* parent);
    void imageNodesOfPage(int page, int homeParentPage);
    // Relabels the placements of a page that still carry the old title; returns
    // the parents whose rows were written.
    QStringList relabelPlacements(int page, const QString& oldTitle, const QString& title);

    // page_tree_reveal.cpp
    void reload(bool sortFirst);
    void expandListed(const QModelIndex& parent, const QString& expanded);
    void collectExpanded(const QModelIndex& parent, QString& out) const;
    QModelIndex findPlacement(const QString& id) const;
    void refreshNode(const QModelIndex& index, const QString& title, const QString& page,
                     bool open);

    // page_tree_lists.cpp
    void fillCodList(int page);
    void commitCodItem(const QString& title, const QString& oldTitle, int page);
    QModelIndex codItem(const QString& key) const;

    TreeModel* model_;
    QItemSelectionModel* selection_;
    QStandardItemModel* codList_;
    QItemSelectionModel* codSelection_;
    QStandardItemModel* findList_;
    QStandardItemModel* recentList_;
    TreeClipboard clipboard_;

    QString currentKey_;
    QString currentId_;
    QPersistentModelIndex pendingNew_;
    bool pendingNewItem_ = false;
    bool codMode_ = false;
    int codPage_ = 0;
    QVector<QPersistentModelIndex> renumber_;
    bool renumberTop_ = false;
    QVector<CutEntry> cut_;
    QStringList findHistory_;
    QString lastFind_;
    int tab_ = 1;
    int keyCounter_ = 0;
    int insertCounter_ = 100;
    bool busy_ = false;
};

}  // namespace arbor::tree
