// A compact rendering of a document for comparing loads: types, names,
// children in position order, extensions, link targets as positions
// ("1.0.2" is child 2 of child 0 of dump 1).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "marshal/load.h"
#include "present/viewer_document.h"

namespace render {

// Children in position order, read straight from the fields.
inline std::vector<const MarshalNode*> Children(const MarshalNode* n) {
    std::vector<const MarshalNode*> out;
    if (!n->data.ptr) return out;
    switch (n->type) {
    case '[': case '{': case '}': case 'U': {
        std::int64_t k = n->type == '[' ? n->count : n->type == 'U' ? 1 : std::int64_t{n->count} * 2 + (n->type == '}');
        for (std::int64_t i = 0; i < k; ++i) out.push_back(&n->data.nodes[i]);
        break;
    }
    case 'o': case 'S': case 'C': case 'I':
        for (std::int32_t i = 0; i < n->count; ++i) out.push_back(&n->data.attrs[i].value);
        break;
    }
    return out;
}

// Position of a node in the document: "1.0.2" is child 2 of child 0 of dump 1.
inline bool FindPath(const MarshalNode* from, const MarshalNode* target, std::string prefix, std::string* out) {
    std::vector<const MarshalNode*> kids = Children(from);
    for (std::size_t i = 0; i < kids.size(); ++i) {
        std::string here = prefix.empty() ? std::to_string(i) : prefix + "." + std::to_string(i);
        if (kids[i] == target) {
            *out = here;
            return true;
        }
        if (FindPath(kids[i], target, here, out)) return true;
    }
    return false;
}

// The root that link targets are found under while a document is rendered.
inline thread_local const MarshalNode* g_renderRoot = nullptr;

inline std::string PathOf(const MarshalNode* target) {
    std::string path;
    return FindPath(g_renderRoot ? g_renderRoot : &DocumentRoot, target, "", &path) ? path : "?";
}

inline std::string Escaped(const char* p, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        auto c = static_cast<unsigned char>(p[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

inline std::string Hex(const char* p, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(p[i]));
        out += hex;
    }
    return out;
}

inline std::string Render(const MarshalNode* n);

inline std::string RenderChildren(const MarshalNode* n) {
    std::string out = "(";
    std::vector<const MarshalNode*> kids = Children(n);
    for (std::size_t i = 0; i < kids.size(); ++i) {
        if (i) out += ", ";
        if (n->type == 'o' || n->type == 'S' || n->type == 'C' || n->type == 'I') out += std::string(n->data.attrs[i].name) + "=";
        out += Render(kids[i]);
    }
    return out + ")";
}

inline std::string Named(const char* kind, const MarshalNode* n) {
    std::string out = kind;
    if (n->name) out += std::string(" ") + n->name;
    return out + RenderChildren(n);
}

inline std::string RenderValue(const MarshalNode* n) {
    switch (n->type) {
    case '0': return "nil";
    case 'T': return "true";
    case 'F': return "false";
    case 'i': return std::to_string(FixnumValue(n));
    case 'l': return "big(" + Escaped(n->data.bytes, 1) + Hex(n->data.bytes + 1, static_cast<std::size_t>(n->count - 1)) + ")";
    case 'f': return std::string("float(") + n->text + ")";
    case '"': return "\"" + Escaped(n->data.bytes, static_cast<std::size_t>(n->count)) + "\"";
    case '/': return n->data.bytes;
    case ':': return std::string(":") + n->name;
    case ';': return std::string(";") + n->name;
    case '@': return "@" + PathOf(n->data.target);
    case 'c': return std::string("class(") + n->name + ")";
    case 'm': return std::string("module(") + n->name + ")";
    case 'u': return std::string("user_dump ") + n->name + "(\"" + Escaped(n->data.bytes, static_cast<std::size_t>(n->count)) + "\")";
    case '[': return "array" + RenderChildren(n);
    case '{': return "hash" + RenderChildren(n);
    case '}': return "hash_default" + RenderChildren(n);
    case 'o': return Named("object", n);
    case 'S': return Named("struct", n);
    case 'C': return Named("user_class", n);
    case 'I': return Named("ivar", n);
    case 'U': return Named("user_marshal", n);
    default: return "?" + std::to_string(n->type);
    }
}

// Extending modules come first, as in the stream: "e:M1 e:M2 object A()".
inline std::string Render(const MarshalNode* n) {
    std::string out;
    for (const MarshalNode* e = NodeExtension(n); e; e = NodeExtension(e)) out += std::string("e") + static_cast<char>(e->type) + e->name + " ";
    return out + RenderValue(n);
}

// Every dump's value, separated by " | ".
inline std::string RenderDocument(const MarshalNode* root) {
    g_renderRoot = root;
    std::string out;
    for (std::int32_t i = 0; i < root->count; ++i) out += (i ? " | " : "") + Render(&root->data.nodes[i]);
    return out;
}

}  // namespace render

using render::Render;
using render::RenderDocument;
