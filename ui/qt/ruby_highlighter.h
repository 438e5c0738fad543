// Ruby source colours for the preview's code view, as lens/ruby_tokens.h
// finds them line by line.
#pragma once
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include "lens/ruby_tokens.h"

class RubyHighlighter final : public QSyntaxHighlighter {
public:
    explicit RubyHighlighter(QObject* parent = nullptr);

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat formats_[kRubyTokenKinds];
    std::vector<RubySpan> spans_;
};
