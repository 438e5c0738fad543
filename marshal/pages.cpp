#include "marshal/pages.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

#if !defined(QUARNIX_PLAIN_HEAP)
namespace {
// Small mappings given back are kept, zeroed, for the next ones, up to
// kCachedBytes in all: a small file's load maps a dozen of them, and a game
// folder's names alone are a dozen loads; mapping and releasing cost more
// than such a load (several times more under Wine).
constexpr std::size_t kMostCachedMapping = std::size_t{256} << 10;
constexpr std::size_t kCachedBytes = std::size_t{4} << 20;
constexpr std::size_t kMostCachedMappings = kCachedBytes / (std::size_t{16} << 10);

struct CachedMapping {
    void* p;
    std::size_t bytes;
};
struct MappingCache {
    std::mutex mutex;
    CachedMapping kept[kMostCachedMappings];
    std::size_t count = 0, bytes = 0;
};
// Never destroyed: documents may still be dropped while the process ends.
MappingCache& Cache() {
    alignas(MappingCache) static unsigned char storage[sizeof(MappingCache)];
    static MappingCache* cache = new (storage) MappingCache;
    return *cache;
}

void* TakeCached(std::size_t bytes) {
    MappingCache& cache = Cache();
    std::lock_guard lock(cache.mutex);
    for (std::size_t i = cache.count; i-- > 0;)
        if (cache.kept[i].bytes == bytes) {
            void* p = cache.kept[i].p;
            cache.kept[i] = cache.kept[--cache.count];
            cache.bytes -= bytes;
            return p;
        }
    return nullptr;
}

bool KeepCached(void* p, std::size_t bytes) {
    if (bytes > kMostCachedMapping) return false;
    MappingCache& cache = Cache();
    auto full = [&cache, bytes] { return cache.count == kMostCachedMappings || cache.bytes + bytes > kCachedBytes; };
    {
        std::lock_guard lock(cache.mutex);
        if (full()) return false;  // not worth zeroing
    }
    std::memset(p, 0, bytes);
    std::lock_guard lock(cache.mutex);
    if (full()) return false;  // filled while this one was zeroed
    cache.kept[cache.count++] = {p, bytes};
    cache.bytes += bytes;
    return true;
}
}  // namespace
#endif

void* MapPages(std::size_t bytes) {
#if defined(QUARNIX_PLAIN_HEAP)
    return std::calloc(1, bytes);
#else
    if (bytes <= kMostCachedMapping)
        if (void* p = TakeCached(bytes)) return p;
#if defined(_WIN32)
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
#else
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
#endif
#endif
}

void UnmapPages(void* p, std::size_t bytes) {
    if (!p) return;
#if defined(QUARNIX_PLAIN_HEAP)
    (void)bytes;
    std::free(p);
#else
    if (KeepCached(p, bytes)) return;
#if defined(_WIN32)
    VirtualFree(p, 0, MEM_RELEASE);
#else
    munmap(p, bytes);
#endif
#endif
}

void MakePagesResident(void* p, std::size_t bytes) {
#if defined(QUARNIX_PLAIN_HEAP)
    (void)p;
    (void)bytes;
#else
    // Only pages wholly inside the range: its neighbours may not be ours.
    auto start = (reinterpret_cast<std::uintptr_t>(p) + kPageBytes - 1) & ~(kPageBytes - 1);
    auto end = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kPageBytes - 1);
    if (end <= start) return;
#if defined(_WIN32)
    // Locking pages brings them all in at once; unlocking leaves them in.
    // A process may lock only a little more than its minimum working set,
    // so a refused piece is tried again in halves, and the size that went
    // through is kept for the next call; below 64 KB the pages come by
    // faults.
    static std::atomic<std::uintptr_t> piece{std::uintptr_t{1} << 20};
    constexpr std::uintptr_t kSmallestPiece = 64 * 1024;
    std::uintptr_t at = start;
    while (at < end) {
        const std::uintptr_t size = std::min(end - at, piece.load(std::memory_order_relaxed));
        void* first = reinterpret_cast<void*>(at);
        if (VirtualLock(first, size)) {
            VirtualUnlock(first, size);
            at += size;
        } else if (size > kSmallestPiece) {
            piece.store(size / 2, std::memory_order_relaxed);
        } else {
            return;
        }
    }
#elif defined(__linux__) && defined(MADV_POPULATE_WRITE)
    madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#endif
#endif
}
