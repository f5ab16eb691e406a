#pragma once
// The export dialog: the range of the branch and an alternative site address.

#include "db/database_files.h"

class QWidget;

namespace arbor::ui {

class ExportDialog {
  public:
    // Fills wholeBranch and siteAddress; false when cancelled.
    static bool ask(QWidget* parent, ExportRequest& request);
};

}  // namespace arbor::ui
