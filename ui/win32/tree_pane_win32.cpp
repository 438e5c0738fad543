// The tree pane over a TreeStore.  The store holds every item the logic
// inserted and answers every query (root, child, sibling, parent, node);
// the control receives an item's children only when the item is first
// expanded, by the user or the logic, or when the logic selects an item
// below it.  Inserting millions of items one by one into the control would
// take minutes; the store takes well under a second.
#include <cstring>
#include <new>

#include "ui/handlers.h"
#include "ui/win32/win32_front_end.h"

namespace {
using Id = TreeStore::Id;

struct Shown {
    HTREEITEM handle;
    bool childrenShown;
};

TreeStore g_store;
ChunkedArray<Shown> g_shown;  // by item id, for the items the store holds
// A tree built on a loader's worker goes here, out of the control's way,
// and becomes g_store on the window's thread once it is whole.
TreeStore g_built;
thread_local bool t_building = false;
TreeStore& Store() { return t_building ? g_built : g_store; }
// Set while the pane itself changes the control: what the control reports
// then is no change the logic should hear about.
bool g_quiet = false;

TreeItem ItemOf(Id id) { return reinterpret_cast<TreeItem>(static_cast<std::uintptr_t>(id)); }
Id IdOf(TreeItem item) {
    auto value = reinterpret_cast<std::uintptr_t>(item);
    return value <= UINT32_MAX && Store().Valid(static_cast<Id>(value)) ? static_cast<Id>(value) : 0;
}
Id IdOfHandle(HTREEITEM handle) {
    if (!handle) return 0;
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = handle;
    if (!SendMessageW(TreePane, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return g_store.Valid(static_cast<Id>(item.lParam)) ? static_cast<Id>(item.lParam) : 0;
}

HTREEITEM InsertIntoControl(Id id, HTREEITEM parent) {
    const TreeStore::Item& item = g_store.At(id);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = LPSTR_TEXTCALLBACKW;  // answered from the store
    insert.item.iImage = insert.item.iSelectedImage = item.image;
    insert.item.cChildren = item.children > 0 ? 1 : 0;
    insert.item.lParam = static_cast<LPARAM>(id);
    return reinterpret_cast<HTREEITEM>(SendMessageW(TreePane, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

// The control draws the item's button when the store gives it children.
void SetChildrenButton(Id id) {
    TVITEMW item{};
    item.mask = TVIF_CHILDREN;
    item.hItem = g_shown[id].handle;
    item.cChildren = g_store.At(id).children > 0 ? 1 : 0;
    SendMessageW(TreePane, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

// Gives the control the children of an item it shows.
void ShowChildren(Id id) {
    Shown& shown = g_shown[id];
    if (shown.childrenShown || !shown.handle) return;
    shown.childrenShown = true;
    // Many children at once are inserted without a redraw after each.
    bool many = g_store.At(id).children > 64;
    if (many) SendMessageW(TreePane, WM_SETREDRAW, FALSE, 0);
    g_quiet = true;
    for (Id child = g_store.At(id).firstChild; child; child = g_store.At(child).nextSibling)
        g_shown[child].handle = InsertIntoControl(child, shown.handle);
    g_quiet = false;
    if (many) {
        SendMessageW(TreePane, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(TreePane, nullptr, TRUE);
    }
}

// The control's handle of an item, giving the control every ancestor's
// children on the way down; none when the control refused one.
HTREEITEM Show(Id id) {
    if (HTREEITEM handle = g_shown[id].handle) return handle;
    Id parent = g_store.At(id).parent;
    if (!parent || !Show(parent)) return nullptr;
    ShowChildren(parent);
    return g_shown[id].handle;
}

void AnswerDisplayInfo(NMTVDISPINFOW* info) {
    if (!(info->item.mask & TVIF_TEXT) || info->item.cchTextMax <= 0) return;
    Id id = static_cast<Id>(info->item.lParam);
    std::u16string_view text = g_store.Valid(id) ? g_store.Text(id) : std::u16string_view{};
    std::size_t n = text.size() < static_cast<std::size_t>(info->item.cchTextMax - 1) ? text.size()
                                                                                       : static_cast<std::size_t>(info->item.cchTextMax - 1);
    text.copy(reinterpret_cast<char16_t*>(info->item.pszText), n);
    info->item.pszText[n] = L'\0';
}
}  // namespace

TreeStore& Win32TreeStore() { return g_store; }

TreeItem TreeItemOfHandle(HTREEITEM handle) { return ItemOf(IdOfHandle(handle)); }

HTREEITEM TreeItemHandleIfShown(TreeItem item) { return IdOf(item) ? g_shown[IdOf(item)].handle : nullptr; }

// MARK: queries

TreeItem TreeRootItem() { return ItemOf(Store().Root()); }
TreeItem TreeChildItem(TreeItem item) { return IdOf(item) ? ItemOf(Store().At(IdOf(item)).firstChild) : nullptr; }
TreeItem TreeNextItem(TreeItem item) { return IdOf(item) ? ItemOf(Store().At(IdOf(item)).nextSibling) : nullptr; }
TreeItem TreeParentItem(TreeItem item) { return IdOf(item) ? ItemOf(Store().At(IdOf(item)).parent) : nullptr; }
const MarshalNode* TreeItemNode(TreeItem item) { return IdOf(item) ? Store().At(IdOf(item)).node : nullptr; }

TreeItem TreeCaretItem() {
    auto caret = reinterpret_cast<HTREEITEM>(SendMessageW(TreePane, TVM_GETNEXTITEM, TVGN_CARET, 0));
    return ItemOf(IdOfHandle(caret));
}

// MARK: operations

TreeItem TreeInsertItem(TreeItem parent, const char16_t* text, int image, const MarshalNode* node) {
    Id parentId = IdOf(parent);
    if (parent && !parentId) return nullptr;
    if (t_building) return ItemOf(g_built.Insert(parentId, text, image, node));
    Id id = g_store.Insert(parentId, text, image, node);
    if (!id) return nullptr;
    try {
        while (g_shown.Size() <= id) g_shown.PushBack(Shown{nullptr, false});
    } catch (const std::bad_alloc&) {
        return nullptr;  // the store keeps an item nobody can reach: harmless
    }
    // Top-level items go straight to the control; an item below one whose
    // children the control already has, likewise.
    if (!parentId) {
        g_shown[id].handle = InsertIntoControl(id, TVI_ROOT);
    } else if (g_shown[parentId].childrenShown) {
        g_shown[id].handle = InsertIntoControl(id, g_shown[parentId].handle);
    } else if (g_shown[parentId].handle && g_store.At(parentId).children == 1) {
        // Its parent now has a child: the control draws its button.
        TVITEMW item{};
        item.mask = TVIF_CHILDREN;
        item.hItem = g_shown[parentId].handle;
        item.cChildren = 1;
        SendMessageW(TreePane, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    return ItemOf(id);
}

void TreeDeleteAllItems() {
    if (t_building) {
        g_built.Clear();
        return;
    }
    // Deleting the items moves the selection on the way: not a change of
    // the current item the logic should hear about.
    g_quiet = true;
    SendMessageW(TreePane, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    g_quiet = false;
    g_store.Clear();
    g_shown.Clear();
}

void TreeSelectItem(TreeItem item) {
    Id id = IdOf(item);
    HTREEITEM handle = id ? Show(id) : nullptr;
    // The control expands collapsed ancestors and reports the change (see
    // HandleTreeNotification) before this returns.
    if (handle) SendMessageW(TreePane, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(handle));
}

void TreeExpandItem(TreeItem item) {
    Id id = IdOf(item);
    HTREEITEM handle = id ? Show(id) : nullptr;
    if (!handle) return;
    ShowChildren(id);
    SendMessageW(TreePane, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(handle));
}

std::u16string TreeItemText(TreeItem item) {
    const Id id = IdOf(item);
    return g_store.Valid(id) ? std::u16string(g_store.Text(id)) : std::u16string();
}

void TreeMarkItem(TreeItem item, const char16_t* text, PaneMark mark) {
    const Id id = IdOf(item);
    if (!g_store.Valid(id)) return;
    g_store.SetMark(id, text, mark);
    // The control asks for the text again when it paints the item.
    if (id < g_shown.Size() && g_shown[id].handle) {
        RECT rect;
        const HTREEITEM handle = g_shown[id].handle;
        std::memcpy(&rect, &handle, sizeof handle);  // TVM_GETITEMRECT takes the item in the rectangle
        if (SendMessageW(TreePane, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect))) InvalidateRect(TreePane, &rect, TRUE);
    }
}

TreeItem TreeInsertItemBefore(TreeItem parent, TreeItem before, const char16_t* text, int image,
                              const MarshalNode* node) {
    const Id parentId = IdOf(parent);
    if (!g_store.Valid(parentId) || t_building) return nullptr;
    const Id id = g_store.InsertBefore(parentId, IdOf(before), text, image, node);
    if (!id) return nullptr;
    try {
        while (g_shown.Size() <= id) g_shown.PushBack(Shown{nullptr, false});
    } catch (const std::bad_alloc&) {
        g_store.Unlink(id);
        return nullptr;
    }
    if (g_shown[parentId].childrenShown) {
        // After the sibling before it in the store, or first.
        Id previous = 0;
        for (Id k = g_store.At(parentId).firstChild; k != id; k = g_store.At(k).nextSibling) previous = k;
        TVINSERTSTRUCTW insert{};
        insert.hParent = g_shown[parentId].handle;
        insert.hInsertAfter = previous ? g_shown[previous].handle : TVI_FIRST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
        insert.item.pszText = LPSTR_TEXTCALLBACKW;
        insert.item.iImage = insert.item.iSelectedImage = image;
        insert.item.lParam = static_cast<LPARAM>(id);
        g_shown[id].handle =
            reinterpret_cast<HTREEITEM>(SendMessageW(TreePane, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    } else if (g_shown[parentId].handle) {
        SetChildrenButton(parentId);
    }
    return ItemOf(id);
}

void TreeDeleteItem(TreeItem item) {
    const Id id = IdOf(item);
    if (!g_store.Valid(id) || t_building) return;
    const Id parentId = g_store.At(id).parent;
    if (id < g_shown.Size() && g_shown[id].handle) {
        g_quiet = true;  // the caret is elsewhere: no change to report
        SendMessageW(TreePane, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(g_shown[id].handle));
        g_quiet = false;
        g_shown[id].handle = nullptr;
    }
    g_store.Unlink(id);
    if (parentId && g_shown[parentId].handle) SetChildrenButton(parentId);
}

LRESULT DrawTreeMarks(NMHDR* header) {
    auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    const Id id = static_cast<Id>(draw->nmcd.lItemlParam);
    if (!g_store.Valid(id) || !g_store.At(id).mark || (draw->nmcd.uItemState & CDIS_SELECTED)) return CDRF_DODEFAULT;
    return PaintMark(g_store.At(id).mark, &draw->clrText, &draw->clrTextBk);
}

// MARK: building on a worker

void BeginTreeBuild() {
    t_building = true;
    g_built.Clear();
}

void LeaveTreeBuild() { t_building = false; }

void EndTreeBuild(bool keep) {
    if (keep) {
        TreeDeleteAllItems();
        std::swap(g_store, g_built);
        try {
            while (g_shown.Size() <= g_store.Size()) g_shown.PushBack(Shown{nullptr, false});
        } catch (const std::bad_alloc&) {
            g_store.Clear();  // nothing shown rather than items the control cannot hold
        }
        // Only the top level goes to the control; the rest as it is shown.
        if (g_shown.Size() > g_store.Size())
            for (Id id = g_store.Root(); id; id = g_store.At(id).nextSibling) g_shown[id].handle = InsertIntoControl(id, TVI_ROOT);
    }
    g_built.Clear();
}

// MARK: notifications

void HandleTreeNotification(NMHDR* header) {
    switch (header->code) {
    case TVN_SELCHANGEDW: {
        if (g_quiet) return;
        // A change to no item (the last one deleted) is never reported.
        Id id = IdOfHandle(reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem);
        if (id) OnTreeSelectionChanged(g_store.At(id).node);
        return;
    }
    case TVN_ITEMEXPANDINGW: {
        auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
        Id id = IdOfHandle(change->itemNew.hItem);
        if ((change->action & TVE_EXPAND) && id) ShowChildren(id);
        return;
    }
    case TVN_GETDISPINFOW: AnswerDisplayInfo(reinterpret_cast<NMTVDISPINFOW*>(header)); return;
    default: return;
    }
}
