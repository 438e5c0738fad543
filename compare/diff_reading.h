// A difference read as the game's makers read it: where it sits ("事件 0003
// [村长] 第 1 页 第 5 行") and what changed in the editor's words (a
// command's line before and after, a script's changed lines, a table's
// changed cells, a colour's numbers).
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "compare/compare.h"
#include "lens/game_names.h"

// The event, common event or troop a difference lies in, with its page and
// the line of its command: "事件 0003 [村长] 第 1 页 第 5 行"; empty when it
// lies in none.  Read on the new side, or the old for a removal.
std::u16string DifferencePlace(const Difference& d);

// The innermost event command the difference lies in or is, on each side
// (none where the side has none).
struct CommandPair {
    const MarshalNode* before = nullptr;
    const MarshalNode* after = nullptr;
};
CommandPair DifferenceCommands(const Difference& d);

// At most this many changed cells of a table are listed; all are counted.
constexpr std::int64_t kTableCellsListed = 1000;

// Calls `line` for each line of the difference's reading: its place, then
// "- " before and "+ " after lines (a command's line, a script's lines with
// their numbers, a colour), or a table's changed cells.  Each side's ids
// are named by its own folder's names.
void ForEachDifferenceReading(const Difference& d, const GameNames* beforeNames, const GameNames* afterNames,
                              const std::function<void(std::u16string_view)>& line);
