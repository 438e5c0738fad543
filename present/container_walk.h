// The containers of a document in the tree pane's order: a container, then
// the subtrees of its container children in position order (pre-order).
// Iterative, so documents nested a hundred thousand levels deep are walked
// on any thread's stack.
#pragma once
#include <cstdint>
#include <vector>

#include "marshal/node.h"

// The distance between two children in a container's array: plain nodes,
// or the entries of a hash or an object's attributes.
inline std::size_t ChildStride(const MarshalNode* n) {
    return IsEntryListType(n->type) ? sizeof(MarshalAttr) : sizeof(MarshalNode);
}

// Calls visit(container) for `root` and every container below it, in
// pre-order; stops early, returning false, when visit returns false.
// Throws std::bad_alloc when the stack of open containers cannot grow.
template <typename Visit>
bool WalkContainers(const MarshalNode* root, Visit&& visit) {
    // Children are scanned straight through their array: plain nodes, or
    // the values inside entries, a fixed stride apart.
    struct Open {
        const char* next;
        const char* end;
        std::size_t stride;
    };
    auto open = [](const MarshalNode* n) {
        const std::int64_t count = ChildCount(n);
        if (count == 0) return Open{nullptr, nullptr, 0};
        const char* first = reinterpret_cast<const char*>(ChildAt(n, 0));
        const std::size_t stride = ChildStride(n);
        return Open{first, first + static_cast<std::size_t>(count) * stride, stride};
    };
    if (!visit(root)) return false;
    std::vector<Open> stack{open(root)};
    while (!stack.empty()) {
        Open& top = stack.back();
        const MarshalNode* child = nullptr;
        while (top.next != top.end) {
            const auto* k = reinterpret_cast<const MarshalNode*>(top.next);
            top.next += top.stride;
            if (IsContainerType(k->type)) {
                child = k;
                break;
            }
        }
        if (!child) {
            stack.pop_back();
            continue;
        }
        if (!visit(child)) return false;
        stack.push_back(open(child));
    }
    return true;
}
