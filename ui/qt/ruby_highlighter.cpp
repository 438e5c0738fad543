#include "ui/qt/ruby_highlighter.h"

#include <QSet>
#include <QStringView>

namespace {
enum BlockState { kCode = 0, kBlockComment = 1 };

QTextCharFormat Format(const QColor& color, bool bold = false, bool italic = false) {
    QTextCharFormat f;
    f.setForeground(color);
    if (bold) f.setFontWeight(QFont::Bold);
    f.setFontItalic(italic);
    return f;
}

bool WordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

bool Keyword(QStringView word) {
    static const QSet<QString> kKeywords = {
        u"alias"_qs, u"and"_qs, u"begin"_qs, u"break"_qs, u"case"_qs, u"class"_qs, u"def"_qs, u"defined?"_qs,
        u"do"_qs, u"else"_qs, u"elsif"_qs, u"end"_qs, u"ensure"_qs, u"false"_qs, u"for"_qs, u"if"_qs, u"in"_qs,
        u"module"_qs, u"next"_qs, u"nil"_qs, u"not"_qs, u"or"_qs, u"redo"_qs, u"rescue"_qs, u"retry"_qs,
        u"return"_qs, u"self"_qs, u"super"_qs, u"then"_qs, u"true"_qs, u"undef"_qs, u"unless"_qs, u"until"_qs,
        u"when"_qs, u"while"_qs, u"yield"_qs, u"attr_reader"_qs, u"attr_writer"_qs, u"attr_accessor"_qs,
        u"include"_qs, u"require"_qs, u"loop"_qs, u"lambda"_qs, u"proc"_qs};
    return kKeywords.contains(word.toString());
}
}  // namespace

RubyHighlighter::RubyHighlighter(QObject* parent)
    : QSyntaxHighlighter(parent),
      comment_(Format(QColor(0x6a, 0x99, 0x55), false, true)),
      string_(Format(QColor(0xa3, 0x15, 0x15))),
      symbol_(Format(QColor(0x80, 0x00, 0x80))),
      number_(Format(QColor(0x09, 0x86, 0x58))),
      keyword_(Format(QColor(0x00, 0x00, 0xc0), true)),
      variable_(Format(QColor(0x00, 0x70, 0x90))),
      constant_(Format(QColor(0x26, 0x7f, 0x99), true)) {}

void RubyHighlighter::highlightBlock(const QString& text) {
    const int n = static_cast<int>(text.size());
    if (previousBlockState() == kBlockComment) {
        setFormat(0, n, comment_);
        setCurrentBlockState(text.startsWith(u"=end"_qs) ? kCode : kBlockComment);
        return;
    }
    if (text.startsWith(u"=begin"_qs)) {
        setFormat(0, n, comment_);
        setCurrentBlockState(kBlockComment);
        return;
    }
    setCurrentBlockState(kCode);
    int i = 0;
    while (i < n) {
        const QChar c = text[i];
        const int start = i;
        if (c == u'#') {
            setFormat(i, n - i, comment_);
            return;
        }
        if (c == u'"' || c == u'\'' || c == u'`') {
            // To the closing quote, stepping over escapes; an open string
            // ends with its line.
            for (++i; i < n && text[i] != c; ++i)
                if (text[i] == u'\\') ++i;
            i = std::min(i + 1, n);
            setFormat(start, i - start, string_);
        } else if (c == u':' && i + 1 < n && (text[i + 1].isLetter() || text[i + 1] == u'_') &&
                   (i == 0 || text[i - 1] != u':')) {
            for (++i; i < n && (WordChar(text[i]) || text[i] == u'?' || text[i] == u'!'); ++i) {}
            setFormat(start, i - start, symbol_);
        } else if (c == u'@' || c == u'$') {
            for (++i; i < n && (WordChar(text[i]) || text[i] == u'@'); ++i) {}
            setFormat(start, i - start, variable_);
        } else if (c.isDigit()) {
            for (++i; i < n && (WordChar(text[i]) || (text[i] == u'.' && i + 1 < n && text[i + 1].isDigit())); ++i) {}
            setFormat(start, i - start, number_);
        } else if (c.isLetter() || c == u'_') {
            for (++i; i < n && WordChar(text[i]); ++i) {}
            if (i < n && (text[i] == u'?' || text[i] == u'!')) ++i;
            const QStringView word = QStringView(text).mid(start, i - start);
            const bool method = start > 0 && text[start - 1] == u'.';
            if (!method && Keyword(word)) setFormat(start, i - start, keyword_);
            else if (c.isUpper()) setFormat(start, i - start, constant_);
        } else {
            ++i;
        }
    }
}
