// The preview's page while a comparison is shown: one difference's both
// sides (ui/compare_preview.h) drawn as coloured lines with both numbers,
// a compared table, or two swatches.
#pragma once
#include <QWidget>

#include "ui/compare_preview.h"

class QLabel;
class QPlainTextEdit;
class QStackedWidget;
class TablePreview;

class ComparePreviewPage final : public QWidget {
    Q_OBJECT

public:
    explicit ComparePreviewPage(QWidget* parent = nullptr);
    void Show(const CompareView& view);

    // For tests and the benchmark: what is shown.
    QWidget* CurrentPage() const;
    QPlainTextEdit* Lines() const { return lines_; }
    TablePreview* Table() const { return table_; }
    QLabel* OldSwatch() const { return oldSwatch_; }
    QLabel* NewSwatch() const { return newSwatch_; }
    QLabel* OldText() const { return oldText_; }
    QLabel* NewText() const { return newText_; }
    QWidget* Swatches() const { return swatches_; }

private:
    void ShowLines(const CompareView& view);
    void ShowSwatches(const CompareView& view);

    QStackedWidget* pages_;
    QPlainTextEdit* lines_;
    TablePreview* table_;
    QWidget* swatches_;
    QLabel *oldSwatch_, *oldText_, *newSwatch_, *newText_;
};
