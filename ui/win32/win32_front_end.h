// The native Windows front end: the main window, its three controls and
// the image list they share, and the handlers the window procedure hands
// its messages to.  Everything here runs on the one GUI thread.
#pragma once
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "ui/item_store.h"
#include "ui/panes.h"
#include "ui/window_commands.h"

// MARK: the window and its controls (main_window.cpp)
extern HWND MainWindowHandle;
extern HWND TreePane;
extern HWND ListPane;
extern HWND StatusBar;
extern HIMAGELIST PaneImageList;
extern bool SplitterDragging;

constexpr int kCommandOpen = 101;
constexpr int kCommandExit = 102;
constexpr int kCommandAbout = 103;
// The commands of 编辑, 查看 and 导航: the rows of ui/window_commands.h,
// numbered in its order.
constexpr int kWindowCommandBase = 201;
constexpr int WindowCommandId(int index) { return kWindowCommandBase + index; }
constexpr int kCommandCopy = WindowCommandId(kCopyCommand);
constexpr int kCommandFind = WindowCommandId(kFindCommand);
constexpr int kCommandPreview = WindowCommandId(kPreviewCommand);
constexpr int kCommandFindInFolder = WindowCommandId(kFindInFolderCommand);
constexpr int kIconApplication = 101;
constexpr int kDialogAbout = 102;
constexpr int kInitialTreeWidth = 200;
constexpr int kSplitterWidth = 4;
// Posted to the main window with a path of the heap (wchar_t[], taken over
// by the handler): open it as the Open command would after its dialog.
constexpr UINT kOpenPathMessage = WM_APP + 1;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Registers the class `MainWindow`; false when that fails.
bool RegisterMainWindowClass(HINSTANCE instance);
// Registers a class of the panes beside the Parts' own (preview, results):
// the arrow cursor over the dialog background.  False when that fails.
bool RegisterPaneClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style = 0);
HMENU BuildMenuBar();
// The main window, not yet shown; none when creation fails.
HWND CreateMainWindow(HINSTANCE instance);
// Hands a path to the window, to be opened once it runs its message loop.
void PostOpenPath(const wchar_t* path);
// The tree, the list and the status bar take the fonts of the current DPI.
void SetPaneFonts();
// `--compare OLD NEW`: NEW opens, then OLD is compared with it.
void PostComparePaths(const wchar_t* oldPath, const wchar_t* newPath);

// MARK: About dialog (about_dialog.cpp)
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// MARK: layout and splitter (splitter.cpp)
void LayoutPanes(WPARAM sizeType, LPARAM clientSize);
void SplitterButtonDown();
void SplitterMouseMove(LPARAM position);
void SplitterButtonUp();
void SplitterReset();
// The DPI changed: the tree keeps its width in the new DPI's pixels.
void ScaleTreeWidth(UINT from, UINT to);

// MARK: image list (pane_images.cpp)
// The list's images are the small icon's size at the current DPI.
HIMAGELIST CreatePaneImageList();
void FillPaneImageList();
// The DPI changed: the images again at the new size, the panes told.
void ResizePaneImageList();

// MARK: the panes over their stores (tree_pane_win32.cpp, list_pane_win32.cpp)
TreeStore& Win32TreeStore();
ListStore& Win32ListStore();
// The control's handle of an item; none while the control does not have it.
HTREEITEM TreeItemHandleIfShown(TreeItem item);
// The item a handle of the control stands for; none for no item.
TreeItem TreeItemOfHandle(HTREEITEM handle);
// Attaches the panes to freshly created controls: empty stores.
void ResetPaneStores();
// Brings the list control up to the rows the store holds; runs before every
// operation that reads the control and after every message the logic saw.
void FlushListPane();
// On a worker, before it builds the tree's items: from here on this
// thread's tree operations fill a store of their own and touch no control.
void BeginTreeBuild();
// On that thread once the items are built: its tree operations are the
// control's again.
void LeaveTreeBuild();
// On the window's thread, once that worker has ended: the built items
// replace the tree's (keep), or are dropped.
void EndTreeBuild(bool keep);
// Notifications of the two controls; true when handled.
void HandleTreeNotification(NMHDR* header);
void HandleListNotification(NMHDR* header);
// A comparison's marks, painted on NM_CUSTOMDRAW: the colours of a mark
// into the draw record (PaintMark), for the tree's items and the list's rows.
LRESULT PaintMark(std::uint8_t mark, COLORREF* text, COLORREF* background);
LRESULT DrawTreeMarks(NMHDR* header);
LRESULT DrawListMarks(NMHDR* header);

// MARK: the window system's side of the portable sequences (front_end_win32.cpp)
// A step posted to the window's thread: lParam a heap std::function<void()>,
// run and freed by the handler.
constexpr UINT kPostedStepMessage = WM_APP + 2;
// Makes the portable sequences run over this window: threads, posted
// messages, timers, and the open's progress bar.
void AttachFrontEnd();
void OnPostedStep(LPARAM step);
void OnTimer(WPARAM timer);
// Runs the window's messages until no open runs.
void WaitForLoad();
// Keeps the progress bar at the status bar's right end.
void PlaceLoadProgress();
// The progress bar while it shows; none otherwise.
HWND LoadProgressBar();
// The navigation's side of an open: the tree is shown (navigation_win32.cpp).
void DocumentShownWin32();

// MARK: find, go to path, copy, history, context menus (navigation_win32.cpp)
class NavigationController;
class FindController;
// The controllers' window side, and the bars under the panes (hidden).
void AttachNavigation();
// The window goes: the game folder's search stops and its controller is
// no longer the active one.
void DetachNavigation();
// WM_INITMENU: the menus' entries that depend on a document grey out.
void UpdateNavigationMenus();
// 编辑, 查看 and 导航, appended to the menu bar where called.
void AppendNavigationMenus(HMENU bar);
// The 文件 menu's rows of the command table (the comparison), after 打开.
void AppendFileCommands(HMENU file);
// From the message loop, before a message is dispatched: the menus' keys
// and the mouse's side buttons.  True when the message was taken.
bool TranslateNavigationMessage(MSG* message);
// WM_COMMAND of the menus' commands and of the bars' controls.
bool HandleNavigationCommand(WPARAM wParam, LPARAM lParam);
// WM_CONTEXTMENU of the panes; lParam the screen point, or -1,-1 from the keyboard.
bool HandleContextMenu(HWND control, LPARAM position);
// The height the shown bars take under the panes, and their placing.
int BottomBarsHeight();
void PlaceBottomBars(int top, int width);
// The static that shows a path's error, drawn in red.
bool PathErrorControl(HWND control);
// The DPI changed: the bars' controls take the new font.
void BarsDpiChanged();
NavigationController& Win32Navigation();
FindController& Win32Find();
HWND FindBarEdit();
HWND FindBarStatus();
HWND PathBarEdit();
HWND PathBarError();
bool FindBarShown();
class GameFolderController;
GameFolderController& Win32GameFolder();
class CompareController;
CompareController& Win32Compare();

// MARK: the game folder's results under the panes (results_pane_win32.cpp)
// Creates the (hidden) pane: a heading, 取消 and 关闭, the lines.
void CreateResultsPane(HWND parent);
bool ResultsPaneShown();
void SetResultsPaneShown(bool shown);
// The controller's title, status and lines changed.
void UpdateResultsPane();
// The height the pane takes in a client area this high; 0 while hidden.
int ResultsPaneHeight(int clientHeight);
void PlaceResultsPane(int top, int width, int height);
HWND ResultsPaneHeading();
HWND ResultsPaneList();
// The DPI changed: the new font, the column measured again.
void ResultsPaneDpiChanged();

// MARK: shell (shell_win32.cpp)
// WM_SETCURSOR: the wait cursor over the window's client parts while the
// open steps run; false when the usual cursor is to show.
bool SetWaitCursor(LPARAM hitTest);

// MARK: test hooks
// In-process tests answer the modal parts of the program through these;
// with no hook set, the real dialog or message box shows.
struct Win32ModalHooks {
    std::function<bool(char16_t* path, int size)> openDialog;
    std::function<void(const char16_t* text, MessageIcon icon)> message;
};
Win32ModalHooks& ModalHooks();
