#include "compare/compare.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "compare/list_match.h"
#include "compare/value_hash.h"
#include "lens/node_access.h"
#include "present/access_path.h"

namespace {
// What the walk does with one matched position of a container pair.
enum class Action : std::uint8_t {
    kUndecided,  // matched, not yet looked at
    kNone,     // equal
    kRow,      // a difference of the row itself: changed, added or removed
    kDescend,  // two containers of one kind: their children are compared
};

struct Entry {
    std::int64_t oldPos;  // -1: only the new side has it
    std::int64_t newPos;  // -1: only the old side has it
    Action action;
};

struct Frame {
    std::vector<Entry> entries;  // in the new side's order, removals where they stood
    std::size_t next = 0;        // the next entry to descend into
    std::size_t oldPathLength = 0, newPathLength = 0;
};

bool IsCommand(const MarshalNode* node) {
    const MarshalNode* code = InstanceVariable(node, "code");
    return code && InstanceVariable(node, "parameters");
}

// Whether a removed and an added element between the same kept elements
// are one element changed: values of one kind, and event commands of one
// code (a command whose code changed is another command).
bool Similar(const MarshalNode* a, const MarshalNode* b, ValueHasher& hasher) {
    if (!SameKind(a, b)) return false;
    if (a->type != 'o' || !IsCommand(a) || !IsCommand(b)) return true;
    return hasher.Hash(InstanceVariable(a, "code")) == hasher.Hash(InstanceVariable(b, "code"));
}

class Walk {
public:
    Walk(ValueHasher& hasher, const std::function<bool(const Difference&)>& sink, const CompareOptions& options)
        : hasher_(hasher), sink_(sink), options_(options) {}

    CompareStatus Run(const MarshalNode* before, const MarshalNode* after) {
        levels_.push_back({before, after, {}, {}});
        if (!Enter(true, 0, 0)) return CompareStatus::kStopped;
        while (depth_ > 0) {
            if (options_.cancel && options_.cancel->load(std::memory_order_relaxed)) return CompareStatus::kStopped;
            Frame& top = frames_[depth_ - 1];
            const DiffLevel level = levels_.back();
            const Entry* next = nullptr;
            while (top.next < top.entries.size()) {
                const Entry& e = top.entries[top.next++];
                if (e.action == Action::kDescend) {
                    next = &e;
                    break;
                }
            }
            if (!next) {
                --depth_;
                levels_.pop_back();
                oldPath_.resize(top.oldPathLength);
                newPath_.resize(top.newPathLength);
                continue;
            }
            const DiffSide oldSide{level.oldNode, next->oldPos}, newSide{level.newNode, next->newPos};
            const std::size_t oldLength = oldPath_.size(), newLength = newPath_.size();
            AppendPathLabel(oldPath_, level.oldNode, next->oldPos);
            AppendPathLabel(newPath_, level.newNode, next->newPos);
            levels_.push_back({oldSide.Node(), newSide.Node(), oldSide, newSide});
            if (!Enter(false, oldLength, newLength)) return CompareStatus::kStopped;
        }
        return CompareStatus::kDone;
    }

private:
    // Matches the children of the pair on top of `levels_`, reports the
    // differences of its rows and leaves a frame to descend from.  The path
    // texts already end with the pair's own labels; the lengths are those
    // to go back to when the frame is done.
    bool Enter(bool roots, std::size_t oldPathLength, std::size_t newPathLength) {
        if (frames_.size() <= depth_) frames_.emplace_back();
        Frame& frame = frames_[depth_++];
        frame.entries.clear();
        frame.next = 0;
        const DiffLevel& level = levels_.back();
        const MarshalNode* a = level.oldNode;
        const MarshalNode* b = level.newNode;
        frame.oldPathLength = oldPathLength;
        frame.newPathLength = newPathLength;
        bool byPosition = false;
        switch (b->type) {
        case '[':
            if (roots || (IsDatabaseList(a) && IsDatabaseList(b))) MatchByPosition(frame.entries, a, b);
            else byPosition = !MatchByCommonSubsequence(frame.entries, a, b);
            break;
        case '{': case '}':
            MatchHashes(frame.entries, a, b);
            break;
        case 'o': case 'S': case 'C': case 'I':
            MatchByName(frame.entries, a, b);
            break;
        default:  // 'U': the one value it wraps
            MatchByPosition(frame.entries, a, b);
            break;
        }
        if (byPosition) {
            if (!Report(DiffOp::kByPosition, level.oldSide, level.newSide, newPath_, levels_.size() - 1)) return false;
            MatchByPosition(frame.entries, a, b);
        }
        Decide(frame.entries, a, b);
        // The list shows containers first, then the other values.
        for (int pass = 0; pass < 2; ++pass) {
            for (const Entry& e : frame.entries) {
                if (e.action != Action::kRow) continue;
                const MarshalNode* shown = e.newPos >= 0 ? ChildAt(b, e.newPos) : ChildAt(a, e.oldPos);
                if (IsContainerType(shown->type) != (pass == 0)) continue;
                if (!ReportRow(e, a, b)) return false;
            }
        }
        return true;
    }

    bool ReportRow(const Entry& e, const MarshalNode* a, const MarshalNode* b) {
        const std::size_t oldLength = oldPath_.size(), newLength = newPath_.size();
        DiffOp op = e.oldPos < 0 ? DiffOp::kAdded : e.newPos < 0 ? DiffOp::kRemoved : DiffOp::kChanged;
        DiffSide oldSide, newSide;
        if (e.oldPos >= 0) {
            oldSide = {a, e.oldPos};
            AppendPathLabel(oldPath_, a, e.oldPos);
        }
        if (e.newPos >= 0) {
            newSide = {b, e.newPos};
            AppendPathLabel(newPath_, b, e.newPos);
        }
        bool go = Report(op, oldSide, newSide, op == DiffOp::kRemoved ? oldPath_ : newPath_, levels_.size());
        oldPath_.resize(oldLength);
        newPath_.resize(newLength);
        return go;
    }

    bool Report(DiffOp op, DiffSide oldSide, DiffSide newSide, const std::u16string& path, std::size_t levelCount) {
        Difference d{op, oldSide, newSide, path, oldPath_, std::span<const DiffLevel>(levels_.data(), levelCount)};
        return sink_(d);
    }

    // Sets each entry's action from the pair of values it matched.
    void Decide(std::vector<Entry>& entries, const MarshalNode* a, const MarshalNode* b) {
        for (Entry& e : entries) {
            if (e.action != Action::kUndecided) continue;
            e.action = Action::kNone;
            if (e.oldPos < 0 || e.newPos < 0) {
                e.action = Action::kRow;
                continue;
            }
            const MarshalNode* x = ChildAt(a, e.oldPos);
            const MarshalNode* y = ChildAt(b, e.newPos);
            if (ComparedByChildren(x) && ComparedByChildren(y) && SameKind(x, y)) e.action = Action::kDescend;
            else if (!hasher_.Equal(x, y)) e.action = Action::kRow;
        }
    }

    static void MatchByPosition(std::vector<Entry>& entries, const MarshalNode* a, const MarshalNode* b) {
        entries.clear();
        const std::int64_t n = ChildCount(a), m = ChildCount(b);
        entries.reserve(static_cast<std::size_t>(std::max(n, m)));
        for (std::int64_t i = 0; i < std::max(n, m); ++i)
            entries.push_back({i < n ? i : -1, i < m ? i : -1, Action::kUndecided});
    }

    // False when the lists are too far apart for the bound.
    bool MatchByCommonSubsequence(std::vector<Entry>& entries, const MarshalNode* a, const MarshalNode* b) {
        const std::int64_t n = ChildCount(a), m = ChildCount(b);
        hashesA_.resize(static_cast<std::size_t>(n));
        hashesB_.resize(static_cast<std::size_t>(m));
        for (std::int64_t i = 0; i < n; ++i) hashesA_[static_cast<std::size_t>(i)] = hasher_.Hash(ChildAt(a, i));
        for (std::int64_t j = 0; j < m; ++j) hashesB_[static_cast<std::size_t>(j)] = hasher_.Hash(ChildAt(b, j));
        if (!MatchLists(hashesA_, hashesB_, script_, options_.maxListEdits)) return false;
        // The removals and additions between two kept runs pair up in order
        // while the elements are alike: those are changed elements.  Kept
        // elements are equal and need no entry.
        std::size_t i = 0;
        while (i < script_.size()) {
            if (script_[i].step == ListStep::kSame) {
                ++i;
                continue;
            }
            removed_.clear();
            added_.clear();
            for (; i < script_.size() && script_[i].step != ListStep::kSame; ++i) {
                const ListEdit& e = script_[i];
                for (std::int64_t k = 0; k < e.length; ++k) {
                    if (e.step == ListStep::kRemoved) removed_.push_back(e.oldIndex + k);
                    else added_.push_back(e.newIndex + k);
                }
            }
            for (std::size_t k = 0; k < std::max(removed_.size(), added_.size()); ++k) {
                const bool r = k < removed_.size(), s = k < added_.size();
                if (r && s && Similar(ChildAt(a, removed_[k]), ChildAt(b, added_[k]), hasher_)) {
                    entries.push_back({removed_[k], added_[k], Action::kUndecided});
                    continue;
                }
                if (r) entries.push_back({removed_[k], -1, Action::kRow});
                if (s) entries.push_back({-1, added_[k], Action::kRow});
            }
        }
        return true;
    }

    // The merged order of a keyed match: the new side's entries in order,
    // each old entry left unmatched at the place it held (before the first
    // new entry matched to an old entry after it).  `found[j]` is the old
    // entry matched to new entry j, or -1; positions come from `at`.
    template <typename Position>
    void MergeMatched(std::vector<Entry>& entries, const std::vector<std::int64_t>& found, std::int64_t oldCount,
                             Position at) {
        std::vector<bool>& matched = matched_;
        matched.assign(static_cast<std::size_t>(oldCount), false);
        for (std::int64_t f : found)
            if (f >= 0) matched[static_cast<std::size_t>(f)] = true;
        std::int64_t cursor = 0;
        auto flush = [&](std::int64_t before) {
            for (; cursor < before; ++cursor)
                if (!matched[static_cast<std::size_t>(cursor)]) entries.push_back({at(cursor), -1, Action::kRow});
        };
        for (std::size_t j = 0; j < found.size(); ++j) {
            if (found[j] >= 0) flush(found[j]);
            entries.push_back({found[j] >= 0 ? at(found[j]) : -1, at(static_cast<std::int64_t>(j)), Action::kUndecided});
        }
        flush(oldCount);
    }

    void MatchByName(std::vector<Entry>& entries, const MarshalNode* a, const MarshalNode* b) {
        const std::int64_t n = a->count, m = b->count;
        // Buffers kept between containers: a map holds a million objects.
        std::vector<bool>& taken = taken_;
        taken.assign(static_cast<std::size_t>(n), false);
        std::vector<std::int64_t>& found = found_;
        found.assign(static_cast<std::size_t>(m), -1);
        std::unordered_map<std::string_view, std::int64_t> byName;
        const bool large = n > 32;
        if (large)
            for (std::int64_t i = n - 1; i >= 0; --i) byName[a->data.attrs[i].name] = i;
        for (std::int64_t j = 0; j < m; ++j) {
            const char* name = b->data.attrs[j].name;
            std::int64_t f = -1;
            if (large) {
                auto it = byName.find(name);
                if (it != byName.end() && !taken[static_cast<std::size_t>(it->second)]) f = it->second;
            } else {
                for (std::int64_t i = 0; i < n && f < 0; ++i)
                    if (!taken[static_cast<std::size_t>(i)] && std::strcmp(a->data.attrs[i].name, name) == 0) f = i;
            }
            if (f >= 0) taken[static_cast<std::size_t>(f)] = true;
            found[static_cast<std::size_t>(j)] = f;
        }
        MergeMatched(entries, found, n, [](std::int64_t i) { return i; });
    }

    // Pairs by key, each shown by its value: a hash entry added or removed
    // is one line, at its value's path.  The default value of a '}' hash
    // comes first, as it is listed.
    void MatchHashes(std::vector<Entry>& entries, const MarshalNode* a, const MarshalNode* b) {
        const std::int64_t first = b->type == '}' ? 1 : 0;  // both are of b's type
        if (first) entries.push_back({0, 0, Action::kUndecided});
        const std::int64_t n = a->count, m = b->count;
        struct Key {
            std::uint64_t hash;
            std::int64_t pair;
        };
        std::vector<Key> keys(static_cast<std::size_t>(n));
        for (std::int64_t p = 0; p < n; ++p) keys[static_cast<std::size_t>(p)] = {hasher_.Hash(ChildAt(a, first + 2 * p)), p};
        std::sort(keys.begin(), keys.end(), [](const Key& x, const Key& y) {
            return x.hash != y.hash ? x.hash < y.hash : x.pair < y.pair;
        });
        // Buffers kept between containers: a map holds a million objects.
        std::vector<bool>& taken = taken_;
        taken.assign(static_cast<std::size_t>(n), false);
        std::vector<std::int64_t>& found = found_;
        found.assign(static_cast<std::size_t>(m), -1);
        for (std::int64_t q = 0; q < m; ++q) {
            const std::uint64_t h = hasher_.Hash(ChildAt(b, first + 2 * q));
            auto it = std::lower_bound(keys.begin(), keys.end(), h, [](const Key& k, std::uint64_t v) { return k.hash < v; });
            while (it != keys.end() && it->hash == h && taken[static_cast<std::size_t>(it->pair)]) ++it;
            if (it == keys.end() || it->hash != h) continue;
            taken[static_cast<std::size_t>(it->pair)] = true;
            found[static_cast<std::size_t>(q)] = it->pair;
        }
        MergeMatched(entries, found, n, [first](std::int64_t pair) { return first + 2 * pair + 1; });
    }

    ValueHasher& hasher_;
    const std::function<bool(const Difference&)>& sink_;
    const CompareOptions& options_;
    std::vector<Frame> frames_;  // kept for their entries' memory; depth_ in use
    std::size_t depth_ = 0;
    std::vector<DiffLevel> levels_;
    std::u16string oldPath_, newPath_;
    std::vector<std::uint64_t> hashesA_, hashesB_;
    std::vector<ListEdit> script_;
    std::vector<std::int64_t> removed_, added_;
    std::vector<bool> matched_, taken_;
    std::vector<std::int64_t> found_;
};
}  // namespace

CompareOptions DefaultCompareOptions() { return {kMaxListEdits, nullptr}; }

bool IsDatabaseList(const MarshalNode* array) {
    if (!array || array->type != '[') return false;
    bool any = false;
    for (std::int64_t i = 0; i < ChildCount(array); ++i) {
        const MarshalNode* e = ChildAt(array, i);
        if (e->type == '0') continue;
        std::int64_t id;
        if (e->type != 'o' || !IntegerValue(InstanceVariable(e, "id"), id) || id != i) return false;
        any = true;
    }
    return any;
}

CompareStatus CompareDocuments(const MarshalDocument& before, const MarshalDocument& after, ValueHasher& hasher,
                               const std::function<bool(const Difference&)>& sink, const CompareOptions& options) {
    try {
        Walk walk(hasher, sink, options);
        return walk.Run(&before.root, &after.root);
    } catch (const std::bad_alloc&) {
        return CompareStatus::kNoMemory;
    }
}
