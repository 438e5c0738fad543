#include "present/access_path.h"

#include <cstdlib>
#include <cstring>

#include "marshal/load.h"
#include "present/format_bounded.h"
#include "present/node_location.h"

namespace {
// One level's label.  An entry name is converted into a heap text of its
// own and stands behind a "."; the wrapper entry "." adds nothing at all.
struct LevelLabel {
    Text text;
    bool dot;
};

LevelLabel MakeLevelLabel(const MarshalNode* container, std::int64_t i, LabelBuffer& buf) {
    auto n = static_cast<long>(static_cast<std::int32_t>(i));
    if (container == &DocumentRoot) {
        FormatBounded(buf, kLabelBufferUnits, u"data%ld", n);
        return {BufferText(buf), false};
    }
    switch (container->type) {
    case '[':
        FormatBounded(buf, kLabelBufferUnits, u"[%ld]", n);
        return {BufferText(buf), false};
    case '{':
        FormatBounded(buf, kLabelBufferUnits, i % 2 == 0 ? u".keys[%ld]" : u".values[%ld]", static_cast<long>(i / 2));
        return {BufferText(buf), false};
    case '}':
        if (i == 0) return {StaticText(u".default"), false};
        FormatBounded(buf, kLabelBufferUnits, i % 2 == 1 ? u".keys[%ld]" : u".values[%ld]", static_cast<long>((i - 1) / 2));
        return {BufferText(buf), false};
    case 'U':
        return {StaticText(u".marshal_dump"), false};
    case 'o': case 'S': case 'C': case 'I': {
        const char* name = container->data.attrs[i].name;
        if (std::strcmp(name, kWrapperEntryName) == 0) return {NoText(), false};
        return {HeapText(Utf8ToWide(name)), true};
    }
    default:
        return {NoText(), false};
    }
}

std::size_t Length(const char16_t* text) {
    std::size_t n = 0;
    while (text[n]) ++n;
    return n;
}
}  // namespace

void AppendPathLabel(std::u16string& path, const MarshalNode* container, std::int64_t position) {
    LabelBuffer buf;
    LevelLabel label = MakeLevelLabel(container, position, buf);
    if (label.dot) path += u'.';
    if (label.text.text) path += label.text.text;
    FreeText(label.text);
}

char16_t* BuildAccessPath(TreeItem item, const MarshalNode* child, int levelsUp) {
    // The labels arrive innermost first: each is appended reversed, and the
    // whole text is turned round once at the end.
    std::size_t capacity = 150, used = 0;
    auto* out = static_cast<char16_t*>(std::malloc(capacity * sizeof(char16_t)));
    if (!out) return nullptr;

    TreeItem current = item;
    if (!child) {
        for (int k = 0; k <= levelsUp; ++k) {
            child = TreeItemNode(current);
            current = TreeParentItem(current);
        }
    }
    while (const MarshalNode* container = TreeItemNode(current)) {
        LabelBuffer buf;
        LevelLabel label = MakeLevelLabel(container, ChildIndexOf(container, child), buf);
        std::size_t length = label.text.text ? Length(label.text.text) : 0;
        std::size_t needed = length + (label.dot ? 1 : 0);
        if (capacity - used < needed + 1) {
            std::size_t grown = 2 * (capacity + needed) + 2;
            auto* bigger = static_cast<char16_t*>(std::realloc(out, grown * sizeof(char16_t)));
            if (!bigger) {
                FreeText(label.text);
                std::free(out);
                return nullptr;
            }
            out = bigger;
            capacity = grown;
        }
        for (std::size_t k = length; k > 0; --k) out[used++] = label.text.text[k - 1];
        if (label.dot) out[used++] = u'.';
        FreeText(label.text);
        child = container;
        current = TreeParentItem(current);
    }
    for (std::size_t a = 0, b = used; a + 1 < b; ++a, --b) std::swap(out[a], out[b - 1]);
    out[used] = u'\0';
    return out;
}
