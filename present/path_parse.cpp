#include "present/path_parse.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <unordered_set>
#include <vector>

#include "present/text.h"

namespace {
struct Step {
    const MarshalNode* node;
    std::size_t end;  // offset in the text after the step
};

// Reads "[n]" at `at`; -1 when there is none.  n is at most INT32_MAX.
std::int64_t ReadIndex(std::u16string_view text, std::size_t& at) {
    std::size_t p = at;
    if (p >= text.size() || text[p] != u'[') return -1;
    ++p;
    std::int64_t value = 0;
    std::size_t digits = 0;
    while (p < text.size() && text[p] >= u'0' && text[p] <= u'9' && digits < 11) {
        value = value * 10 + (text[p] - u'0');
        ++p;
        ++digits;
    }
    if (digits == 0 || value > INT32_MAX || p >= text.size() || text[p] != u']') return -1;
    at = p + 1;
    return value;
}

bool StartsWith(std::u16string_view text, std::size_t at, std::u16string_view word) {
    return text.size() - at >= word.size() && text.substr(at, word.size()) == word;
}

// Every way one step can be read at `at` below `node`.
void NextSteps(const MarshalNode* node, bool top, std::u16string_view text, std::size_t at, std::vector<Step>& out) {
    const std::int64_t count = ChildCount(node);
    auto child = [&](std::int64_t i, std::size_t end) {
        if (i >= 0 && i < count) out.push_back({ChildAt(node, i), end});
    };
    if (top) {
        if (!StartsWith(text, at, u"data")) return;
        std::u16string bracketed = u"[";
        std::size_t p = at + 4;
        while (p < text.size() && text[p] >= u'0' && text[p] <= u'9' && bracketed.size() < 12) bracketed += text[p++];
        bracketed += u']';
        std::size_t q = 0;
        std::int64_t i = ReadIndex(bracketed, q);
        if (i >= 0) child(i, p);
        return;
    }
    std::size_t p = at;
    switch (node->type) {
    case '[':
        if (std::int64_t i = ReadIndex(text, p); i >= 0) child(i, p);
        return;
    case '{': case '}': {
        const std::int64_t base = node->type == '}' ? 1 : 0;
        if (node->type == '}' && StartsWith(text, at, u".default")) child(0, at + 8);
        if (StartsWith(text, at, u".keys")) {
            p = at + 5;
            if (std::int64_t i = ReadIndex(text, p); i >= 0) child(2 * i + base, p);
        } else if (StartsWith(text, at, u".values")) {
            p = at + 7;
            if (std::int64_t i = ReadIndex(text, p); i >= 0) child(2 * i + 1 + base, p);
        }
        return;
    }
    case 'U':
        if (StartsWith(text, at, u".marshal_dump")) child(0, at + 13);
        return;
    case 'o': case 'S': case 'C': case 'I': {
        for (std::int64_t i = 0; i < count; ++i) {
            const char* name = node->data.attrs[i].name;
            if (!name) continue;
            if (std::strcmp(name, kWrapperEntryName) == 0) {
                child(i, at);  // adds nothing to the path
                continue;
            }
            if (at >= text.size() || text[at] != u'.') continue;
            char16_t* wide = Utf8ToWide(name);
            if (!wide) throw std::bad_alloc();
            std::u16string_view label(wide);
            // Every step begins with "." or "[", so a name must end at one
            // (or at the end) to lead anywhere.
            auto boundary = [&](std::size_t end) { return end == text.size() || text[end] == u'.' || text[end] == u'['; };
            if (StartsWith(text, at + 1, label) && boundary(at + 1 + label.size())) child(i, at + 1 + label.size());
            else if (StartsWith(text, at + 1, u"@") && StartsWith(text, at + 2, label) && boundary(at + 2 + label.size()))
                child(i, at + 2 + label.size());
            std::free(wide);
        }
        return;
    }
    default:
        return;
    }
}

struct Frame {
    const MarshalNode* node;
    std::size_t at;
    std::vector<Step> steps;
    std::size_t next = 0;
};

struct Failure {
    const MarshalNode* node;
    std::size_t at;
    bool operator==(const Failure& o) const { return node == o.node && at == o.at; }
};
struct FailureHash {
    std::size_t operator()(const Failure& f) const { return std::hash<const void*>()(f.node) * 31 + f.at; }
};

// Depth-first over the readings of the text, without recursion (paths may
// be a hundred thousand levels deep).  Entry names may hold "." and "[",
// so several readings can start alike; a (node, offset) pair that led
// nowhere once is not tried again, which keeps the search polynomial.
bool Resolve(std::u16string_view text, const MarshalNode* root, PathTarget& out, std::size_t& furthest) {
    std::vector<Frame> frames;
    std::unordered_set<Failure, FailureHash> failed;
    frames.push_back({root, 0, {}});
    NextSteps(root, true, text, 0, frames.back().steps);
    furthest = 0;
    if (text.empty()) {
        out.node = root;
        return true;
    }
    while (!frames.empty()) {
        Frame& top = frames.back();
        if (top.next == top.steps.size()) {
            failed.insert({top.node, top.at});
            frames.pop_back();
            continue;
        }
        Step step = top.steps[top.next++];
        if (step.end == text.size()) {
            out.node = step.node;
            out.holder = top.node;
            return true;
        }
        if (failed.count({step.node, step.end})) continue;
        furthest = std::max(furthest, step.end);
        frames.push_back({step.node, step.end, {}});
        NextSteps(step.node, false, text, step.end, frames.back().steps);
    }
    return false;
}

std::u16string_view Trimmed(std::u16string_view text) {
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u3000'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}
}  // namespace

bool ResolveAccessPath(std::u16string_view text, const MarshalNode* root, PathTarget& out) {
    out = PathTarget{};
    text = Trimmed(text);
    for (std::u16string_view prefix : {std::u16string_view(u"路径:"), std::u16string_view(u"路径：")}) {
        if (text.substr(0, prefix.size()) == prefix) {
            text = Trimmed(text.substr(prefix.size()));
            break;
        }
    }
    std::size_t furthest = 0;
    try {
        if (Resolve(text, root, out, furthest)) return true;
        // The step that is missing: from where the reading got furthest to
        // the next "." (without its own leading one).
        std::u16string_view rest = text.substr(furthest);
        if (rest.size() > 1 && rest[0] == u'.') rest.remove_prefix(1);
        std::size_t dot = rest.find(u'.', 1);
        if (dot != std::u16string_view::npos) rest = rest.substr(0, dot);
        if (furthest == 0) out.error = u"文件中没有 ";
        else out.error = std::u16string(text.substr(0, furthest)) + u" 没有 ";
        out.error += rest;
    } catch (const std::bad_alloc&) {
        out.error = u"内存不足";
    }
    out.node = out.holder = nullptr;
    return false;
}
