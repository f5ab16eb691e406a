#pragma once
// The reverse lookup tree (uTrg): a page's children are the pages it is placed
// under, so expanding walks up towards the top level. Read one level at a time.

#include <QByteArray>
#include <QItemSelectionModel>
#include <QObject>
#include <QString>
#include <QStringList>

#include "tree/tree_model.h"

namespace arbor::tree {

struct PageContent {
    bool found = false;
    QByteArray obDoc;  // the stored rich text (empty when none)
    QString title;
    QString text;  // the plain text kept for searching
};

// One page as a view shows it.
PageContent readPageContent(int page);

class ReverseTree : public QObject {
    Q_OBJECT
  public:
    explicit ReverseTree(QObject* parent = nullptr);

    TreeModel* model() const { return model_; }
    QItemSelectionModel* selection() const { return selection_; }
    QStringList history() const { return history_; }
    QString lastText() const { return lastText_; }

    // Fills the top level with the pages whose text holds the whole text.
    void search(const QString& text);
    // A click: reads the node's parents when it has none yet and reports the page.
    void open(const QModelIndex& index);
    // Puts a page at the top level unless a top node of that title stands there.
    void tgTree(const QString& text, const QString& page, const QString& title);
    void setExpanded(const QModelIndex& index, bool expanded);
    void clear();

  signals:
    // The node's page, for the page view; text is the last search text.
    void pageChosen(const QString& text, int page);
    void historyChanged();

  private:
    QStandardItem* makeNode(int page, const QString& title);
    void loadParents(const QModelIndex& index);

    TreeModel* model_;
    QItemSelectionModel* selection_;
    QStringList history_;
    QString lastText_;
    int counter_ = 0;
};

}  // namespace arbor::tree
