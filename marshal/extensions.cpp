// The modules that extend values ('e' in the stream), kept beside the
// document in a map from node to module symbol.  Few values are extended,
// and keeping the slot out of every node saves a word per value.
#include <unordered_map>

#include "marshal/readers.h"

namespace {
std::unordered_map<const MarshalNode*, MarshalNode*> g_extensions;

void Forget(std::unordered_map<const MarshalNode*, MarshalNode*>::iterator it) {
    g_extensions.erase(it);
    if (g_extensions.empty()) std::unordered_map<const MarshalNode*, MarshalNode*>().swap(g_extensions);
}
}  // namespace

MarshalNode* NodeExtension(const MarshalNode* node) {
    if (!node || !(node->flags & kNodeExtended)) return nullptr;
    auto it = g_extensions.find(node);
    return it == g_extensions.end() ? nullptr : it->second;
}

bool SetExtension(MarshalNode* node, MarshalNode* module) {
    try {
        g_extensions[node] = module;
    } catch (...) {
        return false;
    }
    node->flags |= kNodeExtended;
    return true;
}

MarshalNode* TakeExtension(MarshalNode* node) {
    if (!(node->flags & kNodeExtended)) return nullptr;
    node->flags &= static_cast<std::uint8_t>(~kNodeExtended);
    auto it = g_extensions.find(node);
    if (it == g_extensions.end()) return nullptr;
    MarshalNode* module = it->second;
    Forget(it);
    return module;
}

void MoveExtension(const MarshalNode* from, MarshalNode* to) {
    if (!(to->flags & kNodeExtended)) return;
    auto it = g_extensions.find(from);
    if (it == g_extensions.end()) return;
    // The entry itself moves to the new key: nothing is allocated.
    auto entry = g_extensions.extract(it);
    entry.key() = to;
    g_extensions.insert(std::move(entry));
}

void MoveExtensions(std::uintptr_t oldBase, std::uintptr_t oldEnd, MarshalNode* newBase) {
    for (std::uintptr_t at = oldBase; at < oldEnd; at += sizeof(MarshalNode)) {
        MarshalNode* moved = newBase + (at - oldBase) / sizeof(MarshalNode);
        MoveExtension(reinterpret_cast<const MarshalNode*>(at), moved);
    }
}
