// Buffered UTF-8 output of quarnix-dump, with the escapes that keep one
// field on one line.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

// Buffered UTF-8 output with the escapes that keep one field on one line.
// Dumps of big maps run to hundreds of megabytes, so a field is converted
// in one tight loop straight into the buffer, with room made for it first.
class Output {
public:
    Output() : buffer_(new char[kSize]) {}
    ~Output() {
        Flush();
        delete[] buffer_;
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void Raw(char c) {
        Reserve(1);
        buffer_[used_++] = c;
    }
    void Field(std::u16string_view text) {
        // At most four bytes per unit: "\x1f" or a three-byte UTF-8 form
        // (a surrogate pair, two units, gives four bytes).
        if (text.size() > kSize / 4) {
            Field(text.substr(0, kSize / 8));
            Field(text.substr(kSize / 8));
            return;
        }
        Reserve(text.size() * 4);
        char* out = buffer_ + used_;
        const char16_t* units = text.data();
        for (std::size_t i = 0; i < text.size(); ++i) {
            // Runs of printable ASCII, eight units at a time.
            while (i + 8 <= text.size() && PrintableAscii8(units + i)) {
                for (int k = 0; k < 8; ++k) out[k] = static_cast<char>(units[i + k]);
                out += 8;
                i += 8;
            }
            if (i >= text.size()) break;
            char32_t c = text[i];
            if (c >= 0x20 && c < 0x7F && c != '\\') {
                *out++ = static_cast<char>(c);
                continue;
            }
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                c = 0xFFFD;
            }
            out = Escaped(out, c);
        }
        used_ = static_cast<std::size_t>(out - buffer_);
    }
    // The field as Field writes it, kept for writing again with Bytes (an
    // item's path starts every row of its list); false when it is too long
    // to keep and is to be written afresh.
    bool FieldKept(std::u16string_view text, std::string& kept) {
        if (text.size() > kSize / 4) {
            Field(text);
            return false;
        }
        Reserve(text.size() * 4);
        std::size_t start = used_;
        Field(text);
        kept.assign(buffer_ + start, used_ - start);
        return true;
    }
    void Bytes(std::string_view bytes) {
        if (bytes.size() > kSize) {
            Flush();
            std::fwrite(bytes.data(), 1, bytes.size(), stdout);
            return;
        }
        Reserve(bytes.size());
        std::memcpy(buffer_ + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
    }
    void Flush() {
        if (used_) std::fwrite(buffer_, 1, used_, stdout);
        used_ = 0;
    }

private:
    static constexpr std::size_t kSize = std::size_t{1} << 20;

    // True when all eight units are printable ASCII other than '\\'.
    static bool PrintableAscii8(const char16_t* u) {
        std::uint64_t a, b;
        std::memcpy(&a, u, 8);
        std::memcpy(&b, u + 4, 8);
        constexpr std::uint64_t kHigh = 0xFF80FF80FF80FF80ull;   // a unit of 0x80 or more
        constexpr std::uint64_t kOnes = 0x0001000100010001ull;
        auto anyBelow = [](std::uint64_t v, std::uint64_t n) { return (v - kOnes * n) & ~v & (kOnes << 15); };
        auto anyEqual = [&](std::uint64_t v, std::uint64_t n) { return anyBelow(v ^ (kOnes * n), 1); };
        std::uint64_t bad = ((a | b) & kHigh) | anyBelow(a, 0x20) | anyBelow(b, 0x20) | anyEqual(a, 0x7F) |
                            anyEqual(b, 0x7F) | anyEqual(a, '\\') | anyEqual(b, '\\');
        return bad == 0;
    }
    void Reserve(std::size_t bytes) {
        if (kSize - used_ < bytes) Flush();
    }
    static char* Escaped(char* out, char32_t c) {
        static const char hex[] = "0123456789abcdef";
        switch (c) {
        case '\\': *out++ = '\\'; *out++ = '\\'; return out;
        case '\t': *out++ = '\\'; *out++ = 't'; return out;
        case '\n': *out++ = '\\'; *out++ = 'n'; return out;
        case '\r': *out++ = '\\'; *out++ = 'r'; return out;
        default: break;
        }
        if (c < 0x20 || c == 0x7F) {
            *out++ = '\\';
            *out++ = 'x';
            *out++ = hex[c >> 4];
            *out++ = hex[c & 15];
        } else if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | (c >> 6));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *out++ = static_cast<char>(0xE0 | (c >> 12));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | (c >> 18));
            *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        }
        return out;
    }
    char* buffer_;
    std::size_t used_ = 0;
};
