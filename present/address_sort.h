// Sorting records by an address they carry.  Indexes over a document hold
// one record per container or link, millions of them; a radix sort does it
// in a few passes over memory instead of n log n comparisons.
#pragma once
#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

// Least-significant-digit radix sort on `key(record)`, sixteen bits a pass;
// passes over bits that every key shares are skipped.  Stable.  Short
// lists, where clearing the digit counts would cost more than sorting, and
// lists whose scratch memory cannot be had go to std::stable_sort.
template <typename Records, typename Key>
void SortByAddress(Records& records, Key key) {
    using Record = typename Records::value_type;
    constexpr std::size_t kRadixFrom = 4096;
    auto byKey = [&](const Record& a, const Record& b) { return key(a) < key(b); };
    if (records.size() < kRadixFrom) {
        std::stable_sort(records.begin(), records.end(), byKey);
        return;
    }
    try {
        std::uintptr_t all = ~std::uintptr_t{0}, any = 0;
        for (const Record& r : records) {
            all &= key(r);
            any |= key(r);
        }
        Records scratch(records.size());
        std::vector<std::size_t> counts(std::size_t{1} << 16);
        for (unsigned shift = 0; shift < sizeof(std::uintptr_t) * 8; shift += 16) {
            if (((all ^ any) >> shift & 0xFFFF) == 0) continue;  // one digit for all
            std::fill(counts.begin(), counts.end(), 0);
            for (const Record& r : records) ++counts[key(r) >> shift & 0xFFFF];
            std::size_t total = 0;
            for (std::size_t& c : counts) {
                std::size_t n = c;
                c = total;
                total += n;
            }
            for (const Record& r : records) scratch[counts[key(r) >> shift & 0xFFFF]++] = r;
            records.swap(scratch);
        }
    } catch (const std::bad_alloc&) {
        std::stable_sort(records.begin(), records.end(), byKey);
    }
}
