// The text a link row shows as its value: the access path of its target
// ("data0[3].name"), or the empty text when the target is held directly by
// a 'C', 'I' or 'U' wrapper, as such values have no holding tree item to go
// to.  The list pane's cells (and through them the copy commands and
// quarnix-dump's rows) and the find all take it from here, so a search for
// a link's text finds exactly what the list shows.
#pragma once
#include <string>

#include "marshal/node.h"

class HolderIndex;

// Appends the link text of `target`.  Two routes give the same text:
// - with `holders` none, over the tree pane (FindHoldingItem, then the
//   walk up BuildAccessPath makes): the list pane, which fills on the UI
//   thread as soon as the tree shows, before any holder index exists;
// - with a HolderIndex built over the target's document: the find, which
//   runs on a worker thread and must not touch the panes.
// Throws std::bad_alloc when memory runs out, with `out` possibly grown.
void AppendLinkText(std::u16string& out, const MarshalNode* target, const HolderIndex* holders);
