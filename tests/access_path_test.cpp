// Node location and access paths over a loaded document and its tree.
#include "present/access_path.h"
#include "present/node_location.h"
#include "present/viewer_document.h"
#include "tests/marshal_bytes.h"
#include "tests/viewer_fixture.h"

using namespace mb;

namespace {
std::string PathOf(TreeItem item, const MarshalNode* child, int levelsUp = 0) {
    char16_t* path = BuildAccessPath(item, child, levelsUp);
    std::string out = path ? U8(path) : "<none>";
    std::free(path);
    return out;
}

// Every item and every child the tree pane knows, in the tree's order.
template <typename F>
void ForEachHeldChild(F f) {
    const TreeStore& tree = HeadlessTree();
    for (TreeStore::Id id = 1; id <= tree.Size(); ++id) {
        const MarshalNode* n = tree.At(id).node;
        for (std::int64_t i = 0; i < ChildCount(n); ++i) f(HeadlessItem(id), n, i, ChildAt(n, i));
    }
}

// The walk the index stands in for: first item in pre-order that holds it.
TreeItem HoldingItemByWalk(const MarshalNode* node) {
    const TreeStore& tree = HeadlessTree();
    auto a = reinterpret_cast<std::uintptr_t>(node);
    for (TreeStore::Id id = 1; id <= tree.Size(); ++id) {
        const MarshalNode* n = tree.At(id).node;
        std::uint8_t t = n->type;
        if (!(t == '[' || t == '{' || t == '}' || t == 'o' || t == 'S') || !n->data.ptr) continue;
        std::size_t size = IsEntryListType(t) ? sizeof(MarshalAttr) : sizeof(MarshalNode);
        auto start = reinterpret_cast<std::uintptr_t>(n->data.ptr);
        if (a >= start && a < start + static_cast<std::uintptr_t>(ChildCount(n)) * size) return HeadlessItem(id);
    }
    return nullptr;
}
}  // namespace

TEST_F(ViewerTest, PathsNameEveryKindOfLevel) {
    std::string longName(200, 'n');
    ASSERT_EQ(Open(Dump(Arr({
                  Hash({{Int(0), Int(0)}, {Int(1), Obj(Sym("O"), {{Sym("@y"), Int(1)}})}, {Int(2), Arr({})}}),
                  HashDef({{Int(0), Int(0)}, {Int(1), Int(1)}, {Int(2), Int(2)}}, Nil()),
                  UserClass(Sym("Sub"), Arr({Int(1), Int(2), Int(3)})),
                  UserMarshal(Sym("M"), Arr({})),
                  Obj(Sym("O"), {{Sym("@" + longName), Int(1)}, {Sym("@名前"), Int(2)}}),
              })) + Dump(Nil())),
              0);
    TreeItem root = TreeRootItem();
    TreeItem top = Child(root, "0");
    const MarshalNode* topNode = TreeItemNode(top);
    TreeItem hash = Child(top, "0");
    TreeItem hashDef = Child(top, "1");
    TreeItem wrapper = Child(top, "2");
    TreeItem wrapped = Child(wrapper, ".");
    TreeItem object = Child(top, "4");
    struct Case {
        TreeItem item;
        const MarshalNode* child;
        int levelsUp;
        std::string path;
    };
    const Case cases[] = {
        {root, nullptr, 0, ""},
        {top, nullptr, 1, ""},
        {top, nullptr, 2, ""},
        {nullptr, nullptr, 0, ""},
        {root, ChildAt(&DocumentRoot, 1), 0, "data1"},
        {hash, ChildAt(TreeItemNode(hash), 4), 0, "data0[0].keys[2]"},
        {hash, ChildAt(TreeItemNode(hash), 5), 0, "data0[0].values[2]"},
        {Child(hash, "值1"), ChildAt(TreeItemNode(Child(hash, "值1")), 0), 0, "data0[0].values[1].y"},
        {hashDef, ChildAt(TreeItemNode(hashDef), 0), 0, "data0[1].default"},
        {hashDef, ChildAt(TreeItemNode(hashDef), 5), 0, "data0[1].keys[2]"},
        {hashDef, ChildAt(TreeItemNode(hashDef), 6), 0, "data0[1].values[2]"},
        {wrapper, nullptr, 0, "data0[2]"},
        {wrapped, nullptr, 0, "data0[2]"},
        {wrapped, ChildAt(TreeItemNode(wrapped), 2), 0, "data0[2][2]"},
        {Child(top, "3"), ChildAt(TreeItemNode(Child(top, "3")), 0), 0, "data0[3].marshal_dump"},
        {object, ChildAt(TreeItemNode(object), 0), 0, "data0[4]." + longName},
        {object, ChildAt(TreeItemNode(object), 1), 0, "data0[4].名前"},
        {object, nullptr, 1, "data0"},
        {top, ChildAt(topNode, 4), 0, "data0[4]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PathOf(c.item, c.child, c.levelsUp), c.path);
    }
}

TEST_F(ViewerTest, ChildIndexOfCountsElementsOfTheChildrenArray) {
    ASSERT_EQ(Open(Dump(Arr({Hash({{Int(0), Int(1)}}), HashDef({{Int(0), Int(1)}}, Nil()),
                             Obj(Sym("O"), {{Sym("@a"), Nil()}, {Sym("@b"), Nil()}, {Sym("@c"), Nil()}}),
                             UserMarshal(Sym("M"), Nil())}))),
              0);
    const MarshalNode* top = ChildAt(&DocumentRoot, 0);
    struct Case {
        const MarshalNode* container;
        std::int64_t position;
        std::int64_t index;
    };
    const Case cases[] = {
        {ChildAt(top, 0), 0, 0}, {ChildAt(top, 0), 1, 1},
        {ChildAt(top, 1), 0, 0}, {ChildAt(top, 1), 1, 1}, {ChildAt(top, 1), 2, 2},
        {ChildAt(top, 2), 2, 2}, {ChildAt(top, 3), 0, -1}, {top, 3, 3},
    };
    for (const Case& c : cases) EXPECT_EQ(ChildIndexOf(c.container, ChildAt(c.container, c.position)), c.index);
}

TEST_F(ViewerTest, HoldingItemFromTheIndexMatchesTheWalk) {
    ASSERT_EQ(Open(Dump(Arr({
                  Arr({Arr({Int(1), Str("a")}), Hash({{Str("k"), Arr({})}})}),
                  HashDef({{Int(1), Arr({Int(2)})}}, Arr({})),
                  Obj(Sym("O"), {{Sym("@x"), Arr({Nil()})}, {Sym("@y"), Int(3)}}),
                  Ivar(Arr({Int(7)}), {{Sym("@iv"), Arr({Int(8)})}}),
                  UserMarshal(Sym("M"), Arr({Int(9)})),
                  UserClass(Sym("C"), Arr({Int(10)})),
                  Arr({}),
              }))),
              0);
    int checked = 0;
    ForEachHeldChild([&](TreeItem, const MarshalNode*, std::int64_t, const MarshalNode* child) {
        EXPECT_EQ(FindHoldingItem(child), HoldingItemByWalk(child));
        ++checked;
    });
    EXPECT_GT(checked, 20);
    const MarshalNode* top = ChildAt(&DocumentRoot, 0);
    EXPECT_EQ(FindHoldingItem(top), TreeRootItem());
    // Values held directly by a wrapper are not located.
    const MarshalNode* ivar = ChildAt(top, 3);
    EXPECT_EQ(FindHoldingItem(ChildAt(ivar, 0)), nullptr);
    EXPECT_EQ(FindHoldingItem(ChildAt(ivar, 1)), nullptr);
    EXPECT_EQ(FindHoldingItem(ChildAt(ChildAt(top, 4), 0)), nullptr);
    EXPECT_EQ(FindHoldingItem(ChildAt(ChildAt(top, 5), 0)), nullptr);
    // With no document nothing is located.
    ReleaseDocument();
    EXPECT_EQ(FindHoldingItem(top), nullptr);
}
