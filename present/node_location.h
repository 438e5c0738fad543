// Where a node of the loaded document sits: its position among its
// container's children, worked out from its address, and the tree item
// whose container holds it.
//
// Two routes answer "where does this value sit", with the same result:
// - this one, over the tree pane: for what acts on the panes on the UI
//   thread and has to end at a tree item anyway, or must work before the
//   holder index exists: the list pane's link cells (present/link_text.h),
//   following a link (ui/selection.cpp), the preview's command line to its
//   row (ui/preview.cpp), and the paths of the status bar and of the copy
//   commands (BuildAccessPath from the current item);
// - present/holder_index.h, from the document alone: for work that runs on
//   a worker thread or without panes, where the tree may not exist or may
//   change under it: the find and the find in folder (present/find_rows.h),
//   the history's and the results list's positions (ui/navigate.h), the
//   references menu, quarnix-dump, and the comparison's link values.
#pragma once
#include <cstdint>

#include "marshal/node.h"
#include "present/tree_queries.h"

// Position of `child` in `container`'s children array (entry lists: the index
// of the entry whose value it is); -1 for a 'U' wrapper and every type
// without a children array.  The caller guarantees the child is held there.
std::int64_t ChildIndexOf(const MarshalNode* container, const MarshalNode* child);

// The tree item whose node holds `node` in its children array: the root item
// for the top-level values, none when no item does (values held directly by
// 'C', 'I' or 'U' wrappers, or no document).  Only arrays, hashes, objects
// and structs hold.
TreeItem FindHoldingItem(const MarshalNode* node);

// Tells the lookup that the tree pane's items changed.  The lookup keeps an
// index of the holding items, sorted by address and built on first use, so
// that listing many links does not walk the tree once per link.  Called by
// the tree pane's own code (ui/tree_pane.cpp) wherever it changes the
// items, and nowhere else: a caller elsewhere would be one to forget.
void InvalidateNodeLocation();
