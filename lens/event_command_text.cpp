// One readable line per event command: the name by its code and the
// parameters in words.  Every parameter is read through checks, since a
// hostile file may put any value anywhere.
#include <algorithm>
#include <string_view>

#include "lens/color_reading.h"
#include "lens/command_params.h"
#include "lens/event_commands.h"
#include "lens/node_access.h"
#include "lens/number_text.h"
#include "present/text.h"
#include "present/value_text.h"

namespace {
constexpr int kMaxShownIndent = 40;   // deeper levels are said in words, not in spaces
constexpr int kMaxShortDepth = 3;     // nesting shown inside a parameter
constexpr std::int32_t kMaxShortItems = 8;

// MARK: values

void AppendUtf8(std::u16string& out, std::string_view bytes) { out += Utf8ToU16(bytes.data(), bytes.size()); }

void AppendFourDoubles(std::u16string& out, const char16_t* name, std::string_view bytes) {
    double c[4];
    std::u16string problem;
    if (ReadFourDoubles(bytes, c, problem)) out += FourDoublesText(name, c);
    else out += std::u16string(name) + u"(?)";
}

void AppendAudioFile(std::u16string& out, const MarshalNode* audio) {
    std::string_view name;
    std::int64_t volume = 0, pitch = 0;
    if (StringBytes(InstanceVariable(audio, "name"), name)) AppendUtf8(out, name.empty() ? "(无)" : name);
    if (IntegerValue(InstanceVariable(audio, "volume"), volume)) {
        out += u"，音量 ";
        AppendInt(out, volume);
    }
    if (IntegerValue(InstanceVariable(audio, "pitch"), pitch)) {
        out += u"，音调 ";
        AppendInt(out, pitch);
    }
}

void AppendChildren(std::u16string& out, const MarshalNode* node, int depth, char16_t open, char16_t close) {
    out += open;
    const std::int64_t count = ChildCount(node);
    // A hash's children are key, value, key, value (after the default of '}').
    const std::int64_t firstKey = node->type == '}' ? 1 : 0;
    const bool hash = node->type == '{' || node->type == '}';
    for (std::int64_t i = 0; i < count && i < kMaxShortItems; ++i) {
        if (hash && i >= firstKey && (i - firstKey) % 2 == 1) out += u"=>";
        else if (i) out += u", ";
        AppendShortValue(out, ChildAt(node, i), depth + 1);
    }
    if (count > kMaxShortItems) out += u", …";
    out += close;
}
}  // namespace

void AppendShortValue(std::u16string& out, const MarshalNode* node, int depth) {
    node = Unwrapped(node);
    if (!node) return out.push_back(u'?');
    std::string_view bytes;
    if (StringBytes(node, bytes)) {
        out += u'"';
        AppendUtf8(out, bytes);
        return out.push_back(u'"');
    }
    if (UserDumpBytes(node, "Color", bytes)) return AppendFourDoubles(out, u"Color", bytes);
    if (UserDumpBytes(node, "Tone", bytes)) return AppendFourDoubles(out, u"Tone", bytes);
    if (ClassName(node) == "RPG::AudioFile") return AppendAudioFile(out, node);
    if (depth >= kMaxShortDepth && IsContainerType(node->type)) return void(out.append(u"…"));
    switch (node->type) {
    case '[': return AppendChildren(out, node, depth, u'[', u']');
    case '{': case '}': return AppendChildren(out, node, depth, u'{', u'}');
    case ':': case ';': out += u':'; break;
    case 'o': case 'S': case 'u': case 'U': case 'C':
        out += u"#<";
        AppendUtf8(out, ClassName(node));
        return out.push_back(u'>');
    case 'l': return AppendBignumDecimal(out, node);
    default: break;
    }
    LabelBuffer buffer;
    Text text = ValueText(node, buffer);
    out += text.text ? text.text : TypeName(node->type);
    FreeText(text);
}

namespace {
// MARK: parameters

class Params {
public:
    explicit Params(const MarshalNode* list, const GameNames* names = nullptr, std::int64_t code = -1)
        : list_(Unwrapped(list)), names_(names), code_(code) {
        if (list_ && list_->type != '[') list_ = nullptr;
    }
    std::int64_t Count() const { return list_ ? ChildCount(list_) : 0; }
    const MarshalNode* List() const { return list_; }
    const MarshalNode* At(std::int64_t i) const { return i < Count() ? ChildAt(list_, i) : nullptr; }
    bool Int(std::int64_t i, std::int64_t& v) const { return IntegerValue(At(i), v); }
    // The integer, or whatever value stands there.
    void AppendInt(std::u16string& out, std::int64_t i) const {
        std::int64_t v;
        if (Int(i, v)) ::AppendInt(out, v);
        else AppendShortValue(out, At(i));
    }
    // The text of a string parameter, or whatever value stands there.
    void AppendText(std::u16string& out, std::int64_t i) const {
        std::string_view bytes;
        if (StringBytes(At(i), bytes)) AppendUtf8(out, bytes);
        else AppendShortValue(out, At(i));
    }
    // "[0012]" or "[0012: 名字]": the numbered thing a command refers to,
    // named when the command's table gives the parameter a kind.
    void AppendId(std::u16string& out, std::int64_t i) const {
        std::int64_t v;
        if (!Int(i, v)) return AppendShortValue(out, At(i));
        RefKind kind = RefKind::kSwitch;
        const bool named = ParamIdKind(code_, list_, i, kind);
        AppendIdText(out, v, named ? names_ : nullptr, kind);
    }
    // The number alone, for the ends of a range.
    void AppendBareId(std::u16string& out, std::int64_t i) const {
        std::int64_t v;
        if (!Int(i, v)) return AppendShortValue(out, At(i));
        AppendIdText(out, v, nullptr, RefKind::kSwitch);
    }
    // One of several words chosen by an integer, or the value itself.
    void AppendChoice(std::u16string& out, std::int64_t i, std::initializer_list<const char16_t*> words) const {
        std::int64_t v;
        if (Int(i, v) && v >= 0 && v < static_cast<std::int64_t>(words.size())) out += words.begin()[v];
        else AppendShortValue(out, At(i));
    }
    void AppendAll(std::u16string& out, std::int64_t from = 0) const {
        for (std::int64_t i = from; i < Count(); ++i) {
            if (i > from) out += u"，";
            AppendShortValue(out, At(i));
        }
    }

private:
    const MarshalNode* list_;
    const GameNames* names_;
    std::int64_t code_;
};

const std::initializer_list<const char16_t*> kOnOff = {u"ON", u"OFF"};
const std::initializer_list<const char16_t*> kAssignOps = {u"=", u"+=", u"-=", u"*=", u"/=", u"%="};
const std::initializer_list<const char16_t*> kCompareOps = {u"==", u">=", u"<=", u">", u"<", u"!="};
const std::initializer_list<const char16_t*> kAtLeastAtMost = {u"以上", u"以下"};

// -1 the player, 0 this event, n event n.
void AppendCharacter(std::u16string& out, const Params& p, std::int64_t i) {
    std::int64_t v;
    if (!p.Int(i, v)) return AppendShortValue(out, p.At(i));
    if (v == -1) out += u"玩家";
    else if (v == 0) out += u"本事件";
    else {
        out += u"事件 ";
        AppendInt(out, v);
    }
}

// 0 the whole party, n actor n.
void AppendActor(std::u16string& out, const Params& p, std::int64_t i) {
    std::int64_t v;
    if (p.Int(i, v) && v == 0) return void(out.append(u"全体角色"));
    out += u"角色 ";
    p.AppendId(out, i);
}

// A member of the troop in battle by its place (0 the first); -1 all.
void AppendEnemy(std::u16string& out, const Params& p, std::int64_t i) {
    std::int64_t v;
    if (p.Int(i, v) && v == -1) return void(out.append(u"全体敌人"));
    out += u"敌人 ";
    p.AppendInt(out, i);
}

// A battler: [type (0 an enemy, 1 a party member), place (-1 all)].
void AppendBattler(std::u16string& out, const Params& p, std::int64_t typeAt) {
    std::int64_t type = 0, place = 0;
    if (!p.Int(typeAt, type) || (type != 0 && type != 1)) {
        AppendShortValue(out, p.At(typeAt));
        out += u"，";
        return p.AppendInt(out, typeAt + 1);
    }
    if (type == 0) return AppendEnemy(out, p, typeAt + 1);
    if (p.Int(typeAt + 1, place) && place == -1) return void(out.append(u"全体队员"));
    out += u"队员 ";
    p.AppendInt(out, typeAt + 1);
}

// An operand: a constant, or the variable holding it.
void AppendOperand(std::u16string& out, const Params& p, std::int64_t typeAt) {
    std::int64_t type;
    if (p.Int(typeAt, type) && type == 1) {
        out += u"变量 ";
        p.AppendId(out, typeAt + 1);
    } else {
        p.AppendInt(out, typeAt + 1);
    }
}

// [operation (0 increase, 1 decrease), operand type, operand]
void AppendChange(std::u16string& out, const Params& p, std::int64_t at) {
    p.AppendChoice(out, at, {u"+ ", u"- "});
    AppendOperand(out, p, at + 1);
}

// "[0001]" (with its name) or "[0001..0005]"
void AppendRange(std::u16string& out, const Params& p) {
    std::int64_t a, b;
    if (p.Int(0, a) && p.Int(1, b) && a == b) return p.AppendId(out, 0);
    p.AppendBareId(out, 0);
    if (!p.Int(0, a) || !p.Int(1, b)) {
        out += u"..";
        return p.AppendBareId(out, 1);
    }
    std::u16string last;
    p.AppendBareId(last, 1);
    out.back() = u'.';  // "[0001]" becomes "[0001." and then "[0001..0005]"
    out += u'.';
    out.append(last, 1);
}

void AppendVariableOperation(std::u16string& out, const Params& p) {
    AppendRange(out, p);
    out += u' ';
    p.AppendChoice(out, 2, kAssignOps);
    out += u' ';
    std::int64_t type = -1;
    p.Int(3, type);
    switch (type) {
    case 0: return p.AppendInt(out, 4);
    case 1: out += u"变量 "; return p.AppendId(out, 4);
    case 2: out += u"随机数 "; p.AppendInt(out, 4); out += u"..."; return p.AppendInt(out, 5);
    case 3: out += u"物品 "; p.AppendId(out, 4); return void(out.append(u" 的持有数"));
    case 4: out += u"角色 "; p.AppendId(out, 4); out += u" 的属性 "; return p.AppendInt(out, 5);
    case 5: out += u"敌人 "; p.AppendInt(out, 4); out += u" 的属性 "; return p.AppendInt(out, 5);
    case 6: AppendCharacter(out, p, 4); out += u" 的属性 "; return p.AppendInt(out, 5);
    case 7: out += u"其他 "; return p.AppendInt(out, 4);
    default: return p.AppendAll(out, 3);
    }
}

void AppendCondition(std::u16string& out, const Params& p) {
    std::int64_t type = -1;
    p.Int(0, type);
    switch (type) {
    case 0: out += u"开关 "; p.AppendId(out, 1); out += u" 为 "; return p.AppendChoice(out, 2, kOnOff);
    case 1:
        out += u"变量 ";
        p.AppendId(out, 1);
        out += u' ';
        p.AppendChoice(out, 4, kCompareOps);
        out += u' ';
        return AppendOperand(out, p, 2);
    case 2: out += u"独立开关 "; p.AppendText(out, 1); out += u" 为 "; return p.AppendChoice(out, 2, kOnOff);
    case 3: out += u"计时器 "; p.AppendInt(out, 1); out += u" 秒 "; return p.AppendChoice(out, 2, kAtLeastAtMost);
    case 4:
        // [4, actor, what (2 a skill, 3 a weapon, 4 an armor, 5 a state: its id next), ...]
        out += u"角色 ";
        p.AppendId(out, 1);
        out += u"：";
        if (RefKind kind; p.Count() > 3 && ParamIdKind(111, p.List(), 3, kind)) {
            p.AppendInt(out, 2);
            out += u"，";
            p.AppendId(out, 3);
            if (p.Count() > 4) out += u"，";
            return p.AppendAll(out, 4);
        }
        return p.AppendAll(out, 2);
    case 5: out += u"敌人 "; p.AppendInt(out, 1); out += u"："; return p.AppendAll(out, 2);
    case 6: AppendCharacter(out, p, 1); out += u" 面向 "; return p.AppendChoice(out, 2, {u"", u"", u"下", u"", u"左", u"", u"右", u"", u"上"});
    case 7: out += u"金钱 "; p.AppendInt(out, 1); out += u' '; return p.AppendChoice(out, 2, kAtLeastAtMost);
    case 8: out += u"持有物品 "; return p.AppendId(out, 1);
    case 9: out += u"持有武器 "; return p.AppendId(out, 1);
    case 10: out += u"持有防具 "; return p.AppendId(out, 1);
    case 11: out += u"按下按键 "; return p.AppendInt(out, 1);
    case 12: out += u"脚本："; return p.AppendText(out, 1);
    default: return p.AppendAll(out);
    }
}

void AppendTransfer(std::u16string& out, const Params& p) {
    std::int64_t byVariables = 0;
    p.Int(0, byVariables);
    if (byVariables) {
        out += u"由变量 ";
        for (int i = 1; i <= 3; ++i) p.AppendId(out, i);
        out += u" 指定";
    } else {
        out += u"地图 ";
        p.AppendId(out, 1);
        out += u" (";
        p.AppendInt(out, 2);
        out += u", ";
        p.AppendInt(out, 3);
        out += u')';
    }
}

void AppendChoices(std::u16string& out, const Params& p) {
    const MarshalNode* choices = Unwrapped(p.At(0));
    if (!choices || choices->type != '[') return p.AppendAll(out);
    for (std::int64_t i = 0; i < ChildCount(choices); ++i) {
        if (i) out += u"、";
        std::string_view bytes;
        if (StringBytes(ChildAt(choices, i), bytes)) AppendUtf8(out, bytes);
        else AppendShortValue(out, ChildAt(choices, i));
    }
}

// The parameters of the command in words; true when the code has a wording
// of its own (the others list their parameters as they are).
bool AppendWords(std::u16string& out, std::int64_t code, const Params& p) {
    switch (code) {
    case 101: case 401: case 108: case 408: case 355: case 655: case 118: case 119: case 222:
        p.AppendText(out, 0);
        return true;
    case 102: AppendChoices(out, p); return true;
    case 402: out += u'['; p.AppendText(out, 1); out += u"] 的场合"; return true;
    case 103: out += u"变量 "; p.AppendId(out, 0); out += u"，"; p.AppendInt(out, 1); out += u" 位"; return true;
    case 105: out += u"变量 "; p.AppendId(out, 0); return true;
    case 106: p.AppendInt(out, 0); out += u" 帧"; return true;
    case 111: AppendCondition(out, p); return true;
    case 117: p.AppendId(out, 0); return true;
    case 121: AppendRange(out, p); out += u" = "; p.AppendChoice(out, 2, kOnOff); return true;
    case 122: AppendVariableOperation(out, p); return true;
    case 123: p.AppendText(out, 0); out += u" = "; p.AppendChoice(out, 1, kOnOff); return true;
    case 124:
        p.AppendChoice(out, 0, {u"开始 ", u"停止"});
        if (std::int64_t start; p.Int(0, start) && start == 0) { p.AppendInt(out, 1); out += u" 秒"; }
        return true;
    case 125: AppendChange(out, p, 0); return true;
    case 126: case 127: case 128:
        p.AppendId(out, 0);
        out += u' ';
        AppendChange(out, p, 1);
        return true;
    case 129: p.AppendChoice(out, 1, {u"加入 ", u"离开 "}); p.AppendId(out, 0); return true;
    case 201: AppendTransfer(out, p); return true;
    case 207: AppendCharacter(out, p, 0); out += u"，动画 "; p.AppendId(out, 1); return true;
    case 209: AppendCharacter(out, p, 0); return true;
    case 202:
        AppendCharacter(out, p, 0);
        // [character, how (0 a place, 1 variables, 2 another event's place), x, y, direction]
        if (std::int64_t how; p.Int(1, how) && how == 1) {
            out += u"，由变量 ";
            p.AppendId(out, 2);
            p.AppendId(out, 3);
            out += u" 指定";
        }
        return true;
    case 223: case 224: case 234:
        if (code == 234) { out += u"编号 "; p.AppendInt(out, 0); out += u"，"; }
        AppendShortValue(out, p.At(code == 234 ? 1 : 0));
        out += u"，";
        p.AppendInt(out, code == 234 ? 2 : 1);
        out += u" 帧";
        return true;
    case 225: out += u"强度 "; p.AppendInt(out, 0); out += u"，速度 "; p.AppendInt(out, 1); out += u"，"; p.AppendInt(out, 2); out += u" 帧"; return true;
    case 231: out += u"编号 "; p.AppendInt(out, 0); out += u"，"; p.AppendText(out, 1); out += u" ("; p.AppendInt(out, 4); out += u", "; p.AppendInt(out, 5); out += u')'; return true;
    case 232: out += u"编号 "; p.AppendInt(out, 0); out += u"，"; p.AppendInt(out, 1); out += u" 帧 ("; p.AppendInt(out, 4); out += u", "; p.AppendInt(out, 5); out += u')'; return true;
    case 233: out += u"编号 "; p.AppendInt(out, 0); out += u"，速度 "; p.AppendInt(out, 1); return true;
    case 235: out += u"编号 "; p.AppendInt(out, 0); return true;
    case 236: p.AppendChoice(out, 0, {u"无", u"雨", u"风暴", u"雪"}); out += u"，强度 "; p.AppendInt(out, 1); out += u"，"; p.AppendInt(out, 2); out += u" 帧"; return true;
    case 241: case 245: case 249: case 250: AppendShortValue(out, p.At(0)); return true;
    case 242: case 246: p.AppendInt(out, 0); out += u" 秒"; return true;
    case 301:
        out += u"敌人队伍 ";
        p.AppendId(out, 0);
        if (const MarshalNode* n = Unwrapped(p.At(1)); n && n->type == 'T') out += u"，可以逃跑";
        if (const MarshalNode* n = Unwrapped(p.At(2)); n && n->type == 'T') out += u"，失败时继续";
        return true;
    case 302: case 605: p.AppendChoice(out, 0, {u"物品 ", u"武器 ", u"防具 "}); p.AppendId(out, 1); return true;
    case 303: AppendActor(out, p, 0); out += u"，最多 "; p.AppendInt(out, 1); out += u" 字"; return true;
    case 311: case 312: case 315: case 316: AppendActor(out, p, 0); out += u' '; AppendChange(out, p, 1); return true;
    case 313: AppendActor(out, p, 0); out += u' '; p.AppendChoice(out, 1, {u"附加 ", u"解除 "}); out += u"状态 "; p.AppendId(out, 2); return true;
    case 314: AppendActor(out, p, 0); return true;
    case 317: AppendActor(out, p, 0); out += u" 能力 "; p.AppendInt(out, 1); out += u' '; AppendChange(out, p, 2); return true;
    case 318: AppendActor(out, p, 0); out += u' '; p.AppendChoice(out, 1, {u"学会 ", u"遗忘 "}); out += u"技能 "; p.AppendId(out, 2); return true;
    case 319: AppendActor(out, p, 0); out += u" 装备栏 "; p.AppendInt(out, 1); out += u" = "; p.AppendId(out, 2); return true;
    case 320: case 322: AppendActor(out, p, 0); out += u" = "; p.AppendText(out, 1); return true;
    case 321: AppendActor(out, p, 0); out += u" 职业 = "; p.AppendId(out, 1); return true;
    case 331: case 332: AppendEnemy(out, p, 0); out += u' '; AppendChange(out, p, 1); return true;
    case 333: AppendEnemy(out, p, 0); out += u' '; p.AppendChoice(out, 1, {u"附加 ", u"解除 "}); out += u"状态 "; p.AppendId(out, 2); return true;
    case 334: case 335: AppendEnemy(out, p, 0); return true;
    case 336: AppendEnemy(out, p, 0); out += u" 变为 "; p.AppendId(out, 1); return true;
    case 337: AppendBattler(out, p, 0); out += u"，动画 "; p.AppendId(out, 2); return true;
    case 338: AppendBattler(out, p, 0); out += u"，伤害 "; AppendOperand(out, p, 2); return true;
    case 339: {
        // [battler type, place, kind (0 basic, 1 skill), what, target, now]
        std::int64_t kind = 0, target = 0;
        AppendBattler(out, p, 0);
        out += u"：";
        if (p.Int(2, kind) && kind == 1) {
            out += u"技能 ";
            p.AppendId(out, 3);
        } else {
            p.AppendChoice(out, 3, {u"攻击", u"防御", u"逃跑", u"什么也不做"});
        }
        out += u"，目标 ";
        if (p.Int(4, target) && target == -2) out += u"最后的目标";
        else if (target == -1) out += u"随机";
        else p.AppendInt(out, 4);
        if (std::int64_t now = 0; p.Int(5, now) && now == 1) out += u"，立即执行";
        return true;
    }
    case 509: {
        const MarshalNode* move = p.At(0);
        std::int64_t moveCode;
        if (!IntegerValue(InstanceVariable(move, "code"), moveCode)) return false;
        out += u"$>代码 ";
        ::AppendInt(out, moveCode);
        Params moveParams(InstanceVariable(move, "parameters"));
        if (moveParams.Count()) { out += u"："; moveParams.AppendAll(out); }
        return true;
    }
    default: return false;
    }
}
}  // namespace

bool IsEventCommand(const MarshalNode* node) {
    return InstanceVariable(node, "code") && InstanceVariable(node, "indent") && InstanceVariable(node, "parameters");
}

bool IsEventCommandList(const MarshalNode* node) {
    node = Unwrapped(node);
    if (!node || node->type != '[' || node->count < 1) return false;
    for (std::int64_t i = 0; i < ChildCount(node); ++i)
        if (!IsEventCommand(ChildAt(node, i))) return false;
    return true;
}

std::u16string EventCommandLine(const MarshalNode* command, const GameNames* names) {
    std::u16string line;
    std::int64_t indent = 0, code = -1;
    bool indentIsNumber = IntegerValue(InstanceVariable(command, "indent"), indent);
    line.append(2 * static_cast<std::size_t>(std::clamp<std::int64_t>(indent, 0, kMaxShownIndent)), u' ');
    if (!indentIsNumber || indent < 0 || indent > kMaxShownIndent) {
        line += u"[缩进 ";
        AppendShortValue(line, InstanceVariable(command, "indent"));
        line += u"] ";
    }
    const bool codeIsNumber = IntegerValue(InstanceVariable(command, "code"), code);
    const char16_t* name = codeIsNumber ? EventCommandName(code) : nullptr;
    const Params params(InstanceVariable(command, "parameters"), names, code);
    // Branches and continuations sit under the command they belong to.
    line += name && code >= 400 ? u"：" : u"◆";
    if (code == 0 && codeIsNumber) return line;
    if (!name) {
        line += u"代码 ";
        AppendShortValue(line, InstanceVariable(command, "code"));
        if (params.Count()) line += u"：";
        params.AppendAll(line);
        return line;
    }
    std::u16string words;
    const MarshalNode* list = Unwrapped(InstanceVariable(command, "parameters"));
    if (!list || list->type != '[') {
        words = u"（参数不是数组：";
        AppendShortValue(words, list);
        words += u"）";
    } else if (!AppendWords(words, code, params)) {
        params.AppendAll(words);
    }
    // A continuation or a choice branch is its words alone.
    if (code == 401 || code == 408 || code == 655 || code == 605 || code == 509 || code == 402) return line + words;
    line += name;
    if (!words.empty()) line += u"：" + words;
    return line;
}
