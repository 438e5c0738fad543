// Where a node of the loaded document sits: its position among its
// container's children, worked out from its address, and the tree item
// whose container holds it.
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

// Tells the lookup that the tree pane was rebuilt or emptied.  The lookup
// keeps an index of the holding items, sorted by address and built on first
// use, so that listing many links does not walk the tree once per link.
void InvalidateNodeLocation();
