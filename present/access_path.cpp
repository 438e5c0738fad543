#include "present/access_path.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "marshal/document.h"
#include "marshal/load.h"
#include "present/node_location.h"
#include "present/viewer_document.h"

namespace {
void AppendDecimal(std::u16string& out, std::int64_t value) {
    char16_t digits[24];
    int n = 0;
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        digits[n++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) out += u'-';
    while (n > 0) out += digits[--n];
}

// "[n]" after a prefix such as ".keys".
void AppendIndexed(std::u16string& out, std::u16string_view prefix, std::int64_t n) {
    out += prefix;
    out += u'[';
    AppendDecimal(out, n);
    out += u']';
}
}  // namespace

// One level's label.  Numbers are those of 32-bit positions and pair
// numbers, printed in full; an entry name stands behind a "." unless it is
// the wrapper's own entry ".", which adds nothing at all.
void AppendPathLabel(std::u16string& path, const MarshalNode* container, std::int64_t i) {
    // The top level of any document, not only the viewer's: the folder's
    // other files are read into documents of their own.
    const MarshalDocument* doc = container == &DocumentRoot ? &ViewerDocument : DocumentOf(container);
    if (doc && container == &doc->root) {
        path += u"data";
        AppendDecimal(path, static_cast<std::int32_t>(i));
        return;
    }
    if (i < 0 && container->type != 'U') return;  // a node it does not hold
    switch (container->type) {
    case '[':
        AppendIndexed(path, u"", static_cast<std::int32_t>(i));
        return;
    case '{':
        AppendIndexed(path, i % 2 == 0 ? u".keys" : u".values", i / 2);
        return;
    case '}':
        if (i == 0) path += u".default";
        else AppendIndexed(path, i % 2 == 1 ? u".keys" : u".values", (i - 1) / 2);
        return;
    case 'U':
        path += u".marshal_dump";
        return;
    case 'o': case 'S': case 'C': case 'I': {
        const char* name = container->data.attrs[i].name;
        if (std::strcmp(name, kWrapperEntryName) == 0) return;
        path += u'.';
        LabelBuffer buf;
        Text text = Utf8ToText(name, buf);  // none when memory runs out: only the "."
        if (text.text) path += text.text;
        FreeText(text);
        return;
    }
    default:
        return;
    }
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
    std::u16string label;
    while (const MarshalNode* container = TreeItemNode(current)) {
        try {
            label.clear();
            AppendPathLabel(label, container, ChildIndexOf(container, child));
        } catch (const std::bad_alloc&) {
            std::free(out);
            return nullptr;
        }
        if (capacity - used < label.size() + 1) {
            std::size_t grown = 2 * (capacity + label.size()) + 2;
            auto* bigger = static_cast<char16_t*>(std::realloc(out, grown * sizeof(char16_t)));
            if (!bigger) {
                std::free(out);
                return nullptr;
            }
            out = bigger;
            capacity = grown;
        }
        for (std::size_t k = label.size(); k > 0; --k) out[used++] = label[k - 1];
        child = container;
        current = TreeParentItem(current);
    }
    for (std::size_t a = 0, b = used; a + 1 < b; ++a, --b) std::swap(out[a], out[b - 1]);
    out[used] = u'\0';
    return out;
}
