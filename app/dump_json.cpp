// The mapping (the README shows it with an example):
//   nil true false           null true false
//   integer, finite float    number
//   string                   "text" when its bytes are UTF-8; otherwise
//                            {"type":"string","value":"t\ufffdxt","bytes":"hex"}
//   array (and the file)     [ ... ]
//   hash                     {"type":"hash","pairs":[[k,v],...]} (+ "default":v)
//   object, struct           {"type":"object"|"struct","class":"C","ivars"|"members":{"name":v}}
//   wrappers 'C' 'I' 'U'     {"type":"userclass"|"ivar"|"usermarshal",...,"value":v}
//   link                     {"type":"link","path":"data0[3]"}
//   others                   {"type":"bignum"|"float"|"regexp"|"symbol"|"class"|
//                             "module"|"userdef", ...}
//   a value extended by modules: {"type":"extended","modules":[...],"value":v}
#include "app/dump_json.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "present/value_text.h"

namespace {
// Length of the well-formed UTF-8 sequence at p (at most n bytes), or 0.
// The same rules as the conversion to UTF-16: no overlong forms, no
// surrogates, nothing above U+10FFFF.
std::size_t SequenceLength(const unsigned char* p, std::size_t n, std::size_t* maximalPart) {
    unsigned lead = p[0];
    std::size_t trail;
    unsigned low = 0x80, high = 0xBF;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) trail = 1;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        *maximalPart = 1;
        return 0;
    }
    for (std::size_t i = 1; i <= trail; ++i) {
        if (i >= n || p[i] < low || p[i] > high) {
            *maximalPart = i;
            return 0;
        }
        low = 0x80;
        high = 0xBF;
    }
    return trail + 1;
}

bool IsUtf8(const char* bytes, std::size_t n) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t part = 0;
    for (std::size_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        std::size_t len = SequenceLength(p + i, n - i, &part);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

// A JSON string of the bytes: valid UTF-8 is copied, each maximal
// ill-formed subsequence becomes U+FFFD.  Returns false when any did.
bool WriteString(Output& out, const char* bytes, std::size_t n) {
    static const char hex[] = "0123456789abcdef";
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    bool valid = true;
    out.Raw('"');
    std::size_t run = 0;  // start of the bytes not yet written
    auto flush = [&](std::size_t to) {
        out.Bytes(std::string_view(bytes + run, to - run));
    };
    std::size_t i = 0;
    while (i < n) {
        unsigned c = p[i];
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
            ++i;
            continue;
        }
        if (c >= 0x80) {
            std::size_t part = 0;
            if (std::size_t len = SequenceLength(p + i, n - i, &part)) {
                i += len;
                continue;
            }
            flush(i);
            out.Bytes("\xEF\xBF\xBD");
            valid = false;
            i += part;
            run = i;
            continue;
        }
        flush(i);
        switch (c) {
        case '"': out.Bytes("\\\""); break;
        case '\\': out.Bytes("\\\\"); break;
        case '\n': out.Bytes("\\n"); break;
        case '\t': out.Bytes("\\t"); break;
        case '\r': out.Bytes("\\r"); break;
        default:
            out.Bytes("\\u00");
            out.Raw(hex[c >> 4]);
            out.Raw(hex[c & 15]);
        }
        ++i;
        run = i;
    }
    flush(n);
    out.Raw('"');
    return valid;
}

void WriteName(Output& out, const char* name) { WriteString(out, name ? name : "", name ? std::strlen(name) : 0); }

void WriteHex(Output& out, const char* bytes, std::size_t n) {
    static const char hex[] = "0123456789abcdef";
    out.Raw('"');
    for (std::size_t i = 0; i < n; ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        out.Raw(hex[b >> 4]);
        out.Raw(hex[b & 15]);
    }
    out.Raw('"');
}

void WriteWide(Output& out, const char16_t* text) {
    char* utf8 = WideToUtf8(text ? text : u"");
    WriteName(out, utf8);
    std::free(utf8);
}

// `"value":"...` with the original bytes beside it when they are not UTF-8.
void WriteTextValue(Output& out, const char* bytes, std::size_t n) {
    out.Bytes("\"value\":");
    if (!WriteString(out, bytes, n)) {
        out.Bytes(",\"bytes\":");
        WriteHex(out, bytes, n);
    }
}

std::size_t ByteCount(const MarshalNode* node) {
    if (!node->data.bytes || node->count <= 0) return 0;
    return static_cast<std::size_t>(node->count);
}

void WriteScalar(Output& out, const MarshalNode* node, const HolderIndex& holders) {
    switch (node->type) {
    case '0': out.Bytes("null"); return;
    case 'T': out.Bytes("true"); return;
    case 'F': out.Bytes("false"); return;
    case 'i': {
        char digits[16];
        auto end = std::to_chars(digits, digits + sizeof digits, FixnumValue(node)).ptr;
        out.Bytes(std::string_view(digits, static_cast<std::size_t>(end - digits)));
        return;
    }
    case 'f': {
        double v = node->data.real;
        int marker = node->class_symbol.marker;
        if (marker == '?' || marker == '+' || marker == '-' || !std::isfinite(v)) {
            bool nan = marker == '?' || std::isnan(v);
            out.Bytes("{\"type\":\"float\",\"value\":");
            out.Bytes(nan ? "\"NaN\"}" : (marker == '-' || v < 0) ? "\"-Infinity\"}" : "\"Infinity\"}");
            return;
        }
        char digits[32];
        auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
        out.Bytes(std::string_view(digits, static_cast<std::size_t>(end - digits)));
        return;
    }
    case '"': {
        const std::size_t n = ByteCount(node);
        if (IsUtf8(node->data.bytes, n)) {
            WriteString(out, node->data.bytes, n);
            return;
        }
        out.Bytes("{\"type\":\"string\",");
        WriteTextValue(out, node->data.bytes, n);
        out.Raw('}');
        return;
    }
    case 'l': {
        char16_t* hex = BignumHexText(node);
        out.Bytes("{\"type\":\"bignum\",\"value\":");
        WriteWide(out, hex);
        out.Raw('}');
        std::free(hex);
        return;
    }
    case '/': {
        out.Bytes("{\"type\":\"regexp\",");
        const char* text = node->data.bytes ? node->data.bytes : "";
        WriteTextValue(out, text, std::strlen(text));
        out.Raw('}');
        return;
    }
    case ':': case ';': out.Bytes("{\"type\":\"symbol\",\"name\":"); break;
    case 'c': out.Bytes("{\"type\":\"class\",\"name\":"); break;
    case 'm': out.Bytes("{\"type\":\"module\",\"name\":"); break;
    case 'u':
        out.Bytes("{\"type\":\"userdef\",\"class\":");
        WriteName(out, node->name);
        out.Bytes(",\"bytes\":");
        WriteHex(out, node->data.bytes, ByteCount(node));
        out.Raw('}');
        return;
    case '@': {
        std::u16string path;
        holders.AppendPath(path, node->data.target);
        out.Bytes("{\"type\":\"link\",\"path\":");
        WriteWide(out, path.c_str());
        out.Raw('}');
        return;
    }
    default:
        out.Bytes("{\"type\":\"unknown\"}");
        return;
    }
    WriteName(out, node->name);  // symbols, classes and modules
    out.Raw('}');
}

void OpenExtended(Output& out, const MarshalNode* node) {
    out.Bytes("{\"type\":\"extended\",\"modules\":[");
    int k = 0;
    for (const MarshalNode* m = NodeExtension(node); m; m = NodeExtension(m)) {
        if (k++) out.Raw(',');
        WriteName(out, m->name);
    }
    out.Bytes("],\"value\":");
}

bool Extended(const MarshalNode* node) { return (node->flags & kNodeExtended) && NodeExtension(node); }

void OpenContainer(Output& out, const MarshalNode* node) {
    switch (node->type) {
    case '[': out.Raw('['); return;
    case '{': out.Bytes("{\"type\":\"hash\",\"pairs\":["); return;
    case '}': out.Bytes("{\"type\":\"hash\",\"default\":"); return;
    case 'o': out.Bytes("{\"type\":\"object\",\"class\":"); break;
    case 'S': out.Bytes("{\"type\":\"struct\",\"class\":"); break;
    case 'C': out.Bytes("{\"type\":\"userclass\",\"class\":"); break;
    case 'U': out.Bytes("{\"type\":\"usermarshal\",\"class\":"); break;
    case 'I': out.Bytes("{\"type\":\"ivar\""); return;
    default: return;
    }
    WriteName(out, node->name);
    if (node->type == 'o') out.Bytes(",\"ivars\":{");
    else if (node->type == 'S') out.Bytes(",\"members\":{");
}

// What comes before child i: separators, pair brackets, entry names.
void BeforeChild(Output& out, const MarshalNode* node, std::int64_t i) {
    switch (node->type) {
    case '[':
        if (i > 0) out.Raw(',');
        return;
    case '{': case '}': {
        if (node->type == '}') {
            if (i == 0) return;  // the default, right after "default":
            if (i == 1) out.Bytes(",\"pairs\":[");
            --i;
        }
        if (i % 2) out.Raw(',');
        else out.Bytes(i > 0 ? "],[" : "[");
        return;
    }
    case 'o': case 'S':
        if (i > 0) out.Raw(',');
        WriteName(out, node->data.attrs[i].name);
        out.Raw(':');
        return;
    case 'C': case 'U':
        out.Bytes(",\"value\":");
        return;
    case 'I':
        if (i == 0) {
            out.Bytes(",\"value\":");
            return;
        }
        out.Bytes(i == 1 ? ",\"ivars\":{" : ",");
        WriteName(out, node->data.attrs[i].name);
        out.Raw(':');
        return;
    default:
        return;
    }
}

void CloseContainer(Output& out, const MarshalNode* node) {
    const std::int64_t count = ChildCount(node);
    switch (node->type) {
    case '[': out.Raw(']'); return;
    case '{': out.Bytes(count > 0 ? "]]}" : "]}"); return;
    case '}':
        if (count == 0) out.Bytes("null");  // a default that was not read
        out.Bytes(count > 1 ? "]]}" : ",\"pairs\":[]}");
        return;
    case 'o': case 'S': out.Bytes("}}"); return;
    case 'I': out.Bytes(count > 1 ? "}}" : ",\"ivars\":{}}"); return;
    default: out.Raw('}'); return;
    }
}
}  // namespace

void WriteJson(Output& out, const MarshalNode* node, const HolderIndex& holders) {
    struct Open {
        const MarshalNode* node;
        std::int64_t next;
    };
    std::vector<Open> open;
    auto start = [&](const MarshalNode* n) {
        if (Extended(n)) OpenExtended(out, n);
        if (!IsContainerType(n->type)) {
            WriteScalar(out, n, holders);
            if (Extended(n)) out.Raw('}');
            return;
        }
        OpenContainer(out, n);
        open.push_back({n, 0});
    };
    start(node);
    while (!open.empty()) {
        Open& top = open.back();
        if (top.next < ChildCount(top.node)) {
            std::int64_t i = top.next++;
            BeforeChild(out, top.node, i);
            start(ChildAt(top.node, i));
            continue;
        }
        const MarshalNode* done = top.node;
        open.pop_back();
        CloseContainer(out, done);
        if (Extended(done)) out.Raw('}');
    }
}

void WriteJsonText(Output& out, const char16_t* text) { WriteWide(out, text); }
