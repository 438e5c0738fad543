// What the preview contract suite needs of a front end: reading back what
// its preview shows and choosing in it as a user does.  Each front end's
// test program links one implementation (preview_adapter_headless.cpp,
// qt/preview_adapter_qt.cpp, win32/preview_adapter_win32.cpp) beside its
// pane adapter; every reading waits until the preview has followed the panes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class SeenPage : std::uint8_t { kText, kTable, kSwatch, kEvents };

// Shows the preview (a window may start with it hidden).
void PreviewStart();
std::u16string PreviewHeader();
// Empty while the problem line is hidden.
std::u16string PreviewProblem();
SeenPage PreviewPageShown();
// The text page's lines or the event page's lines.
std::vector<std::u16string> PreviewLines();
// The colour of a character of the text page, 0xRRGGBB; 0 for the plain text colour.
std::uint32_t PreviewTextColour(int line, int column);
// The event line marked as the selected command's; -1 when none.
int PreviewMarkedLine();
// A click on an event line.
void PreviewChooseLine(int line);
std::vector<std::u16string> PreviewLayerNames();
void PreviewChooseLayer(int layer);
// The grid's cell of the chosen layer; empty outside the grid.
std::u16string PreviewCell(int x, int y);
// The heat map's colour at a point given as fractions of its width and height, 0xRRGGBB.
std::uint32_t PreviewHeatMapAt(double x, double y);
// The colour at the middle of the swatch, 0xRRGGBB.
std::uint32_t PreviewSwatchMiddle();
std::u16string PreviewSwatchText();

// While a comparison is shown, the difference reached shows on the same
// pages: its lines on the text page, its table on the table page, its old
// colour on the swatch with the new one below.
// A text page line's background, 0xRRGGBB; 0 for the page's own.
std::uint32_t PreviewLineBackground(int line);
// Whether the grid's cell is outlined as changed.
bool PreviewCellOutlined(int x, int y);
// The second swatch's middle and text; 0 and empty while it is hidden.
std::uint32_t PreviewNewSwatchMiddle();
std::u16string PreviewNewSwatchText();
// The entries of the context menu of a line of the preview, and choosing one.
std::vector<std::u16string> PreviewLineMenu(int line);
void PreviewChooseLineMenu(int line, int entry);
