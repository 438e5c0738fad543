#include "ui/folder_results.h"

#include <system_error>

#include "game/database_files.h"
#include "game/game_folder.h"
#include "lens/node_access.h"
#include "lens/number_text.h"
#include "marshal/load.h"
#include "present/path_parse.h"
#include "present/text.h"
#include "present/viewer_document.h"
#include "ui/navigate.h"

namespace fs = std::filesystem;

namespace {
constexpr char16_t kGap[] = u"　";

std::u16string FileName(const fs::path& file) {
    const std::string name = PathToUtf8(file.filename());
    return Utf8ToU16(name.c_str(), name.size());
}


// Who holds the place: the event of a map, the common event, the troop.
void AppendOwner(std::u16string& out, const UsageIndex& index, const UsePlace& p) {
    // The places of a map are its events'; of CommonEvents and Troops, their entries'.
    const DatabaseFile* file = DatabaseFileNamed(PathToUtf8(index.Files()[p.file].filename()));
    const RefKind kind = file && (file->kind == RefKind::kCommonEvent || file->kind == RefKind::kTroop) ? file->kind
                                                                                                       : RefKind::kEvent;
    out += RefKindWord(kind);
    out += u' ';
    GameNames owner;
    const std::u16string_view eventName = index.EventName(p);
    if (!eventName.empty()) {
        char* utf8 = WideToUtf8(std::u16string(eventName).c_str());
        if (utf8) owner.names[static_cast<int>(kind)][p.eventId] = utf8;
        std::free(utf8);
    }
    AppendIdText(out, p.eventId, &owner, kind);
    if (p.page >= 0) {
        out += u" 第 ";
        AppendInt(out, p.page + 1);
        out += u" 页";
    }
}
}  // namespace

std::u16string FindUsesMenuText(RefKind kind, std::int64_t id, const GameNames* names) {
    std::u16string text = u"查找 ";
    text += RefKindWord(kind);
    text += u' ';
    AppendIdText(text, id, names, kind);
    text += u" 的用处";
    return text;
}

bool CommandUseTarget(const MarshalNode* command, RefKind& kind, std::int64_t& id) {
    std::vector<Ref> refs;
    CommandRefs(command, refs);
    for (const Ref& ref : refs) {
        if (!RefKindOption(ref.kind)) continue;
        kind = ref.kind;
        id = ref.low;
        return true;
    }
    return false;
}

bool RowUseTarget(const MarshalNode* container, std::int64_t position, std::string_view fileName, RefKind& kind,
                  std::int64_t& id) {
    if (!container || container->type != '[' || position < 1 || position >= ChildCount(container)) return false;
    const MarshalDocument* doc = DocumentOf(container);
    const MarshalNode* root = doc ? &doc->root : nullptr;
    const MarshalNode* top = root && root->count >= 1 ? Unwrapped(ChildAt(root, 0)) : nullptr;
    if (!top) return false;
    if (SameFileName(fileName, "System.rxdata")) {
        for (auto [field, k] : {std::pair{"switches", RefKind::kSwitch}, {"variables", RefKind::kVariable}}) {
            if (Unwrapped(InstanceVariable(top, field)) == container) {
                kind = k;
                id = position;
                return true;
            }
        }
        return false;
    }
    if (container != top) return false;
    // The database lists whose entries the usage index answers for.
    if (const DatabaseFile* file = DatabaseFileNamed(fileName); file && RefKindOption(file->kind)) {
        kind = file->kind;
        id = position;
        return true;
    }
    return false;
}

std::vector<FolderResult> UseResults(const UsageIndex& index, RefKind kind, std::int64_t id) {
    std::vector<FolderResult> results;
    for (const UsePlace* p : index.Find(kind, id)) {
        FolderResult r;
        r.file = index.Files()[p->file];
        r.path = index.Path(*p);
        r.write = p->access == UseAccess::kWrite;
        r.text = FileName(r.file) + kGap;
        AppendOwner(r.text, index, *p);
        r.text += kGap;
        if (r.write) r.text += u"[写入] ";
        r.text += index.Reading(*p);
        results.push_back(std::move(r));
    }
    return results;
}

FolderResult FindResult(const fs::path& file, const FindHit& hit, const HolderIndex& holders) {
    FolderResult r;
    r.file = file;
    holders.AppendPath(r.path, hit.child);
    RowTexts texts;
    GetRowTexts(hit.container, hit.position, holders, texts);
    r.text = FileName(file) + kGap + r.path + kGap + texts.name + kGap + texts.type + kGap + texts.value;
    return r;
}

bool ResultNeedsOpen(const FolderResult& result, const fs::path& openFile) {
    std::error_code ec;
    return openFile.empty() || !fs::equivalent(result.file, openFile, ec);
}

bool SelectResultRow(const FolderResult& result, const HolderIndex& holders) {
    PathTarget target;
    if (!ResolveAccessPath(result.path, &DocumentRoot, target) || !target.holder) return false;
    return ShowPosition(holders, ViewPosition{target.holder, target.node});
}
