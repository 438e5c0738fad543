// What few values own, kept beside the document instead of in a slot of
// every record: the modules that extend values ('e' in the stream), by node,
// and the symbols of entry names read for the first time, by entry.  A
// flag in the node says whether to look.
#include <unordered_map>

#include "marshal/readers.h"

namespace {
using SideTable = std::unordered_map<const void*, MarshalNode*>;
SideTable g_extensions;
SideTable g_nameSymbols;

void Forget(SideTable& table, SideTable::iterator it) {
    table.erase(it);
    if (table.empty()) SideTable().swap(table);
}

MarshalNode* Take(SideTable& table, const void* key) {
    auto it = table.find(key);
    if (it == table.end()) return nullptr;
    MarshalNode* owned = it->second;
    Forget(table, it);
    return owned;
}
}  // namespace

MarshalNode* EntryNameSymbol(const MarshalAttr* entry) {
    if (!entry || !(entry->value.flags & kEntryOwnsName)) return nullptr;
    auto it = g_nameSymbols.find(entry);
    return it == g_nameSymbols.end() ? nullptr : it->second;
}

bool SetNameSymbol(MarshalAttr* entry, MarshalNode* symbol) {
    try {
        g_nameSymbols[entry] = symbol;
    } catch (...) {
        return false;
    }
    entry->value.flags |= kEntryOwnsName;
    return true;
}

MarshalNode* TakeNameSymbol(MarshalAttr* entry) {
    if (!(entry->value.flags & kEntryOwnsName)) return nullptr;
    entry->value.flags &= static_cast<std::uint8_t>(~kEntryOwnsName);
    return Take(g_nameSymbols, entry);
}

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
    return Take(g_extensions, node);
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
