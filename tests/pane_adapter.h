// What the pane contract suites need of a front end beyond ui/panes.h:
// a fresh window, answers for its modal dialogs, and reading back what the
// panes show.  Each front end's test program links one implementation
// (pane_adapter_headless.cpp, qt/pane_adapter_qt.cpp,
// win32/pane_adapter_win32.cpp), so the same suites run over every
// implementation of the pane layer.
#pragma once
#include <string>
#include <vector>

#include "ui/panes.h"

struct SeenMessage {
    std::u16string text;
    MessageIcon icon;
};

// A freshly created window: no document, empty panes, the list's columns.
void PanesStart();
// The window goes away: the document and the file icon are released.
void PanesStop();

// The next Open dialog returns this path; with none queued it is cancelled.
void PanesQueueOpenAnswer(const std::u16string& path);
// Takes the window's events until no open runs: the open sequence the
// program ships, its worker and posted steps included.
void PanesWaitForOpen();
// Lets the window's queued work run a while: history steps, search
// batches, posted steps.
void PanesRunEvents();
// The window's navigation and find, and the clipboard's text.
class NavigationController;
class FindController;
NavigationController& PanesNavigation();
FindController& PanesFind();
std::u16string PanesClipboard();
// The game folder's controller, and its results list as the window shows
// it: whether it is on screen, its heading (title and status), its lines.
class GameFolderController;
GameFolderController& PanesGameFolder();
bool PanesResultsShown();
std::u16string PanesResultsHeading();
std::vector<std::u16string> PanesResultLines();
// A user's double-click on a line of the list.
void PanesChooseResult(int line);
// The find bar's text set, then 在文件夹中查找 (Ctrl+Shift+F).
void PanesFindInFolder(const std::u16string& text);
// The message boxes shown since the start.
const std::vector<SeenMessage>& PanesMessages();

std::u16string PanesTitle();
std::u16string PanesStatus();
std::u16string PanesItemText(TreeItem item);
bool PanesItemExpanded(TreeItem item);
std::size_t PanesItemCount();
int PanesRowCount();
std::u16string PanesCell(int row, int column);
int PanesRowImage(int row);
int PanesRowOverlay(int row);
// A comparison's mark (PaneMark) as the pane paints it: by its colour.
int PanesItemMark(TreeItem item);
int PanesRowMark(int row);
// A user's click on a row: every other row loses its selection, then the
// row is selected; with `additive` (control-click) only the row toggles.
void PanesClickRow(int row, bool additive = false);
// The row that holds the list's focus mark (where the keyboard goes on
// from); -1 for none, -2 when more than one row holds it.
int PanesFocusedRow();
// Whether image 0 of the image list shows this file icon.
bool PanesFileImageIs(FileIcon icon);
// File icons that exist and were not destroyed; -1 where the front end
// cannot count them.
int PanesLiveIcons();
