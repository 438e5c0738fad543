// The layout of the main window: the tree pane on the left, a 4-pixel gap
// (at 96 DPI, more at higher ones; the window's own client area, which is
// the splitter), the list pane on
// the right, the status bar along the bottom.  The splitter position is
// the tree pane's width, read back from the control whenever needed.
#include "ui/win32/win32_front_end.h"

#include "ui/win32/dpi_win32.h"
#include "ui/win32/preview_win32.h"

namespace {
int OuterWidth(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return r.right - r.left;
}

int OuterHeight(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return r.bottom - r.top;
}

int ClientWidth() {
    RECT r{};
    GetClientRect(MainWindowHandle, &r);
    return r.right;
}

// A pane narrower than nothing is not shown.
int NotNegative(int width) { return width < 0 ? 0 : width; }

void PlacePanes(int treeWidth, int height, int clientWidth) {
    MoveWindow(TreePane, 0, 0, treeWidth, height, TRUE);
    // The list's column; the preview, when shown, takes its lower part.
    const int left = treeWidth + Scaled(kSplitterWidth);
    const RECT list = LayoutPreviewColumn({left, 0, left + NotNegative(clientWidth - left), height});
    MoveWindow(ListPane, list.left, list.top, list.right - list.left, list.bottom - list.top, TRUE);
}
}  // namespace

void LayoutPanes(WPARAM sizeType, LPARAM clientSize) {
    if (sizeType != SIZE_RESTORED && sizeType != SIZE_MAXIMIZED) return;
    int treeWidth = OuterWidth(TreePane);
    int statusHeight = OuterHeight(StatusBar);
    MoveWindow(StatusBar, 0, 0, 0, 0, TRUE);  // it docks itself along the bottom
    // The game folder's results, then the find and path bars, when shown,
    // take rows between the panes and the status bar.
    const int rows = HIWORD(clientSize) - statusHeight - BottomBarsHeight();
    const int results = ResultsPaneHeight(rows);
    int height = rows - results;
    PlacePanes(treeWidth, height, LOWORD(clientSize));
    PlaceResultsPane(height, LOWORD(clientSize), results);
    PlaceBottomBars(height + results, LOWORD(clientSize));
}

void SplitterButtonDown() {
    SplitterDragging = true;
    SetCapture(MainWindowHandle);
}

void SplitterMouseMove(LPARAM position) {
    if (!SplitterDragging) return;
    int x = static_cast<short>(LOWORD(position));  // negative left of the window while captured
    if (x < 0) return;
    int width = ClientWidth();
    if (x > width) return;
    PlacePanes(x, OuterHeight(TreePane), width);
}

void SplitterButtonUp() {
    ReleaseCapture();
    SplitterDragging = false;
}

void SplitterReset() { PlacePanes(Scaled(kInitialTreeWidth), OuterHeight(TreePane), ClientWidth()); }

void ScaleTreeWidth(UINT from, UINT to) {
    MoveWindow(TreePane, 0, 0, MulDiv(OuterWidth(TreePane), static_cast<int>(to), static_cast<int>(from)),
               OuterHeight(TreePane), FALSE);
}
