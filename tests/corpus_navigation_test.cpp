// Find, paths and the reverse-link index over every file of the corpus,
// checked against what the viewer's panes show for every row.
#include <filesystem>

#include "present/find_rows.h"
#include "present/holder_index.h"
#include "present/path_parse.h"
#include "present/reference_index.h"
#include "present/viewer_document.h"
#include "tests/viewer_fixture.h"
#include "ui/navigate.h"

namespace {
std::vector<std::string> LoadableCorpus() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(QUARNIX_TEST_DATA)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("y_", 0) == 0 || name == "Actors.rxdata" || name == "Map001.rxdata") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

struct ShownRow {
    const MarshalNode* container;
    const MarshalNode* child;
    std::u16string path, name, type, value;
};

// Every row of every item, in tree order, as the panes show it.
std::vector<ShownRow> ShownRows() {
    std::vector<ShownRow> rows;
    const TreeStore& tree = HeadlessTree();
    const ListStore& list = HeadlessList();
    for (TreeStore::Id id = 1; id <= tree.Size(); ++id) {
        TreeSelectItem(HeadlessItem(id));
        for (int r = 0; r < list.Size(); ++r) {
            if (!list.At(r).node) continue;
            HeadlessClickRow(r);
            std::u16string status = HeadlessStatus();
            rows.push_back({tree.At(id).node, list.At(r).node, status.substr(std::min<std::size_t>(4, status.size())),
                            std::u16string(list.Cell(r, 0)), std::u16string(list.Cell(r, 1)), std::u16string(list.Cell(r, 2))});
        }
    }
    return rows;
}

// Every link below a node, by plain recursion (corpus files are shallow).
void CollectLinks(const MarshalNode* n, std::vector<const MarshalNode*>& links) {
    for (std::int64_t i = 0; i < ChildCount(n); ++i) {
        const MarshalNode* k = ChildAt(n, i);
        if (k->type == '@') links.push_back(k);
        CollectLinks(k, links);
    }
}
}  // namespace

class CorpusNavigation : public ViewerTest {
protected:
    // Opens every loadable corpus file in turn and hands over its holders.
    template <typename Check>
    void ForEachFile(Check check) {
        for (const std::string& file : LoadableCorpus()) {
            SCOPED_TRACE(file);
            ASSERT_EQ(OpenPath(file), 0);
            HolderIndex holders;
            ASSERT_TRUE(holders.Build(&DocumentRoot));
            check(holders);
        }
    }
};

TEST_F(CorpusNavigation, EveryRowsPathLeadsBackToItsRow) {
    ForEachFile([&](const HolderIndex& holders) {
        std::vector<ShownRow> rows = ShownRows();
        EXPECT_GT(rows.size(), 2u);
        for (const ShownRow& row : rows) {
            std::u16string path;
            ASSERT_TRUE(holders.AppendPath(path, row.child));
            EXPECT_EQ(U8(path), U8(row.path));
            PathTarget target;
            ASSERT_TRUE(ResolveAccessPath(row.path, &DocumentRoot, target)) << U8(row.path) << " " << U8(target.error);
            // A wrapper and the value it wraps share their path, which names the wrapper.
            if (target.node != row.child) {
                EXPECT_TRUE(target.node->type == 'C' || target.node->type == 'I');
            }
            ASSERT_TRUE(ShowPosition(holders, {target.holder, target.node}));
            EXPECT_EQ(U8(HeadlessStatus()), "路径: " + U8(row.path));
        }
    });
}

TEST_F(CorpusNavigation, FindHitsAreTheRowsThatShowTheText) {
    const std::u16string texts[] = {u"1", u"0", u"数组", u"RPG", u"::", u"data0", u"值", u"de", u"阿尔"};
    ForEachFile([&](const HolderIndex& holders) {
        std::vector<ShownRow> rows = ShownRows();
        for (const std::u16string& text : texts) {
            SCOPED_TRACE(U8(text));
            for (unsigned columns : {unsigned{kFindAllColumns}, unsigned{kFindName}, unsigned{kFindValue}}) {
                std::vector<const MarshalNode*> expected, found;
                for (const ShownRow& row : rows) {
                    bool hit = ((columns & kFindName) && row.name.find(text) != std::u16string::npos) ||
                               ((columns & kFindType) && row.type.find(text) != std::u16string::npos) ||
                               ((columns & kFindValue) && row.value.find(text) != std::u16string::npos);
                    if (hit) expected.push_back(row.child);
                }
                FindRows(&DocumentRoot, holders, {text, columns, true}, [&](const FindHit& hit) {
                    found.push_back(hit.child);
                    return true;
                });
                EXPECT_EQ(found, expected);
            }
        }
    });
}

TEST_F(CorpusNavigation, ReferenceIndexAgreesWithAWalkOverAllLinks) {
    ForEachFile([&](const HolderIndex&) {
        ReferenceIndex references;
        ASSERT_TRUE(references.Build(&DocumentRoot));
        std::vector<const MarshalNode*> links;
        CollectLinks(&DocumentRoot, links);
        EXPECT_EQ(references.LinkCount(), links.size());
        for (const MarshalNode* link : links) {
            std::vector<const MarshalNode*> expected;
            for (const MarshalNode* other : links)
                if (other->data.target == link->data.target) expected.push_back(other);
            auto got = references.LinksTo(link->data.target);
            EXPECT_EQ(std::vector<const MarshalNode*>(got.begin(), got.end()), expected);
        }
        // A value nothing points at.
        EXPECT_TRUE(references.LinksTo(&DocumentRoot).empty());
    });
}
