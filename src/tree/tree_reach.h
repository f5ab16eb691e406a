#pragma once
// Whether moving a placement would leave a page only inside its own subtree.

namespace arbor::tree {

// True when the page, after its placement under oldParent is replaced by one under
// newParent, can no longer be reached from the top level although it could before
// (it would stand only below itself). Pages already unreachable report false.
bool wouldOrphan(int page, int oldParent, int newParent);

}  // namespace arbor::tree
