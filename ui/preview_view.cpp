#include "ui/preview_view.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "game/game_folder.h"
#include "lens/node_access.h"
#include "lens/number_text.h"
#include "lens/reading.h"
#include "present/find_rows.h"
#include "ui/viewer.h"

namespace {
std::uint32_t Pixel(int red, int green, int blue) {
    return 0xff000000u | static_cast<std::uint32_t>(red << 16 | green << 8 | blue);
}

void CopyTable(const TableGrid& grid, PreviewTable& table) {
    // Sizes below 2^31 each, their product the byte count over two.
    table.x = static_cast<int>(grid.x);
    table.y = static_cast<int>(grid.y);
    table.z = static_cast<int>(grid.z);
    const std::size_t count = grid.cells.size() / 2;
    table.cells.resize(count);
    // The cells are little-endian, as this machine's own (a copy at once) or not.
    if constexpr (std::endian::native == std::endian::little) {
        if (count) std::memcpy(table.cells.data(), grid.cells.data(), count * 2);
    } else {
        for (std::size_t i = 0; i < count; ++i)
            table.cells[i] = static_cast<std::int16_t>(static_cast<unsigned char>(grid.cells[2 * i]) |
                                                       (static_cast<unsigned char>(grid.cells[2 * i + 1]) << 8));
    }
}

// The colour at `hue` degrees, saturation 220 and value 235 of 255.
std::uint32_t RampColour(int hue) {
    const double s = 220 / 255.0, v = 235 / 255.0, h = hue / 60.0;
    const int sector = std::min(static_cast<int>(h), 5);
    const double f = h - sector, p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    double r = v, g = t, b = p;
    switch (sector) {
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    case 5: r = v, g = p, b = q; break;
    default: break;
    }
    auto c = [](double x) { return static_cast<int>(std::lround(x * 255)); };
    return Pixel(c(r), c(g), c(b));
}
// A map's value says which map it is, by its file's number ("Map086.rxdata"),
// and where it sits in the map tree when the names are known.
void AppendMapHeader(std::u16string& header, const MarshalNode* node, const GameNames* names) {
    const MarshalNode* map = Unwrapped(node);
    std::int64_t id = 0;
    if (!map || map->type != 'o' || ClassName(map) != "RPG::Map" ||
        !IsNumberedFile(std::filesystem::path(std::u16string(DocumentPath)).filename(), "Map", &id))
        return;
    std::u16string title, place;
    AppendMapHeading(title, place, id, names);
    header += u"　　" + title;
    if (!place.empty()) header += u"　" + place;
}
}  // namespace

PreviewView MakePreviewView(const MarshalNode* node, const std::u16string& path) {
    PreviewView view;
    if (!node) return view;
    const GameNames* names = ProvidedNames();
    Reading reading = ReadNode(node, names);
    view.header = reading.summary;
    if (!path.empty()) view.header += u"　　" + path;
    AppendMapHeader(view.header, node, names);
    view.problem = reading.problem;
    switch (reading.kind) {
    case ReadingKind::kTable:
        view.page = PreviewPage::kTable;
        CopyTable(reading.table, view.table);
        break;
    case ReadingKind::kColor:
    case ReadingKind::kTone: {
        const bool colour = reading.kind == ReadingKind::kColor;
        view.page = PreviewPage::kSwatch;
        view.swatch = colour ? ColorSwatch(reading.components) : ToneSwatch(reading.components);
        view.swatchText = reading.summary;
        if (!colour) view.swatchText += u"\n（色块为中灰色经此色调调整后的样子）";
        break;
    }
    case ReadingKind::kEventList:
        view.page = PreviewPage::kEvents;
        view.lines = std::move(reading.lines);
        view.lineChild = std::move(reading.lineChild);
        break;
    default:
        view.ruby = reading.kind == ReadingKind::kScript;
        view.lines = std::move(reading.lines);
        break;
    }
    return view;
}

PreviewFollower::Change PreviewFollower::Follow(const PreviewTarget& target) {
    const unsigned names = ProvidedNamesVersion();
    if (target.node && target.node == node_ && names == namesVersion_ && !view_.lineChild.empty()) {
        Mark(target.mark);
        return Change::kMark;
    }
    node_ = target.node;
    namesVersion_ = names;
    view_ = MakePreviewView(target.node, target.path);
    Mark(target.mark);
    return Change::kPage;
}

std::vector<MenuEntry> PreviewLineMenu(const PreviewFollower& follower, int line) {
    std::vector<MenuEntry> menu;
    if (const MarshalNode* command = follower.LineCommand(line))
        AppendProvidedEntries(MenuPlace::kPreviewLine, -1, command, menu);
    return menu;
}

void PreviewFollower::Forget() {
    node_ = nullptr;
    view_ = PreviewView{};
    marked_ = -1;
}

const MarshalNode* PreviewFollower::LineCommand(int line) const {
    if (line < 0 || static_cast<std::size_t>(line) >= view_.lineChild.size() || !node_) return nullptr;
    return ChildAt(Unwrapped(node_), view_.lineChild[static_cast<std::size_t>(line)]);
}

void PreviewFollower::Mark(std::int64_t child) {
    const auto at = std::find(view_.lineChild.begin(), view_.lineChild.end(), child);
    marked_ = child < 0 || at == view_.lineChild.end() ? -1 : static_cast<int>(at - view_.lineChild.begin());
}

int PreviewFollower::ChooseLine(int line) {
    if (line < 0 || static_cast<std::size_t>(line) >= view_.lineChild.size() || !node_) return -1;
    const std::int64_t child = view_.lineChild[static_cast<std::size_t>(line)];
    const int row = SelectPreviewChild(node_, child);
    Mark(child);
    return row;
}

std::vector<TextMark> FindTextMarks(const std::vector<std::u16string>& lines, std::u16string_view text, bool matchCase) {
    std::vector<TextMark> marks;
    if (text.empty()) return marks;
    std::u16string needle(text);
    if (!matchCase)
        for (char16_t& c : needle) c = FoldCase(c);
    const std::size_t n = needle.size();
    for (std::size_t line = 0; line < lines.size(); ++line) {
        const std::u16string& units = lines[line];
        for (std::size_t at = 0; at + n <= units.size();) {
            std::size_t k = 0;
            while (k < n && (matchCase ? units[at + k] : FoldCase(units[at + k])) == needle[k]) ++k;
            if (k < n) {
                ++at;
                continue;
            }
            marks.push_back({static_cast<int>(line), static_cast<int>(at), static_cast<int>(n)});
            if (marks.size() == kMostTextMarks) return marks;
            at += n;
        }
    }
    return marks;
}

std::u16string TableLayerName(int layer) {
    std::u16string name = u"z = ";
    AppendInt(name, layer);
    return name;
}

PreviewPicture TableHeatMap(const PreviewTable& table, int layer) {
    PreviewPicture picture;
    const bool empty = !table.x || !table.y || layer < 0 || layer >= table.z;
    picture.width = empty ? 1 : std::min(table.x, 400);
    picture.height = empty ? 1 : std::min(table.y, 400);
    const int w = picture.width, h = picture.height;
    picture.pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), Pixel(0, 0, 0));
    if (empty) return picture;
    // The sampled cells, gathered once: the pass for the range and the pass
    // for the colours read the same ones.
    std::vector<std::int16_t> values(picture.pixels.size());
    std::vector<std::size_t> column(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x) column[static_cast<std::size_t>(x)] = static_cast<std::size_t>(std::int64_t{x} * table.x / w);
    int low = INT16_MAX, high = INT16_MIN;
    for (int y = 0; y < h; ++y) {
        const std::int16_t* row = &table.cells[static_cast<std::size_t>(
            (std::int64_t{y} * table.y / h + std::int64_t{table.y} * layer) * table.x)];
        std::int16_t* out = &values[static_cast<std::size_t>(y) * static_cast<std::size_t>(w)];
        for (int x = 0; x < w; ++x) {
            const int v = out[x] = row[column[static_cast<std::size_t>(x)]];
            if (v) low = std::min(low, v), high = std::max(high, v);
        }
    }
    std::uint32_t ramp[256];
    for (int i = 0; i < 256; ++i) ramp[i] = RampColour(240 - i * 240 / 255);
    for (std::size_t i = 0; i < values.size(); ++i)
        if (const int v = values[i]) picture.pixels[i] = ramp[high > low ? (v - low) * 255 / (high - low) : 255];
    return picture;
}

void FitInSquare(int width, int height, int side, int& fitWidth, int& fitHeight) {
    if (width <= 0 || height <= 0) {
        fitWidth = fitHeight = 0;
        return;
    }
    const std::int64_t across = std::int64_t{side} * width / height;
    if (across <= side) fitWidth = static_cast<int>(across), fitHeight = side;
    else fitWidth = side, fitHeight = static_cast<int>(std::int64_t{side} * height / width);
}

PreviewPicture SwatchPicture(const Rgba& c) {
    constexpr int n = kSwatchSide;
    PreviewPicture picture{n, n, std::vector<std::uint32_t>(static_cast<std::size_t>(n * n))};
    auto blend = [&](int colour, int under) { return (colour * c.alpha + under * (255 - c.alpha) + 127) / 255; };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const bool edge = x == 0 || y == 0 || x == n - 1 || y == n - 1;
            const int under = (x / 8 + y / 8) % 2 ? 0xff : 0xc0;  // white and light grey squares
            picture.pixels[static_cast<std::size_t>(y * n + x)] =
                edge ? Pixel(0x80, 0x80, 0x80) : Pixel(blend(c.red, under), blend(c.green, under), blend(c.blue, under));
        }
    return picture;
}
