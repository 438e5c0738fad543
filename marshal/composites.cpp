// Readers of the values that contain other values, and of the prefixes that
// wrap ('C', 'I') or qualify ('e') the value that follows them.
#include <cstring>

#include "marshal/alloc.h"
#include "marshal/readers.h"

const char kWrapperEntryName[] = ".";

namespace {
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
    if (int rc = RegisterObject(node); rc != kLoadOk) return rc;
    if (int rc = ReadLength(s, &node->count, false); rc != kLoadOk) return rc;
    if (node->count == 0) return kLoadOk;
    if (!FileCanHold(s, node->count, 1)) return kLoadBadData;
    node->data.nodes = static_cast<MarshalNode*>(MarshalZeroAlloc(static_cast<std::size_t>(node->count), sizeof(MarshalNode)));
    if (!node->data.nodes) return kLoadNoMemory;
    return ReadNodes(s, node->data.nodes, 0, node->count);
}

int ReadHash(MarshalStream* s, MarshalNode* node) {
    if (int rc = RegisterObject(node); rc != kLoadOk) return rc;
    if (int rc = ReadLength(s, &node->count, false); rc != kLoadOk) return rc;
    bool withDefault = node->type == '}';
    std::int64_t nodes = std::int64_t{node->count} * 2 + (withDefault ? 1 : 0);
    if (nodes == 0) return kLoadOk;
    if (!FileCanHold(s, nodes, 1)) return kLoadBadData;
    node->data.nodes = static_cast<MarshalNode*>(MarshalZeroAlloc(static_cast<std::size_t>(nodes), sizeof(MarshalNode)));
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
    node->data.attrs = static_cast<MarshalAttr*>(MarshalZeroAlloc(static_cast<std::size_t>(node->count), sizeof(MarshalAttr)));
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
    if (symbol && !SetNameSymbol(entry, symbol)) {
        ReleaseNode(symbol);
        MarshalFree(symbol);
        return rc != kLoadOk ? rc : kLoadNoMemory;
    }
    return rc;
}

int ReadUserMarshal(MarshalStream* s, MarshalNode* node) {
    if (int rc = ReadClassPrologue(s, node, false); rc != kLoadOk) return rc;
    node->count = 1;
    node->data.nodes = static_cast<MarshalNode*>(MarshalZeroAlloc(1, sizeof(MarshalNode)));
    if (!node->data.nodes) return kLoadNoMemory;
    return ReadValue(s, node->data.nodes);
}

int ReadUserClass(MarshalStream* s, MarshalNode* node) {
    const char* className;
    MarshalNode* symbol;
    if (int rc = ReadSymbolName(s, &className, &symbol); rc != kLoadOk) return rc;
    auto dropSymbol = [&] {
        ReleaseNode(symbol);
        MarshalFree(symbol);
    };
    // The wrapped value is read into this very node, so that the object
    // number it takes (and every link to it) belongs to the wrapper.
    if (int rc = ReadValue(s, node); rc != kLoadOk) {
        dropSymbol();
        return rc;
    }
    auto* entry = static_cast<MarshalAttr*>(MarshalZeroAlloc(1, sizeof(MarshalAttr)));
    if (!entry) {
        dropSymbol();
        return kLoadNoMemory;
    }
    entry->value = *node;
    MoveExtension(node, &entry->value);
    entry->name = kWrapperEntryName;
    std::memset(node, 0, sizeof *node);
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
    MarshalNode* inner = TakeExtension(node);
    bool kept = !inner || SetExtension(module, inner);
    if (kept && SetExtension(node, module)) return rc;
    if (!kept) {
        ReleaseNode(inner);
        MarshalFree(inner);
    }
    ReleaseNode(module);
    MarshalFree(module);
    return kLoadNoMemory;
}

int ReadIvarWrapper(MarshalStream* s, MarshalNode* node) {
    if (int rc = ReadValue(s, node); rc != kLoadOk) return rc;
    MarshalAttr wrapped{};
    if (node->type == 'C') {
        // An 'I' around a 'C' keeps the user class and wraps its value.
        wrapped = node->data.attrs[0];
        MoveExtension(&node->data.attrs[0].value, &wrapped.value);
        MarshalFree(node->data.attrs);
        node->data.attrs = nullptr;
        node->count = 0;
    } else {
        wrapped.name = kWrapperEntryName;
        wrapped.value = *node;
        MoveExtension(node, &wrapped.value);
        std::memset(node, 0, sizeof *node);
        // The wrapper shows the name its value brought; a float has none.
        node->name = wrapped.value.type == 'f' ? nullptr : wrapped.value.name;
    }
    node->type = 'I';
    std::int32_t n;
    if (int rc = ReadLength(s, &n, false); rc != kLoadOk) {
        ReleaseAttr(&wrapped);
        return rc;
    }
    if (!FileCanHold(s, n, kMinEntryBytes)) {
        ReleaseAttr(&wrapped);
        return kLoadBadData;
    }
    auto* entries = static_cast<MarshalAttr*>(MarshalZeroAlloc(static_cast<std::size_t>(n) + 1, sizeof(MarshalAttr)));
    if (!entries) {
        ReleaseAttr(&wrapped);
        return kLoadNoMemory;
    }
    entries[0] = wrapped;
    MoveExtension(&wrapped.value, &entries[0].value);
    node->data.attrs = entries;
    node->count = n + 1;
    return ReadEntries(s, entries, 1, std::int64_t{n} + 1);
}
