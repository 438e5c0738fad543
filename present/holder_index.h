// Where each value of a document sits, found from the document alone: the
// container whose children array holds a node, and the node's access path.
// Unlike the node location over the tree pane it needs no panes, so a
// search on a worker thread, quarnix-dump and the JSON output can use it.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "marshal/node.h"
#include "marshal/page_chunks.h"

class HolderIndex {
public:
    // Indexes every container of the document below `root` (DocumentRoot),
    // in time linear in its size.  False when memory runs out or `cancel`
    // is set (it is read once per container); the index is then empty.
    bool Build(const MarshalNode* root, const std::atomic<bool>* cancel = nullptr);
    void Clear();
    const MarshalNode* Root() const { return root_; }

    // The container whose children array holds `node` (root for the
    // top-level values), or none when no container of the document does.
    const MarshalNode* Holder(const MarshalNode* node) const;

    // Appends the access path of `node`, the text the status bar shows for
    // its row: "data0[3].name".  The root itself has the empty path.  False,
    // with nothing appended, when the node is not in the document.
    bool AppendPath(std::u16string& out, const MarshalNode* node) const;

    // The containers from the root down to `node`'s holder, outermost first
    // (empty for the root, or a node not in the document).
    std::vector<const MarshalNode*> HolderChain(const MarshalNode* node) const;

private:
    struct Range {
        std::uintptr_t start;  // the children array
        const MarshalNode* container;
    };
    std::vector<Range, PageAllocator<Range>> ranges_;  // sorted by start; arrays never overlap
    const MarshalNode* root_ = nullptr;
};

// Whether the tree pane's node location finds a holding item for values
// held by a container of this type (arrays, hashes, objects, structs).
constexpr bool LocatesHeldValues(std::uint8_t type) {
    return type == '[' || type == '{' || type == '}' || type == 'o' || type == 'S';
}
