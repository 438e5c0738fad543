// The load driver, the dispatch over type codes and the reference tables.
#include <cstring>

#include "marshal/alloc.h"
#include "marshal/large_stack.h"
#include "marshal/readers.h"

MarshalNode DocumentRoot;
NodeTable ObjectTable;
NodeTable SymbolTable;

namespace {
// Room allocated for DocumentRoot's children (its count is the number used).
std::int64_t g_rootCapacity = 0;
int g_depth = 0;
int g_maxDepth = 0;
int g_loadedDepth = 0;
// The top-level node of the dump being read, and whether any dump so far
// holds a link to its own top-level node (which moves when the root grows).
const MarshalNode* g_currentTop = nullptr;
bool g_topLinked = false;

// Stack for the readers: 10 KB a level of nesting covers the deepest
// recursion (a wrapper inside a wrapper) also with sanitizer-sized frames,
// so the full stack holds kMaxNestingDepth levels.  A machine that cannot
// reserve that much gets a smaller stack and a correspondingly lower limit.
constexpr std::size_t kStackBytesPerLevel = 10 * 1024;
constexpr std::size_t kLoaderStackBytes[] = {std::size_t{1} << 30, std::size_t{1} << 28, std::size_t{1} << 26};
int g_depthLimit = kMaxNestingDepth;

void EmptyTable(NodeTable* t) {
    MarshalFree(t->items);
    *t = NodeTable{};
}

int Register(NodeTable* t, MarshalNode* node) {
    if (t->count == t->capacity) {
        std::int64_t grown = t->capacity < 8 ? 8 : std::int64_t{t->capacity} * 2;
        if (grown > INT32_MAX) grown = INT32_MAX;
        if (grown <= t->capacity) return kLoadNoMemory;
        void* items = MarshalRealloc(t->items, static_cast<std::size_t>(grown) * sizeof(MarshalNode*));
        if (!items) return kLoadNoMemory;
        t->items = static_cast<MarshalNode**>(items);
        t->capacity = static_cast<std::int32_t>(grown);
    }
    t->items[t->count++] = node;
    return kLoadOk;
}

void NoteTarget(const MarshalNode* target) {
    if (target == g_currentTop) g_topLinked = true;
}

// Links into the old root array are moved along with the array: every link
// target and symbol-link extension that pointed at an earlier top-level node
// is re-pointed at the same position of the new array.  Runs on the loader
// thread, so recursion to the nesting depth is safe.
void Repoint(MarshalNode* n, std::uintptr_t oldBase, std::uintptr_t oldEnd, MarshalNode* newBase);

void RepointTarget(MarshalNode* n, std::uintptr_t oldBase, std::uintptr_t oldEnd, MarshalNode* newBase) {
    auto at = reinterpret_cast<std::uintptr_t>(n->data.target);
    if (at >= oldBase && at < oldEnd) n->data.target = newBase + (at - oldBase) / sizeof(MarshalNode);
}

void Repoint(MarshalNode* n, std::uintptr_t oldBase, std::uintptr_t oldEnd, MarshalNode* newBase) {
    for (MarshalNode* e = NodeExtension(n); e; e = NodeExtension(e))
        if (e->type == ';') RepointTarget(e, oldBase, oldEnd, newBase);
    if (n->type == '@' || n->type == ';') {
        RepointTarget(n, oldBase, oldEnd, newBase);
        return;
    }
    if (!IsContainerType(n->type) || !n->data.ptr) return;
    if (IsEntryListType(n->type)) {
        for (std::int32_t i = 0; i < n->count; ++i) Repoint(&n->data.attrs[i].value, oldBase, oldEnd, newBase);
        return;
    }
    std::int64_t children = ChildCount(n);
    for (std::int64_t i = 0; i < children; ++i) Repoint(&n->data.nodes[i], oldBase, oldEnd, newBase);
}

// Makes room for one more top-level node; false when memory runs out.
bool GrowRoot() {
    if (DocumentRoot.count < g_rootCapacity) return true;
    std::int64_t grown = g_rootCapacity ? g_rootCapacity * 2 : 1;
    if (grown > INT32_MAX) return false;
    auto oldBase = reinterpret_cast<std::uintptr_t>(DocumentRoot.data.nodes);
    auto* nodes = static_cast<MarshalNode*>(MarshalRealloc(DocumentRoot.data.nodes, static_cast<std::size_t>(grown) * sizeof(MarshalNode)));
    if (!nodes) return false;
    std::memset(nodes + g_rootCapacity, 0, static_cast<std::size_t>(grown - g_rootCapacity) * sizeof(MarshalNode));
    DocumentRoot.data.nodes = nodes;
    g_rootCapacity = grown;
    if (reinterpret_cast<std::uintptr_t>(nodes) != oldBase)
        MoveExtensions(oldBase, oldBase + static_cast<std::uintptr_t>(DocumentRoot.count) * sizeof(MarshalNode), nodes);
    if (g_topLinked && reinterpret_cast<std::uintptr_t>(nodes) != oldBase) {
        std::uintptr_t oldEnd = oldBase + static_cast<std::uintptr_t>(DocumentRoot.count) * sizeof(MarshalNode);
        for (std::int32_t i = 0; i < DocumentRoot.count; ++i) Repoint(&nodes[i], oldBase, oldEnd, nodes);
    }
    return true;
}

struct LoadCall { MarshalStream* stream; int result; };

void LoadDumps(void* arg) {
    auto* call = static_cast<LoadCall*>(arg);
    MarshalStream* s = call->stream;
    int result = kLoadOk;
    for (;;) {
        std::uint8_t major = ReadByte(s);
        std::uint8_t minor = ReadByte(s);
        if (s->eof || major != 4 || minor != 8) break;
        if (!GrowRoot()) {
            result = kLoadNoMemory;
            break;
        }
        MarshalNode* top = &DocumentRoot.data.nodes[DocumentRoot.count];
        g_currentTop = top;
        g_depth = 0;
        result = ReadValue(s, top);
        DocumentRoot.count++;
        EmptyTable(&ObjectTable);
        EmptyTable(&SymbolTable);
        if (result != kLoadOk) break;
    }
    g_currentTop = nullptr;
    call->result = result;
}

int LoadStream(MarshalStream* s) {
    std::memset(&DocumentRoot, 0, sizeof DocumentRoot);
    DocumentRoot.type = '[';
    g_rootCapacity = 0;
    g_topLinked = false;
    g_maxDepth = 0;
    LoadCall call{s, kLoadOk};
    bool ran = false;
    for (std::size_t bytes : kLoaderStackBytes) {
        std::size_t levels = bytes / kStackBytesPerLevel;
        g_depthLimit = levels < kMaxNestingDepth ? static_cast<int>(levels) : kMaxNestingDepth;
        if ((ran = RunOnLargeStack(LoadDumps, &call, bytes))) break;
    }
    if (!ran) call.result = kLoadNoMemory;
    g_loadedDepth = g_maxDepth;
    if (DocumentRoot.count == 0) {
        MarshalFree(DocumentRoot.data.nodes);
        DocumentRoot.data.nodes = nullptr;
        call.result = kLoadNotMarshal;
    }
    CloseStream(s);
    return call.result;
}
}  // namespace

int LoadDocument(std::FILE* file) {
    MarshalStream s;
    if (!OpenFileStream(&s, file)) {
        std::memset(&DocumentRoot, 0, sizeof DocumentRoot);
        DocumentRoot.type = '[';
        CloseStream(&s);
        return kLoadNotMarshal;  // no dump could be counted
    }
    return LoadStream(&s);
}

int LoadDocumentFromMemory(const void* data, std::size_t size) {
    MarshalStream s;
    OpenMemoryStream(&s, data, size);
    return LoadStream(&s);
}

int LoadedNestingDepth() { return g_loadedDepth; }

int RegisterObject(MarshalNode* node) { return Register(&ObjectTable, node); }
int RegisterSymbol(MarshalNode* node) { return Register(&SymbolTable, node); }

int ReadObjectLink(MarshalStream* s, MarshalNode* node) {
    std::int32_t k;
    if (ReadLength(s, &k, true) != kLoadOk) return kLoadBadData;
    if (k < 0 || k >= ObjectTable.count) return kLoadBadObjectLink;
    node->data.target = ObjectTable.items[k];
    NoteTarget(node->data.target);
    return kLoadOk;
}

int ReadSymbolLink(MarshalStream* s, MarshalNode* node) {
    std::int32_t k;
    if (ReadLength(s, &k, true) != kLoadOk) return kLoadBadData;
    if (k < 0 || k >= SymbolTable.count) return kLoadBadSymbolLink;
    node->data.target = SymbolTable.items[k];
    node->name = node->data.target->name;
    NoteTarget(node->data.target);
    return kLoadOk;
}

namespace {
int Dispatch(MarshalStream* s, MarshalNode* node) {
    switch (node->type) {
    case '0': case 'T': case 'F': return kLoadOk;
    case 'i': return ReadFixnum(s, node);
    case 'e': return ReadExtended(s, node);
    case 'C': return ReadUserClass(s, node);
    case 'u': return ReadUserDump(s, node);
    case 'U': return ReadUserMarshal(s, node);
    case 'I': return ReadIvarWrapper(s, node);
    case 'o': case 'S': return ReadObject(s, node);
    case 'c': case 'm': return ReadClassRef(s, node);
    case ':': return ReadSymbol(s, node);
    case ';': return ReadSymbolLink(s, node);
    case '@': return ReadObjectLink(s, node);
    case 'f': return ReadFloat(s, node);
    case 'l': return ReadBignum(s, node);
    case '"': return ReadString(s, node);
    case '/': return ReadRegexp(s, node);
    case '[': return ReadArray(s, node);
    case '{': case '}': return ReadHash(s, node);
    default: return kLoadUnknownType;  // 'M', 'd' and every byte not listed
    }
}
}  // namespace

int ReadValue(MarshalStream* s, MarshalNode* node) {
    std::memset(node, 0, sizeof *node);
    node->type = ReadByte(s);
    if (s->eof) return kLoadBadData;
    if (g_depth >= g_depthLimit) return kLoadTooDeep;
    ++g_depth;
    if (g_depth > g_maxDepth) g_maxDepth = g_depth;
    int rc = Dispatch(s, node);
    --g_depth;
    return rc;
}
