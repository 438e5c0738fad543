#include "lens/reading.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string_view>

#include "lens/color_reading.h"
#include "lens/event_commands.h"
#include "lens/inflate_bounded.h"
#include "lens/node_access.h"
#include "lens/number_text.h"
#include "present/labels.h"
#include "present/text.h"
#include "present/value_text.h"

namespace {
constexpr std::int64_t kChildrenShown = 8;

// The row stops at a NUL and shows line breaks as escapes: the reading of
// such a string says the rest.
bool StringTells(std::string_view bytes) {
    return bytes.find_first_of(std::string_view("\n\0", 2)) != std::string_view::npos;
}

// Splits UTF-8 text into lines at "\n", dropping the "\r" of "\r\n" (the
// script editor saves Windows line breaks).  A NUL shows as "␀".
// Each line is converted on its own: no byte of a UTF-8 sequence is a line
// break, and a sequence cut short by one decodes as it would in the whole.
void AppendTextLines(std::vector<std::u16string>& lines, std::string_view bytes) {
    lines.reserve(lines.size() + static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    std::size_t start = 0;
    for (;;) {
        std::size_t end = bytes.find('\n', start);
        std::string_view line = bytes.substr(start, (end == std::string_view::npos ? bytes.size() : end) - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::u16string& out = lines.emplace_back(Utf8ToU16(line.data(), line.size()));
        if (line.find('\0') != std::string_view::npos)
            for (char16_t& c : out)
                if (c == 0) c = u'␀';
        if (end == std::string_view::npos) break;
        start = end + 1;
        if (start == bytes.size()) break;  // a final line break ends the last line, it starts none
    }
}

void ReadString(Reading& r, std::string_view bytes) {
    if (LooksLikeZlib(bytes)) {
        std::string source;
        InflateStatus status = InflateBounded(bytes, InflateLimits{}, source);
        if (status == InflateStatus::kOk || status == InflateStatus::kTrailing) {
            r.kind = ReadingKind::kScript;
            r.telling = true;
            if (const char16_t* problem = InflateProblem(status)) r.problem = problem;
            r.summary = u"脚本（解压后 ";
            AppendInt(r.summary, static_cast<std::int64_t>(source.size()));
            r.summary += u" 字节）";
            if (!source.empty()) AppendTextLines(r.lines, source);
            return;
        }
        r.kind = ReadingKind::kBytes;
        r.telling = true;
        r.problem = InflateProblem(status);
        r.summary = u"字符串，";
        AppendInt(r.summary, static_cast<std::int64_t>(bytes.size()));
        r.summary += u" 字节";
        AppendHexLines(r.lines, bytes);
        return;
    }
    r.summary = u"字符串，";
    AppendInt(r.summary, static_cast<std::int64_t>(bytes.size()));
    r.summary += u" 字节";
    r.telling = StringTells(bytes);
    AppendTextLines(r.lines, bytes);
}

bool ReadUserDump(Reading& r, const MarshalNode* node) {
    std::string_view bytes;
    if (!UserDumpBytes(node, nullptr, bytes)) return false;
    const std::string_view name = ClassName(node);
    r.telling = true;
    if (name == "Table" && ReadTableGrid(bytes, r.table, r.problem)) {
        r.kind = ReadingKind::kTable;
        r.summary = TableSummary(r.table);
        return true;
    }
    if ((name == "Color" || name == "Tone") && ReadFourDoubles(bytes, r.components, r.problem)) {
        r.kind = name == "Color" ? ReadingKind::kColor : ReadingKind::kTone;
        r.summary = FourDoublesText(name == "Color" ? u"Color" : u"Tone", r.components);
        return true;
    }
    r.kind = ReadingKind::kBytes;
    r.summary = Utf8ToU16(name.data(), name.size());
    r.summary += u" 的导出数据，";
    AppendInt(r.summary, static_cast<std::int64_t>(bytes.size()));
    r.summary += u" 字节";
    AppendHexLines(r.lines, bytes);
    return true;
}

void ReadEventList(Reading& r, const MarshalNode* list, const GameNames* names) {
    r.kind = ReadingKind::kEventList;
    r.telling = true;
    r.summary = u"事件指令，";
    AppendInt(r.summary, ChildCount(list));
    r.summary += u" 条";
    for (std::int64_t i = 0; i < ChildCount(list); ++i) {
        r.lines.push_back(EventCommandLine(ChildAt(list, i), names));
        r.lineChild.push_back(i);
    }
}

void ReadContainer(Reading& r, const MarshalNode* node, const GameNames* names) {
    r.kind = ReadingKind::kContainer;
    r.summary = TypeName(node->type);
    const std::string_view name = ClassName(node);
    if (!name.empty()) r.summary += u" " + Utf8ToU16(name.data(), name.size());
    r.summary += u"，";
    AppendInt(r.summary, ChildCount(node));
    r.summary += u" 个子项";
    if (IsEventCommand(node)) r.lines.push_back(EventCommandLine(node, names));
    if (std::u16string conditions = PageConditionText(node, names); !conditions.empty())
        r.lines.push_back(u"条件：" + conditions);
    for (std::int64_t i = 0; i < ChildCount(node) && i < kChildrenShown; ++i) {
        const MarshalNode* child = ChildAt(node, i);
        LabelBuffer buffer;
        Text label = ChildLabel(node, i, buffer);
        std::u16string line = label.text ? label.text : u"";
        FreeText(label);
        line += u"：";
        AppendShortValue(line, child);
        r.lines.push_back(std::move(line));
    }
    if (ChildCount(node) > kChildrenShown) r.lines.push_back(u"…");
}

void ReadScalar(Reading& r, const MarshalNode* node) {
    r.summary = TypeName(node->type);
    std::u16string line;
    if (node->type == 'l') {
        r.telling = true;
        line = u"十进制：";
        AppendBignumDecimal(line, node);
        r.lines.push_back(std::move(line));
        char16_t* hex = BignumHexText(node);
        r.lines.push_back(std::u16string(u"十六进制：") + (hex ? hex : u""));
        std::free(hex);
        return;
    }
    if (node->type == 'f' && !node->class_symbol.marker) {
        AppendRubyFloat(line, node->data.real);
        r.lines.push_back(std::move(line));
        return;
    }
    AppendShortValue(line, node);
    r.lines.push_back(std::move(line));
}

void Read(Reading& r, const MarshalNode* node, const GameNames* names) {
    std::string_view bytes;
    if (StringBytes(node, bytes)) return ReadString(r, bytes);
    if (ReadUserDump(r, node)) return;
    if (IsEventCommandList(node)) return ReadEventList(r, Unwrapped(node), names);
    node = Unwrapped(node);
    if (!node) return void(r.summary = u"无效的链接");
    if (IsContainerType(node->type)) return ReadContainer(r, node, names);
    ReadScalar(r, node);
}
}  // namespace

Reading ReadNode(const MarshalNode* node, const GameNames* names) {
    Reading r;
    try {
        Read(r, node, names);
    } catch (const std::bad_alloc&) {
        r = Reading{};
        r.problem = u"内存不足，无法显示";
    }
    return r;
}

bool ReadingTells(const MarshalNode* node) {
    std::string_view bytes;
    if (StringBytes(node, bytes)) return LooksLikeZlib(bytes) || StringTells(bytes);
    if (UserDumpBytes(node, nullptr, bytes) || IsEventCommandList(node)) return true;
    node = Unwrapped(node);
    return node && node->type == 'l';
}

std::vector<std::u16string> ReadingTextLines(const Reading& r) {
    std::vector<std::u16string> lines;
    // A script, an event page and a scalar are their lines; the summary of a
    // scalar is only its type, which the row shows already.
    if (r.kind != ReadingKind::kScript && r.kind != ReadingKind::kEventList && r.kind != ReadingKind::kValue)
        lines.push_back(r.summary);
    if (!r.problem.empty()) lines.push_back(r.problem);
    if (r.kind == ReadingKind::kTable) {
        for (std::int64_t k = 0; k < r.table.z; ++k) {
            std::u16string layer = u"z = ";
            AppendInt(layer, k);
            lines.push_back(std::move(layer));
            AppendTableLayerLines(r.table, k, lines);
        }
    }
    lines.insert(lines.end(), r.lines.begin(), r.lines.end());
    return lines;
}
