// A comparison's removed values shown at the place they held in the new
// document: a removed container as a grey tree item (the old node, so its
// old contents list and browse like any container's), a removed value as a
// grey row of the listed container.  The places come from walking the two
// children lists side by side, the removed and added positions known.
#pragma once
#include <cstdint>
#include <vector>

#include "ui/compare_controller.h"

// For each removed position of the old list (ascending), the index of the
// new child it stood before; `newCount` for after the last.  `added` are
// the new list's added positions (ascending); every other pair is matched.
std::vector<std::int64_t> RemovedSlots(const std::vector<std::int64_t>& removed, const std::vector<std::int64_t>& added,
                                       std::int64_t newCount);

// Inserts a grey item, with its subtree, for every removed container whose
// new holder has an item in `holderItems`; returns the items inserted.
std::vector<TreeItem> InsertRemovedItems(const std::vector<StoredDifference>& differences,
                                         const std::unordered_map<const MarshalNode*, TreeItem>& holderItems);

// Inserts grey rows for the values removed from the listed container (its
// rows as FillListPane made them), given the differences it lists; returns
// how many.
int InsertRemovedRows(const std::vector<const StoredDifference*>& listed, const MarshalNode* container);
