// What an event command, a page condition or a common event's trigger
// refers to by number, and whether it reads or writes it.  The commands'
// parameters are lens/command_params.h's table, shared with their readings.
#pragma once
#include <vector>

#include "lens/command_params.h"

// The references of one command (RPG::EventCommand).  Parameters of
// another type than expected give none.
void CommandRefs(const MarshalNode* command, std::vector<Ref>& out);

// The references of an event page's or a troop page's condition (only the
// parts it has switched on).
void PageConditionRefs(const MarshalNode* condition, std::vector<Ref>& out);
