#pragma once
// The list of site files and pictures no visible page uses ("不要ﾍﾟｰｼﾞと画像の一覧"), with
// their sizes; the checked ones go to the trash. The finding is web/unused_site_files.h's.

#include <QDialog>
#include <QList>

#include "web/unused_site_files.h"

class QLabel;
class QTreeWidget;

namespace arbor::web {
class SiteConversion;
}

namespace arbor::ui {

class UnusedFilesWindow : public QDialog {
    Q_OBJECT

  public:
    explicit UnusedFilesWindow(web::SiteConversion& fileNames, QWidget* parent = nullptr);

    // Lists the files again; false (after saying why) when the tree could not be read.
    bool refresh();
    QTreeWidget* list() const { return list_; }
    // Moves the checked files to the trash and lists again.
    void trashChecked();

  private:
    web::SiteConversion& fileNames_;
    QList<web::UnusedFile> files_;
    QTreeWidget* list_ = nullptr;
    QLabel* total_ = nullptr;
};

}  // namespace arbor::ui
