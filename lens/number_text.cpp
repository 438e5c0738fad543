#include "lens/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

void AppendInt(std::u16string& out, std::int64_t value) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    AppendAscii(out, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void AppendAscii(std::u16string& out, std::string_view text) {
    for (char c : text) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
}

void AppendRubyFloat(std::u16string& out, double value) {
    if (std::isnan(value)) return AppendAscii(out, "NaN");
    if (std::isinf(value)) return AppendAscii(out, value < 0 ? "-Infinity" : "Infinity");
    // The shortest round-trip digits and the decimal exponent, as "d.ddde±x".
    char sci[40];
    auto end = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific).ptr;
    std::string_view s(sci, static_cast<std::size_t>(end - sci));
    std::string sign;
    if (s.front() == '-') {
        sign = "-";
        s.remove_prefix(1);
    }
    const std::size_t e = s.find('e');
    std::string digits;
    for (char c : s.substr(0, e))
        if (c != '.') digits.push_back(c);
    int exponent = 0;
    std::from_chars(s.data() + e + 1 + (s[e + 1] == '+'), s.data() + s.size(), exponent);
    const int point = exponent + 1;  // digits before the decimal point
    std::string text = sign;
    if (point > 15 || point < -3) {
        // Ruby writes 16 digits before the point or 5 after it in exponent
        // form: below 1e-4 and from 1e15 up (1e15 is "1.0e+15").
        text += digits.substr(0, 1) + "." + (digits.size() > 1 ? digits.substr(1) : "0");
        char exp[16];
        std::snprintf(exp, sizeof exp, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        text += exp;
    } else if (point <= 0) {
        text += "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (static_cast<std::size_t>(point) >= digits.size()) {
        text += digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0') + ".0";
    } else {
        text += digits.substr(0, static_cast<std::size_t>(point)) + "." + digits.substr(static_cast<std::size_t>(point));
    }
    AppendAscii(out, text);
}

void AppendBignumDecimal(std::u16string& out, const MarshalNode* bignum) {
    if (!bignum || bignum->type != 'l' || !bignum->data.bytes || bignum->count < 1) return;
    // Magnitude bytes, little-endian, after the sign byte; repeated division
    // by 10^9 gives the decimal digits nine at a time.
    const auto* bytes = reinterpret_cast<const unsigned char*>(bignum->data.bytes);
    std::vector<std::uint32_t> words;
    for (std::int32_t i = bignum->count - 1; i >= 1; --i) words.push_back(bytes[i]);  // most significant first
    std::vector<std::uint32_t> chunks;
    while (!words.empty()) {
        std::uint64_t rest = 0;
        std::vector<std::uint32_t> quotient;
        for (std::uint32_t w : words) {
            std::uint64_t cur = (rest << 8) | w;
            std::uint32_t q = static_cast<std::uint32_t>(cur / 1000000000u);
            rest = cur % 1000000000u;
            if (!quotient.empty() || q) quotient.push_back(q);
        }
        chunks.push_back(static_cast<std::uint32_t>(rest));
        words.swap(quotient);
    }
    if (bytes[0] == '-' && !chunks.empty()) out.push_back(u'-');
    if (chunks.empty()) return out.push_back(u'0');
    AppendInt(out, chunks.back());
    for (std::size_t i = chunks.size() - 1; i-- > 0;) {
        char nine[16];
        std::snprintf(nine, sizeof nine, "%09u", static_cast<unsigned>(chunks[i]));
        AppendAscii(out, nine);
    }
}

void AppendHexLines(std::vector<std::u16string>& lines, std::string_view bytes) {
    static const char kHex[] = "0123456789abcdef";
    const std::size_t shown = std::min(bytes.size(), kHexBytesShown);
    for (std::size_t at = 0; at < shown; at += 16) {
        char line[80];
        std::snprintf(line, sizeof line, "%08zx ", at);
        std::string text = line;
        std::string ascii;
        for (std::size_t i = at; i < at + 16; ++i) {
            if (i < bytes.size()) {
                unsigned b = static_cast<unsigned char>(bytes[i]);
                text += ' ';
                text += kHex[b >> 4];
                text += kHex[b & 15];
                ascii += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.';
            } else {
                text += "   ";
            }
            if (i == at + 7) text += ' ';
        }
        text += "  |" + ascii + "|";
        std::u16string wide;
        AppendAscii(wide, text);
        lines.push_back(std::move(wide));
    }
    if (shown < bytes.size()) {
        std::u16string more = u"……共 ";
        AppendInt(more, static_cast<std::int64_t>(bytes.size()));
        more += u" 字节，只显示前 ";
        AppendInt(more, static_cast<std::int64_t>(shown));
        lines.push_back(more + u" 字节");
    }
}
