// Moving the panes to a place of the document: the item of a container made
// current, a row selected and shown.  Used by find, go to path, back and
// forward, and the list of links that refer to a value.  The places come
// from the document (HolderIndex), the items and rows from the panes.
#pragma once
#include <string>

#include "marshal/node.h"
#include "present/holder_index.h"
#include "present/tree_queries.h"
#include "ui/history.h"

// The tree item that shows `container`, found down the chain of its
// holders from the root item; none when the tree does not show it.
TreeItem ItemShowing(const HolderIndex& holders, const MarshalNode* container);

// Where the user is: the current item's node and the first selected row's
// node (none with no row, or the ".." row).
ViewPosition CurrentPosition();

// Makes the container's item current (its collapsed ancestors expanded),
// then selects the row of `position.row` alone and scrolls to it.  False,
// with nothing changed, when the container has no item.
bool ShowPosition(const HolderIndex& holders, const ViewPosition& position);

// The access path of a row as the status bar shows it, without prefix.
std::u16string PositionPath(const HolderIndex& holders, const ViewPosition& position);
