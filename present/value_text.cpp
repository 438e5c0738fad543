#include "present/value_text.h"

#include <cstddef>
#include <cstdlib>

#include "present/format_bounded.h"

// The texts below are written in UTF-8 source; a compiler reading the file
// in another code page would silently garble every Chinese name.
static_assert(u"空"[0] == 0x7A7A && u"空"[1] == 0, "compile the sources as UTF-8");

const char16_t* TypeName(std::uint8_t type) {
    switch (type) {
    case '0': return u"空";
    case 'T': case 'F': return u"布尔";
    case 'i': return u"整数";
    case 'l': return u"长整数";
    case 'f': return u"浮点数";
    case '"': return u"字符串";
    case '/': return u"正则表达式";
    case ':': return u"符号";
    case ';': return u"符号链接";
    case '[': return u"数组";
    case '{': case '}': return u"哈希表";
    case 'o': return u"对象";
    case 'S': return u"结构体";
    case 'C': case 'I': return u"扩展对象";
    case 'u': return u"二进制数据";
    case 'U': return u"自定义导出数据";
    case 'c': return u"类";
    case 'm': return u"模块";
    case '@': return u"链接";
    default: return u"未知类型";
    }
}

char16_t* BignumHexText(const MarshalNode* node) {
    if (!node || node->type != 'l' || !node->data.bytes || node->count < 1) return nullptr;
    const auto* bytes = reinterpret_cast<const unsigned char*>(node->data.bytes);
    const std::size_t n = static_cast<std::size_t>(node->count);
    const bool negative = bytes[0] == '-';
    // Sign, "0x", two digits for each magnitude byte, NUL: the longest result.
    auto* text = static_cast<char16_t*>(std::malloc((2 * n + (negative ? 2 : 1)) * sizeof(char16_t)));
    if (!text) return nullptr;
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    char16_t* out = text;
    if (negative) *out++ = u'-';
    *out++ = u'0';
    *out++ = u'x';
    bool started = false;
    for (std::size_t i = n - 1; i >= 1; --i) {
        unsigned b = bytes[i];
        if (!started) {
            // Leading zeros go: zero bytes whole, then a zero high digit.
            if (b == 0) continue;
            if (b >> 4) *out++ = kDigits[b >> 4];
            started = true;
        } else {
            *out++ = kDigits[b >> 4];
        }
        *out++ = kDigits[b & 0xF];
    }
    *out = u'\0';
    return text;
}

namespace {
Text FloatText(const MarshalNode* node, LabelBuffer& buffer) {
    switch (node->class_symbol.marker) {
    case '+': return StaticText(u"+∞");
    case '-': return StaticText(u"-∞");
    case '?': return StaticText(u"NaN");
    default: return Utf8ToText(node->text, buffer);  // as stored: "1.5" stays "1.5"
    }
}
}  // namespace

Text ValueText(const MarshalNode* node, LabelBuffer& buffer) {
    if (!node) return NoText();
    switch (node->type) {
    case '0': return StaticText(u"nil");
    case 'T': return StaticText(u"true");
    case 'F': return StaticText(u"false");
    case 'i':
        FormatBounded(buffer, kLabelBufferUnits, u"%ld", static_cast<long>(FixnumValue(node)));
        return BufferText(buffer);
    case 'l': return HeapText(BignumHexText(node));
    case 'f': return FloatText(node, buffer);
    case '"': case '/': return Utf8ToText(node->data.bytes, buffer);
    case ':': case ';': case 'c': case 'm':
    case 'o': case 'S': case 'C': case 'U': case 'u': case 'I':
        return Utf8ToText(node->name, buffer);  // none for a half-built node
    default: return NoText();
    }
}
