#include "ui/win32/preview_win32.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "lens/ruby_tokens.h"
#include "ui/compare_preview.h"
#include "ui/open_sequence.h"
#include "ui/preview_view.h"
#include "ui/win32/dpi_win32.h"
#include "ui/win32/rows_view_win32.h"
#include "ui/win32/win32_front_end.h"

HWND PreviewPane;

namespace {
// Posted to the preview by itself: read the panes again.
constexpr UINT kRefreshMessage = WM_APP + 20;
// Lengths at 96 DPI, scaled to the window's.
constexpr int kEdge = kSplitterWidth;  // the draggable strip along the top
constexpr int kMinHeight = 80;         // neither part shrinks below this when it can
constexpr int kGap = 2;
constexpr int kMostColumns = 10000;    // a table wider than this shows its first columns
constexpr std::size_t kCellUnits = 7;  // "-32768" and a space
constexpr COLORREF kProblemColour = RGB(0xb0, 0x00, 0x00);

struct State {
    PreviewControls c{};
    HWND layerLabel = nullptr;
    HFONT uiFont = nullptr;    // the window's message font, not ours
    HFONT codeFont = nullptr;  // ours
    PreviewFollower follower;
    // While a comparison is shown and the panes are at a difference: what
    // the pages show instead of the follower's view.
    CompareView compare;
    bool comparing = false;
    int compareWidth = 1;            // digits of the compared lines' numbers
    PreviewPage page = PreviewPage::kText;
    bool ruby = false;
    int layer = 0;
    std::vector<RubyLineState> lineStates;  // the state each text line starts in
    std::u16string findText;                // marked on the text page
    bool findCase = false;
    bool refreshPosted = false;
    bool shown = false;
    int height = 0;  // chosen by dragging; 0: two fifths of the column
    RECT column{};
    bool dragging = false;
    int grab = 0;  // where in the edge the drag started
};
State g;

HWND Child(const wchar_t* className, DWORD style, DWORD exStyle = 0) {
    HWND child = CreateWindowExW(exStyle, className, nullptr, WS_CHILD | style, 0, 0, 0, 0, PreviewPane, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(g.uiFont), FALSE);
    return child;
}

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// Whether the control is set to show, whatever its parents are; while the
// pane's drawing is off (WM_SETREDRAW) its children count as unseen.
bool Shows(HWND control) { return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

int LineHeight(HWND control, HFONT font) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return metrics.tmHeight;
}

// MARK: pictures

// A picture control: draws its DIB section scaled into its square, keeping
// the proportions, without smoothing (a heat map's cells stay sharp).
LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto bitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT r;
        GetClientRect(window, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        DIBSECTION dib{};
        if (bitmap && GetObjectW(bitmap, sizeof dib, &dib) == sizeof dib) {
            int w = 0, h = 0;
            FitInSquare(dib.dsBm.bmWidth, dib.dsBm.bmHeight, std::min(r.right, r.bottom), w, h);
            HDC source = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(source, bitmap);
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, 0, 0, w, h, source, 0, 0, dib.dsBm.bmWidth, dib.dsBm.bmHeight, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_DESTROY:
        if (bitmap) DeleteObject(bitmap);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void SetPicture(HWND control, const PreviewPicture& picture) {
    if (auto old = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(control, GWLP_USERDATA))) DeleteObject(old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    // 0xffRRGGBB is the DIB's blue, green, red, unused byte order.
    if (bitmap) std::copy(picture.pixels.begin(), picture.pixels.end(), static_cast<std::uint32_t*>(bits));
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bitmap));
    InvalidateRect(control, nullptr, FALSE);
}

// MARK: the text page

void ShowText(const PreviewView& view) {
    // The state each line starts in, found once from the =begin/=end lines
    // alone: a row is coloured when it comes into sight.
    g.lineStates.clear();
    if (view.ruby) {
        g.lineStates.reserve(view.lines.size());
        RubyLineState state = RubyLineState::kCode;
        for (const auto& line : view.lines) {
            g.lineStates.push_back(state);
            state = NextRubyLineState(line, state);
        }
    }
    RowsSource source;
    source.count = static_cast<int>(view.lines.size());
    source.numbers = true;
    for (const auto& line : view.lines) source.widest = std::max(source.widest, static_cast<int>(line.size()));
    // Rows are read from the view shown; a view forgotten since has none.
    source.text = [](int row) {
        const auto& lines = g.follower.View().lines;
        return static_cast<std::size_t>(row) < lines.size() ? lines[static_cast<std::size_t>(row)] : std::u16string();
    };
    if (view.ruby)
        source.spans = [](int row, std::vector<RubySpan>& spans) {
            const auto& lines = g.follower.View().lines;
            if (static_cast<std::size_t>(row) < std::min(lines.size(), g.lineStates.size()))
                AppendRubySpans(lines[static_cast<std::size_t>(row)], g.lineStates[static_cast<std::size_t>(row)], spans);
        };
    g.ruby = view.ruby;
    SetRowsSource(g.c.text, std::move(source));
    if (!g.findText.empty()) SetRowsMarks(g.c.text, FindTextMarks(view.lines, g.findText, g.findCase));
}

// MARK: the table page

const PreviewTable& ShownTable() { return g.comparing ? g.compare.after : g.follower.View().table; }

// A compared layer's changed cells framed, as TableRow places them.
void FrameChangedCells(int layer) {
    const PreviewTable& before = g.compare.before;
    const PreviewTable& after = g.compare.after;
    std::vector<TextMark> marks;
    for (int y = 0; y < after.y && marks.size() < kMostTextMarks; ++y)
        for (int x = 0; x < std::min(after.x, kMostColumns) && marks.size() < kMostTextMarks; ++x)
            if (CellChanged(before, after, x, y, layer))
                marks.push_back({y, static_cast<int>(kCellUnits) * (x + 1) + 1, static_cast<int>(kCellUnits) - 1});
    SetRowsMarks(g.c.table, std::move(marks));
}

void ShowLayer(int layer) {
    const PreviewTable& table = ShownTable();
    g.layer = layer;
    if (g.comparing) {
        SetPicture(g.c.heatMap, ChangeHeatMap(g.compare.before, table, layer));
        FrameChangedCells(layer);
    } else {
        SetPicture(g.c.heatMap, TableHeatMap(table, layer));
    }
    InvalidateRect(g.c.table, nullptr, FALSE);
}

void AppendCell(std::u16string& row, std::int64_t value) {
    const std::string digits = std::to_string(value);
    row.append(digits.size() < kCellUnits ? kCellUnits - digits.size() : 1, u' ');
    row.append(digits.begin(), digits.end());
}

// A row of the grid: y, then the cells of the chosen layer, each right-aligned.
std::u16string TableRow(int y) {
    const PreviewTable& table = ShownTable();
    std::u16string row;
    if (y < 0 || y >= table.y || g.layer >= table.z) return row;
    AppendCell(row, y);
    for (int x = 0; x < std::min(table.x, kMostColumns); ++x) AppendCell(row, table.At(x, y, g.layer));
    return row;
}

void ShowTable(const PreviewTable& table, int layer = 0) {
    const bool empty = !table.x || !table.y || !table.z;
    const int columns = empty ? 0 : std::min(table.x, kMostColumns);
    RowsSource source;
    source.count = empty ? 0 : table.y;
    source.text = TableRow;
    source.header.assign(kCellUnits - 1, u' ');
    source.header += u'y';
    for (int x = 0; x < columns; ++x) AppendCell(source.header, x);
    source.widest = static_cast<int>(source.header.size());
    SendMessageW(g.c.layers, CB_RESETCONTENT, 0, 0);
    for (int z = 0; z < table.z; ++z) SendMessageW(g.c.layers, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(TableLayerName(z))));
    SendMessageW(g.c.layers, CB_SETCURSEL, static_cast<WPARAM>(layer), 0);
    EnableWindow(g.c.layers, table.z > 1);
    SetRowsSource(g.c.table, std::move(source));
    ShowLayer(layer);
}

// MARK: the other pages

void ShowSwatch(const PreviewView& view) {
    SetPicture(g.c.swatch, SwatchPicture(view.swatch));
    std::u16string text;
    for (char16_t c : view.swatchText) text += c == u'\n' ? std::u16string(u"\r\n") : std::u16string(1, c);
    SetWindowTextW(g.c.swatchText, W(text));
}

void ShowEvents(const PreviewView& view) {
    HWND box = g.c.events;
    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box, LB_RESETCONTENT, 0, 0);
    std::size_t units = 0;
    for (const auto& line : view.lines) units += line.size() + 1;
    SendMessageW(box, LB_INITSTORAGE, view.lines.size(), units * sizeof(wchar_t));
    for (const auto& line : view.lines) SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(line)));
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
}

void MarkLine() {
    if (g.page != PreviewPage::kEvents) return;
    const int line = g.follower.MarkedLine();
    SendMessageW(g.c.events, LB_SETCURSEL, static_cast<WPARAM>(line), 0);  // -1 clears it
}

// MARK: layout

std::vector<HWND> PageControls(PreviewPage page) {
    switch (page) {
    case PreviewPage::kText: return {g.c.text};
    case PreviewPage::kTable: return {g.c.table, g.c.layers, g.layerLabel, g.c.heatMap};
    case PreviewPage::kSwatch: return {g.c.swatch, g.c.swatchText};
    case PreviewPage::kEvents: return {g.c.events};
    }
    return {};
}

void PlaceChildren() {
    RECT client;
    GetClientRect(PreviewPane, &client);
    const int w = static_cast<int>(client.right), bottom = static_cast<int>(client.bottom);
    const int line = LineHeight(PreviewPane, g.uiFont) + Scaled(4);
    const int gap = Scaled(kGap), heatMap = Scaled(kHeatMapSide), swatch = Scaled(kSwatchSide), margin = Scaled(4);
    int y = Scaled(kEdge);
    MoveWindow(g.c.header, 0, y, w, line, TRUE);
    y += line;
    if (Shows(g.c.problem)) {
        MoveWindow(g.c.problem, 0, y, w, line, TRUE);
        y += line;
    }
    y += gap;
    const int h = std::max(0, bottom - y);
    MoveWindow(g.c.text, 0, y, w, h, TRUE);
    // The layer selector: its label as wide as its text, the combo box as
    // high as the font makes it (its list drops below).
    const int label = TextWidth(g.uiFont, L"层：") + margin;
    const int combo = ControlHeight(g.uiFont);
    MoveWindow(g.layerLabel, 0, y + (combo - line + Scaled(4)) / 2, label, line, TRUE);
    MoveWindow(g.c.layers, label + gap, y, Scaled(120), combo + Scaled(200), TRUE);
    const int body = y + std::max(combo, line) + Scaled(8);
    MoveWindow(g.c.table, 0, body, std::max(0, w - heatMap - 2 * gap), std::max(0, bottom - body), TRUE);
    MoveWindow(g.c.heatMap, std::max(0, w - heatMap), body, heatMap, heatMap, TRUE);
    MoveWindow(g.c.swatch, margin, y + margin, swatch, swatch, TRUE);
    // Two swatches, old above new, while a comparison shows them.
    const bool two = Shows(g.c.newSwatch);
    MoveWindow(g.c.swatchText, swatch + 3 * margin, y + margin, std::max(0, w - swatch - 3 * margin),
               two ? swatch : std::max(0, h - margin), TRUE);
    const int below = y + swatch + 3 * margin;
    MoveWindow(g.c.newSwatch, margin, below, swatch, swatch, TRUE);
    MoveWindow(g.c.newSwatchText, swatch + 3 * margin, below, std::max(0, w - swatch - 3 * margin),
               std::max(0, bottom - below), TRUE);
    MoveWindow(g.c.events, 0, y, w, h, TRUE);
}

// The preview's share of the column, kept within it and leaving the list
// some rows where the column allows.
int PreviewHeight(int columnHeight) {
    int h = g.height ? g.height : columnHeight * 2 / 5;
    const int least = Scaled(kMinHeight);
    if (columnHeight < 2 * least) return columnHeight / 2;
    return std::clamp(h, least, columnHeight - least);
}

RECT Place() {
    RECT list = g.column;
    if (!g.shown) return list;
    const int h = PreviewHeight(static_cast<int>(g.column.bottom - g.column.top));
    list.bottom = g.column.bottom - h;
    MoveWindow(PreviewPane, g.column.left, list.bottom, g.column.right - g.column.left, h, TRUE);
    return list;
}

void PlaceWithList() {
    const RECT list = Place();
    MoveWindow(ListPane, list.left, list.top, list.right - list.left, list.bottom - list.top, TRUE);
}

// MARK: following the panes

// Shows a page's controls in place of the last page's, and the new
// swatch's when the comparison shows two.
void SwitchPage(PreviewPage page, bool twoSwatches) {
    if (page != g.page) {
        for (HWND control : PageControls(g.page)) ShowWindow(control, SW_HIDE);
        for (HWND control : PageControls(page)) ShowWindow(control, SW_SHOWNA);
        g.page = page;
    }
    if (twoSwatches == Shows(g.c.newSwatch)) return;
    for (HWND control : {g.c.newSwatch, g.c.newSwatchText}) ShowWindow(control, twoSwatches ? SW_SHOWNA : SW_HIDE);
    PlaceChildren();
}

// The controls change with the pane's drawing off, then it is drawn once:
// under Wine a control shown, hidden or given new scroll ranges in a
// window that draws paints at once, some milliseconds each.
bool StopDrawing() {
    const bool drawing = Shows(PreviewPane);
    if (drawing) SendMessageW(PreviewPane, WM_SETREDRAW, FALSE, 0);
    return drawing;
}

void DrawAgain(bool drawing) {
    if (!drawing) return;
    SendMessageW(PreviewPane, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(PreviewPane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void ShowView(const PreviewView& view) {
    const bool drawing = StopDrawing();
    g.comparing = false;
    SetWindowTextW(g.c.header, W(view.header));
    SetWindowTextW(g.c.problem, W(view.problem));
    const bool problemWas = Shows(g.c.problem);
    ShowWindow(g.c.problem, view.problem.empty() ? SW_HIDE : SW_SHOWNA);
    switch (view.page) {
    case PreviewPage::kText: ShowText(view); break;
    case PreviewPage::kTable: ShowTable(view.table); break;
    case PreviewPage::kSwatch: ShowSwatch(view); break;
    case PreviewPage::kEvents: ShowEvents(view); break;
    }
    SwitchPage(view.page, false);
    if (problemWas != !view.problem.empty()) PlaceChildren();
    DrawAgain(drawing);
}

// The background of a compared line: removed and added as the list marks its rows.
std::uint32_t CompareLineColour(int row) {
    const auto& lines = g.compare.lines;
    if (static_cast<std::size_t>(row) >= lines.size()) return kNoRowColour;
    const std::uint32_t colour = CompareLineBackground(lines[static_cast<std::size_t>(row)].kind);
    return colour ? colour : kNoRowColour;
}

void ShowCompareLines(const CompareView& view) {
    g.compareWidth = CompareNumberWidth(view.lines);
    RowsSource source;
    source.count = static_cast<int>(view.lines.size());
    source.text = [](int row) {
        const auto& lines = g.compare.lines;
        return static_cast<std::size_t>(row) < lines.size()
                   ? CompareLineText(lines[static_cast<std::size_t>(row)], g.compareWidth) : std::u16string();
    };
    source.background = CompareLineColour;
    for (const CompareLine& line : view.lines)
        source.widest = std::max(source.widest, static_cast<int>(line.text.size()) + 2 * g.compareWidth + 4);
    // The difference's own line a few rows below the top.
    source.top = std::max(0, view.focus - 3);
    SetRowsSource(g.c.text, std::move(source));
}

void ShowCompare(CompareView view) {
    const bool drawing = StopDrawing();
    g.compare = std::move(view);
    g.comparing = true;
    g.ruby = false;
    const CompareView& v = g.compare;
    SetWindowTextW(g.c.header, W(v.header));
    const bool problemWas = Shows(g.c.problem);
    ShowWindow(g.c.problem, SW_HIDE);
    PreviewPage page = PreviewPage::kText;
    switch (v.page) {
    case ComparePage::kLines: ShowCompareLines(v); break;
    case ComparePage::kTable:
        page = PreviewPage::kTable;
        ShowTable(v.after, v.layer);
        break;
    case ComparePage::kSwatches:
        page = PreviewPage::kSwatch;
        SetPicture(g.c.swatch, SwatchPicture(v.oldSwatch));
        SetPicture(g.c.newSwatch, SwatchPicture(v.newSwatch));
        SetWindowTextW(g.c.swatchText, W(v.oldText));
        SetWindowTextW(g.c.newSwatchText, W(v.newText));
        break;
    }
    SwitchPage(page, v.page == ComparePage::kSwatches);
    if (problemWas) PlaceChildren();
    DrawAgain(drawing);
}

void ChooseLine(int line) {
    const int row = g.follower.ChooseLine(line);
    FlushListPane();
    if (row >= 0) SendMessageW(ListPane, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void PostRefresh() {
    if (!g.shown || g.refreshPosted || !PreviewPane) return;
    g.refreshPosted = PostMessageW(PreviewPane, kRefreshMessage, 0, 0) != FALSE;
}

// MARK: the preview's window

bool OnEdge(LPARAM position) { return GET_Y_LPARAM(position) < Scaled(kEdge); }

void Drag(LPARAM position) {
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    MapWindowPoints(PreviewPane, GetParent(PreviewPane), &at, 1);
    const int columnHeight = static_cast<int>(g.column.bottom - g.column.top);
    g.height = std::max(1, static_cast<int>(g.column.bottom - at.y) + g.grab);
    g.height = PreviewHeight(columnHeight);
    PlaceWithList();
}

LRESULT OnCommand(WPARAM wParam, LPARAM lParam) {
    const auto from = reinterpret_cast<HWND>(lParam);
    if (from == g.c.events && HIWORD(wParam) == LBN_SELCHANGE)
        ChooseLine(static_cast<int>(SendMessageW(g.c.events, LB_GETCURSEL, 0, 0)));
    else if (from == g.c.layers && HIWORD(wParam) == CBN_SELCHANGE)
        ShowLayer(std::max(0, static_cast<int>(SendMessageW(g.c.layers, CB_GETCURSEL, 0, 0))));
    return 0;
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: PlaceChildren(); return 0;
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_CONTEXTMENU:
        // The event lines' menu is the main window's, as the panes' are:
        // passed on naming the list box, not the preview.
        if (reinterpret_cast<HWND>(wParam) == g.c.events) return SendMessageW(GetParent(window), message, wParam, lParam);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == g.c.problem) {
            SetTextColor(reinterpret_cast<HDC>(wParam), kProblemColour);
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == window && LOWORD(lParam) == HTCLIENT) {
            POINT at;
            GetCursorPos(&at);
            ScreenToClient(window, &at);
            SetCursor(LoadCursorW(nullptr, at.y < Scaled(kEdge) ? IDC_SIZENS : IDC_ARROW));
            return TRUE;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_LBUTTONDOWN:
        if (OnEdge(lParam)) {
            g.dragging = true;
            g.grab = GET_Y_LPARAM(lParam);
            SetCapture(window);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (g.dragging) Drag(lParam);
        return 0;
    case WM_LBUTTONUP:
        if (g.dragging) ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED: g.dragging = false; return 0;
    case WM_LBUTTONDBLCLK:
        if (OnEdge(lParam)) {
            g.height = 0;
            PlaceWithList();
        }
        return 0;
    case kRefreshMessage:
        g.refreshPosted = false;
        RefreshPreviewNow();
        return 0;
    case WM_DESTROY:
        if (g.codeFont) DeleteObject(g.codeFont);
        g = State{};
        PreviewPane = nullptr;
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RegisterClasses(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterPaneClass(instance, L"QuarnixPreview", PreviewProc, CS_DBLCLKS);
    RegisterPaneClass(instance, L"QuarnixPicture", PictureProc);
    RegisterRowsView(instance);
}

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FontInstalled(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcscpy(wanted.lfFaceName, face);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// Scripts in a monospace font that has Chinese and Japanese too (comments
// and strings of RPG Maker scripts often are): 新宋体, which Windows ships,
// else Consolas; of the message font's size at the window's DPI.
HFONT CodeFont() {
    static const bool nsimsun = FontInstalled(L"NSimSun");
    return CreateMessageFontWithFace(nsimsun ? L"NSimSun" : L"Consolas", FIXED_PITCH | FF_MODERN);
}

void SetFonts() {
    for (HWND child : {g.c.header, g.c.problem, g.layerLabel, g.c.layers, g.c.heatMap, g.c.swatch, g.c.swatchText,
                       g.c.events, g.c.newSwatchText})
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(g.uiFont), TRUE);
    for (HWND child : {g.c.text, g.c.table}) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(g.codeFont), TRUE);
    SendMessageW(g.c.events, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(Scaled(2000)), 0);
}
}  // namespace

void CreatePreviewPane(HWND parent) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterClasses(instance);
    g = State{};
    PreviewPane = CreateWindowExW(0, L"QuarnixPreview", nullptr, WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, parent, nullptr,
                                  instance, nullptr);
    if (!PreviewPane) return;
    g.uiFont = MessageFont();
    g.codeFont = CodeFont();
    g.c.header = Child(WC_STATICW, WS_VISIBLE | SS_NOPREFIX | SS_ENDELLIPSIS);
    g.c.problem = Child(WC_STATICW, SS_NOPREFIX | SS_ENDELLIPSIS);
    g.c.text = Child(L"QuarnixRows", WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
    g.layerLabel = Child(WC_STATICW, SS_NOPREFIX);
    SetWindowTextW(g.layerLabel, L"层：");
    g.c.layers = Child(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL);
    g.c.table = Child(L"QuarnixRows", WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
    g.c.heatMap = Child(L"QuarnixPicture", 0);
    g.c.swatch = Child(L"QuarnixPicture", 0);
    g.c.swatchText = Child(WC_STATICW, SS_NOPREFIX);
    g.c.newSwatch = Child(L"QuarnixPicture", 0);
    g.c.newSwatchText = Child(WC_STATICW, SS_NOPREFIX);
    g.c.events = Child(WC_LISTBOXW, WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                       WS_EX_CLIENTEDGE);
    SetFonts();
}

void PreviewDpiChanged(UINT from, UINT to) {
    if (!PreviewPane) return;
    HFONT old = g.codeFont;
    g.uiFont = MessageFont();
    g.codeFont = CodeFont();
    SetFonts();
    if (old) DeleteObject(old);
    // A height chosen by dragging stays the same share of the screen.
    if (g.height) g.height = MulDiv(g.height, static_cast<int>(to), static_cast<int>(from));
    PlaceChildren();
}

bool PreviewShown() { return g.shown; }

void PreviewCompareChanged() { PostRefresh(); }

void SetPreviewShown(bool shown) {
    if (!PreviewPane || shown == g.shown) return;
    g.shown = shown;
    if (shown) {
        PlaceWithList();
        ShowWindow(PreviewPane, SW_SHOWNA);
        PlaceChildren();
        PostRefresh();
    } else {
        ShowWindow(PreviewPane, SW_HIDE);
        // The list takes the whole column back.
        MoveWindow(ListPane, g.column.left, g.column.top, g.column.right - g.column.left, g.column.bottom - g.column.top,
                   TRUE);
    }
}

RECT LayoutPreviewColumn(const RECT& column) {
    g.column = column;
    return Place();
}

void PreviewPanesNotified(const NMHDR* header) {
    if (!PreviewPane) return;
    // The tree's items go when a document is released: its nodes with them.
    if (header->code == TVN_DELETEITEMW || header->code == LVN_DELETEALLITEMS) g.follower.Forget();
    if (header->code == LVN_GETDISPINFOW || header->code == TVN_GETDISPINFOW) return;
    PostRefresh();
}

void RefreshPreviewNow() {
    // While an open runs the panes hold no document to read.
    if (!g.shown || OpenSequenceRunning()) return;
    FlushListPane();
    ShowPreviewTarget(CurrentPreviewTarget());
}

void ShowPreviewTarget(const PreviewTarget& target) {
    if (const StoredDifference* difference = CurrentPreviewDifference(target)) {
        ShowCompare(MakeCompareView(*difference));
        g.follower.Forget();  // the value's own page is shown anew after
        return;
    }
    if (g.follower.Follow(target) == PreviewFollower::Change::kPage) ShowView(g.follower.View());
    MarkLine();
}

void PreviewMarkFindText(const std::u16string& text, bool matchCase) {
    if (!PreviewPane || (text == g.findText && matchCase == g.findCase)) return;
    g.findText = text;
    g.findCase = matchCase;
    // A table, swatch or event page keeps its text page empty of marks.
    const PreviewView& view = g.follower.View();
    SetRowsMarks(g.c.text, view.page == PreviewPage::kText ? FindTextMarks(view.lines, text, matchCase)
                                                            : std::vector<TextMark>{});
}

PreviewControls PreviewControlHandles() { return g.c; }

HBITMAP PreviewPictureBitmap(HWND picture) {
    return reinterpret_cast<HBITMAP>(GetWindowLongPtrW(picture, GWLP_USERDATA));
}

bool PreviewTextIsRuby() { return g.ruby; }

std::vector<MenuEntry> PreviewEventLineMenu(int line) {
    return g.page == PreviewPage::kEvents ? PreviewLineMenu(g.follower, line) : std::vector<MenuEntry>{};
}
