// The access path of a value, such as data0[3].x.keys[1]: one label per
// level of nesting, outermost first, found by walking the tree pane upwards.
#pragma once
#include <cstdint>
#include <string>

#include "marshal/node.h"
#include "present/text.h"
#include "present/tree_queries.h"

// The path of `child`, a node held by the node of `item`; with no child, the
// path of the node `levelsUp` items above `item` (0: the item's own node).
// Returns a std::malloc'd text the caller frees (and may grow), the empty
// text when the walk names no level, or none when memory runs out.
char16_t* BuildAccessPath(TreeItem item, const MarshalNode* child, int levelsUp);

// Appends the label that the child at `position` of `container` adds to a
// path ("data2", "[5]", ".keys[1]", ".name", or nothing for a wrapper's
// own entry).  `container` is DocumentRoot for the top level.
void AppendPathLabel(std::u16string& path, const MarshalNode* container, std::int64_t position);
