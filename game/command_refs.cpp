#include "game/command_refs.h"

#include <string_view>

#include "lens/node_access.h"

namespace {
bool IsTrue(const MarshalNode* node) {
    node = Unwrapped(node);
    return node && node->type == 'T';
}

void IdOf(const MarshalNode* value, RefKind kind, std::vector<Ref>& out) {
    std::int64_t v;
    if (IntegerValue(value, v)) out.push_back({kind, UseAccess::kRead, v, v});
}

void LetterOf(const MarshalNode* value, std::vector<Ref>& out) {
    std::string_view text;
    if (StringBytes(value, text) && text.size() == 1)
        out.push_back({RefKind::kSelfSwitch, UseAccess::kRead, static_cast<unsigned char>(text[0]), static_cast<unsigned char>(text[0])});
}
}  // namespace

void CommandRefs(const MarshalNode* command, std::vector<Ref>& out) {
    std::int64_t code;
    if (IntegerValue(InstanceVariable(command, "code"), code))
        CommandParamRefs(code, InstanceVariable(command, "parameters"), out);
}

void PageConditionRefs(const MarshalNode* c, std::vector<Ref>& out) {
    const std::string_view cls = ClassName(c);
    if (cls == "RPG::Event::Page::Condition") {
        if (IsTrue(InstanceVariable(c, "switch1_valid"))) IdOf(InstanceVariable(c, "switch1_id"), RefKind::kSwitch, out);
        if (IsTrue(InstanceVariable(c, "switch2_valid"))) IdOf(InstanceVariable(c, "switch2_id"), RefKind::kSwitch, out);
        if (IsTrue(InstanceVariable(c, "variable_valid"))) IdOf(InstanceVariable(c, "variable_id"), RefKind::kVariable, out);
        if (IsTrue(InstanceVariable(c, "self_switch_valid"))) LetterOf(InstanceVariable(c, "self_switch_ch"), out);
    } else if (cls == "RPG::Troop::Page::Condition") {
        if (IsTrue(InstanceVariable(c, "actor_valid"))) IdOf(InstanceVariable(c, "actor_id"), RefKind::kActor, out);
        if (IsTrue(InstanceVariable(c, "switch_valid"))) IdOf(InstanceVariable(c, "switch_id"), RefKind::kSwitch, out);
    }
}
