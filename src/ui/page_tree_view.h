#pragma once
// The tree view of the page trees: shows a node model with the image list, keeps the
// model's expanded flag and the view's expansion in step, and turns clicks, Enter and
// the right button into requests. It decides nothing itself.

#include <QStyledItemDelegate>
#include <QTreeView>
#include <functional>

class QStandardItemModel;
class QItemSelectionModel;

namespace arbor::ui {

// Draws the icon of a node's image key and hands a finished label edit to a function
// that decides whether the label changes.
class TreeItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using LabelCommit = std::function<bool(const QModelIndex&, const QString&)>;
    explicit TreeItemDelegate(QObject* parent = nullptr);
    void setLabelCommit(LabelCommit commit) { commit_ = std::move(commit); }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    // A label the panel is too narrow for shows whole as the node's tool tip.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    bool isLabelCut(const QStyleOptionViewItem& option, const QModelIndex& index,
                    const QWidget* view) const;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

  private:
    LabelCommit commit_;
};

class PageTreeView : public QTreeView {
    Q_OBJECT
  public:
    using ExpandSetter = std::function<void(const QModelIndex&, bool)>;

    explicit PageTreeView(QWidget* parent = nullptr);
    // Shows the model with its selection; expanding in the view calls setExpanded.
    void setNodeModel(QStandardItemModel* model, QItemSelectionModel* selection,
                      ExpandSetter setExpanded);
    TreeItemDelegate* itemDelegateForNodes() const { return delegate_; }

  signals:
    // A left click or Enter (without Shift) on a node.
    void openRequested(const QModelIndex& index);
    // The right button; index is invalid over empty space.
    void contextRequested(const QModelIndex& index, const QPoint& globalPos);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void followModel(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void followInserted(const QModelIndex& parent, int first, int last);

    TreeItemDelegate* delegate_;
    ExpandSetter setExpanded_;
};

}  // namespace arbor::ui
