// quarnix-dump --diff: two files, or two Data folders, compared value by
// value (compare/), one line per difference; --lens, --json, --stat and
// --text read the same differences otherwise; --git takes the arguments
// git gives an external diff.
#pragma once
#include "app/dump_options.h"

// Exit status as diff(1) has it: 0 the same values, 1 differences, 2
// trouble (a file that does not load, with its message on stderr), 64 for
// a folder compared with a file.
int DumpDiff(const DumpOptions& options);
