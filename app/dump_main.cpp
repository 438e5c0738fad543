// quarnix-dump FILE: the document as text, for reading rxdata in a terminal,
// for readable diffs of game data, and for checking the viewer by machine.
// It runs the viewer's own load, tree building, list filling and paths over
// the in-memory panes, and prints per tree item (in the tree's order) a
// header "[path]" and one line per list row: name, type, value and the
// row's own path, separated by TABs.  --find, --path and --json print
// parts of it or the document as JSON.  Exit status: 0, or the load result
// (1 when the file does not open), or 64 for wrong usage or a path that
// names nothing.
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/console.h"
#include "app/dump_diff.h"
#include "app/dump_game.h"
#include "app/dump_json.h"
#include "app/dump_options.h"
#include "app/dump_output.h"
#include "app/dump_lens.h"
#include "marshal/load.h"
#include "present/access_path.h"
#include "present/find_rows.h"
#include "present/holder_index.h"
#include "present/node_location.h"
#include "present/path_parse.h"
#include "present/text.h"
#include "present/viewer_document.h"
#include "quarnix_version.h"
#include "ui/handlers.h"
#include "ui/headless/headless.h"
#include "ui/navigate.h"
#include "ui/viewer.h"

namespace {
// Path of each item on the branch being printed: the items come in
// pre-order, so a stack of path lengths over one buffer is enough.
struct Branch {
    TreeStore::Id item;
    std::size_t length;
};

// Every item's block, or with `first` only the blocks of that item and the
// items below it; with `onlyRow` as well, only that row of `first`'s list.
// With `lens`, each row's reading follows it as continuation lines.
void DumpDocument(Output& out, bool lens, const GameNames* names, TreeStore::Id first = 0,
                  const MarshalNode* onlyRow = nullptr) {
    const TreeStore& tree = HeadlessTree();
    const ListStore& list = HeadlessList();
    std::u16string path;
    std::vector<Branch> branch;
    std::u16string label;
    std::string pathBytes;
    std::size_t subtreeDepth = 0;  // branch size at `first`, once reached
    for (TreeStore::Id id = 1; id <= tree.Size(); ++id) {
        const TreeStore::Item& item = tree.At(id);
        while (!branch.empty() && branch.back().item != item.parent) branch.pop_back();
        if (subtreeDepth && branch.size() < subtreeDepth) break;  // past the subtree
        path.resize(branch.empty() ? 0 : branch.back().length);
        if (item.parent) {
            const MarshalNode* container = tree.At(item.parent).node;
            AppendPathLabel(path, container, ChildIndexOf(container, item.node));
        }
        branch.push_back({id, path.size()});
        if (first) {
            if (id == first) subtreeDepth = branch.size();
            if (!subtreeDepth) continue;
        }

        out.Raw('[');
        bool pathKept = out.FieldKept(path, pathBytes);
        out.Raw(']');
        out.Raw('\n');
        FillListPane(item.node);
        for (int r = 0; r < list.Size(); ++r) {
            const MarshalNode* child = list.At(r).node;
            if (!child || (onlyRow && child != onlyRow)) continue;  // the ".." row
            label.clear();
            AppendPathLabel(label, item.node, ChildIndexOf(item.node, child));
            for (int column = 0; column < ListStore::kColumns; ++column) {
                out.Field(list.Cell(r, column));
                out.Raw('\t');
            }
            if (pathKept) out.Bytes(pathBytes);
            else out.Field(path);
            out.Field(label);
            out.Raw('\n');
            if (lens) ForEachLensLine(child, [&](std::u16string_view line) {
                out.Bytes(kLensLinePrefix);
                out.Field(line);
                out.Raw('\n');
            }, names);
        }
        if (onlyRow) return;
    }
}

// --find: one line per matching row, its path, name, type and value.
void PrintHits(Output& out, const PathTarget& target, const HolderIndex& holders, const DumpOptions& options) {
    FindQuery query;
    char16_t* text = Utf8ToWide(options.findText.c_str());
    query.text = text ? text : u"";
    std::free(text);
    query.matchCase = options.matchCase;
    const bool row = !IsContainerType(target.node->type);
    RowTexts texts;
    std::u16string path;
    FindRows(row ? target.holder : target.node, holders, query, [&](const FindHit& hit) {
        if (row && hit.child != target.node) return true;
        path.clear();
        holders.AppendPath(path, hit.child);
        GetRowTexts(hit.container, hit.position, holders, texts);
        for (std::u16string_view field : {std::u16string_view(path), std::u16string_view(texts.name),
                                          std::u16string_view(texts.type), std::u16string_view(texts.value)}) {
            if (field.data() != path.data()) out.Raw('\t');
            out.Field(field);
        }
        out.Raw('\n');
        return !row;
    });
}

// --json, --find and --path: over the document, from the item PATH names.
int DumpWithOptions(Output& out, const DumpOptions& options, const GameNames* names) {
    HolderIndex holders;
    if (!holders.Build(&DocumentRoot)) {
        MessageIcon icon;
        PrintErrorLine(LoadResultMessage(kLoadNoMemory, &icon));
        return kLoadNoMemory;
    }
    PathTarget target;
    target.node = &DocumentRoot;
    if (options.path) {
        char16_t* wide = Utf8ToWide(options.pathText.c_str());
        bool found = ResolveAccessPath(wide ? wide : u"", &DocumentRoot, target);
        std::free(wide);
        if (!found) {
            PrintErrorLine(target.error.c_str());
            return kUsageStatus;
        }
    }
    if (options.json) {
        WriteJson(out, target.node, holders);
        out.Raw('\n');
    } else if (options.find) {
        PrintHits(out, target, holders, options);
    } else if (IsContainerType(target.node->type)) {
        DumpDocument(out, options.lens, names, HeadlessItemId(ItemShowing(holders, target.node)));
    } else {
        DumpDocument(out, options.lens, names, HeadlessItemId(ItemShowing(holders, target.holder)), target.node);
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    PrepareConsole(argc, argv);
    DumpOptions options;
    std::string error;
    if (!ParseDumpOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "quarnix-dump: %s\n%s", error.c_str(), kDumpUsage);
        return kUsageStatus;
    }
    if (options.help) {
        std::fputs(kDumpUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::fputs("quarnix-dump " QUARNIX_VERSION "\n", stdout);
        return 0;
    }
    if (options.diff) return DumpDiff(options);
    if (options.uses || (options.find && FindsAcrossFiles(options))) {
        // Over several files, each read into a document of its own.
        int status;
        {
            Output out;
            status = options.uses ? DumpUses(out, options) : DumpFindAcrossFiles(out, options);
        }
        std::fflush(stdout);
        return status;
    }
    InitViewer();
    // The file is opened by its own bytes, so names that are not UTF-8 open too.
    std::FILE* file = OpenDocumentFileBytes(options.file.c_str());
    int result;
    if (options.json || options.find) {
        // These read the document alone: the tree of every container, which
        // the viewer's load builds, would only cost time.
        result = file ? LoadDocument(file) : kLoadCannotOpen;
        if (result != kLoadOk) {
            MessageIcon icon;
            PrintErrorLine(LoadResultMessage(result, &icon));
            ShutdownViewer();
            return result;
        }
    } else {
        char16_t* name = Utf8ToWide(options.file.c_str());
        result = LoadOpenedFile(file, name ? name : u"");
        std::free(name);
        if (result != kLoadOk) {
            const auto& messages = HeadlessMessages();
            PrintErrorLine(messages.empty() ? u"" : messages.back().text.c_str());
            ShutdownViewer();
            return result;
        }
    }
    int status = 0;
    {
        // The readings name ids by the database beside the file, read once
        // the file itself has loaded.
        std::unique_ptr<GameNames> names;
        if (options.lens && !options.noNames) names = NamesBesideFile(options.file);
        Output out;
        if (options.json || options.find || options.path) status = DumpWithOptions(out, options, names.get());
        else DumpDocument(out, options.lens, names.get());
    }
    std::fflush(stdout);
    ShutdownViewer();
    return status;
}
