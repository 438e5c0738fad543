// The main window's DPI and what is sized by it.  The program declares
// per-monitor DPI awareness in its manifest: Windows then draws it at the
// monitor's real resolution instead of stretching a 96-DPI bitmap of it,
// and the program lays itself out for that DPI, from its fonts' metrics,
// and again when WM_DPICHANGED says the window moved to another monitor.
#pragma once
#include "ui/win32/win32_front_end.h"

constexpr UINT kBaseDpi = 96;

// The DPI the main window is laid out for; kBaseDpi before it exists.
UINT CurrentDpi();
// The DPI the system gives a window now: GetDpiForWindow where Windows has
// it (10 1607 and later), else the screen's.
UINT SystemWindowDpi(HWND window);
// A length meant at 96 DPI, at the current DPI.
int Scaled(int pixels);
// The small icon's side at the current DPI (16 pixels at 96).
int SmallIconSide();

// The fonts every part of the window shares, made for the current DPI:
// the message font (bars, the preview's labels, the results pane) and the
// panes' font (the tree and the list, as Windows gives list controls).
HFONT MessageFont();
HFONT PaneFont();
// A font of the system's message font's size at the current DPI with
// another face (the preview's code); the caller deletes it.
HFONT CreateMessageFontWithFace(const wchar_t* face, BYTE pitchAndFamily);

// Text measured in a font: its line height (tmHeight) and the width of a text.
int FontLineHeight(HFONT font);
int TextWidth(HFONT font, const wchar_t* text);
// The height of a one-line field or button in the font: its line and a
// frame, at least `least` (a length at 96 DPI, scaled).
int ControlHeight(HFONT font, int least = 22);
// The width of a button or check box showing `text`.
int ButtonWidth(HFONT font, const wchar_t* text, int least = 60);
int CheckBoxWidth(HFONT font, const wchar_t* text);

// Sets the DPI (at creation, and from WM_DPICHANGED) and remakes the
// shared fonts; the old ones stay valid until ReleaseOldFonts, once every
// control has been given the new ones.
void SetCurrentDpi(UINT dpi);
void ReleaseOldFonts();
// The window goes: the fonts go with it.
void ReleaseDpiFonts();

// WM_DPICHANGED of the main window: everything laid out, sized and drawn
// for the new DPI, the window moved to the rectangle Windows suggests.
void OnMainWindowDpiChanged(HWND window, UINT dpi, const RECT* suggested);
