// What the game's makers count differences in: events (of a map, and
// common events and troops), database rows, and event commands; and the
// texts a player reads, for translators following a changing game.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "compare/compare.h"

enum DiffUnit { kUnitEvent, kUnitRow, kUnitCommand, kUnitCount };

struct DiffCounts {
    std::uint64_t differences = 0;
    std::uint64_t changed[kUnitCount] = {};
    std::uint64_t added[kUnitCount] = {};
    std::uint64_t removed[kUnitCount] = {};
};

// Counts the differences of one comparison, in the order they come: a unit
// with differences inside is changed once however many it holds.
class DiffCounter {
public:
    void Add(const Difference& d);
    const DiffCounts& Counts() const { return counts_; }

private:
    DiffCounts counts_;
    const MarshalNode* lastChanged_[kUnitCount] = {};
};

// A text the player reads that a difference adds, removes or changes: a
// message line, a choice, a name a command gives, a database name or
// description, one of the system's words.
struct TextChange {
    DiffOp op;
    std::u16string_view path;
    std::u16string place;   // "事件 0003 [村长] 第 1 页 第 5 行", "[0005: 药水]", "系统用语"
    std::u16string before;  // empty for an addition
    std::u16string after;   // empty for a removal
};

// Finds the visible texts among the differences of one comparison; a
// command changed in several places is one change of its text.
class VisibleTexts {
public:
    void Add(const Difference& d, const std::function<void(const TextChange&)>& sink);

private:
    const MarshalNode* lastCommand_ = nullptr;
};
