#include "present/find_rows.h"

#include <new>

#include "present/container_walk.h"
#include "present/labels.h"
#include "present/link_text.h"
#include "present/value_text.h"

char16_t FoldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
    if (c >= u'Ａ' && c <= u'Ｚ') return static_cast<char16_t>(c + 0x20);  // full-width Latin
    return c;
}

bool TextMatches(std::u16string_view text, std::u16string_view needle, bool matchCase) {
    if (needle.empty() || needle.size() > text.size()) return false;
    if (matchCase) return text.find(needle) != std::u16string_view::npos;
    const char16_t first = needle[0];
    const std::size_t last = text.size() - needle.size();
    for (std::size_t at = 0; at <= last; ++at) {
        if (FoldCase(text[at]) != first) continue;
        std::size_t k = 1;
        while (k < needle.size() && FoldCase(text[at + k]) == needle[k]) ++k;
        if (k == needle.size()) return true;
    }
    return false;
}

namespace {
void Append(std::u16string& out, Text text) {
    if (text.text) out += text.text;
    FreeText(text);
}
}  // namespace

void GetRowTexts(const MarshalNode* container, std::int64_t position, const HolderIndex& holders, RowTexts& out,
                 unsigned columns) {
    out.name.clear();
    out.type.clear();
    out.value.clear();
    const MarshalNode* k = ChildAt(container, position);
    LabelBuffer buffer;
    if (columns & kFindName) Append(out.name, ChildLabel(container, position, buffer));
    if (columns & kFindType) out.type = TypeName(k->type);
    if (columns & kFindValue) {
        if (k->type == '@') AppendLinkText(out.value, k->data.target, &holders);
        else Append(out.value, ValueText(k, buffer));
    }
}

namespace {
class RowMatcher {
public:
    RowMatcher(const HolderIndex& holders, const FindQuery& query) : holders_(holders), query_(query) {
        needle_ = query.text;
        if (!query.matchCase)
            for (char16_t& c : needle_) c = FoldCase(c);
        // A type name is one of a few constants: each is matched once.
        for (int t = 0; t < 256; ++t)
            typeHit_[t] = (query.columns & kFindType) &&
                          TextMatches(TypeName(static_cast<std::uint8_t>(t)), needle_, query.matchCase);
    }
    bool Matches(const MarshalNode* container, std::int64_t position) {
        const MarshalNode* k = ChildAt(container, position);
        if (typeHit_[k->type]) return true;
        GetRowTexts(container, position, holders_, texts_, query_.columns & (kFindName | kFindValue));
        return TextMatches(texts_.name, needle_, query_.matchCase) || TextMatches(texts_.value, needle_, query_.matchCase);
    }

private:
    const HolderIndex& holders_;
    const FindQuery& query_;
    std::u16string needle_;
    bool typeHit_[256];
    RowTexts texts_;
};
}  // namespace

bool FindRows(const MarshalNode* start, const HolderIndex& holders, const FindQuery& query,
              const std::function<bool(const FindHit&)>& onHit, const std::atomic<bool>* cancel,
              const std::function<void(const FindProgress&)>& onProgress) {
    if (!start || query.text.empty() || !(query.columns & kFindAllColumns)) return true;
    try {
        RowMatcher matcher(holders, query);
        FindProgress progress;
        constexpr std::uint64_t kPollRows = 4096;
        std::uint64_t nextPoll = kPollRows;
        return WalkContainers(start, [&](const MarshalNode* n) {
            const std::int64_t count = ChildCount(n);
            for (int pass = 0; pass < 2; ++pass) {
                for (std::int64_t i = 0; i < count; ++i) {
                    if (IsContainerType(ChildAt(n, i)->type) != (pass == 0)) continue;
                    ++progress.rows;
                    if (matcher.Matches(n, i)) {
                        ++progress.hits;
                        if (!onHit({n, ChildAt(n, i), i})) return false;
                    }
                    if (progress.rows >= nextPoll) {
                        nextPoll = progress.rows + kPollRows;
                        if (cancel && cancel->load(std::memory_order_relaxed)) return false;
                        if (onProgress) onProgress(progress);
                    }
                }
            }
            return true;
        });
    } catch (const std::bad_alloc&) {
        return false;
    }
}
