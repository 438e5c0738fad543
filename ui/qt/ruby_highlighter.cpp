#include "ui/qt/ruby_highlighter.h"

RubyHighlighter::RubyHighlighter(QObject* parent) : QSyntaxHighlighter(parent) {
    for (int k = 0; k < kRubyTokenKinds; ++k) {
        const RubyStyle& style = RubyTokenStyle(static_cast<RubyToken>(k));
        formats_[k].setForeground(QColor(style.red, style.green, style.blue));
        if (style.bold) formats_[k].setFontWeight(QFont::Bold);
        formats_[k].setFontItalic(style.italic);
    }
}

void RubyHighlighter::highlightBlock(const QString& text) {
    // The block state is -1 before the first line is coloured.
    const auto before = previousBlockState() == static_cast<int>(RubyLineState::kBlockComment)
                            ? RubyLineState::kBlockComment
                            : RubyLineState::kCode;
    spans_.clear();
    const RubyLineState after =
        AppendRubySpans(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())),
                        before, spans_);
    for (const RubySpan& span : spans_) setFormat(span.start, span.length, formats_[static_cast<int>(span.token)]);
    setCurrentBlockState(static_cast<int>(after));
}
