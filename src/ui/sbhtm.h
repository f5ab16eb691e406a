#pragma once
// sbHtm: the HTML export's choices: the folder, the top page's file name, the navigation
// kind (frames or the tree index, in one of two layouts), emptying the folder first and
// opening the result.

#include <QDialog>

#include "web/htm_export.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace arbor::ui {

class sbHtm : public QDialog {
  public:
    sbHtm(QWidget* parent, const web::HtmExportRequest& request);

    // False when cancelled; request and openResult filled from the fields.
    bool Act(web::HtmExportRequest& request, bool& openResult);

    // The OK button's checks (a folder that cannot take the export keeps the dialog open;
    // emptying asks first).
    bool check();
    web::HtmExportRequest request() const;
    bool openResult() const;

  private:
    QLineEdit* folder_ = nullptr;
    QLineEdit* topName_ = nullptr;
    QRadioButton* tree_ = nullptr;
    QRadioButton* elastic_ = nullptr;
    QRadioButton* frames_ = nullptr;
    QCheckBox* empty_ = nullptr;
    QCheckBox* open_ = nullptr;
};

}  // namespace arbor::ui
