// A read-only view of many rows of monospace text that draws only the rows
// in sight, so that a megabyte of script or a 500 x 500 grid shows at once
// (a RichEdit under Wine takes over a minute to lay out a megabyte, a list
// view a second to take 500 columns).  The preview's script and text page,
// with line numbers in a margin, Ruby colours and the find bar's text
// marked, and its table grid, with a pinned header row.
#pragma once
#include "ui/win32/win32_front_end.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lens/ruby_tokens.h"
#include "ui/preview_view.h"

struct RowsSource {
    int count = 0;
    std::function<std::u16string(int row)> text;
    // The coloured spans of a row; none: plain text.
    std::function<void(int row, std::vector<RubySpan>& spans)> spans;
    std::u16string header;  // pinned above the rows; empty: none
    bool numbers = false;   // line numbers in a margin
    int widest = 0;         // units of the longest row, for the horizontal scroll range
    // A row's background, 0xRRGGBB, or kNoRowColour (a compared line removed or added).
    std::function<std::uint32_t(int row)> background;
    bool frameMarks = false;  // marks drawn as frames (a compared table's changed cells)
    int top = 0;              // the row first at the top
};
constexpr std::uint32_t kNoRowColour = 0xffffffffu;

// Registers the class "QuarnixRows" once; the view takes the font given with WM_SETFONT.
void RegisterRowsView(HINSTANCE instance);
// New rows, scrolled to the top, nothing marked.
void SetRowsSource(HWND view, RowsSource source);
const RowsSource& RowsSourceOf(HWND view);
// Marks places on the rows (in order, as FindTextMarks gives them) with a
// background colour, and scrolls the first into sight.
void SetRowsMarks(HWND view, std::vector<TextMark> marks);
const std::vector<TextMark>& RowsMarksOf(HWND view);
// The first row in sight.
int RowsTop(HWND view);
