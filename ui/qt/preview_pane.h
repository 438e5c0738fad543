// The preview below the list: the reading of the current row, or of the
// selected container when no row is current.  Scripts in a code view with
// Ruby colours and line numbers, tables as a grid with a heat map, colours
// and tones with a swatch, event pages as readable lines (choosing one
// selects its command's row; its context menu finds the uses of what the
// command refers to), anything else whole.  It follows the panes by
// their signals and reads them once the event loop is idle, so the logic's
// own order of notifications is never disturbed.
#pragma once
#include <QWidget>
#include <cstdint>
#include <vector>

#include "ui/preview_view.h"

class CodeView;
class ComparePreviewPage;
class FindBar;
class QLabel;
class QListWidget;
class QMenu;
class QStackedWidget;
class QTimer;
class QTreeView;
class RubyHighlighter;
class TablePreview;
class ListModel;
class TreeModel;

class PreviewPane final : public QWidget {
    Q_OBJECT

public:
    PreviewPane(QTreeView* tree, TreeModel* treeModel, QTreeView* list, ListModel* listModel, QWidget* parent = nullptr);

    // Shows the target's reading now.
    void ShowTarget(const PreviewTarget& target);
    // Reads the panes and shows what they select, at once.
    void Refresh();
    // Reads them once the event loop is idle (a comparison began or ended).
    void ScheduleRefresh();
    // Marks the find bar's text in the code view as it is typed.
    void FollowFind(FindBar* find);
    // The context menu of an event line, not yet shown; none when it would
    // be empty.
    QMenu* LineMenu(int line, QWidget* parent);

    // For tests and the benchmark: what is shown.
    QString Header() const;
    QString Problem() const;
    QWidget* CurrentPage() const;
    CodeView* Code() const { return code_; }
    TablePreview* Table() const { return table_; }
    QLabel* Swatch() const { return swatch_; }
    QLabel* SwatchText() const { return swatchText_; }
    QListWidget* Events() const { return events_; }
    bool Highlighted() const;
    ComparePreviewPage* Compare() const { return compare_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Forget();
    void ShowView(const PreviewView& view);
    void ShowLines(const PreviewView& view);
    void ShowSwatch(const PreviewView& view);
    void ShowEvents(const PreviewView& view);
    void MarkLine();
    void ChooseLine(int line);

    QTreeView* list_;
    ListModel* listModel_;
    QLabel* header_;
    QLabel* problem_;
    QStackedWidget* pages_;
    CodeView* code_;
    RubyHighlighter* highlighter_;
    TablePreview* table_;
    QWidget* swatchPage_;
    QLabel* swatch_;
    QLabel* swatchText_;
    QListWidget* events_;
    ComparePreviewPage* compare_;
    QTimer* refresh_;
    PreviewFollower follower_;
};
