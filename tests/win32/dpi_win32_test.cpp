// The window laid out for its monitor's DPI, and again when WM_DPICHANGED
// says it moved to a monitor of another scaling: icons of that DPI's small
// icon size, fonts and the tree in proportion, and the find bar's controls
// each wide enough for its text, side by side, inside the window.  Back at
// the first DPI everything is as it was.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/viewer_fixture.h"
#include "tests/win32/window_support.h"

namespace {
int FontHeight(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return std::abs(font.lfHeight);
}

// The width of a control's text in its own font.
int OwnTextWidth(HWND control) {
    wchar_t text[256] = L"";
    const int units = GetWindowTextW(control, text, 256);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text, units, &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

// The find bar's controls: the shown children of the window in its row.
std::vector<HWND> FindBarRow() {
    const RECT edit = Bounds(FindBarEdit());
    std::vector<HWND> row;
    for (HWND child = GetWindow(MainWindowHandle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT r = Bounds(child);
        if (IsWindowVisible(child) && (r.top + r.bottom) / 2 > edit.top && (r.top + r.bottom) / 2 < edit.bottom)
            row.push_back(child);
    }
    std::sort(row.begin(), row.end(), [](HWND a, HWND b) { return Bounds(a).left < Bounds(b).left; });
    return row;
}

struct Seen {
    int icon = 0, font = 0, tree = 0, bars = 0;
};

Seen Look() {
    Seen seen;
    int height = 0;
    ImageList_GetIconSize(PaneImageList, &seen.icon, &height);
    seen.font = FontHeight(FindBarEdit());
    seen.tree = Bounds(TreePane).right;
    seen.bars = BottomBarsHeight();
    return seen;
}

void ChangeDpi(UINT dpi) {
    // As Windows sends it: the new DPI and a rectangle of the same size in
    // inches, here 1000 x 640 at 96 DPI.
    RECT suggested{0, 0, MulDiv(1000, static_cast<int>(dpi), 96), MulDiv(640, static_cast<int>(dpi), 96)};
    SendMessageW(MainWindowHandle, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    Pump();
}

class DpiTest : public ViewerTest {};
}  // namespace

TEST_F(DpiTest, TheWindowIsLaidOutAgainForEachDpiItMovesTo) {
    ChangeDpi(96);
    SendMessageW(MainWindowHandle, WM_COMMAND, kCommandFind, 0);
    Pump();
    const Seen first = Look();
    ASSERT_EQ(first.icon, 16);
    for (UINT dpi : {144u, 120u, 96u}) {  // 150 %, 125 % (larger ones outgrow the test display)
        SCOPED_TRACE(dpi);
        ChangeDpi(dpi);
        const Seen seen = Look();
        auto scaled = [dpi](int length) { return MulDiv(length, static_cast<int>(dpi), 96); };
        EXPECT_EQ(seen.icon, scaled(16));
        EXPECT_NEAR(seen.font, scaled(first.font), 1);
        EXPECT_NEAR(seen.tree, scaled(first.tree), 1);
        EXPECT_GE(seen.bars, scaled(first.bars) - 2);
        RECT client{};
        GetClientRect(MainWindowHandle, &client);
        const std::vector<HWND> row = FindBarRow();
        ASSERT_EQ(row.size(), 10u);  // label, field, three columns, case, two buttons, count, close
        for (std::size_t i = 0; i < row.size(); ++i) {
            const RECT r = Bounds(row[i]);
            EXPECT_GE(r.bottom - r.top, FontHeight(row[i])) << i;
            if (row[i] != FindBarEdit()) {
                EXPECT_GE(r.right - r.left, OwnTextWidth(row[i])) << i;
            }
            if (i + 1 < row.size()) {
                EXPECT_LE(r.right, Bounds(row[i + 1]).left) << i;
            }
        }
        EXPECT_LE(Bounds(row.back()).right, client.right);
        EXPECT_LE(Bounds(FindBarEdit()).bottom, Bounds(StatusBar).top);
    }
    const Seen last = Look();
    EXPECT_EQ(last.icon, first.icon);
    EXPECT_EQ(last.font, first.font);
    EXPECT_EQ(last.tree, first.tree);
    EXPECT_EQ(last.bars, first.bars);
}
