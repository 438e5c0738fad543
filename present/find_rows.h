// Finding rows of the list pane by the texts they show, over the document
// alone: the rows of every container in the tree pane's order (containers
// in pre-order, rows in list order: container children first, then the
// others, each in position order; no ".." rows), matched on the very name,
// type and value texts the list shows.  Touches no pane, so it runs on a
// worker thread over a loaded document.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "marshal/node.h"
#include "present/holder_index.h"

enum FindColumn : unsigned {
    kFindName = 1,
    kFindType = 2,
    kFindValue = 4,
    kFindAllColumns = 7,
};

struct FindQuery {
    std::u16string text;                  // the empty text matches nothing
    unsigned columns = kFindAllColumns;   // FindColumn bits
    bool matchCase = false;
};

// A matching row: the child node listed in the list of `container`.
struct FindHit {
    const MarshalNode* container;
    const MarshalNode* child;
    std::int64_t position;  // of child in container
};

// Folds the cases that matching ignores: ASCII and full-width Latin
// letters become lower case.  Everything else stays as it is.
char16_t FoldCase(char16_t c);

// Whether `text` contains the query's text, with the query's case rule.
// `needle` is the query text, already folded unless the case is matched.
bool TextMatches(std::u16string_view text, std::u16string_view needle, bool matchCase);

struct FindProgress {
    std::uint64_t rows = 0;   // rows looked at so far
    std::uint64_t hits = 0;
};

// Calls onHit for each matching row below `start` (a container of the
// document `holders` indexes, DocumentRoot for all of it), in order; onHit
// returns false to stop.  `cancel`, when given, is polled between rows and
// stops the search; onProgress, when given, is called now and then.
// Returns false when stopped by cancel or onHit, or when memory ran out.
bool FindRows(const MarshalNode* start, const HolderIndex& holders, const FindQuery& query,
              const std::function<bool(const FindHit&)>& onHit, const std::atomic<bool>* cancel = nullptr,
              const std::function<void(const FindProgress&)>& onProgress = {});

// The three texts of a row as the list pane shows them (the value of a link
// row is its target's path).
struct RowTexts {
    std::u16string name, type, value;
};
void GetRowTexts(const MarshalNode* container, std::int64_t position, const HolderIndex& holders, RowTexts& out,
                 unsigned columns = kFindAllColumns);
