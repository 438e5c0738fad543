#include "compare/diff_units.h"

#include <vector>

#include "compare/diff_reading.h"
#include "lens/event_commands.h"
#include "lens/node_access.h"
#include "lens/number_text.h"
#include "present/container_walk.h"
#include "present/text.h"

namespace {
// The value of the difference and its containers on one side, root first.
std::vector<const MarshalNode*> WayOf(const Difference& d, bool after) {
    std::vector<const MarshalNode*> way;
    for (const DiffLevel& level : d.levels) way.push_back(after ? level.newNode : level.oldNode);
    const MarshalNode* own = (after ? d.newSide : d.oldSide).Node();
    if (own) way.push_back(own);
    return way;
}

bool IsEventLike(const MarshalNode* node) {
    node = Unwrapped(node);
    if (!node || node->type != 'o') return false;
    const std::string_view cls = ClassName(node);
    return cls == "RPG::Event" || cls == "RPG::CommonEvent" || cls == "RPG::Troop";
}

// A row: a value of the file's top-level database list or hash
// (`Items.rxdata`'s items, `MapInfos.rxdata`'s maps).
bool IsRowAt(const std::vector<const MarshalNode*>& way, std::size_t i) {
    if (i != 2 || way.size() < 3) return false;
    const MarshalNode* table = way[1];
    return IsDatabaseList(table) || table->type == '{' || table->type == '}';
}

bool IsUnit(DiffUnit unit, const std::vector<const MarshalNode*>& way, std::size_t i) {
    switch (unit) {
    case kUnitEvent: return IsEventLike(way[i]);
    case kUnitRow: return IsRowAt(way, i);
    default: return IsEventCommand(way[i]);
    }
}

std::u16string TextOf(const MarshalNode* node) {
    std::string_view bytes;
    if (!StringBytes(node, bytes)) return {};
    return Utf8ToU16(bytes.data(), bytes.size());
}

// The text a command shows the player, or false for commands that show none.
bool CommandText(const MarshalNode* command, std::u16string& text) {
    std::int64_t code = 0;
    if (!command || !IntegerValue(InstanceVariable(command, "code"), code)) return false;
    const MarshalNode* parameters = Unwrapped(InstanceVariable(command, "parameters"));
    if (!parameters || parameters->type != '[') return false;
    auto parameter = [&](std::int64_t i) { return i < ChildCount(parameters) ? ChildAt(parameters, i) : nullptr; };
    switch (code) {
    case 101: case 401: case 405:  // message lines, scrolling text
        text = TextOf(parameter(0));
        return true;
    case 402: case 320: case 324:  // a choice's branch, an actor's name or nickname
        text = TextOf(parameter(1));
        return true;
    case 102: {  // the choices, one after another
        text.clear();
        const MarshalNode* choices = Unwrapped(parameter(0));
        for (std::int64_t i = 0; choices && choices->type == '[' && i < ChildCount(choices); ++i) {
            if (i) text += u" / ";
            text += TextOf(ChildAt(choices, i));
        }
        return true;
    }
    default:
        return false;
    }
}

bool IsVisibleEntry(std::string_view name) { return name == "name" || name == "description"; }

std::string_view EntryNameIn(const MarshalNode* holder, const MarshalNode* value) {
    if (!holder || holder->type != 'o') return {};
    for (std::int32_t i = 0; i < holder->count; ++i)
        if (&holder->data.attrs[i].value == value) return holder->data.attrs[i].name;
    return {};
}

std::u16string RowPlace(const MarshalNode* row) {
    std::u16string place = u"[";
    std::int64_t id = 0;
    IntegerValue(InstanceVariable(row, "id"), id);
    std::u16string digits;
    AppendInt(digits, id);
    for (std::size_t n = digits.size(); n < 4; ++n) place += u'0';
    place += digits;
    const std::u16string name = TextOf(InstanceVariable(row, "name"));
    if (!name.empty()) place += u": " + name;
    place += u']';
    return place;
}
}  // namespace

void DiffCounter::Add(const Difference& d) {
    ++counts_.differences;
    if (d.op == DiffOp::kByPosition) return;
    const bool after = d.op != DiffOp::kRemoved;
    const std::vector<const MarshalNode*> way = WayOf(d, after);
    if (way.empty()) return;
    const std::size_t own = way.size() - 1;
    for (int u = 0; u < kUnitCount; ++u) {
        const DiffUnit unit = static_cast<DiffUnit>(u);
        // The innermost unit of this kind on the way: the value itself when
        // it is one and was added or removed, else the one it lies in.
        for (std::size_t i = way.size(); i-- > 0;) {
            if (!IsUnit(unit, way, i)) continue;
            if (i == own && d.op == DiffOp::kAdded) ++counts_.added[u];
            else if (i == own && d.op == DiffOp::kRemoved) ++counts_.removed[u];
            else if (lastChanged_[u] != way[i]) {
                lastChanged_[u] = way[i];
                ++counts_.changed[u];
            }
            break;
        }
    }
}

void VisibleTexts::Add(const Difference& d, const std::function<void(const TextChange&)>& sink) {
    if (d.op == DiffOp::kByPosition) return;
    TextChange change{d.op, d.path, {}, {}, {}};
    const CommandPair commands = DifferenceCommands(d);
    if (commands.before || commands.after) {
        const MarshalNode* key = commands.after ? commands.after : commands.before;
        if (key == lastCommand_) return;
        lastCommand_ = key;
        const bool hadText = CommandText(commands.before, change.before);
        const bool hasText = CommandText(commands.after, change.after);
        if (!hadText && !hasText) return;
        if (hadText && hasText && change.before == change.after) return;
        change.op = hadText && hasText ? DiffOp::kChanged : hasText ? DiffOp::kAdded : DiffOp::kRemoved;
        change.place = DifferencePlace(d);
        return sink(change);
    }
    const bool after = d.op != DiffOp::kRemoved;
    const MarshalNode* own = (after ? d.newSide : d.oldSide).Node();
    if (!own) return;
    // A container added or removed whole: the texts of every command in it.
    if ((d.op == DiffOp::kAdded || d.op == DiffOp::kRemoved) && IsContainerType(own->type)) {
        change.place = DifferencePlace(d);
        WalkContainers(own, [&](const MarshalNode* c) {
            std::u16string text;
            if (IsEventCommand(c) && CommandText(c, text)) {
                (after ? change.after : change.before) = std::move(text);
                sink(change);
            }
            return true;
        });
    }
    // The database's names and descriptions, the system's words and title.
    const std::vector<const MarshalNode*> way = WayOf(d, after);
    if (way.size() < 3) return;
    const MarshalNode* top = Unwrapped(way[1]);
    auto emitString = [&](const MarshalNode* before, const MarshalNode* afterNode, std::u16string place) {
        change.before = before ? TextOf(before) : u"";
        change.after = afterNode ? TextOf(afterNode) : u"";
        change.place = std::move(place);
        sink(change);
    };
    if (IsDatabaseList(top)) {
        const MarshalNode* row = Unwrapped(way[2]);
        if (way.size() == 3 && (d.op == DiffOp::kAdded || d.op == DiffOp::kRemoved)) {
            for (const char* field : {"name", "description"}) {
                const MarshalNode* text = InstanceVariable(row, field);
                if (text && !TextOf(text).empty())
                    emitString(after ? nullptr : text, after ? text : nullptr, RowPlace(row));
            }
        } else if (way.size() == 4 && IsVisibleEntry(EntryNameIn(row, way[3]))) {
            emitString(d.oldSide.Node(), d.newSide.Node(), RowPlace(row));
        }
        return;
    }
    if (top && top->type == 'o' && ClassName(top) == "RPG::System") {
        const std::string_view entry = EntryNameIn(top, way[2]);
        const bool words = entry == "words" && way.size() == 4;
        const bool elements = entry == "elements" && way.size() == 4;
        const bool title = entry == "game_title" && way.size() == 3;
        if (words || elements || title)
            emitString(d.oldSide.Node(), d.newSide.Node(), words ? u"系统用语" : elements ? u"属性" : u"游戏标题");
    }
}
