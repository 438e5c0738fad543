// The one document the viewer shows, and its loads.  Every document record
// (marshal/document.h) owns its state and two never share any; this is the
// record whose nodes the panes, the paths and quarnix-dump point into.
#pragma once
#include <cstddef>
#include <cstdio>

#include "marshal/document.h"
#include "marshal/load.h"

extern MarshalDocument ViewerDocument;
// Its root: an array node holding one value per dump.
extern MarshalNode& DocumentRoot;

// Loads every dump of the open file into DocumentRoot (which the caller has
// released) and closes the file.  After a failure the caller releases
// DocumentRoot again; it holds everything that was built.  Result 2 only
// when the file does not begin with a dump; memory that runs out before
// the first value is result 3 like anywhere else.
int LoadDocument(std::FILE* file);
// The same over bytes in memory (tests, fuzzing).
int LoadDocumentFromMemory(const void* data, std::size_t size);

// Deepest nesting of the document loaded last (0 when none).
int LoadedNestingDepth();
