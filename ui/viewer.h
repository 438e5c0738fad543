// The viewer's own logic behind ui/handlers.h: the document's file, the
// tree pane, the list pane, the status bar and navigation.  Talks to the
// controls only through ui/panes.h.
#pragma once
#include <cstdio>

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

// The message and icon the Open command shows for a failed load.
const char16_t* LoadResultMessage(int result, MessageIcon* icon);
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

// MARK: tree pane (tree_pane.cpp)
void RebuildTreePane();
void InsertContainerItems(TreeItem parent, const MarshalNode* node);

// MARK: list pane (list_pane.cpp)
void InsertListColumns();
void FillListPane(const MarshalNode* node);

// MARK: selection, status bar and navigation (selection.cpp)
void ShowSelectionStatus(int row);
void ActivateListRow(int row);
