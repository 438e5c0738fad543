// Reading an access path back: the exact inverse of the path texts the
// viewer shows ("data0.events.values[5].pages[1].list[0]"), resolved
// against the document one level at a time, as the meaning of each step
// depends on the container it is taken from.
#pragma once
#include <string>
#include <string_view>

#include "marshal/node.h"

struct PathTarget {
    const MarshalNode* node = nullptr;    // what the path names; `root` for the empty path
    const MarshalNode* holder = nullptr;  // the container whose list shows node's row; none for root
    std::u16string error;                 // why nothing was found, as the user reads it
};

// Resolves `text` against the document under `root` (DocumentRoot).  The
// status bar's prefix "路径: " and surrounding blanks are allowed.  Steps:
// "data%d" at the top, "[%d]" in arrays, ".keys[%d]" ".values[%d]" (and
// ".default") in hashes, ".marshal_dump" in 'U' wrappers, "." and the entry
// name in objects, structs and wrappers, where an instance variable may
// also be written with its '@'; a wrapper's own entry "." adds nothing, so
// a wrapper and what it wraps share a path and the path names the wrapper.
// False when nothing is found; `error` then says which step is missing:
// "data0.events.values[5] 没有 pages[7]".
bool ResolveAccessPath(std::u16string_view text, const MarshalNode* root, PathTarget& out);
