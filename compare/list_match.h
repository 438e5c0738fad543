// Two lists matched by their longest common subsequence: Myers's O(ND)
// algorithm over the elements' hashes, after the common head and tail are
// trimmed, with the number of edits D capped so that two unrelated long
// lists cost a bounded time.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

// One run of the edit script, in list order.
enum class ListStep : std::uint8_t {
    kSame,     // old[i..] and new[j..] are equal
    kRemoved,  // old[i..] are not in the new list
    kAdded,    // new[j..] are not in the old list
};

struct ListEdit {
    ListStep step;
    std::int64_t oldIndex;  // the run's first; -1 for kAdded
    std::int64_t newIndex;  // the run's first; -1 for kRemoved
    std::int64_t length;    // elements in the run, at least 1
};

// The largest D the comparison searches for: 2,000 edits need at most
// 4 million cells of working memory.  Two lists further apart than that are
// compared by position instead.
constexpr std::int64_t kMaxListEdits = 2000;

// The edit script turning `before` into `after`, as runs: removals before
// additions where both fall between the same two kept runs.  A million
// equal elements are one run, so the script stays as small as the edits.  False when more than
// `maxEdits` edits would be needed (the script is then empty).  Throws
// std::bad_alloc when memory runs out.
bool MatchLists(std::span<const std::uint64_t> before, std::span<const std::uint64_t> after,
                std::vector<ListEdit>& script, std::int64_t maxEdits = kMaxListEdits);
