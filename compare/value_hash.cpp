#include "compare/value_hash.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <string_view>
#include <vector>

namespace {
std::uint64_t Mix(std::uint64_t x) {
    // The finaliser of splitmix64: every input bit reaches every output bit.
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ull;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

std::uint64_t Combine(std::uint64_t h, std::uint64_t v) { return Mix(h ^ (v + 0x9e3779b97f4a7c15ull + (h << 6))); }

// Eight bytes a step: tables and scripts run to hundreds of kilobytes.
std::uint64_t HashBytes(std::uint64_t seed, const char* p, std::size_t n) {
    std::uint64_t h = Mix(seed ^ n);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        h = (h ^ Mix(w)) * 0x9fb21c651e98df25ull;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, p + i, n - i);
    return Mix(h ^ tail ^ (n - i) << 59);
}

std::uint64_t HashText(std::uint64_t seed, const char* text) {
    return text ? HashBytes(seed, text, std::strlen(text)) : Mix(seed + 1);
}

std::string_view KindName(const MarshalNode* n) {
    switch (n->type) {
    case 'o': case 'S': case 'C': case 'I': case 'u': case 'U': case 'c': case 'm':
        return n->name ? std::string_view(n->name) : std::string_view();
    default:
        return {};
    }
}

std::string_view ExtensionName(const MarshalNode* n) {
    if (!(n->flags & kNodeExtended)) return {};
    const MarshalNode* e = NodeExtension(n);
    return e && e->name ? std::string_view(e->name) : std::string_view();
}

bool IsEncodingEntry(const char* name) { return std::strcmp(name, "E") == 0 || std::strcmp(name, "encoding") == 0; }

// The bytes a string-like value compares by.
std::string_view StringOf(const MarshalNode* n) {
    if (n->type == 'I') n = &n->data.attrs[0].value;
    return {n->data.bytes ? n->data.bytes : "", static_cast<std::size_t>(n->count)};
}

// The i-th child of a container for hashing: pairs and entries are taken
// together, so their order does not count.
}  // namespace

bool IsStringLike(const MarshalNode* node) {
    if (node->type == '"') return true;
    if (node->type != 'I' || node->count < 1 || node->data.attrs[0].value.type != '"') return false;
    if (node->flags & kNodeExtended) return false;
    for (std::int32_t i = 1; i < node->count; ++i)
        if (!IsEncodingEntry(node->data.attrs[i].name)) return false;
    return true;
}

bool ComparedByChildren(const MarshalNode* node) { return IsContainerType(node->type) && !IsStringLike(node); }

bool SameKind(const MarshalNode* a, const MarshalNode* b) {
    if (IsStringLike(a) && IsStringLike(b)) return true;
    return a->type == b->type && KindName(a) == KindName(b) && ExtensionName(a) == ExtensionName(b);
}

ValueHasher::ValueHasher() {
    std::random_device random;
    seed_ = (std::uint64_t{random()} << 32) ^ random();
}

ValueHasher::~ValueHasher() { std::free(slots_); }

bool ValueHasher::Lookup(const MarshalNode* node, std::uint64_t& hash) const {
    if (!capacity_) return false;
    std::size_t i = Mix(reinterpret_cast<std::uintptr_t>(node)) & (capacity_ - 1);
    for (;; i = (i + 1) & (capacity_ - 1)) {
        if (slots_[i].node == node) {
            hash = slots_[i].hash;
            return true;
        }
        if (!slots_[i].node) return false;
    }
}

void ValueHasher::Store(const MarshalNode* node, std::uint64_t hash) {
    if (count_ == kMaxKept) {
        // Full: start afresh.  What is still needed is what was hashed
        // last (the hashes of a list's elements come after their insides),
        // and the rest is hashed again if it is ever asked for.
        std::memset(slots_, 0, capacity_ * sizeof(Slot));
        count_ = 0;
    }
    if ((count_ + 1) * 2 > capacity_) {
        std::size_t capacity = capacity_ ? capacity_ * 2 : 1024;
        auto* slots = static_cast<Slot*>(std::calloc(capacity, sizeof(Slot)));
        if (!slots) throw std::bad_alloc();
        for (std::size_t k = 0; k < capacity_; ++k) {
            if (!slots_[k].node) continue;
            std::size_t i = Mix(reinterpret_cast<std::uintptr_t>(slots_[k].node)) & (capacity - 1);
            while (slots[i].node) i = (i + 1) & (capacity - 1);
            slots[i] = slots_[k];
        }
        std::free(slots_);
        slots_ = slots;
        capacity_ = capacity;
    }
    std::size_t i = Mix(reinterpret_cast<std::uintptr_t>(node)) & (capacity_ - 1);
    while (slots_[i].node) i = (i + 1) & (capacity_ - 1);
    slots_[i] = {node, hash};
    ++count_;
}

std::uint64_t ValueHasher::NameHash(const char* name) {
    // Entry names are borrowed from the document's symbols: one pointer per
    // name, so a few slots keyed by address spare hashing the same text.
    NameSlot& slot = names_[(reinterpret_cast<std::uintptr_t>(name) >> 3) % kNameSlots];
    if (slot.name != name) slot = {name, HashText(seed_, name)};
    return slot.hash;
}

const HolderIndex& ValueHasher::Holders(const MarshalNode* node) {
    const MarshalDocument* doc = DocumentOf(node);
    if (!doc) return none_;
    for (DocumentHolders& h : holders_) {
        if (h.doc == doc) return h.holders;
        if (!h.doc) {
            if (!h.holders.Build(&doc->root)) throw std::bad_alloc();
            h.doc = doc;
            return h.holders;
        }
    }
    return none_;  // a third document: no comparer reads one
}

std::uint64_t ValueHasher::LinkHash(const MarshalNode* link) {
    scratch_.clear();
    const MarshalNode* target = link->data.target;
    if (target) Holders(target).AppendPath(scratch_, target);
    return HashBytes(seed_ ^ '@', reinterpret_cast<const char*>(scratch_.data()), scratch_.size() * sizeof(char16_t));
}

std::uint64_t ValueHasher::Scalar(const MarshalNode* n) {
    if (IsStringLike(n)) {
        std::string_view s = StringOf(n);
        return HashBytes(seed_ ^ '"', s.data(), s.size());
    }
    std::uint64_t h = Mix(seed_ + n->type);
    switch (n->type) {
    case 'i':
        return Combine(h, static_cast<std::uint64_t>(static_cast<std::int64_t>(FixnumValue(n))));
    case 'l':
        return Combine(h, HashBytes(seed_, n->data.bytes, static_cast<std::size_t>(n->count)));
    case 'f': {
        // By value: the bytes some files keep after the NUL of a float's
        // text, and the spelling of its digits, make no difference.
        if (n->class_symbol.marker) return Combine(h, static_cast<std::uint64_t>(n->class_symbol.marker));
        double v = n->data.real;
        if (std::isnan(v)) return Combine(h, 1);
        if (v == 0) v = 0;  // -0.0 and 0.0 are one value
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        return Combine(h, bits);
    }
    case '/':
        return Combine(h, HashText(seed_, n->data.bytes));
    case ':': case ';': case 'c': case 'm':
        return Combine(h, HashText(seed_, n->name));
    case 'u':
        return Combine(Combine(h, HashText(seed_, n->name)),
                       HashBytes(seed_, n->data.bytes, static_cast<std::size_t>(n->count)));
    case '@': {
        // A link to a string, a float or another value without insides is
        // that value, as the list shows it, wherever it lies; a link to a
        // container is its target's path (the target may hold the link).
        const MarshalNode* target = n->data.target;
        if (target && target->type != '@' && !ComparedByChildren(target)) return Scalar(target);
        return Combine(h, LinkHash(n));
    }
    default:
        return h;  // nil, true, false
    }
}

std::uint64_t ValueHasher::Hash(const MarshalNode* node) {
    if (!ComparedByChildren(node)) {
        std::uint64_t h = Scalar(node);
        if (std::string_view ext = ExtensionName(node); !ext.empty()) h = Combine(h, HashBytes(seed_, ext.data(), ext.size()));
        return h;
    }
    std::uint64_t known;
    if (Lookup(node, known)) return known;
    // Post-order over the containers: a frame sums its children's hashes,
    // mixed with their position in an array or their key or name elsewhere,
    // so objects and hashes hash alike in any order.
    std::vector<Open>& stack = stack_;
    stack.clear();
    stack.push_back({node, 0, ChildCount(node), 0, 0, 1});
    // Adds child i's hash to its container's sum, placed where it sits: its
    // position in arrays and wrappers of one value, its name in entries, its
    // pair's key in hashes (a key is placed by itself).
    auto account = [&](Open& top, std::int64_t i, std::uint64_t h) {
        const MarshalNode* c = top.node;
        std::uint64_t place;
        if (IsEntryListType(c->type)) {
            place = NameHash(c->data.attrs[i].name);
        } else if (c->type == '{' || (c->type == '}' && i > 0)) {
            const bool isKey = c->type == '{' ? i % 2 == 0 : i % 2 == 1;
            if (isKey) {
                place = 0x4b4559;
                top.key = h;
            } else {
                place = top.key;
            }
        } else {
            place = static_cast<std::uint64_t>(i);
        }
        top.acc += Combine(place, h);
    };
    for (;;) {
        Open& top = stack.back();
        const MarshalNode* c = top.node;
        const std::int64_t count = top.count;
        if (top.next < count) {
            const std::int64_t i = top.next++;
            const MarshalNode* child = IsEntryListType(c->type) ? &c->data.attrs[i].value : &c->data.nodes[i];
            std::uint64_t h;
            if (!ComparedByChildren(child)) {
                h = Hash(child);
                ++top.size;
            } else if (!Lookup(child, h)) {
                stack.push_back({child, 0, ChildCount(child), 0, 0, 1});
                continue;
            }
            account(top, i, h);
            continue;
        }
        std::uint64_t h = Combine(Combine(Mix(seed_ + c->type), static_cast<std::uint64_t>(count)), top.acc);
        if (std::string_view kind = KindName(c); !kind.empty()) h = Combine(h, HashBytes(seed_, kind.data(), kind.size()));
        if (std::string_view ext = ExtensionName(c); !ext.empty()) h = Combine(h, HashBytes(seed_, ext.data(), ext.size()));
        const std::uint64_t size = top.size;
        // Small values are hashed again faster than they are looked up in a
        // large table: only values with enough inside are kept.
        if (size >= kKeptFromSize) Store(c, h);
        stack.pop_back();
        if (stack.empty()) return h;
        Open& parent = stack.back();
        parent.size += size;
        account(parent, parent.next - 1, h);
    }
}
