#include "compare/list_match.h"

#include <algorithm>

namespace {
// The middle of the lists, where they differ, found by the greedy forward
// search; the furthest-reaching x of each diagonal is kept for each D so
// the path can be traced back.
bool MatchMiddle(std::span<const std::uint64_t> a, std::span<const std::uint64_t> b, std::int64_t offsetA,
                 std::int64_t offsetB, std::vector<ListEdit>& out, std::int64_t maxEdits) {
    const std::int64_t n = static_cast<std::int64_t>(a.size()), m = static_cast<std::int64_t>(b.size());
    const std::int64_t limit = std::min(n + m, maxEdits);
    // trace[d] holds V for diagonals -d..d (2d+1 cells) as it was after step d.
    std::vector<std::vector<std::int32_t>> trace;  // positions fit: a list counts in 32 bits
    std::vector<std::int64_t> v(static_cast<std::size_t>(2 * limit + 3), 0);
    const std::int64_t center = limit + 1;
    std::int64_t found = -1;
    for (std::int64_t d = 0; d <= limit && found < 0; ++d) {
        for (std::int64_t k = -d; k <= d; k += 2) {
            std::int64_t x;
            if (k == -d || (k != d && v[center + k - 1] < v[center + k + 1])) x = v[center + k + 1];  // down: an addition
            else x = v[center + k - 1] + 1;  // right: a removal
            std::int64_t y = x - k;
            while (x < n && y < m && a[x] == b[y]) ++x, ++y;
            v[center + k] = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
        trace.emplace_back(v.begin() + (center - d), v.begin() + (center + d + 1));
    }
    if (found < 0) return false;
    // Back from (n, m): each step of D came by one edit and a snake.
    std::vector<ListEdit> reversed;
    std::int64_t x = n, y = m;
    for (std::int64_t d = found; d > 0; --d) {
        const std::vector<std::int32_t>& prev = trace[static_cast<std::size_t>(d - 1)];
        auto at = [&](std::int64_t k) -> std::int64_t { return prev[static_cast<std::size_t>(k + d - 1)]; };
        const std::int64_t k = x - y;
        const bool down = k == -d || (k != d && at(k - 1) < at(k + 1));
        const std::int64_t prevK = down ? k + 1 : k - 1;
        const std::int64_t prevX = at(prevK), prevY = prevX - prevK;
        const std::int64_t startX = down ? prevX : prevX + 1;
        if (x > startX) reversed.push_back({ListStep::kSame, offsetA + startX, offsetB + startX - k, x - startX});
        if (down) reversed.push_back({ListStep::kAdded, -1, offsetB + prevY, 1});
        else reversed.push_back({ListStep::kRemoved, offsetA + prevX, -1, 1});
        x = prevX, y = prevY;
    }
    if (x > 0) reversed.push_back({ListStep::kSame, offsetA, offsetB, x});
    // Between two kept runs the removals come first, so a changed element
    // reads as "removed, then added"; neighbouring edits of one kind join.
    auto settle = [&](std::size_t from) {
        std::stable_partition(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(),
                              [](const ListEdit& e) { return e.step == ListStep::kRemoved; });
        std::size_t kept = from;
        for (std::size_t i = from; i < out.size(); ++i) {
            ListEdit& last = out[kept - (kept > from ? 1 : 0)];
            if (kept > from && last.step == out[i].step &&
                (last.step == ListStep::kRemoved ? last.oldIndex + last.length == out[i].oldIndex
                                                 : last.newIndex + last.length == out[i].newIndex)) {
                last.length += out[i].length;
                continue;
            }
            out[kept++] = out[i];
        }
        out.resize(kept);
    };
    std::size_t runStart = out.size();
    for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) {
        if (it->step == ListStep::kSame) {
            settle(runStart);
            out.push_back(*it);
            runStart = out.size();
        } else {
            out.push_back(*it);
        }
    }
    settle(runStart);
    return true;
}
}  // namespace

bool MatchLists(std::span<const std::uint64_t> before, std::span<const std::uint64_t> after,
                std::vector<ListEdit>& script, std::int64_t maxEdits) {
    script.clear();
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    if (head) script.push_back({ListStep::kSame, 0, 0, static_cast<std::int64_t>(head)});
    if (!MatchMiddle(before.subspan(head, before.size() - head - tail), after.subspan(head, after.size() - head - tail),
                     static_cast<std::int64_t>(head), static_cast<std::int64_t>(head), script, maxEdits)) {
        script.clear();
        return false;
    }
    if (tail)
        script.push_back({ListStep::kSame, static_cast<std::int64_t>(before.size() - tail),
                          static_cast<std::int64_t>(after.size() - tail), static_cast<std::int64_t>(tail)});
    return true;
}
