// What the navigation pane operations did to the in-memory panes.
#pragma once
#include <string>

// The row ListShowRow showed last; -1 before any.
int HeadlessShownRow();
// What ClipboardSetText put on the clipboard last.
const std::u16string& HeadlessClipboard();
