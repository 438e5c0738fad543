// The files of a game's Data folder: finding them without regard to case
// (as on Windows, where the game runs), listing them in file-name order,
// and loading one into a document of its own within bounds.
#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "marshal/document.h"

// A path from UTF-8 text (the programs hand their arguments over in UTF-8),
// and back.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string PathToUtf8(const std::filesystem::path& path);
// The file opened for reading its bytes; none when it does not open.
std::FILE* OpenPathBytes(const std::filesystem::path& file);

// The file of the folder whose name equals `name` without regard to ASCII
// case; false when there is none.
bool FindSibling(const std::filesystem::path& folder, std::string_view name, std::filesystem::path& found);

// The regular files of the folder whose names end in ".rxdata" (any case),
// sorted by the bytes of their names.  Empty when the folder does not list.
std::vector<std::filesystem::path> ListDataFiles(const std::filesystem::path& folder);

// Files whose names match `prefix` + digits + ".rxdata" (any case): Map001.rxdata.
bool IsNumberedFile(const std::filesystem::path& file, std::string_view prefix, std::int64_t* number = nullptr);

struct LoadBounds {
    std::uint64_t maxFileBytes;  // larger files are not read at all
    std::size_t maxMemory;       // pages the document may map while loading
};

// Names come from small files; a database past these is hostile.
constexpr LoadBounds kNameFileBounds{64u << 20, std::size_t{512} << 20};
// Maps and the other files a search or the index reads.
constexpr LoadBounds kIndexFileBounds{512u << 20, std::size_t{4} << 30};

// Loads the file into `doc` (released) within the bounds.  The document's
// `cancel` flag is the caller's cancel: it is neither cleared nor set here.
// On failure the document is released again; the result is a LoadResult
// (kLoadNoMemory past a bound, kLoadCannotOpen when the file does not open).
int LoadBounded(MarshalDocument& doc, const std::filesystem::path& file, const LoadBounds& bounds);

// Releases what the document holds.
void DropDocument(MarshalDocument& doc);
