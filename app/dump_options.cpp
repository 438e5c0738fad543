#include "app/dump_options.h"

#include <cstring>
#include <string_view>
#include <utility>

const char kDumpUsage[] =
    "usage: quarnix-dump [--lens] [--json] [--find TEXT [--match-case]] [--path PATH] FILE\n"
    "  (no option)   every tree item: a header [path], then its list rows\n"
    "  --lens        each row followed by its reading (scripts, tables, colours,\n"
    "                event commands) as lines starting with TAB, '|', blank\n"
    "  --json        the whole document as one JSON value\n"
    "  --find TEXT   the path, name, type and value of every row showing TEXT\n"
    "  --match-case  --find tells upper from lower case\n"
    "  --path PATH   only the item PATH names and what lies below it\n";

bool ParseDumpOptions(int argc, char** argv, DumpOptions& options, std::string& error) {
    options = DumpOptions{};
    auto fail = [&](std::string message) {
        error = std::move(message);
        return false;
    };
    bool files = false;
    int fileCount = 0;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (!files && arg == "--") {
            files = true;
            continue;
        }
        if (files || arg.size() < 2 || arg.substr(0, 2) != "--") {
            options.file = arg;
            ++fileCount;
            continue;
        }
        // "--name VALUE" or "--name=VALUE" for the options that take a value.
        std::string_view name = arg, value;
        bool inlineValue = false;
        if (auto eq = arg.find('='); eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }
        auto takeValue = [&](std::string& into) {
            if (!inlineValue) {
                if (i + 1 >= argc) return fail(std::string(name) + " needs a value");
                value = argv[++i];
            }
            into = value;
            return true;
        };
        bool flag = true;
        if (name == "--find") {
            if (options.find) return fail("--find given twice");
            options.find = true;
            if (!takeValue(options.findText)) return false;
            flag = false;
        } else if (name == "--path") {
            if (options.path) return fail("--path given twice");
            options.path = true;
            if (!takeValue(options.pathText)) return false;
            flag = false;
        } else if (name == "--lens") {
            options.lens = true;
        } else if (name == "--json") {
            options.json = true;
        } else if (name == "--match-case") {
            options.matchCase = true;
        } else if (name == "--help") {
            options.help = true;
        } else {
            return fail("unknown option " + std::string(arg));
        }
        if (flag && inlineValue) return fail(std::string(name) + " takes no value");
    }
    if (options.help) return true;
    if (options.json && options.find) return fail("--json and --find do not go together");
    if (options.lens && (options.json || options.find)) return fail("--lens goes with the plain dump or --path");
    if (options.matchCase && !options.find) return fail("--match-case goes with --find");
    if (fileCount != 1) return fail(fileCount == 0 ? "no file given" : "more than one file given");
    return true;
}
