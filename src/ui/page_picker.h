#pragma once
// Picking a page of the open document database: the page tree read-only (as the tree
// pane shows it, one level at a time) and a search of the page titles, which also
// finds the pages a collecting page lists. Used for tag links ("ﾀｸﾞの参照") and by the
// main window's commands that take another page.

#include <QDialog>

class QLineEdit;
class QListWidget;
class QStackedWidget;

namespace arbor::tree {
class PageTree;
}

namespace arbor::ui {

class PageTreeView;

class PagePicker : public QDialog {
    Q_OBJECT

  public:
    PagePicker(const QString& caption, QWidget* parent = nullptr);
    ~PagePicker() override;

    // Shows the picker; true with the page's number and title when one was chosen.
    static bool pick(QWidget* parent, const QString& caption, int& number, QString& title);

    // The page chosen now (0: none) and its title.
    int pageNumber() const;
    QString pageTitle() const;

    QLineEdit* searchEdit() const { return search_; }
    PageTreeView* treeView() const { return view_; }
    QListWidget* hitList() const { return hits_; }
    // Runs the title search (also as the user types).
    void search(const QString& text);

  private:
    void updateOk();

    tree::PageTree* tree_;
    PageTreeView* view_;
    QLineEdit* search_;
    QListWidget* hits_;
    QStackedWidget* stack_;
    QWidget* okButton_ = nullptr;
};

}  // namespace arbor::ui
