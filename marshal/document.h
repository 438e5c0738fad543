// A document as a value: one record owns everything a load makes.  Its
// nodes, texts and children arrays come from pages that belong to it alone
// (DocumentArena), its side tables for extensions and entry-name symbols
// allocate from the same pages, and the loader's working state (reference
// tables, nesting depth, stream) lives here too.  Two records never share
// state, so two loads can run side by side, on any threads.  Releasing the
// root (ReleaseNode(&doc->root)) drops every page at once.
//
// The one document the viewer shows is present/viewer_document.h's.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "marshal/node.h"
#include "marshal/stream.h"

// MARK: the document's pages (arena.cpp)

constexpr int kArenaClasses = 64;  // small blocks in 8-byte steps up to 512 bytes

struct ArenaClass {
    void* freeList;    // freed blocks, linked through their first word
    char* bump;        // fresh (zero) memory of the class's current slab
    char* bumpEnd;
    char* ready;       // the slab's pages up to here are made resident
    std::uint32_t slabs;  // slabs taken so far: each is larger than the last
};

// A mapped range of small blocks of one class, or of medium blocks (class -1).
struct ArenaRegion {
    std::uintptr_t start;
    std::uintptr_t end;
    int cls;
};

struct ArenaLargeBlock;

struct DocumentArena {
    ArenaClass classes[kArenaClasses];
    ArenaRegion* regions;  // sorted by start
    std::size_t regionCount;
    std::size_t regionCapacity;
    char* mediumBump;      // fresh memory of the current medium chunk
    char* mediumEnd;
    char* mediumReady;
    std::uint32_t mediumChunks;
    ArenaLargeBlock* large;  // blocks mapped one by one, linked
    long live;               // blocks allocated and not freed
    long made;               // allocations made since the pages were last dropped
};

// MARK: side tables (side_tables.cpp)

struct SideSlot {
    const void* key;
    MarshalNode* value;
};

// Open addressing with linear probing; no tombstones, so re-keying a moved
// record (remove, then insert) never needs room.
struct SideTable {
    SideSlot* slots;
    std::uint32_t capacity;  // a power of two, or 0
    std::uint32_t count;
};

// MARK: the loader's working state (load.cpp)

// Reference tables of the dump being read: entry k is the node that took
// object (symbol) number k.  They do not own the nodes.  Entries sit in
// chunks of kNodeTableChunk, so the table grows without copying what it
// holds (a map file registers millions of objects).
constexpr std::int32_t kNodeTableChunk = 8192;

struct NodeTable {
    std::int32_t count;
    std::int32_t chunkCount;     // chunks allocated: room for chunkCount * kNodeTableChunk
    std::int32_t chunkCapacity;  // of the chunk list
    MarshalNode*** chunks;

    MarshalNode* At(std::int32_t k) const { return chunks[k / kNodeTableChunk][k % kNodeTableChunk]; }
};

struct LoaderState {
    NodeTable objects;
    NodeTable symbols;
    std::int64_t rootCapacity;  // room for top-level values (root.count used)
    int depth;
    int maxDepth;
    int depthLimit;
    // The top-level node of the dump being read, and whether any dump so far
    // holds a link to its own top-level node (which moves when the root grows).
    const MarshalNode* currentTop;
    bool topLinked;
};

// MARK: the record

struct MarshalDocument {
    MarshalNode root;        // '[': one value per dump, in file order
    std::uint16_t id;        // the number its nodes carry while it holds pages
    DocumentArena arena;
    SideTable extensions;    // node -> the module symbol extending it
    SideTable nameSymbols;   // entry -> the symbol it owns for its name
    MarshalStream stream;
    LoaderState loader;
    int loadedDepth;         // deepest nesting of the last load
    std::size_t readChunk;   // bytes a refill brings in; 0: the default
    // Progress and cancel, for a load running on another thread: the bytes
    // read so far and the file's size (0 when it tells none, as a pipe).
    // Setting `cancel` makes the next refill end the load with
    // kLoadCancelled; the caller clears it before a load.
    std::atomic<std::uint64_t> bytesRead;
    std::atomic<std::uint64_t> bytesTotal;
    std::atomic<bool> cancel;
    // Bytes of pages the load may map before it ends with kLoadNoMemory;
    // 0: no bound but the system's.  Checked at each refill, so a load
    // overshoots it by at most what one chunk of input can build.
    std::size_t memoryLimit;
};

// Loads every dump of the open file into the document (released, or never
// loaded) and closes the file.  After a failure the caller releases it; it
// holds everything that was built.  Results as for LoadDocument.
int LoadIntoDocument(MarshalDocument* doc, std::FILE* file);
int LoadIntoDocumentFromMemory(MarshalDocument* doc, const void* data, std::size_t size);
// Drops all the document's pages; the record can load again.
void ReleaseDocumentPages(MarshalDocument* doc);

// The document whose pages hold the node (none for a node of no document).
MarshalDocument* DocumentOf(const MarshalNode* node);

// Allocations made by the document's last load (for the failure sweep).
long DocumentAllocationCount(const MarshalDocument* doc);
// Blocks the document holds now.
long DocumentLiveBlocks(const MarshalDocument* doc);
// Bytes the document has mapped from the system.
std::size_t DocumentMappedBytes(const MarshalDocument* doc);
