// Event commands as the editor lists them: an event page's `list` (or a
// common event's) is an array of objects with the instance variables
// `code`, `indent` and `parameters`; each becomes one readable line.
#pragma once
#include <cstdint>
#include <string>

#include "lens/game_names.h"
#include "marshal/node.h"

// True for an object with `code`, `indent` and `parameters` (through links).
bool IsEventCommand(const MarshalNode* node);
// True for a non-empty array whose every element is an event command.
bool IsEventCommandList(const MarshalNode* node);

// The name of a command by its code ("显示文章"), none for a code without one.
const char16_t* EventCommandName(std::int64_t code);

// The command's line: two spaces per indentation level, then a marker (◆
// a command, ： a branch or the continuation of the command above), the
// name and the parameters in words.  A code without a name shows its number
// and its parameters; parameters of unexpected types are shown as they are.
// With `names`, the ids it refers to carry their names ("[0048: 名字]").
std::u16string EventCommandLine(const MarshalNode* command, const GameNames* names = nullptr);

// The conditions of an event page or a troop page (RPG::Event::Page::
// Condition, RPG::Troop::Page::Condition) in words, "开关 [0048] 为 ON，...";
// "无条件" when none is set, empty for any other value.
std::u16string PageConditionText(const MarshalNode* condition, const GameNames* names = nullptr);

// A short text of any value, for parameters: nil, numbers, "strings",
// :symbols, [arrays], Color(...)/Tone(...), audio files, #<Class>.
void AppendShortValue(std::u16string& out, const MarshalNode* node, int depth = 0);
