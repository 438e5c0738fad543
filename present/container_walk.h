// The containers of a document in the tree pane's order: a container, then
// the subtrees of its container children in position order (pre-order).
// Iterative, so documents nested a hundred thousand levels deep are walked
// on any thread's stack.
#pragma once
#include <cstdint>
#include <vector>

#include "marshal/node.h"

// Calls visit(container) for `root` and every container below it, in
// pre-order; stops early, returning false, when visit returns false.
// Throws std::bad_alloc when the stack of open containers cannot grow.
template <typename Visit>
bool WalkContainers(const MarshalNode* root, Visit&& visit) {
    struct Open {
        const MarshalNode* node;
        std::int64_t next;
    };
    if (!visit(root)) return false;
    std::vector<Open> open{{root, 0}};
    while (!open.empty()) {
        Open& top = open.back();
        std::int64_t count = ChildCount(top.node);
        const MarshalNode* child = nullptr;
        while (top.next < count) {
            const MarshalNode* k = ChildAt(top.node, top.next++);
            if (IsContainerType(k->type)) {
                child = k;
                break;
            }
        }
        if (!child) {
            open.pop_back();
            continue;
        }
        if (!visit(child)) return false;
        open.push_back({child, 0});
    }
    return true;
}
