#include "ui/navigate.h"

#include "ui/nav_panes.h"
#include "ui/panes.h"

TreeItem ItemShowing(const HolderIndex& holders, const MarshalNode* container) {
    TreeItem item = TreeRootItem();
    if (!item || container == holders.Root()) return item;
    std::vector<const MarshalNode*> chain = holders.HolderChain(container);
    if (chain.empty()) return nullptr;
    chain.push_back(container);
    // chain[0] is the root, shown by the root item.
    for (std::size_t k = 1; k < chain.size() && item; ++k) {
        TreeItem child = TreeChildItem(item);
        while (child && TreeItemNode(child) != chain[k]) child = TreeNextItem(child);
        item = child;
    }
    return item;
}

ViewPosition CurrentPosition() {
    ViewPosition position;
    position.container = TreeItemNode(TreeCaretItem());
    int row = ListNextSelectedRow(-1);
    if (row >= 0) position.row = ListRowNode(row);
    return position;
}

bool ShowPosition(const HolderIndex& holders, const ViewPosition& position) {
    TreeItem item = ItemShowing(holders, position.container);
    if (!item) return false;
    if (item != TreeCaretItem()) TreeSelectItem(item);
    for (int r = ListNextSelectedRow(-1); r >= 0; r = ListNextSelectedRow(r)) ListSetRowSelected(r, false);
    if (!position.row) return true;
    int row = ListFindRow(position.row);
    if (row < 0) return true;
    ListSetRowSelected(row, true);
    ListShowRow(row);
    return true;
}

std::u16string PositionPath(const HolderIndex& holders, const ViewPosition& position) {
    std::u16string path;
    holders.AppendPath(path, position.row ? position.row : position.container);
    return path;
}
