// Items put among others and taken away again after the tree was built:
// the grey items of containers only the old version has, while a
// comparison shows.  Sibling lists are walked: a container's children are
// few against the whole tree, and this happens once per comparison.
#include "ui/item_store.h"

void TreeStore::Renumber(Id parent) {
    std::uint32_t row = 0;
    for (Id id = items_[parent].firstChild; id; id = items_[id].nextSibling) items_[id].row = row++;
    cursorParent_ = cursorItem_ = 0;
    cursorRow_ = 0;
}

TreeStore::Id TreeStore::InsertBefore(Id parent, Id before, const char16_t* text, int image, const MarshalNode* node) {
    if (!Valid(parent)) return 0;
    if (before && (!Valid(before) || items_[before].parent != parent)) before = 0;
    const Id last = items_[parent].lastChild;
    const Id id = Insert(parent, text, image, node);
    if (!id || !before) return id;
    // Taken off the end, where Insert put it, and linked in before `before`.
    Item& p = items_[parent];
    p.lastChild = last;
    items_[last].nextSibling = 0;
    Id previous = 0;
    for (Id k = p.firstChild; k != before; k = items_[k].nextSibling) previous = k;
    if (previous) items_[previous].nextSibling = id;
    else p.firstChild = id;
    items_[id].nextSibling = before;
    Renumber(parent);
    return id;
}

void TreeStore::Unlink(Id id) {
    if (!Valid(id) || !items_[id].parent) return;
    const Id parent = items_[id].parent;
    Item& p = items_[parent];
    Id previous = 0;
    Id k = p.firstChild;
    for (; k && k != id; k = items_[k].nextSibling) previous = k;
    if (!k) return;  // unlinked already
    if (previous) items_[previous].nextSibling = items_[id].nextSibling;
    else p.firstChild = items_[id].nextSibling;
    if (p.lastChild == id) p.lastChild = previous;
    --p.children;
    items_[id].nextSibling = 0;
    Renumber(parent);
}
