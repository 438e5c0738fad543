// The viewer's logic as the front ends call it: start-up, the commands and
// the three notifications of the panes.
#pragma once
#include "marshal/node.h"

// Window creation: no document, the list columns inserted.
void InitViewer();
// The Open command: dialog, release, load, title, tree.
void OpenCommand();
// The same after the dialog, for a path given on the command line or dropped
// on the window.
void OpenDocumentPath(const char16_t* path);
// Window destruction: the document and the file icon are released.
void ShutdownViewer();

// Notifications.  A tree selection change is reported only with an item.
void OnTreeSelectionChanged(const MarshalNode* node);
void OnListRowActivated(int row);          // -1 when no row is named
void OnListRowStateChanged(int row, bool selected);
