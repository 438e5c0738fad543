// The pane operations of ui/panes.h and present/tree_queries.h over the
// Qt widgets attached by AttachPanes.  The stores inside the models are the
// truth for items, rows and the caret; the list's selection belongs to the
// view's selection model alone.  The views are brought up to date only when
// they are needed, see FlushPanes.
#include <QApplication>
#include <QCursor>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTreeView>
#include <algorithm>
#include <utility>
#include <vector>

#include "ui/handlers.h"
#include "ui/qt/list_model.h"
#include "ui/qt/pane_images.h"
#include "ui/qt/pane_state.h"
#include "ui/qt/tree_model.h"

PaneState& Panes() {
    static PaneState state;
    return state;
}

namespace {

TreeModel* Tree() { return Panes().widgets.treeModel; }
ListModel* List() { return Panes().widgets.listModel; }

const TreeStore::Item* ItemAt(TreeItem item) {
    TreeModel* model = Tree();
    if (!model || !model->Store().Valid(IdOfItem(item))) return nullptr;
    return &model->Store().At(IdOfItem(item));
}

QString FromUtf16(const char16_t* text) { return text ? QString::fromUtf16(text) : QString(); }

// After a reset the tree view has forgotten which items were expanded and
// which was current; both live on in the store.
void RestoreTreeView() {
    const PaneWidgets& w = Panes().widgets;
    const TreeStore& store = w.treeModel->Store();
    if (w.treeModel->ExpandedCount() > 0) {
        for (TreeStore::Id id = 1; id <= store.Size(); ++id)
            if (store.At(id).expanded) w.tree->expand(w.treeModel->IndexOf(id));
    }
    if (store.Caret()) {
        // The caret is unchanged, so the view's change is not reported.
        w.tree->selectionModel()->setCurrentIndex(w.treeModel->IndexOf(store.Caret()),
                                                  QItemSelectionModel::ClearAndSelect);
    }
}

void FlushTree() {
    if (Tree() && Tree()->HasUnpublished() && Tree()->Publish()) RestoreTreeView();
}

void FlushList() {
    if (List()) List()->Publish();
}

}  // namespace

// MARK: attaching

void AttachPanes(const PaneWidgets& widgets) {
    Panes() = PaneState{};
    Panes().widgets = widgets;
    ConnectNotifications(widgets);
}

void DetachPanes() {
    while (Panes().busyDepth > 0) SetBusy(false);
    Panes() = PaneState{};
}

void FlushPanes() {
    FlushTree();
    FlushList();
}

void NoteExpanded(TreeStore::Id id, bool expanded) {
    if (Tree()) Tree()->SetExpanded(id, expanded);
}

// MARK: tree pane

TreeItem TreeRootItem() { return Tree() ? ItemOf(Tree()->Store().Root()) : nullptr; }

TreeItem TreeChildItem(TreeItem item) {
    const TreeStore::Item* it = ItemAt(item);
    return it ? ItemOf(it->firstChild) : nullptr;
}

TreeItem TreeNextItem(TreeItem item) {
    const TreeStore::Item* it = ItemAt(item);
    return it ? ItemOf(it->nextSibling) : nullptr;
}

TreeItem TreeParentItem(TreeItem item) {
    const TreeStore::Item* it = ItemAt(item);
    return it ? ItemOf(it->parent) : nullptr;
}

const MarshalNode* TreeItemNode(TreeItem item) {
    const TreeStore::Item* it = ItemAt(item);
    return it ? it->node : nullptr;
}

TreeItem TreeCaretItem() { return Tree() ? ItemOf(Tree()->Store().Caret()) : nullptr; }

TreeItem TreeInsertItem(TreeItem parent, const char16_t* text, int image, const MarshalNode* node) {
    if (!Tree()) return nullptr;
    return ItemOf(Tree()->Insert(IdOfItem(parent), text, image, node));
}

void TreeDeleteAllItems() {
    if (!Tree()) return;
    // The selection model clears itself silently on the reset: no change to
    // "no item" is ever reported.
    Tree()->Clear();
}

void TreeSelectItem(TreeItem item) {
    const TreeStore::Item* it = ItemAt(item);
    if (!it) return;
    FlushTree();
    const PaneWidgets& w = Panes().widgets;
    const TreeStore& store = w.treeModel->Store();
    std::vector<TreeStore::Id> collapsed;
    for (TreeStore::Id up = it->parent; up; up = store.At(up).parent)
        if (!store.At(up).expanded) collapsed.push_back(up);
    for (auto up = collapsed.rbegin(); up != collapsed.rend(); ++up) {
        NoteExpanded(*up, true);
        w.tree->expand(w.treeModel->IndexOf(*up));
    }
    // The view reports the new current item before this returns (see
    // ConnectNotifications); making the current item current again reports
    // nothing.
    const QModelIndex index = w.treeModel->IndexOf(IdOfItem(item));
    w.tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    w.tree->scrollTo(index);
}

void TreeExpandItem(TreeItem item) {
    if (!ItemAt(item)) return;
    FlushTree();
    NoteExpanded(IdOfItem(item), true);
    Panes().widgets.tree->expand(Tree()->IndexOf(IdOfItem(item)));
}

// MARK: list pane

void ListInsertColumn(int index, const char16_t* header, int width) {
    const PaneWidgets& w = Panes().widgets;
    if (!w.listModel) return;
    w.listModel->InsertColumn(index, FromUtf16(header));
    // An index past the last column appends, as the model did.
    const int count = w.listModel->columnCount();
    const int column = index >= 0 && index < count ? index : count - 1;
    if (w.list && column >= 0) w.list->header()->resizeSection(column, width);
}

void ListDeleteAllRows() {
    if (List()) List()->Clear();
}

void ListInsertRow(int row, const char16_t* text, int image, int overlay, const MarshalNode* node) {
    if (List()) List()->Insert(row, text, image, overlay, node);
}

void ListInsertChildRow(int row, const MarshalNode* container, std::int64_t index, int image, int overlay,
                        const MarshalNode* node) {
    if (List()) List()->InsertChild(row, container, index, image, overlay, node);
}

std::u16string TreeItemText(TreeItem item) {
    if (!Tree() || !Tree()->Store().Valid(IdOfItem(item))) return {};
    return std::u16string(Tree()->Store().Text(IdOfItem(item)));
}

void TreeMarkItem(TreeItem item, const char16_t* text, PaneMark mark) {
    if (Tree()) Tree()->SetMark(IdOfItem(item), text, mark);
}

TreeItem TreeInsertItemBefore(TreeItem parent, TreeItem before, const char16_t* text, int image,
                              const MarshalNode* node) {
    if (!Tree()) return nullptr;
    return ItemOf(Tree()->InsertBefore(IdOfItem(parent), IdOfItem(before), text, image, node));
}

void TreeDeleteItem(TreeItem item) {
    if (Tree()) Tree()->Unlink(IdOfItem(item));
}

void ListMarkRow(int row, PaneMark mark) {
    if (List()) List()->SetMark(row, mark);
}

void ListSetCell(int row, int column, const char16_t* text) {
    if (List()) List()->SetCell(row, column, text);
}

namespace {
// The selected rows as sorted, disjoint [first, last] runs, from the
// selection model's ranges (which may overlap).
std::vector<std::pair<int, int>> SelectedRuns() {
    std::vector<std::pair<int, int>> runs;
    QTreeView* list = Panes().widgets.list;
    if (!list || !list->selectionModel()) return runs;
    for (const QItemSelectionRange& range : list->selectionModel()->selection()) runs.emplace_back(range.top(), range.bottom());
    std::sort(runs.begin(), runs.end());
    std::size_t kept = 0;
    for (const auto& run : runs) {
        if (kept > 0 && run.first <= runs[kept - 1].second + 1) runs[kept - 1].second = std::max(runs[kept - 1].second, run.second);
        else runs[kept++] = run;
    }
    runs.resize(kept);
    return runs;
}
}  // namespace

int ListSelectedCount() {
    int count = 0;
    for (const auto& run : SelectedRuns()) count += run.second - run.first + 1;
    return count;
}

int ListNextSelectedRow(int after) {
    for (const auto& run : SelectedRuns())
        if (run.second > after) return std::max(run.first, after + 1);
    return -1;
}

const MarshalNode* ListRowNode(int row) {
    if (!List() || !List()->Store().Valid(row)) return nullptr;
    return List()->Store().At(row).node;
}

int ListFindRow(const MarshalNode* node) { return List() ? List()->Store().Find(node) : -1; }

void ListSetRowSelected(int row, bool selected) {
    const PaneWidgets& w = Panes().widgets;
    if (!w.listModel || !w.listModel->Store().Valid(row)) return;
    FlushList();
    QItemSelectionModel* selection = w.list->selectionModel();
    const QModelIndex index = w.listModel->index(row, 0);
    if (selection->isRowSelected(row, {}) == selected) return;
    // The focus mark (current index) and the scroll position stay where they
    // are; the view reports the change (ConnectNotifications) before this
    // returns, like a user's.
    selection->select(index, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                 QItemSelectionModel::Rows);
}

// MARK: status bar, title, images

void StatusSetText(const char16_t* text) {
    QStatusBar* status = Panes().widgets.status;
    if (!status) return;
    // No timeout: the text stays until the next one.
    if (text && *text) status->showMessage(FromUtf16(text));
    else status->clearMessage();
}

void WindowSetTitle(const char16_t* title) {
    if (QWidget* window = Panes().widgets.window) window->setWindowTitle(FromUtf16(title));
}

void ImagesReplaceFileIcon(FileIcon icon) {
    const PaneWidgets& w = Panes().widgets;
    if (!icon || !w.images) return;
    w.images->ReplaceFileIcon(*static_cast<const QIcon*>(icon));
    if (w.tree) w.tree->viewport()->update();
    if (w.list) w.list->viewport()->update();
}

// MARK: shell

void GetFileDisplayInfo(const char16_t* path, char16_t* displayName, int size, FileIcon* icon) {
    const QFileInfo info(FromUtf16(path));
    if (displayName && size > 0) {
        const QString name = info.fileName();
        const int units = std::min(static_cast<int>(name.size()), size - 1);
        for (int i = 0; i < units; ++i) displayName[i] = name.at(i).unicode();
        displayName[units] = u'\0';
    }
    if (icon) {
        const QIcon shellIcon = QFileIconProvider().icon(info);
        *icon = shellIcon.isNull() ? nullptr : new QIcon(shellIcon);
    }
}

void DestroyFileIcon(FileIcon icon) { delete static_cast<QIcon*>(icon); }

void SetBusy(bool busy) {
    int& depth = Panes().busyDepth;
    if (busy) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        ++depth;
    } else if (depth > 0) {
        QApplication::restoreOverrideCursor();
        --depth;
    }
}
