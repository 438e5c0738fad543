#include "lens/ruby_tokens.h"

#include <algorithm>
#include <array>

namespace {
// Ruby takes every character past ASCII as a letter of a name.
bool Letter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 0x80; }
bool Digit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool WordChar(char16_t c) { return Letter(c) || Digit(c) || c == u'_'; }

bool Keyword(std::u16string_view word) {
    // Sorted, for a binary search.
    static constexpr std::array<std::u16string_view, 44> kKeywords = {
        u"alias", u"and", u"attr_accessor", u"attr_reader", u"attr_writer", u"begin", u"break", u"case",
        u"class", u"def", u"defined?", u"do", u"else", u"elsif", u"end", u"ensure", u"false", u"for", u"if",
        u"in", u"include", u"lambda", u"loop", u"module", u"next", u"nil", u"not", u"or", u"proc", u"redo",
        u"require", u"rescue", u"retry", u"return", u"self", u"super", u"then", u"true", u"undef", u"unless",
        u"until", u"when", u"while", u"yield"};
    static_assert(std::is_sorted(kKeywords.begin(), kKeywords.end()));
    return std::binary_search(kKeywords.begin(), kKeywords.end(), word);
}
}  // namespace

RubyLineState NextRubyLineState(std::u16string_view line, RubyLineState state) {
    if (state == RubyLineState::kBlockComment)
        return line.starts_with(u"=end") ? RubyLineState::kCode : RubyLineState::kBlockComment;
    return line.starts_with(u"=begin") ? RubyLineState::kBlockComment : RubyLineState::kCode;
}

RubyLineState AppendRubySpans(std::u16string_view text, RubyLineState state, std::vector<RubySpan>& spans) {
    const int n = static_cast<int>(text.size());
    auto add = [&](int start, int end, RubyToken token) {
        if (end > start) spans.push_back({start, end - start, token});
    };
    // A =begin/=end block, its two marking lines included, is all comment.
    if (state == RubyLineState::kBlockComment || text.starts_with(u"=begin")) {
        add(0, n, RubyToken::kComment);
        return NextRubyLineState(text, state);
    }
    int i = 0;
    while (i < n) {
        const char16_t c = text[static_cast<std::size_t>(i)];
        auto at = [&](int k) { return text[static_cast<std::size_t>(k)]; };
        const int start = i;
        if (c == u'#') {
            add(i, n, RubyToken::kComment);
            break;
        }
        if (c == u'"' || c == u'\'' || c == u'`') {
            // To the closing quote, stepping over escapes; an open string
            // ends with its line.
            for (++i; i < n && at(i) != c; ++i)
                if (at(i) == u'\\') ++i;
            i = std::min(i + 1, n);
            add(start, i, RubyToken::kString);
        } else if (c == u':' && i + 1 < n && (Letter(at(i + 1)) || at(i + 1) == u'_') && (i == 0 || at(i - 1) != u':')) {
            for (++i; i < n && (WordChar(at(i)) || at(i) == u'?' || at(i) == u'!'); ++i) {}
            add(start, i, RubyToken::kSymbol);
        } else if (c == u'@' || c == u'$') {
            for (++i; i < n && (WordChar(at(i)) || at(i) == u'@'); ++i) {}
            add(start, i, RubyToken::kVariable);
        } else if (Digit(c)) {
            for (++i; i < n && (WordChar(at(i)) || (at(i) == u'.' && i + 1 < n && Digit(at(i + 1)))); ++i) {}
            add(start, i, RubyToken::kNumber);
        } else if (Letter(c) || c == u'_') {
            for (++i; i < n && WordChar(at(i)); ++i) {}
            if (i < n && (at(i) == u'?' || at(i) == u'!')) ++i;
            const bool method = start > 0 && at(start - 1) == u'.';
            if (!method && Keyword(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start))))
                add(start, i, RubyToken::kKeyword);
            else if (c >= u'A' && c <= u'Z')
                add(start, i, RubyToken::kConstant);
        } else {
            ++i;
        }
    }
    return RubyLineState::kCode;
}

const RubyStyle& RubyTokenStyle(RubyToken token) {
    static constexpr RubyStyle kStyles[kRubyTokenKinds] = {
        {0x6a, 0x99, 0x55, false, true},   // comment
        {0xa3, 0x15, 0x15, false, false},  // string
        {0x80, 0x00, 0x80, false, false},  // symbol
        {0x09, 0x86, 0x58, false, false},  // number
        {0x00, 0x00, 0xc0, true, false},   // keyword
        {0x00, 0x70, 0x90, false, false},  // variable
        {0x26, 0x7f, 0x99, true, false},   // constant
    };
    return kStyles[static_cast<int>(token)];
}
