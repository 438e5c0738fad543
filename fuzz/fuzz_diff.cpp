// Two documents from one input compared, and every difference read as the
// dump reads it: the first two bytes give the length of the old document,
// the rest after it is the new one.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "compare/compare.h"
#include "compare/diff_reading.h"
#include "compare/diff_units.h"
#include "compare/value_hash.h"
#include "marshal/document.h"
#include "present/find_rows.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    std::size_t first = static_cast<std::size_t>(data[0] | (data[1] << 8));
    data += 2;
    size -= 2;
    if (first > size) first = size / 2;
    auto before = std::make_unique<MarshalDocument>();
    auto after = std::make_unique<MarshalDocument>();
    if (LoadIntoDocumentFromMemory(before.get(), data, first) == 0 &&
        LoadIntoDocumentFromMemory(after.get(), data + first, size - first) == 0) {
        ValueHasher hasher;
        DiffCounter counter;
        VisibleTexts texts;
        CompareDocuments(*before, *after, hasher, [&](const Difference& d) {
            counter.Add(d);
            texts.Add(d, [](const TextChange&) {});
            ForEachDifferenceReading(d, nullptr, nullptr, [](std::u16string_view) {});
            RowTexts row;
            if (d.op != DiffOp::kByPosition && d.newSide.container)
                GetRowTexts(d.newSide.container, d.newSide.position, hasher.Holders(d.newSide.container), row);
            return true;
        });
    }
    ReleaseNode(&before->root);
    ReleaseNode(&after->root);
    return 0;
}
