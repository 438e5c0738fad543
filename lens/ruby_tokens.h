// Ruby source colours for the preview's script pages: which spans of a line
// are comments (also =begin/=end blocks), strings, symbols, numbers,
// keywords, instance and global variables and constants, and how each kind
// is drawn.  A small hand-written scanner rather than regular expressions,
// so that a megabyte of source is coloured in a few tens of milliseconds.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

enum class RubyToken : std::uint8_t { kComment, kString, kSymbol, kNumber, kKeyword, kVariable, kConstant };
constexpr int kRubyTokenKinds = 7;

struct RubySpan {
    int start, length;  // in UTF-16 units of the line
    RubyToken token;
};

// Where a line starts: in code, or inside a =begin/=end comment.
enum class RubyLineState : std::uint8_t { kCode, kBlockComment };

// Appends the coloured spans of one line (in order, not overlapping) and
// returns the state the next line starts in.
RubyLineState AppendRubySpans(std::u16string_view line, RubyLineState state, std::vector<RubySpan>& spans);
// The state the next line starts in, as AppendRubySpans returns it, without
// colouring the line: a view that colours only the lines in sight finds
// where each line starts from this alone.
RubyLineState NextRubyLineState(std::u16string_view line, RubyLineState state);

struct RubyStyle {
    std::uint8_t red, green, blue;
    bool bold, italic;
};
const RubyStyle& RubyTokenStyle(RubyToken token);
