#pragma once
// The dialogs that make link fields: a hyperlink (an address, or a file chosen in
// "ﾘﾝｸ先のﾄﾞｷｭﾒﾝﾄ"), a term of the dictionary msDic, and the markup of an embedded frame
// or script.

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;

namespace arbor::ui {

class HyperlinkDialog : public QDialog {
    Q_OBJECT

  public:
    HyperlinkDialog(const QString& text, const QString& target, QWidget* parent = nullptr);
    QString text() const;
    QString target() const;
    QLineEdit* textEdit() const { return text_; }
    QLineEdit* targetEdit() const { return target_; }
    // "参照...": a file as the target.
    void browse();

  private:
    QLineEdit* text_;
    QLineEdit* target_;
};

class TermDialog : public QDialog {
    Q_OBJECT

  public:
    // Lists the terms of the open database; `current` is selected when listed.
    TermDialog(const QString& current, QWidget* parent = nullptr);
    // The key of the chosen term (empty when none).
    QString term() const;
    bool selectTerm(const QString& key);
    int termCount() const;
    QLineEdit* filterEdit() const { return filter_; }
    // Empty when the dictionary could be read.
    QString loadError() const { return error_; }

  private:
    void applyFilter(const QString& text);

    QLineEdit* filter_;
    QTreeWidget* list_;
    QString error_;
};

class MarkupDialog : public QDialog {
    Q_OBJECT

  public:
    // script: a "[Script:" block, else an "[Iframe:" one.
    MarkupDialog(bool script, const QString& initial, QWidget* parent = nullptr);
    QString markup() const;
    QPlainTextEdit* markupEdit() const { return markup_; }

  private:
    QPlainTextEdit* markup_;
};

}  // namespace arbor::ui
