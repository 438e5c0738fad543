// The views' signals turned into the notifications of ui/handlers.h, each
// delivered synchronously through RunLogic.
#include <QItemSelectionModel>
#include <QTreeView>

#include "ui/handlers.h"
#include "ui/qt/list_model.h"
#include "ui/qt/pane_state.h"
#include "ui/qt/tree_model.h"

namespace {

using Id = TreeStore::Id;

// MARK: tree pane

void TreeCurrentChanged(const QModelIndex& current) {
    TreeModel* model = Panes().widgets.treeModel;
    const Id id = TreeModel::IdOf(current);
    // No item (a reset clearing the view) is never reported, and neither is
    // the pane layer putting the caret back after a reset.
    if (!model || !model->Store().Valid(id) || id == model->Store().Caret()) return;
    model->SetCaret(id);
    RunLogic([&] { OnTreeSelectionChanged(model->Store().At(id).node); });
}

bool IsAncestor(const TreeStore& store, Id ancestor, Id id) {
    for (Id up = store.Valid(id) ? store.At(id).parent : 0; up; up = store.At(up).parent)
        if (up == ancestor) return true;
    return false;
}

void TreeCollapsed(const QModelIndex& index) {
    TreeModel* model = Panes().widgets.treeModel;
    const Id id = TreeModel::IdOf(index);
    NoteExpanded(id, false);
    // A current item hidden by collapsing its ancestor hands the caret to
    // that ancestor, and the list follows.
    if (model && IsAncestor(model->Store(), id, model->Store().Caret())) TreeSelectItem(ItemOf(id));
}

// MARK: list pane

// A user's change of the selection arrives as one batch (a click deselects
// the old rows and selects one; select-all selects a million).  The status
// bar depends only on the number of selected rows and the row reported
// last, so one report per batch is enough: a newly selected row if there is
// one, else the last row that lost its selection.
void ListSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    if (!Panes().widgets.listModel) return;
    // The batch holds only rows whose state changed.
    if (!selected.isEmpty()) RunLogic([&] { OnListRowStateChanged(selected.last().bottom(), true); });
    else if (!deselected.isEmpty()) RunLogic([&] { OnListRowStateChanged(deselected.last().bottom(), false); });
}

void ListActivated(const QModelIndex& index) {
    RunLogic([&] { OnListRowActivated(index.isValid() ? index.row() : -1); });
}

}  // namespace

void ConnectNotifications(const PaneWidgets& w) {
    QObject::connect(w.tree->selectionModel(), &QItemSelectionModel::currentChanged, w.tree, TreeCurrentChanged);
    QObject::connect(w.tree, &QTreeView::expanded, w.tree,
                     [](const QModelIndex& index) { NoteExpanded(TreeModel::IdOf(index), true); });
    QObject::connect(w.tree, &QTreeView::collapsed, w.tree, TreeCollapsed);
    QObject::connect(w.list->selectionModel(), &QItemSelectionModel::selectionChanged, w.list, ListSelectionChanged);
    QObject::connect(w.list, &QAbstractItemView::activated, w.list, ListActivated);
    // The safety net: whatever added items outside a command is shown once
    // the event loop runs again.
    QObject::connect(w.treeModel, &TreeModel::Unpublished, w.treeModel, FlushPanes, Qt::QueuedConnection);
    QObject::connect(w.listModel, &ListModel::Unpublished, w.listModel, FlushPanes, Qt::QueuedConnection);
}
