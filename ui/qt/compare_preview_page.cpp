#include "ui/qt/compare_preview_page.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include "ui/qt/table_preview.h"

namespace {
QString Q(const std::u16string& text) { return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())); }

QColor LineColour(CompareLineKind kind) { return QColor(static_cast<QRgb>(CompareLineBackground(kind))); }

QPixmap Pixmap(const PreviewPicture& picture) {
    return QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                                     picture.height, QImage::Format_RGB32).copy());
}
}  // namespace

ComparePreviewPage::ComparePreviewPage(QWidget* parent)
    : QWidget(parent), pages_(new QStackedWidget), lines_(new QPlainTextEdit), table_(new TablePreview),
      swatches_(new QWidget), oldSwatch_(new QLabel), oldText_(new QLabel), newSwatch_(new QLabel), newText_(new QLabel) {
    setObjectName(QStringLiteral("comparePreview"));
    lines_->setReadOnly(true);
    lines_->setLineWrapMode(QPlainTextEdit::NoWrap);
    lines_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lines_->document()->setUndoRedoEnabled(false);
    auto* grid = new QGridLayout(swatches_);
    int row = 0;
    for (auto [swatch, text] : {std::pair{oldSwatch_, oldText_}, std::pair{newSwatch_, newText_}}) {
        text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(swatch, row, 0, Qt::AlignTop);
        grid->addWidget(text, row++, 1, Qt::AlignTop);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    for (QWidget* page : {static_cast<QWidget*>(lines_), static_cast<QWidget*>(table_), swatches_}) pages_->addWidget(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pages_);
}

void ComparePreviewPage::Show(const CompareView& view) {
    switch (view.page) {
    case ComparePage::kLines: return ShowLines(view);
    case ComparePage::kTable:
        table_->ShowCompared(view.before, view.after, view.layer);
        return pages_->setCurrentWidget(table_);
    case ComparePage::kSwatches: return ShowSwatches(view);
    }
}

void ComparePreviewPage::ShowLines(const CompareView& view) {
    const int width = CompareNumberWidth(view.lines);
    QString text;
    for (const CompareLine& line : view.lines) {
        if (&line != &view.lines.front()) text += u'\n';
        text += Q(CompareLineText(line, width));
    }
    lines_->setPlainText(text);
    QList<QTextEdit::ExtraSelection> marks;
    QTextBlock block = lines_->document()->begin();
    for (const CompareLine& line : view.lines) {
        if (line.kind != CompareLineKind::kSame) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(block);
            mark.format.setBackground(LineColour(line.kind));
            mark.format.setProperty(QTextFormat::FullWidthSelection, true);
            marks.append(mark);
        }
        block = block.next();
    }
    lines_->setExtraSelections(marks);
    // The difference's own line in sight, in the middle.
    if (view.focus >= 0) {
        lines_->setTextCursor(QTextCursor(lines_->document()->findBlockByNumber(view.focus)));
        lines_->centerCursor();
    }
    pages_->setCurrentWidget(lines_);
}

void ComparePreviewPage::ShowSwatches(const CompareView& view) {
    oldSwatch_->setPixmap(Pixmap(SwatchPicture(view.oldSwatch)));
    newSwatch_->setPixmap(Pixmap(SwatchPicture(view.newSwatch)));
    oldText_->setText(Q(view.oldText));
    newText_->setText(Q(view.newText));
    pages_->setCurrentWidget(swatches_);
}

QWidget* ComparePreviewPage::CurrentPage() const { return pages_->currentWidget(); }
