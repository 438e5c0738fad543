// The list pane over a ListStore.  The control is virtual (LVS_OWNERDATA):
// it knows only how many rows there are and asks for what it draws, so a
// container of a million children lists as fast as its store fills.  The
// selected state of the rows is the control's own.
#include "ui/handlers.h"
#include "ui/win32/win32_front_end.h"
#include "ui/win32/dpi_win32.h"

namespace {
ListStore g_store;
// The control has not yet been told the store's number of rows.
bool g_countStale = false;
// Set while the pane itself empties the control: its reports then are no
// change the logic should hear about.
bool g_quiet = false;

void CopyCell(std::u16string_view text, LVITEMW& item) {
    if (item.cchTextMax <= 0) return;
    std::size_t room = static_cast<std::size_t>(item.cchTextMax - 1);
    std::size_t n = text.size() < room ? text.size() : room;
    text.copy(reinterpret_cast<char16_t*>(item.pszText), n);
    item.pszText[n] = L'\0';
}

void AnswerDisplayInfo(NMLVDISPINFOW* info) {
    LVITEMW& item = info->item;
    if (!g_store.Valid(item.iItem)) return;
    const ListStore::Row& row = g_store.At(item.iItem);
    if (item.mask & LVIF_TEXT) {
        CopyCell(g_store.Cell(item.iItem, item.iSubItem), item);
    }
    if (item.mask & LVIF_IMAGE) item.iImage = row.image;
    if (item.mask & LVIF_STATE) {
        item.state = (item.state & ~LVIS_OVERLAYMASK) | INDEXTOOVERLAYMASK(row.overlay);
        item.stateMask |= LVIS_OVERLAYMASK;
    }
    if (item.mask & LVIF_PARAM) item.lParam = reinterpret_cast<LPARAM>(row.node);
}

// A range of rows changed state at once (shift-click).
void RangeStateChanged(const NMLVODSTATECHANGE* change) {
    bool one = change->iFrom == change->iTo;
    bool selected = (change->uNewState & LVIS_SELECTED) != 0;
    OnListRowStateChanged(one ? change->iFrom : -1, one && selected);
}
}  // namespace

ListStore& Win32ListStore() { return g_store; }

void ResetPaneStores() {
    g_store.Clear();
    g_countStale = false;
    Win32TreeStore().Clear();
}

void FlushListPane() {
    if (!g_countStale) return;
    g_countStale = false;
    SendMessageW(ListPane, LVM_SETITEMCOUNT, static_cast<WPARAM>(g_store.Size()), 0);
}

void ListInsertColumn(int index, const char16_t* header, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(header ? header : u""));
    column.cx = Scaled(width);  // widths are given for 96 DPI
    SendMessageW(ListPane, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void ListDeleteAllRows() {
    // The store first: the control's reports may reach a flush.
    g_store.Clear();
    g_countStale = false;
    g_quiet = true;
    SendMessageW(ListPane, LVM_DELETEALLITEMS, 0, 0);
    g_quiet = false;
}

void ListInsertRow(int row, const char16_t* text, int image, int overlay, const MarshalNode* node) {
    g_store.Insert(row, text, image, overlay, node);
    g_countStale = true;
}

void ListInsertChildRow(int row, const MarshalNode* container, std::int64_t index, int image, int overlay,
                        const MarshalNode* node) {
    g_store.InsertChild(row, container, index, image, overlay, node);
    g_countStale = true;
}

void ListSetCell(int row, int column, const char16_t* text) {
    g_store.SetCell(row, column, text);
    if (!g_countStale) SendMessageW(ListPane, LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}

void ListMarkRow(int row, PaneMark mark) {
    g_store.SetMark(row, mark);
    if (!g_countStale) SendMessageW(ListPane, LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}

LRESULT DrawListMarks(NMHDR* header) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    const int row = static_cast<int>(draw->nmcd.dwItemSpec);
    if (!g_store.Valid(row) || !g_store.At(row).mark) return CDRF_DODEFAULT;
    return PaintMark(g_store.At(row).mark, &draw->clrText, &draw->clrTextBk);
}

int ListSelectedCount() {
    FlushListPane();
    return static_cast<int>(SendMessageW(ListPane, LVM_GETSELECTEDCOUNT, 0, 0));
}

int ListNextSelectedRow(int after) {
    FlushListPane();
    return static_cast<int>(SendMessageW(ListPane, LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
}

const MarshalNode* ListRowNode(int row) { return g_store.Valid(row) ? g_store.At(row).node : nullptr; }

int ListFindRow(const MarshalNode* node) { return g_store.Find(node); }

void ListSetRowSelected(int row, bool selected) {
    if (!g_store.Valid(row)) return;
    FlushListPane();
    // Only the selected state: the focus mark and the scroll position stay.
    // The control reports the change before this returns.
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageW(ListPane, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void HandleListNotification(NMHDR* header) {
    switch (header->code) {
    case LVN_GETDISPINFOW: AnswerDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(header)); return;
    case LVN_ITEMCHANGED: {
        if (g_quiet) return;
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (!(change->uChanged & LVIF_STATE) || !((change->uNewState ^ change->uOldState) & LVIS_SELECTED)) return;
        bool selected = (change->uNewState & LVIS_SELECTED) != 0;
        OnListRowStateChanged(selected ? change->iItem : -1, selected);
        return;
    }
    case LVN_ODSTATECHANGED:
        if (!g_quiet) RangeStateChanged(reinterpret_cast<NMLVODSTATECHANGE*>(header));
        return;
    case LVN_ITEMACTIVATE: OnListRowActivated(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem); return;
    default: return;
    }
}
