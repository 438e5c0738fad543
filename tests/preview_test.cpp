// What the preview shows for the selection, and choosing a line of an event
// page: driven through the headless panes as a user drives the window.
#include <string>

#include "lens/event_commands.h"
#include "ui/preview.h"
#include "viewer_fixture.h"

namespace {
class PreviewTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_EQ(OpenPath(std::string(QUARNIX_TEST_DATA) + "/y_lens_events.rxdata"), 0);
        Activate("0");  // data0, the array of two pages
        Activate("0");  // the first page
        page_ = TreeItemNode(TreeCaretItem());
        list_ = ListRowNode(RowNamed("list"));
    }
    const MarshalNode* page_ = nullptr;
    const MarshalNode* list_ = nullptr;
};
}  // namespace

TEST_F(PreviewTest, ShowsTheSelectedRowOrElseTheContainer) {
    EXPECT_EQ(CurrentPreviewTarget().node, page_);
    HeadlessClickRow(RowNamed("list"));
    EXPECT_EQ(CurrentPreviewTarget().node, list_);
    EXPECT_EQ(CurrentPreviewTarget().mark, -1);
    EXPECT_EQ(CurrentPreviewTarget().path, u"data0[0].list");
    HeadlessClickRow(RowNamed("trigger"), true);  // two rows
    EXPECT_EQ(CurrentPreviewTarget().node, page_);
    HeadlessClickRow(0);  // ".."
    EXPECT_EQ(CurrentPreviewTarget().node, page_);
}

TEST_F(PreviewTest, ChoosingALineSelectsTheCommandsRowAndKeepsThePage) {
    HeadlessClickRow(RowNamed("list"));
    // From the page: into the list, then the row of command 4 (after "..").
    EXPECT_EQ(SelectPreviewChild(list_, 4), 5);
    EXPECT_EQ(CaretText(), "list");
    EXPECT_EQ(SelectedRows(), std::vector<int>{5});
    EXPECT_EQ(Status(), "路径: data0[0].list[4]");
    PreviewTarget target = CurrentPreviewTarget();
    EXPECT_EQ(target.node, list_);
    EXPECT_EQ(target.mark, 4);
    EXPECT_EQ(target.path, u"data0[0].list");
    // Within the list: only the new row stays selected.
    HeadlessClickRow(2, true);
    EXPECT_EQ(SelectPreviewChild(list_, 7), 8);
    EXPECT_EQ(SelectedRows(), std::vector<int>{8});
    EXPECT_EQ(SelectPreviewChild(list_, ChildCount(list_)), -1);
    EXPECT_EQ(SelectedRows(), std::vector<int>{8});
    // A command's parameters are no event page: they show as themselves.
    Activate(U8(HeadlessList().Cell(8, 0)));
    HeadlessClickRow(RowNamed("parameters"));
    EXPECT_FALSE(IsEventCommandList(CurrentPreviewTarget().node));
    EXPECT_EQ(CurrentPreviewTarget().mark, -1);
}
