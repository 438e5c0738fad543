// The conditions of an event page and of a troop page in words.
#include <cstddef>
#include <string_view>

#include "lens/event_commands.h"
#include "lens/node_access.h"
#include "lens/number_text.h"
#include "present/text.h"

namespace {
bool IsTrue(const MarshalNode* node) {
    node = Unwrapped(node);
    return node && node->type == 'T';
}

void AppendIdOf(std::u16string& out, const MarshalNode* value, const GameNames* names, RefKind kind) {
    std::int64_t id;
    if (IntegerValue(value, id)) AppendIdText(out, id, names, kind);
    else AppendShortValue(out, value);
}

void Separate(std::u16string& out) {
    if (!out.empty()) out += u"，";
}

// A condition that reads "<before><first><middle><second><after>" when its
// flag is set: `first` names what it refers to when it is an id
// (`firstIsId`), `second` (if any) is shown as it is.
struct ConditionRow {
    const char* valid;
    const char16_t* before;
    const char* first;
    bool firstIsId;
    RefKind kind;
    const char16_t* middle;
    const char* second;  // none: only `first`
    const char16_t* after;
};

constexpr ConditionRow kTroopConditions[] = {
    {"turn_valid", u"回合 ", "turn_a", false, RefKind::kSwitch, u" + ", "turn_b", u"×X"},
    {"enemy_valid", u"敌人 ", "enemy_index", false, RefKind::kEnemy, u" 的体力 ", "enemy_hp", u"% 以下"},
    {"actor_valid", u"角色 ", "actor_id", true, RefKind::kActor, u" 的体力 ", "actor_hp", u"% 以下"},
    {"switch_valid", u"开关 ", "switch_id", true, RefKind::kSwitch, u"", nullptr, u" 为 ON"},
};
// The event page's, before its self switch.
constexpr ConditionRow kEventConditions[] = {
    {"switch1_valid", u"开关 ", "switch1_id", true, RefKind::kSwitch, u"", nullptr, u" 为 ON"},
    {"switch2_valid", u"开关 ", "switch2_id", true, RefKind::kSwitch, u"", nullptr, u" 为 ON"},
    {"variable_valid", u"变量 ", "variable_id", true, RefKind::kVariable, u" >= ", "variable_value", u""},
};

template <std::size_t N>
void AppendConditions(std::u16string& out, const MarshalNode* c, const GameNames* names, const ConditionRow (&rows)[N]) {
    for (const ConditionRow& row : rows) {
        if (!IsTrue(InstanceVariable(c, row.valid))) continue;
        Separate(out);
        out += row.before;
        const MarshalNode* first = InstanceVariable(c, row.first);
        if (row.firstIsId) AppendIdOf(out, first, names, row.kind);
        else AppendShortValue(out, first);
        out += row.middle;
        if (row.second) AppendShortValue(out, InstanceVariable(c, row.second));
        out += row.after;
    }
}

void AppendEventPageCondition(std::u16string& out, const MarshalNode* c, const GameNames* names) {
    AppendConditions(out, c, names, kEventConditions);
    if (IsTrue(InstanceVariable(c, "self_switch_valid"))) {
        Separate(out);
        out += u"独立开关 ";
        std::string_view letter;
        if (StringBytes(InstanceVariable(c, "self_switch_ch"), letter)) out += Utf8ToU16(letter.data(), letter.size());
        else AppendShortValue(out, InstanceVariable(c, "self_switch_ch"));
        out += u" 为 ON";
    }
}
}  // namespace

std::u16string PageConditionText(const MarshalNode* condition, const GameNames* names) {
    const std::string_view cls = ClassName(condition);
    std::u16string out;
    if (cls == "RPG::Event::Page::Condition") AppendEventPageCondition(out, condition, names);
    else if (cls == "RPG::Troop::Page::Condition") AppendConditions(out, condition, names, kTroopConditions);
    else return out;
    if (out.empty()) out = u"无条件";
    return out;
}
