#pragma once
// The prompter of the windowed program: message boxes, the password and input boxes
// and file dialogs, all with Japanese button texts.

#include <QPointer>
#include <QWidget>

#include "app/prompter.h"

namespace arbor::ui {

class DialogPrompter : public Prompter {
  public:
    // Dialogs are centred on the parent (may be null).
    explicit DialogPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    Answer ask(const QString& text, Buttons buttons, Severity severity) override;
    QString password(const QString& fileName) override;
    QString input(const QString& title, const QString& prompt, const QString& initial,
                  bool& ok) override;
    QString chooseFile(const FileDialogRequest& request) override;

    // The program's texts break lines with CR (and CR LF); a dialog wants LF.
    static QString displayText(const QString& text);

  private:
    QPointer<QWidget> parent_;
};

}  // namespace arbor::ui
