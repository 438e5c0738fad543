#include "present/reference_index.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "present/address_sort.h"
#include "present/container_walk.h"

void ReferenceIndex::Clear() {
    targets_.clear();
    targets_.shrink_to_fit();
    links_.clear();
    links_.shrink_to_fit();
}

bool ReferenceIndex::Build(const MarshalNode* root) {
    Clear();
    struct Pair {
        const MarshalNode* target;
        const MarshalNode* link;
    };
    try {
        std::vector<Pair> pairs;
        // Containers come in pre-order and their children in position
        // order; the sort is stable, so each target's links stay in the
        // order of the document.
        WalkContainers(root, [&](const MarshalNode* n) {
            const std::int64_t count = ChildCount(n);
            for (std::int64_t i = 0; i < count; ++i) {
                const MarshalNode* k = ChildAt(n, i);
                if (k->type == '@' && k->data.target) pairs.push_back({k->data.target, k});
            }
            return true;
        });
        SortByAddress(pairs, [](const Pair& p) { return reinterpret_cast<std::uintptr_t>(p.target); });
        targets_.reserve(pairs.size());
        links_.reserve(pairs.size());
        for (const Pair& p : pairs) {
            targets_.push_back(p.target);
            links_.push_back(p.link);
        }
    } catch (const std::bad_alloc&) {
        Clear();
        return false;
    }
    return true;
}

std::span<const MarshalNode* const> ReferenceIndex::LinksTo(const MarshalNode* node) const {
    auto [first, last] = std::equal_range(targets_.begin(), targets_.end(), node,
                                          [](const MarshalNode* a, const MarshalNode* b) { return std::less<>()(a, b); });
    return {links_.data() + (first - targets_.begin()), static_cast<std::size_t>(last - first)};
}
