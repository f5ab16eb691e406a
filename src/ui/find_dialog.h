#pragma once
// Find and replace over the page's text, as a window that stays open beside the text:
// "次を検索" selects the next occurrence (round the end once), "置換" replaces the found
// one and moves on, "すべて置換" replaces every occurrence as one undo step.

#include <QDialog>

#include "editor/text_search.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace arbor::ui {

class FindDialog : public QDialog {
    Q_OBJECT

  public:
    FindDialog(QTextEdit* view, QWidget* parent);

    // Shows the window for finding, or finding and replacing, with the text to find.
    void showFor(bool replace, const QString& text);

    QLineEdit* findEdit() const { return find_; }
    QLineEdit* replaceEdit() const { return replace_; }
    QCheckBox* caseBox() const { return case_; }
    QCheckBox* wordBox() const { return words_; }
    QCheckBox* upwardBox() const { return upward_; }

    bool findNext();
    bool replaceOne();
    int replaceAll();

  signals:
    void status(const QString& text);

  private:
    search::Options options() const;
    void report(const QString& text);
    void enableButtons();

    QTextEdit* view_;
    QLineEdit* find_;
    QLineEdit* replace_;
    QLabel* replaceLabel_;
    QCheckBox* case_;
    QCheckBox* words_;
    QCheckBox* upward_;
    QPushButton* next_;
    QPushButton* replaceButton_;
    QPushButton* allButton_;
    QLabel* message_;
};

}  // namespace arbor::ui
