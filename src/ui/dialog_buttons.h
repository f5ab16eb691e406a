#pragma once
// The OK and Cancel buttons of the editor's dialogs, with the program's button texts.

class QDialog;
class QDialogButtonBox;

namespace arbor::ui {

// Accepts or rejects the dialog; OK is the default button.
QDialogButtonBox* okCancelButtons(QDialog* dialog);

}  // namespace arbor::ui
