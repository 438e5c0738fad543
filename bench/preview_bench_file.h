// The file the preview benchmarks open, made in memory: an array of a
// deflated Ruby-like script of about 1 MB and a 500 x 500 x 3 Table.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <string>

namespace preview_bench {
// Marshal's packed length for n >= 123.
inline std::string Length(std::size_t n) {
    std::string bytes;
    for (std::size_t v = n; v; v >>= 8) bytes += static_cast<char>(v & 0xFF);
    return static_cast<char>(bytes.size()) + bytes;
}

// Ruby-like source of about 1 MB, varied enough to compress as code does.
inline std::string Script() {
    std::string s;
    for (int i = 0; s.size() < (1u << 20); ++i) {
        s += "  # 第" + std::to_string(i) + "行的注释\n";
        s += "  def method_" + std::to_string(i * 7919 % 100003) + "(a, b = :sym_" + std::to_string(i % 97) + ")\n";
        s += "    @value_" + std::to_string(i % 13) + " = \"text " + std::to_string(i * 31 % 1009) + "\" if a > " +
             std::to_string(i % 256) + "\n  end\n";
    }
    return s;
}

inline std::string Deflated(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
              static_cast<uLong>(data.size()), 9);
    out.resize(size);
    return out;
}

inline std::string TableBytes(int x, int y, int z) {
    std::string b;
    for (std::int32_t v : {3, x, y, z, x * y * z})
        for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
    for (int i = 0; i < x * y * z; ++i) {
        const int v = 384 + (i * 7) % 48;
        b += static_cast<char>(v & 0xFF);
        b += static_cast<char>(v >> 8);
    }
    return b;
}

// [script, table] as the bytes of a Marshal file.
inline std::string FileBytes() {
    const std::string code = Deflated(Script()), table = TableBytes(500, 500, 3);
    std::string file = "\x04\x08[\x07";
    file += '"' + Length(code.size()) + code;
    file += "u:\x0aTable" + Length(table.size()) + table;
    return file;
}
}  // namespace preview_bench
