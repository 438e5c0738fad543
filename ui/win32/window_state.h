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
HMENU BuildMenuBar();
// The main window, not yet shown; none when creation fails.
HWND CreateMainWindow(HINSTANCE instance);
// Hands a path to the window, to be opened once it runs its message loop.
void PostOpenPath(const wchar_t* path);

// MARK: About dialog (about_dialog.cpp)
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// MARK: layout and splitter (splitter.cpp)
void LayoutPanes(WPARAM sizeType, LPARAM clientSize);
void SplitterButtonDown();
void SplitterMouseMove(LPARAM position);
void SplitterButtonUp();
void SplitterReset();

// MARK: image list (pane_images.cpp)
HIMAGELIST CreatePaneImageList();
void FillPaneImageList();

// MARK: the panes over their stores (tree_pane_win32.cpp, list_pane_win32.cpp)
TreeStore& Win32TreeStore();
ListStore& Win32ListStore();
// Attaches the panes to freshly created controls: empty stores.
void ResetPaneStores();
// Brings the list control up to the rows the store holds; runs before every
// operation that reads the control and after every message the logic saw.
void FlushListPane();
// Notifications of the two controls; true when handled.
void HandleTreeNotification(NMHDR* header);
void HandleListNotification(NMHDR* header);

// MARK: test hooks
// In-process tests answer the modal parts of the program through these;
// with no hook set, the real dialog or message box shows.
struct Win32ModalHooks {
    std::function<bool(char16_t* path, int size)> openDialog;
    std::function<void(const char16_t* text, MessageIcon icon)> message;
};
Win32ModalHooks& ModalHooks();
