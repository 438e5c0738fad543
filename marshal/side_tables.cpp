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

MarshalNode* Find(const SideTable& table, const void* key, std::uint8_t flags, std::uint8_t flag) {
    if (!(flags & flag)) return nullptr;
    auto it = table.find(key);
    return it == table.end() ? nullptr : it->second;
}

bool Put(SideTable& table, const void* key, MarshalNode* owned, std::uint8_t& flags, std::uint8_t flag) {
    try {
        table[key] = owned;
    } catch (...) {
        return false;
    }
    flags |= flag;
    return true;
}

MarshalNode* Take(SideTable& table, const void* key, std::uint8_t& flags, std::uint8_t flag) {
    if (!(flags & flag)) return nullptr;
    flags &= static_cast<std::uint8_t>(~flag);
    auto it = table.find(key);
    if (it == table.end()) return nullptr;
    MarshalNode* owned = it->second;
    Forget(table, it);
    return owned;
}
}  // namespace

MarshalNode* EntryNameSymbol(const MarshalAttr* entry) {
    return entry ? Find(g_nameSymbols, entry, entry->value.flags, kEntryOwnsName) : nullptr;
}

bool SetNameSymbol(MarshalAttr* entry, MarshalNode* symbol) {
    return Put(g_nameSymbols, entry, symbol, entry->value.flags, kEntryOwnsName);
}

MarshalNode* TakeNameSymbol(MarshalAttr* entry) { return Take(g_nameSymbols, entry, entry->value.flags, kEntryOwnsName); }

MarshalNode* NodeExtension(const MarshalNode* node) {
    return node ? Find(g_extensions, node, node->flags, kNodeExtended) : nullptr;
}

bool SetExtension(MarshalNode* node, MarshalNode* module) {
    return Put(g_extensions, node, module, node->flags, kNodeExtended);
}

MarshalNode* TakeExtension(MarshalNode* node) { return Take(g_extensions, node, node->flags, kNodeExtended); }

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
