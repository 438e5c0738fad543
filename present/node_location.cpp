#include "present/node_location.h"

#include <algorithm>
#include <new>
#include <vector>

#include "marshal/load.h"

namespace {
struct HoldingEntry {
    std::uintptr_t start;  // first byte of the children array
    TreeItem item;
};

std::vector<HoldingEntry> g_index;
bool g_indexValid = false;

bool Holds(std::uint8_t type) { return type == '[' || type == '{' || type == '}' || type == 'o' || type == 'S'; }

std::size_t ElementSize(const MarshalNode* n) { return IsEntryListType(n->type) ? sizeof(MarshalAttr) : sizeof(MarshalNode); }

// The holding test: the address lies inside the node's children array.
bool HoldsAddress(const MarshalNode* n, std::uintptr_t a) {
    if (!n || !Holds(n->type) || !n->data.ptr) return false;
    auto start = reinterpret_cast<std::uintptr_t>(n->data.ptr);
    auto count = static_cast<std::uint64_t>(ChildCount(n));
    return a >= start && a - start < count * ElementSize(n);
}

// Pre-order successor using only the pane's queries.
TreeItem NextInPreOrder(TreeItem item) {
    if (TreeItem child = TreeChildItem(item)) return child;
    for (TreeItem at = item; at; at = TreeParentItem(at))
        if (TreeItem next = TreeNextItem(at)) return next;
    return nullptr;
}

// Least-significant-digit radix sort on the addresses, sixteen bits a pass;
// passes over bits that every address shares are skipped.  Millions of
// containers sort in a few passes over memory instead of n log n steps.
void SortByStart(std::vector<HoldingEntry>& entries) {
    if (entries.size() < 2) return;
    std::uintptr_t all = ~std::uintptr_t{0}, any = 0;
    for (const HoldingEntry& e : entries) {
        all &= e.start;
        any |= e.start;
    }
    std::vector<HoldingEntry> scratch(entries.size());
    std::vector<std::size_t> counts(std::size_t{1} << 16);
    for (unsigned shift = 0; shift < sizeof(std::uintptr_t) * 8; shift += 16) {
        if (((all ^ any) >> shift & 0xFFFF) == 0) continue;  // one digit for all
        std::fill(counts.begin(), counts.end(), 0);
        for (const HoldingEntry& e : entries) ++counts[e.start >> shift & 0xFFFF];
        std::size_t total = 0;
        for (std::size_t& c : counts) {
            std::size_t n = c;
            c = total;
            total += n;
        }
        for (const HoldingEntry& e : entries) scratch[counts[e.start >> shift & 0xFFFF]++] = e;
        entries.swap(scratch);
    }
}

bool BuildIndex() {
    g_index.clear();
    try {
        for (TreeItem item = TreeRootItem(); item; item = NextInPreOrder(item)) {
            const MarshalNode* n = TreeItemNode(item);
            if (n && Holds(n->type) && n->data.ptr && ChildCount(n) > 0)
                g_index.push_back({reinterpret_cast<std::uintptr_t>(n->data.ptr), item});
        }
    } catch (const std::bad_alloc&) {
        g_index.clear();
        g_index.shrink_to_fit();
        return false;
    }
    try {
        SortByStart(g_index);
    } catch (const std::bad_alloc&) {
        std::sort(g_index.begin(), g_index.end(), [](const HoldingEntry& a, const HoldingEntry& b) { return a.start < b.start; });
    }
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
    switch (container->type) {
    case '[': case '{': case '}':
        return (at - base) / static_cast<std::intptr_t>(sizeof(MarshalNode));
    case 'o': case 'S': case 'C': case 'I':
        return (at - base) / static_cast<std::intptr_t>(sizeof(MarshalAttr));
    default:
        return -1;
    }
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
