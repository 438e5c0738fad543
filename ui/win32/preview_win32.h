// The preview below the list pane in the native window: the reading of the
// current row (ui/preview_view.h) on Windows' own controls.  A child window
// of its own holds the draggable top edge, a header line, a problem line
// and one page at a time: a rows view (rows_view_win32.h) for scripts and
// texts with line numbers and Ruby colours, another for a table's layer as
// a grid with a layer combo box and the heat map, a swatch with its text, a
// list box of an event page's commands.  It starts hidden.
#pragma once
#include <string>
#include <vector>

#include "ui/preview.h"
#include "ui/win32/win32_front_end.h"

struct MenuEntry;

extern HWND PreviewPane;  // none until CreatePreviewPane

// Creates the (hidden) preview as a child of the main window.
void CreatePreviewPane(HWND parent);
bool PreviewShown();
// Shows or hides it; the list pane gives up or takes back its lower part.
void SetPreviewShown(bool shown);
// The main window's layout: given the rectangle of the list's column,
// places the preview in its lower part when shown and returns the list's
// rectangle (the whole column while the preview is hidden).
RECT LayoutPreviewColumn(const RECT& column);
// Every notification of the tree and list panes, after the logic handled
// it: the preview reads the panes again once the window's thread is idle.
void PreviewPanesNotified(const NMHDR* header);

// A comparison began or ended: the preview reads the panes again.
void PreviewCompareChanged();

// The window's DPI changed: fonts and lengths of the new one.
void PreviewDpiChanged(UINT from, UINT to);

// Marks the find bar's text on the text page as it is typed (the empty text
// when the bar closes), so that a script can be searched.
void PreviewMarkFindText(const std::u16string& text, bool matchCase);

// What the tests read back: the controls, the pictures as drawn.
struct PreviewControls {
    HWND header, problem, text, table, layers, heatMap, swatch, swatchText, events;
    HWND newSwatch, newSwatchText;  // a compared colour's new side, below the old
};
PreviewControls PreviewControlHandles();
// The DIB section a picture control draws (heat map, swatch); none when empty.
HBITMAP PreviewPictureBitmap(HWND picture);
// True when the text page colours Ruby source.
bool PreviewTextIsRuby();
// Reads the panes and shows what they select, now.
void RefreshPreviewNow();
// Shows the target now (the benchmark's way in).
void ShowPreviewTarget(const PreviewTarget& target);
// The context menu of an event line: the uses of what its command refers
// to; empty for other lines and pages.
std::vector<MenuEntry> PreviewEventLineMenu(int line);
