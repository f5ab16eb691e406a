#pragma once
// fmDoc: the main window. The page tree on the left, the page editor on the right, the
// function-key bar at the bottom. It joins them through their events, runs the menu
// commands, loads and saves pages, and carries out the database file commands.

#include <QDateTime>
#include <QMainWindow>
#include <memory>

#include "db/database_files.h"

namespace arbor::web {
class SiteConversion;
}

class QSplitter;
class QTimer;

namespace arbor::ui {

class MainMenus;
class uFky;
class uTrX;
class uTxm;

class fmDoc : public QMainWindow, private DatabaseHost {
    Q_OBJECT

  public:
    explicit fmDoc(QWidget* parent = nullptr);
    ~fmDoc() override;

    // Before the window loads: the database and page of the command line.
    void SetDBNo(const QString& path, int page);
    // The load handler: layout, the database to open, menus, tree and editor.
    void load();
    // Layout and start-up settings: 0 read and apply, 1 write back (in memory).
    void fnEnv(int mode);
    // The orderly close; false when the editor refused (the user cancelled).
    bool CloseMain();
    // Runs a menu item exactly as a click on it would (function keys, tests).
    void fnMenu(int group, int index);

    uTrX* tree() const { return tree_; }
    uTxm* editor() const { return editor_; }
    uFky* keyBar() const { return keys_; }
    MainMenus* menus() const { return menus_; }
    DatabaseFiles& files() { return files_; }
    int currentPage() const { return currentPage_; }

    // Page lifecycle.
    void SetCurrentPage(int number);
    void NewPage(int position);
    void ShowPage(int number, const QString& label, int mode, bool force);
    void SavePage();
    void DuplicatePage();
    void CopyFromPage();
    void LoadFromFile();
    void InsertOtherPage();
    void FollowTag(const QString& kind, const QString& target);

    // Command enabling with or without an open database, and for the tree's state.
    void enableForDatabase(bool open);
    void enableForTree(bool hasPages);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // DatabaseHost
    bool releaseCurrentPage() override;
    void clearTreeAndEditor() override;
    void loadTree() override;
    void saveTreeState() override;
    void setCaption(const QString& path) override;
    void refreshMenus() override;
    void clipboardCleared() override;
    void refreshNode(int page, int boCod) override;

    void buildLayout();
    void leaveSharedKeysToMenus();
    void connectTree();
    void connectEditor();
    void runCommand(const QString& array, int index);
    void runTreeCommand(int index);
    void runDatabaseCommand(const QString& array, int index);
    // fmdoc_web.cpp: the web menu.
    void runWebCommand(const QString& array, int index);
    void updateSite(int mode, bool openCurrent);
    void previewWithMenus();
    void makeSiteMap();
    void checkLinks();
    void openWebWindow(int index);
    web::SiteConversion& siteConversion();
    // fmdoc_output.cpp: the output menu.
    void runOutputCommand(int index);
    void exportHtml();
    void publishEpub();
    void updateMenusBeforeOpen(int top);
    void refreshRecentMenu();
    void status(const QString& text, int kind = 0);
    void autosave();
    void showSettings();
    // The start-up and save choices of the settings file (not the layout).
    void readOptions();
    void showPlacementProperties();
    void exportBranch();
    void importDatabase();
    void previewInBrowser();
    void openInWordProcessor();
    bool treeHasPages() const;
    void editorNoDocument();
    // A page whose formatted content cannot be read shows its plain text, read-only.
    void showPlainTextOf(int number);
    void setDamagedPage(bool damaged);
    void updateEditorReadOnly();
    static QString damagedPageStatus();
    static QString readOnlyStatus();

    MainMenus* menus_ = nullptr;
    QSplitter* split_ = nullptr;
    uTrX* tree_ = nullptr;
    uTxm* editor_ = nullptr;
    uFky* keys_ = nullptr;
    QTimer* autosaveTimer_ = nullptr;
    DatabaseFiles files_;
    QString startPath_;
    int startPage_ = 0;
    int currentPage_ = 0;
    QDateTime lastSave_;
    int lastTreeState_ = -1;  // -1 unknown, 0 empty, 1 has pages
    bool closing_ = false;
    bool damagedPage_ = false;
    std::unique_ptr<web::SiteConversion> siteConversion_;
    // Settings read by fnEnv.
    bool showKeys_ = true;
    bool openStartPage_ = false;
    int startPageNo_ = 0;
    bool keepCompactedCopy_ = true;
    bool autoSave_ = true;
};

}  // namespace arbor::ui
