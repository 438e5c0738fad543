// A read-only, monospace text view with line numbers in a margin: the
// preview's view of scripts, strings and byte dumps.
//
// A long text goes in by parts: the first lines at once, the rest a part at
// a time while the event loop is idle, so that a megabyte of source (which
// a text document takes a quarter of a second to lay out and colour) shows
// its beginning at once and the window never stops answering.
#pragma once
#include <QPlainTextEdit>
#include <QTimer>

class CodeView final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CodeView(QWidget* parent = nullptr);

    // Replaces the text; lines past the first part follow from the event loop.
    void SetText(const QString& text);
    bool Loading() const { return taken_ < text_.size(); }

    // Marks every place the text occurs (the find bar's text, so that a
    // script can be searched) and scrolls to the first; empty text clears
    // the marks.  Parts that arrive later are marked too.  Returns how many
    // places are marked.
    int MarkMatches(const QString& text, Qt::CaseSensitivity sensitivity);

    int MarginWidth() const;
    void PaintMargin(QPaintEvent* event);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateMargin(const QRect& rect, int dy);
    void AppendPart();
    // The text from `taken_` to the end of the next part.
    QString TakePart();

    QWidget* margin_;
    QString text_;         // the whole text while parts of it are to come
    qsizetype taken_ = 0;  // how much of it the document holds
    QTimer parts_;
    QString marked_;
    Qt::CaseSensitivity markedCase_ = Qt::CaseInsensitive;
};
