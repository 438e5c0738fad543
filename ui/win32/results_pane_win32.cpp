// The game folder's results under the panes: a heading with the search's
// title and status, 取消 while it runs, 关闭, and its lines in a virtual
// list view (a hundred thousand lines cost no more than their strings).
// Lines that write are drawn in another colour.  Double-click or Enter on
// a line goes to its row.  The decisions are GameFolderController's.
#include "ui/win32/win32_front_end.h"

#include <algorithm>
#include <string>

#include "ui/game_folder_controller.h"
#include "ui/win32/dpi_win32.h"

namespace {
// At 96 DPI, scaled to the window's.
constexpr int kMostHeight = 280;
constexpr COLORREF kWriteColour = RGB(0xb0, 0x40, 0x00);
// The list view draws no more of a line than this; a longer one is not
// measured further.
constexpr std::size_t kMeasuredUnits = 260;

struct State {
    HWND pane = nullptr, heading = nullptr, cancel = nullptr, close = nullptr, list = nullptr;
    HFONT font = nullptr;  // the window's message font
    bool shown = false;
    // The longest line met so far and how many lines were looked at: the
    // column is widened as batches arrive, without going over all lines.
    std::size_t measured = 0, widestUnits = 0;
    int columnWidth = 0;
};
State g;

const std::vector<FolderResult>& Lines() { return Win32GameFolder().Results(); }

HWND Child(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle = 0) {
    HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, g.pane, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(g.font), FALSE);
    return control;
}

// The heading's row: a button's height of the font and a margin.
int HeadingHeight() { return ControlHeight(g.font) + Scaled(6); }

void PlaceChildren() {
    RECT r{};
    GetClientRect(g.pane, &r);
    const int w = r.right, h = r.bottom;
    const int gap = Scaled(4), row = HeadingHeight(), button = ControlHeight(g.font), y = (row - button) / 2;
    const int cancel = ButtonWidth(g.font, L"取消"), close = ButtonWidth(g.font, L"关闭");
    const int buttons = (IsWindowVisible(g.cancel) ? cancel + gap : 0) + close + gap;
    MoveWindow(g.heading, gap, y, std::max(0, w - buttons - 2 * gap), button, TRUE);
    int x = w - close - gap;
    MoveWindow(g.close, x, y, close, button, TRUE);
    x -= cancel + gap;
    MoveWindow(g.cancel, x, y, cancel, button, TRUE);
    MoveWindow(g.list, 0, row, w, std::max(0, h - row), TRUE);
}

// The column as wide as the widest line, at least the list's width.
void WidenColumn() {
    const auto& lines = Lines();
    if (lines.size() < g.measured) g.measured = g.widestUnits = 0;
    const FolderResult* widest = nullptr;
    for (std::size_t i = g.measured; i < lines.size(); ++i)
        if (std::min(lines[i].text.size(), kMeasuredUnits) > g.widestUnits) {
            g.widestUnits = std::min(lines[i].text.size(), kMeasuredUnits);
            widest = &lines[i];
        }
    g.measured = lines.size();
    RECT r{};
    GetClientRect(g.list, &r);
    int width = r.right;
    if (widest || g.columnWidth == 0) {
        int text = 0;
        if (widest) {
            HDC dc = GetDC(g.list);
            HGDIOBJ old = SelectObject(dc, g.font);
            SIZE size{};
            GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(widest->text.c_str()),
                                  static_cast<int>(g.widestUnits), &size);
            SelectObject(dc, old);
            ReleaseDC(g.list, dc);
            text = size.cx + Scaled(16);
        }
        g.columnWidth = std::max(g.columnWidth, text);
    }
    width = std::max(width, g.columnWidth);
    if (ListView_GetColumnWidth(g.list, 0) != width) ListView_SetColumnWidth(g.list, 0, width);
}

void Activate(int line) {
    if (line < 0) line = ListView_GetNextItem(g.list, -1, LVNI_FOCUSED);
    if (line < 0) return;
    FlushListPane();
    Win32GameFolder().Choose(line);
    FlushListPane();
}

LRESULT OnNotify(NMHDR* header) {
    if (header->hwndFrom != g.list) return 0;
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
        const auto& lines = Lines();
        const std::u16string* text =
            item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < lines.size() ? &lines[item.iItem].text : nullptr;
        const std::size_t units = text ? std::min(text->size(), static_cast<std::size_t>(item.cchTextMax - 1)) : 0;
        if (text) std::copy_n(text->data(), units, reinterpret_cast<char16_t*>(item.pszText));
        item.pszText[units] = L'\0';
        return 0;
    }
    case LVN_ITEMACTIVATE: Activate(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem); return 0;
    case NM_CUSTOMDRAW: {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
        const auto& lines = Lines();
        const std::size_t line = draw->nmcd.dwItemSpec;
        if (line < lines.size() && lines[line].write) {
            draw->clrText = kWriteColour;
            return CDRF_NEWFONT;
        }
        return CDRF_DODEFAULT;
    }
    default: return 0;
    }
}

LRESULT CALLBACK ResultsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        PlaceChildren();
        WidenColumn();
        return 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return 0;
        if (reinterpret_cast<HWND>(lParam) == g.cancel) {
            Win32GameFolder().Cancel();
        } else if (reinterpret_cast<HWND>(lParam) == g.close) {
            Win32GameFolder().Clear();
            SetResultsPaneShown(false);
        }
        return 0;
    case WM_DESTROY:
        g = State{};
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void Relayout() {
    RECT r{};
    GetClientRect(MainWindowHandle, &r);
    SendMessageW(MainWindowHandle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right, r.bottom));
}
}  // namespace

void CreateResultsPane(HWND parent) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    static bool registered = false;
    if (!registered) registered = RegisterPaneClass(instance, L"QuarnixResults", ResultsProc);
    g = State{};
    g.pane = CreateWindowExW(0, L"QuarnixResults", nullptr, WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, parent, nullptr,
                             instance, nullptr);
    if (!g.pane) return;
    g.font = MessageFont();
    g.heading = Child(WC_STATICW, L"", SS_NOPREFIX | SS_ENDELLIPSIS | SS_CENTERIMAGE);
    g.cancel = Child(WC_BUTTONW, L"取消", WS_TABSTOP | BS_PUSHBUTTON);
    ShowWindow(g.cancel, SW_HIDE);
    g.close = Child(WC_BUTTONW, L"关闭", WS_TABSTOP | BS_PUSHBUTTON);
    g.list = Child(WC_LISTVIEWW, L"",
                   WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                   WS_EX_CLIENTEDGE);
    SendMessageW(g.list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    SendMessageW(g.list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
}

bool ResultsPaneShown() { return g.shown; }

void SetResultsPaneShown(bool shown) {
    if (!g.pane || shown == g.shown) return;
    g.shown = shown;
    // Keys typed in the pane go to the list once it is closed.
    const bool focused = IsChild(g.pane, GetFocus());
    ShowWindow(g.pane, shown ? SW_SHOWNA : SW_HIDE);
    Relayout();
    if (!shown && focused) SetFocus(ListPane);
}

void UpdateResultsPane() {
    if (!g.pane) return;
    GameFolderController& folder = Win32GameFolder();
    std::u16string heading = folder.Title();
    if (!folder.Status().empty()) heading += u"　" + folder.Status();
    SetWindowTextW(g.heading, reinterpret_cast<const wchar_t*>(heading.c_str()));
    const bool running = folder.Running();
    if ((IsWindowVisible(g.cancel) != FALSE) != running) {
        ShowWindow(g.cancel, running ? SW_SHOWNA : SW_HIDE);
        PlaceChildren();
    }
    const int count = static_cast<int>(folder.Results().size());
    if (ListView_GetItemCount(g.list) != count) {
        // Lines only come at the end while a search runs: the view keeps its place.
        const bool grew = count > ListView_GetItemCount(g.list);
        if (!grew) ListView_SetItemState(g.list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemCountEx(g.list, count, grew ? LVSICF_NOSCROLL : 0);
    }
    WidenColumn();
    InvalidateRect(g.list, nullptr, FALSE);
}

int ResultsPaneHeight(int clientHeight) {
    return g.shown ? std::clamp(clientHeight / 4, 3 * HeadingHeight(), std::max(3 * HeadingHeight(), Scaled(kMostHeight))) : 0;
}

void PlaceResultsPane(int top, int width, int height) {
    if (g.shown) MoveWindow(g.pane, 0, top, std::max(0, width), height, TRUE);
}

HWND ResultsPaneHeading() { return g.heading; }
HWND ResultsPaneList() { return g.list; }

void ResultsPaneDpiChanged() {
    if (!g.pane) return;
    g.font = MessageFont();
    for (HWND child : {g.heading, g.cancel, g.close, g.list})
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(g.font), TRUE);
    g.measured = g.widestUnits = 0;  // the column measured again in the new font
    g.columnWidth = 0;
    PlaceChildren();
    WidenColumn();
}
