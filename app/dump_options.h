// The command line of quarnix-dump.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lens/game_names.h"

constexpr int kUsageStatus = 64;

extern const char kDumpUsage[];

struct DumpOptions {
    std::string file;             // the first PATH
    std::vector<std::string> files;  // every PATH (several with --find and --uses)
    bool json = false;            // --json: the document as one JSON value
    bool find = false;            // --find TEXT: the rows that show TEXT
    std::string findText;
    bool matchCase = false;       // --match-case
    bool path = false;            // --path PATH: only at and below PATH
    std::string pathText;
    bool lens = false;            // --lens: readings after their rows
    bool noNames = false;         // --no-names: ids without the database's names
    bool uses = false;            // --uses KIND:ID: where the id is used
    RefKind usesKind = RefKind::kSwitch;
    std::int64_t usesId = 0;
    bool diff = false;            // --diff OLD NEW: the differences of two files or folders
    bool stat = false;            // --stat: with --diff, counts per file
    bool text = false;            // --text: with --diff, the player-visible texts that changed
    bool git = false;             // --git: with --diff, the seven arguments of git's external diff
    bool help = false;            // --help
};

// Reads argv into `options`.  False for wrong usage, with `error` saying
// what is wrong (the caller prints it with the usage text and exits 64).
bool ParseDumpOptions(int argc, char** argv, DumpOptions& options, std::string& error);
