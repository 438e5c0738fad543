// The tree pane: the file as one root item and every container below it.
#include "marshal/document.h"
#include "marshal/load.h"
#include "present/labels.h"
#include "present/node_location.h"
#include "present/viewer_document.h"
#include "ui/viewer.h"

void RebuildTreePane() {
    ImagesReplaceFileIcon(DocumentFileInfo.icon);
    TreeItem root = BuildTreeItems();
    if (!root) return;
    TreeExpandItem(root);
    TreeSelectItem(root);
}

// The functions of this file are the only ones that change the tree pane's
// items, so they alone tell the node location (present/node_location.h)
// that its index of holding items is stale: once the items went, and again
// once the new ones are all in, so that no lookup made in between is kept.
void EmptyTreePane() {
    TreeDeleteAllItems();
    InvalidateNodeLocation();
}

TreeItem BuildTreeItems() {
    EmptyTreePane();
    TreeItem root = TreeInsertItem(nullptr, DocumentFileInfo.displayName, kImageFile, &DocumentRoot);
    if (!root) return nullptr;
    InsertContainerItems(root, &DocumentRoot);
    InvalidateNodeLocation();
    return ViewerDocument.cancel.load(std::memory_order_relaxed) ? nullptr : root;
}

// Depth-first, in pre-order: an item's whole subtree exists before its next
// sibling is inserted.  The walk keeps no stack: going back up, the parent
// comes from the pane and the position to resume at from the child's
// address, so any nesting depth costs the same stack.
void InsertContainerItems(TreeItem parent, const MarshalNode* node) {
    TreeItem item = parent;
    const MarshalNode* n = node;
    std::int64_t next = 0;
    int depth = 0;
    std::uint32_t inserted = 0;
    for (;;) {
        bool descended = false;
        for (std::int64_t count = ChildCount(n); next < count; ++next) {
            const MarshalNode* k = ChildAt(n, next);
            if (!IsContainerType(k->type)) continue;
            LabelBuffer buf;
            Text label = ChildLabel(n, next, buf);
            TreeItem child = TreeInsertItem(item, label.text, kImageContainer, k);
            FreeText(label);
            // A cancel is seen every few thousand items: well within a blink.
            if ((++inserted & 4095) == 0 && ViewerDocument.cancel.load(std::memory_order_relaxed)) return;
            if (!child) continue;  // refused by the control: its subtree is left out
            item = child;
            n = k;
            next = 0;
            ++depth;
            descended = true;
            break;
        }
        if (descended) continue;
        if (depth == 0) return;
        const MarshalNode* done = n;
        item = TreeParentItem(item);
        n = TreeItemNode(item);
        --depth;
        next = n->type == 'U' ? 1 : ChildIndexOf(n, done) + 1;
    }
}
