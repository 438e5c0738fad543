// The reading of one value: what the preview shows for the current row and
// what `quarnix-dump --lens` prints after it.  Scripts as Ruby source,
// tables as grids, colours and tones with their components, event pages as
// the editor lists them, and any other value whole.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lens/game_names.h"
#include "lens/table_reading.h"
#include "marshal/node.h"

enum class ReadingKind : std::uint8_t {
    kValue,      // a scalar: its whole text in `lines`
    kBytes,      // a user dump or undecodable bytes: a hex view in `lines`
    kContainer,  // class and count in `summary`, the first children in `lines`
    kScript,     // inflated Ruby source, one line each
    kTable,      // `table`; the lines of a layer come from AppendTableLayerLines
    kColor,      // `components`, the text in `summary`
    kTone,
    kEventList,  // one line per command, `lineChild` its position in the array
};

struct Reading {
    ReadingKind kind = ReadingKind::kValue;
    // True when the reading says more than the row itself shows (the dump
    // prints only those).
    bool telling = false;
    std::u16string summary;   // one line: what the value is
    std::u16string problem;   // one line: what is wrong with it, or empty
    std::vector<std::u16string> lines;
    std::vector<std::int64_t> lineChild;
    TableGrid table;          // kTable: points into the document's bytes
    double components[4] = {};
};

// The reading of a value (through links and encoding wrappers).  Never
// fails: memory running out gives a reading that says so.  With `names`,
// event commands and page conditions name the ids they refer to.
Reading ReadNode(const MarshalNode* node, const GameNames* names = nullptr);

// Whether ReadNode(node).telling would be true, found without making the
// reading: the dump asks it of every row.
bool ReadingTells(const MarshalNode* node);

// Everything of a reading as text lines: the summary (not of scripts, event
// pages and scalars), the problem (when any), then the body; a table as every layer in turn under a "z = k" line.
std::vector<std::u16string> ReadingTextLines(const Reading& reading);
