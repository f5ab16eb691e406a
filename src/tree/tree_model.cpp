#include "tree/tree_model.h"

#include <QBrush>
#include <QFont>

#include "tree/node_key.h"

namespace arbor::tree {

QColor windowsColour(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

TreeModel::TreeModel(QObject* parent) : QStandardItemModel(parent) {}

bool TreeModel::mayHaveUnreadChildren(const QModelIndex& index) const {
    if (!index.isValid() || QStandardItemModel::hasChildren(index))
        return false;
    const QString image = index.data(ImageRole).toString();
    return image.endsWith(QLatin1String("cls")) || image.endsWith(QLatin1String("opn"));
}

bool TreeModel::hasChildren(const QModelIndex& parent) const {
    return QStandardItemModel::hasChildren(parent) || mayHaveUnreadChildren(parent);
}

bool TreeModel::canFetchMore(const QModelIndex& parent) const {
    return fetcher_ && mayHaveUnreadChildren(parent);
}

void TreeModel::fetchMore(const QModelIndex& parent) {
    if (canFetchMore(parent))
        fetcher_(parent);
}

QStandardItem* TreeModel::makeNode(const QString& key, const QString& text, const QString& image) {
    auto* item = new QStandardItem(text);
    item->setData(key, KeyRole);
    item->setData(image, ImageRole);
    item->setData(false, ExpandedRole);
    item->setEditable(false);
    setForeColour(item, 0);
    setBackColour(item, 0xFFFFFF);
    return item;
}

void TreeModel::setForeColour(QStandardItem* item, int colour) {
    item->setData(colour, ForeColourRole);
    QFont font;
    if (colour == kCutColour) {
        // The cut colour itself is nearly white: drawn darker and slanted to stay readable.
        font.setItalic(true);
        item->setData(font, Qt::FontRole);
        item->setData(QBrush(QColor(150, 150, 150)), Qt::ForegroundRole);
        return;
    }
    item->setData(QVariant(), Qt::FontRole);
    if (colour == 0)
        item->setData(QVariant(), Qt::ForegroundRole);
    else
        item->setData(QBrush(windowsColour(colour)), Qt::ForegroundRole);
}

void TreeModel::setBackColour(QStandardItem* item, int colour) {
    item->setData(colour, BackColourRole);
    if (colour == 0xFFFFFF)
        item->setData(QVariant(), Qt::BackgroundRole);
    else
        item->setData(QBrush(windowsColour(colour)), Qt::BackgroundRole);
}

}  // namespace arbor::tree
