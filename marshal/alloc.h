// Heap allocation for the document.  Every allocation of a load goes through
// these, so that a test can make the N-th one fail and count what is live.
#pragma once
#include <cstddef>

void* MarshalAlloc(std::size_t size);
void* MarshalZeroAlloc(std::size_t count, std::size_t size);
void* MarshalRealloc(void* block, std::size_t size);
void MarshalFree(void* block);

// Test hooks: make the nth allocation from now fail (1-based; 0 = never), and
// read how many blocks are currently allocated.
void SetAllocationFailureAt(long nth);
long LiveAllocationCount();
