// The numbers documents give their nodes, so that a node alone leads to its
// document's side tables and pages, and the release of a whole document.
#include <cstring>

#include "marshal/alloc.h"
#include "marshal/readers.h"

namespace {
// Number 0 is no document.  Numbers are taken by a load and given back when
// the document's pages go; loads on other threads take them concurrently.
constexpr int kMaxDocuments = 4096;
std::atomic<MarshalDocument*> g_documents[kMaxDocuments];
}  // namespace

bool RegisterDocument(MarshalDocument* doc) {
    if (doc->id) return true;
    for (int i = 1; i < kMaxDocuments; ++i) {
        MarshalDocument* none = nullptr;
        if (g_documents[i].compare_exchange_strong(none, doc)) {
            doc->id = static_cast<std::uint16_t>(i);
            return true;
        }
    }
    return false;
}

MarshalDocument* DocumentOf(const MarshalNode* node) {
    return node->document ? g_documents[node->document].load(std::memory_order_acquire) : nullptr;
}

void ReleaseDocumentPages(MarshalDocument* doc) {
    DropArena(&doc->arena);
    doc->extensions = SideTable{};
    doc->nameSymbols = SideTable{};
    doc->loader = LoaderState{};
    std::memset(&doc->root, 0, sizeof doc->root);
    if (doc->id) g_documents[doc->id].store(nullptr, std::memory_order_release);
    doc->id = 0;
}

long DocumentAllocationCount(const MarshalDocument* doc) { return doc->arena.made; }
long DocumentLiveBlocks(const MarshalDocument* doc) { return doc->arena.live; }

long LiveAllocationCount() {
    long live = 0;
    for (auto& slot : g_documents)
        if (MarshalDocument* doc = slot.load(std::memory_order_acquire)) live += doc->arena.live;
    return live;
}
