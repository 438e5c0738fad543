#include "ui/preview.h"

#include <cstdlib>

#include "lens/event_commands.h"
#include "present/access_path.h"
#include "present/node_location.h"
#include "ui/panes.h"

namespace {
TreeItem ItemShowing(TreeItem parent, const MarshalNode* node) {
    for (TreeItem item = TreeChildItem(parent); item; item = TreeNextItem(item))
        if (TreeItemNode(item) == node) return item;
    return nullptr;
}
}  // namespace

PreviewTarget CurrentPreviewTarget() {
    TreeItem caret = TreeCaretItem();
    const MarshalNode* container = TreeItemNode(caret);
    const int row = ListSelectedCount() == 1 ? ListNextSelectedRow(-1) : -1;
    const MarshalNode* node = row >= 0 ? ListRowNode(row) : nullptr;
    PreviewTarget target{node, -1, {}};
    if (!node || (container && IsEventCommand(node) && IsEventCommandList(container))) {
        target = {container, node ? ChildIndexOf(container, node) : -1, {}};
        node = nullptr;  // the path of the container itself
    }
    if (char16_t* path = BuildAccessPath(caret, node, 0)) {
        target.path = path;
        std::free(path);
    }
    return target;
}

int SelectPreviewChild(const MarshalNode* container, std::int64_t position) {
    if (!container || position < 0 || position >= ChildCount(container)) return -1;
    TreeItem caret = TreeCaretItem();
    if (TreeItemNode(caret) != container) {
        // The page is a row of the current list, or held elsewhere.
        TreeItem item = ItemShowing(caret, container);
        if (!item) item = ItemShowing(FindHoldingItem(container), container);
        if (!item) return -1;
        TreeSelectItem(item);
        TreeExpandItem(item);
    }
    for (int r = ListNextSelectedRow(-1); r >= 0; r = ListNextSelectedRow(r)) ListSetRowSelected(r, false);
    const int row = ListFindRow(ChildAt(container, position));
    if (row >= 0) ListSetRowSelected(row, true);
    return row;
}
