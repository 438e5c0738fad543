#include "present/text.h"

#include <cstddef>
#include <cstdlib>

void FreeText(Text text) {
    if (text.kind == TextKind::kHeap) std::free(const_cast<char16_t*>(text.text));
}

// MARK: UTF-8 to UTF-16

namespace {
constexpr char32_t kReplacement = 0xFFFD;

struct Decoded {
    char32_t code;
    int length;  // bytes consumed, at least 1
};

// Decodes the sequence that starts at a non-NUL byte.  A sequence that goes
// wrong consumes only the bytes that could still have begun a well-formed
// one (its maximal subpart) and yields one U+FFFD; the byte that broke it
// starts the next sequence.  The permitted range of the second byte rules out
// overlong forms (E0, F0), encoded surrogates (ED) and code points above
// U+10FFFF (F4); C0, C1 and F5..FF never begin a sequence.  A NUL falls
// outside every continuation range, so nothing is read past the terminator.
Decoded DecodeOne(const unsigned char* p) {
    unsigned lead = p[0];
    if (lead < 0x80) return {lead, 1};
    int trail;
    char32_t code;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trail = 1;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {kReplacement, 1};
    }
    for (int i = 1; i <= trail; ++i) {
        unsigned b = p[i];
        if (b < low || b > high) return {kReplacement, i};
        code = (code << 6) | (b & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return {code, trail + 1};
}

// Converts up to the first NUL, or up to `end` when given (NULs then become
// U+0000); counts only when `out` is none.  Returns the number of units
// without the terminator, which it does not write.
std::size_t ConvertUtf8(const unsigned char* p, char16_t* out, const unsigned char* end = nullptr) {
    std::size_t units = 0;
    while (end ? p < end : *p != 0) {
        if (end && *p < 0x80) {
            // A run of ASCII (most of a script), a unit a byte.
            const unsigned char* run = p;
            while (p < end && *p < 0x80) ++p;
            if (out)
                for (const unsigned char* b = run; b < p; ++b) out[units + static_cast<std::size_t>(b - run)] = *b;
            units += static_cast<std::size_t>(p - run);
            continue;
        }
        Decoded d = DecodeOne(p);
        p += d.length;
        if (d.code >= 0x10000) {
            if (out) {
                out[units] = static_cast<char16_t>(0xD800 + ((d.code - 0x10000) >> 10));
                out[units + 1] = static_cast<char16_t>(0xDC00 + (d.code & 0x3FF));
            }
            units += 2;
        } else {
            if (out) out[units] = static_cast<char16_t>(d.code);
            units += 1;
        }
    }
    return units;
}
}  // namespace

char16_t* Utf8ToWide(const char* utf8) {
    if (!utf8) return nullptr;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    // Measured first so the text is allocated exactly: UTF-8 of Chinese
    // takes three bytes a unit, so the byte count would waste two thirds.
    std::size_t units = ConvertUtf8(p, nullptr);
    auto* wide = static_cast<char16_t*>(std::malloc((units + 1) * sizeof(char16_t)));
    if (!wide) return nullptr;
    ConvertUtf8(p, wide);
    wide[units] = u'\0';
    return wide;
}

Text Utf8ToText(const char* utf8, LabelBuffer& buffer) {
    if (!utf8) return NoText();
    // A unit never takes fewer bytes than one, so a short text fits.
    std::size_t bytes = 0;
    while (bytes < kLabelBufferUnits && utf8[bytes]) ++bytes;
    if (bytes >= kLabelBufferUnits) return HeapText(Utf8ToWide(utf8));
    std::size_t units = ConvertUtf8(reinterpret_cast<const unsigned char*>(utf8), buffer);
    buffer[units] = u'\0';
    return BufferText(buffer);
}

std::u16string Utf8ToU16(const char* utf8, std::size_t length) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    std::u16string wide(ConvertUtf8(p, nullptr, p + length), u'\0');
    ConvertUtf8(p, wide.data(), p + length);
    return wide;
}

// MARK: UTF-16 to UTF-8

namespace {
// Converts up to the first NUL unit; counts only when `out` is none.
std::size_t ConvertWide(const char16_t* p, unsigned char* out) {
    std::size_t bytes = 0;
    auto put = [&](unsigned b) {
        if (out) out[bytes] = static_cast<unsigned char>(b);
        ++bytes;
    };
    while (*p) {
        char32_t code = *p++;
        if (code >= 0xD800 && code <= 0xDBFF && *p >= 0xDC00 && *p <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (*p++ - 0xDC00);
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = kReplacement;
        }
        if (code < 0x80) {
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | (code >> 6));
            put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | (code >> 12));
            put(0x80 | ((code >> 6) & 0x3F));
            put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | (code >> 18));
            put(0x80 | ((code >> 12) & 0x3F));
            put(0x80 | ((code >> 6) & 0x3F));
            put(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}
}  // namespace

char* WideToUtf8(const char16_t* wide) {
    if (!wide) return nullptr;
    std::size_t bytes = ConvertWide(wide, nullptr);
    auto* utf8 = static_cast<char*>(std::malloc(bytes + 1));
    if (!utf8) return nullptr;
    ConvertWide(wide, reinterpret_cast<unsigned char*>(utf8));
    utf8[bytes] = '\0';
    return utf8;
}
