#pragma once
// The reverse lookup window sbRev: on the left the reverse tree uTrg (search box
// cbFind, its button cmFind and the tree trView), on the right a read-only view of
// the chosen page. A tag link clicked in the page adds its page to the reverse tree.

#include <QWidget>

#include "tree/reverse_tree.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace arbor::ui {

class PageTreeView;

class uTrg : public QWidget {
    Q_OBJECT
  public:
    explicit uTrg(QWidget* parent = nullptr);
    tree::ReverseTree* reverse() const { return reverse_; }
    QComboBox* cbFind() const { return cbFind_; }
    QPushButton* cmFind() const { return cmFind_; }
    PageTreeView* trView() const { return trView_; }
    void runSearch();

  private:
    tree::ReverseTree* reverse_;
    QComboBox* cbFind_;
    QPushButton* cmFind_;
    PageTreeView* trView_;
};

class sbRev : public QWidget {
    Q_OBJECT
  public:
    explicit sbRev(QWidget* parent = nullptr);
    uTrg* reverseTree() const { return trg_; }
    QTextBrowser* pageView() const { return view_; }
    QLabel* titleLabel() const { return title_; }
    // Puts the page at the top of the reverse tree and shows it.
    void showPage(int page, const QString& title);
    // Shows a page in the view (the rich text when it can be read, else its plain text).
    void loadPage(int page);

  private:
    void followLink(const QUrl& url);

    uTrg* trg_;
    QLabel* title_;
    QTextBrowser* view_;
};

}  // namespace arbor::ui
