#pragma once
// The template editor sbCss: a design of the site's frame edited in fields, turned into a
// template and style sheet pair (or the preview's work pair) by web/style_sheet_editor*.h.

#include <QDialog>
#include <QHash>

#include "web/style_sheet_editor.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace arbor::web {
class SiteConversion;
}

namespace arbor::ui {

class StyleSheetWindow : public QDialog {
    Q_OBJECT

  public:
    StyleSheetWindow(web::SiteConversion& conversion, int page, int parent,
                     QWidget* owner = nullptr);

    // Fields by name: "txID", "txWide", "txLeft", "txHigh", "txTpW", "txLogo", "txTitle",
    // "bcTitle", "bcTop", "bcMain", "bcLogo", and for each label ("lbTop" ...) its text
    // colour "lbTop.color" and background "lbTop.back".
    QLineEdit* field(const QString& name) const { return fields_.value(name); }
    QCheckBox* boldCheck(const QString& label) const { return bold_.value(label); }
    QButtonGroup* layouts() const { return layouts_; }
    QCheckBox* dropDownCheck() const { return dropDown_; }
    QComboBox* presets() const { return presets_; }
    int presetGroup() const { return group_; }

    // The design the fields describe; false (after saying why) when a field is wrong.
    bool design(web::CssDesign& design);
    void showDesign(const web::CssDesign& design);

    // The buttons' work.
    bool generate();
    bool preview();
    void openExisting();
    void choosePreset(int index);
    void stepPreset(int step);
    void copySummary();
    void choosePicture(const QString& fieldName);
    QString shownFile() const { return shownFile_; }

    // Asks first when nothing was generated.
    void reject() override;

  private:
    QLineEdit* addField(const QString& name);
    QLineEdit* addColourField(const QString& name);

    web::SiteConversion& conversion_;
    int page_;
    int parent_;
    bool generated_ = false;
    int group_ = 0;
    QString shownFile_;
    QHash<QString, QLineEdit*> fields_;
    QHash<QString, QCheckBox*> bold_;
    QButtonGroup* layouts_ = nullptr;
    QCheckBox* dropDown_ = nullptr;
    QComboBox* presets_ = nullptr;
    QLabel* groupLabel_ = nullptr;
};

}  // namespace arbor::ui
