#pragma once
// Operations on whole document databases: open, new from the template, save a copy,
// close, delete all pages, purge pages the tree no longer reaches, compact, export a
// branch as a database of its own and import another database into the tree.
// Questions and messages go through the prompter, status texts through progress();
// what the window must do around them (tree, editor, menus) it does for the host.

#include <QString>

#include "app/zclt.h"
#include "db/recent_databases.h"

namespace arbor {

// What the operations need from the main window.
class DatabaseHost {
  public:
    virtual ~DatabaseHost() = default;
    // The editor saves or lets go of the current page; false when the user cancelled.
    virtual bool releaseCurrentPage() { return true; }
    // The tree emptied and the editor in its no-document state (current page 0).
    virtual void clearTreeAndEditor() {}
    // The tree loaded again from the top level, and its first page shown.
    virtual void loadTree() {}
    // The tree keeps its expansion state before the database closes.
    virtual void saveTreeState() {}
    // The database path in the window caption (empty: none).
    virtual void setCaption(const QString&) {}
    // Menus and keys follow the new state; the recent list may have changed.
    virtual void refreshMenus() {}
    // After deleting all pages: the clipboard list is emptied.
    virtual void clipboardCleared() {}
    // After an import: the target node shows its new children.
    virtual void refreshNode(int /*page*/, int /*boCod*/) {}
};

// Export of a branch: the selected page and what goes with it.
struct ExportRequest {
    int page = 0;
    QString pageName;  // the placement's label, for the question
    bool wholeBranch = true;  // "現在のﾉｰﾄﾞ以降全て"; false: "現在のﾉｰﾄﾞ" and its children
    QString siteAddress;  // alternative site address (for the Word copy)
};

// The node an import goes to.
struct ImportTarget {
    int page = 0;         // the selected page; 0 for the placeholder of a new page
    int parent = 0;       // its parent page (0: top level)
    bool isLink = false;  // the node is a link placement
    QString name;         // its label
};

class DatabaseFiles {
  public:
    explicit DatabaseFiles(DatabaseHost& host);

    QString currentPath() const { return path_; }
    QString lastFolder() const { return lastFolder_; }
    RecentDatabases& recent() { return recent_; }
    const RecentDatabases& recent() const { return recent_; }
    QString templatePath() const;

    // File dialog of the database commands. mode 1 save, 2 open without data links,
    // 0 open with data links. Empty when cancelled.
    QString ShowDbDialog(const QString& title, int mode, const QString& defaultPath);

    // Opens path (a dialog when empty). True when a document database is open afterwards.
    bool OpenDocDb(const QString& path);
    bool NewDocDb();
    bool SaveDocDbAs();
    void CloseDocDb();
    bool DeleteAllPages();
    // Removes placements and pages the top level does not reach; returns the message,
    // empty when nothing could be done (read-only).
    QString PurgeNoUse();
    // Compacts the open file database; keepCopy leaves a copy beside it.
    bool CompactDocDb(bool keepCopy, QString message);
    // The maintenance command: link flags, then purge and/or compaction as the user says.
    void Maintenance(bool keepCopy);
    bool ExportBranch(const ExportRequest& request);
    bool ImportDocDb(const ImportTarget& target);

  private:
    bool copyOpenDatabaseTo(const QString& target);

    DatabaseHost& host_;
    QString path_;
    QString lastFolder_;
    RecentDatabases recent_;
};

// The compaction work file: "$$$" before the last dot (a.txdb -> a$$$.txdb).
QString compactionWorkFile(const QString& path);

}  // namespace arbor
