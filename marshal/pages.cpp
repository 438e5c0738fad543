#include "marshal/pages.h"

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
#if defined(__linux__) && defined(MADV_POPULATE_WRITE) && !defined(QUARNIX_PLAIN_HEAP)
    auto start = (reinterpret_cast<std::uintptr_t>(p) + kPageBytes - 1) & ~(kPageBytes - 1);
    auto end = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kPageBytes - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
    (void)p;
    (void)bytes;
#endif
}
