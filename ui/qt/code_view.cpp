#include "ui/qt/code_view.h"

#include <QFontDatabase>
#include <QPainter>
#include <QTextBlock>
#include <string>
#include <vector>

#include "ui/preview_view.h"

namespace {
constexpr int kLinesPerPart = 1000;
constexpr int kMostMarks = 10000;  // enough to see; marking more only costs

class Margin final : public QWidget {
public:
    explicit Margin(CodeView* view) : QWidget(view), view_(view) {}
    QSize sizeHint() const override { return {view_->MarginWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { view_->PaintMargin(event); }

private:
    CodeView* view_;
};
}  // namespace

CodeView::CodeView(QWidget* parent) : QPlainTextEdit(parent), margin_(new Margin(this)) {
    setReadOnly(true);
    setLineWrapMode(NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { setViewportMargins(MarginWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, &CodeView::UpdateMargin);
    setViewportMargins(MarginWidth(), 0, 0, 0);
    document()->setUndoRedoEnabled(false);
    parts_.setInterval(0);
    connect(&parts_, &QTimer::timeout, this, &CodeView::AppendPart);
}

void CodeView::SetText(const QString& text) {
    text_ = text;
    taken_ = 0;
    setPlainText(TakePart());
    if (Loading()) parts_.start();
    else parts_.stop();
    MarkMatches(marked_, markedCase_);
}

int CodeView::MarkMatches(const QString& text, Qt::CaseSensitivity sensitivity) {
    marked_ = text;
    markedCase_ = sensitivity;
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat format;
    format.setBackground(QColor(0xff, 0xe0, 0x60));
    // The find bar's own rule (ui/preview_view.h), as quarnix.exe marks it.
    std::vector<std::u16string> lines;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines.push_back(block.text().toStdU16String());
    for (const TextMark& mark : FindTextMarks(lines, text.toStdU16String(), sensitivity == Qt::CaseSensitive)) {
        if (marks.size() >= kMostMarks) break;
        QTextCursor at(document()->findBlockByNumber(mark.line));
        at.setPosition(at.position() + mark.start);
        at.setPosition(at.position() + mark.length, QTextCursor::KeepAnchor);
        marks.append({at, format});
    }
    setExtraSelections(marks);
    if (!marks.isEmpty()) {
        QTextCursor first = marks.front().cursor;
        first.clearSelection();
        setTextCursor(first);
        ensureCursorVisible();
    }
    return static_cast<int>(marks.size());
}

QString CodeView::TakePart() {
    qsizetype end = taken_;
    for (int line = 0; line < kLinesPerPart && end >= 0; ++line) end = text_.indexOf(u'\n', end + (line ? 1 : 0));
    if (end < 0) end = text_.size();
    QString part = text_.mid(taken_, end - taken_);
    taken_ = end;
    if (!Loading()) text_.clear();
    return part;
}

void CodeView::AppendPart() {
    // Inserted at the end through a cursor of its own: the view keeps its
    // scroll position and selection.
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(TakePart());
    if (Loading()) return;
    parts_.stop();
    if (!marked_.isEmpty()) MarkMatches(marked_, markedCase_);
}

int CodeView::MarginWidth() const {
    int digits = 1;
    for (int lines = std::max(1, blockCount()); lines >= 10; lines /= 10) ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void CodeView::UpdateMargin(const QRect& rect, int dy) {
    if (dy) margin_->scroll(0, dy);
    else margin_->update(0, rect.y(), margin_->width(), rect.height());
}

void CodeView::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect r = contentsRect();
    margin_->setGeometry(r.left(), r.top(), MarginWidth(), r.height());
}

void CodeView::PaintMargin(QPaintEvent* event) {
    QPainter painter(margin_);
    painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.setFont(font());
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        // A line with Chinese in a fallback font is taller: centre on it.
        const int height = qRound(blockBoundingRect(block).height());
        if (block.isVisible())
            painter.drawText(0, top, margin_->width() - 4, height, Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(block.blockNumber() + 1));
        top += height;
        block = block.next();
    }
}
