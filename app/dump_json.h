// quarnix-dump --json: a value of the document as one JSON value.
#pragma once
#include "app/dump_output.h"
#include "marshal/node.h"
#include "present/holder_index.h"

// Writes `node` and everything below it; links become the access paths of
// their targets, found through `holders`.
void WriteJson(Output& out, const MarshalNode* node, const HolderIndex& holders);

// A text as a JSON string (UTF-16 in, UTF-8 out).
void WriteJsonText(Output& out, const char16_t* text);
