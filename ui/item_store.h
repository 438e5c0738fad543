// Compact in-memory storage for the items of the tree pane and the rows of
// the list pane.  The headless panes are these stores; the Qt panes show
// them through thin item models.  Millions of items cost a few dozen bytes
// each: texts live in one pool, links between items are 32-bit indices.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "marshal/node.h"
#include "marshal/page_chunks.h"

// A growable pool of UTF-16 texts.  Texts sit in chunks that never move,
// so growing copies nothing; a long text gets a chunk of its own.  A text
// that cannot be stored (memory) reads as empty.
class TextPool {
public:
    struct Ref {
        std::uint32_t chunk = 0;
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    Ref Add(const char16_t* text);
    std::u16string_view View(Ref ref) const {
        return ref.length ? std::u16string_view(Units(ref.chunk) + ref.offset, ref.length) : std::u16string_view();
    }
    void Clear();

private:
    static constexpr std::size_t kChunkUnits = std::size_t{1} << 16;
    static constexpr std::size_t kNone = SIZE_MAX;
    char16_t* Units(std::size_t chunk) const { return static_cast<char16_t*>(chunks_[chunk].Data()); }

    std::vector<PageBlock> chunks_;
    std::size_t filling_ = kNone;  // the chunk short texts go to
    std::size_t used_ = 0;         // units taken of it
};

// Items are numbered from 1 in insertion order; 0 is none.
class TreeStore {
public:
    using Id = std::uint32_t;
    struct Item {
        const MarshalNode* node;
        Id parent, firstChild, lastChild, nextSibling;
        std::uint32_t row;        // position among its siblings
        std::uint32_t children;   // number of child items
        TextPool::Ref text;
        std::int8_t image;
        bool expanded;
        std::uint8_t mark;  // a PaneMark (ui/panes.h); 0: none
    };

    void Clear();
    Id Insert(Id parent, const char16_t* text, int image, const MarshalNode* node);
    std::size_t Size() const { return items_.Size() ? items_.Size() - 1 : 0; }
    bool Valid(Id id) const { return id > 0 && id < items_.Size(); }
    const Item& At(Id id) const { return items_[id]; }
    Id Root() const { return items_.Size() > 1 ? 1 : 0; }
    std::uint32_t TopLevelCount() const { return static_cast<std::uint32_t>(topLevel_.size()); }
    Id ChildAtRow(Id parent, std::uint32_t row) const;
    std::u16string_view Text(Id id) const { return texts_.View(items_[id].text); }
    void SetExpanded(Id id, bool expanded) { items_[id].expanded = expanded; }
    // A comparison's mark: another text (the old one stays in the pool) and
    // a colour.
    void SetMark(Id id, const char16_t* text, std::uint8_t mark);
    Id Caret() const { return caret_; }
    void SetCaret(Id id) { caret_ = id; }
    // A comparison's items of removed containers (ui/tree_store_edits.cpp):
    // one inserted among parent's children before `before` (none: last),
    // and one unlinked with its subtree (the ids stay, reachable no more).
    Id InsertBefore(Id parent, Id before, const char16_t* text, int image, const MarshalNode* node);
    void Unlink(Id id);

private:
    void Renumber(Id parent);
    ChunkedArray<Item> items_;   // item 0 stands for none
    std::vector<Id> topLevel_;   // items without a parent, in order
    TextPool texts_;
    Id caret_ = 0;
    // Sequential access to the children of one item stays constant time.
    mutable Id cursorParent_ = 0, cursorItem_ = 0;
    mutable std::uint32_t cursorRow_ = 0;
};

// The rows of the list pane.  A row of a child of the listed container
// stores no texts: its cells are made from the child when they are read
// (ChildRowCell), so that listing a million children costs 16 bytes each.
// Other rows (the ".." row) keep their texts.
class ListStore {
public:
    static constexpr int kColumns = 3;
    struct Row {
        const MarshalNode* node;
        std::uint32_t source;  // kChildRow | the child's index, or an entry of stored_
        std::int8_t image;
        std::int8_t overlay;
        bool selected;
        std::uint8_t mark;  // a PaneMark (ui/panes.h); 0: none
    };

    void Clear();
    void Insert(int row, const char16_t* text, int image, int overlay, const MarshalNode* node);
    // A row for child `index` of `container`.  All child rows share one
    // container: one of another container is left out.
    void InsertChild(int row, const MarshalNode* container, std::int64_t index, int image, int overlay,
                     const MarshalNode* node);
    void SetCell(int row, int column, const char16_t* text);
    void SetMark(int row, std::uint8_t mark) {
        if (Valid(row)) rows_[static_cast<std::size_t>(row)].mark = mark;
    }
    int Size() const { return static_cast<int>(rows_.size()); }
    bool Valid(int row) const { return row >= 0 && row < Size(); }
    const Row& At(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    std::u16string Cell(int row, int column) const;
    int SelectedCount() const { return selected_; }
    int NextSelected(int after) const;
    int Find(const MarshalNode* node) const;
    // True when the state changed.
    bool SetSelected(int row, bool selected);

private:
    static constexpr std::uint32_t kChildRow = std::uint32_t{1} << 31;
    using Cells = std::array<TextPool::Ref, kColumns>;
    // False when memory ran out; the row is then left out.
    bool InsertRow(int row, const Row& r);

    std::vector<Row, PageAllocator<Row>> rows_;
    std::vector<Cells> stored_;
    const MarshalNode* container_ = nullptr;
    TextPool texts_;
    int selected_ = 0;
};
