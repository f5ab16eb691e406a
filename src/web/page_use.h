#pragma once
// The boUse marks of msDoc: 1 for every page that stands in the tree, 0 for the others.

namespace arbor::web {

// Writes only the rows whose mark changes: rewriting a row rewrites its stored document
// too, which for thousands of pages costs more than the whole output.
bool markPagesInTree();

}  // namespace arbor::web
