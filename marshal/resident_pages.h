// Making fresh memory resident in one call instead of a page fault per
// page.  A load writes hundreds of megabytes of new memory front to back,
// and each fault costs several microseconds (far more in a virtual machine
// than the page's zeroing); one advice call for many pages costs little
// more than the zeroing.  Where the system has no such advice the pages
// come by faults, as always.
#pragma once
#include <cstddef>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

constexpr std::size_t kResidentPageBytes = 4096;

// The whole pages inside [p, p + bytes).
inline void MakePagesResident(void* p, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    auto start = (reinterpret_cast<std::uintptr_t>(p) + kResidentPageBytes - 1) & ~(kResidentPageBytes - 1);
    auto end = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kResidentPageBytes - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
    (void)p;
    (void)bytes;
#endif
}
