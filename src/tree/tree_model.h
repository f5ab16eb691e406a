#pragma once
// The nodes of a page tree: an item model whose items carry a key, an image key,
// colours and an expanded flag. A node whose image says it has children offers
// them before they are read; a view that expands it makes the owner read that one
// level (fetchMore), so the tree is never read whole.

#include <QStandardItemModel>
#include <functional>

namespace arbor::tree {

enum NodeRole {
    KeyRole = Qt::UserRole + 1,  // QString node key
    ImageRole,                   // QString image key ("ndcls", ...)
    ForeColourRole,              // int Windows colour value of the text
    BackColourRole,              // int Windows colour value of the background
    ExpandedRole,                // bool
    PageRole,                    // int page number (list items)
    CutColourSavedRole,          // int fore colour before the node was cut
};

// Windows colour value 0x00BBGGRR as a Qt colour.
QColor windowsColour(int value);

class TreeModel : public QStandardItemModel {
    Q_OBJECT
  public:
    using Fetcher = std::function<void(const QModelIndex&)>;

    explicit TreeModel(QObject* parent = nullptr);
    void setFetcher(Fetcher fetcher) { fetcher_ = std::move(fetcher); }

    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // A new node (not yet in the model) with its key, text and image.
    static QStandardItem* makeNode(const QString& key, const QString& text, const QString& image);
    static void setForeColour(QStandardItem* item, int colour);
    static void setBackColour(QStandardItem* item, int colour);

  private:
    bool mayHaveUnreadChildren(const QModelIndex& index) const;
    Fetcher fetcher_;
};

}  // namespace arbor::tree
