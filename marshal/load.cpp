// The load driver, the dispatch over type codes and the reference tables.
// All of a load's state is in the document being loaded (s->doc).
#include <cstring>

#include "marshal/alloc.h"
#include "marshal/large_stack.h"
#include "marshal/readers.h"

namespace {
// Stack for the readers: 10 KB a level of nesting covers the deepest
// recursion (a wrapper inside a wrapper) also with sanitizer-sized frames,
// so the full stack holds kMaxNestingDepth levels.  A machine that cannot
// reserve that much gets a smaller stack and a correspondingly lower limit.
constexpr std::size_t kStackBytesPerLevel = 10 * 1024;
constexpr std::size_t kLoaderStackBytes[] = {std::size_t{1} << 30, std::size_t{1} << 28, std::size_t{1} << 26};

void EmptyTable(MarshalDocument* doc, NodeTable* t) {
    for (std::int32_t i = 0; i < t->chunkCount; ++i) DocFree(doc, t->chunks[i]);
    DocFree(doc, t->chunks);
    *t = NodeTable{};
}

int Register(MarshalDocument* doc, NodeTable* t, MarshalNode* node) {
    if (t->count == INT32_MAX) return kLoadNoMemory;
    if (t->count == t->chunkCount * kNodeTableChunk) {
        if (t->chunkCount == t->chunkCapacity) {
            std::int32_t grown = t->chunkCapacity < 8 ? 8 : t->chunkCapacity * 2;
            void* chunks = DocRealloc(doc, t->chunks, static_cast<std::size_t>(grown) * sizeof(MarshalNode**));
            if (!chunks) return kLoadNoMemory;
            t->chunks = static_cast<MarshalNode***>(chunks);
            t->chunkCapacity = grown;
        }
        void* chunk = DocAlloc(doc, kNodeTableChunk * sizeof(MarshalNode*));
        if (!chunk) return kLoadNoMemory;
        t->chunks[t->chunkCount++] = static_cast<MarshalNode**>(chunk);
    }
    t->chunks[t->count / kNodeTableChunk][t->count % kNodeTableChunk] = node;
    ++t->count;
    return kLoadOk;
}

void NoteTarget(MarshalDocument* doc, const MarshalNode* target) {
    if (target == doc->loader.currentTop) doc->loader.topLinked = true;
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

// Makes room for one more top-level node; false when memory runs out.  The
// earlier top-level records move one by one, so their side-table entries
// move with them.
bool GrowRoot(MarshalDocument* doc) {
    MarshalNode& root = doc->root;
    LoaderState& l = doc->loader;
    if (root.count < l.rootCapacity) return true;
    std::int64_t grown = l.rootCapacity ? l.rootCapacity * 2 : 1;
    if (grown > INT32_MAX) return false;
    auto* nodes = static_cast<MarshalNode*>(DocZeroAlloc(doc, static_cast<std::size_t>(grown), sizeof(MarshalNode)));
    if (!nodes) return false;
    MarshalNode* old = root.data.nodes;
    for (std::int32_t i = 0; i < root.count; ++i) MoveRecord(doc, &nodes[i], &old[i]);
    root.data.nodes = nodes;
    l.rootCapacity = grown;
    if (l.topLinked && old) {
        auto oldBase = reinterpret_cast<std::uintptr_t>(old);
        std::uintptr_t oldEnd = oldBase + static_cast<std::uintptr_t>(root.count) * sizeof(MarshalNode);
        for (std::int32_t i = 0; i < root.count; ++i) Repoint(&nodes[i], oldBase, oldEnd, nodes);
    }
    DocFree(doc, old);
    return true;
}

struct LoadCall {
    MarshalDocument* doc;
    int result;
    bool began;  // at least one dump header was read
};

// A loader thread whose readers went deeper than this is not kept for the
// next load (see large_stack.h).
constexpr int kKeepThreadDepth = 1000;

bool LoadDumps(void* arg) {
    auto* call = static_cast<LoadCall*>(arg);
    MarshalDocument* doc = call->doc;
    MarshalStream* s = &doc->stream;
    LoaderState& l = doc->loader;
    int result = kLoadOk;
    for (;;) {
        std::uint8_t major = ReadByte(s);
        std::uint8_t minor = ReadByte(s);
        if (s->eof || major != 4 || minor != 8) break;
        call->began = true;
        if (!GrowRoot(doc)) {
            result = kLoadNoMemory;
            break;
        }
        MarshalNode* top = &doc->root.data.nodes[doc->root.count];
        l.currentTop = top;
        l.depth = 0;
        result = ReadValue(s, top);
        doc->root.count++;
        // Tables restart for every dump; their room is kept for the next.
        l.objects.count = 0;
        l.symbols.count = 0;
        if (result != kLoadOk) break;
    }
    l.currentTop = nullptr;
    call->result = result;
    return l.maxDepth < kKeepThreadDepth;
}

int LoadStream(MarshalDocument* doc) {
    LoadCall call{doc, kLoadOk, false};
    LoaderState& l = doc->loader;
    l = LoaderState{};
    bool ran = false;
    if (doc->stream.failure == 0) {
        for (std::size_t bytes : kLoaderStackBytes) {
            std::size_t levels = bytes / kStackBytesPerLevel;
            l.depthLimit = levels < kMaxNestingDepth ? static_cast<int>(levels) : kMaxNestingDepth;
            if ((ran = RunOnLargeStack(LoadDumps, &call, bytes))) break;
        }
    }
    if (!ran) call.result = kLoadNoMemory;
    // A stream that ended early says why: that outranks the reader's view
    // of a value cut short, and a file that ended before its first dump.
    if (doc->stream.failure) call.result = doc->stream.failure;
    else if (ran && !call.began) call.result = kLoadNotMarshal;
    doc->loadedDepth = l.maxDepth;
    EmptyTable(doc, &l.objects);
    EmptyTable(doc, &l.symbols);
    if (doc->root.count == 0) {
        DocFree(doc, doc->root.data.nodes);
        doc->root.data.nodes = nullptr;
    }
    CloseStream(&doc->stream);
    return call.result;
}

// Resets the root and gives the document its number; false when every
// number is taken.
bool BeginDocument(MarshalDocument* doc) {
    bool numbered = RegisterDocument(doc);
    std::memset(&doc->root, 0, sizeof doc->root);
    doc->root.type = '[';
    doc->root.document = doc->id;
    doc->bytesRead.store(0, std::memory_order_relaxed);
    doc->bytesTotal.store(0, std::memory_order_relaxed);
    return numbered;
}

std::size_t ReadChunk(const MarshalDocument* doc) { return doc->readChunk ? doc->readChunk : kDefaultReadChunk; }
}  // namespace

int LoadIntoDocument(MarshalDocument* doc, std::FILE* file) {
    if (!BeginDocument(doc)) {
        std::fclose(file);
        return kLoadNoMemory;
    }
    OpenFileStream(&doc->stream, doc, file, ReadChunk(doc));
    return LoadStream(doc);
}

int LoadIntoDocumentFromMemory(MarshalDocument* doc, const void* data, std::size_t size) {
    if (!BeginDocument(doc)) return kLoadNoMemory;
    OpenMemoryStream(&doc->stream, doc, data, size, ReadChunk(doc));
    return LoadStream(doc);
}

int RegisterObject(MarshalStream* s, MarshalNode* node) { return Register(s->doc, &s->doc->loader.objects, node); }
int RegisterSymbol(MarshalStream* s, MarshalNode* node) { return Register(s->doc, &s->doc->loader.symbols, node); }

MarshalNode* NewNode(MarshalStream* s) {
    auto* node = static_cast<MarshalNode*>(DocZeroAlloc(s->doc, 1, sizeof(MarshalNode)));
    if (node) node->document = s->doc->id;
    return node;
}

int ReadObjectLink(MarshalStream* s, MarshalNode* node) {
    std::int32_t k;
    if (ReadLength(s, &k, true) != kLoadOk) return kLoadBadData;
    const NodeTable& objects = s->doc->loader.objects;
    if (k < 0 || k >= objects.count) return kLoadBadObjectLink;
    node->data.target = objects.At(k);
    NoteTarget(s->doc, node->data.target);
    return kLoadOk;
}

int ReadSymbolLink(MarshalStream* s, MarshalNode* node) {
    std::int32_t k;
    if (ReadLength(s, &k, true) != kLoadOk) return kLoadBadData;
    const NodeTable& symbols = s->doc->loader.symbols;
    if (k < 0 || k >= symbols.count) return kLoadBadSymbolLink;
    node->data.target = symbols.At(k);
    node->name = node->data.target->name;
    NoteTarget(s->doc, node->data.target);
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
    node->document = s->doc->id;
    node->type = ReadByte(s);
    if (s->eof) return kLoadBadData;
    LoaderState& l = s->doc->loader;
    if (l.depth >= l.depthLimit) return kLoadTooDeep;
    ++l.depth;
    if (l.depth > l.maxDepth) l.maxDepth = l.depth;
    int rc = Dispatch(s, node);
    --l.depth;
    return rc;
}
