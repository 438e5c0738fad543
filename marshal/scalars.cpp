// Readers of the values that hold no other values, and the small readers the
// composites are built from (packed integer, symbol reference, class prologue).
#include <cstdlib>
#include <cstring>
#include <locale.h>

#include "marshal/alloc.h"
#include "marshal/readers.h"

// MARK: packed integers and lengths

bool ReadPackedInt(MarshalStream* s, std::int8_t c, std::int32_t* out) {
    if (c == 0) {
        *out = 0;
        return true;
    }
    if (c >= 5) {
        *out = c - 5;
        return true;
    }
    if (c <= -5) {
        *out = c + 5;
        return true;
    }
    std::uint32_t v;
    if (c > 0) {
        v = 0;
        for (int i = 0; i < c; ++i) {
            std::uint32_t b = ReadByte(s);
            v |= b << (8 * i);
            if (s->eof) return false;
        }
    } else {
        v = 0xFFFFFFFFu;
        for (int i = 0; i < -c; ++i) {
            v &= ~(0xFFu << (8 * i));
            std::uint32_t b = ReadByte(s);
            v |= b << (8 * i);
            if (s->eof) return false;
        }
    }
    *out = static_cast<std::int32_t>(v);
    return true;
}

int ReadLength(MarshalStream* s, std::int32_t* out, bool allowNegative) {
    // Most lengths, counts and link numbers fit the one-byte forms.
    if (s->cur < s->end) {
        auto c = static_cast<std::int8_t>(*s->cur);
        if (c == 0 || c >= 5 || c <= -5) {
            ++s->cur;
            std::int32_t v = c == 0 ? 0 : (c > 0 ? c - 5 : c + 5);
            if (!allowNegative && v < 0) return kLoadBadData;
            *out = v;
            return kLoadOk;
        }
    }
    auto first = static_cast<std::int8_t>(ReadByte(s));
    if (s->eof) return kLoadBadData;
    if (!ReadPackedInt(s, first, out)) return kLoadBadData;
    if (!allowNegative && *out < 0) return kLoadBadData;
    return kLoadOk;
}

namespace {
// Reads a byte length n and obtains n + extra bytes for it, NUL at n.
int ReadSizedBuffer(MarshalStream* s, std::int32_t* n, std::size_t extra, char** out) {
    if (int rc = ReadLength(s, n, false); rc != kLoadOk) return rc;
    if (!FileCanHold(s, *n, 1)) return kLoadBadData;
    auto* buf = static_cast<char*>(DocAlloc(s->doc, static_cast<std::size_t>(*n) + extra));
    if (!buf) return kLoadNoMemory;
    buf[*n] = '\0';
    *out = buf;
    return kLoadOk;
}

int ReadInto(MarshalStream* s, void* dst, std::int64_t n) {
    if (n > 0) ReadBlock(s, dst, static_cast<std::uint64_t>(n));
    return s->eof ? kLoadBadData : kLoadOk;
}

double ParseFloatText(const char* text) {
    // The stored text is read as the C library's "%lg" reads it, whatever
    // locale the front end has set for its own purposes.
#if defined(__MINGW32__)
    // msvcrt's _strtod_l predates C99 and reads "inf", "nan" and hex texts
    // as 0; mingw's own strtod reads them, in the C locale, which no part
    // of the program ever changes.
    return std::strtod(text, nullptr);
#elif defined(_WIN32)
    static _locale_t c = _create_locale(LC_NUMERIC, "C");
    return _strtod_l(text, nullptr, c);
#else
    static locale_t c = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    return strtod_l(text, nullptr, c);
#endif
}
}  // namespace

// MARK: scalar readers

int ReadFixnum(MarshalStream* s, MarshalNode* node) {
    std::int32_t v;
    if (int rc = ReadLength(s, &v, true); rc != kLoadOk) return rc;
    node->data.bits = static_cast<std::uint32_t>(v);
    return kLoadOk;
}

int ReadBignum(MarshalStream* s, MarshalNode* node) {
    std::uint8_t sign = ReadByte(s);
    if (s->eof) return kLoadBadData;
    if (int rc = RegisterObject(s, node); rc != kLoadOk) return rc;
    std::int32_t words;
    if (int rc = ReadLength(s, &words, false); rc != kLoadOk) return rc;
    if (!FileCanHold(s, words, 2)) return kLoadBadData;
    if (words >= (1 << 30)) return kLoadNoMemory;  // 2n + 1 bytes must fit the count
    std::int64_t bytes = std::int64_t{words} * 2 + 1;
    auto* buf = static_cast<char*>(DocAlloc(s->doc, static_cast<std::size_t>(bytes)));
    if (!buf) return kLoadNoMemory;
    buf[0] = static_cast<char>(sign);
    node->count = static_cast<std::int32_t>(bytes);
    node->data.bytes = buf;
    return ReadInto(s, buf + 1, bytes - 1);
}

int ReadFloat(MarshalStream* s, MarshalNode* node) {
    std::int32_t n;
    char* text;
    if (int rc = ReadSizedBuffer(s, &n, 1, &text); rc != kLoadOk) return rc;
    node->text = text;
    if (int rc = ReadInto(s, text, n); rc != kLoadOk) return rc;
    node->data.real = 0.0;
    node->class_symbol.marker = 0;
    if (std::strcmp(text, "nan") == 0) node->class_symbol.marker = '?';
    else if (std::strcmp(text, "inf") == 0) node->class_symbol.marker = '+';
    else if (std::strcmp(text, "-inf") == 0) node->class_symbol.marker = '-';
    else node->data.real = ParseFloatText(text);
    return RegisterObject(s, node);
}

int ReadString(MarshalStream* s, MarshalNode* node) {
    std::int32_t n;
    char* buf;
    if (int rc = ReadSizedBuffer(s, &n, 1, &buf); rc != kLoadOk) return rc;
    node->count = n;
    node->data.bytes = buf;
    if (int rc = ReadInto(s, buf, n); rc != kLoadOk) return rc;
    return RegisterObject(s, node);
}

int ReadRegexp(MarshalStream* s, MarshalNode* node) {
    std::int32_t n;
    if (int rc = ReadLength(s, &n, false); rc != kLoadOk) return rc;
    if (!FileCanHold(s, std::int64_t{n} + 1, 1)) return kLoadBadData;  // source and option byte
    if (int rc = RegisterObject(s, node); rc != kLoadOk) return rc;
    // Two slashes, three option letters and the NUL.
    auto* buf = static_cast<char*>(DocAlloc(s->doc, static_cast<std::size_t>(n) + 6));
    if (!buf) return kLoadNoMemory;
    node->data.bytes = buf;
    buf[0] = '/';
    buf[1] = '\0';
    if (int rc = ReadInto(s, buf + 1, n); rc != kLoadOk) return rc;
    char* p = buf + 1 + n;
    *p++ = '/';
    *p = '\0';
    std::uint8_t options = ReadByte(s);
    if (s->eof) return kLoadBadData;
    if (options & 1) *p++ = 'i';
    if (options & 4) *p++ = 'm';
    if (options & 2) *p++ = 'x';
    *p = '\0';
    if (void* shrunk = DocRealloc(s->doc, buf, static_cast<std::size_t>(p - buf) + 1)) node->data.bytes = static_cast<char*>(shrunk);
    return kLoadOk;
}

int ReadSymbol(MarshalStream* s, MarshalNode* node) {
    if (int rc = RegisterSymbol(s, node); rc != kLoadOk) return rc;
    std::int32_t n;
    char* buf;
    if (int rc = ReadSizedBuffer(s, &n, 1, &buf); rc != kLoadOk) return rc;
    node->name = buf;
    return ReadInto(s, buf, n);
}

int ReadClassRef(MarshalStream* s, MarshalNode* node) {
    if (int rc = RegisterObject(s, node); rc != kLoadOk) return rc;
    std::int32_t n;
    char* buf;
    if (int rc = ReadSizedBuffer(s, &n, 1, &buf); rc != kLoadOk) return rc;
    node->name = buf;
    return ReadInto(s, buf, n);
}

int ReadUserDump(MarshalStream* s, MarshalNode* node) {
    if (int rc = ReadClassPrologue(s, node, true); rc != kLoadOk) return rc;
    if (!FileCanHold(s, node->count, 1)) return kLoadBadData;
    if (node->count == 0) return kLoadOk;  // nothing to keep: data stays none
    auto* buf = static_cast<char*>(DocAlloc(s->doc, static_cast<std::size_t>(node->count)));
    if (!buf) return kLoadNoMemory;
    node->data.bytes = buf;
    return ReadInto(s, buf, node->count);
}

// MARK: symbol references and the class prologue

// A name with an encoding, as Ruby 1.9 and later write names that are not
// ASCII: 'I', then the symbol or symbol link, then its instance variables
// (E, or an encoding name).  It is read as the 'I' wrapper it is, in a node
// of its own that the name's owner keeps: the values of its instance
// variables take object numbers, and later links may refer to them.
int ReadEncodedName(MarshalStream* s, MarshalNode** out) {
    int next = PeekByte(s);
    if (next != ':' && next != ';') return kLoadBadData;
    MarshalNode* sym = NewNode(s);
    if (!sym) return kLoadNoMemory;
    if (int rc = ReadIvarWrapper(s, sym); rc != kLoadOk) {
        DropNode(s->doc, sym);
        return rc;
    }
    *out = sym;
    return kLoadOk;
}

int ReadSymbolRef(MarshalStream* s, MarshalNode** out) {
    if (PeekByte(s) == 'I') {
        ReadByte(s);
        return ReadEncodedName(s, out);
    }
    MarshalNode* sym = NewNode(s);
    if (!sym) return kLoadNoMemory;
    sym->type = ReadByte(s);
    int rc = kLoadBadData;
    if (!s->eof) {
        if (sym->type == ':') rc = ReadSymbol(s, sym);
        else if (sym->type == ';') rc = ReadSymbolLink(s, sym);
    }
    if (rc != kLoadOk) {
        DropNode(s->doc, sym);
        return rc;
    }
    *out = sym;
    return kLoadOk;
}

int ReadSymbolName(MarshalStream* s, const char** name, MarshalNode** owned) {
    // A symbol link needs no node of its own here: only its text is kept.
    std::uint8_t type = ReadByte(s);
    if (s->eof) return kLoadBadData;
    if (type == ';') {
        // Only the text is borrowed: no link node is kept that could point
        // at a top-level node.
        std::int32_t k;
        if (ReadLength(s, &k, true) != kLoadOk) return kLoadBadData;
        if (k < 0 || k >= s->doc->loader.symbols.count) return kLoadBadSymbolLink;
        *name = s->doc->loader.symbols.At(k)->name;
        *owned = nullptr;
        return kLoadOk;
    }
    if (type == 'I') {
        if (int rc = ReadEncodedName(s, owned); rc != kLoadOk) return rc;
        *name = (*owned)->name;
        return kLoadOk;
    }
    if (type != ':') return kLoadBadData;
    MarshalNode* sym = NewNode(s);
    if (!sym) return kLoadNoMemory;
    sym->type = ':';
    if (int rc = ReadSymbol(s, sym); rc != kLoadOk) {
        DropNode(s->doc, sym);
        return rc;
    }
    *name = sym->name;
    *owned = sym;
    return kLoadOk;
}

int ReadClassPrologue(MarshalStream* s, MarshalNode* node, bool withCount) {
    if (int rc = ReadSymbolName(s, &node->name, &node->class_symbol.symbol); rc != kLoadOk) return rc;
    node->count = 0;
    if (withCount) {
        if (int rc = ReadLength(s, &node->count, false); rc != kLoadOk) return rc;
    }
    return RegisterObject(s, node);
}
