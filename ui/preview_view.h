// What the preview pane shows, decided once for every front end: the page
// for each kind of reading, the header and problem lines, the text lines,
// the copied table with its heat map, the swatch, the event lines with the
// marked one, and where choosing a line leads.  The front ends only put it
// on their controls.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lens/color_reading.h"
#include "lens/table_reading.h"
#include "ui/preview.h"
#include "ui/window_providers.h"

enum class PreviewPage : std::uint8_t {
    kText,    // `lines`, as Ruby source when `ruby`
    kTable,   // `table`, a layer at a time
    kSwatch,  // `swatch` with `swatchText`
    kEvents,  // `lines`, one per command; `lineChild` the command of each
};

// A table's cells, copied: the preview keeps no pointer into a document
// that a new load releases.
struct PreviewTable {
    int x = 0, y = 0, z = 0;
    std::vector<std::int16_t> cells;  // x fastest, then y, then z
    std::int16_t At(int i, int j, int k) const {
        return cells[static_cast<std::size_t>(i + std::int64_t{x} * (j + std::int64_t{y} * k))];
    }
};

// A picture to draw: rows top down, each pixel 0xffRRGGBB.
struct PreviewPicture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

struct PreviewView {
    PreviewPage page = PreviewPage::kText;
    bool ruby = false;
    std::u16string header;   // the reading's summary, then the path
    std::u16string problem;  // empty: the problem line is hidden
    std::vector<std::u16string> lines;
    std::vector<std::int64_t> lineChild;
    PreviewTable table;
    Rgba swatch{0, 0, 0, 0};
    std::u16string swatchText;
};

// The view of a value (none: the empty text page).
PreviewView MakePreviewView(const MarshalNode* node, const std::u16string& path);

// Follows the current target: a new page for another value, only a moved
// mark for another command of the event page shown.
class PreviewFollower {
public:
    enum class Change : std::uint8_t { kPage, kMark };
    Change Follow(const PreviewTarget& target);
    // A new document (or none): nothing shown may be compared with its nodes.
    void Forget();
    const PreviewView& View() const { return view_; }
    // The line of the marked command; -1 when none is.
    int MarkedLine() const { return marked_; }
    // A user's choice of a line: selects its command's row (SelectPreviewChild)
    // and marks it.  Returns the row, -1 when the line leads nowhere.
    int ChooseLine(int line);
    // The command of an event page's line; none for another page or line.
    const MarshalNode* LineCommand(int line) const;

private:
    void Mark(std::int64_t child);

    const MarshalNode* node_ = nullptr;  // compared; followed only for a line's command
    unsigned namesVersion_ = 0;           // of the names the view was read with
    PreviewView view_;
    int marked_ = -1;
};

// The context menu of a line of the preview: what the window's providers
// offer for its event command (the uses of what it refers to); empty for
// other lines and pages.
std::vector<MenuEntry> PreviewLineMenu(const PreviewFollower& follower, int line);

// A place the find bar's text occurs on the text page, in UTF-16 units of its line.
struct TextMark {
    int line, start, length;
    bool operator==(const TextMark&) const = default;
};
// Every place the text occurs in the lines, in order and apart (the next is
// looked for after the last), with the find bar's case rule; at most
// kMostTextMarks, enough to see.  None for the empty text.
std::vector<TextMark> FindTextMarks(const std::vector<std::u16string>& lines, std::u16string_view text, bool matchCase);
constexpr std::size_t kMostTextMarks = 10000;

// The layer selector's entry: "z = 2".
std::u16string TableLayerName(int layer);
// The heat map of a layer: zero (an empty tile) black, other values from
// blue through green to red over the layer's range; a big layer sampled,
// at most 400 x 400.  Shown scaled into a square of kHeatMapSide.
PreviewPicture TableHeatMap(const PreviewTable& table, int layer);
constexpr int kHeatMapSide = 200;
// The size of a picture scaled to fit a square, keeping its proportions.
void FitInSquare(int width, int height, int side, int& fitWidth, int& fitHeight);
// A colour over a checkerboard, so that its alpha shows, with a grey frame.
PreviewPicture SwatchPicture(const Rgba& colour);
constexpr int kSwatchSide = 64;
