// Two documents compared value by value, as a game's makers read them:
// objects of one class by instance-variable name and hashes by key,
// whatever their order; database lists (elements whose `@id` is their
// index) by id; other lists by the longest common subsequence of their
// elements, so a command inserted in a page's list is one addition and
// nothing more.  Differences are handed out as they are found, in the
// order of the new document's tree (a removed value at the place it held).
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "marshal/document.h"
#include "marshal/node.h"

class ValueHasher;

enum class DiffOp : char {
    kChanged = '~',
    kAdded = '+',
    kRemoved = '-',
    // A list too different for the common subsequence within its bound,
    // compared by position instead (said once, before its differences).
    kByPosition = '!',
};

// A value on one side: the container that lists it and its position
// there; no container when the side has no such value.
struct DiffSide {
    const MarshalNode* container = nullptr;
    std::int64_t position = -1;
    const MarshalNode* Node() const { return container ? ChildAt(container, position) : nullptr; }
};

// A pair of matched containers on the way down to a difference; level 0 is
// the two documents' roots (no sides).
struct DiffLevel {
    const MarshalNode* oldNode;
    const MarshalNode* newNode;
    DiffSide oldSide, newSide;
};

struct Difference {
    DiffOp op;
    DiffSide oldSide, newSide;   // for kByPosition: the two lists
    std::u16string_view path;    // NEW's for ~ + and !, OLD's for -
    std::u16string_view oldPath; // OLD's, for every op but +
    std::span<const DiffLevel> levels;  // roots first, down to the containers holding the value
};

enum class CompareStatus : std::uint8_t {
    kDone,
    kStopped,   // the sink returned false, or `cancel` was set
    kNoMemory,
};

struct CompareOptions {
    std::int64_t maxListEdits;         // see kMaxListEdits
    const std::atomic<bool>* cancel;   // polled once per container pair
};
CompareOptions DefaultCompareOptions();

// Calls `sink` for each difference between the two documents' roots; the
// sink returns false to stop.  The difference and what it points to are
// valid during the call only.  `hasher` is the comparison's (its holder
// indexes name links); memory for the walk grows with the depth of the
// documents and the length of the lists on the way, never with the number
// of differences.
CompareStatus CompareDocuments(const MarshalDocument& before, const MarshalDocument& after, ValueHasher& hasher,
                               const std::function<bool(const Difference&)>& sink,
                               const CompareOptions& options = DefaultCompareOptions());

// Whether an array is a database list: every element nil or an object
// whose `@id` is its index, and at least one such object.
bool IsDatabaseList(const MarshalNode* array);
