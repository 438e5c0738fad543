// Values of two documents compared whole: a 64-bit hash of each value, in
// which equal values hash alike whatever the order of an object's instance
// variables or a hash's pairs.  A link to a string or another value without
// insides stands for that value; a link to a container, for its target's
// access path.  The comparison of lists matches elements by these hashes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "marshal/document.h"
#include "marshal/node.h"
#include "present/holder_index.h"

// A string, or a string wrapped only to carry its encoding ('I' with `E` or
// `encoding`): compared by its bytes, so a file written by Ruby 1.8 and the
// same file written again by Ruby 3 hold equal strings.
bool IsStringLike(const MarshalNode* node);

// Whether two values are of one kind, so that their children can be
// matched: the same type and the same class (and the same module extending
// them).  Strings are never containers here.
bool SameKind(const MarshalNode* a, const MarshalNode* b);

// Whether a value is compared child by child rather than whole.
bool ComparedByChildren(const MarshalNode* node);

// Hashes of the values of two documents.  The seed is drawn afresh for each
// comparer, so no file can be made to collide on purpose; two values are
// taken as equal when their hashes are.  The hashes of large containers are
// kept (up to kMaxKept of them), so a value nested in many compared lists is
// hashed a bounded number of times, however deep the nesting.
class ValueHasher {
public:
    ValueHasher();
    ValueHasher(const ValueHasher&) = delete;
    ValueHasher& operator=(const ValueHasher&) = delete;
    ~ValueHasher();

    // The hash of the value and everything below it.  Iterative: values
    // nested a hundred thousand levels deep are hashed on any stack.
    // Throws std::bad_alloc when memory runs out.
    std::uint64_t Hash(const MarshalNode* node);
    bool Equal(const MarshalNode* a, const MarshalNode* b) { return a == b || Hash(a) == Hash(b); }

    // The holder index of a node's document, built on first use (links are
    // compared by their targets' paths, and the list shows a link's path).
    const HolderIndex& Holders(const MarshalNode* node);

private:
    std::uint64_t Scalar(const MarshalNode* node);
    std::uint64_t LinkHash(const MarshalNode* link);
    bool Lookup(const MarshalNode* node, std::uint64_t& hash) const;
    void Store(const MarshalNode* node, std::uint64_t hash);

    std::uint64_t NameHash(const char* name);

    // 65,536 hashes in 2 MB: the table stays in the processor's cache.
    static constexpr std::size_t kMaxKept = std::size_t{1} << 16;
    static constexpr std::uint64_t kKeptFromSize = 32;  // values below it
    struct Open {
        const MarshalNode* node;
        std::int64_t next;
        std::int64_t count;
        std::uint64_t acc;
        std::uint64_t key;   // of a hash: the hash of the pair's key, read just before its value
        std::uint64_t size;  // values below so far, itself included
    };
    std::vector<Open> stack_;
    struct NameSlot {
        const char* name;
        std::uint64_t hash;
    };
    static constexpr std::size_t kNameSlots = 256;
    NameSlot names_[kNameSlots] = {};
    struct Slot {
        const MarshalNode* node;
        std::uint64_t hash;
    };
    Slot* slots_ = nullptr;
    std::size_t capacity_ = 0;  // a power of two, or 0
    std::size_t count_ = 0;
    std::uint64_t seed_;
    struct DocumentHolders {
        const MarshalDocument* doc = nullptr;
        HolderIndex holders;
    };
    DocumentHolders holders_[2];
    HolderIndex none_;
    std::u16string scratch_;
};
