// Which object links point at a value: built once per document by one walk
// over it, then answered by a binary search.
#pragma once
#include <cstddef>
#include <span>
#include <vector>

#include "marshal/node.h"

class ReferenceIndex {
public:
    // Records every object link ('@') below `root`, in time linear in the
    // document's size (the sort is a radix sort).  False when memory runs
    // out; the index is then empty.
    bool Build(const MarshalNode* root);
    void Clear();
    std::size_t LinkCount() const { return links_.size(); }
    // The links whose target is `node`, in document order.
    std::span<const MarshalNode* const> LinksTo(const MarshalNode* node) const;

private:
    std::vector<const MarshalNode*> targets_;  // parallel to links_, sorted
    std::vector<const MarshalNode*> links_;
};
