#include "lens/game_names.h"

#include <string_view>

#include "lens/number_text.h"
#include "present/text.h"

namespace {
struct KindWords {
    const char16_t* word;
    const char* option;
};

// In RefKind's order.
constexpr KindWords kWords[kRefKindCount] = {
    {u"开关", "switch"},       {u"变量", "variable"}, {u"公共事件", "common_event"}, {u"地图", "map"},
    {u"角色", "actor"},        {u"职业", nullptr},    {u"技能", "skill"},           {u"物品", "item"},
    {u"武器", "weapon"},       {u"防具", "armor"},    {u"敌人", nullptr},           {u"敌人队伍", "troop"},
    {u"状态", nullptr},        {u"动画", "animation"}, {u"图块", nullptr},          {u"独立开关", nullptr},
    {u"事件", nullptr},
};

// A map tree deeper than this is a cycle or a hostile file.
constexpr int kMaxMapDepth = 64;
}  // namespace

bool GameNames::Empty() const {
    for (const auto& kind : names)
        if (!kind.empty()) return false;
    return true;
}

const std::string* FindName(const GameNames* names, RefKind kind, std::int64_t id) {
    if (!names) return nullptr;
    const auto& table = names->names[static_cast<int>(kind)];
    auto it = table.find(id);
    return it == table.end() || it->second.empty() ? nullptr : &it->second;
}

void AppendIdText(std::u16string& out, std::int64_t id, const GameNames* names, RefKind kind) {
    std::u16string digits;
    AppendInt(digits, id);
    out += u'[';
    if (id >= 0 && digits.size() < 4) out.append(4 - digits.size(), u'0');
    out += digits;
    if (const std::string* name = FindName(names, kind, id)) {
        out += u": ";
        out += Utf8ToU16(name->data(), name->size());
    }
    out += u']';
}

const char16_t* RefKindWord(RefKind kind) { return kWords[static_cast<int>(kind)].word; }
const char* RefKindOption(RefKind kind) { return kWords[static_cast<int>(kind)].option; }

bool RefKindFromOption(std::string_view word, RefKind& kind) {
    for (int k = 0; k < kRefKindCount; ++k) {
        if (kWords[k].option && word == kWords[k].option) {
            kind = static_cast<RefKind>(k);
            return true;
        }
    }
    return false;
}

void AppendMapHeading(std::u16string& title, std::u16string& place, std::int64_t mapId, const GameNames* names) {
    title += u"地图 ";
    AppendIdText(title, mapId, names, RefKind::kMap);
    if (!names) return;
    std::int64_t chain[kMaxMapDepth];
    int depth = 0;
    for (std::int64_t at = mapId; depth < kMaxMapDepth;) {
        auto it = names->mapParents.find(at);
        if (it == names->mapParents.end() || it->second <= 0 || it->second == mapId) break;
        at = it->second;
        chain[depth++] = at;
    }
    if (!depth) return;
    place += u"位于 ";
    for (int k = depth; k > 0; --k) {
        AppendIdText(place, chain[k - 1], names, RefKind::kMap);
        if (k > 1) place += u" › ";
    }
}
