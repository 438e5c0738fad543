// The preview contract over the Win32 preview: read back from its controls
// (texts, the rows its rows views draw, list box, combo box, the DIB
// sections the pictures draw) once the window's messages have been handled.
#include <cstring>

#include "tests/preview_adapter.h"
#include "ui/navigation_controller.h"
#include "ui/win32/preview_win32.h"
#include "ui/win32/rows_view_win32.h"

namespace {
const PreviewControls& Controls() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    FlushListPane();
    static PreviewControls controls;
    controls = PreviewControlHandles();
    return controls;
}

std::u16string ControlText(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return std::u16string(text.begin(), text.end());
}


std::uint32_t PictureAt(HWND picture, double x, double y) {
    DIBSECTION dib{};
    HBITMAP bitmap = PreviewPictureBitmap(picture);
    if (!bitmap || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib) return 0;
    const int px = static_cast<int>(x * dib.dsBm.bmWidth), py = static_cast<int>(y * dib.dsBm.bmHeight);
    const auto* row = static_cast<const std::uint8_t*>(dib.dsBm.bmBits) + py * dib.dsBm.bmWidthBytes;
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, row + px * 4, 4);
    return pixel & 0xffffffu;
}
}  // namespace

void PreviewStart() {
    SetPreviewShown(true);
    Controls();
}
std::u16string PreviewHeader() { return ControlText(Controls().header); }
std::u16string PreviewProblem() { return IsWindowVisible(Controls().problem) ? ControlText(Controls().problem) : u""; }

SeenPage PreviewPageShown() {
    const PreviewControls& c = Controls();
    if (IsWindowVisible(c.table)) return SeenPage::kTable;
    if (IsWindowVisible(c.swatch)) return SeenPage::kSwatch;
    if (IsWindowVisible(c.events)) return SeenPage::kEvents;
    return SeenPage::kText;
}

std::vector<std::u16string> PreviewLines() {
    const PreviewControls& c = Controls();
    std::vector<std::u16string> lines;
    if (!IsWindowVisible(c.events)) {
        const RowsSource& rows = RowsSourceOf(c.text);
        for (int i = 0; i < rows.count; ++i) lines.push_back(rows.text(i));
        return lines;
    }
    const int count = static_cast<int>(SendMessageW(c.events, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring line(static_cast<std::size_t>(SendMessageW(c.events, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)) + 1, L'\0');
        line.resize(static_cast<std::size_t>(
            SendMessageW(c.events, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line.data()))));
        lines.emplace_back(line.begin(), line.end());
    }
    return lines;
}

std::uint32_t PreviewLineBackground(int line) {
    const RowsSource& rows = RowsSourceOf(Controls().text);
    const std::uint32_t colour = rows.background && line >= 0 && line < rows.count ? rows.background(line) : kNoRowColour;
    return colour == kNoRowColour ? 0 : colour;
}

std::uint32_t PreviewTextColour(int line, int column) {
    const RowsSource& rows = RowsSourceOf(Controls().text);
    std::vector<RubySpan> spans;
    if (rows.spans) rows.spans(line, spans);
    for (const RubySpan& span : spans)
        if (column >= span.start && column < span.start + span.length) {
            const RubyStyle& s = RubyTokenStyle(span.token);
            return static_cast<std::uint32_t>(s.red << 16 | s.green << 8 | s.blue);
        }
    return 0;
}

int PreviewMarkedLine() {
    const PreviewControls& c = Controls();
    return IsWindowVisible(c.events) ? static_cast<int>(SendMessageW(c.events, LB_GETCURSEL, 0, 0)) : -1;
}

void PreviewChooseLine(int line) {
    // As a click does: the list box selects, then tells its parent.
    HWND box = Controls().events;
    SendMessageW(box, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), LBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    Controls();
}

std::vector<std::u16string> PreviewLayerNames() {
    HWND layers = Controls().layers;
    std::vector<std::u16string> names;
    const int count = static_cast<int>(SendMessageW(layers, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t name[64] = L"";
        if (SendMessageW(layers, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 64)
            SendMessageW(layers, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
        names.emplace_back(reinterpret_cast<const char16_t*>(name));
    }
    return names;
}

void PreviewChooseLayer(int layer) {
    HWND layers = Controls().layers;
    SendMessageW(layers, CB_SETCURSEL, static_cast<WPARAM>(layer), 0);
    SendMessageW(GetParent(layers), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(layers), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(layers));
    Controls();
}

namespace {
struct DrawnCell {
    std::u16string text;
    int start = -1;  // its first unit in the row
};

// The grid's row as drawn: y, then the cells, apart by spaces.
DrawnCell CellDrawn(int x, int y) {
    const RowsSource& rows = RowsSourceOf(Controls().table);
    if (y < 0 || y >= rows.count || x < 0) return {};
    const std::u16string row = rows.text(y);
    std::vector<DrawnCell> cells;
    for (std::size_t i = 0; i < row.size();) {
        while (i < row.size() && row[i] == u' ') ++i;
        std::size_t end = row.find(u' ', i);
        if (end == std::u16string::npos) end = row.size();
        if (end > i) cells.push_back({row.substr(i, end - i), static_cast<int>(i)});
        i = end;
    }
    return static_cast<std::size_t>(x) + 1 < cells.size() ? cells[static_cast<std::size_t>(x) + 1] : DrawnCell{};
}
}  // namespace

std::u16string PreviewCell(int x, int y) { return CellDrawn(x, y).text; }

bool PreviewCellOutlined(int x, int y) {
    const DrawnCell cell = CellDrawn(x, y);
    for (const TextMark& mark : RowsMarksOf(Controls().table))
        if (mark.line == y && cell.start >= mark.start && cell.start < mark.start + mark.length) return true;
    return false;
}

std::uint32_t PreviewHeatMapAt(double x, double y) { return PictureAt(Controls().heatMap, x, y); }
std::uint32_t PreviewSwatchMiddle() { return PictureAt(Controls().swatch, 0.5, 0.5); }

std::u16string PreviewSwatchText() {
    std::u16string text;
    for (char16_t c : ControlText(Controls().swatchText))
        if (c != u'\r') text += c;
    return text;
}

std::uint32_t PreviewNewSwatchMiddle() {
    const PreviewControls& c = Controls();
    return IsWindowVisible(c.newSwatch) ? PictureAt(c.newSwatch, 0.5, 0.5) : 0;
}

std::u16string PreviewNewSwatchText() {
    const PreviewControls& c = Controls();
    return IsWindowVisible(c.newSwatchText) ? ControlText(c.newSwatchText) : u"";
}

std::vector<std::u16string> PreviewLineMenu(int line) {
    Controls();
    std::vector<std::u16string> texts;
    for (const MenuEntry& entry : PreviewEventLineMenu(line)) texts.push_back(entry.text);
    return texts;
}

void PreviewChooseLineMenu(int line, int entry) {
    Controls();
    std::vector<MenuEntry> menu = PreviewEventLineMenu(line);
    if (entry >= 0 && static_cast<std::size_t>(entry) < menu.size() && menu[static_cast<std::size_t>(entry)].choose)
        menu[static_cast<std::size_t>(entry)].choose();
    Controls();
}
