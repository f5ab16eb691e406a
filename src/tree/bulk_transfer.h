#pragma once
// Copying, moving or deleting many child placements at once (the window sbTrRet).
// A check-box list holds the children of the source page; a command works on the
// marked ones. No (parent, page) pair is ever stored twice: a page that already
// stands under the destination, or that would end up only below itself, is
// skipped and reported.

#include <QStandardItemModel>
#include <QString>
#include <QStringList>

namespace arbor::tree {

// The window's modes, as the submenu mnTrRet orders them.
enum class BulkMode {
    FromPicked = 0,  // children of the node picked in the window go below the main node
    ToPicked = 1,    // children of the main node go below the picked node
    Delete = 2,      // children of the main node are deleted
};

enum class BulkCommand { Move, CopyNew, CopyLink, Delete };

// A node as (parent page, page); page 0 is the top level.
struct PlacementRef {
    int parent = 0;
    int page = 0;
};

struct BulkResult {
    bool ran = false;       // false when cancelled or nothing was marked
    bool failed = false;    // a statement failed; rows written before it stay
    int written = 0;        // placements inserted or deleted
    QStringList skipped;    // labels of pages left alone
    QVector<int> newPages;  // pages made by copy as new pages
};

class BulkTransfer {
  public:
    BulkTransfer();
    BulkTransfer(const BulkTransfer&) = delete;
    BulkTransfer& operator=(const BulkTransfer&) = delete;

    // trView: one top node (the source label) whose children carry a check box
    // and their page number in PageRole.
    QStandardItemModel* checklist() { return &checklist_; }
    // Lists the children of the source placement, all marked.
    void fill(const PlacementRef& source);
    PlacementRef source() const { return source_; }
    // The marked page numbers joined with ",".
    QString markedList() const;

    // Runs a command. Questions (a link source, the delete) go through the prompter;
    // the link flags are rebuilt afterwards.
    BulkResult run(BulkCommand command, const PlacementRef& source, const PlacementRef& destination,
                   bool linkChildren);

  private:
    BulkResult copyOrMove(BulkCommand command, int source, int destination, const QString& list,
                          bool linkChildren);
    // A copy of the page as a new page (and links to its children); 0 on failure.
    int copyPage(int page, bool linkChildren, bool& failed);

    QStandardItemModel checklist_;
    PlacementRef source_;
    QString failure_;  // why a recordset write failed
};

}  // namespace arbor::tree
