#include "app/dump_options.h"

#include <cstring>
#include <string_view>
#include <utility>

const char kDumpUsage[] =
    "usage: quarnix-dump [--lens [--no-names]] [--json] [--find TEXT [--match-case]] [--path PATH] FILE\n"
    "       quarnix-dump --find TEXT [--match-case] PATH...\n"
    "       quarnix-dump --uses KIND:ID [--no-names] PATH...\n"
    "       quarnix-dump --diff [--lens [--no-names] | --json | --stat | --text] OLD NEW\n"
    "       quarnix-dump --diff --git [--lens [--no-names]] PATH OLD OLD-HEX OLD-MODE NEW NEW-HEX NEW-MODE\n"
    "  (no option)   every tree item: a header [path], then its list rows\n"
    "  --lens        each row followed by its reading (scripts, tables, colours,\n"
    "                event commands) as lines starting with TAB, '|', blank\n"
    "  --json        the whole document as one JSON value\n"
    "  --find TEXT   the path, name, type and value of every row showing TEXT\n"
    "  --match-case  --find tells upper from lower case\n"
    "  --path PATH   only the item PATH names and what lies below it\n"
    "  --no-names    readings show ids alone, without the names of the game's\n"
    "                database beside the file\n"
    "  --uses KIND:ID  every event command and page condition of the maps,\n"
    "                common events and troops that uses the id: file, row path,\n"
    "                read or write, reading; KIND is switch, variable,\n"
    "                common_event, map, actor, item, weapon, armor, skill,\n"
    "                troop or animation\n"
    "  PATH...       with --find or --uses: files or folders (their .rxdata\n"
    "                files in file-name order); each line starts with its file\n"
    "  --diff OLD NEW  one line per difference: ~ changed, + added, - removed,\n"
    "                then the path, type, old and new value, TAB-separated;\n"
    "                two folders: their .rxdata files paired by name\n"
    "  --stat        with --diff: per differing file, the changed, added and\n"
    "                removed events, database rows and commands\n"
    "  --text        with --diff: only the texts the player reads that changed\n"
    "  --git         with --diff: take git's seven external-diff arguments\n"
    "  exit status of --diff: 0 the same values, 1 differences, 2 trouble\n";

namespace {
// "switch:48": a kind quarnix-dump takes and a decimal id.
bool ParseUses(std::string_view text, DumpOptions& options, std::string& error) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        error = "--uses needs KIND:ID, as switch:48";
        return false;
    }
    if (!RefKindFromOption(text.substr(0, colon), options.usesKind)) {
        error = "unknown kind " + std::string(text.substr(0, colon)) +
                " (switch, variable, common_event, map, actor, item, weapon, armor, skill, troop, animation)";
        return false;
    }
    std::string_view digits = text.substr(colon + 1);
    std::int64_t id = 0;
    bool negative = !digits.empty() && digits[0] == '-';
    if (negative) digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 10) {
        error = "the id of --uses is no number: " + std::string(text.substr(colon + 1));
        return false;
    }
    for (char c : digits) {
        if (c < '0' || c > '9') {
            error = "the id of --uses is no number: " + std::string(text.substr(colon + 1));
            return false;
        }
        id = id * 10 + (c - '0');
    }
    options.usesId = negative ? -id : id;
    if (options.usesId < INT32_MIN || options.usesId > INT32_MAX) {
        error = "the id of --uses is out of range: " + std::string(text.substr(colon + 1));
        return false;
    }
    return true;
}
}  // namespace

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
            if (options.files.empty()) options.file = arg;
            options.files.emplace_back(arg);
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
        } else if (name == "--uses") {
            if (options.uses) return fail("--uses given twice");
            options.uses = true;
            std::string text;
            if (!takeValue(text)) return false;
            if (!ParseUses(text, options, error)) return false;
            flag = false;
        } else if (name == "--no-names") {
            options.noNames = true;
        } else if (name == "--lens") {
            options.lens = true;
        } else if (name == "--json") {
            options.json = true;
        } else if (name == "--match-case") {
            options.matchCase = true;
        } else if (name == "--diff") {
            options.diff = true;
        } else if (name == "--stat") {
            options.stat = true;
        } else if (name == "--text") {
            options.text = true;
        } else if (name == "--git") {
            options.git = true;
        } else if (name == "--help") {
            options.help = true;
        } else {
            return fail("unknown option " + std::string(arg));
        }
        if (flag && inlineValue) return fail(std::string(name) + " takes no value");
    }
    if (options.help) return true;
    if ((options.stat || options.text || options.git) && !options.diff)
        return fail("--stat, --text and --git go with --diff");
    if (options.diff) {
        if (options.find || options.uses || options.path || options.matchCase)
            return fail("--diff goes with no other option but --lens, --no-names, --json, --stat, --text and --git");
        if (int(options.json) + int(options.stat) + int(options.text) + int(options.lens) > 1)
            return fail("--lens, --json, --stat and --text do not go together");
        if (options.git && (options.json || options.stat || options.text)) return fail("--git goes with --lens alone");
        if (options.noNames && !options.lens) return fail("--no-names goes with --lens or --uses");
        if (fileCount != (options.git ? 7 : 2))
            return fail(options.git ? "--diff --git needs git's seven arguments" : "--diff needs two files or two folders");
        return true;
    }
    if (options.json && options.find) return fail("--json and --find do not go together");
    if (options.lens && (options.json || options.find)) return fail("--lens goes with the plain dump or --path");
    if (options.matchCase && !options.find) return fail("--match-case goes with --find");
    if (options.uses && (options.json || options.find || options.lens || options.path))
        return fail("--uses goes with no other option but --no-names");
    if (options.noNames && !options.lens && !options.uses) return fail("--no-names goes with --lens or --uses");
    if (fileCount == 0) return fail("no file given");
    if (fileCount > 1 && !options.find && !options.uses) return fail("more than one file given");
    if (fileCount > 1 && options.path) return fail("--path goes with one file");
    return true;
}
