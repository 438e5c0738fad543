#include "game/command_refs.h"

#include <string_view>

#include "lens/node_access.h"

namespace {
constexpr UseAccess R = UseAccess::kRead;
constexpr UseAccess W = UseAccess::kWrite;

class Refs {
public:
    Refs(const MarshalNode* params, std::vector<Ref>& out) : list_(Unwrapped(params)), out_(out) {
        if (list_ && list_->type != '[') list_ = nullptr;
    }
    bool Int(std::int64_t i, std::int64_t& v) const {
        return list_ && i < ChildCount(list_) && IntegerValue(ChildAt(list_, i), v);
    }
    bool Is(std::int64_t i, std::int64_t expected) const {
        std::int64_t v;
        return Int(i, v) && v == expected;
    }
    void Id(std::int64_t i, RefKind kind, UseAccess access) {
        std::int64_t v;
        if (Int(i, v)) out_.push_back({kind, access, v, v});
    }
    // An id of the database (0 means none or "all").
    void Entry(std::int64_t i, RefKind kind, UseAccess access) {
        std::int64_t v;
        if (Int(i, v) && v > 0) out_.push_back({kind, access, v, v});
    }
    void Range(std::int64_t i, RefKind kind, UseAccess access) {
        std::int64_t a, b;
        if (!Int(i, a) || !Int(i + 1, b)) return;
        out_.push_back({kind, access, a < b ? a : b, a < b ? b : a});
    }
    // A character: -1 the player, 0 this event, n event n.
    void Character(std::int64_t i, UseAccess access) { Entry(i, RefKind::kEvent, access); }
    // An operand given as [type, value]: type 1 reads a variable.
    void Operand(std::int64_t typeAt) {
        if (Is(typeAt, 1)) Id(typeAt + 1, RefKind::kVariable, R);
    }
    void SelfSwitch(const MarshalNode* letter, UseAccess access) {
        std::string_view text;
        if (StringBytes(letter, text) && text.size() == 1) out_.push_back({RefKind::kSelfSwitch, access, text[0], text[0]});
    }
    const MarshalNode* At(std::int64_t i) const { return list_ && i < ChildCount(list_) ? ChildAt(list_, i) : nullptr; }

private:
    const MarshalNode* list_;
    std::vector<Ref>& out_;
};

void ConditionRefs(Refs& p) {
    std::int64_t type = -1;
    p.Int(0, type);
    switch (type) {
    case 0: return p.Id(1, RefKind::kSwitch, R);
    case 1: p.Id(1, RefKind::kVariable, R); return p.Operand(2);
    case 2: return p.SelfSwitch(p.At(1), R);
    case 4: {
        p.Entry(1, RefKind::kActor, R);
        std::int64_t what = -1;
        p.Int(2, what);
        if (what == 2) p.Entry(3, RefKind::kSkill, R);
        else if (what == 3) p.Entry(3, RefKind::kWeapon, R);
        else if (what == 4) p.Entry(3, RefKind::kArmor, R);
        else if (what == 5) p.Entry(3, RefKind::kState, R);
        return;
    }
    case 6: return p.Character(1, R);
    case 8: return p.Entry(1, RefKind::kItem, R);
    case 9: return p.Entry(1, RefKind::kWeapon, R);
    case 10: return p.Entry(1, RefKind::kArmor, R);
    default: return;
    }
}

void VariableOperationRefs(Refs& p) {
    p.Range(0, RefKind::kVariable, W);
    std::int64_t type = -1;
    p.Int(3, type);
    switch (type) {
    case 1: return p.Id(4, RefKind::kVariable, R);
    case 3: return p.Entry(4, RefKind::kItem, R);
    case 4: return p.Entry(4, RefKind::kActor, R);
    case 6: return p.Character(4, R);
    default: return;
    }
}

bool IsTrue(const MarshalNode* node) {
    node = Unwrapped(node);
    return node && node->type == 'T';
}

void IdOf(const MarshalNode* value, RefKind kind, std::vector<Ref>& out) {
    std::int64_t v;
    if (IntegerValue(value, v)) out.push_back({kind, R, v, v});
}
}  // namespace

void CommandRefs(const MarshalNode* command, std::vector<Ref>& out) {
    std::int64_t code;
    if (!IntegerValue(InstanceVariable(command, "code"), code)) return;
    Refs p(InstanceVariable(command, "parameters"), out);
    switch (code) {
    case 103: return p.Id(0, RefKind::kVariable, W);
    case 111: return ConditionRefs(p);
    case 117: return p.Id(0, RefKind::kCommonEvent, R);
    case 121: return p.Range(0, RefKind::kSwitch, W);
    case 122: return VariableOperationRefs(p);
    case 123: return p.SelfSwitch(p.At(0), W);
    case 125: return p.Operand(1);
    case 126: p.Id(0, RefKind::kItem, W); return p.Operand(2);
    case 127: p.Id(0, RefKind::kWeapon, W); return p.Operand(2);
    case 128: p.Id(0, RefKind::kArmor, W); return p.Operand(2);
    case 129: return p.Id(0, RefKind::kActor, W);
    case 201:
        if (p.Is(0, 0)) return p.Id(1, RefKind::kMap, R);
        for (int i = 1; i <= 3; ++i) p.Id(i, RefKind::kVariable, R);
        return;
    case 202:
        p.Character(0, W);
        if (p.Is(1, 1)) {
            p.Id(2, RefKind::kVariable, R);
            p.Id(3, RefKind::kVariable, R);
        }
        return;
    case 207: p.Character(0, R); return p.Id(1, RefKind::kAnimation, R);
    case 208: case 209: return p.Character(0, W);
    case 301: return p.Id(0, RefKind::kTroop, R);
    case 302: case 605: {
        std::int64_t type = -1;
        p.Int(0, type);
        if (type >= 0 && type <= 2) p.Id(1, type == 0 ? RefKind::kItem : type == 1 ? RefKind::kWeapon : RefKind::kArmor, R);
        return;
    }
    case 303: case 314: case 320: case 322: return p.Entry(0, RefKind::kActor, W);
    case 311: case 312: case 315: case 316: p.Entry(0, RefKind::kActor, W); return p.Operand(2);
    case 313: p.Entry(0, RefKind::kActor, W); return p.Id(2, RefKind::kState, R);
    case 317: p.Entry(0, RefKind::kActor, W); return p.Operand(3);
    case 318: p.Entry(0, RefKind::kActor, W); return p.Id(2, RefKind::kSkill, R);
    case 319:
        p.Entry(0, RefKind::kActor, W);
        return p.Entry(2, p.Is(1, 0) ? RefKind::kWeapon : RefKind::kArmor, R);
    case 321: p.Entry(0, RefKind::kActor, W); return p.Id(1, RefKind::kClass, R);
    case 331: case 332: return p.Operand(2);
    case 333: return p.Id(2, RefKind::kState, R);
    case 336: return p.Id(1, RefKind::kEnemy, R);
    case 337: return p.Id(2, RefKind::kAnimation, R);
    case 338: return p.Operand(2);
    case 339:
        if (p.Is(2, 1)) p.Id(3, RefKind::kSkill, R);
        return;
    default: return;
    }
}

void PageConditionRefs(const MarshalNode* c, std::vector<Ref>& out) {
    const std::string_view cls = ClassName(c);
    if (cls == "RPG::Event::Page::Condition") {
        if (IsTrue(InstanceVariable(c, "switch1_valid"))) IdOf(InstanceVariable(c, "switch1_id"), RefKind::kSwitch, out);
        if (IsTrue(InstanceVariable(c, "switch2_valid"))) IdOf(InstanceVariable(c, "switch2_id"), RefKind::kSwitch, out);
        if (IsTrue(InstanceVariable(c, "variable_valid"))) IdOf(InstanceVariable(c, "variable_id"), RefKind::kVariable, out);
        if (IsTrue(InstanceVariable(c, "self_switch_valid"))) {
            Refs letters(nullptr, out);
            letters.SelfSwitch(InstanceVariable(c, "self_switch_ch"), R);
        }
    } else if (cls == "RPG::Troop::Page::Condition") {
        if (IsTrue(InstanceVariable(c, "actor_valid"))) IdOf(InstanceVariable(c, "actor_id"), RefKind::kActor, out);
        if (IsTrue(InstanceVariable(c, "switch_valid"))) IdOf(InstanceVariable(c, "switch_id"), RefKind::kSwitch, out);
    }
}
