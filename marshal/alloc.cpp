// The document's allocator.  A loaded file becomes millions of small blocks
// (nodes arrays, entries, texts) that live exactly as long as the document,
// so small requests are carved from large aligned slabs, one size class per
// slab, without a per-block header: far fewer page faults and a smaller
// footprint than the general heap.  Freed blocks go to a free list of their
// class; when the last block is freed every slab goes back to the system.
// Larger requests use the general heap.  Under AddressSanitizer everything
// uses the general heap, so each block keeps its own guarded bounds.
#include "marshal/alloc.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUARNIX_PLAIN_HEAP 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUARNIX_PLAIN_HEAP 1
#endif

#if !defined(QUARNIX_PLAIN_HEAP) && defined(_WIN32)
#include <malloc.h>
#elif !defined(QUARNIX_PLAIN_HEAP)
#include <sys/mman.h>
#endif

namespace {
long g_failCountdown = 0;  // 0: never fail
long g_live = 0;

bool ShouldFail() {
    if (g_failCountdown == 0) return false;
    return --g_failCountdown == 0;
}

#ifdef QUARNIX_PLAIN_HEAP
bool SmallFree(void*) { return false; }
std::size_t SmallSize(void*) { return 0; }
void ReleaseSlabsIfEmpty() {}
#else
constexpr std::size_t kSlabBytes = std::size_t{2} << 20;  // one huge page
constexpr std::size_t kGranule = 8;
constexpr std::size_t kMaxSmall = 512;
constexpr int kClasses = kMaxSmall / kGranule;

struct SizeClass {
    void* freeList = nullptr;   // freed blocks, linked through their first word
    char* bump = nullptr;       // fresh (zero) memory of the current slab
    char* bumpEnd = nullptr;
};
SizeClass g_classes[kClasses];
std::vector<std::uintptr_t> g_slabs;       // slab start addresses, kept sorted
std::vector<std::uint8_t> g_slabClass;     // size class of each slab

void* MapSlab() {
#ifdef _WIN32
    return _aligned_malloc(kSlabBytes, kSlabBytes);  // memset on use below
#else
    // Reserve twice the size and keep the aligned middle: mapped memory is
    // zero, so fresh blocks need no clearing.
    void* raw = mmap(nullptr, 2 * kSlabBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    auto start = reinterpret_cast<std::uintptr_t>(raw);
    std::uintptr_t aligned = (start + kSlabBytes - 1) & ~(kSlabBytes - 1);
    if (aligned > start) munmap(raw, aligned - start);
    std::uintptr_t end = start + 2 * kSlabBytes;
    if (end > aligned + kSlabBytes) munmap(reinterpret_cast<void*>(aligned + kSlabBytes), end - aligned - kSlabBytes);
#ifdef MADV_HUGEPAGE
    // Huge pages cut the page faults of big documents; a small one keeps to
    // small pages, so it touches (and clears) only what it uses.
    if (g_slabs.size() >= 16) madvise(reinterpret_cast<void*>(aligned), kSlabBytes, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(aligned);
#endif
}

void UnmapSlab(std::uintptr_t slab) {
#ifdef _WIN32
    _aligned_free(reinterpret_cast<void*>(slab));
#else
    munmap(reinterpret_cast<void*>(slab), kSlabBytes);
#endif
}

// Index of the slab holding p, or -1 when p is not in a slab.
long SlabOf(const void* p) {
    std::uintptr_t base = reinterpret_cast<std::uintptr_t>(p) & ~(kSlabBytes - 1);
    auto it = std::lower_bound(g_slabs.begin(), g_slabs.end(), base);
    if (it == g_slabs.end() || *it != base) return -1;
    return it - g_slabs.begin();
}

bool AddSlab(int cls) {
    void* slab = MapSlab();
    if (!slab) return false;
    auto at = reinterpret_cast<std::uintptr_t>(slab);
    auto it = std::lower_bound(g_slabs.begin(), g_slabs.end(), at);
    std::size_t index = static_cast<std::size_t>(it - g_slabs.begin());
    try {
        g_slabs.insert(it, at);
        g_slabClass.insert(g_slabClass.begin() + static_cast<long>(index), static_cast<std::uint8_t>(cls));
    } catch (...) {
        if (g_slabs.size() > g_slabClass.size()) g_slabs.erase(g_slabs.begin() + static_cast<long>(index));
        UnmapSlab(at);
        return false;
    }
#ifdef _WIN32
    std::memset(slab, 0, kSlabBytes);
#endif
    g_classes[cls].bump = static_cast<char*>(slab);
    g_classes[cls].bumpEnd = static_cast<char*>(slab) + kSlabBytes;
    return true;
}

void* SmallAlloc(std::size_t size, bool zero) {
    int cls = static_cast<int>((size + kGranule - 1) / kGranule) - 1;
    if (cls < 0) cls = 0;
    std::size_t bytes = static_cast<std::size_t>(cls + 1) * kGranule;
    SizeClass& c = g_classes[cls];
    if (void* p = c.freeList) {
        c.freeList = *static_cast<void**>(p);
        if (zero) std::memset(p, 0, bytes);
        return p;
    }
    if (static_cast<std::size_t>(c.bumpEnd - c.bump) < bytes && !AddSlab(cls)) return nullptr;
    void* p = c.bump;
    c.bump += bytes;
    return p;  // fresh slab memory is already zero
}

bool SmallFree(void* p) {
    long slab = SlabOf(p);
    if (slab < 0) return false;
    SizeClass& c = g_classes[g_slabClass[static_cast<std::size_t>(slab)]];
    *static_cast<void**>(p) = c.freeList;
    c.freeList = p;
    return true;
}

std::size_t SmallSize(void* p) {
    long slab = SlabOf(p);
    return slab < 0 ? 0 : (g_slabClass[static_cast<std::size_t>(slab)] + 1u) * kGranule;
}

void ReleaseSlabsIfEmpty() {
    if (g_live != 0 || g_slabs.empty()) return;
    for (std::uintptr_t slab : g_slabs) UnmapSlab(slab);
    g_slabs.clear();
    g_slabs.shrink_to_fit();
    g_slabClass.clear();
    g_slabClass.shrink_to_fit();
    for (SizeClass& c : g_classes) c = SizeClass{};
}
#endif
}  // namespace

void* MarshalAlloc(std::size_t size) {
    if (ShouldFail()) return nullptr;
#ifndef QUARNIX_PLAIN_HEAP
    if (size <= kMaxSmall) {
        void* p = SmallAlloc(size, false);
        if (p) ++g_live;
        return p;
    }
#endif
    void* p = std::malloc(size ? size : 1);
    if (p) ++g_live;
    return p;
}

void* MarshalZeroAlloc(std::size_t count, std::size_t size) {
    if (ShouldFail()) return nullptr;
    if (size && count > SIZE_MAX / size) return nullptr;
#ifndef QUARNIX_PLAIN_HEAP
    if (count * size <= kMaxSmall) {
        void* p = SmallAlloc(count * size, true);
        if (p) ++g_live;
        return p;
    }
#endif
    void* p = std::calloc(count ? count : 1, size ? size : 1);
    if (p) ++g_live;
    return p;
}

void* MarshalRealloc(void* block, std::size_t size) {
    if (!block) return MarshalAlloc(size);
    if (ShouldFail()) return nullptr;
    if (std::size_t have = SmallSize(block)) {
        if (size <= have) return block;
        void* p = std::malloc(size);
        if (!p) return nullptr;
        std::memcpy(p, block, have);
        SmallFree(block);
        return p;
    }
    return std::realloc(block, size ? size : 1);
}

void MarshalFree(void* block) {
    if (!block) return;
    --g_live;
    if (!SmallFree(block)) std::free(block);
    ReleaseSlabsIfEmpty();
}

void SetAllocationFailureAt(long nth) { g_failCountdown = nth; }
long LiveAllocationCount() { return g_live; }
