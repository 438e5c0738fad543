#include "ui/win32/rows_view_win32.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>

namespace {
constexpr COLORREF kMarkColour = RGB(0xff, 0xe0, 0x60);
constexpr COLORREF kFrameColour = RGB(0xe0, 0x20, 0x20);

struct View {
    RowsSource source;
    std::vector<TextMark> marks;
    HFONT font = nullptr;
    int top = 0;   // first row in sight
    int left = 0;  // pixels scrolled to the right
    int lineHeight = 16, charWidth = 8;
};

View* Of(HWND window) { return reinterpret_cast<View*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

int Margin(const View& v) {
    if (!v.source.numbers) return 0;
    int digits = 1;
    for (int n = std::max(1, v.source.count); n >= 10; n /= 10) ++digits;
    return v.charWidth * (digits + 1);  // half a character either side
}

int HeaderHeight(const View& v) { return v.source.header.empty() ? 0 : v.lineHeight; }

int RowsInSight(HWND window, const View& v) {
    RECT r;
    GetClientRect(window, &r);
    return std::max(1, static_cast<int>(r.bottom - HeaderHeight(v)) / v.lineHeight);
}

void UpdateScrollBars(HWND window, View& v) {
    RECT r;
    GetClientRect(window, &r);
    const int page = RowsInSight(window, v);
    v.top = std::clamp(v.top, 0, std::max(0, v.source.count - page));
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, std::max(0, v.source.count - 1),
                    static_cast<UINT>(page), v.top, 0};
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    const int width = v.source.widest * v.charWidth + Margin(v) + v.charWidth;
    v.left = std::clamp(v.left, 0, std::max(0, width - static_cast<int>(r.right)));
    SCROLLINFO across{sizeof across, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, std::max(0, width - 1),
                      static_cast<UINT>(std::max(1L, r.right)), v.left, 0};
    SetScrollInfo(window, SB_HORZ, &across, TRUE);
}

// The backgrounds of the marks on a row, from the widths of the characters
// before and in each (a Chinese character is two columns wide).
void DrawMarks(HDC dc, const std::u16string& text, const TextMark* mark, const TextMark* end, int x, int y, int height,
               HBRUSH brush, bool frames) {
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    for (; mark != end; ++mark) {
        const int start = std::min(mark->start, size), stop = std::min(mark->start + mark->length, size);
        if (stop <= start) continue;
        SIZE before{}, within{};
        GetTextExtentPoint32W(dc, units, start, &before);
        GetTextExtentPoint32W(dc, units + start, stop - start, &within);
        RECT box{x + before.cx, y, x + before.cx + within.cx, y + height};
        if (!frames) {
            FillRect(dc, &box, brush);
            continue;
        }
        FrameRect(dc, &box, brush);  // two pixels wide, to be seen
        InflateRect(&box, -1, -1);
        FrameRect(dc, &box, brush);
    }
}

void DrawRow(HDC dc, const std::u16string& text, const std::vector<RubySpan>& spans, int x, int y) {
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    int at = 0;
    auto run = [&](int end, COLORREF colour) {
        if (end <= at) return;
        SetTextColor(dc, colour);
        SetTextAlign(dc, TA_UPDATECP);
        TextOutW(dc, 0, 0, units + at, end - at);
        at = end;
    };
    MoveToEx(dc, x, y, nullptr);
    const COLORREF plain = GetSysColor(COLOR_WINDOWTEXT);
    for (const RubySpan& span : spans) {
        run(std::min(span.start, static_cast<int>(text.size())), plain);
        const RubyStyle& s = RubyTokenStyle(span.token);
        run(std::min(span.start + span.length, static_cast<int>(text.size())), RGB(s.red, s.green, s.blue));
    }
    run(static_cast<int>(text.size()), plain);
    SetTextAlign(dc, TA_NOUPDATECP);
}

void Paint(HWND window, View& v) {
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(window, &paint);
    RECT r;
    GetClientRect(window, &r);
    // Drawn off screen, then copied: no flicker while scrolling.
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max(1L, r.right), std::max(1L, r.bottom));
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, v.font);
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    const int margin = Margin(v), head = HeaderHeight(v);
    std::vector<RubySpan> spans;
    const int last = std::min(v.source.count, v.top + RowsInSight(window, v) + 1);
    HBRUSH markBrush = v.marks.empty() ? nullptr : CreateSolidBrush(v.source.frameMarks ? kFrameColour : kMarkColour);
    auto byLine = [](const TextMark& mark, int line) { return mark.line < line; };
    const TextMark* mark = std::lower_bound(v.marks.data(), v.marks.data() + v.marks.size(), v.top, byLine);
    for (int row = v.top; row < last; ++row) {
        const int x = margin - v.left + v.charWidth / 2, y = head + (row - v.top) * v.lineHeight;
        spans.clear();
        if (v.source.spans) v.source.spans(row, spans);
        // Characters are at least charWidth wide: the rest of a long row is out of sight.
        std::u16string text = v.source.text(row);
        text.resize(std::min(text.size(), static_cast<std::size_t>((v.left + r.right) / v.charWidth + 1)));
        const TextMark* rowEnd = mark;
        while (rowEnd != v.marks.data() + v.marks.size() && rowEnd->line == row) ++rowEnd;
        if (const std::uint32_t c = v.source.background ? v.source.background(row) : kNoRowColour; c != kNoRowColour) {
            RECT band{0, y, r.right, y + v.lineHeight};
            HBRUSH brush = CreateSolidBrush(RGB(c >> 16 & 0xff, c >> 8 & 0xff, c & 0xff));
            FillRect(dc, &band, brush);
            DeleteObject(brush);
        }
        DrawMarks(dc, text, mark, rowEnd, x, y, v.lineHeight, markBrush, v.source.frameMarks);
        mark = rowEnd;
        DrawRow(dc, text, spans, x, y);
    }
    if (markBrush) DeleteObject(markBrush);
    if (margin) {
        RECT gutter{0, head, margin, r.bottom};
        FillRect(dc, &gutter, GetSysColorBrush(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        for (int row = v.top; row < last; ++row) {
            const std::wstring number = std::to_wstring(row + 1);
            RECT cell{0, head + (row - v.top) * v.lineHeight, margin - v.charWidth / 2, head + (row - v.top + 1) * v.lineHeight};
            DrawTextW(dc, number.c_str(), static_cast<int>(number.size()), &cell, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    if (head) {
        RECT band{0, 0, r.right, head};
        FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
        std::u16string text = v.source.header;
        text.resize(std::min(text.size(), static_cast<std::size_t>((v.left + r.right) / v.charWidth + 1)));
        DrawRow(dc, text, {}, margin - v.left + v.charWidth / 2, 0);
    }
    BitBlt(screen, 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(window, &paint);
}

void Measure(HWND window, View& v) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, v.font ? v.font : GetStockObject(SYSTEM_FIXED_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    v.lineHeight = std::max(1L, metrics.tmHeight);
    v.charWidth = std::max(1L, metrics.tmAveCharWidth);
}

int ScrollTo(int code, int position, int line, int page, int track) {
    switch (code) {
    case SB_LINEUP: return position - line;
    case SB_LINEDOWN: return position + line;
    case SB_PAGEUP: return position - page;
    case SB_PAGEDOWN: return position + page;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: return track;
    case SB_TOP: return 0;
    case SB_BOTTOM: return INT_MAX / 2;
    default: return position;
    }
}

int Track(HWND window, int bar) {
    SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    GetScrollInfo(window, bar, &info);
    return info.nTrackPos;
}

LRESULT CALLBACK RowsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    View* v = Of(window);
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new View));
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_NCDESTROY:
        delete v;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SETFONT:
        v->font = reinterpret_cast<HFONT>(wParam);
        Measure(window, *v);
        return 0;
    case WM_SIZE: UpdateScrollBars(window, *v); return 0;
    case WM_PAINT: Paint(window, *v); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_VSCROLL:
        v->top = ScrollTo(LOWORD(wParam), v->top, 1, RowsInSight(window, *v), Track(window, SB_VERT));
        break;
    case WM_HSCROLL:
        v->left = ScrollTo(LOWORD(wParam), v->left, v->charWidth * 4, v->charWidth * 40, Track(window, SB_HORZ));
        break;
    case WM_MOUSEWHEEL: v->top -= GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3; break;
    case WM_LBUTTONDOWN: SetFocus(window); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_KEYDOWN: {
        const int page = RowsInSight(window, *v);
        switch (wParam) {
        case VK_UP: v->top -= 1; break;
        case VK_DOWN: v->top += 1; break;
        case VK_PRIOR: v->top -= page; break;
        case VK_NEXT: v->top += page; break;
        case VK_HOME: v->top = 0; break;
        case VK_END: v->top = v->source.count; break;
        case VK_LEFT: v->left -= v->charWidth * 4; break;
        case VK_RIGHT: v->left += v->charWidth * 4; break;
        default: return 0;
        }
        break;
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
    // A scroll: clamp, move the bars, draw again.
    UpdateScrollBars(window, *v);
    InvalidateRect(window, nullptr, FALSE);
    return 0;
}
}  // namespace

void RegisterRowsView(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RowsProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"QuarnixRows";
    RegisterClassExW(&wc);
}

void SetRowsSource(HWND view, RowsSource source) {
    View* v = Of(view);
    if (!v) return;
    v->source = std::move(source);
    v->marks.clear();
    v->top = v->source.top;  // clamped to the rows in sight below
    v->left = 0;
    UpdateScrollBars(view, *v);
    InvalidateRect(view, nullptr, FALSE);
}

void SetRowsMarks(HWND view, std::vector<TextMark> marks) {
    View* v = Of(view);
    if (!v) return;
    v->marks = std::move(marks);
    if (!v->marks.empty()) {
        // The first mark in sight, the view moved no more than it takes.
        const TextMark& first = v->marks.front();
        const int page = RowsInSight(view, *v);
        if (first.line < v->top) v->top = first.line;
        else if (first.line >= v->top + page) v->top = first.line - page + 1;
        RECT r;
        GetClientRect(view, &r);
        const int width = std::max(v->charWidth, static_cast<int>(r.right) - Margin(*v) - v->charWidth);
        const int from = first.start * v->charWidth, to = (first.start + first.length) * v->charWidth;
        if (from < v->left) v->left = from;
        else if (to > v->left + width) v->left = std::min(from, to - width);
    }
    UpdateScrollBars(view, *v);
    InvalidateRect(view, nullptr, FALSE);
}

const std::vector<TextMark>& RowsMarksOf(HWND view) {
    static const std::vector<TextMark> none;
    View* v = Of(view);
    return v ? v->marks : none;
}

int RowsTop(HWND view) {
    View* v = Of(view);
    return v ? v->top : 0;
}

const RowsSource& RowsSourceOf(HWND view) {
    static const RowsSource none;
    View* v = Of(view);
    return v ? v->source : none;
}
