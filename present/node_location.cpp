#include "present/node_location.h"

#include <algorithm>
#include <new>
#include <vector>

#include "marshal/load.h"
#include "marshal/page_chunks.h"
#include "present/address_sort.h"
#include "present/container_walk.h"
#include "present/viewer_document.h"

namespace {
struct HoldingEntry {
    std::uintptr_t start;  // first byte of the children array
    TreeItem item;
};

std::vector<HoldingEntry, PageAllocator<HoldingEntry>> g_index;
bool g_indexValid = false;

bool Holds(std::uint8_t type) { return type == '[' || type == '{' || type == '}' || type == 'o' || type == 'S'; }

// The holding test: the address lies inside the node's children array.
bool HoldsAddress(const MarshalNode* n, std::uintptr_t a) {
    if (!n || !Holds(n->type) || !n->data.ptr) return false;
    auto start = reinterpret_cast<std::uintptr_t>(n->data.ptr);
    auto count = static_cast<std::uint64_t>(ChildCount(n));
    return a >= start && a - start < count * ChildStride(n);
}

bool BuildIndex() {
    g_index.clear();
    g_index.shrink_to_fit();
    try {
        // Gathered in chunks, then copied once into a table of the exact size.
        ChunkedArray<HoldingEntry> found;
        for (TreeItem item = TreeRootItem(); item; item = NextInPreOrder(item)) {
            const MarshalNode* n = TreeItemNode(item);
            if (n && Holds(n->type) && n->data.ptr && ChildCount(n) > 0)
                found.PushBack({reinterpret_cast<std::uintptr_t>(n->data.ptr), item});
        }
        found.CopyInto(g_index);
    } catch (const std::bad_alloc&) {
        g_index.clear();
        g_index.shrink_to_fit();
        return false;
    }
    SortByAddress(g_index, [](const HoldingEntry& e) { return e.start; });
    g_indexValid = true;
    return true;
}

// The walk over the whole tree, for when the index cannot be had.
TreeItem FindByWalk(std::uintptr_t a) {
    for (TreeItem item = TreeRootItem(); item; item = NextInPreOrder(item))
        if (HoldsAddress(TreeItemNode(item), a)) return item;
    return nullptr;
}
}  // namespace

std::int64_t ChildIndexOf(const MarshalNode* container, const MarshalNode* child) {
    auto base = reinterpret_cast<std::intptr_t>(container->data.ptr);
    auto at = reinterpret_cast<std::intptr_t>(child);
    std::intptr_t index;
    switch (container->type) {
    case '[': case '{': case '}':
        index = (at - base) / static_cast<std::intptr_t>(sizeof(MarshalNode));
        break;
    case 'o': case 'S': case 'C': case 'I':
        index = (at - base) / static_cast<std::intptr_t>(sizeof(MarshalAttr));
        break;
    default:
        return -1;
    }
    // A node held elsewhere (the old version's, shown while a comparison
    // runs) is at no position here.
    return at < base || index >= ChildCount(container) ? -1 : index;
}

TreeItem FindHoldingItem(const MarshalNode* node) {
    auto a = reinterpret_cast<std::uintptr_t>(node);
    if (HoldsAddress(&DocumentRoot, a)) return TreeRootItem();
    if (!g_indexValid && !BuildIndex()) return FindByWalk(a);
    auto it = std::upper_bound(g_index.begin(), g_index.end(), a,
                               [](std::uintptr_t value, const HoldingEntry& e) { return value < e.start; });
    if (it == g_index.begin()) return nullptr;
    --it;
    return HoldsAddress(TreeItemNode(it->item), a) ? it->item : nullptr;
}

void InvalidateNodeLocation() {
    g_index.clear();
    g_index.shrink_to_fit();
    g_indexValid = false;
}

TreeItem NextInPreOrder(TreeItem item) {
    if (TreeItem child = TreeChildItem(item)) return child;
    for (TreeItem at = item; at; at = TreeParentItem(at))
        if (TreeItem next = TreeNextItem(at)) return next;
    return nullptr;
}
