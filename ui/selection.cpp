// Selection, status bar and navigation: what the panes' three notifications
// lead to.  Nothing is kept between notifications; everything is read back
// from the panes, which report their changes synchronously.
#include <cstdlib>
#include <cstring>

#include "present/access_path.h"
#include "present/format_bounded.h"
#include "present/node_location.h"
#include "ui/compare_controller.h"
#include "ui/handlers.h"
#include "ui/navigation_controller.h"
#include "ui/viewer.h"

namespace {
constexpr char16_t kPathPrefix[] = u"路径: ";
constexpr std::size_t kPathPrefixUnits = 4;

std::size_t Length(const char16_t* text) {
    std::size_t n = 0;
    while (text[n]) ++n;
    return n;
}

// The child item of `item` that shows `node`, compared by identity.
TreeItem ChildItemShowing(TreeItem item, const MarshalNode* node) {
    if (!item) return nullptr;
    for (TreeItem child = TreeChildItem(item); child; child = TreeNextItem(child))
        if (TreeItemNode(child) == node) return child;
    return nullptr;
}
}  // namespace

void ShowSelectionStatus(int row) {
    int selected = ListSelectedCount();
    if (selected > 1) {
        char16_t text[40];
        FormatBounded(text, 40, u"选中了%d个项目。", selected);
        StatusSetText(text);
        return;
    }
    const MarshalNode* child = nullptr;
    int levelsUp = 0;
    if (row >= 0) {
        child = ListRowNode(row);
        if (!child) levelsUp = 1;  // the ".." row stands for the parent
    }
    // A removed value shown grey in a comparison: its place in the old file.
    if (const CompareController* compare = ActiveCompare()) {
        const std::u16string old = compare->OldPath(TreeCaretItem(), child, levelsUp);
        if (!old.empty()) return StatusSetText((std::u16string(kPathPrefix) + old).c_str());
    }
    char16_t* path = BuildAccessPath(TreeCaretItem(), child, levelsUp);
    if (path && path[0]) {
        std::size_t length = Length(path);
        if (auto* grown = static_cast<char16_t*>(std::realloc(path, (length + kPathPrefixUnits + 1) * sizeof(char16_t)))) {
            path = grown;
            std::memmove(path + kPathPrefixUnits, path, (length + 1) * sizeof(char16_t));
            std::memcpy(path, kPathPrefix, kPathPrefixUnits * sizeof(char16_t));
        }
    }
    StatusSetText(path ? path : u"");
    std::free(path);
}

void ActivateListRow(int row) {
    if (ListSelectedCount() != 1) return;
    int r = row == -1 ? ListNextSelectedRow(-1) : row;
    const MarshalNode* q = ListRowNode(r);
    TreeItem current = TreeCaretItem();
    TreeItem target = nullptr;
    const MarshalNode* rowToSelect = nullptr;
    bool containerRow = false;
    if (!q) {
        // "..": up to the parent, then the row of the container just left.
        rowToSelect = TreeItemNode(current);
        target = TreeParentItem(current);
    } else if (IsContainerType(q->type)) {
        target = ChildItemShowing(current, q);
        containerRow = true;
    } else if (q->type == '@') {
        const MarshalNode* t = q->data.target;
        TreeItem holder = FindHoldingItem(t);
        if (IsContainerType(t->type)) {
            target = ChildItemShowing(holder, t);  // its ".." row is selected below
        } else {
            rowToSelect = t;
            target = holder;
        }
    }
    if (!target) return;
    if (target != current) {
        TreeSelectItem(target);
        TreeExpandItem(target);
    } else if (row != -1) {
        ListSetRowSelected(row, false);
    }
    if (containerRow) return;
    int found = ListFindRow(rowToSelect);
    if (found >= 0) ListSetRowSelected(found, true);
}

// MARK: notifications

// Every move ends in a new current item, an activated row or another row
// selected; the history records the place once things have settled.
namespace {
void NoteMove(bool step) {
    if (NavigationController* navigation = ActiveNavigation()) navigation->NoteMove(step);
}
}  // namespace

void OnTreeSelectionChanged(const MarshalNode* node) {
    if (!node) return;
    FillListPane(node);
    MarkComparedRows(node);
    ShowSelectionStatus(-1);
    NoteMove(true);
}

void OnListRowActivated(int row) {
    ActivateListRow(row);
    NoteMove(true);
}

void OnListRowStateChanged(int row, bool selected) {
    ShowSelectionStatus(selected ? row : -1);
    NoteMove(false);
}
