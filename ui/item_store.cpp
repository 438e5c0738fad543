#include "ui/item_store.h"

#include <cstring>
#include <new>

#include "marshal/pages.h"
#include "ui/viewer.h"

TextPool::Ref TextPool::Add(const char16_t* text) {
    Ref ref;
    if (!text) return ref;
    std::size_t length = 0;
    while (text[length]) ++length;
    if (length == 0 || length > UINT32_MAX) return ref;
    try {
        if (length > kChunkUnits / 4) {
            chunks_.emplace_back(length * sizeof(char16_t));
            std::memcpy(chunks_.back().Data(), text, length * sizeof(char16_t));
            return Ref{static_cast<std::uint32_t>(chunks_.size() - 1), 0, static_cast<std::uint32_t>(length)};
        }
        if (filling_ == kNone || kChunkUnits - used_ < length) {
            chunks_.emplace_back(kChunkUnits * sizeof(char16_t));
            MakePagesResident(chunks_.back().Data(), kChunkUnits * sizeof(char16_t));
            filling_ = chunks_.size() - 1;
            used_ = 0;
        }
    } catch (const std::bad_alloc&) {
        return ref;
    }
    if (chunks_.size() > UINT32_MAX) return ref;
    std::memcpy(Units(filling_) + used_, text, length * sizeof(char16_t));
    ref = Ref{static_cast<std::uint32_t>(filling_), static_cast<std::uint32_t>(used_), static_cast<std::uint32_t>(length)};
    used_ += length;
    return ref;
}

void TextPool::Clear() {
    // Refilling a short list keeps its one chunk; more go back.
    used_ = 0;
    if (chunks_.size() == 1 && filling_ == 0) return;
    chunks_.clear();
    chunks_.shrink_to_fit();
    filling_ = kNone;
}

void TreeStore::Clear() {
    items_.Clear();
    topLevel_.clear();
    topLevel_.shrink_to_fit();
    texts_.Clear();
    caret_ = 0;
    cursorParent_ = cursorItem_ = 0;
    cursorRow_ = 0;
}

TreeStore::Id TreeStore::Insert(Id parent, const char16_t* text, int image, const MarshalNode* node) {
    if (parent && !Valid(parent)) return 0;
    if (items_.Size() >= UINT32_MAX) return 0;
    Id id = 0;
    Item item{};
    item.node = node;
    item.parent = parent;
    item.text = texts_.Add(text);
    item.image = static_cast<std::int8_t>(image);
    // The item is stored before it is linked in, so a failure leaves no trace.
    try {
        if (!parent && topLevel_.size() == topLevel_.capacity()) topLevel_.reserve(topLevel_.size() * 2 + 8);
        if (items_.Size() == 0) items_.PushBack(Item{});  // item 0 stands for none
        id = static_cast<Id>(items_.Size());
        items_.PushBack(item);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (parent) {
        Item& p = items_[parent];
        items_[id].row = p.children++;
        if (p.lastChild) items_[p.lastChild].nextSibling = id;
        else p.firstChild = id;
        p.lastChild = id;
    } else {
        items_[id].row = static_cast<std::uint32_t>(topLevel_.size());
        if (!topLevel_.empty()) items_[topLevel_.back()].nextSibling = id;
        topLevel_.push_back(id);
    }
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
    if (rows_.capacity() > (std::size_t{1} << 16)) rows_.shrink_to_fit();
    stored_.clear();
    stored_.shrink_to_fit();
    container_ = nullptr;
    texts_.Clear();
    selected_ = 0;
}

bool ListStore::InsertRow(int row, const Row& r) {
    if (row < 0 || row > Size()) row = Size();
    try {
        rows_.insert(rows_.begin() + row, r);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void TreeStore::SetMark(Id id, const char16_t* text, std::uint8_t mark) {
    if (!Valid(id)) return;
    items_[id].text = texts_.Add(text);
    items_[id].mark = mark;
}

void ListStore::Insert(int row, const char16_t* text, int image, int overlay, const MarshalNode* node) {
    if (stored_.size() >= kChildRow) return;
    try {
        stored_.push_back(Cells{texts_.Add(text), {}, {}});
    } catch (const std::bad_alloc&) {
        return;  // the row is left out; the cells set for it find no row
    }
    Row r{node, static_cast<std::uint32_t>(stored_.size() - 1), static_cast<std::int8_t>(image),
          static_cast<std::int8_t>(overlay), false, 0};
    if (!InsertRow(row, r)) stored_.pop_back();
}

void ListStore::InsertChild(int row, const MarshalNode* container, std::int64_t index, int image, int overlay,
                            const MarshalNode* node) {
    if (index < 0 || index >= kChildRow || (container_ && container_ != container)) return;
    if (InsertRow(row, Row{node, kChildRow | static_cast<std::uint32_t>(index), static_cast<std::int8_t>(image),
                           static_cast<std::int8_t>(overlay), false, 0}))
        container_ = container;
}

void ListStore::SetCell(int row, int column, const char16_t* text) {
    if (!Valid(row) || column < 0 || column >= kColumns) return;
    Row& r = rows_[static_cast<std::size_t>(row)];
    if (r.source & kChildRow) {
        // The row keeps its texts from now on, the made ones included.
        Cells cells;
        for (int c = 0; c < kColumns; ++c) cells[static_cast<std::size_t>(c)] = texts_.Add(Cell(row, c).c_str());
        if (stored_.size() >= kChildRow) return;
        try {
            stored_.push_back(cells);
        } catch (const std::bad_alloc&) {
            return;
        }
        r.source = static_cast<std::uint32_t>(stored_.size() - 1);
    }
    stored_[r.source][static_cast<std::size_t>(column)] = texts_.Add(text);
}

std::u16string ListStore::Cell(int row, int column) const {
    if (!Valid(row) || column < 0 || column >= kColumns) return {};
    const std::uint32_t source = At(row).source;
    if (source & kChildRow) return ChildRowCell(container_, source & ~kChildRow, column);
    try {
        return std::u16string(texts_.View(stored_[source][static_cast<std::size_t>(column)]));
    } catch (const std::bad_alloc&) {
        return {};
    }
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
