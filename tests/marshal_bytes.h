// Builds Marshal 4.8 byte strings for tests, so that a vector reads as the
// value it encodes: Arr({Int(1), Str("a")}) rather than raw bytes.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace mb {

inline std::string Packed(std::int32_t v) {
    if (v == 0) return std::string(1, '\0');
    if (v > 0 && v < 123) return std::string(1, static_cast<char>(v + 5));
    if (v < 0 && v > -124) return std::string(1, static_cast<char>(v - 5));
    std::string bytes;
    auto u = static_cast<std::uint32_t>(v);
    int n = 0;
    if (v > 0) {
        while (u) { bytes += static_cast<char>(u & 0xFF); u >>= 8; ++n; }
        return std::string(1, static_cast<char>(n)) + bytes;
    }
    // As Ruby writes it: bytes until what is left is all ones.
    std::int64_t x = v;
    do {
        bytes += static_cast<char>(x & 0xFF);
        x >>= 8;
        ++n;
    } while (x != -1 && n < 4);
    return std::string(1, static_cast<char>(-n)) + bytes;
}

inline std::string Dump(const std::string& value) { return std::string("\x04\x08", 2) + value; }
inline std::string Nil() { return "0"; }
inline std::string True() { return "T"; }
inline std::string Int(std::int32_t v) { return "i" + Packed(v); }
inline std::string Str(const std::string& s) { return "\"" + Packed(static_cast<std::int32_t>(s.size())) + s; }
inline std::string Sym(const std::string& s) { return ":" + Packed(static_cast<std::int32_t>(s.size())) + s; }
inline std::string SymLink(int n) { return ";" + Packed(n); }
inline std::string Link(int n) { return "@" + Packed(n); }
inline std::string Float(const std::string& text) { return "f" + Packed(static_cast<std::int32_t>(text.size())) + text; }

inline std::string Arr(std::initializer_list<std::string> items) {
    std::string out = "[" + Packed(static_cast<std::int32_t>(items.size()));
    for (const auto& i : items) out += i;
    return out;
}
// Pairs of key and value; with a default, '}' and the default last.
inline std::string Hash(std::initializer_list<std::pair<std::string, std::string>> pairs) {
    std::string out = "{" + Packed(static_cast<std::int32_t>(pairs.size()));
    for (const auto& [k, v] : pairs) out += k + v;
    return out;
}
inline std::string HashDef(std::initializer_list<std::pair<std::string, std::string>> pairs, const std::string& def) {
    std::string out = "}" + Packed(static_cast<std::int32_t>(pairs.size()));
    for (const auto& [k, v] : pairs) out += k + v;
    return out + def;
}
// An object: the class name and the entries as (name symbol bytes, value).
inline std::string Obj(const std::string& className, std::initializer_list<std::pair<std::string, std::string>> entries, char type = 'o') {
    std::string out = std::string(1, type) + className + Packed(static_cast<std::int32_t>(entries.size()));
    for (const auto& [k, v] : entries) out += k + v;
    return out;
}
inline std::string Ivar(const std::string& value, std::initializer_list<std::pair<std::string, std::string>> entries) {
    std::string out = "I" + value + Packed(static_cast<std::int32_t>(entries.size()));
    for (const auto& [k, v] : entries) out += k + v;
    return out;
}
inline std::string UserClass(const std::string& className, const std::string& value) { return "C" + className + value; }
inline std::string UserMarshal(const std::string& className, const std::string& value) { return "U" + className + value; }
inline std::string UserDump(const std::string& className, const std::string& bytes) {
    return "u" + className + Packed(static_cast<std::int32_t>(bytes.size())) + bytes;
}

}  // namespace mb
