// The preview contract over the Qt preview: read back from its widgets as
// they show, after the event loop has let the preview follow the panes.
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTableView>
#include <QTextBlock>
#include <QTextLayout>
#include <memory>

#include "tests/preview_adapter.h"
#include "ui/qt/code_view.h"
#include "ui/qt/compare_preview_page.h"
#include "ui/qt/main_window.h"
#include "ui/qt/preview_pane.h"
#include "ui/qt/qt_panes.h"
#include "ui/qt/table_preview.h"

namespace {
PreviewPane& Preview() {
    FlushPanes();
    QCoreApplication::processEvents();
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<MainWindow*>(widget)) {
            while (window->Preview()->Code()->Loading()) QCoreApplication::processEvents();
            return *window->Preview();
        }
    std::abort();
}

// The compare page while a comparison is shown; none otherwise.
ComparePreviewPage* Compared(PreviewPane& p) { return p.CurrentPage() == p.Compare() ? p.Compare() : nullptr; }
// One wait for the preview, as every reading here takes.
TablePreview* ShownTable() {
    PreviewPane& p = Preview();
    return p.CurrentPage() == p.Compare() ? p.Compare()->Table() : p.Table();
}

std::uint32_t Rgb(const QColor& c) { return static_cast<std::uint32_t>(c.rgb()) & 0xffffffu; }

std::uint32_t PixelAt(const QPixmap& pixmap, double x, double y) {
    const QImage image = pixmap.toImage();
    return Rgb(image.pixelColor(static_cast<int>(x * image.width()), static_cast<int>(y * image.height())));
}
}  // namespace

void PreviewStart() { Preview().show(); }
std::u16string PreviewHeader() { return Preview().Header().toStdU16String(); }
std::u16string PreviewProblem() { return Preview().Problem().toStdU16String(); }

SeenPage PreviewPageShown() {
    PreviewPane& p = Preview();
    if (ComparePreviewPage* c = Compared(p))
        return c->CurrentPage() == c->Table() ? SeenPage::kTable
               : c->CurrentPage() == c->Swatches() ? SeenPage::kSwatch : SeenPage::kText;
    if (p.CurrentPage() == p.Table()) return SeenPage::kTable;
    if (p.CurrentPage() == p.Events()) return SeenPage::kEvents;
    if (p.CurrentPage()->isAncestorOf(p.Swatch())) return SeenPage::kSwatch;
    return SeenPage::kText;
}

std::vector<std::u16string> PreviewLines() {
    PreviewPane& p = Preview();
    std::vector<std::u16string> lines;
    if (ComparePreviewPage* c = Compared(p)) {
        if (c->CurrentPage() == c->Lines())
            for (const QString& line : c->Lines()->toPlainText().split(u'\n')) lines.push_back(line.toStdU16String());
        return lines;
    }
    if (p.CurrentPage() == p.Events()) {
        for (int i = 0; i < p.Events()->count(); ++i) lines.push_back(p.Events()->item(i)->text().toStdU16String());
        return lines;
    }
    for (const QString& line : p.Code()->toPlainText().split(u'\n')) lines.push_back(line.toStdU16String());
    return lines;
}

std::uint32_t PreviewLineBackground(int line) {
    ComparePreviewPage* c = Compared(Preview());
    if (!c) return 0;
    for (const QTextEdit::ExtraSelection& mark : c->Lines()->extraSelections())
        if (mark.cursor.blockNumber() == line && mark.format.hasProperty(QTextFormat::BackgroundBrush))
            return Rgb(mark.format.background().color());
    return 0;
}

std::uint32_t PreviewTextColour(int line, int column) {
    PreviewPane& p = Preview();
    if (Compared(p)) return 0;  // compared lines are plain
    const QTextBlock block = p.Code()->document()->findBlockByNumber(line);
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (column >= range.start && column < range.start + range.length && range.format.hasProperty(QTextFormat::ForegroundBrush))
            return Rgb(range.format.foreground().color());
    return 0;
}

int PreviewMarkedLine() {
    PreviewPane& p = Preview();
    return p.CurrentPage() == p.Events() ? p.Events()->currentRow() : -1;
}

void PreviewChooseLine(int line) {
    Preview().Events()->setCurrentRow(line);  // as a click does
    Preview();
}

std::vector<std::u16string> PreviewLayerNames() {
    QComboBox* layers = ShownTable()->LayerSelector();
    std::vector<std::u16string> names;
    for (int i = 0; i < layers->count(); ++i) names.push_back(layers->itemText(i).toStdU16String());
    return names;
}

void PreviewChooseLayer(int layer) {
    ShownTable()->LayerSelector()->setCurrentIndex(layer);
    Preview();
}

std::u16string PreviewCell(int x, int y) {
    const QModelIndex cell = ShownTable()->Grid()->model()->index(y, x);
    return cell.isValid() ? cell.data().toString().toStdU16String() : std::u16string();
}

bool PreviewCellOutlined(int x, int y) {
    const QModelIndex cell = ShownTable()->Grid()->model()->index(y, x);
    return cell.isValid() && cell.data(TableLayerModel::kChangedRole).toBool();
}

std::uint32_t PreviewHeatMapAt(double x, double y) { return PixelAt(ShownTable()->HeatMapLabel()->pixmap(), x, y); }
std::uint32_t PreviewSwatchMiddle() {
    PreviewPane& p = Preview();
    ComparePreviewPage* c = Compared(p);
    return PixelAt((c ? c->OldSwatch() : p.Swatch())->pixmap(), 0.5, 0.5);
}
std::u16string PreviewSwatchText() {
    PreviewPane& p = Preview();
    ComparePreviewPage* c = Compared(p);
    return (c ? c->OldText() : p.SwatchText())->text().toStdU16String();
}
std::uint32_t PreviewNewSwatchMiddle() {
    ComparePreviewPage* c = Compared(Preview());
    return c && c->CurrentPage() == c->Swatches() ? PixelAt(c->NewSwatch()->pixmap(), 0.5, 0.5) : 0;
}
std::u16string PreviewNewSwatchText() {
    ComparePreviewPage* c = Compared(Preview());
    return c && c->CurrentPage() == c->Swatches() ? c->NewText()->text().toStdU16String() : u"";
}

namespace {
// The menu the preview would pop up on the line, its separators left out.
std::vector<QAction*> MenuEntries(QMenu* menu) {
    std::vector<QAction*> entries;
    if (menu)
        for (QAction* action : menu->actions())
            if (!action->isSeparator()) entries.push_back(action);
    return entries;
}
}  // namespace

std::vector<std::u16string> PreviewLineMenu(int line) {
    std::unique_ptr<QMenu> menu(Preview().LineMenu(line, nullptr));
    std::vector<std::u16string> texts;
    for (QAction* action : MenuEntries(menu.get())) texts.push_back(action->text().toStdU16String());
    return texts;
}

void PreviewChooseLineMenu(int line, int entry) {
    std::unique_ptr<QMenu> menu(Preview().LineMenu(line, nullptr));
    const std::vector<QAction*> entries = MenuEntries(menu.get());
    if (entry >= 0 && static_cast<std::size_t>(entry) < entries.size()) entries[static_cast<std::size_t>(entry)]->trigger();
    Preview();
}
