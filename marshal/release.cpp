// Freeing a document.  The walk keeps its own stack of frames instead of
// recursing, so releasing the deepest document the loader accepts needs no
// more of the calling thread's stack than a shallow one.
#include "marshal/alloc.h"
#include "marshal/load.h"
#include "marshal/node.h"
#include "marshal/readers.h"

namespace {
struct Frame {
    MarshalNode* node;
    std::int64_t next;  // next child to release
};
// One frame per level of ownership; the loader never nests deeper.
Frame g_frames[kMaxNestingDepth + 16];
constexpr int kFrameCapacity = kMaxNestingDepth + 16;

void FreeOwned(MarshalNode** slot) {
    if (*slot) {
        ReleaseNode(*slot);
        MarshalFree(*slot);
        *slot = nullptr;
    }
}

// Module symbols of an 'e' chain hang one below the other.
void ReleaseExtensions(MarshalNode* n) {
    MarshalNode* e = TakeExtension(n);
    while (e) {
        MarshalNode* next = TakeExtension(e);
        ReleaseNode(e);
        MarshalFree(e);
        e = next;
    }
}

// Frees what a node without children owns.  False for a container that
// still has a children array to walk.
bool ReleaseOwnFields(MarshalNode* n) {
    if (n->flags & kNodeExtended) ReleaseExtensions(n);
    switch (n->type) {
    case '"': case '/': case 'l':
        MarshalFree(n->data.ptr);
        n->data.ptr = nullptr;
        return true;
    case ':': case 'c': case 'm':
        MarshalFree(const_cast<char*>(n->name));
        n->name = nullptr;
        return true;
    case 'u':
        MarshalFree(n->data.ptr);
        n->data.ptr = nullptr;
        FreeOwned(&n->class_symbol.symbol);
        return true;
    case 'f':
        MarshalFree(n->text);
        n->text = nullptr;
        return true;
    case 'C': case 'I': case 'S': case 'o': case 'U':
        if (n->data.ptr) return false;
        FreeOwned(&n->class_symbol.symbol);
        return true;
    case '[': case '{': case '}':
        return n->data.ptr == nullptr;
    default:
        return true;
    }
}

std::int64_t ChildSlots(const MarshalNode* n) {
    return n->type == 'U' ? 1 : ChildCount(n);
}

MarshalNode* NextChild(MarshalNode* n, std::int64_t i) {
    if (IsEntryListType(n->type)) {
        MarshalAttr* entry = &n->data.attrs[i];
        MarshalNode* symbol = TakeNameSymbol(entry);
        FreeOwned(&symbol);
        return &entry->value;
    }
    return &n->data.nodes[i];
}

void FinishContainer(MarshalNode* n) {
    MarshalFree(n->data.ptr);
    n->data.ptr = nullptr;
    if (n->type != '[' && n->type != '{' && n->type != '}') FreeOwned(&n->class_symbol.symbol);
}
}  // namespace

void ReleaseNode(MarshalNode* root) {
    if (!root || ReleaseOwnFields(root)) return;
    static int depth = -1;  // frames in use by an enclosing release
    int base = depth + 1;
    if (base >= kFrameCapacity) {
        // Only hand-built trees get here; the loader's bound keeps far below.
        for (std::int64_t i = 0; i < ChildSlots(root); ++i) ReleaseNode(NextChild(root, i));
        FinishContainer(root);
        return;
    }
    int top = base;
    g_frames[top] = {root, 0};
    depth = top;
    while (top >= base) {
        Frame& f = g_frames[top];
        if (f.next < ChildSlots(f.node)) {
            MarshalNode* child = NextChild(f.node, f.next++);
            if (ReleaseOwnFields(child)) continue;
            if (top + 1 >= kFrameCapacity) {
                ReleaseNode(child);
                continue;
            }
            g_frames[++top] = {child, 0};
            depth = top;
            continue;
        }
        FinishContainer(f.node);
        depth = --top;
    }
    depth = base - 1;
}

void ReleaseAttr(MarshalAttr* entry) {
    ReleaseNode(&entry->value);
    MarshalNode* symbol = TakeNameSymbol(entry);
    FreeOwned(&symbol);
}

std::int64_t ChildCount(const MarshalNode* node) {
    switch (node->type) {
    case '[': case 'o': case 'S': case 'C': case 'I': return node->data.ptr ? node->count : 0;
    case '{': return node->data.ptr ? std::int64_t{node->count} * 2 : 0;
    case '}': return node->data.ptr ? std::int64_t{node->count} * 2 + 1 : 0;
    case 'U': return node->data.ptr ? 1 : 0;
    default: return 0;
    }
}

const MarshalNode* ChildAt(const MarshalNode* node, std::int64_t i) {
    if (IsEntryListType(node->type)) return &node->data.attrs[i].value;
    return &node->data.nodes[i];
}
