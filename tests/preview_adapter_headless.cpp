// The preview contract over the portable preview alone: what ui/preview_view.h
// decides, followed as the front ends follow it.
#include "lens/ruby_tokens.h"
#include "tests/preview_adapter.h"
#include "ui/compare_preview.h"
#include "ui/game_folder_controller.h"
#include "ui/preview_view.h"

namespace {
PreviewFollower g_follower;
int g_layer = 0;
const MarshalNode* g_node = nullptr;  // compared only
const StoredDifference* g_difference = nullptr;  // compared only
CompareView g_compareView;

// Follows the panes as a window does after their notifications; the
// chosen layer stays while the same table shows.
const PreviewView& View() {
    const PreviewTarget target = CurrentPreviewTarget();
    if (target.node != g_node) g_layer = 0;
    g_node = target.node;
    g_follower.Follow(target);
    return g_follower.View();
}

// While a comparison is shown, the difference the preview shows, as the
// front ends decide it; the layer it shows first when it is a new one.
const CompareView* Compared() {
    View();
    const StoredDifference* d = CurrentPreviewDifference(CurrentPreviewTarget());
    if (!d) return nullptr;
    g_compareView = MakeCompareView(*d);
    if (d != g_difference) g_layer = g_compareView.layer;
    g_difference = d;
    return &g_compareView;
}

const PreviewTable& ShownTable() {
    const CompareView* c = Compared();
    return c ? c->after : View().table;
}

std::uint32_t Rgb(std::uint32_t pixel) { return pixel & 0xffffffu; }

std::uint32_t Middle(const Rgba& colour) {
    const PreviewPicture p = SwatchPicture(colour);
    return Rgb(p.pixels[static_cast<std::size_t>(p.height / 2 * p.width + p.width / 2)]);
}
}  // namespace

void PreviewStart() {
    g_follower.Forget();
    g_node = nullptr;
    g_difference = nullptr;
    g_layer = 0;
}
std::u16string PreviewHeader() {
    const CompareView* c = Compared();
    return c ? c->header : View().header;
}
std::u16string PreviewProblem() { return Compared() ? u"" : View().problem; }

SeenPage PreviewPageShown() {
    const CompareView* c = Compared();
    if (!c) return static_cast<SeenPage>(View().page);
    return c->page == ComparePage::kTable ? SeenPage::kTable
           : c->page == ComparePage::kSwatches ? SeenPage::kSwatch : SeenPage::kText;
}

std::vector<std::u16string> PreviewLines() {
    const CompareView* c = Compared();
    if (!c) return View().lines;
    std::vector<std::u16string> lines;
    const int width = CompareNumberWidth(c->lines);
    if (c->page == ComparePage::kLines)
        for (const CompareLine& line : c->lines) lines.push_back(CompareLineText(line, width));
    return lines;
}

std::uint32_t PreviewLineBackground(int line) {
    const CompareView* c = Compared();
    if (!c || c->page != ComparePage::kLines || line < 0 || static_cast<std::size_t>(line) >= c->lines.size()) return 0;
    return CompareLineBackground(c->lines[static_cast<std::size_t>(line)].kind);
}

std::uint32_t PreviewTextColour(int line, int column) {
    const PreviewView& view = View();
    if (Compared() || !view.ruby) return 0;
    std::vector<RubySpan> spans;
    RubyLineState state = RubyLineState::kCode;
    for (int n = 0; n <= line; ++n) {
        spans.clear();
        state = AppendRubySpans(view.lines[static_cast<std::size_t>(n)], state, spans);
    }
    for (const RubySpan& span : spans)
        if (column >= span.start && column < span.start + span.length) {
            const RubyStyle& s = RubyTokenStyle(span.token);
            return static_cast<std::uint32_t>(s.red << 16 | s.green << 8 | s.blue);
        }
    return 0;
}

int PreviewMarkedLine() {
    View();
    return g_follower.MarkedLine();
}
void PreviewChooseLine(int line) {
    View();
    g_follower.ChooseLine(line);
}

std::vector<std::u16string> PreviewLayerNames() {
    std::vector<std::u16string> names;
    for (int z = 0; z < ShownTable().z; ++z) names.push_back(TableLayerName(z));
    return names;
}
void PreviewChooseLayer(int layer) {
    ShownTable();
    g_layer = layer;
}

std::u16string PreviewCell(int x, int y) {
    const PreviewTable& t = ShownTable();
    if (x < 0 || y < 0 || x >= t.x || y >= t.y || g_layer >= t.z) return u"";
    const std::string digits = std::to_string(t.At(x, y, g_layer));
    return std::u16string(digits.begin(), digits.end());
}

std::uint32_t PreviewHeatMapAt(double x, double y) {
    const CompareView* c = Compared();
    const PreviewPicture p = c ? ChangeHeatMap(c->before, c->after, g_layer) : TableHeatMap(View().table, g_layer);
    return Rgb(p.pixels[static_cast<std::size_t>(static_cast<int>(y * p.height) * p.width + static_cast<int>(x * p.width))]);
}

bool PreviewCellOutlined(int x, int y) {
    const CompareView* c = Compared();
    return c && c->page == ComparePage::kTable && CellChanged(c->before, c->after, x, y, g_layer);
}

std::uint32_t PreviewSwatchMiddle() {
    const CompareView* c = Compared();
    return Middle(c ? c->oldSwatch : View().swatch);
}
std::u16string PreviewSwatchText() {
    const CompareView* c = Compared();
    return c ? c->oldText : View().swatchText;
}
std::uint32_t PreviewNewSwatchMiddle() {
    const CompareView* c = Compared();
    return c && c->page == ComparePage::kSwatches ? Middle(c->newSwatch) : 0;
}
std::u16string PreviewNewSwatchText() {
    const CompareView* c = Compared();
    return c && c->page == ComparePage::kSwatches ? c->newText : u"";
}

std::vector<std::u16string> PreviewLineMenu(int line) {
    View();
    std::vector<std::u16string> texts;
    for (const MenuEntry& entry : PreviewLineMenu(g_follower, line)) texts.push_back(entry.text);
    return texts;
}
void PreviewChooseLineMenu(int line, int entry) {
    View();
    std::vector<MenuEntry> menu = PreviewLineMenu(g_follower, line);
    if (entry >= 0 && static_cast<std::size_t>(entry) < menu.size() && menu[static_cast<std::size_t>(entry)].choose)
        menu[static_cast<std::size_t>(entry)].choose();
}
