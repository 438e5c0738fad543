// The command line of quarnix-dump.
#pragma once
#include <string>

constexpr int kUsageStatus = 64;

extern const char kDumpUsage[];

struct DumpOptions {
    std::string file;
    bool json = false;            // --json: the document as one JSON value
    bool find = false;            // --find TEXT: the rows that show TEXT
    std::string findText;
    bool matchCase = false;       // --match-case
    bool path = false;            // --path PATH: only at and below PATH
    std::string pathText;
    bool lens = false;            // --lens: readings after their rows
    bool help = false;            // --help
};

// Reads argv into `options`.  False for wrong usage, with `error` saying
// what is wrong (the caller prints it with the usage text and exits 64).
bool ParseDumpOptions(int argc, char** argv, DumpOptions& options, std::string& error);
