#include "marshal/pages.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

void* MapPages(std::size_t bytes) {
#if defined(QUARNIX_PLAIN_HEAP)
    return std::calloc(1, bytes);
#elif defined(_WIN32)
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
#else
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
#endif
}

void UnmapPages(void* p, std::size_t bytes) {
    if (!p) return;
#if defined(QUARNIX_PLAIN_HEAP)
    (void)bytes;
    std::free(p);
#elif defined(_WIN32)
    (void)bytes;
    VirtualFree(p, 0, MEM_RELEASE);
#else
    munmap(p, bytes);
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
