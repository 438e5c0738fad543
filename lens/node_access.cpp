#include "lens/node_access.h"

#include <cstring>

namespace {
// Links may point at links only through a damaged document; a bound keeps
// a cycle from hanging.
constexpr int kLinkHops = 8;
}  // namespace

const MarshalNode* Unwrapped(const MarshalNode* node) {
    for (int hop = 0; node && hop < kLinkHops; ++hop) {
        if (node->type == '@') {
            node = node->data.target;
        } else if (node->type == 'I' && node->count >= 1 && node->data.attrs) {
            const MarshalNode* inner = &node->data.attrs[0].value;
            if (inner->type != '"' && inner->type != 'u') return node;
            node = inner;
        } else {
            return node;
        }
    }
    return node && node->type != '@' ? node : nullptr;
}

bool StringBytes(const MarshalNode* node, std::string_view& bytes) {
    node = Unwrapped(node);
    if (!node || node->type != '"' || !node->data.bytes || node->count < 0) return false;
    bytes = std::string_view(node->data.bytes, static_cast<std::size_t>(node->count));
    return true;
}

bool UserDumpBytes(const MarshalNode* node, const char* className, std::string_view& bytes) {
    node = Unwrapped(node);
    if (!node || node->type != 'u' || node->count < 0 || (node->count > 0 && !node->data.bytes)) return false;
    if (className && (!node->name || std::strcmp(node->name, className) != 0)) return false;
    bytes = std::string_view(node->count ? node->data.bytes : "", static_cast<std::size_t>(node->count));
    return true;
}

bool IntegerValue(const MarshalNode* node, std::int64_t& value) {
    node = Unwrapped(node);
    if (!node || node->type != 'i') return false;
    value = FixnumValue(node);
    return true;
}

const MarshalNode* InstanceVariable(const MarshalNode* object, std::string_view name) {
    object = Unwrapped(object);
    if (!object || object->type != 'o' || !object->data.attrs) return nullptr;
    for (std::int32_t i = 0; i < object->count; ++i) {
        const MarshalAttr& entry = object->data.attrs[i];
        if (entry.name && name == entry.name) return &entry.value;
    }
    return nullptr;
}

std::string_view ClassName(const MarshalNode* node) {
    node = Unwrapped(node);
    if (!node) return {};
    switch (node->type) {
    case 'o': case 'S': case 'u': case 'U': case 'C': return node->name ? node->name : "";
    default: return {};
    }
}
