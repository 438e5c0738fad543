// Loading a file of Marshal 4.8 dumps: the results and the nesting bound
// (the loads themselves are in marshal/document.h and, for the viewer's
// document, present/viewer_document.h).
#pragma once
#include <cstddef>
#include <cstdio>

#include "marshal/node.h"

// LoadResult values, each with its smallest trigger (bytes of the file):
enum LoadResult : int {
    kLoadOk = 0,            // 04 08 30             one dump, nil
    kLoadCannotOpen = 1,    // (the Open command: the file did not open)
    kLoadNotMarshal = 2,    // (empty file), 04 09 30
    kLoadNoMemory = 3,      // any allocation that fails, the loader's stack,
                            // a pipe or device past kUnsizedReadLimit bytes
    kLoadBadData = 4,       // 04 08 5b fa          a negative count
                            // 04 08 22 0a 61       a string cut short
                            // 04 08 5b 7f 30       a count the file cannot hold
    kLoadBadObjectLink = 5, // 04 08 5b 06 40 06    link to object 1 of 1
    kLoadBadSymbolLink = 6, // 04 08 3b 00          symbol link with no symbol
    kLoadUnknownType = 7,   // 04 08 4d             'M', 'd' and unknown bytes
    kLoadTooDeep = 8,       // values nested more than kMaxNestingDepth levels
    kLoadCancelled = 9,     // the document's cancel flag was set during the load
};

// Values may nest this deep (each wrapper prefix counts as a level).  Deeper
// input yields kLoadTooDeep; so does less deep input on a machine that
// cannot reserve the loader's full stack (1 GB of address space), where the
// limit falls to what the stack it got can hold, at least 6,500 levels.  The readers recurse once per level on a thread
// of their own with a stack sized for this bound, and every walk outside the
// loader is iterative, so no front end's thread stack limits the depth.
constexpr int kMaxNestingDepth = 100000;
