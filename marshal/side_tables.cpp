// What few values own, kept beside the document instead of in a slot of
// every record: the modules that extend values ('e' in the stream), by node,
// and the symbols of entry names read for the first time, by entry.  A flag
// in the node says whether to look.  The tables allocate from the
// document's pages, and every move of a record goes through MoveRecord or
// MoveEntry, which carry the record's entries to its new address.
#include <cstring>

#include "marshal/alloc.h"
#include "marshal/document.h"
#include "marshal/readers.h"

namespace {
std::uint32_t Hash(const void* key) {
    auto v = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key) >> 3);
    return static_cast<std::uint32_t>((v * 0x9E3779B97F4A7C15ull) >> 32);
}

// The slot holding key, or the empty slot where it would go.
std::uint32_t Probe(const SideTable* t, const void* key) {
    std::uint32_t mask = t->capacity - 1;
    std::uint32_t i = Hash(key) & mask;
    while (t->slots[i].key && t->slots[i].key != key) i = (i + 1) & mask;
    return i;
}

MarshalNode* Find(const SideTable* t, const void* key) {
    if (t->count == 0) return nullptr;
    return t->slots[Probe(t, key)].value;
}

bool Grow(MarshalDocument* doc, SideTable* t) {
    std::uint32_t capacity = t->capacity ? t->capacity * 2 : 16;
    if (capacity < t->capacity) return false;
    auto* slots = static_cast<SideSlot*>(DocZeroAlloc(doc, capacity, sizeof(SideSlot)));
    if (!slots) return false;
    SideTable grown{slots, capacity, t->count};
    for (std::uint32_t i = 0; i < t->capacity; ++i)
        if (t->slots[i].key) grown.slots[Probe(&grown, t->slots[i].key)] = t->slots[i];
    DocFree(doc, t->slots);
    *t = grown;
    return true;
}

// The table is kept at most half full, so probes stay short.
bool Put(MarshalDocument* doc, SideTable* t, const void* key, MarshalNode* value) {
    if (std::uint64_t{t->count + 1} * 2 > t->capacity && !Grow(doc, t)) return false;
    SideSlot& slot = t->slots[Probe(t, key)];
    if (!slot.key) ++t->count;
    slot = SideSlot{key, value};
    return true;
}

// Removes the key's slot and moves later slots of its run back, so no probe
// ever needs a marker for a removed slot.
MarshalNode* Remove(SideTable* t, const void* key) {
    if (t->count == 0) return nullptr;
    std::uint32_t mask = t->capacity - 1;
    std::uint32_t hole = Probe(t, key);
    MarshalNode* value = t->slots[hole].value;
    if (!t->slots[hole].key) return nullptr;
    for (std::uint32_t i = (hole + 1) & mask; t->slots[i].key; i = (i + 1) & mask) {
        std::uint32_t home = Hash(t->slots[i].key) & mask;
        // The slot may move back into the hole unless its home lies in (hole, i].
        bool stays = hole <= i ? (home > hole && home <= i) : (home > hole || home <= i);
        if (stays) continue;
        t->slots[hole] = t->slots[i];
        hole = i;
    }
    t->slots[hole] = SideSlot{};
    --t->count;
    return value;
}

// Re-keying never grows the table: the removal makes room for the insertion.
void Rekey(SideTable* t, const void* from, const void* to) {
    MarshalNode* value = Remove(t, from);
    if (!value) return;
    SideSlot& slot = t->slots[Probe(t, to)];
    if (!slot.key) ++t->count;
    slot = SideSlot{to, value};
}
}  // namespace

MarshalNode* NodeExtension(const MarshalNode* node) {
    if (!node || !(node->flags & kNodeExtended)) return nullptr;
    MarshalDocument* doc = DocumentOf(node);
    return doc ? Find(&doc->extensions, node) : nullptr;
}

MarshalNode* EntryNameSymbol(const MarshalAttr* entry) {
    if (!entry || !(entry->value.flags & kEntryOwnsName)) return nullptr;
    MarshalDocument* doc = DocumentOf(&entry->value);
    return doc ? Find(&doc->nameSymbols, entry) : nullptr;
}

bool SetExtension(MarshalDocument* doc, MarshalNode* node, MarshalNode* module) {
    if (!Put(doc, &doc->extensions, node, module)) return false;
    node->flags |= kNodeExtended;
    node->document = doc->id;
    return true;
}

MarshalNode* TakeExtension(MarshalDocument* doc, MarshalNode* node) {
    if (!doc || !(node->flags & kNodeExtended)) return nullptr;
    node->flags &= static_cast<std::uint8_t>(~kNodeExtended);
    return Remove(&doc->extensions, node);
}

bool SetNameSymbol(MarshalDocument* doc, MarshalAttr* entry, MarshalNode* symbol) {
    if (!Put(doc, &doc->nameSymbols, entry, symbol)) return false;
    entry->value.flags |= kEntryOwnsName;
    entry->value.document = doc->id;
    return true;
}

MarshalNode* TakeNameSymbol(MarshalDocument* doc, MarshalAttr* entry) {
    if (!doc || !(entry->value.flags & kEntryOwnsName)) return nullptr;
    entry->value.flags &= static_cast<std::uint8_t>(~kEntryOwnsName);
    return Remove(&doc->nameSymbols, entry);
}

void MoveRecord(MarshalDocument* doc, MarshalNode* to, const MarshalNode* from) {
    std::memmove(to, from, sizeof *to);
    if (to->flags & kNodeExtended) Rekey(&doc->extensions, from, to);
}

void MoveEntry(MarshalDocument* doc, MarshalAttr* to, const MarshalAttr* from) {
    to->name = from->name;
    MoveRecord(doc, &to->value, &from->value);
    if (to->value.flags & kEntryOwnsName) Rekey(&doc->nameSymbols, from, to);
}
