// Ruby source colours for the preview's code view: comments (also
// =begin/=end blocks), strings, symbols, numbers, keywords, instance and
// global variables, constants.  A small hand-written scanner rather than
// regular expressions, so that a megabyte of source is coloured in a few
// tens of milliseconds.
#pragma once
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class RubyHighlighter final : public QSyntaxHighlighter {
public:
    explicit RubyHighlighter(QObject* parent = nullptr);

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat comment_, string_, symbol_, number_, keyword_, variable_, constant_;
};
