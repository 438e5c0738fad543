#include "ui/win32/dpi_win32.h"

#include <algorithm>
#include <utility>

#include "ui/win32/preview_win32.h"

namespace {
UINT g_dpi = kBaseDpi;
HFONT g_message = nullptr, g_pane = nullptr;
HFONT g_oldMessage = nullptr, g_oldPane = nullptr;

// The functions of Windows 10 1607 and later, looked up so that the
// program still starts on older systems (they then have one DPI).
template <typename Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

// The system's metrics (fonts, icon sizes) for the current DPI; the older
// systems' at their own DPI, scaled.
bool NonClientMetrics(NONCLIENTMETRICSW& metrics) {
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = sizeof metrics;
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = User32Function<ForDpi>("SystemParametersInfoForDpi");
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, g_dpi)) return true;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(g_dpi), static_cast<int>(ScreenDpi()));
    return true;
}

bool IconTitleFont(LOGFONTW& font) {
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = User32Function<ForDpi>("SystemParametersInfoForDpi");
    if (forDpi && forDpi(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0, g_dpi)) return true;
    if (!SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0)) return false;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(g_dpi), static_cast<int>(ScreenDpi()));
    return true;
}

void MakeFonts() {
    g_oldMessage = g_message;
    g_oldPane = g_pane;
    NONCLIENTMETRICSW metrics;
    g_message = NonClientMetrics(metrics) ? CreateFontIndirectW(&metrics.lfMessageFont) : nullptr;
    LOGFONTW pane{};
    g_pane = IconTitleFont(pane) ? CreateFontIndirectW(&pane) : nullptr;
}

template <typename Use>
void WithFont(HFONT font, Use use) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    use(dc);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
}
}  // namespace

UINT CurrentDpi() { return g_dpi; }

UINT SystemWindowDpi(HWND window) {
    using ForWindow = UINT(WINAPI*)(HWND);
    static const auto forWindow = User32Function<ForWindow>("GetDpiForWindow");
    const UINT dpi = forWindow && window ? forWindow(window) : 0;
    return dpi ? dpi : ScreenDpi();
}

int Scaled(int pixels) { return MulDiv(pixels, static_cast<int>(g_dpi), kBaseDpi); }

int SmallIconSide() {
    using ForDpi = int(WINAPI*)(int, UINT);
    static const auto forDpi = User32Function<ForDpi>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(SM_CXSMICON, g_dpi);
    return MulDiv(GetSystemMetrics(SM_CXSMICON), static_cast<int>(g_dpi), static_cast<int>(ScreenDpi()));
}

HFONT MessageFont() {
    if (!g_message) MakeFonts();
    return g_message;
}

HFONT PaneFont() {
    if (!g_pane) MakeFonts();
    return g_pane;
}

HFONT CreateMessageFontWithFace(const wchar_t* face, BYTE pitchAndFamily) {
    NONCLIENTMETRICSW metrics;
    if (!NonClientMetrics(metrics)) return nullptr;
    LOGFONTW font = metrics.lfMessageFont;
    font.lfPitchAndFamily = pitchAndFamily;
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    font.lfFaceName[LF_FACESIZE - 1] = L'\0';
    return CreateFontIndirectW(&font);
}

int FontLineHeight(HFONT font) {
    TEXTMETRICW metrics{};
    WithFont(font, [&](HDC dc) { GetTextMetricsW(dc, &metrics); });
    return metrics.tmHeight;
}

int TextWidth(HFONT font, const wchar_t* text) {
    SIZE size{};
    WithFont(font, [&](HDC dc) { GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size); });
    return size.cx;
}

int ControlHeight(HFONT font, int least) { return std::max(FontLineHeight(font) + Scaled(8), Scaled(least)); }

int ButtonWidth(HFONT font, const wchar_t* text, int least) {
    return std::max(TextWidth(font, text) + Scaled(20), Scaled(least));
}

int CheckBoxWidth(HFONT font, const wchar_t* text) {
    // The box is as wide as the font is high, with a gap of a quarter of it.
    return FontLineHeight(font) * 5 / 4 + TextWidth(font, text) + Scaled(6);
}

void SetCurrentDpi(UINT dpi) {
    g_dpi = dpi ? dpi : kBaseDpi;
    ReleaseOldFonts();
    MakeFonts();
}

void ReleaseOldFonts() {
    for (HFONT* font : {&g_oldMessage, &g_oldPane}) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
}

void ReleaseDpiFonts() {
    ReleaseOldFonts();
    for (HFONT* font : {&g_message, &g_pane}) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
}

void OnMainWindowDpiChanged(HWND window, UINT dpi, const RECT* suggested) {
    const UINT old = g_dpi;
    if (!dpi || dpi == old) return;
    SetCurrentDpi(dpi);
    SetPaneFonts();
    ResizePaneImageList();
    // The list's columns and the tree keep their widths in the new pixels.
    const HWND header = ListView_GetHeader(ListPane);
    const int columns = header ? Header_GetItemCount(header) : 0;
    for (int c = 0; c < columns; ++c)
        ListView_SetColumnWidth(ListPane, c, MulDiv(ListView_GetColumnWidth(ListPane, c), static_cast<int>(dpi),
                                                    static_cast<int>(old)));
    ScaleTreeWidth(old, dpi);
    BarsDpiChanged();
    PreviewDpiChanged(old, dpi);
    ResultsPaneDpiChanged();
    // The window's icons at the sizes of the new DPI.
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (auto [which, side] : {std::pair{ICON_BIG, Scaled(32)}, std::pair{ICON_SMALL, SmallIconSide()}}) {
        HICON icon = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(kIconApplication), IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
        if (icon) {
            if (HICON old = reinterpret_cast<HICON>(SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon))))
                DestroyIcon(old);
        }
    }
    // Windows suggests a rectangle of the same logical size on the new
    // monitor; the layout follows from WM_SIZE, or is done here when the
    // size stayed.
    RECT before{};
    GetClientRect(window, &before);
    if (suggested)
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT after{};
    GetClientRect(window, &after);
    if (after.right == before.right && after.bottom == before.bottom)
        SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(after.right, after.bottom));
    ReleaseOldFonts();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}
