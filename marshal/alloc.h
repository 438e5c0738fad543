// Allocation for a document.  Every allocation of a load goes through these,
// from the document's own pages, so that a test can make the N-th one fail
// and count what is live.  A shrinking reallocation stays in place and is
// no allocation: it cannot fail.
#pragma once
#include <cstddef>

struct MarshalDocument;
struct DocumentArena;

void* DocAlloc(MarshalDocument* doc, std::size_t size);
void* DocZeroAlloc(MarshalDocument* doc, std::size_t count, std::size_t size);
void* DocRealloc(MarshalDocument* doc, void* block, std::size_t size);
// A block of another document, or none, is left alone.
void DocFree(MarshalDocument* doc, void* block);
// Gives every page back to the system.
void DropArena(DocumentArena* arena);

// Test hooks: make the nth allocation from now fail (1-based; 0 = never), and
// read how many blocks all documents hold.
void SetAllocationFailureAt(long nth);
long LiveAllocationCount();
