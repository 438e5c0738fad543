// The texts the copy commands put on the clipboard, from the list pane's
// rows as stored (whole, not cut to what a column shows).
#pragma once
#include <string>
#include <vector>

#include "ui/item_store.h"

// One line per row: name, type and value separated by tabs.  Tabs, line
// breaks and backslashes inside a cell are written \t, \n, \r and \\ so
// that each row stays one line of three fields.  Lines end with "\n".
std::u16string RowsAsText(const ListStore& list, const std::vector<int>& rows);

// A cell as it is, for copying one name or one value.
std::u16string CellText(const ListStore& list, int row, int column);
