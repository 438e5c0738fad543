// A strict JSON checker for the tests (RFC 8259 grammar, UTF-8 checked),
// iterative so that documents nested a hundred thousand levels deep pass
// through it; says where the text first goes wrong.
#pragma once
#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace json_check {

// The offset of the first byte that is not valid JSON, or -1 when the whole
// text is one valid JSON value (surrounded by optional white space).
inline long FirstError(const std::string& s) {
    std::size_t i = 0;
    std::vector<char> open;  // '[' or '{'
    auto ws = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
    };
    auto string = [&]() -> bool {
        if (i >= s.size() || s[i] != '"') return false;
        ++i;
        while (i < s.size()) {
            auto c = static_cast<unsigned char>(s[i]);
            if (c == '"') return ++i, true;
            if (c < 0x20) return false;
            if (c == '\\') {
                if (++i >= s.size()) return false;
                char e = s[i];
                if (e == 'u') {
                    for (int k = 1; k <= 4; ++k)
                        if (i + k >= s.size() || !std::isxdigit(static_cast<unsigned char>(s[i + k]))) return false;
                    i += 5;
                } else if (std::string("\"\\/bfnrt").find(e) != std::string::npos) {
                    ++i;
                } else {
                    return false;
                }
                continue;
            }
            if (c < 0x80) {
                ++i;
                continue;
            }
            // UTF-8: lead byte, then the right number of continuation bytes,
            // with no overlong forms, surrogates or values above U+10FFFF.
            int n = c >= 0xF0 && c <= 0xF4 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c <= 0xDF ? 1 : -1;
            if (n < 0 || (c >= 0xF5)) return false;
            unsigned low = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80, high = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
            for (int k = 1; k <= n; ++k) {
                if (i + k >= s.size()) return false;
                auto b = static_cast<unsigned char>(s[i + k]);
                if (b < low || b > high) return false;
                low = 0x80;
                high = 0xBF;
            }
            i += n + 1;
        }
        return false;
    };
    auto number = [&]() -> bool {
        std::size_t start = i;
        if (i < s.size() && s[i] == '-') ++i;
        if (i < s.size() && s[i] == '0') ++i;
        else if (i < s.size() && s[i] >= '1' && s[i] <= '9') while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
        else return false;
        if (i < s.size() && s[i] == '.') {
            if (++i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return false;
            while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
        }
        if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
            ++i;
            if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
            if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return false;
            while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
        }
        return i > start;
    };
    auto word = [&](const char* w) {
        std::string_view v(w);
        if (s.compare(i, v.size(), v) != 0) return false;
        i += v.size();
        return true;
    };
    for (;;) {
        // A value is expected here.
        ws();
        if (i >= s.size()) return static_cast<long>(i);
        char c = s[i];
        bool ok = true;
        if (c == '[' || c == '{') {
            open.push_back(c);
            ++i;
            ws();
            if (i < s.size() && s[i] == (c == '[' ? ']' : '}')) {
                open.pop_back();
                ++i;
            } else {
                if (c == '{') {
                    if (!string()) return static_cast<long>(i);
                    ws();
                    if (i >= s.size() || s[i] != ':') return static_cast<long>(i);
                    ++i;
                }
                continue;
            }
        } else if (c == '"') ok = string();
        else if (c == 't') ok = word("true");
        else if (c == 'f') ok = word("false");
        else if (c == 'n') ok = word("null");
        else ok = number();
        if (!ok) return static_cast<long>(i);
        // After a value: close containers or go on to the next element.
        for (;;) {
            ws();
            if (open.empty()) return i == s.size() ? -1 : static_cast<long>(i);
            if (i >= s.size()) return static_cast<long>(i);
            char close = open.back() == '[' ? ']' : '}';
            if (s[i] == close) {
                open.pop_back();
                ++i;
                continue;
            }
            if (s[i] != ',') return static_cast<long>(i);
            ++i;
            if (open.back() == '{') {
                ws();
                if (!string()) return static_cast<long>(i);
                ws();
                if (i >= s.size() || s[i] != ':') return static_cast<long>(i);
                ++i;
            }
            break;
        }
    }
}

}  // namespace json_check
