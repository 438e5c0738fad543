// The find of one document run over several files: each loaded into the
// scratch document in turn, searched, and dropped.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "marshal/document.h"
#include "present/find_rows.h"
#include "present/holder_index.h"

struct FolderFindProgress {
    std::size_t filesDone = 0;
    std::size_t fileCount = 0;
    std::uint64_t hits = 0;
};

// Calls onHit for each matching row of each file, files in the given order
// (ListDataFiles gives file-name order), with the file's position and the
// index of its document (valid during the call only: take the texts).  A
// file that does not load adds nothing; onFileFailed, when given, hears of
// it with the load result.  The scratch document's `cancel` flag, or onHit
// returning false, stops the search (false returned).
bool FindInFiles(const std::vector<std::filesystem::path>& files, const FindQuery& query, MarshalDocument& scratch,
                 const std::function<bool(std::size_t file, const FindHit&, const HolderIndex&)>& onHit,
                 const std::function<void(std::size_t file, int result)>& onFileFailed = {},
                 const std::function<void(const FolderFindProgress&)>& onProgress = {});
