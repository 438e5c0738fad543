// Building the usage index: each file is loaded, walked by its shape (a
// map's events and pages, the common events, the troops' pages) and
// dropped.  Paths are made level by level with the labels the status bar
// uses, so they name the very rows the window selects.
#include <algorithm>
#include <new>
#include <string_view>

#include "game/game_folder.h"
#include "game/usage_index.h"
#include "lens/event_commands.h"
#include "lens/node_access.h"
#include "marshal/load.h"
#include "present/access_path.h"

namespace fs = std::filesystem;

namespace {
// Where the walk stands: the event (or common event, troop) and its page.
struct Owner {
    std::int64_t id = -1;
    std::u16string_view name;
    std::int32_t page = -1;
    std::uint32_t nameAt = 0;  // the name in the index's pool, once added
    bool nameAdded = false;
};

class Indexer {
public:
    Indexer(UsageIndex& index, const GameNames* names, std::uint32_t file, const std::atomic<bool>& cancel)
        : index_(index), names_(names), file_(file), cancel_(cancel) {}

    // The first value of the document, found by its shape.
    bool Walk(const MarshalNode* root) {
        if (root->count < 1) return true;
        const MarshalNode* top = ChildAt(root, 0);
        std::u16string path;
        AppendPathLabel(path, root, 0);
        const MarshalNode* value = Unwrapped(top);
        if (ClassName(value) == "RPG::Map") return WalkMap(value, path);
        if (value && value->type == '[') {
            std::string_view cls = FirstEntryClass(value);
            if (cls == "RPG::CommonEvent") return WalkCommonEvents(value, path);
            if (cls == "RPG::Troop") return WalkTroops(value, path);
        }
        return true;
    }

private:
    static std::string_view FirstEntryClass(const MarshalNode* array) {
        for (std::int64_t i = 0; i < ChildCount(array); ++i)
            if (std::string_view cls = ClassName(ChildAt(array, i)); !cls.empty()) return cls;
        return {};
    }

    // The instance variable's value and its path below `path`; none when absent.
    static const MarshalNode* Field(const MarshalNode* object, const char* name, std::u16string& path) {
        object = Unwrapped(object);
        if (!object || object->type != 'o' || !object->data.attrs) return nullptr;
        for (std::int32_t i = 0; i < object->count; ++i) {
            const MarshalAttr& entry = object->data.attrs[i];
            if (entry.name && std::string_view(entry.name) == name) {
                AppendPathLabel(path, object, i);
                return &entry.value;
            }
        }
        return nullptr;
    }

    static std::u16string NameOf(const MarshalNode* object) {
        std::string_view bytes;
        if (!StringBytes(InstanceVariable(object, "name"), bytes)) return {};
        return Utf8ToU16(bytes.data(), bytes.substr(0, 256).size());
    }

    bool WalkMap(const MarshalNode* map, std::u16string& path) {
        const MarshalNode* events = Unwrapped(Field(map, "events", path));
        if (!events || (events->type != '{' && events->type != '}')) return true;
        const std::size_t at = path.size();
        const std::int64_t first = events->type == '}' ? 1 : 0;
        for (std::int64_t k = first; k + 1 < ChildCount(events); k += 2) {
            const MarshalNode* event = ChildAt(events, k + 1);
            path.resize(at);
            AppendPathLabel(path, events, k + 1);
            Owner owner;
            if (!IntegerValue(InstanceVariable(event, "id"), owner.id)) IntegerValue(ChildAt(events, k), owner.id);
            const std::u16string name = NameOf(event);
            owner.name = name;
            if (!WalkPages(event, path, owner)) return false;
        }
        return true;
    }

    bool WalkPages(const MarshalNode* holder, std::u16string& path, Owner& owner) {
        const std::size_t base = path.size();
        const MarshalNode* pages = Unwrapped(Field(holder, "pages", path));
        if (!pages || pages->type != '[') return true;
        const std::size_t at = path.size();
        for (std::int64_t p = 0; p < ChildCount(pages); ++p) {
            path.resize(at);
            AppendPathLabel(path, pages, p);
            owner.page = static_cast<std::int32_t>(p);
            const MarshalNode* page = ChildAt(pages, p);
            const std::size_t pageAt = path.size();
            if (const MarshalNode* condition = Field(page, "condition", path)) AddCondition(condition, path, owner);
            path.resize(pageAt);
            if (!WalkList(Field(page, "list", path), path, owner)) return false;
        }
        path.resize(base);
        return true;
    }

    // Each entry of the class in a database array ([nil, entry 1, ...]),
    // with its path and its owner record; false when `walk` stops.
    template <typename Walk>
    static bool ForEachEntry(const MarshalNode* array, std::string_view cls, std::u16string& path, Walk&& walk) {
        const std::size_t at = path.size();
        for (std::int64_t i = 1; i < ChildCount(array); ++i) {
            const MarshalNode* entry = ChildAt(array, i);
            if (ClassName(entry) != cls) continue;
            path.resize(at);
            AppendPathLabel(path, array, i);
            Owner owner;
            owner.id = i;
            const std::u16string name = NameOf(entry);
            owner.name = name;
            if (!walk(entry, owner)) return false;
        }
        return true;
    }

    bool WalkCommonEvents(const MarshalNode* array, std::u16string& path) {
        return ForEachEntry(array, "RPG::CommonEvent", path, [&](const MarshalNode* event, Owner& owner) {
            const std::size_t eventAt = path.size();
            std::int64_t trigger = 0;
            if (IntegerValue(InstanceVariable(event, "trigger"), trigger) && trigger != 0) {
                std::int64_t id;
                if (IntegerValue(Field(event, "switch_id", path), id)) {
                    std::u16string reading = trigger == 1 ? u"自动执行，条件开关 " : u"并行处理，条件开关 ";
                    AppendIdText(reading, id, names_, RefKind::kSwitch);
                    Add({{RefKind::kSwitch, UseAccess::kRead, id, id}}, index_.AddText(path), path.size(), -1, reading, owner);
                }
            }
            path.resize(eventAt);
            return WalkList(Field(event, "list", path), path, owner);
        });
    }

    bool WalkTroops(const MarshalNode* array, std::u16string& path) {
        return ForEachEntry(array, "RPG::Troop", path,
                            [&](const MarshalNode* troop, Owner& owner) { return WalkPages(troop, path, owner); });
    }

    bool WalkList(const MarshalNode* list, std::u16string& path, Owner& owner) {
        list = Unwrapped(list);
        if (!list || list->type != '[') return true;
        if (cancel_.load(std::memory_order_relaxed)) return false;
        bool pathAdded = false;
        std::uint32_t pathAt = 0;
        for (std::int64_t i = 0; i < ChildCount(list); ++i) {
            const MarshalNode* command = ChildAt(list, i);
            refs_.clear();
            CommandRefs(command, refs_);
            if (refs_.empty()) continue;
            // The list's path once, for all its commands.
            if (!pathAdded) {
                pathAt = index_.AddText(path);
                pathAdded = true;
            }
            std::u16string reading = EventCommandLine(command, names_);
            const std::size_t text = reading.find_first_not_of(u' ');
            reading.erase(0, text == std::u16string::npos ? reading.size() : text);
            Add(refs_, pathAt, path.size(), static_cast<std::int32_t>(i), reading, owner);
        }
        return true;
    }

    void AddCondition(const MarshalNode* condition, const std::u16string& path, Owner& owner) {
        refs_.clear();
        PageConditionRefs(condition, refs_);
        if (refs_.empty()) return;
        const std::u16string reading = u"条件：" + PageConditionText(condition, names_);
        Add(refs_, index_.AddText(path), path.size(), -1, reading, owner);
    }

    // The length of a text as the index keeps it.
    static std::uint32_t Kept(std::size_t length) {
        return static_cast<std::uint32_t>(std::min(length, UsageIndex::kMaxTextUnits));
    }

    // Adds one place per reference; the places of one command share its texts.
    void Add(const std::vector<Ref>& refs, std::uint32_t pathAt, std::size_t pathLength, std::int32_t item,
             std::u16string_view reading, Owner& owner) {
        if (!owner.nameAdded) {
            owner.nameAt = index_.AddText(owner.name);
            owner.nameAdded = true;
        }
        UsePlace place{};
        place.page = owner.page;
        place.file = file_;
        place.eventId = static_cast<std::int32_t>(owner.id);
        place.item = item;
        place.path = pathAt;
        place.pathLength = Kept(pathLength);
        place.reading = index_.AddText(reading);
        place.readingLength = Kept(reading.size());
        place.eventName = owner.nameAt;
        place.eventNameLength = Kept(owner.name.size());
        for (const Ref& ref : refs) {
            place.kind = ref.kind;
            place.access = ref.access;
            place.low = static_cast<std::int32_t>(ref.low);
            place.high = static_cast<std::int32_t>(ref.high);
            index_.AddPlace(place);
        }
    }

    UsageIndex& index_;
    const GameNames* names_;
    std::uint32_t file_;
    const std::atomic<bool>& cancel_;
    std::vector<Ref> refs_;
};
}  // namespace

bool BuildUsageIndex(const std::vector<fs::path>& files, const GameNames* names, MarshalDocument& scratch,
                     UsageIndex& index, const std::function<void(const IndexProgress&)>& onProgress) {
    index.Clear();
    IndexProgress progress;
    progress.fileCount = files.size();
    try {
        for (const fs::path& file : files) {
            if (scratch.cancel.load(std::memory_order_relaxed)) break;
            const std::uint32_t at = index.AddFile(file);
            if (LoadBounded(scratch, file, kIndexFileBounds) == kLoadOk) {
                Indexer indexer(index, names, at, scratch.cancel);
                bool done = false;
                try {
                    done = indexer.Walk(&scratch.root);
                } catch (...) {
                    DropDocument(scratch);
                    throw;
                }
                DropDocument(scratch);
                if (!done) break;
            }
            ++progress.filesDone;
            if (onProgress) onProgress(progress);
        }
    } catch (const std::bad_alloc&) {
        index.Clear();
        return false;
    }
    if (scratch.cancel.load(std::memory_order_relaxed)) {
        index.Clear();
        return false;
    }
    try {
        index.Trim();
    } catch (const std::bad_alloc&) {
        // The index stays as it is, with its spare room.
    }
    return true;
}
