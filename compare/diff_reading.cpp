#include "compare/diff_reading.h"

#include <cstring>
#include <vector>

#include "compare/list_match.h"
#include "lens/event_commands.h"
#include "lens/node_access.h"
#include "lens/number_text.h"
#include "lens/reading.h"
#include "present/text.h"

namespace {
// One step of the way down on one side: the container, and the position
// of the next step's value in it.
struct Step {
    const MarshalNode* node;
    const MarshalNode* holder;  // none for the root
    std::int64_t position;
};

// The way from the root down to the difference's value on one side.
std::vector<Step> WayDown(const Difference& d, bool after) {
    std::vector<Step> way;
    for (const DiffLevel& level : d.levels) {
        const DiffSide& side = after ? level.newSide : level.oldSide;
        way.push_back({after ? level.newNode : level.oldNode, side.container, side.position});
    }
    const DiffSide& side = after ? d.newSide : d.oldSide;
    if (side.container) way.push_back({side.Node(), side.container, side.position});
    return way;
}

// The instance variable's name a value is held under ("pages"), or empty.
std::string_view EntryName(const Step& step) {
    if (!step.holder || step.holder->type != 'o') return {};
    const char* name = step.holder->data.attrs[step.position].name;
    return name[0] == '@' ? std::string_view(name + 1) : std::string_view(name);
}

void AppendNumbered(std::u16string& out, const char16_t* word, const MarshalNode* object) {
    std::int64_t id = 0;
    IntegerValue(InstanceVariable(object, "id"), id);
    out += word;
    out += u' ';
    std::u16string digits;
    AppendInt(digits, id < 0 ? -id : id);
    if (id < 0) out += u'-';
    for (std::size_t n = digits.size(); n < 4; ++n) out += u'0';
    out += digits;
    std::string_view name;
    if (StringBytes(InstanceVariable(object, "name"), name) && !name.empty()) {
        out += u" [";
        out += Utf8ToU16(name.data(), name.size());
        out += u']';
    }
}

void AppendOrdinal(std::u16string& out, std::int64_t position, const char16_t* unit) {
    if (!out.empty()) out += u' ';
    out += u"第 ";
    AppendInt(out, position + 1);
    out += u' ';
    out += unit;
}

std::u16string PlaceOnSide(const std::vector<Step>& way) {
    std::u16string place;
    for (std::size_t i = 0; i < way.size(); ++i) {
        const MarshalNode* node = Unwrapped(way[i].node);
        if (!node) continue;
        const std::string_view cls = ClassName(node);
        if (node->type == 'o' && (cls == "RPG::Event" || cls == "RPG::CommonEvent" || cls == "RPG::Troop")) {
            place.clear();
            AppendNumbered(place, cls == "RPG::Event" ? u"事件" : cls == "RPG::Troop" ? u"敌群" : u"公共事件", node);
        } else if (i > 0 && !place.empty() && node->type == '[' && i + 1 < way.size()) {
            const std::string_view entry = EntryName(way[i]);
            if (entry == "pages") AppendOrdinal(place, way[i + 1].position, u"页");
            else if (entry == "list") AppendOrdinal(place, way[i + 1].position, u"行");
        }
    }
    return place;
}

const MarshalNode* InnermostCommand(const std::vector<Step>& way) {
    for (auto it = way.rbegin(); it != way.rend(); ++it)
        if (it->node && IsEventCommand(it->node)) return it->node;
    return nullptr;
}

using LineSink = const std::function<void(std::u16string_view)>&;

void EmitPrefixed(LineSink line, char16_t marker, const std::u16string& text) {
    std::u16string out;
    out += marker;
    out += u' ';
    out += text;
    line(out);
}

// A script's lines before and after, matched by their common subsequence:
// removed lines with their old numbers, added lines with their new ones.
void ScriptLines(const Reading& before, const Reading& after, LineSink line) {
    auto hashes = [](const std::vector<std::u16string>& lines) {
        std::vector<std::uint64_t> h;
        h.reserve(lines.size());
        for (const std::u16string& l : lines) h.push_back(std::hash<std::u16string>{}(l));
        return h;
    };
    const std::vector<std::uint64_t> a = hashes(before.lines), b = hashes(after.lines);
    std::vector<ListEdit> script;
    if (!MatchLists(a, b, script)) {
        // Too far apart to match: every line goes and comes.
        script.clear();
        if (!a.empty()) script.push_back({ListStep::kRemoved, 0, -1, static_cast<std::int64_t>(a.size())});
        if (!b.empty()) script.push_back({ListStep::kAdded, -1, 0, static_cast<std::int64_t>(b.size())});
    }
    std::u16string text;
    for (const ListEdit& e : script) {
        if (e.step == ListStep::kSame) continue;
        const bool removed = e.step == ListStep::kRemoved;
        for (std::int64_t k = 0; k < e.length; ++k) {
            const std::int64_t n = (removed ? e.oldIndex : e.newIndex) + k;
            text.clear();
            AppendInt(text, n + 1);
            text += u": ";
            text += removed ? before.lines[static_cast<std::size_t>(n)] : after.lines[static_cast<std::size_t>(n)];
            EmitPrefixed(line, removed ? u'-' : u'+', text);
        }
    }
}

// The cells two tables of one size differ in: counted, the first listed.
void TableCells(const Reading& before, const Reading& after, LineSink line) {
    const TableGrid& a = before.table;
    const TableGrid& b = after.table;
    if (a.x != b.x || a.y != b.y || a.z != b.z) {
        EmitPrefixed(line, u'-', before.summary);
        EmitPrefixed(line, u'+', after.summary);
        return;
    }
    std::int64_t changed = 0;
    std::vector<std::u16string> cells;
    for (std::int64_t k = 0; k < a.z; ++k)
        for (std::int64_t j = 0; j < a.y; ++j)
            for (std::int64_t i = 0; i < a.x; ++i) {
                const std::int16_t u = a.At(i, j, k), v = b.At(i, j, k);
                if (u == v) continue;
                if (++changed > kTableCellsListed) continue;
                std::u16string& cell = cells.emplace_back(u"(");
                AppendInt(cell, i);
                cell += u", ";
                AppendInt(cell, j);
                cell += u", ";
                AppendInt(cell, k);
                cell += u")：";
                AppendInt(cell, u);
                cell += u" → ";
                AppendInt(cell, v);
            }
    std::u16string summary = u"表格：";
    AppendInt(summary, changed);
    summary += u" 个格子不同";
    if (changed > kTableCellsListed) {
        summary += u"，列出前 ";
        AppendInt(summary, kTableCellsListed);
        summary += u" 个";
    }
    line(summary);
    for (const std::u16string& cell : cells) line(cell);
}

void WholeReading(const MarshalNode* node, char16_t marker, const GameNames* names, LineSink line) {
    if (!node || !ReadingTells(node)) return;
    for (const std::u16string& text : ReadingTextLines(ReadNode(node, names))) EmitPrefixed(line, marker, text);
}
}  // namespace

std::u16string DifferencePlace(const Difference& d) {
    return PlaceOnSide(WayDown(d, d.op != DiffOp::kRemoved));
}

CommandPair DifferenceCommands(const Difference& d) {
    CommandPair pair;
    if (d.op != DiffOp::kAdded) pair.before = InnermostCommand(WayDown(d, false));
    if (d.op != DiffOp::kRemoved) pair.after = InnermostCommand(WayDown(d, true));
    return pair;
}

void ForEachDifferenceReading(const Difference& d, const GameNames* beforeNames, const GameNames* afterNames,
                              LineSink line) {
    if (d.op == DiffOp::kByPosition) return;
    if (std::u16string place = DifferencePlace(d); !place.empty()) line(place);
    const CommandPair commands = DifferenceCommands(d);
    if (commands.before || commands.after) {
        if (commands.before) EmitPrefixed(line, u'-', EventCommandLine(commands.before, beforeNames));
        if (commands.after) EmitPrefixed(line, u'+', EventCommandLine(commands.after, afterNames));
        return;
    }
    const MarshalNode* before = d.oldSide.Node();
    const MarshalNode* after = d.newSide.Node();
    if (d.op == DiffOp::kChanged && ReadingTells(before) && ReadingTells(after)) {
        const Reading a = ReadNode(before, beforeNames), b = ReadNode(after, afterNames);
        if (a.kind == ReadingKind::kScript && b.kind == ReadingKind::kScript) return ScriptLines(a, b, line);
        if (a.kind == ReadingKind::kTable && b.kind == ReadingKind::kTable) return TableCells(a, b, line);
    }
    if (d.op != DiffOp::kAdded) WholeReading(before, u'-', beforeNames, line);
    if (d.op != DiffOp::kRemoved) WholeReading(after, u'+', afterNames, line);
}
