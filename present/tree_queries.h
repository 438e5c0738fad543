// The queries on the tree pane that node location and access paths need.
// Each front end implements them over its own tree control.
#pragma once
#include "marshal/node.h"

// An item of the tree pane; none is the null pointer.
struct TreeItemHandle;
using TreeItem = TreeItemHandle*;

TreeItem TreeRootItem();
TreeItem TreeChildItem(TreeItem item);    // first child, or none
TreeItem TreeNextItem(TreeItem item);     // next sibling, or none
TreeItem TreeParentItem(TreeItem item);   // none for the root item
// The container node an item shows; none for a null item.
const MarshalNode* TreeItemNode(TreeItem item);

// The item after `item` in pre-order (children before the next sibling),
// using only the queries above; none after the last.
TreeItem NextInPreOrder(TreeItem item);
