#pragma once
// Tree commands of the main window that join the tree with the rest of the program:
// deleting a placement with its warning, and the tag-reference listing.

#include <QString>

namespace arbor::tree {

class PageTree;

// The warning shown before deleting a placement of the page: the pages that tag it
// and the labels of its children, each part ending in CR; empty when neither.
QString deleteWarning(int page);

// Deletes the selected placement after the question, rebuilds the link flags and
// reloads the tree; the status says so when nothing is selected afterwards.
// False when nothing was deleted.
bool deleteSelectedPlacement(PageTree& tree);

// The message of "tag references": one line per page that tags this one.
QString tagReferencesText(int page);

}  // namespace arbor::tree
