#pragma once
// The site settings window "サイト出力時の指定": the settings of the whole site and those
// of the page chosen in its tree. It shows and edits; reading, checking, writing and
// keeping the written site consistent are web/site_settings.h's.

#include <QDialog>
#include <QHash>

#include "web/site_settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace arbor::web {
class SiteConversion;
}

namespace arbor::ui {

class SiteSettingsWindow : public QDialog {
    Q_OBJECT

  public:
    explicit SiteSettingsWindow(web::SiteConversion& fileNames, QWidget* parent = nullptr);

    // ShowSiteSettings: the window on a page (0: the top page).
    void ShowSiteSettings(int page);
    int selectedPage() const { return page_; }
    int topPage() const { return top_; }

    // The controls by their grid-row names ("Title", "copyright", "Keywords", "Description",
    // "Template", "File Name", "Sub Pages") and the others, for tests and the keyboard.
    QLineEdit* field(const QString& name) const { return fields_.value(name); }
    QCheckBox* altCheck() const { return altOn_; }
    QLineEdit* altAddress() const { return altAddress_; }
    QButtonGroup* docTypes() const { return docTypes_; }
    QComboBox* mapDepth() const { return mapDepth_; }
    QButtonGroup* pictureFolderModes() const { return pictureModes_; }
    QLineEdit* pictureFolder() const { return pictureFolder_; }
    QCheckBox* rootCheck() const { return root_; }
    QCheckBox* noIndexCheck() const { return noIndex_; }
    QCheckBox* fitTablesCheck() const { return fitTables_; }
    QButtonGroup* pictureFormats() const { return pictureFormats_; }
    QLabel* messageLine() const { return messageLine_; }
    QLabel* inheritedLine() const { return inherited_; }
    QPushButton* deleteButton() const { return delete_; }
    QPlainTextEdit* pageText() const { return pageText_; }
    QTreeWidget* pageTree() const { return tree_; }

    // The buttons' work.
    void saveSite();
    void savePage();
    void deletePage();
    void chooseTemplate();
    void chooseSubPages();

    // Closes only when the top page has a template.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void loadSite();
    void loadTree();
    void showPage(int page);
    web::PageSettings edited() const;
    bool mayClose();
    QString chooseInTemplateFolder(const QString& title, const QString& refusal, bool several);

    web::SiteConversion& fileNames_;
    int page_ = 0;
    int top_ = 0;
    web::SiteWideSettings site_;
    web::PageSettings loaded_;

    QTreeWidget* tree_ = nullptr;
    QCheckBox* altOn_ = nullptr;
    QLineEdit* altAddress_ = nullptr;
    QButtonGroup* docTypes_ = nullptr;
    QComboBox* mapDepth_ = nullptr;
    QButtonGroup* pictureModes_ = nullptr;
    QLineEdit* pictureFolder_ = nullptr;
    QLabel* topLine_ = nullptr;
    QLabel* messageLine_ = nullptr;
    QLabel* inherited_ = nullptr;
    QHash<QString, QLineEdit*> fields_;
    QCheckBox* root_ = nullptr;
    QCheckBox* noIndex_ = nullptr;
    QCheckBox* fitTables_ = nullptr;
    QButtonGroup* pictureFormats_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPlainTextEdit* pageText_ = nullptr;
};

}  // namespace arbor::ui
