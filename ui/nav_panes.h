// Pane operations that the navigation features need beyond the viewer's
// own set: the front ends that offer find, go to path and history
// implement these as well.
#pragma once
#include <string>

#include "ui/item_store.h"

// Makes the row the focused one and scrolls the list so that it is seen.
// Its selected state is not changed.
void ListShowRow(int row);
// The list pane's rows as stored: the copy commands take whole texts from
// here, not what a column has room for.
const ListStore& ListPaneStore();
// Puts the text on the clipboard as Unicode text.
void ClipboardSetText(const std::u16string& text);
