#pragma once
// The editor's settings window: the user formats of the open database (format page), the
// save options and the start-up choices of the settings file.

#include <QDialog>
#include <array>

#include "editor/user_formats.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace arbor::ui {

class SettingsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SettingsDialog(QWidget* parent = nullptr);

    // The format being edited (0-7), and the values shown for it.
    void selectFormat(int index);
    UsrFormat& editedFormat(int index) { return formats_.at(index); }
    void setLineSpacing(float factor);
    QTabWidget* tabs() const { return tabs_; }

    // The format page's confirmation: the table takes the dialog's values, the line
    // spacing is kept within 1.0 to 2.0, the sizes are checked for the web, and the
    // formats are saved with the two options. False when no database is open.
    bool applyFormats();
    // The other pages' values written to the settings file (in memory).
    void applySettings();

    void accept() override;

  private:
    QWidget* buildFormatPage();
    QWidget* buildSavePage();
    QWidget* buildStartPage();
    void showFormat();
    void takeFormat();
    void updateSample();

    QTabWidget* tabs_ = nullptr;
    std::array<UsrFormat, kUserFormatCount> formats_;
    int current_ = -1;
    bool loading_ = false;
    QListWidget* list_ = nullptr;
    QFontComboBox* font_ = nullptr;
    QSpinBox* size_ = nullptr;
    QPushButton* fore_ = nullptr;
    QPushButton* back_ = nullptr;
    QCheckBox* bold_ = nullptr;
    QComboBox* align_ = nullptr;
    std::array<QDoubleSpinBox*, 5> distances_{};
    QComboBox* spacing_ = nullptr;
    QCheckBox* firstHeading_ = nullptr;
    QCheckBox* enterBreak_ = nullptr;
    QLabel* sample_ = nullptr;
    // Save page.
    QComboBox* confirm_ = nullptr;
    QCheckBox* autoSave_ = nullptr;
    QSpinBox* autoMinutes_ = nullptr;
    QCheckBox* keepCopy_ = nullptr;
    QCheckBox* wordCopies_ = nullptr;
    // Start page.
    QCheckBox* openStart_ = nullptr;
    QSpinBox* startPage_ = nullptr;
    QCheckBox* showKeys_ = nullptr;
};

}  // namespace arbor::ui
