#include "app/dump_game.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/console.h"
#include "game/folder_find.h"
#include "game/game_folder.h"
#include "game/names_read.h"
#include "game/usage_index.h"
#include "marshal/load.h"
#include "present/text.h"
#include "ui/viewer.h"

namespace fs = std::filesystem;

namespace {
struct NamedFile {
    fs::path path;
    std::u16string shown;  // as the lines print it: the PATH given, or folder/name
};


// The PATHs with each folder replaced by the files `list` gives for it.
std::vector<NamedFile> Expand(const DumpOptions& options, std::vector<fs::path> (*list)(const fs::path&)) {
    std::vector<NamedFile> files;
    for (const std::string& given : options.files) {
        if (!IsFolder(given)) {
            files.push_back({PathFromUtf8(given), U16(given)});
            continue;
        }
        for (fs::path& file : list(PathFromUtf8(given))) {
            std::string shown = given;
            if (shown.back() != '/' && shown.back() != '\\') shown += '/';
            shown += PathToUtf8(file.filename());
            files.push_back({std::move(file), U16(shown)});
        }
    }
    return files;
}


// A scratch document for the folder's files, released when it goes.
struct Scratch {
    Scratch() : doc(new MarshalDocument{}) {}
    ~Scratch() { DropDocument(*doc); }
    std::unique_ptr<MarshalDocument> doc;
};

std::unique_ptr<GameNames> NamesOfFolder(const fs::path& folder) {
    if (!FolderHasDatabase(folder)) return nullptr;
    auto names = std::make_unique<GameNames>();
    Scratch scratch;
    ReadGameNames(folder, *scratch.doc, *names);
    return names;
}
}  // namespace

void PrintFileError(const std::u16string& file, int result) {
    MessageIcon icon;
    std::u16string line = file + u": " + LoadResultMessage(result, &icon);
    PrintErrorLine(line.c_str());
}

std::u16string U16(const std::string& utf8) {
    char16_t* wide = Utf8ToWide(utf8.c_str());
    std::u16string text = wide ? wide : u"";
    std::free(wide);
    return text;
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(PathFromUtf8(path), ec);
}

bool FindsAcrossFiles(const DumpOptions& options) { return options.files.size() > 1 || IsFolder(options.file); }

int DumpFindAcrossFiles(Output& out, const DumpOptions& options) {
    const std::vector<NamedFile> files = Expand(options, ListDataFiles);
    std::vector<fs::path> paths;
    for (const NamedFile& f : files) paths.push_back(f.path);
    FindQuery query;
    query.text = U16(options.findText);
    query.matchCase = options.matchCase;
    Scratch scratch;
    int status = 0;
    RowTexts texts;
    std::u16string path;
    FindInFiles(paths, query, *scratch.doc, [&](std::size_t f, const FindHit& hit, const HolderIndex& holders) {
        path.clear();
        holders.AppendPath(path, hit.child);
        GetRowTexts(hit.container, hit.position, holders, texts);
        out.Field(files[f].shown);
        for (std::u16string_view field : {std::u16string_view(path), std::u16string_view(texts.name),
                                          std::u16string_view(texts.type), std::u16string_view(texts.value)}) {
            out.Raw('\t');
            out.Field(field);
        }
        out.Raw('\n');
        return true;
    }, [&](std::size_t f, int result) {
        PrintFileError(files[f].shown, result);
        if (!status) status = result;
    });
    return status;
}

int DumpUses(Output& out, const DumpOptions& options) {
    const std::vector<NamedFile> files = Expand(options, UsageFiles);
    for (const NamedFile& f : files) {
        std::error_code ec;
        if (!fs::is_regular_file(f.path, ec)) {
            PrintFileError(f.shown, kLoadCannotOpen);
            return kLoadCannotOpen;
        }
    }
    std::unique_ptr<GameNames> names;
    if (!options.noNames) {
        const fs::path first = PathFromUtf8(options.file);
        names = NamesOfFolder(IsFolder(options.file) ? first : first.parent_path().empty() ? fs::path(".") : first.parent_path());
    }
    std::vector<fs::path> paths;
    for (const NamedFile& f : files) paths.push_back(f.path);
    UsageIndex index;
    Scratch scratch;
    if (!BuildUsageIndex(paths, names.get(), *scratch.doc, index)) {
        MessageIcon icon;
        PrintErrorLine(LoadResultMessage(kLoadNoMemory, &icon));
        return kLoadNoMemory;
    }
    for (const UsePlace* place : index.Find(options.usesKind, options.usesId)) {
        out.Field(files[place->file].shown);
        out.Raw('\t');
        out.Field(index.Path(*place));
        out.Raw('\t');
        out.Field(place->access == UseAccess::kWrite ? u"write" : u"read");
        out.Raw('\t');
        out.Field(index.Reading(*place));
        out.Raw('\n');
    }
    return 0;
}

std::unique_ptr<GameNames> NamesBesideFile(const std::string& file) {
    fs::path folder = PathFromUtf8(file).parent_path();
    return NamesOfFolder(folder.empty() ? fs::path(".") : folder);
}
