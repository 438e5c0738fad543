// The results list of the game's folder, as every window shows it: what a
// line says, which entry of the context menu asks for the uses of what, and
// where choosing a line leads.  A front end shows the lines and the menu;
// to choose a line in another file it runs the Open command on the file
// and, once the tree is shown, selects the row here.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "game/usage_index.h"
#include "lens/game_names.h"
#include "marshal/node.h"
#include "present/find_rows.h"
#include "present/holder_index.h"

struct FolderResult {
    std::filesystem::path file;
    std::u16string path;  // the access path of the row to select
    std::u16string text;  // the line as the list shows it
    bool write = false;
};

// "查找 开关 [0048: 升级提示开关] 的用处".
std::u16string FindUsesMenuText(RefKind kind, std::int64_t id, const GameNames* names);

// What the context menu of an event command line asks for: the first id
// the command refers to of a kind the index answers; false for none.
bool CommandUseTarget(const MarshalNode* command, RefKind& kind, std::int64_t& id);

// What the context menu of a list row asks for: a row of System's
// `switches` or `variables`, or an entry of a database list (Actors,
// Items, ... by the file's name, case ignored); false for any other row.
bool RowUseTarget(const MarshalNode* container, std::int64_t position, std::string_view fileName, RefKind& kind,
                  std::int64_t& id);

// The lines of a usage search: "Map001.rxdata　事件 [0001: 村长] 第 1 页　[写入] ◆开关操作：…".
std::vector<FolderResult> UseResults(const UsageIndex& index, RefKind kind, std::int64_t id);

// The line of a hit of the search across files: "Map003.rxdata　data0.…　名称　类型　值".
FolderResult FindResult(const std::filesystem::path& file, const FindHit& hit, const HolderIndex& holders);

// Whether choosing the line opens its file first: it is not the open one.
bool ResultNeedsOpen(const FolderResult& result, const std::filesystem::path& openFile);

// Selects the result's row in the open document (its container made
// current, the row alone selected and shown).  False when the path names
// nothing in it (the file changed since it was indexed).
bool SelectResultRow(const FolderResult& result, const HolderIndex& holders);
