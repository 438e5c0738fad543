// Which value the preview is about (the current row, or the selected
// container) and selecting the child a line of it stands for, over the pane
// operations.  What it shows of that value is ui/preview_view.h's.
#pragma once
#include <cstdint>
#include <string>

#include "marshal/node.h"

struct PreviewTarget {
    const MarshalNode* node = nullptr;  // none: nothing to show
    // In an event page: the position of the command whose row is selected,
    // marked among the page's lines; -1 when none.
    std::int64_t mark = -1;
    std::u16string path;  // the access path of `node`, empty for the file
};

// The value of the one selected row; with no row, several rows or the ".."
// row selected, the container selected in the tree.  A selected command of
// an event page shows the whole page with its line marked.
PreviewTarget CurrentPreviewTarget();

// Selects the row of the child at `position` of `container` (an event page
// the preview shows), going into the container in the tree pane first when
// the list shows another; the other rows lose their selection.  Returns the
// row, or -1 when the container has no tree item.
int SelectPreviewChild(const MarshalNode* container, std::int64_t position);
