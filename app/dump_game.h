// quarnix-dump over a game's folder: --uses, --find over several files,
// and the database's names for --lens.
#pragma once
#include <memory>
#include <string>

#include "app/dump_options.h"
#include "app/dump_output.h"
#include "lens/game_names.h"

// The UTF-16 of a UTF-8 argument.
std::u16string U16(const std::string& utf8);
bool IsFolder(const std::string& path);
// "FILE: message" on stderr for a load result.
void PrintFileError(const std::u16string& file, int result);

// Whether --find is to run over several files: more than one PATH, or a
// folder.
bool FindsAcrossFiles(const DumpOptions& options);

// --find TEXT PATH...: each hit's line as with one file, after its file and
// a TAB.  Returns the exit status.
int DumpFindAcrossFiles(Output& out, const DumpOptions& options);

// --uses KIND:ID PATH...: one line per place: file, row path, read or
// write, the reading.  Returns the exit status.
int DumpUses(Output& out, const DumpOptions& options);

// The names of the database in the folder of `file`, or none when the
// folder holds no database file.
std::unique_ptr<GameNames> NamesBesideFile(const std::string& file);
