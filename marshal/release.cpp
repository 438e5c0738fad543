// Freeing what a node owns.  The root of a document goes whole: its pages are
// dropped without a visit to any node.  Any other node is walked, keeping
// its own stack of frames instead of recursing, so releasing the deepest
// value the loader accepts needs no more of the calling thread's stack than
// a shallow one.
#include <cstdlib>

#include "marshal/alloc.h"
#include "marshal/readers.h"

namespace {
struct Frame {
    MarshalNode* node;
    std::int64_t next;  // next child to release
};

void FreeOwned(MarshalDocument* doc, MarshalNode** slot) {
    if (*slot) {
        DropNode(doc, *slot);
        *slot = nullptr;
    }
}

// Module symbols of an 'e' chain hang one below the other.
void ReleaseExtensions(MarshalDocument* doc, MarshalNode* n) {
    MarshalNode* e = TakeExtension(doc, n);
    while (e) {
        MarshalNode* next = TakeExtension(doc, e);
        DropNode(doc, e);
        e = next;
    }
}

// Frees what a node without children owns.  False for a container that
// still has a children array to walk.
bool ReleaseOwnFields(MarshalDocument* doc, MarshalNode* n) {
    if (n->flags & kNodeExtended) ReleaseExtensions(doc, n);
    switch (n->type) {
    case '"': case '/': case 'l':
        DocFree(doc, n->data.ptr);
        n->data.ptr = nullptr;
        return true;
    case ':': case 'c': case 'm':
        DocFree(doc, const_cast<char*>(n->name));
        n->name = nullptr;
        return true;
    case 'u':
        DocFree(doc, n->data.ptr);
        n->data.ptr = nullptr;
        FreeOwned(doc, &n->class_symbol.symbol);
        return true;
    case 'f':
        DocFree(doc, n->text);
        n->text = nullptr;
        return true;
    case 'C': case 'I': case 'S': case 'o': case 'U':
        if (n->data.ptr) return false;
        FreeOwned(doc, &n->class_symbol.symbol);
        return true;
    case '[': case '{': case '}':
        return n->data.ptr == nullptr;
    default:
        return true;
    }
}

std::int64_t ChildSlots(const MarshalNode* n) { return n->type == 'U' ? 1 : ChildCount(n); }

MarshalNode* NextChild(MarshalDocument* doc, MarshalNode* n, std::int64_t i) {
    if (IsEntryListType(n->type)) {
        MarshalAttr* entry = &n->data.attrs[i];
        MarshalNode* symbol = TakeNameSymbol(doc, entry);
        FreeOwned(doc, &symbol);
        return &entry->value;
    }
    return &n->data.nodes[i];
}

void FinishContainer(MarshalDocument* doc, MarshalNode* n) {
    DocFree(doc, n->data.ptr);
    n->data.ptr = nullptr;
    if (n->type != '[' && n->type != '{' && n->type != '}') FreeOwned(doc, &n->class_symbol.symbol);
}

// The frames grow on the heap as the walk goes deeper.  A subtree for which
// no frame can be had is cut off unvisited: its blocks stay in the
// document's pages until the document goes.
void Walk(MarshalDocument* doc, MarshalNode* root) {
    Frame* frames = static_cast<Frame*>(std::malloc(64 * sizeof(Frame)));
    std::size_t capacity = frames ? 64 : 0, top = 0;
    if (!frames) {
        root->data.ptr = nullptr;
        return;
    }
    frames[0] = {root, 0};
    for (;;) {
        Frame& f = frames[top];
        if (f.next < ChildSlots(f.node)) {
            MarshalNode* child = NextChild(doc, f.node, f.next++);
            if (ReleaseOwnFields(doc, child)) continue;
            if (top + 1 == capacity) {
                auto* grown = static_cast<Frame*>(std::realloc(frames, capacity * 2 * sizeof(Frame)));
                if (!grown) {
                    child->data.ptr = nullptr;
                    continue;
                }
                frames = grown;
                capacity *= 2;
            }
            frames[++top] = {child, 0};
            continue;
        }
        FinishContainer(doc, f.node);
        if (top == 0) break;
        --top;
    }
    std::free(frames);
}
}  // namespace

void ReleaseNodeIn(MarshalDocument* doc, MarshalNode* node) {
    if (!node || ReleaseOwnFields(doc, node)) return;
    Walk(doc, node);
}

void ReleaseAttrIn(MarshalDocument* doc, MarshalAttr* entry) {
    ReleaseNodeIn(doc, &entry->value);
    MarshalNode* symbol = TakeNameSymbol(doc, entry);
    FreeOwned(doc, &symbol);
}

void DropNode(MarshalDocument* doc, MarshalNode* node) {
    ReleaseNodeIn(doc, node);
    DocFree(doc, node);
}

void ReleaseNode(MarshalNode* node) {
    if (!node) return;
    MarshalDocument* doc = DocumentOf(node);
    if (doc && node == &doc->root) {
        ReleaseDocumentPages(doc);
        return;
    }
    ReleaseNodeIn(doc, node);
}

void ReleaseAttr(MarshalAttr* entry) { ReleaseAttrIn(DocumentOf(&entry->value), entry); }

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
