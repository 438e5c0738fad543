// The names a game's database gives to what event commands refer to by
// number: switches and variables (System.rxdata), maps (MapInfos.rxdata),
// and the entries of CommonEvents, Actors, Classes, ... .rxdata.  The
// readings take them as an optional source; game/ fills them from the
// files beside the opened one.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

enum class RefKind : std::uint8_t {
    kSwitch,
    kVariable,
    kCommonEvent,
    kMap,
    kActor,
    kClass,
    kSkill,
    kItem,
    kWeapon,
    kArmor,
    kEnemy,
    kTroop,
    kState,
    kAnimation,
    kTileset,
    kSelfSwitch,  // id: the letter ('A' is 65)
    kEvent,       // id: the event's number on its map
};
constexpr int kRefKindCount = 17;

struct GameNames {
    // UTF-8 names by id, per kind; an empty name is not kept.
    std::unordered_map<std::int64_t, std::string> names[kRefKindCount];
    // Map id -> the id of the map above it in the map tree (0: none).
    std::unordered_map<std::int64_t, std::int64_t> mapParents;

    bool Empty() const;
};

// The name of an id, or none when there is no source, no entry or the name
// is empty.
const std::string* FindName(const GameNames* names, RefKind kind, std::int64_t id);

// "[0048]", or "[0048: 升级提示开关]" when the source names the id.
void AppendIdText(std::u16string& out, std::int64_t id, const GameNames* names, RefKind kind);

// The word of a kind as the window says it ("开关", "公共事件", ...), and the
// word quarnix-dump takes for it ("switch", "common_event", ...; none for
// the kinds it does not take).
const char16_t* RefKindWord(RefKind kind);
const char* RefKindOption(RefKind kind);
// The kind quarnix-dump's word names; false for an unknown word.
bool RefKindFromOption(std::string_view word, RefKind& kind);

// The heading of a map's preview: "地图 [0086: 火山星]", then its place in
// the map tree when the map has parents: "位于 [0001: 世界] › [0085: 南方]".
// The second line is empty for a map at the top.
void AppendMapHeading(std::u16string& title, std::u16string& place, std::int64_t mapId, const GameNames* names);
