// The viewer's own logic behind ui/handlers.h: the document's file, the
// tree pane, the list pane, the status bar and navigation.  Talks to the
// controls only through ui/panes.h.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "marshal/node.h"
#include "ui/panes.h"

// MARK: the document's file (open_command.cpp)
#ifdef _WIN32
constexpr int kDocumentPathUnits = 260;
#else
constexpr int kDocumentPathUnits = 4096;  // PATH_MAX: paths here are longer than on Windows
#endif
constexpr int kDisplayNameUnits = 260;
constexpr int kTitleUnits = 520;

// The path chosen last, whether its load succeeded or not.
extern char16_t DocumentPath[kDocumentPathUnits];
// The display name and small icon of the file loaded last; the icon is ours.
struct FileInfoRecord {
    FileIcon icon;
    char16_t displayName[kDisplayNameUnits];
};
extern FileInfoRecord DocumentFileInfo;
// The window's title as the title step set it last ("Quarnix" before).
extern char16_t WindowTitle[kTitleUnits];

// The message and icon the Open command shows for a failed load.
const char16_t* LoadResultMessage(int result, MessageIcon* icon);
// The same message naming the file, for a comparison's two files:
// "Map001.rxdata：文件数据有误或不完整".
std::u16string NamedLoadMessage(const std::u16string& path, int result, MessageIcon* icon);
// The file's display name, as the title shows it.
std::u16string FileDisplayName(const std::u16string& path);
// Opens a file for reading, shared for reading only where the platform
// allows; none when it does not open (folders included).
std::FILE* OpenDocumentFile(const char16_t* path);
// The same for a path from the command line: the system's own bytes, on
// Windows UTF-8.
std::FILE* OpenDocumentFileBytes(const char* path);
// Everything after the file was opened (none: it did not open): release,
// load, then the title and the tree, or the message for the failure.  The
// path is what the title and root item are named after.  Returns the result.
int LoadOpenedFile(std::FILE* file, const char16_t* path);
// Releases the document after emptying every pane that points into it.
void ReleaseDocument();
// The Open dialog into DocumentPath; false when cancelled.
bool ChooseDocumentPath();
// The title step: fills DocumentFileInfo from the path, names the window.
void ShowDocumentTitle(const char16_t* path);

// MARK: the Open command in steps (open_steps.cpp)
// A front end that keeps its window responsive runs the steps marked
// "worker" on a thread of its own and the others on its window's thread,
// in this order; LoadOpenedFile runs them all in turn.  While they run the
// window's thread calls nothing else of the logic but CancelOpen and
// OpenProgress.
struct OpenJob {
    char16_t path[kDocumentPathUnits];
    bool pathFits;  // a longer path does not open
    int result;
    bool built;     // the tree's items were built to the end
    char16_t titleBefore[kTitleUnits];  // put back when the tree's building is cancelled
};
// Window: the job for a path; releases the current document, wait cursor on.
void OpenStepBegin(OpenJob* job, const char16_t* path);
// Worker: opens the file (none: result 1) and loads it.
void OpenStepLoad(OpenJob* job, std::FILE* file);
// Window: on success the title; otherwise releases what was built and shows
// the message (none for a cancelled load).  True when the tree is to be built.
bool OpenStepLoaded(OpenJob* job);
// Worker: builds the tree pane's items; stops early when cancelled.
void OpenStepBuildTree(OpenJob* job);
// Window: shows the built tree (file icon, root expanded and selected), or
// after a cancel leaves the panes empty with no document; wait cursor off.
void OpenStepShowTree(OpenJob* job);
// Window: asks the running steps to stop soon; the result becomes
// kLoadCancelled (or the tree is left unbuilt).
void CancelOpen();
// Bytes read so far and the file's size (0: it tells none).
void OpenProgress(std::uint64_t* read, std::uint64_t* total);

// MARK: tree pane (tree_pane.cpp)
void RebuildTreePane();
// The items of the tree pane below a fresh root item: the part of the
// rebuild that may run on a worker.  None when cancelled or refused.
TreeItem BuildTreeItems();
// Stops early when the document's load is cancelled.
void InsertContainerItems(TreeItem parent, const MarshalNode* node);
// Removes every item of the tree pane.  The tree changes only through this
// file's functions, which keep the node location's index in step with it.
void EmptyTreePane();

// MARK: list pane (list_pane.cpp)
void InsertListColumns();
void FillListPane(const MarshalNode* node);
// The text of one cell (name, type, value) of the row of child `index` of
// `container`; the panes make their child rows' cells with it when drawn.
std::u16string ChildRowCell(const MarshalNode* container, std::int64_t index, int column);

// MARK: selection, status bar and navigation (selection.cpp)
void ShowSelectionStatus(int row);
void ActivateListRow(int row);
