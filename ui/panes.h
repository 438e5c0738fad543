// Every operation the viewer's logic performs on its controls.  Each front
// end (ui/qt, ui/win32, ui/headless) implements these once; a program links
// exactly one.  Front ends report changes back through ui/handlers.h synchronously,
// before the operation that caused them returns.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "present/tree_queries.h"

// MARK: images (indices into the one image list both panes use)
enum PaneImage : int {
    kImageFile = 0,        // the root item; replaced by the loaded file's icon
    kImageContainer = 1,   // containers and the ".." row
    kImageUnused2 = 2,
    kImageUnused3 = 3,
    kImageValue = 4,       // nil, booleans, strings, symbols, classes, ...
    kImageNumber = 5,      // floats, integers, bignums, user-dump bytes
    kImageLinkOverlay = 6, // drawn over link rows as overlay 1
    kImageCount = 7,
};
constexpr int kLinkOverlay = 1;  // overlay index of image kImageLinkOverlay

// A file's small icon, owned by the caller; the front end gives it meaning.
using FileIcon = void*;

// MARK: tree pane (the queries are in present/tree_queries.h)
TreeItem TreeCaretItem();
// Inserts an item as the last child of parent (none: top level).
TreeItem TreeInsertItem(TreeItem parent, const char16_t* text, int image, const MarshalNode* node);
// Removes every item; reports no selection change.
void TreeDeleteAllItems();
// Makes the item current, expanding collapsed ancestors; a change of the
// current item is reported before this returns.
void TreeSelectItem(TreeItem item);
void TreeExpandItem(TreeItem item);
// MARK: a comparison's marks (ui/compare_controller.h); nothing is marked
// while none runs.
enum PaneMark : std::uint8_t { kMarkNone = 0, kMarkChanged, kMarkAdded, kMarkRemoved };
// The mark's background as 0xRRGGBB; removed rows are drawn in grey text
// instead (kMarkGreyText).
constexpr std::uint32_t kMarkBackground[] = {0xFFFFFF, 0xFFE8B0, 0xC8F0C8, 0xFFFFFF};
constexpr std::uint32_t kMarkGreyText = 0x909090;
std::u16string TreeItemText(TreeItem item);
// The item shows `text` in the mark's colour.
void TreeMarkItem(TreeItem item, const char16_t* text, PaneMark mark);
// The row shows in the mark's colour; its cells stay as set.
void ListMarkRow(int row, PaneMark mark);
// A container only the old version has, at the place it held: an item
// inserted among parent's children before `before` (none: last), deleted
// again with its subtree when the comparison ends.  Neither reports a
// change of the current item; the caret is never inside what is deleted.
TreeItem TreeInsertItemBefore(TreeItem parent, TreeItem before, const char16_t* text, int image,
                              const MarshalNode* node);
void TreeDeleteItem(TreeItem item);

// MARK: list pane
void ListInsertColumn(int index, const char16_t* header, int width);
void ListDeleteAllRows();
// Inserts a row at `row` with its name cell; overlay 0 is none; node none
// marks the ".." row.
void ListInsertRow(int row, const char16_t* text, int image, int overlay, const MarshalNode* node);
// Inserts a row at `row` for child `index` of `container`, the container
// being listed; its cells are made when they are read (ChildRowCell), so a
// container of a million children lists without a million texts.
void ListInsertChildRow(int row, const MarshalNode* container, std::int64_t index, int image, int overlay,
                        const MarshalNode* node);
void ListSetCell(int row, int column, const char16_t* text);
int ListSelectedCount();
int ListNextSelectedRow(int after);       // first selected row after `after`; -1 when none
const MarshalNode* ListRowNode(int row);  // none for the ".." row or a bad index
int ListFindRow(const MarshalNode* node); // first row carrying node; -1 when none
// Sets or clears the row's selected state; a change is reported before this
// returns.  The focus mark and the scroll position stay as they are.
void ListSetRowSelected(int row, bool selected);

// MARK: status bar, title, image list
void StatusSetText(const char16_t* text);
void WindowSetTitle(const char16_t* title);
// Image kImageFile becomes a copy of the icon; none leaves it unchanged.
void ImagesReplaceFileIcon(FileIcon icon);

// MARK: shell and modal interaction
enum class MessageIcon { Warning, Error };
// Asks for a file to open; false when cancelled.  The path is written into
// the buffer of `size` units, terminated.
bool ShowOpenDialog(char16_t* path, int size);
// A modal box with the caption "错误", one OK button and the icon.
void ShowMessage(const char16_t* text, MessageIcon icon);
// The file's display name (terminated, cut to size) and small icon (owned by
// the caller, none when there is none).
void GetFileDisplayInfo(const char16_t* path, char16_t* displayName, int size, FileIcon* icon);
void DestroyFileIcon(FileIcon icon);
// A wait cursor while a load runs.
void SetBusy(bool busy);
