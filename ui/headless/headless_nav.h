// What the navigation pane operations did to the in-memory panes.
#pragma once

// The row ListShowRow showed last; -1 before any.
int HeadlessShownRow();
