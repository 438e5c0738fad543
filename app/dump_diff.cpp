#include "app/dump_diff.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/console.h"
#include "app/dump_game.h"
#include "app/dump_json.h"
#include "app/dump_lens.h"
#include "app/dump_output.h"
#include "compare/compare.h"
#include "compare/diff_reading.h"
#include "compare/diff_units.h"
#include "compare/folder_pairs.h"
#include "compare/list_match.h"
#include "compare/value_hash.h"
#include "game/game_folder.h"
#include "lens/number_text.h"
#include "marshal/load.h"
#include "present/find_rows.h"
#include "ui/handlers.h"
#include "ui/viewer.h"

namespace fs = std::filesystem;

namespace {
constexpr int kSame = 0, kDiffers = 1, kTrouble = 2;

// A document of its own for one side, released when it goes.
struct Side {
    Side() : doc(new MarshalDocument{}) {}
    ~Side() { DropDocument(*doc); }
    std::unique_ptr<MarshalDocument> doc;
    std::unique_ptr<GameNames> names;
};

// Loads the file; git's "/dev/null" (a file that one side has not) is a
// document of no values.
int LoadSide(const std::string& path, bool absentAllowed, Side& side) {
    if (absentAllowed && path == "/dev/null") return kLoadOk;
    std::FILE* file = OpenDocumentFileBytes(path.c_str());
    if (!file) return kLoadCannotOpen;
    int result = LoadIntoDocument(side.doc.get(), file);
    if (result != kLoadOk) DropDocument(*side.doc);
    return result;
}

// Writes the differences of one pair of documents in the form the options
// ask for; a folder's files start their lines with `file`.
class DiffWriter {
public:
    DiffWriter(Output& out, const DumpOptions& options) : out_(out), options_(options) {}

    void BeginFile(std::u16string file, const GameNames* before, const GameNames* after) {
        file_ = std::move(file);
        beforeNames_ = before;
        afterNames_ = after;
        counter_ = DiffCounter{};
        texts_ = VisibleTexts{};
    }

    void Write(const Difference& d, ValueHasher& hasher) {
        if (options_.stat) return counter_.Add(d);
        if (options_.text) {
            texts_.Add(d, [&](const TextChange& c) {
                Prefix();
                out_.Raw(static_cast<char>(c.op));
                for (std::u16string_view field : {c.path, std::u16string_view(c.place), std::u16string_view(c.before),
                                                  std::u16string_view(c.after)}) {
                    out_.Raw('\t');
                    out_.Field(field);
                }
                out_.Raw('\n');
            });
            return;
        }
        if (options_.json) return WriteJsonDifference(d, hasher);
        Prefix();
        out_.Raw(static_cast<char>(d.op));
        out_.Raw('\t');
        out_.Field(d.path);
        out_.Raw('\t');
        if (d.op == DiffOp::kByPosition) {
            std::u16string note = u"差异超过 ";
            AppendInt(note, kMaxListEdits);
            note += u" 处，以下按位置比较";
            out_.Field(note);
            out_.Raw('\n');
            return;
        }
        RowTexts before, after;
        SideTexts(d.oldSide, hasher, before);
        SideTexts(d.newSide, hasher, after);
        if (!d.newSide.container) out_.Field(before.type);
        else if (!d.oldSide.container || before.type == after.type) out_.Field(after.type);
        else out_.Field(before.type + u" → " + after.type);
        out_.Raw('\t');
        out_.Field(before.value);
        out_.Raw('\t');
        out_.Field(after.value);
        out_.Raw('\n');
        if (options_.lens) ForEachDifferenceReading(d, beforeNames_, afterNames_, [&](std::u16string_view line) {
            out_.Bytes(kLensLinePrefix);
            out_.Field(line);
            out_.Raw('\n');
        });
    }

    void EndFile() {
        if (!options_.stat) return;
        const DiffCounts& c = counter_.Counts();
        if (!c.differences) return;
        out_.Field(file_);
        out_.Raw('\t');
        std::u16string line = u"差异 ";
        AppendInt(line, static_cast<std::int64_t>(c.differences));
        const char16_t* units[kUnitCount] = {u"事件", u"行", u"指令"};
        for (int u = 0; u < kUnitCount; ++u) {
            line += u'\t';
            line += units[u];
            line += u" ~";
            AppendInt(line, static_cast<std::int64_t>(c.changed[u]));
            line += u" +";
            AppendInt(line, static_cast<std::int64_t>(c.added[u]));
            line += u" -";
            AppendInt(line, static_cast<std::int64_t>(c.removed[u]));
        }
        // Written raw: the TABs separate the fields.
        for (std::size_t start = 0;;) {
            std::size_t tab = line.find(u'\t', start);
            out_.Field(std::u16string_view(line).substr(start, tab == std::u16string::npos ? tab : tab - start));
            if (tab == std::u16string::npos) break;
            out_.Raw('\t');
            start = tab + 1;
        }
        out_.Raw('\n');
    }

    // A file one folder has and the other has not.
    void WriteLoneFile(char marker, const std::u16string& file) {
        if (options_.json) {
            OpenJsonObject(marker);
            out_.Bytes(",\"file\":");
            WriteJsonText(out_, file.c_str());
            out_.Raw('}');
            return;
        }
        out_.Raw(marker);
        out_.Raw('\t');
        out_.Field(file);
        out_.Raw('\n');
    }

    void BeginJson() {
        if (options_.json) out_.Raw('[');
    }
    void EndJson() {
        if (!options_.json) return;
        if (!firstJson_) out_.Raw('\n');
        out_.Bytes("]\n");
    }

    void SetFolderMode() { folders_ = true; }
    bool InFolders() const { return folders_; }

private:
    // The list's texts of a side's row; a string wrapped for its encoding
    // shows as the string it wraps, as its row's one child does.
    static void SideTexts(const DiffSide& side, ValueHasher& hasher, RowTexts& texts) {
        if (!side.container) return;
        const MarshalNode* container = side.container;
        std::int64_t position = side.position;
        if (const MarshalNode* n = side.Node(); n->type == 'I' && IsStringLike(n)) container = n, position = 0;
        GetRowTexts(container, position, hasher.Holders(side.container), texts);
    }

    void Prefix() {
        if (!folders_) return;
        out_.Field(file_);
        out_.Raw('\t');
    }

    void OpenJsonObject(char op) {
        out_.Bytes(firstJson_ ? "\n{\"op\":\"" : ",\n{\"op\":\"");
        firstJson_ = false;
        out_.Raw(op);
        out_.Raw('"');
    }

    void WriteJsonDifference(const Difference& d, ValueHasher& hasher) {
        OpenJsonObject(static_cast<char>(d.op));
        if (folders_) {
            out_.Bytes(",\"file\":");
            WriteJsonText(out_, file_.c_str());
        }
        out_.Bytes(",\"path\":");
        WriteJsonText(out_, std::u16string(d.path).c_str());
        if (d.op == DiffOp::kByPosition) {
            out_.Bytes(",\"note\":\"by position\"}");
            return;
        }
        out_.Bytes(",\"old\":");
        if (const MarshalNode* n = d.oldSide.Node()) WriteJson(out_, n, hasher.Holders(n));
        else out_.Bytes("null");
        out_.Bytes(",\"new\":");
        if (const MarshalNode* n = d.newSide.Node()) WriteJson(out_, n, hasher.Holders(n));
        else out_.Bytes("null");
        out_.Raw('}');
    }

    Output& out_;
    const DumpOptions& options_;
    std::u16string file_;
    const GameNames* beforeNames_ = nullptr;
    const GameNames* afterNames_ = nullptr;
    DiffCounter counter_;
    VisibleTexts texts_;
    bool firstJson_ = true;
    bool folders_ = false;
};

void PrintSameValues(const std::u16string& file) {
    std::u16string line = file.empty() ? u"两个文件" : file + u": ";
    line += u"字节不同，但值相同";
    PrintErrorLine(line.c_str());
}

// Compares two files into the writer; the exit status of the pair.
int DiffFiles(DiffWriter& writer, const DumpOptions& options, const std::string& before, const std::string& after,
              const std::u16string& shown, bool absentAllowed) {
    if (SameFileBytes(PathFromUtf8(before), PathFromUtf8(after))) return kSame;
    Side a, b;
    for (auto [path, side] : {std::pair{&before, &a}, std::pair{&after, &b}}) {
        const int result = LoadSide(*path, absentAllowed, *side);
        if (result != kLoadOk) {
            PrintFileError(U16(*path), result);
            return kTrouble;
        }
    }
    if (options.lens && !options.noNames) {
        if (before != "/dev/null") a.names = NamesBesideFile(before);
        if (after != "/dev/null") b.names = NamesBesideFile(after);
    }
    writer.BeginFile(shown, a.names.get(), b.names.get());
    ValueHasher hasher;
    bool any = false;
    const CompareStatus status = CompareDocuments(*a.doc, *b.doc, hasher, [&](const Difference& d) {
        any = true;
        writer.Write(d, hasher);
        return true;
    });
    writer.EndFile();
    if (status == CompareStatus::kNoMemory) {
        PrintFileError(shown, kLoadNoMemory);
        return kTrouble;
    }
    if (!any) PrintSameValues(absentAllowed || !writer.InFolders() ? u"" : shown);
    return any ? kDiffers : kSame;
}

int DiffFolders(DiffWriter& writer, const DumpOptions& options) {
    writer.SetFolderMode();
    const auto pairs = PairFolderFiles(PathFromUtf8(options.files[0]), PathFromUtf8(options.files[1]));
    int status = kSame;
    for (const FilePair& p : pairs) {
        const std::u16string name = U16(PathToUtf8((p.after.empty() ? p.before : p.after).filename()));
        if (p.before.empty() || p.after.empty()) {
            writer.WriteLoneFile(p.before.empty() ? '+' : '-', name);
            status = std::max(status, kDiffers);
            continue;
        }
        status = std::max(status, DiffFiles(writer, options, PathToUtf8(p.before), PathToUtf8(p.after), name, false));
    }
    return status;
}
}  // namespace

int DumpDiff(const DumpOptions& options) {
    const std::string& before = options.git ? options.files[1] : options.files[0];
    const std::string& after = options.git ? options.files[4] : options.files[1];
    const bool folders = !options.git && IsFolder(before);
    if (!options.git && folders != IsFolder(after)) {
        std::fprintf(stderr, "quarnix-dump: --diff compares two files or two folders\n%s", kDumpUsage);
        return kUsageStatus;
    }
    InitViewer();
    int status;
    {
        Output out;
        DiffWriter writer(out, options);
        writer.BeginJson();
        if (folders) {
            status = DiffFolders(writer, options);
        } else if (options.git) {
            // git shows what the external diff prints under its own heading.
            const std::u16string shown = U16(options.files[0]);
            std::string heading = "diff --quarnix a/" + options.files[0] + " b/" + options.files[0] + "\n";
            out.Bytes(heading);
            status = DiffFiles(writer, options, before, after, shown, true);  // "/dev/null": absent
        } else {
            // --stat names the file its line is about: the new one.
            status = DiffFiles(writer, options, before, after, U16(after), false);
        }
        writer.EndJson();
    }
    std::fflush(stdout);
    ShutdownViewer();
    // git stops at an external diff that does not exit 0.
    if (options.git && status == kDiffers) return kSame;
    return status;
}
