// Reading the names of a game's database from the files beside the opened
// one: each file into the scratch document, its names taken, the document
// dropped.  A file that is missing, broken, of another shape or too big
// only leaves its names out.
#pragma once
#include <cstdint>
#include <filesystem>

#include "lens/game_names.h"
#include "marshal/document.h"

// Longer names are cut (at a character boundary): they are shown inline.
constexpr std::size_t kMaxNameBytes = 256;
// Bytes of database files read for names in all, beyond which the rest are
// left out.
constexpr std::uint64_t kNameFilesTotalBytes = 128u << 20;

// Whether the folder holds any of the database files.
bool FolderHasDatabase(const std::filesystem::path& folder);

// Fills `names` from the folder's System, MapInfos, CommonEvents, Actors,
// Classes, Skills, Items, Weapons, Armors, Enemies, Troops, States,
// Animations and Tilesets files.  `scratch` is released; its `cancel` flag
// stops the reading (false returned, `names` then partial).
bool ReadGameNames(const std::filesystem::path& folder, MarshalDocument& scratch, GameNames& names);
