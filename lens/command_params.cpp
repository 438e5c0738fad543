#include "lens/command_params.h"

#include <string_view>

#include "lens/node_access.h"

namespace {
using S = ParamShape;
using K = RefKind;
constexpr UseAccess R = UseAccess::kRead;
constexpr UseAccess W = UseAccess::kWrite;

constexpr ParamGuard Is(int at, int value) { return {static_cast<std::int8_t>(at), static_cast<std::int8_t>(value), true}; }
constexpr ParamGuard Not(int at, int value) { return {static_cast<std::int8_t>(at), static_cast<std::int8_t>(value), false}; }

// By code; a code's rows in the order of its parameters.
constexpr CommandParam kCommandParams[] = {
    {103, 0, S::kId, K::kVariable, W},
    {105, 0, S::kId, K::kVariable, W},
    // Conditional branch: parameter 0 says what is tested.
    {111, 1, S::kId, K::kSwitch, R, Is(0, 0)},
    {111, 1, S::kId, K::kVariable, R, Is(0, 1)},
    {111, 2, S::kOperand, K::kVariable, R, Is(0, 1)},
    {111, 1, S::kLetter, K::kSelfSwitch, R, Is(0, 2)},
    {111, 1, S::kEntry, K::kActor, R, Is(0, 4)},
    {111, 3, S::kEntry, K::kSkill, R, Is(0, 4), Is(2, 2)},
    {111, 3, S::kEntry, K::kWeapon, R, Is(0, 4), Is(2, 3)},
    {111, 3, S::kEntry, K::kArmor, R, Is(0, 4), Is(2, 4)},
    {111, 3, S::kEntry, K::kState, R, Is(0, 4), Is(2, 5)},
    {111, 1, S::kCharacter, K::kEvent, R, Is(0, 6)},
    {111, 1, S::kEntry, K::kItem, R, Is(0, 8)},
    {111, 1, S::kEntry, K::kWeapon, R, Is(0, 9)},
    {111, 1, S::kEntry, K::kArmor, R, Is(0, 10)},
    {117, 0, S::kId, K::kCommonEvent, R},
    {121, 0, S::kRange, K::kSwitch, W},
    // Control variables: parameter 3 says where the operand comes from.
    {122, 0, S::kRange, K::kVariable, W},
    {122, 4, S::kId, K::kVariable, R, Is(3, 1)},
    {122, 4, S::kEntry, K::kItem, R, Is(3, 3)},
    {122, 4, S::kEntry, K::kActor, R, Is(3, 4)},
    {122, 4, S::kCharacter, K::kEvent, R, Is(3, 6)},
    {123, 0, S::kLetter, K::kSelfSwitch, W},
    {125, 1, S::kOperand, K::kVariable, R},
    {126, 0, S::kId, K::kItem, W},
    {126, 2, S::kOperand, K::kVariable, R},
    {127, 0, S::kId, K::kWeapon, W},
    {127, 2, S::kOperand, K::kVariable, R},
    {128, 0, S::kId, K::kArmor, W},
    {128, 2, S::kOperand, K::kVariable, R},
    {129, 0, S::kId, K::kActor, W},
    {201, 1, S::kId, K::kMap, R, Is(0, 0)},
    {201, 1, S::kId, K::kVariable, R, Not(0, 0)},
    {201, 2, S::kId, K::kVariable, R, Not(0, 0)},
    {201, 3, S::kId, K::kVariable, R, Not(0, 0)},
    {202, 0, S::kCharacter, K::kEvent, W},
    {202, 2, S::kId, K::kVariable, R, Is(1, 1)},
    {202, 3, S::kId, K::kVariable, R, Is(1, 1)},
    {207, 0, S::kCharacter, K::kEvent, R},
    {207, 1, S::kId, K::kAnimation, R},
    {209, 0, S::kCharacter, K::kEvent, W},
    {301, 0, S::kId, K::kTroop, R},
    {302, 1, S::kId, K::kItem, R, Is(0, 0)},
    {302, 1, S::kId, K::kWeapon, R, Is(0, 1)},
    {302, 1, S::kId, K::kArmor, R, Is(0, 2)},
    {303, 0, S::kEntry, K::kActor, W},
    {311, 0, S::kEntry, K::kActor, W},
    {311, 2, S::kOperand, K::kVariable, R},
    {312, 0, S::kEntry, K::kActor, W},
    {312, 2, S::kOperand, K::kVariable, R},
    {313, 0, S::kEntry, K::kActor, W},
    {313, 2, S::kId, K::kState, R},
    {314, 0, S::kEntry, K::kActor, W},
    {315, 0, S::kEntry, K::kActor, W},
    {315, 2, S::kOperand, K::kVariable, R},
    {316, 0, S::kEntry, K::kActor, W},
    {316, 2, S::kOperand, K::kVariable, R},
    {317, 0, S::kEntry, K::kActor, W},
    {317, 3, S::kOperand, K::kVariable, R},
    {318, 0, S::kEntry, K::kActor, W},
    {318, 2, S::kId, K::kSkill, R},
    {319, 0, S::kEntry, K::kActor, W},
    {319, 2, S::kEntry, K::kWeapon, R, Is(1, 0)},
    {319, 2, S::kEntry, K::kArmor, R, Not(1, 0)},
    {320, 0, S::kEntry, K::kActor, W},
    {321, 0, S::kEntry, K::kActor, W},
    {321, 1, S::kId, K::kClass, R},
    {322, 0, S::kEntry, K::kActor, W},
    {331, 2, S::kOperand, K::kVariable, R},
    {332, 2, S::kOperand, K::kVariable, R},
    {333, 2, S::kId, K::kState, R},
    {336, 1, S::kId, K::kEnemy, R},
    {337, 2, S::kId, K::kAnimation, R},
    {338, 2, S::kOperand, K::kVariable, R},
    {339, 3, S::kId, K::kSkill, R, Is(2, 1)},
    // A shop's goods after the first: as the first.
    {605, 1, S::kId, K::kItem, R, Is(0, 0)},
    {605, 1, S::kId, K::kWeapon, R, Is(0, 1)},
    {605, 1, S::kId, K::kArmor, R, Is(0, 2)},
};

const MarshalNode* ParamList(const MarshalNode* params) {
    params = Unwrapped(params);
    return params && params->type == '[' ? params : nullptr;
}

bool IntAt(const MarshalNode* list, std::int64_t i, std::int64_t& v) {
    return list && i >= 0 && i < ChildCount(list) && IntegerValue(ChildAt(list, i), v);
}

bool Holds(const MarshalNode* list, const ParamGuard& guard) {
    if (guard.at < 0) return true;
    std::int64_t v;
    return IntAt(list, guard.at, v) && (v == guard.value) == guard.equal;
}

// The rows of the code whose guards hold, in the table's order.
template <typename Visit>
void EachRow(std::int64_t code, const MarshalNode* list, Visit&& visit) {
    for (const CommandParam& row : kCommandParams)
        if (row.code == code && Holds(list, row.when) && Holds(list, row.also)) visit(row);
}

// The ref a row gives for this parameter list, if any.
bool RowRef(const CommandParam& row, const MarshalNode* list, Ref& ref) {
    std::int64_t a, b;
    ref = {row.kind, row.access, 0, 0};
    switch (row.shape) {
    case S::kId:
        if (!IntAt(list, row.at, a)) return false;
        ref.low = ref.high = a;
        return true;
    case S::kEntry: case S::kCharacter:
        if (!IntAt(list, row.at, a) || a <= 0) return false;
        ref.low = ref.high = a;
        return true;
    case S::kRange:
        if (!IntAt(list, row.at, a) || !IntAt(list, row.at + 1, b)) return false;
        ref.low = a < b ? a : b;
        ref.high = a < b ? b : a;
        return true;
    case S::kOperand:
        if (!IntAt(list, row.at, a) || a != 1 || !IntAt(list, row.at + 1, b)) return false;
        ref.low = ref.high = b;
        return true;
    case S::kLetter: {
        std::string_view text;
        if (!list || row.at >= ChildCount(list) || !StringBytes(ChildAt(list, row.at), text) || text.size() != 1) return false;
        ref.low = ref.high = static_cast<unsigned char>(text[0]);
        return true;
    }
    }
    return false;
}
}  // namespace

void CommandParamRefs(std::int64_t code, const MarshalNode* params, std::vector<Ref>& out) {
    const MarshalNode* list = ParamList(params);
    Ref ref;
    EachRow(code, list, [&](const CommandParam& row) {
        if (RowRef(row, list, ref)) out.push_back(ref);
    });
}

bool ParamIdKind(std::int64_t code, const MarshalNode* params, std::int64_t at, RefKind& kind) {
    const MarshalNode* list = ParamList(params);
    bool found = false;
    Ref ref;
    EachRow(code, list, [&](const CommandParam& row) {
        const std::int64_t idAt = row.shape == S::kOperand ? row.at + 1 : row.at;
        const bool covers = at == idAt || (row.shape == S::kRange && at == row.at + 1);
        if (!found && covers && RowRef(row, list, ref)) {
            kind = row.kind;
            found = true;
        }
    });
    return found;
}
