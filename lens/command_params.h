// Which parameter of which event command is which kind of id, read or
// written: one table, from which the command lines take the kinds whose
// names they show and the usage index the places a command uses.
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

// How a parameter holds its id.
enum class ParamShape : std::uint8_t {
    kId,         // any integer
    kEntry,      // a database entry; 0 means none or "all"
    kRange,      // the ids from this parameter to the next
    kCharacter,  // -1 the player, 0 this event, n event n
    kOperand,    // [type, value]: type 1 reads the variable in the next parameter
    kLetter,     // a self switch's letter
};

// A row counts when parameter `at` is (`equal`) or is not `value`; always
// when `at` is negative.  A parameter that is no integer meets neither.
struct ParamGuard {
    std::int8_t at = -1;
    std::int8_t value = 0;
    bool equal = true;
};

struct CommandParam {
    std::int16_t code;
    std::int8_t at;
    ParamShape shape;
    RefKind kind;
    UseAccess access;
    ParamGuard when{}, also{};
};

// The ids a command (its code and its `parameters`) refers to.  Parameters
// of another type than expected give none.
void CommandParamRefs(std::int64_t code, const MarshalNode* params, std::vector<Ref>& out);

// The kind of id parameter `at` holds, when the table gives it one and its
// value makes it an id; a command line names only these.
bool ParamIdKind(std::int64_t code, const MarshalNode* params, std::int64_t at, RefKind& kind);
