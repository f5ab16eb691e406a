#pragma once
// The properties of the selected placement: home or link, hidden, protected, and whether
// its page is a collecting page.

class QWidget;

namespace arbor::tree {
class PageTree;
}

namespace arbor::ui {

class PlacementProperties {
  public:
    // Shows the dialog for the selected node and writes what changed; false when
    // cancelled or nothing is selected.
    static bool edit(QWidget* parent, tree::PageTree& tree);
};

}  // namespace arbor::ui
