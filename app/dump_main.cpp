// quarnix-dump FILE: the document as text, for reading rxdata in a terminal,
// for readable diffs of game data, and for checking the viewer by machine.
// It runs the viewer's own load, tree building, list filling and paths over
// the in-memory panes, and prints per tree item (in the tree's order) a
// header "[path]" and one line per list row: name, type, value and the
// row's own path, separated by TABs.  Exit status: 0, or the load result
// (1 when the file does not open), or 64 for wrong usage.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "marshal/load.h"
#include "present/access_path.h"
#include "present/node_location.h"
#include "present/text.h"
#include "ui/handlers.h"
#include "ui/headless/headless.h"
#include "ui/viewer.h"

namespace {
constexpr int kUsageStatus = 64;

// Buffered UTF-8 output with the escapes that keep one field on one line.
class Output {
public:
    ~Output() { Flush(); }
    void Raw(char c) { Put(c); }
    void Field(std::u16string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                c = 0xFFFD;
            }
            Escaped(c);
        }
    }
    void Flush() {
        if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
        buffer_.clear();
    }

private:
    void Put(char c) {
        buffer_.push_back(c);
        if (buffer_.size() >= (1u << 16)) Flush();
    }
    void Escaped(char32_t c) {
        switch (c) {
        case '\\': Put('\\'); Put('\\'); return;
        case '\t': Put('\\'); Put('t'); return;
        case '\n': Put('\\'); Put('n'); return;
        case '\r': Put('\\'); Put('r'); return;
        default: break;
        }
        if (c < 0x20 || c == 0x7F) {
            static const char hex[] = "0123456789abcdef";
            Put('\\');
            Put('x');
            Put(hex[c >> 4]);
            Put(hex[c & 15]);
        } else if (c < 0x80) {
            Put(static_cast<char>(c));
        } else if (c < 0x800) {
            Put(static_cast<char>(0xC0 | (c >> 6)));
            Put(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            Put(static_cast<char>(0xE0 | (c >> 12)));
            Put(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            Put(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            Put(static_cast<char>(0xF0 | (c >> 18)));
            Put(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            Put(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            Put(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    std::string buffer_;
};

// Path of each item on the branch being printed: the items come in
// pre-order, so a stack of path lengths over one buffer is enough.
struct Branch {
    TreeStore::Id item;
    std::size_t length;
};

void DumpDocument(Output& out) {
    const TreeStore& tree = HeadlessTree();
    const ListStore& list = HeadlessList();
    std::u16string path;
    std::vector<Branch> branch;
    std::u16string rowPath;
    for (TreeStore::Id id = 1; id <= tree.Size(); ++id) {
        const TreeStore::Item& item = tree.At(id);
        while (!branch.empty() && branch.back().item != item.parent) branch.pop_back();
        path.resize(branch.empty() ? 0 : branch.back().length);
        if (item.parent) {
            const MarshalNode* container = tree.At(item.parent).node;
            AppendPathLabel(path, container, ChildIndexOf(container, item.node));
        }
        branch.push_back({id, path.size()});

        out.Raw('[');
        out.Field(path);
        out.Raw(']');
        out.Raw('\n');
        FillListPane(item.node);
        for (int r = 0; r < list.Size(); ++r) {
            const MarshalNode* child = list.At(r).node;
            if (!child) continue;  // the ".." row
            rowPath = path;
            AppendPathLabel(rowPath, item.node, ChildIndexOf(item.node, child));
            for (int column = 0; column < ListStore::kColumns; ++column) {
                out.Field(list.Cell(r, column));
                out.Raw('\t');
            }
            out.Field(rowPath);
            out.Raw('\n');
        }
    }
}

void PrintError(const char16_t* text) {
    char* utf8 = WideToUtf8(text);
    std::fprintf(stderr, "%s\n", utf8 ? utf8 : "");
    std::free(utf8);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quarnix-dump FILE\n");
        return kUsageStatus;
    }
    InitViewer();
    // The file is opened by its own bytes, so names that are not UTF-8 open too.
    std::FILE* file = OpenDocumentFileBytes(argv[1]);
    char16_t* name = Utf8ToWide(argv[1]);
    int result = LoadOpenedFile(file, name ? name : u"");
    std::free(name);
    if (result != kLoadOk) {
        const auto& messages = HeadlessMessages();
        PrintError(messages.empty() ? u"" : messages.back().text.c_str());
        ShutdownViewer();
        return result;
    }
    {
        Output out;
        DumpDocument(out);
    }
    std::fflush(stdout);
    ShutdownViewer();
    return 0;
}
