// The navigation pane operations over the Qt views.
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QTreeView>

#include "ui/nav_panes.h"
#include "ui/qt/list_model.h"
#include "ui/qt/pane_state.h"

void ListShowRow(int row) {
    const PaneWidgets& w = Panes().widgets;
    if (!w.listModel || !w.listModel->Store().Valid(row)) return;
    FlushPanes();
    const QModelIndex index = w.listModel->index(row, 0);
    // The focus mark moves without touching the selection, which the
    // logic has already set (no change of selection is reported).
    w.list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    w.list->scrollTo(index);
}

const ListStore& ListPaneStore() {
    static const ListStore kNone;
    const PaneWidgets& w = Panes().widgets;
    if (!w.listModel) return kNone;
    FlushPanes();
    return w.listModel->Store();
}

void ClipboardSetText(const std::u16string& text) { QApplication::clipboard()->setText(QString::fromStdU16String(text)); }
