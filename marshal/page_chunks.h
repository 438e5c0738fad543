// Storage on pages of its own (see pages.h) for the big tables built over
// a document: the pane's items, the indexes.  They grow without copying or
// faulting page by page, and give their memory back when they go.
#pragma once
#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <vector>

#include "marshal/pages.h"

// Pages of their own (see pages.h), given back when the block goes.
class PageBlock {
public:
    // Throws std::bad_alloc when the system refuses.
    explicit PageBlock(std::size_t bytes) : data_(MapPages(bytes)), bytes_(bytes) {
        if (!data_) throw std::bad_alloc();
    }
    PageBlock(PageBlock&& other) noexcept : data_(other.data_), bytes_(other.bytes_) { other.data_ = nullptr; }
    PageBlock& operator=(PageBlock&&) = delete;
    ~PageBlock() { UnmapPages(data_, bytes_); }
    void* Data() const { return data_; }

private:
    void* data_;
    std::size_t bytes_;
};

// Items in fixed-size chunks: growing never moves or copies what is stored,
// and millions of items cost no more than they take.
template <typename T>
class ChunkedArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    static constexpr std::size_t kChunk = std::size_t{1} << 15;
    std::size_t Size() const { return size_; }
    T& operator[](std::size_t i) { return Slots(i / kChunk)[i % kChunk]; }
    const T& operator[](std::size_t i) const { return Slots(i / kChunk)[i % kChunk]; }
    // Throws std::bad_alloc when memory runs out.
    void PushBack(const T& value) {
        if (size_ % kChunk == 0) {
            // Raw pages, made resident before anything is written to them:
            // a slot is constructed when it is taken.
            chunks_.emplace_back(kChunk * sizeof(T));
            MakePagesResident(chunks_.back().Data(), kChunk * sizeof(T));
        }
        new (&Slots(size_ / kChunk)[size_ % kChunk]) T(value);
        ++size_;
    }
    // Copies everything, in order, into a table reserved to the exact size.
    template <typename Table>
    void CopyInto(Table& table) const {
        table.reserve(table.size() + size_);
        for (std::size_t i = 0; i < size_; ++i) table.push_back((*this)[i]);
    }
    void Clear() {
        chunks_.clear();
        chunks_.shrink_to_fit();
        size_ = 0;
    }

private:
    T* Slots(std::size_t chunk) const { return static_cast<T*>(chunks_[chunk].Data()); }

    std::vector<PageBlock> chunks_;
    std::size_t size_ = 0;
};

// An allocator for std::vector from pages of their own, made resident at
// once: for a table whose size is known before it is filled.
template <typename T>
struct PageAllocator {
    using value_type = T;
    PageAllocator() = default;
    template <typename U>
    PageAllocator(const PageAllocator<U>&) {}
    T* allocate(std::size_t n) {
        if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        void* p = MapPages(n * sizeof(T));
        if (!p) throw std::bad_alloc();
        MakePagesResident(p, n * sizeof(T));
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) { UnmapPages(p, n * sizeof(T)); }
    template <typename U>
    bool operator==(const PageAllocator<U>&) const { return true; }
};
