// The pane operations in memory, with the control behaviour the logic
// relies on: insertion order kept, synchronous notifications, no
// notification for a change to no item.
#include <deque>

#include "ui/handlers.h"
#include "ui/headless/headless.h"
#include "ui/headless/headless_nav.h"
#include "ui/nav_panes.h"

namespace {
TreeStore g_tree;
ListStore g_list;
std::vector<HeadlessColumn> g_columns;
std::u16string g_status;
std::u16string g_title = u"Quarnix";
std::vector<HeadlessMessage> g_messages;
std::deque<std::u16string> g_openAnswers;
FileIcon g_fileImage = nullptr;
int g_liveIcons = 0;
std::uintptr_t g_nextIcon = 1;

TreeStore::Id IdOf(TreeItem item) { return static_cast<TreeStore::Id>(reinterpret_cast<std::uintptr_t>(item)); }
TreeItem ItemOf(TreeStore::Id id) { return reinterpret_cast<TreeItem>(static_cast<std::uintptr_t>(id)); }
}  // namespace

TreeStore& HeadlessTree() { return g_tree; }
ListStore& HeadlessList() { return g_list; }
const std::vector<HeadlessColumn>& HeadlessColumns() { return g_columns; }
const std::u16string& HeadlessStatus() { return g_status; }
const std::u16string& HeadlessTitle() { return g_title; }
const std::vector<HeadlessMessage>& HeadlessMessages() { return g_messages; }
FileIcon HeadlessFileImage() { return g_fileImage; }
int HeadlessLiveIcons() { return g_liveIcons; }
void HeadlessQueueOpenAnswer(const std::u16string& path) { g_openAnswers.push_back(path); }
TreeItem HeadlessItem(TreeStore::Id id) { return ItemOf(id); }
TreeStore::Id HeadlessItemId(TreeItem item) { return IdOf(item); }

void HeadlessReset() {
    g_tree.Clear();
    g_list.Clear();
    g_columns.clear();
    g_status.clear();
    g_title = u"Quarnix";
    g_messages.clear();
    g_openAnswers.clear();
    g_fileImage = nullptr;
}

void HeadlessClickRow(int row, bool additive) {
    if (additive) {
        if (g_list.Valid(row)) ListSetRowSelected(row, !g_list.At(row).selected);
        return;
    }
    for (int r = g_list.NextSelected(-1); r >= 0; r = g_list.NextSelected(r))
        if (r != row) ListSetRowSelected(r, false);
    ListSetRowSelected(row, true);
}

// MARK: tree queries

TreeItem TreeRootItem() { return ItemOf(g_tree.Root()); }
TreeItem TreeChildItem(TreeItem item) { return g_tree.Valid(IdOf(item)) ? ItemOf(g_tree.At(IdOf(item)).firstChild) : nullptr; }
TreeItem TreeNextItem(TreeItem item) { return g_tree.Valid(IdOf(item)) ? ItemOf(g_tree.At(IdOf(item)).nextSibling) : nullptr; }
TreeItem TreeParentItem(TreeItem item) { return g_tree.Valid(IdOf(item)) ? ItemOf(g_tree.At(IdOf(item)).parent) : nullptr; }
const MarshalNode* TreeItemNode(TreeItem item) { return g_tree.Valid(IdOf(item)) ? g_tree.At(IdOf(item)).node : nullptr; }

// MARK: tree operations

TreeItem TreeCaretItem() { return ItemOf(g_tree.Caret()); }

TreeItem TreeInsertItem(TreeItem parent, const char16_t* text, int image, const MarshalNode* node) {
    return ItemOf(g_tree.Insert(IdOf(parent), text, image, node));
}

void TreeDeleteAllItems() { g_tree.Clear(); }

void TreeSelectItem(TreeItem item) {
    TreeStore::Id id = IdOf(item);
    if (!g_tree.Valid(id) || id == g_tree.Caret()) return;
    for (TreeStore::Id p = g_tree.At(id).parent; p; p = g_tree.At(p).parent) g_tree.SetExpanded(p, true);
    g_tree.SetCaret(id);
    OnTreeSelectionChanged(g_tree.At(id).node);
}

void TreeExpandItem(TreeItem item) {
    if (g_tree.Valid(IdOf(item))) g_tree.SetExpanded(IdOf(item), true);
}

std::u16string TreeItemText(TreeItem item) {
    return g_tree.Valid(IdOf(item)) ? std::u16string(g_tree.Text(IdOf(item))) : std::u16string();
}

void TreeMarkItem(TreeItem item, const char16_t* text, PaneMark mark) { g_tree.SetMark(IdOf(item), text, mark); }

TreeItem TreeInsertItemBefore(TreeItem parent, TreeItem before, const char16_t* text, int image,
                              const MarshalNode* node) {
    return ItemOf(g_tree.InsertBefore(IdOf(parent), IdOf(before), text, image, node));
}

void TreeDeleteItem(TreeItem item) { g_tree.Unlink(IdOf(item)); }

// MARK: list operations

void ListInsertColumn(int index, const char16_t* header, int width) {
    if (index < 0 || index > static_cast<int>(g_columns.size())) index = static_cast<int>(g_columns.size());
    g_columns.insert(g_columns.begin() + index, HeadlessColumn{header ? header : u"", width});
}

void ListDeleteAllRows() { g_list.Clear(); }

void ListInsertRow(int row, const char16_t* text, int image, int overlay, const MarshalNode* node) {
    g_list.Insert(row, text, image, overlay, node);
}

void ListInsertChildRow(int row, const MarshalNode* container, std::int64_t index, int image, int overlay,
                        const MarshalNode* node) {
    g_list.InsertChild(row, container, index, image, overlay, node);
}

void ListSetCell(int row, int column, const char16_t* text) { g_list.SetCell(row, column, text); }
void ListMarkRow(int row, PaneMark mark) { g_list.SetMark(row, mark); }
int ListSelectedCount() { return g_list.SelectedCount(); }
int ListNextSelectedRow(int after) { return g_list.NextSelected(after); }
const MarshalNode* ListRowNode(int row) { return g_list.Valid(row) ? g_list.At(row).node : nullptr; }
int ListFindRow(const MarshalNode* node) { return g_list.Find(node); }

void ListSetRowSelected(int row, bool selected) {
    if (g_list.SetSelected(row, selected)) OnListRowStateChanged(row, selected);
}

// MARK: status bar, title, images, shell, modal

void StatusSetText(const char16_t* text) { g_status = text ? text : u""; }
void WindowSetTitle(const char16_t* title) { g_title = title ? title : u""; }

void ImagesReplaceFileIcon(FileIcon icon) {
    if (icon) g_fileImage = icon;
}

bool ShowOpenDialog(char16_t* path, int size) {
    if (g_openAnswers.empty() || size <= 0) return false;
    std::u16string answer = g_openAnswers.front();
    g_openAnswers.pop_front();
    if (static_cast<int>(answer.size()) >= size) return false;  // the dialog refuses what does not fit
    answer.copy(path, answer.size());
    path[answer.size()] = u'\0';
    return true;
}

void ShowMessage(const char16_t* text, MessageIcon icon) { g_messages.push_back({text ? text : u"", icon}); }

void GetFileDisplayInfo(const char16_t* path, char16_t* displayName, int size, FileIcon* icon) {
    std::u16string_view p = path ? path : u"";
    std::size_t slash = p.find_last_of(u"/\\");
    std::u16string_view name = slash == std::u16string_view::npos ? p : p.substr(slash + 1);
    if (size > 0) {
        std::size_t n = name.size() < static_cast<std::size_t>(size - 1) ? name.size() : static_cast<std::size_t>(size - 1);
        name.copy(displayName, n);
        displayName[n] = u'\0';
    }
    *icon = reinterpret_cast<FileIcon>(g_nextIcon++);
    ++g_liveIcons;
}

void DestroyFileIcon(FileIcon icon) {
    if (icon) --g_liveIcons;
}

void SetBusy(bool) {}

// MARK: navigation (ui/nav_panes.h)

namespace {
int g_shownRow = -1;
std::u16string g_clipboard;
}  // namespace

void ListShowRow(int row) { g_shownRow = row; }
int HeadlessShownRow() { return g_shownRow; }
const ListStore& ListPaneStore() { return g_list; }
void ClipboardSetText(const std::u16string& text) { g_clipboard = text; }
const std::u16string& HeadlessClipboard() { return g_clipboard; }
