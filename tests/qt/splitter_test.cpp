// The layout of the two panes and the splitter gap between them, driven
// with mouse events sent to the pane area (no real pointer, no pixels).
#include <QCoreApplication>
#include <QMouseEvent>
#include <QSplitter>
#include <QTreeView>
#include <gtest/gtest.h>

#include "ui/qt/main_window.h"
#include "ui/qt/pane_area.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 500;

void Send(PaneArea& area, QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons held) {
    const QPointF at(x, 40);
    QMouseEvent event(type, at, area.mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&area, &event);
}

// One step of a user at the gap.
struct Step {
    enum Kind { Press, Move, Release, DoubleClick, Resize } kind;
    int x;  // cursor x, or the new width for Resize
};

void Apply(PaneArea& area, const Step& step) {
    switch (step.kind) {
    case Step::Press: Send(area, QEvent::MouseButtonPress, step.x, Qt::LeftButton, Qt::LeftButton); break;
    case Step::Move: Send(area, QEvent::MouseMove, step.x, Qt::NoButton, Qt::LeftButton); break;
    case Step::Release: Send(area, QEvent::MouseButtonRelease, step.x, Qt::LeftButton, Qt::NoButton); break;
    case Step::DoubleClick: Send(area, QEvent::MouseButtonDblClick, step.x, Qt::LeftButton, Qt::LeftButton); break;
    case Step::Resize: area.resize(step.x, kHeight); break;
    }
}

class SplitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        area = window.Area();
        area->resize(kWidth, kHeight);
    }
    // Tree from 0 to Wt, the gap, the list from Wt + 4 to the right edge
    // (never narrower than nothing), both panes the area's full height.
    void ExpectLayout(int treeWidth) {
        const int w = area->width();
        EXPECT_EQ(area->SplitterPosition(), treeWidth);
        EXPECT_EQ(window.TreeView()->geometry(), QRect(0, 0, treeWidth, kHeight));
        EXPECT_EQ(window.ListColumn()->geometry(), QRect(treeWidth + 4, 0, std::max(0, w - treeWidth - 4), kHeight));
    }
    MainWindow window;
    PaneArea* area = nullptr;
};

TEST_F(SplitterTest, StartsAt200WithTheSizingCursorOnlyOverTheGap) {
    ExpectLayout(200);
    EXPECT_EQ(area->cursor().shape(), Qt::SplitHCursor);
    EXPECT_EQ(window.TreeView()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(window.ListView()->cursor().shape(), Qt::ArrowCursor);
}

TEST(Splitter, FollowsDragsDoubleClicksAndResizes) {
    using S = Step;
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int treeWidth;
        int areaWidth;
    } cases[] = {
        {"drag puts the gap's left edge at the cursor", {{S::Press, 202}, {S::Move, 350}, {S::Release, 350}}, 350, kWidth},
        {"where the gap was grabbed does not matter", {{S::Press, 203}, {S::Move, 260}, {S::Release, 260}}, 260, kWidth},
        {"drag to the left edge", {{S::Press, 201}, {S::Move, 0}, {S::Release, 0}}, 0, kWidth},
        {"drag to the right edge", {{S::Press, 201}, {S::Move, kWidth}, {S::Release, kWidth}}, kWidth, kWidth},
        {"list narrower than nothing shows nothing", {{S::Press, 201}, {S::Move, kWidth - 2}}, kWidth - 2, kWidth},
        {"left of the area is ignored, not clamped",
         {{S::Press, 201}, {S::Move, 120}, {S::Move, -1}, {S::Move, -300}}, 120, kWidth},
        {"right of the area is ignored, not clamped",
         {{S::Press, 201}, {S::Move, 500}, {S::Move, kWidth + 1}}, 500, kWidth},
        {"back in range after leaving it", {{S::Press, 201}, {S::Move, -20}, {S::Move, 310}}, 310, kWidth},
        {"moves without the button do nothing", {{S::Move, 400}}, 200, kWidth},
        {"the release ends the drag", {{S::Press, 201}, {S::Move, 300}, {S::Release, 300}, {S::Move, 420}}, 300, kWidth},
        {"double-click puts it back at 200", {{S::Press, 401}, {S::Move, 400}, {S::Release, 400},
                                              {S::Press, 401}, {S::Release, 401}, {S::DoubleClick, 401},
                                              {S::Release, 401}, {S::Move, 600}}, 200, kWidth},
        {"the position survives a resize", {{S::Press, 201}, {S::Move, 300}, {S::Release, 300}, {S::Resize, 600}},
         300, 600},
        {"narrower than the tree, then wide again",
         {{S::Press, 201}, {S::Move, 300}, {S::Release, 300}, {S::Resize, 250}, {S::Resize, 700}}, 300, 700},
        {"double-click in a narrow window", {{S::Resize, 150}, {S::DoubleClick, 201}}, 200, 150},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MainWindow fresh;
        fresh.show();
        PaneArea& a = *fresh.Area();
        a.resize(kWidth, kHeight);
        for (const Step& step : c.steps) Apply(a, step);
        const int w = a.width();
        EXPECT_EQ(w, c.areaWidth);
        EXPECT_EQ(a.SplitterPosition(), c.treeWidth);
        EXPECT_EQ(fresh.TreeView()->geometry(), QRect(0, 0, c.treeWidth, kHeight));
        EXPECT_EQ(fresh.ListColumn()->geometry(),
                  QRect(c.treeWidth + 4, 0, std::max(0, w - c.treeWidth - 4), kHeight));
        Apply(a, {Step::Release, 0});
    }
}

TEST_F(SplitterTest, HidingAndShowingKeepsThePosition) {
    Apply(*area, {Step::Press, 201});
    Apply(*area, {Step::Move, 333});
    Apply(*area, {Step::Release, 333});
    window.showMinimized();
    window.hide();
    window.showNormal();
    area->resize(kWidth, kHeight);
    ExpectLayout(333);
}

}  // namespace
