// The preview contract over the portable preview alone: what ui/preview_view.h
// decides, followed as the front ends follow it.
#include "lens/ruby_tokens.h"
#include "tests/preview_adapter.h"
#include "ui/game_folder_controller.h"
#include "ui/preview_view.h"

namespace {
PreviewFollower g_follower;
int g_layer = 0;
const MarshalNode* g_node = nullptr;  // compared only

// Follows the panes as a window does after their notifications; the
// chosen layer stays while the same table shows.
const PreviewView& View() {
    const PreviewTarget target = CurrentPreviewTarget();
    if (target.node != g_node) g_layer = 0;
    g_node = target.node;
    g_follower.Follow(target);
    return g_follower.View();
}

std::uint32_t Rgb(std::uint32_t pixel) { return pixel & 0xffffffu; }
}  // namespace

void PreviewStart() {
    g_follower.Forget();
    g_node = nullptr;
    g_layer = 0;
}
std::u16string PreviewHeader() { return View().header; }
std::u16string PreviewProblem() { return View().problem; }
SeenPage PreviewPageShown() { return static_cast<SeenPage>(View().page); }
std::vector<std::u16string> PreviewLines() { return View().lines; }

std::uint32_t PreviewTextColour(int line, int column) {
    const PreviewView& view = View();
    if (!view.ruby) return 0;
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
    for (int z = 0; z < View().table.z; ++z) names.push_back(TableLayerName(z));
    return names;
}
void PreviewChooseLayer(int layer) {
    View();
    g_layer = layer;
}

std::u16string PreviewCell(int x, int y) {
    const PreviewTable& t = View().table;
    if (x < 0 || y < 0 || x >= t.x || y >= t.y || g_layer >= t.z) return u"";
    const std::string digits = std::to_string(t.At(x, y, g_layer));
    return std::u16string(digits.begin(), digits.end());
}

std::uint32_t PreviewHeatMapAt(double x, double y) {
    const PreviewPicture p = TableHeatMap(View().table, g_layer);
    return Rgb(p.pixels[static_cast<std::size_t>(static_cast<int>(y * p.height) * p.width + static_cast<int>(x * p.width))]);
}

std::uint32_t PreviewSwatchMiddle() {
    const PreviewPicture p = SwatchPicture(View().swatch);
    return Rgb(p.pixels[static_cast<std::size_t>(p.height / 2 * p.width + p.width / 2)]);
}
std::u16string PreviewSwatchText() { return View().swatchText; }

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
