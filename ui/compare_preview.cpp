#include "ui/compare_preview.h"

#include <algorithm>
#include <climits>
#include <functional>

#include "compare/list_match.h"
#include "lens/event_commands.h"
#include "lens/number_text.h"
#include "lens/reading.h"
#include "ui/compare_controller.h"
#include "ui/game_folder_controller.h"

namespace {
using Lines = std::vector<std::u16string>;

std::uint32_t Pixel(int red, int green, int blue) {
    return 0xff000000u | static_cast<std::uint32_t>(red << 16 | green << 8 | blue);
}

const GameNames* Names() {
    const GameFolderController* folder = ActiveGameFolder();
    return folder ? folder->Names() : nullptr;
}

// The two sides' lines matched by their common subsequence; unchanged lines
// further than `context` from a change are left out, a gap shown as "…"
// (a negative `context` keeps them all).
std::vector<CompareLine> MatchedLines(const Lines& a, const Lines& b, int context) {
    auto hashes = [](const Lines& lines) {
        std::vector<std::uint64_t> h;
        h.reserve(lines.size());
        for (const std::u16string& l : lines) h.push_back(std::hash<std::u16string>{}(l));
        return h;
    };
    std::vector<ListEdit> script;
    if (!MatchLists(hashes(a), hashes(b), script)) {
        // Too far apart to match: every line goes and comes.
        script.clear();
        if (!a.empty()) script.push_back({ListStep::kRemoved, 0, -1, static_cast<std::int64_t>(a.size())});
        if (!b.empty()) script.push_back({ListStep::kAdded, -1, 0, static_cast<std::int64_t>(b.size())});
    }
    std::vector<CompareLine> all;
    for (const ListEdit& e : script)
        for (std::int64_t k = 0; k < e.length; ++k) {
            const std::int64_t i = e.oldIndex + k, j = e.newIndex + k;
            if (e.step == ListStep::kSame) all.push_back({CompareLineKind::kSame, i + 1, j + 1, {}});
            else if (e.step == ListStep::kRemoved) all.push_back({CompareLineKind::kRemoved, i + 1, 0, {}});
            else all.push_back({CompareLineKind::kAdded, 0, j + 1, {}});
        }
    // Keep what lies within `context` lines of a change.
    std::vector<bool> keep(all.size(), context < 0);
    for (std::size_t i = 0; i < all.size() && context >= 0; ++i) {
        if (all[i].kind == CompareLineKind::kSame) continue;
        const std::size_t from = i > static_cast<std::size_t>(context) ? i - static_cast<std::size_t>(context) : 0;
        const std::size_t to = std::min(all.size(), i + static_cast<std::size_t>(context) + 1);
        for (std::size_t k = from; k < to; ++k) keep[k] = true;
    }
    std::vector<CompareLine> lines;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!keep[i]) {
            if (!lines.empty() && lines.back().oldNumber + lines.back().newNumber != 0) lines.push_back({CompareLineKind::kSame, 0, 0, u"…"});
            continue;
        }
        CompareLine& line = lines.emplace_back(all[i]);
        line.text = line.kind == CompareLineKind::kAdded ? b[static_cast<std::size_t>(line.newNumber - 1)]
                                                        : a[static_cast<std::size_t>(line.oldNumber - 1)];
    }
    if (!lines.empty() && lines.back().oldNumber + lines.back().newNumber == 0) lines.pop_back();
    return lines;
}

// A side's lines for old above new: a table by its summary alone, any
// other value's whole reading, cut to kMostSideLines.
Lines SideLines(const MarshalNode* node) {
    if (!node) return {};
    const Reading reading = ReadNode(node, Names());
    Lines lines = reading.kind == ReadingKind::kTable ? Lines{reading.summary} : ReadingTextLines(reading);
    if (lines.size() > kMostSideLines) {
        lines.resize(kMostSideLines);
        lines.back() = u"……";
    }
    return lines;
}

int FirstChange(const std::vector<CompareLine>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind != CompareLineKind::kSame) return static_cast<int>(i);
    return lines.empty() ? -1 : 0;
}

// The line number (from 1) of an event page's command at `position`; 0 when none.
std::int64_t CommandLine(const PreviewView& page, std::int64_t position) {
    const auto at = std::find(page.lineChild.begin(), page.lineChild.end(), position);
    return position < 0 || at == page.lineChild.end() ? 0 : (at - page.lineChild.begin()) + 1;
}

void ShowPage(const StoredDifference& d, CompareView& view) {
    const PreviewView a = MakePreviewView(d.page.before, {}), b = MakePreviewView(d.page.after, {});
    view.lines = MatchedLines(a.lines, b.lines, -1);
    // The difference's command: its old line first when it changed.
    const std::int64_t oldLine = CommandLine(a, d.page.oldAt), newLine = CommandLine(b, d.page.newAt);
    for (std::size_t i = 0; i < view.lines.size() && view.focus < 0; ++i) {
        const CompareLine& line = view.lines[i];
        if ((oldLine && line.oldNumber == oldLine) || (newLine && line.newNumber == newLine))
            view.focus = static_cast<int>(i);
    }
    if (view.focus < 0) view.focus = FirstChange(view.lines);
}

void ShowTable(PreviewView& a, PreviewView& b, CompareView& view) {
    view.page = ComparePage::kTable;
    view.before = std::move(a.table);
    view.after = std::move(b.table);
    view.layer = -1;
    const PreviewTable& t = view.after;
    for (int z = 0; z < t.z; ++z)
        for (int y = 0; y < t.y; ++y)
            for (int x = 0; x < t.x; ++x)
                if (view.before.At(x, y, z) != t.At(x, y, z)) {
                    if (view.layer < 0) view.layer = z;
                    ++view.changedCells;
                }
    view.layer = std::max(view.layer, 0);
    view.header += u"　　表格：";
    AppendInt(view.header, view.changedCells);
    view.header += u" 个格子不同";
}

void ShowOldAboveNew(const StoredDifference& d, CompareView& view) {
    const Lines a = d.op == DiffOp::kAdded ? Lines{} : SideLines(d.oldSide.Node());
    const Lines b = d.op == DiffOp::kRemoved ? Lines{} : SideLines(d.newSide.Node());
    for (std::size_t i = 0; i < a.size(); ++i)
        view.lines.push_back({CompareLineKind::kRemoved, static_cast<std::int64_t>(i) + 1, 0, a[i]});
    for (std::size_t i = 0; i < b.size(); ++i)
        view.lines.push_back({CompareLineKind::kAdded, 0, static_cast<std::int64_t>(i) + 1, b[i]});
    view.focus = view.lines.empty() ? -1 : 0;
}

const char16_t* OpWord(DiffOp op) {
    switch (op) {
    case DiffOp::kAdded: return u"新增：";
    case DiffOp::kRemoved: return u"删除：";
    default: return u"改动：";
    }
}
}  // namespace

ComparedPage DifferencePage(const Difference& d) {
    ComparedPage page;
    for (std::size_t i = d.levels.size(); i-- > 0;) {
        const DiffLevel& level = d.levels[i];
        if (!IsEventCommandList(level.newNode) || !IsEventCommandList(level.oldNode)) continue;
        page.before = level.oldNode;
        page.after = level.newNode;
        // The command's position: the next step down, or the difference's own.
        const bool last = i + 1 == d.levels.size();
        page.oldAt = last ? d.oldSide.position : d.levels[i + 1].oldSide.position;
        page.newAt = last ? d.newSide.position : d.levels[i + 1].newSide.position;
        if (last && d.op == DiffOp::kAdded) page.oldAt = -1;
        if (last && d.op == DiffOp::kRemoved) page.newAt = -1;
        break;
    }
    return page;
}

CompareView MakeCompareView(const StoredDifference& d) {
    CompareView view;
    view.header = OpWord(d.op) + d.path;
    if (d.page.before && d.page.after) {
        ShowPage(d, view);
        return view;
    }
    if (d.op == DiffOp::kChanged) {
        PreviewView a = MakePreviewView(d.oldSide.Node(), {}), b = MakePreviewView(d.newSide.Node(), {});
        if (a.page == PreviewPage::kText && b.page == PreviewPage::kText && a.ruby && b.ruby) {
            view.ruby = true;
            view.lines = MatchedLines(a.lines, b.lines, kContextLines);
            view.focus = FirstChange(view.lines);
            return view;
        }
        if (a.page == PreviewPage::kTable && b.page == PreviewPage::kTable && a.table.x == b.table.x &&
            a.table.y == b.table.y && a.table.z == b.table.z) {
            ShowTable(a, b, view);
            return view;
        }
        if (a.page == PreviewPage::kSwatch && b.page == PreviewPage::kSwatch) {
            view.page = ComparePage::kSwatches;
            view.oldSwatch = a.swatch;
            view.newSwatch = b.swatch;
            view.oldText = u"旧：" + a.swatchText;
            view.newText = u"新：" + b.swatchText;
            return view;
        }
    }
    ShowOldAboveNew(d, view);
    return view;
}

int CompareNumberWidth(const std::vector<CompareLine>& lines) {
    std::int64_t most = 0;
    for (const CompareLine& line : lines) most = std::max({most, line.oldNumber, line.newNumber});
    int digits = 1;
    for (; most >= 10; most /= 10) ++digits;
    return digits;
}

std::u16string CompareLineText(const CompareLine& line, int width) {
    std::u16string out;
    auto number = [&](std::int64_t n) {
        std::u16string digits;
        if (n > 0) AppendInt(digits, n);
        out.append(static_cast<std::size_t>(std::max(0, width - static_cast<int>(digits.size()))), u' ');
        out += digits;
        out += u' ';
    };
    number(line.oldNumber);
    number(line.newNumber);
    out += line.kind == CompareLineKind::kRemoved ? u'-' : line.kind == CompareLineKind::kAdded ? u'+' : u' ';
    out += u' ';
    out += line.text;
    return out;
}

bool CellChanged(const PreviewTable& before, const PreviewTable& t, int x, int y, int z) {
    if (before.x != t.x || before.y != t.y || before.z != t.z || x < 0 || y < 0 || z < 0 || x >= t.x || y >= t.y || z >= t.z) return false;
    return before.At(x, y, z) != t.At(x, y, z);
}

PreviewPicture ChangeHeatMap(const PreviewTable& before, const PreviewTable& t, int layer) {
    PreviewPicture picture;
    const bool empty = before.x != t.x || before.y != t.y || before.z != t.z || !t.x || !t.y || layer < 0 || layer >= t.z;
    picture.width = empty ? 1 : std::min(t.x, 400);
    picture.height = empty ? 1 : std::min(t.y, 400);
    const int w = picture.width, h = picture.height;
    picture.pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), Pixel(0, 0, 0));
    if (empty) return picture;
    auto sample = [&](int x, int y) { return static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x); };
    int low = INT16_MAX, high = INT16_MIN;
    for (int y = 0; y < t.y; ++y)
        for (int x = 0; x < t.x; ++x)
            if (const int v = t.At(x, y, layer)) low = std::min(low, v), high = std::max(high, v);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const int v = t.At(static_cast<int>(std::int64_t{i} * t.x / w), static_cast<int>(std::int64_t{j} * t.y / h), layer);
            const int grey = v == 0 ? 0 : 40 + (high > low ? (v - low) * 70 / (high - low) : 70);
            picture.pixels[sample(i, j)] = Pixel(grey, grey, grey);
        }
    // Every changed cell marks the pixel it falls in, sampled or not.
    for (int y = 0; y < t.y; ++y)
        for (int x = 0; x < t.x; ++x)
            if (before.At(x, y, layer) != t.At(x, y, layer))
                picture.pixels[sample(static_cast<int>(std::int64_t{x} * w / t.x), static_cast<int>(std::int64_t{y} * h / t.y))] =
                    Pixel(0xff, 0x30, 0x30);
    return picture;
}

const StoredDifference* CurrentPreviewDifference(const PreviewTarget& target) {
    const CompareController* compare = ActiveCompare();
    if (!compare || !compare->Active() || !target.node) return nullptr;
    const std::vector<StoredDifference>& all = compare->Differences();
    // At the value shown: the row's own (a removed one's old value when a
    // window shows it), or the event page's selected command.
    auto exact = [&](const StoredDifference& d) {
        if (target.mark >= 0) return d.page.after == target.node && d.page.newAt == target.mark;
        return d.op == DiffOp::kRemoved ? d.oldSide.Node() == target.node : d.newSide.Node() == target.node;
    };
    // Within the container shown: a value removed from it, or any of the event page.
    auto within = [&](const StoredDifference& d) {
        return (d.op == DiffOp::kRemoved && d.newHolder == target.node) || d.page.after == target.node;
    };
    if (const int current = compare->Current(); current >= 0 && static_cast<std::size_t>(current) < all.size()) {
        const StoredDifference& d = all[static_cast<std::size_t>(current)];
        if (exact(d) || within(d)) return &d;
    }
    for (const StoredDifference& d : all)
        if (exact(d)) return &d;
    for (const StoredDifference& d : all)
        if (within(d)) return &d;
    return nullptr;
}

std::uint32_t CompareLineBackground(CompareLineKind kind) {
    switch (kind) {
    case CompareLineKind::kRemoved: return 0xffd7d7;
    case CompareLineKind::kAdded: return 0xd4f4d4;
    case CompareLineKind::kSame: break;
    }
    return 0;
}
