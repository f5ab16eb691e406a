#include "ui/page_tree_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QToolTip>

#include "tree/tree_model.h"
#include "ui/tree_icons.h"

namespace arbor::ui {

TreeItemDelegate::TreeItemDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void TreeItemDelegate::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QIcon icon = treeIcon(index.data(tree::ImageRole).toString());
    if (!icon.isNull()) {
        option->icon = icon;
        option->features |= QStyleOptionViewItem::HasDecoration;
    }
}

bool TreeItemDelegate::isLabelCut(const QStyleOptionViewItem& option, const QModelIndex& index,
                                  const QWidget* view) const {
    QStyleOptionViewItem o(option);
    initStyleOption(&o, index);
    const QStyle* style = view ? view->style() : QApplication::style();
    const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &o, view);
    return o.fontMetrics.horizontalAdvance(o.text) > text.width();
}

bool TreeItemDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() == QEvent::ToolTip && !index.data(Qt::ToolTipRole).isValid()) {
        if (isLabelCut(option, index, view))
            QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view);
        else
            QToolTip::hideText();
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

void TreeItemDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || !commit_) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    // The tree decides; a refused label leaves the model as it was.
    commit_(index, line->text());
}

PageTreeView::PageTreeView(QWidget* parent)
    : QTreeView(parent), delegate_(new TreeItemDelegate(this)) {
    setHeaderHidden(true);
    setItemDelegate(delegate_);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    header()->setStretchLastSection(true);
    connect(this, &QTreeView::clicked, this, &PageTreeView::openRequested);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        emit contextRequested(indexAt(pos), viewport()->mapToGlobal(pos));
    });
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (setExpanded_)
            setExpanded_(index, true);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (setExpanded_)
            setExpanded_(index, false);
    });
}

void PageTreeView::setNodeModel(QStandardItemModel* model, QItemSelectionModel* selection,
                                ExpandSetter setExpanded) {
    setModel(model);
    setSelectionModel(selection);
    setExpanded_ = std::move(setExpanded);
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& tl, const QModelIndex& br, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(tree::ExpandedRole))
                    followModel(tl, br);
            });
    connect(model, &QAbstractItemModel::rowsInserted, this, &PageTreeView::followInserted);
}

void PageTreeView::followModel(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
        const QModelIndex index = topLeft.siblingAtRow(r);
        const bool expanded = index.data(tree::ExpandedRole).toBool();
        if (isExpanded(index) != expanded)
            setExpanded(index, expanded);
    }
}

void PageTreeView::followInserted(const QModelIndex& parent, int first, int last) {
    // Rows inserted already expanded (a node moved or read again) open in the view too.
    for (int r = first; r <= last; ++r) {
        const QModelIndex index = model()->index(r, 0, parent);
        if (index.data(tree::ExpandedRole).toBool() && !isExpanded(index))
            setExpanded(index, true);
    }
}

void PageTreeView::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & Qt::ShiftModifier) && state() != EditingState) {
        if (currentIndex().isValid())
            emit openRequested(currentIndex());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

}  // namespace arbor::ui
