// Pane operations that the navigation features need beyond the viewer's
// own set: the front ends that offer find, go to path and history
// implement these as well.
#pragma once

// Makes the row the focused one and scrolls the list so that it is seen.
// Its selected state is not changed.
void ListShowRow(int row);
