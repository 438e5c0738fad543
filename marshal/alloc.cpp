#include "marshal/alloc.h"

#include <cstdlib>

namespace {
long g_failCountdown = 0;   // 0: never fail
long g_live = 0;

bool ShouldFail() {
    if (g_failCountdown == 0) return false;
    return --g_failCountdown == 0;
}
}  // namespace

void* MarshalAlloc(std::size_t size) {
    if (ShouldFail()) return nullptr;
    void* p = std::malloc(size ? size : 1);
    if (p) ++g_live;
    return p;
}

void* MarshalZeroAlloc(std::size_t count, std::size_t size) {
    if (ShouldFail()) return nullptr;
    void* p = std::calloc(count ? count : 1, size ? size : 1);
    if (p) ++g_live;
    return p;
}

void* MarshalRealloc(void* block, std::size_t size) {
    if (ShouldFail()) return nullptr;
    void* p = std::realloc(block, size ? size : 1);
    if (p && !block) ++g_live;
    return p;
}

void MarshalFree(void* block) {
    if (!block) return;
    --g_live;
    std::free(block);
}

void SetAllocationFailureAt(long nth) { g_failCountdown = nth; }
long LiveAllocationCount() { return g_live; }
