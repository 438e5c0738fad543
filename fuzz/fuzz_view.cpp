// Loads arbitrary bytes and, when they load, does what a user can do with
// the document: the tree is built, containers are selected (their lists
// filled, their cells read: link targets located, paths built), rows are
// selected, read by the lens and activated, rows are found and their paths
// read back.
// Nothing may crash, hang, leak or read out of bounds, however strange the
// document is.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lens/reading.h"
#include "marshal/alloc.h"
#include "marshal/load.h"
#include "present/find_rows.h"
#include "present/holder_index.h"
#include "present/path_parse.h"
#include "present/reference_index.h"
#include "present/viewer_document.h"
#include "ui/handlers.h"
#include "ui/headless/headless.h"
#include "ui/viewer.h"

namespace {
// Bounds that keep one input quick: a big document is visited in part.
constexpr TreeStore::Id kItemsVisited = 300;
constexpr int kRowsVisited = 40;
constexpr int kHitsVisited = 200;

// Find over the document, and for each hit: its path reads back to a place
// with the same path, and the links to it can be listed.
void FindAndReadPathsBack() {
    HolderIndex holders;
    ReferenceIndex references;
    if (!holders.Build(&DocumentRoot) || !references.Build(&DocumentRoot)) return;
    int hits = 0;
    FindRows(&DocumentRoot, holders, {u"1"}, [&](const FindHit& hit) {
        std::u16string path, back;
        holders.AppendPath(path, hit.child);
        // A typed path is trimmed of blanks at its ends, so a name that ends
        // in one cannot be typed back; the rest must read back.
        auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u3000'; };
        if (path.empty() || blank(path.front()) || blank(path.back())) return ++hits < kHitsVisited;
        PathTarget target;
        if (!ResolveAccessPath(path, &DocumentRoot, target)) std::abort();
        holders.AppendPath(back, target.node);
        if (back != path) std::abort();
        (void)references.LinksTo(hit.child);
        return ++hits < kHitsVisited;
    });
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool initialised = (InitViewer(), true);
    (void)initialised;
    if (LoadDocumentFromMemory(data, size) == kLoadOk) {
        RebuildTreePane();
        const TreeStore& tree = HeadlessTree();
        for (TreeStore::Id id = 1; id <= tree.Size() && id <= kItemsVisited; ++id) {
            TreeSelectItem(HeadlessItem(id));
            int rows = HeadlessList().Size();
            for (int r = 0; r < rows && r < kRowsVisited; ++r) {
                if (HeadlessTree().Caret() != id) TreeSelectItem(HeadlessItem(id));
                // A row's cells are made when read, as the list draws them.
                for (int column = 0; column < ListStore::kColumns; ++column) (void)HeadlessList().Cell(r, column);
                HeadlessClickRow(r);
                ReadNode(ListRowNode(r));
                OnListRowActivated(r);
            }
            if (HeadlessTree().Caret() != id) TreeSelectItem(HeadlessItem(id));
            if (HeadlessList().Size() > 1) {
                HeadlessClickRow(0);
                HeadlessClickRow(1, true);
                OnListRowActivated(-1);  // two rows selected: nothing happens
            }
        }
        FindAndReadPathsBack();
    }
    ReleaseDocument();
    if (LiveAllocationCount() != 0) std::abort();
    return 0;
}
