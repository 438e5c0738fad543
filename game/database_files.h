// The database files of a game's Data folder and what their entries are:
// one table for the names read from them, the rows whose uses can be
// looked up, and the owners of the places the usage index lists.
#pragma once
#include <string_view>

#include "lens/game_names.h"

// A file whose value is an array [nil, entry 1, entry 2, ...], each entry
// an object with @name.  System.rxdata and MapInfos.rxdata have shapes of
// their own and are not in it.
struct DatabaseFile {
    const char* name;
    RefKind kind;
};

inline constexpr DatabaseFile kDatabaseFiles[] = {
    {"CommonEvents.rxdata", RefKind::kCommonEvent}, {"Actors.rxdata", RefKind::kActor},
    {"Classes.rxdata", RefKind::kClass},            {"Skills.rxdata", RefKind::kSkill},
    {"Items.rxdata", RefKind::kItem},               {"Weapons.rxdata", RefKind::kWeapon},
    {"Armors.rxdata", RefKind::kArmor},             {"Enemies.rxdata", RefKind::kEnemy},
    {"Troops.rxdata", RefKind::kTroop},             {"States.rxdata", RefKind::kState},
    {"Animations.rxdata", RefKind::kAnimation},     {"Tilesets.rxdata", RefKind::kTileset},
};

// File names as Windows compares them, where the game runs: ASCII letters
// in either case.
bool SameFileName(std::string_view a, std::string_view b);

// The database file of this name (any case); none for another name.
const DatabaseFile* DatabaseFileNamed(std::string_view fileName);
