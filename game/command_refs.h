// What an event command, a page condition or a common event's trigger
// refers to by number, and whether it reads or writes it.
#pragma once
#include <cstdint>
#include <vector>

#include "lens/game_names.h"
#include "marshal/node.h"

enum class UseAccess : std::uint8_t { kRead, kWrite };

struct Ref {
    RefKind kind;
    UseAccess access;
    std::int64_t low, high;  // a range of ids (one id: low == high)
};

// The references of one command (RPG::EventCommand).  Parameters of
// another type than expected give none.
void CommandRefs(const MarshalNode* command, std::vector<Ref>& out);

// The references of an event page's or a troop page's condition (only the
// parts it has switched on).
void PageConditionRefs(const MarshalNode* condition, std::vector<Ref>& out);
