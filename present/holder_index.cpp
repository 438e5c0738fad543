#include "present/holder_index.h"

#include <algorithm>
#include <new>

#include "present/access_path.h"
#include "present/address_sort.h"
#include "present/container_walk.h"
#include "present/node_location.h"

void HolderIndex::Clear() {
    ranges_.clear();
    ranges_.shrink_to_fit();
    root_ = nullptr;
}

bool HolderIndex::Build(const MarshalNode* root, const std::atomic<bool>* cancel) {
    Clear();
    bool walked = false;
    try {
        // Gathered in chunks, then copied once into a table of the exact
        // size: a map file has millions of containers.
        ChunkedArray<Range> found;
        walked = WalkContainers(root, [&](const MarshalNode* n) {
            if (cancel && cancel->load(std::memory_order_relaxed)) return false;
            if (n->data.ptr && ChildCount(n) > 0) found.PushBack({reinterpret_cast<std::uintptr_t>(n->data.ptr), n});
            return true;
        });
        if (walked) found.CopyInto(ranges_);
    } catch (const std::bad_alloc&) {
        walked = false;
    }
    if (!walked) {
        Clear();
        return false;
    }
    SortByAddress(ranges_, [](const Range& r) { return r.start; });
    root_ = root;
    return true;
}

const MarshalNode* HolderIndex::Holder(const MarshalNode* node) const {
    auto a = reinterpret_cast<std::uintptr_t>(node);
    auto it = std::upper_bound(ranges_.begin(), ranges_.end(), a, [](std::uintptr_t v, const Range& r) { return v < r.start; });
    if (it == ranges_.begin()) return nullptr;
    --it;
    const MarshalNode* n = it->container;
    return a - it->start < static_cast<std::uintptr_t>(ChildCount(n)) * ChildStride(n) ? n : nullptr;
}

std::vector<const MarshalNode*> HolderIndex::HolderChain(const MarshalNode* node) const {
    std::vector<const MarshalNode*> chain;
    for (const MarshalNode* at = node; at != root_;) {
        const MarshalNode* holder = Holder(at);
        if (!holder) return {};
        chain.push_back(holder);
        at = holder;
    }
    std::reverse(chain.begin(), chain.end());
    return chain;
}

bool HolderIndex::AppendPath(std::u16string& out, const MarshalNode* node) const {
    if (node == root_) return root_ != nullptr;
    std::vector<const MarshalNode*> chain = HolderChain(node);
    if (chain.empty()) return false;
    chain.push_back(node);
    for (std::size_t k = 0; k + 1 < chain.size(); ++k)
        AppendPathLabel(out, chain[k], ChildIndexOf(chain[k], chain[k + 1]));
    return true;
}
