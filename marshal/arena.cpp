// The document's pages.  A loaded file becomes millions of small blocks
// (children arrays, entries, texts) that live exactly as long as their
// document, so small requests are carved from slabs of one size class each,
// without a per-block header, medium ones from larger chunks, and only big
// ones are mapped one by one.  All of it is mapped from the system for this
// document alone and unmapped when the document goes, whatever the heap of
// the process looks like.  Slabs start small and grow, so a small document
// touches few pages; no huge-page advice, whose compaction stalls depend on
// what ran before.  Under AddressSanitizer every block comes from the
// general heap instead, so each keeps its own guarded bounds.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "marshal/alloc.h"
#include "marshal/document.h"
#include "marshal/pages.h"

struct ArenaLargeBlock {
    ArenaLargeBlock* prev;
    ArenaLargeBlock* next;
    std::size_t bytes;   // asked for
    std::size_t mapped;  // the whole mapping, this header included
};
static_assert(sizeof(ArenaLargeBlock) % 16 == 0);

namespace {
std::atomic<long> g_failCountdown{0};  // 0: never fail

bool ShouldFail() {
    long n = g_failCountdown.load(std::memory_order_relaxed);
    while (n > 0 && !g_failCountdown.compare_exchange_weak(n, n - 1, std::memory_order_relaxed)) {
    }
    return n == 1;
}

// MARK: blocks mapped one by one

void* LargeAlloc(DocumentArena* a, std::size_t size, bool zero) {
    std::size_t header = sizeof(ArenaLargeBlock);
    if (size > SIZE_MAX - header - kPageBytes) return nullptr;
#ifdef QUARNIX_PLAIN_HEAP
    std::size_t mapped = header + size;
    void* raw = zero ? std::calloc(1, mapped) : std::malloc(mapped);
#else
    (void)zero;  // mapped memory is zero
    std::size_t mapped = (header + size + kPageBytes - 1) & ~(kPageBytes - 1);
    void* raw = MapPages(mapped);
    // The loader fills a block as soon as it has it; one that a hostile
    // count made huge gets its pages only as they are written.
    constexpr std::size_t kResidentLargeBytes = std::size_t{64} << 20;
    if (raw && mapped <= kResidentLargeBytes) MakePagesResident(raw, mapped);
#endif
    if (!raw) return nullptr;
    auto* block = static_cast<ArenaLargeBlock*>(raw);
    *block = ArenaLargeBlock{nullptr, a->large, size, mapped};
    if (a->large) a->large->prev = block;
    a->large = block;
    return block + 1;
}

ArenaLargeBlock* LargeHeader(void* p) { return static_cast<ArenaLargeBlock*>(p) - 1; }

void LargeFree(DocumentArena* a, ArenaLargeBlock* block) {
    if (block->prev) block->prev->next = block->next;
    else a->large = block->next;
    if (block->next) block->next->prev = block->prev;
#ifdef QUARNIX_PLAIN_HEAP
    std::free(block);
#else
    UnmapPages(block, block->mapped);
#endif
}

#ifndef QUARNIX_PLAIN_HEAP
// MARK: slabs and chunks

constexpr std::size_t kGranule = 8;
constexpr std::size_t kMaxSmall = kArenaClasses * kGranule;
constexpr std::size_t kFirstSlab = std::size_t{16} << 10;
constexpr std::uint32_t kSlabDoublings = 7;  // up to 2 MiB
constexpr std::size_t kMediumHeader = 16;
constexpr std::size_t kMaxMedium = std::size_t{64} << 10;
constexpr std::size_t kFirstChunk = std::size_t{256} << 10;
constexpr std::uint32_t kChunkDoublings = 3;  // up to 2 MiB

// Index of the region holding p, or -1.
long FindRegion(const DocumentArena* a, const void* p) {
    auto at = reinterpret_cast<std::uintptr_t>(p);
    std::size_t lo = 0, hi = a->regionCount;  // first region starting after p
    while (lo < hi) {
        std::size_t mid = (lo + hi) / 2;
        if (a->regions[mid].start <= at) lo = mid + 1;
        else hi = mid;
    }
    if (lo == 0 || at >= a->regions[lo - 1].end) return -1;
    return static_cast<long>(lo - 1);
}

// Maps a region and files it; none when either fails.
char* AddRegion(DocumentArena* a, std::size_t bytes, int cls) {
    if (a->regionCount == a->regionCapacity) {
        std::size_t grown = a->regionCapacity ? a->regionCapacity * 2 : 16;
        void* regions = std::realloc(a->regions, grown * sizeof(ArenaRegion));
        if (!regions) return nullptr;
        a->regions = static_cast<ArenaRegion*>(regions);
        a->regionCapacity = grown;
    }
    auto* start = static_cast<char*>(MapPages(bytes));
    if (!start) return nullptr;
    auto at = reinterpret_cast<std::uintptr_t>(start);
    std::size_t i = a->regionCount;
    while (i > 0 && a->regions[i - 1].start > at) {
        a->regions[i] = a->regions[i - 1];
        --i;
    }
    a->regions[i] = ArenaRegion{at, at + bytes, cls};
    ++a->regionCount;
    return start;
}

// Fresh pages are made resident a step ahead of the bump pointer (see
// pages.h); pages zeroed just before they are written are still in
// the cache, and the unused end of a slab stays unresident.
constexpr std::size_t kPrefaultStep = std::size_t{256} << 10;

void MakeResident(char*& ready, const char* need, char* end) {
    if (need <= ready) return;
    char* to = ready + kPrefaultStep;
    if (to < need) to = ready + ((need - ready + kPageBytes - 1) & ~(kPageBytes - 1));
    if (to > end) to = end;
    MakePagesResident(ready, static_cast<std::size_t>(to - ready));
    ready = to;
}

void* SmallAlloc(DocumentArena* a, std::size_t size, bool zero) {
    std::size_t cls = size ? (size - 1) / kGranule : 0;
    std::size_t bytes = (cls + 1) * kGranule;
    ArenaClass& c = a->classes[cls];
    if (void* p = c.freeList) {
        c.freeList = *static_cast<void**>(p);
        if (zero) std::memset(p, 0, bytes);
        return p;
    }
    if (static_cast<std::size_t>(c.bumpEnd - c.bump) < bytes) {
        std::size_t slab = kFirstSlab << (c.slabs < kSlabDoublings ? c.slabs : kSlabDoublings);
        char* start = AddRegion(a, slab, static_cast<int>(cls));
        if (!start) return nullptr;
        ++c.slabs;
        c.bump = start;
        c.bumpEnd = start + slab;
        c.ready = start;
    }
    void* p = c.bump;
    c.bump += bytes;
    MakeResident(c.ready, c.bump, c.bumpEnd);
    return p;  // fresh slab memory is already zero
}

// Medium blocks carry their size in a header; a freed one waits for the
// document's release (only reallocations and partial releases free them).
void* MediumAlloc(DocumentArena* a, std::size_t size) {
    std::size_t bytes = (kMediumHeader + size + 15) & ~std::size_t{15};
    if (static_cast<std::size_t>(a->mediumEnd - a->mediumBump) < bytes) {
        std::size_t chunk = kFirstChunk << (a->mediumChunks < kChunkDoublings ? a->mediumChunks : kChunkDoublings);
        char* start = AddRegion(a, chunk, -1);
        if (!start) return nullptr;
        ++a->mediumChunks;
        a->mediumBump = start;
        a->mediumEnd = start + chunk;
        a->mediumReady = start;
    }
    char* p = a->mediumBump;
    a->mediumBump += bytes;
    MakeResident(a->mediumReady, a->mediumBump, a->mediumEnd);
    *reinterpret_cast<std::size_t*>(p) = size;
    return p + kMediumHeader;  // fresh chunk memory is already zero
}
#endif

void* Allocate(MarshalDocument* doc, std::size_t size, bool zero) {
    if (ShouldFail()) return nullptr;
    DocumentArena* a = &doc->arena;
    ++a->made;
    void* p;
#ifndef QUARNIX_PLAIN_HEAP
    if (size <= kMaxSmall) p = SmallAlloc(a, size, zero);
    else if (size <= kMaxMedium) p = MediumAlloc(a, size);
    else
#endif
        p = LargeAlloc(a, size, zero);
    if (p) ++a->live;
    return p;
}

// Bytes the block can hold.
std::size_t BlockSize(const DocumentArena* a, void* p) {
#ifndef QUARNIX_PLAIN_HEAP
    if (long r = FindRegion(a, p); r >= 0) {
        int cls = a->regions[r].cls;
        if (cls >= 0) return static_cast<std::size_t>(cls + 1) * kGranule;
        return *reinterpret_cast<std::size_t*>(static_cast<char*>(p) - kMediumHeader);
    }
#else
    (void)a;
#endif
    return LargeHeader(p)->bytes;
}
}  // namespace

void* DocAlloc(MarshalDocument* doc, std::size_t size) { return Allocate(doc, size, false); }

void* DocZeroAlloc(MarshalDocument* doc, std::size_t count, std::size_t size) {
    if (size && count > SIZE_MAX / size) {
        ShouldFail();  // still one allocation of the load, for the failure sweep
        ++doc->arena.made;
        return nullptr;
    }
    return Allocate(doc, count * size, true);
}

void* DocRealloc(MarshalDocument* doc, void* block, std::size_t size) {
    if (!block) return DocAlloc(doc, size);
    std::size_t have = BlockSize(&doc->arena, block);
    if (size <= have) return block;
    void* grown = DocAlloc(doc, size);
    if (!grown) return nullptr;
    std::memcpy(grown, block, have);
    DocFree(doc, block);
    return grown;
}

void DocFree(MarshalDocument* doc, void* block) {
    if (!doc || !block) return;
    DocumentArena* a = &doc->arena;
    --a->live;
#ifndef QUARNIX_PLAIN_HEAP
    if (long r = FindRegion(a, block); r >= 0) {
        int cls = a->regions[r].cls;
        if (cls >= 0) {
            ArenaClass& c = a->classes[cls];
            *static_cast<void**>(block) = c.freeList;
            c.freeList = block;
        }
        return;
    }
#endif
    LargeFree(a, LargeHeader(block));
}

void DropArena(DocumentArena* a) {
#ifndef QUARNIX_PLAIN_HEAP
    for (std::size_t i = 0; i < a->regionCount; ++i)
        UnmapPages(reinterpret_cast<void*>(a->regions[i].start), a->regions[i].end - a->regions[i].start);
#endif
    std::free(a->regions);
    while (a->large) LargeFree(a, a->large);
    std::memset(a, 0, sizeof *a);
}

std::size_t DocumentMappedBytes(const MarshalDocument* doc) {
    const DocumentArena* a = &doc->arena;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < a->regionCount; ++i) bytes += a->regions[i].end - a->regions[i].start;
    for (const ArenaLargeBlock* b = a->large; b; b = b->next) bytes += b->mapped;
    return bytes;
}

void SetAllocationFailureAt(long nth) { g_failCountdown.store(nth < 0 ? 0 : nth); }
