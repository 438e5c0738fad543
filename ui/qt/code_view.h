// A read-only, monospace text view with line numbers in a margin: the
// preview's view of scripts, strings and byte dumps.
#pragma once
#include <QPlainTextEdit>

class CodeView final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CodeView(QWidget* parent = nullptr);

    int MarginWidth() const;
    void PaintMargin(QPaintEvent* event);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateMargin(const QRect& rect, int dy);

    QWidget* margin_;
};
