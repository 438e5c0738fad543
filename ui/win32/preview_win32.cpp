#include "ui/win32/preview_win32.h"

#include <richedit.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "lens/ruby_tokens.h"
#include "ui/preview_view.h"

HWND PreviewPane;

namespace {
// Posted to the preview by itself: read the panes again.
constexpr UINT kRefreshMessage = WM_APP + 20;
constexpr int kEdge = kSplitterWidth;  // the draggable strip along the top
constexpr int kMinHeight = 80;         // neither part shrinks below this when it can
constexpr int kGap = 2;
constexpr int kMostColumns = 1000;     // a table wider than this shows its first columns
constexpr int kCellWidth = 52;
constexpr COLORREF kProblemColour = RGB(0xb0, 0x00, 0x00);

struct State {
    PreviewControls c{};
    HWND layerLabel = nullptr;
    HFONT uiFont = nullptr, codeFont = nullptr;
    HMODULE richEdit = nullptr;
    PreviewFollower follower;
    PreviewPage page = PreviewPage::kText;
    bool ruby = false;
    int layer = 0;
    int lineCount = 1;  // of the text page, for the gutter's width
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

// The gutter: the numbers of the lines the RichEdit shows, right-aligned.
LRESULT CALLBACK GutterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT r;
    GetClientRect(window, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(dc, g.codeFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    HWND text = g.c.text;
    const int lines = static_cast<int>(SendMessageW(text, EM_GETLINECOUNT, 0, 0));
    const int height = LineHeight(window, g.codeFont);
    // The RichEdit's client origin in the gutter's coordinates.
    POINT origin{0, 0};
    MapWindowPoints(text, window, &origin, 1);
    for (int line = static_cast<int>(SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0)); line < lines; ++line) {
        const LRESULT start = SendMessageW(text, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
        POINTL at{};
        SendMessageW(text, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), start);
        const int top = origin.y + at.y;
        if (top > r.bottom) break;
        const std::wstring number = std::to_wstring(line + 1);
        RECT cell{0, top, r.right - 4, top + height};
        DrawTextW(dc, number.c_str(), static_cast<int>(number.size()), &cell, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, old);
    EndPaint(window, &paint);
    return 0;
}

int GutterWidth() {
    int digits = 1;
    for (int n = std::max(1, g.lineCount); n >= 10; n /= 10) ++digits;
    HDC dc = GetDC(g.c.gutter);
    HGDIOBJ old = SelectObject(dc, g.codeFont);
    SIZE nine{};
    GetTextExtentPoint32W(dc, L"9", 1, &nine);
    SelectObject(dc, old);
    ReleaseDC(g.c.gutter, dc);
    return 8 + nine.cx * digits;
}

void AppendRtfText(std::string& rtf, std::u16string_view text) {
    for (char16_t c : text) {
        if (c == u'\\' || c == u'{' || c == u'}') {
            rtf += '\\';
            rtf += static_cast<char>(c);
        } else if (c == u'\t') {
            rtf += "\\tab ";
        } else if (c < 0x20) {
            rtf += ' ';
        } else if (c < 0x80) {
            rtf += static_cast<char>(c);
        } else {
            rtf += "\\u";
            rtf += std::to_string(static_cast<std::int16_t>(c));
            rtf += '?';
        }
    }
}

// The lines as one RTF document: the token colours in its colour table,
// each coloured span switching colour and weight, so that the control
// takes the whole text and its colours in one stream.
std::string RubyRtf(const std::vector<std::u16string>& lines) {
    std::size_t size = 256;
    for (const auto& line : lines) size += line.size() * 3 / 2 + 8;
    std::string rtf;
    rtf.reserve(size);
    rtf += "{\\rtf1\\ansi\\deff0{\\colortbl;";
    for (int k = 0; k < kRubyTokenKinds; ++k) {
        const RubyStyle& s = RubyTokenStyle(static_cast<RubyToken>(k));
        rtf += "\\red" + std::to_string(s.red) + "\\green" + std::to_string(s.green) + "\\blue" + std::to_string(s.blue) + ';';
    }
    rtf += "}\\uc1 ";
    std::vector<RubySpan> spans;
    RubyLineState state = RubyLineState::kCode;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::u16string_view line = lines[n];
        spans.clear();
        state = AppendRubySpans(line, state, spans);
        std::size_t at = 0;
        for (const RubySpan& span : spans) {
            AppendRtfText(rtf, line.substr(at, static_cast<std::size_t>(span.start) - at));
            const RubyStyle& s = RubyTokenStyle(span.token);
            rtf += "\\cf" + std::to_string(static_cast<int>(span.token) + 1);
            rtf += s.bold ? "\\b" : "";
            rtf += s.italic ? "\\i" : "";
            rtf += ' ';
            AppendRtfText(rtf, line.substr(static_cast<std::size_t>(span.start), static_cast<std::size_t>(span.length)));
            rtf += "\\cf0\\b0\\i0 ";
            at = static_cast<std::size_t>(span.start + span.length);
        }
        AppendRtfText(rtf, line.substr(at));
        if (n + 1 < lines.size()) rtf += "\\par\n";
    }
    rtf += '}';
    return rtf;
}

struct Stream {
    const char* data;
    std::size_t left;
};

DWORD CALLBACK StreamOut(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* given) {
    auto* stream = reinterpret_cast<Stream*>(cookie);
    const std::size_t n = std::min(stream->left, static_cast<std::size_t>(size));
    std::copy(stream->data, stream->data + n, buffer);
    stream->data += n;
    stream->left -= n;
    *given = static_cast<LONG>(n);
    return 0;
}

void StreamIn(const std::string& bytes, WPARAM format) {
    Stream stream{bytes.data(), bytes.size()};
    EDITSTREAM edit{reinterpret_cast<DWORD_PTR>(&stream), 0, StreamOut};
    SendMessageW(g.c.text, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&edit));
}

void ShowText(const PreviewView& view) {
    SendMessageW(g.c.text, WM_SETREDRAW, FALSE, 0);
    // The default character format: the monospace font, plain and black.
    CHARFORMAT2W plain{};
    plain.cbSize = sizeof plain;
    plain.dwMask = CFM_COLOR | CFM_BOLD | CFM_ITALIC;
    plain.crTextColor = GetSysColor(COLOR_WINDOWTEXT);
    SendMessageW(g.c.text, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&plain));
    if (view.ruby) {
        StreamIn(RubyRtf(view.lines), SF_RTF);
    } else {
        std::u16string joined;
        std::size_t size = 0;
        for (const auto& line : view.lines) size += line.size() + 2;
        joined.reserve(size);
        for (std::size_t n = 0; n < view.lines.size(); ++n) {
            if (n) joined += u"\r\n";
            joined += view.lines[n];
        }
        StreamIn(std::string(reinterpret_cast<const char*>(joined.data()), joined.size() * 2), SF_TEXT | SF_UNICODE);
    }
    SendMessageW(g.c.text, EM_SETSEL, 0, 0);
    SendMessageW(g.c.text, WM_SETREDRAW, TRUE, 0);
    g.ruby = view.ruby;
    g.lineCount = static_cast<int>(view.lines.size());
    InvalidateRect(g.c.text, nullptr, TRUE);
}

// MARK: the table page

void ShowLayer(int layer) {
    const PreviewTable& table = g.follower.View().table;
    g.layer = layer;
    SetPicture(g.c.heatMap, TableHeatMap(table, layer));
    InvalidateRect(g.c.table, nullptr, FALSE);
}

void ShowTable(const PreviewTable& table) {
    HWND list = g.c.table;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, 0, 0);
    while (SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) {}
    const bool empty = !table.x || !table.y || !table.z;
    const int columns = empty ? 0 : std::min(table.x, kMostColumns);
    // Column 0 names the row (y); the others are x = 0, 1, ...
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_RIGHT;
    column.cx = kCellWidth;
    std::wstring name = L"y";
    column.pszText = name.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (int x = 0; x < columns; ++x) {
        name = std::to_wstring(x);
        column.pszText = name.data();
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(x + 1), reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(list, LVM_SETITEMCOUNT, empty ? 0 : static_cast<WPARAM>(table.y), LVSICF_NOINVALIDATEALL);
    SendMessageW(g.c.layers, CB_RESETCONTENT, 0, 0);
    for (int z = 0; z < table.z; ++z) SendMessageW(g.c.layers, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(TableLayerName(z))));
    SendMessageW(g.c.layers, CB_SETCURSEL, 0, 0);
    EnableWindow(g.c.layers, table.z > 1);
    ShowLayer(0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void AnswerCell(NMLVDISPINFOW* info) {
    if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return;
    const PreviewTable& table = g.follower.View().table;
    const int y = info->item.iItem, x = info->item.iSubItem - 1;
    std::wstring text;
    if (y >= 0 && y < table.y) {
        if (x < 0) text = std::to_wstring(y);
        else if (x < table.x && g.layer < table.z) text = std::to_wstring(table.At(x, y, g.layer));
    }
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(info->item.cchTextMax - 1));
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), info->item.pszText);
    info->item.pszText[n] = L'\0';
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
    case PreviewPage::kText: return {g.c.text, g.c.gutter};
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
    const int line = LineHeight(PreviewPane, g.uiFont) + 4;
    int y = kEdge;
    MoveWindow(g.c.header, 0, y, w, line, TRUE);
    y += line;
    if (IsWindowVisible(g.c.problem)) {
        MoveWindow(g.c.problem, 0, y, w, line, TRUE);
        y += line;
    }
    y += kGap;
    const int h = std::max(0, bottom - y);
    const int gutter = GutterWidth();
    MoveWindow(g.c.gutter, 0, y, gutter, h, TRUE);
    MoveWindow(g.c.text, gutter, y, std::max(0, w - gutter), h, TRUE);
    MoveWindow(g.layerLabel, 0, y + 4, 30, line, TRUE);
    MoveWindow(g.c.layers, 32, y, 120, 200, TRUE);
    const int body = y + line + 8;
    MoveWindow(g.c.table, 0, body, std::max(0, w - kHeatMapSide - 2 * kGap), std::max(0, bottom - body), TRUE);
    MoveWindow(g.c.heatMap, std::max(0, w - kHeatMapSide), body, kHeatMapSide, kHeatMapSide, TRUE);
    MoveWindow(g.c.swatch, 4, y + 4, kSwatchSide, kSwatchSide, TRUE);
    MoveWindow(g.c.swatchText, kSwatchSide + 12, y + 4, std::max(0, w - kSwatchSide - 12), std::max(0, h - 4), TRUE);
    MoveWindow(g.c.events, 0, y, w, h, TRUE);
}

// The preview's share of the column, kept within it and leaving the list
// some rows where the column allows.
int PreviewHeight(int columnHeight) {
    int h = g.height ? g.height : columnHeight * 2 / 5;
    if (columnHeight < 2 * kMinHeight) return columnHeight / 2;
    return std::clamp(h, kMinHeight, columnHeight - kMinHeight);
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

void ShowView(const PreviewView& view) {
    SetWindowTextW(g.c.header, W(view.header));
    SetWindowTextW(g.c.problem, W(view.problem));
    const bool problemWas = IsWindowVisible(g.c.problem) != FALSE;
    ShowWindow(g.c.problem, view.problem.empty() ? SW_HIDE : SW_SHOWNA);
    switch (view.page) {
    case PreviewPage::kText: ShowText(view); break;
    case PreviewPage::kTable: ShowTable(view.table); break;
    case PreviewPage::kSwatch: ShowSwatch(view); break;
    case PreviewPage::kEvents: ShowEvents(view); break;
    }
    if (view.page != g.page) {
        for (HWND control : PageControls(g.page)) ShowWindow(control, SW_HIDE);
        for (HWND control : PageControls(view.page)) ShowWindow(control, SW_SHOWNA);
        g.page = view.page;
    }
    if (problemWas != !view.problem.empty() || view.page == PreviewPage::kText) PlaceChildren();
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

bool OnEdge(LPARAM position) { return GET_Y_LPARAM(position) < kEdge; }

void Drag(LPARAM position) {
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    MapWindowPoints(PreviewPane, GetParent(PreviewPane), &at, 1);
    const int columnHeight = static_cast<int>(g.column.bottom - g.column.top);
    g.height = std::max(1, static_cast<int>(g.column.bottom - at.y) + g.grab);
    g.height = PreviewHeight(columnHeight);
    PlaceWithList();
}

LRESULT OnNotify(NMHDR* header) {
    if (header->hwndFrom == g.c.table && header->code == LVN_GETDISPINFOW) AnswerCell(reinterpret_cast<NMLVDISPINFOW*>(header));
    if (header->hwndFrom == g.c.text && header->code == EN_UPDATE) InvalidateRect(g.c.gutter, nullptr, FALSE);
    return 0;
}

LRESULT OnCommand(WPARAM wParam, LPARAM lParam) {
    const auto from = reinterpret_cast<HWND>(lParam);
    if (from == g.c.events && HIWORD(wParam) == LBN_SELCHANGE)
        ChooseLine(static_cast<int>(SendMessageW(g.c.events, LB_GETCURSEL, 0, 0)));
    else if (from == g.c.layers && HIWORD(wParam) == CBN_SELCHANGE)
        ShowLayer(std::max(0, static_cast<int>(SendMessageW(g.c.layers, CB_GETCURSEL, 0, 0))));
    else if (from == g.c.text && (HIWORD(wParam) == EN_VSCROLL || HIWORD(wParam) == EN_UPDATE))
        InvalidateRect(g.c.gutter, nullptr, FALSE);
    return 0;
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: PlaceChildren(); return 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND: return OnCommand(wParam, lParam);
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
            SetCursor(LoadCursorW(nullptr, at.y < kEdge ? IDC_SIZENS : IDC_ARROW));
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
        for (HFONT font : {g.uiFont, g.codeFont})
            if (font) DeleteObject(font);
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
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = PreviewProc;
    wc.lpszClassName = L"QuarnixPreview";
    RegisterClassExW(&wc);
    wc.style = 0;
    wc.lpfnWndProc = PictureProc;
    wc.lpszClassName = L"QuarnixPicture";
    RegisterClassExW(&wc);
    wc.lpfnWndProc = GutterProc;
    wc.lpszClassName = L"QuarnixGutter";
    RegisterClassExW(&wc);
}

HFONT Fonts(HFONT& code) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW mono = metrics.lfMessageFont;
    mono.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcscpy(mono.lfFaceName, L"Consolas");
    code = CreateFontIndirectW(&mono);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}
}  // namespace

void CreatePreviewPane(HWND parent) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterClasses(instance);
    g = State{};
    PreviewPane = CreateWindowExW(0, L"QuarnixPreview", nullptr, WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, parent, nullptr,
                                  instance, nullptr);
    if (!PreviewPane) return;
    g.uiFont = Fonts(g.codeFont);
    // msftedit.dll stays loaded for the program's life: its class must outlive every control of it.
    static HMODULE richEdit = LoadLibraryW(L"msftedit.dll");
    g.richEdit = richEdit;
    g.c.header = Child(WC_STATICW, WS_VISIBLE | SS_NOPREFIX | SS_ENDELLIPSIS);
    g.c.problem = Child(WC_STATICW, SS_NOPREFIX | SS_ENDELLIPSIS);
    g.c.gutter = Child(L"QuarnixGutter", WS_VISIBLE);
    g.c.text = Child(MSFTEDIT_CLASS, WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                                         ES_AUTOHSCROLL | ES_NOHIDESEL | ES_DISABLENOSCROLL,
                     WS_EX_CLIENTEDGE);
    SendMessageW(g.c.text, WM_SETFONT, reinterpret_cast<WPARAM>(g.codeFont), FALSE);
    SendMessageW(g.c.text, EM_EXLIMITTEXT, 0, 0x7ffffffe);
    SendMessageW(g.c.text, EM_SETTARGETDEVICE, 0, 1);  // no wrapping: a line is a line
    SendMessageW(g.c.text, EM_SETEVENTMASK, 0, ENM_UPDATE | ENM_SCROLL);
    SendMessageW(g.c.text, EM_SETUNDOLIMIT, 0, 0);
    g.layerLabel = Child(WC_STATICW, SS_NOPREFIX);
    SetWindowTextW(g.layerLabel, L"层：");
    g.c.layers = Child(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL);
    g.c.table = Child(WC_LISTVIEWW, LVS_REPORT | LVS_OWNERDATA | LVS_NOSORTHEADER, WS_EX_CLIENTEDGE);
    SendMessageW(g.c.table, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_DOUBLEBUFFER | LVS_EX_GRIDLINES);
    g.c.heatMap = Child(L"QuarnixPicture", 0);
    g.c.swatch = Child(L"QuarnixPicture", 0);
    g.c.swatchText = Child(WC_STATICW, SS_NOPREFIX);
    SendMessageW(g.c.swatchText, WM_SETFONT, reinterpret_cast<WPARAM>(g.codeFont), FALSE);
    g.c.events = Child(WC_LISTBOXW, WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                       WS_EX_CLIENTEDGE);
    SendMessageW(g.c.events, WM_SETFONT, reinterpret_cast<WPARAM>(g.codeFont), FALSE);
    SendMessageW(g.c.events, LB_SETHORIZONTALEXTENT, 2000, 0);
}

bool PreviewShown() { return g.shown; }

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
    if (!g.shown || LoadRunning()) return;
    FlushListPane();
    if (g.follower.Follow(CurrentPreviewTarget()) == PreviewFollower::Change::kPage) ShowView(g.follower.View());
    MarkLine();
}

PreviewControls PreviewControlHandles() { return g.c; }

HBITMAP PreviewPictureBitmap(HWND picture) {
    return reinterpret_cast<HBITMAP>(GetWindowLongPtrW(picture, GWLP_USERDATA));
}

bool PreviewTextIsRuby() { return g.ruby; }
