// Readers of the values that contain other values, and of the prefixes that
// wrap ('C', 'I') or qualify ('e') the value that follows them.
#include <cstring>

#include "marshal/alloc.h"
#include "marshal/readers.h"

const char kWrapperEntryName[] = ".";

namespace {
// A record whose value moved out: all zero but its document number.
void ClearRecord(MarshalNode* node) {
    std::uint16_t document = node->document;
    std::memset(node, 0, sizeof *node);
    node->document = document;
}

// Every entry needs at least three bytes in the file: a symbol link (two)
// and a one-byte value.
constexpr std::uint64_t kMinEntryBytes = 3;

int ReadNodes(MarshalStream* s, MarshalNode* nodes, std::int64_t first, std::int64_t end) {
    for (std::int64_t i = first; i < end; ++i)
        if (int rc = ReadValue(s, &nodes[i]); rc != kLoadOk) return rc;
    return kLoadOk;
}

int ReadEntries(MarshalStream* s, MarshalAttr* entries, std::int64_t first, std::int64_t end) {
    for (std::int64_t i = first; i < end; ++i)
        if (int rc = ReadEntry(s, &entries[i]); rc != kLoadOk) return rc;
    return kLoadOk;
}
}  // namespace

int ReadArray(MarshalStream* s, MarshalNode* node) {
    if (int rc = RegisterObject(s, node); rc != kLoadOk) return rc;
    if (int rc = ReadLength(s, &node->count, false); rc != kLoadOk) return rc;
    if (node->count == 0) return kLoadOk;
    if (!FileCanHold(s, node->count, 1)) return kLoadBadData;
    node->data.nodes = static_cast<MarshalNode*>(DocZeroAlloc(s->doc, static_cast<std::size_t>(node->count), sizeof(MarshalNode)));
    if (!node->data.nodes) return kLoadNoMemory;
    return ReadNodes(s, node->data.nodes, 0, node->count);
}

int ReadHash(MarshalStream* s, MarshalNode* node) {
    if (int rc = RegisterObject(s, node); rc != kLoadOk) return rc;
    if (int rc = ReadLength(s, &node->count, false); rc != kLoadOk) return rc;
    bool withDefault = node->type == '}';
    std::int64_t nodes = std::int64_t{node->count} * 2 + (withDefault ? 1 : 0);
    if (nodes == 0) return kLoadOk;
    if (!FileCanHold(s, nodes, 1)) return kLoadBadData;
    node->data.nodes = static_cast<MarshalNode*>(DocZeroAlloc(s->doc, static_cast<std::size_t>(nodes), sizeof(MarshalNode)));
    if (!node->data.nodes) return kLoadNoMemory;
    std::int64_t first = withDefault ? 1 : 0;
    if (int rc = ReadNodes(s, node->data.nodes, first, first + std::int64_t{node->count} * 2); rc != kLoadOk) return rc;
    // The default value follows the pairs in the stream but sits at position 0.
    return withDefault ? ReadValue(s, &node->data.nodes[0]) : kLoadOk;
}

int ReadObject(MarshalStream* s, MarshalNode* node) {
    if (int rc = ReadClassPrologue(s, node, true); rc != kLoadOk) return rc;
    if (node->count == 0) return kLoadOk;
    if (!FileCanHold(s, node->count, kMinEntryBytes)) return kLoadBadData;
    node->data.attrs = static_cast<MarshalAttr*>(DocZeroAlloc(s->doc, static_cast<std::size_t>(node->count), sizeof(MarshalAttr)));
    if (!node->data.attrs) return kLoadNoMemory;
    return ReadEntries(s, node->data.attrs, 0, node->count);
}

int ReadEntry(MarshalStream* s, MarshalAttr* entry) {
    const char* name;
    MarshalNode* symbol;
    if (int rc = ReadSymbolName(s, &name, &symbol); rc != kLoadOk) return rc;
    // Only the entry's view drops the '@': the symbol keeps its own text.
    entry->name = name[0] == '@' ? name + 1 : name;
    int rc = ReadValue(s, &entry->value);
    // The value is read first: reading it clears its record, flags included.
    if (symbol && !SetNameSymbol(s->doc, entry, symbol)) {
        DropNode(s->doc, symbol);
        return rc != kLoadOk ? rc : kLoadNoMemory;
    }
    return rc;
}

int ReadUserMarshal(MarshalStream* s, MarshalNode* node) {
    if (int rc = ReadClassPrologue(s, node, false); rc != kLoadOk) return rc;
    node->count = 1;
    node->data.nodes = static_cast<MarshalNode*>(DocZeroAlloc(s->doc, 1, sizeof(MarshalNode)));
    if (!node->data.nodes) return kLoadNoMemory;
    return ReadValue(s, node->data.nodes);
}

int ReadUserClass(MarshalStream* s, MarshalNode* node) {
    const char* className;
    MarshalNode* symbol;
    if (int rc = ReadSymbolName(s, &className, &symbol); rc != kLoadOk) return rc;
    auto dropSymbol = [&] { DropNode(s->doc, symbol); };
    // The wrapped value is read into this very node, so that the object
    // number it takes (and every link to it) belongs to the wrapper.
    if (int rc = ReadValue(s, node); rc != kLoadOk) {
        dropSymbol();
        return rc;
    }
    auto* entry = static_cast<MarshalAttr*>(DocZeroAlloc(s->doc, 1, sizeof(MarshalAttr)));
    if (!entry) {
        dropSymbol();
        return kLoadNoMemory;
    }
    MoveRecord(s->doc, &entry->value, node);
    entry->name = kWrapperEntryName;
    ClearRecord(node);
    node->type = 'C';
    node->count = 1;
    node->data.attrs = entry;
    node->name = className;
    node->class_symbol.symbol = symbol;
    return kLoadOk;
}

int ReadExtended(MarshalStream* s, MarshalNode* node) {
    MarshalNode* module;
    if (int rc = ReadSymbolRef(s, &module); rc != kLoadOk) return rc;
    int rc = ReadValue(s, node);
    // The module named first in the stream is the node's extension; those
    // of inner prefixes hang below it, as later symbol links may still
    // borrow their text, and are released with it.
    MarshalNode* inner = TakeExtension(s->doc, node);
    bool kept = !inner || SetExtension(s->doc, module, inner);
    if (kept && SetExtension(s->doc, node, module)) return rc;
    if (!kept) {
        DropNode(s->doc, inner);
    }
    DropNode(s->doc, module);
    return kLoadNoMemory;
}

int ReadIvarWrapper(MarshalStream* s, MarshalNode* node) {
    if (int rc = ReadValue(s, node); rc != kLoadOk) return rc;
    MarshalAttr wrapped{};
    if (node->type == 'C') {
        // An 'I' around a 'C' keeps the user class and wraps its value.
        MoveEntry(s->doc, &wrapped, &node->data.attrs[0]);
        DocFree(s->doc, node->data.attrs);
        node->data.attrs = nullptr;
        node->count = 0;
    } else {
        wrapped.name = kWrapperEntryName;
        MoveRecord(s->doc, &wrapped.value, node);
        ClearRecord(node);
        // The wrapper shows the name its value brought; a float has none.
        node->name = wrapped.value.type == 'f' ? nullptr : wrapped.value.name;
    }
    node->type = 'I';
    std::int32_t n;
    if (int rc = ReadLength(s, &n, false); rc != kLoadOk) {
        ReleaseAttrIn(s->doc, &wrapped);
        return rc;
    }
    if (!FileCanHold(s, n, kMinEntryBytes)) {
        ReleaseAttrIn(s->doc, &wrapped);
        return kLoadBadData;
    }
    auto* entries = static_cast<MarshalAttr*>(DocZeroAlloc(s->doc, static_cast<std::size_t>(n) + 1, sizeof(MarshalAttr)));
    if (!entries) {
        ReleaseAttrIn(s->doc, &wrapped);
        return kLoadNoMemory;
    }
    MoveEntry(s->doc, &entries[0], &wrapped);
    node->data.attrs = entries;
    node->count = n + 1;
    return ReadEntries(s, entries, 1, std::int64_t{n} + 1);
}
