// What the preview shows of one difference while a comparison is shown,
// decided once for every front end: a script's changed lines with some
// lines around them, an event page's commands with the inserted and removed
// ones, a table's layer with its changed cells and a heat map of them, a
// colour or tone as two swatches, anything else old above new.  The front
// ends only draw these records.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "compare/compare.h"
#include "ui/preview_view.h"

struct StoredDifference;

// The event pages a difference lies in (the innermost command lists on the
// way down, both sides) and the positions of its command in each; none
// when it lies in no page.
struct ComparedPage {
    const MarshalNode* before = nullptr;
    const MarshalNode* after = nullptr;
    std::int64_t oldAt = -1, newAt = -1;
};
ComparedPage DifferencePage(const Difference& d);

enum class CompareLineKind : std::uint8_t { kSame, kRemoved, kAdded };

// A line of either side: its numbers on the old and new side (0 where the
// side has it not) and its text.
struct CompareLine {
    CompareLineKind kind = CompareLineKind::kSame;
    std::int64_t oldNumber = 0, newNumber = 0;
    std::u16string text;
};

enum class ComparePage : std::uint8_t {
    kLines,     // `lines`: a script, an event page, or old above new
    kTable,     // `before` and `after` of one size, `layer` shown first
    kSwatches,  // `oldSwatch` and `newSwatch` with their texts
};

struct CompareView {
    ComparePage page = ComparePage::kLines;
    std::u16string header;
    std::vector<CompareLine> lines;
    int focus = -1;  // the line brought into sight: the difference's first
    bool ruby = false;
    PreviewTable before, after;
    int layer = 0;
    std::int64_t changedCells = 0;
    Rgba oldSwatch{0, 0, 0, 0}, newSwatch{0, 0, 0, 0};
    std::u16string oldText, newText;
};

// Unchanged lines kept on either side of a script's changed ones.
constexpr int kContextLines = 3;
// Old above new shows at most this many lines of each side.
constexpr std::size_t kMostSideLines = 2000;

CompareView MakeCompareView(const StoredDifference& d);

// The background of a removed or added line, 0xRRGGBB; 0 for a line both
// sides have (the text page's own background).
std::uint32_t CompareLineBackground(CompareLineKind kind);

// A line as both front ends print it: both numbers right-aligned in
// `width` digits each (blank where the side has none), the marker
// ("-", "+" or a space) and the text.
std::u16string CompareLineText(const CompareLine& line, int width);
// The digits of the largest number among the lines, at least 1.
int CompareNumberWidth(const std::vector<CompareLine>& lines);

// Whether a cell differs between two tables of one size.
bool CellChanged(const PreviewTable& before, const PreviewTable& after, int x, int y, int z);
// The heat map of a layer's changes: unchanged cells in dim greys after
// their values (zero black), changed ones bright red, every changed cell
// seen however the layer is sampled (at most 400 x 400, as TableHeatMap).
PreviewPicture ChangeHeatMap(const PreviewTable& before, const PreviewTable& after, int layer);

// The difference the preview is about: the one 下一处差异 reached while the
// panes still show it, else the one at the selected row (or the event
// page's selected command, or the selected container); none without a
// comparison shown.
const StoredDifference* CurrentPreviewDifference(const PreviewTarget& target);
