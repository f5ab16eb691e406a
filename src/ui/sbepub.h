#pragma once
// sbEpub: the book's settings before an EPUB is written: the range (the whole database,
// or the current page and its branch with or without the site's addresses), title,
// identifier, author, rights, publisher, the address of pages the book leaves out, the
// output name and the three options. A hint line explains the field that has the focus.

#include <QDialog>
#include <QHash>

#include "epub/book_settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace arbor::ui {

class sbEpub : public QDialog {
  public:
    sbEpub(QWidget* parent, const epub::BookSettings& settings, bool pageChosen);

    // Shows the dialog: 0 when cancelled, else the range (1 whole, 2 branch with the
    // site's addresses, 3 branch), with settings filled from the fields.
    int Act(epub::BookSettings& settings);

    // The OK button's checks: a missing title keeps the dialog open; a missing
    // identifier is generated, shown and kept open for the user to check.
    bool check();
    int range() const;
    epub::BookSettings settings() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* line(const QString& name, const QString& text, const QString& hint);

    epub::BookSettings base_;
    QRadioButton* whole_ = nullptr;
    QRadioButton* withSite_ = nullptr;
    QRadioButton* branch_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* identifier_ = nullptr;
    QLineEdit* author_ = nullptr;
    QLineEdit* rights_ = nullptr;
    QLineEdit* publisher_ = nullptr;
    QLineEdit* address_ = nullptr;
    QCheckBox* addressIsSite_ = nullptr;
    QLineEdit* outputName_ = nullptr;
    QCheckBox* openFolder_ = nullptr;
    QCheckBox* fullWidth_ = nullptr;
    QCheckBox* noItalics_ = nullptr;
    QLabel* hint_ = nullptr;
    QHash<QObject*, QString> hints_;
};

}  // namespace arbor::ui
