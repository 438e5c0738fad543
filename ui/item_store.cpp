#include "ui/item_store.h"

TextPool::Ref TextPool::Add(const char16_t* text) {
    Ref ref;
    if (!text) return ref;
    std::size_t length = 0;
    while (text[length]) ++length;
    // Offsets are 32-bit: a pool that would pass them keeps the text empty.
    if (length > UINT32_MAX - units_.size()) return ref;
    ref.offset = static_cast<std::uint32_t>(units_.size());
    ref.length = static_cast<std::uint32_t>(length);
    units_.insert(units_.end(), text, text + length);
    return ref;
}

void TextPool::Clear() {
    units_.clear();
    // Refilling a short list keeps its storage; a huge one gives it back.
    if (units_.capacity() > (std::size_t{1} << 22)) units_.shrink_to_fit();
}

void TreeStore::Clear() {
    items_.assign(1, Item{});
    items_.shrink_to_fit();
    topLevel_.clear();
    texts_.Clear();
    caret_ = 0;
    cursorParent_ = cursorItem_ = 0;
    cursorRow_ = 0;
}

TreeStore::Id TreeStore::Insert(Id parent, const char16_t* text, int image, const MarshalNode* node) {
    if (parent && !Valid(parent)) return 0;
    if (items_.size() >= UINT32_MAX) return 0;
    Id id = static_cast<Id>(items_.size());
    Item item{};
    item.node = node;
    item.parent = parent;
    item.text = texts_.Add(text);
    item.image = static_cast<std::int8_t>(image);
    if (parent) {
        Item& p = items_[parent];
        item.row = p.children++;
        if (p.lastChild) items_[p.lastChild].nextSibling = id;
        else p.firstChild = id;
        p.lastChild = id;
    } else {
        item.row = static_cast<std::uint32_t>(topLevel_.size());
        if (!topLevel_.empty()) items_[topLevel_.back()].nextSibling = id;
        topLevel_.push_back(id);
    }
    items_.push_back(item);
    return id;
}

TreeStore::Id TreeStore::ChildAtRow(Id parent, std::uint32_t row) const {
    if (!parent) return row < topLevel_.size() ? topLevel_[row] : 0;
    if (!Valid(parent) || row >= items_[parent].children) return 0;
    Id id = items_[parent].firstChild;
    std::uint32_t at = 0;
    if (cursorParent_ == parent && cursorItem_ && cursorRow_ <= row) {
        id = cursorItem_;
        at = cursorRow_;
    }
    for (; at < row && id; ++at) id = items_[id].nextSibling;
    cursorParent_ = parent;
    cursorItem_ = id;
    cursorRow_ = row;
    return id;
}

void ListStore::Clear() {
    rows_.clear();
    if (rows_.capacity() > (std::size_t{1} << 20)) rows_.shrink_to_fit();
    texts_.Clear();
    selected_ = 0;
}

void ListStore::Insert(int row, const char16_t* text, int image, int overlay, const MarshalNode* node) {
    if (row < 0 || row > Size()) row = Size();
    Row r{};
    r.node = node;
    r.cells[0] = texts_.Add(text);
    r.image = static_cast<std::int8_t>(image);
    r.overlay = static_cast<std::int8_t>(overlay);
    rows_.insert(rows_.begin() + row, r);
}

void ListStore::SetCell(int row, int column, const char16_t* text) {
    if (!Valid(row) || column < 0 || column >= kColumns) return;
    rows_[static_cast<std::size_t>(row)].cells[column] = texts_.Add(text);
}

int ListStore::NextSelected(int after) const {
    if (selected_ == 0) return -1;
    for (int i = after < 0 ? 0 : after + 1; i < Size(); ++i)
        if (rows_[static_cast<std::size_t>(i)].selected) return i;
    return -1;
}

int ListStore::Find(const MarshalNode* node) const {
    for (int i = 0; i < Size(); ++i)
        if (rows_[static_cast<std::size_t>(i)].node == node) return i;
    return -1;
}

bool ListStore::SetSelected(int row, bool selected) {
    if (!Valid(row)) return false;
    Row& r = rows_[static_cast<std::size_t>(row)];
    if (r.selected == selected) return false;
    r.selected = selected;
    selected_ += selected ? 1 : -1;
    return true;
}
