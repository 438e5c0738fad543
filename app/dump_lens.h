// quarnix-dump --lens: the readings of the lens printed after the rows they
// belong to, as continuation lines.
#pragma once
#include <functional>
#include <string_view>

#include "lens/game_names.h"
#include "marshal/node.h"

// Every continuation line starts with this.  No row can: a row starts with
// its name, in which a TAB is escaped, and a row with an empty name starts
// with a TAB and then its type name, never with '|'.
inline constexpr char kLensLinePrefix[] = "\t| ";

// Calls `line` for each line of the reading of the row's value, when the
// reading says more than the row: a script's source lines, a table's
// layers, a colour or tone, an event page's commands, a string's lines, a
// bignum in decimal, the bytes of another user dump.  Links and wrappers
// get none: their values have rows of their own.  With `names`, ids carry
// the names of the game's database.
void ForEachLensLine(const MarshalNode* row, const std::function<void(std::u16string_view)>& line,
                     const GameNames* names = nullptr);
