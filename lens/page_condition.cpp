// The conditions of an event page and of a troop page in words.
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

void AppendEventPageCondition(std::u16string& out, const MarshalNode* c, const GameNames* names) {
    for (const char* n : {"switch1", "switch2"}) {
        std::string key(n);
        if (!IsTrue(InstanceVariable(c, key + "_valid"))) continue;
        Separate(out);
        out += u"开关 ";
        AppendIdOf(out, InstanceVariable(c, key + "_id"), names, RefKind::kSwitch);
        out += u" 为 ON";
    }
    if (IsTrue(InstanceVariable(c, "variable_valid"))) {
        Separate(out);
        out += u"变量 ";
        AppendIdOf(out, InstanceVariable(c, "variable_id"), names, RefKind::kVariable);
        out += u" >= ";
        AppendShortValue(out, InstanceVariable(c, "variable_value"));
    }
    if (IsTrue(InstanceVariable(c, "self_switch_valid"))) {
        Separate(out);
        out += u"独立开关 ";
        std::string_view letter;
        if (StringBytes(InstanceVariable(c, "self_switch_ch"), letter)) out += Utf8ToU16(letter.data(), letter.size());
        else AppendShortValue(out, InstanceVariable(c, "self_switch_ch"));
        out += u" 为 ON";
    }
}

void AppendTroopPageCondition(std::u16string& out, const MarshalNode* c, const GameNames* names) {
    if (IsTrue(InstanceVariable(c, "turn_valid"))) {
        Separate(out);
        out += u"回合 ";
        AppendShortValue(out, InstanceVariable(c, "turn_a"));
        out += u" + ";
        AppendShortValue(out, InstanceVariable(c, "turn_b"));
        out += u"×X";
    }
    if (IsTrue(InstanceVariable(c, "enemy_valid"))) {
        Separate(out);
        out += u"敌人 ";
        AppendShortValue(out, InstanceVariable(c, "enemy_index"));
        out += u" 的体力 ";
        AppendShortValue(out, InstanceVariable(c, "enemy_hp"));
        out += u"% 以下";
    }
    if (IsTrue(InstanceVariable(c, "actor_valid"))) {
        Separate(out);
        out += u"角色 ";
        AppendIdOf(out, InstanceVariable(c, "actor_id"), names, RefKind::kActor);
        out += u" 的体力 ";
        AppendShortValue(out, InstanceVariable(c, "actor_hp"));
        out += u"% 以下";
    }
    if (IsTrue(InstanceVariable(c, "switch_valid"))) {
        Separate(out);
        out += u"开关 ";
        AppendIdOf(out, InstanceVariable(c, "switch_id"), names, RefKind::kSwitch);
        out += u" 为 ON";
    }
}
}  // namespace

std::u16string PageConditionText(const MarshalNode* condition, const GameNames* names) {
    const std::string_view cls = ClassName(condition);
    std::u16string out;
    if (cls == "RPG::Event::Page::Condition") AppendEventPageCondition(out, condition, names);
    else if (cls == "RPG::Troop::Page::Condition") AppendTroopPageCondition(out, condition, names);
    else return out;
    if (out.empty()) out = u"无条件";
    return out;
}
