// `quarnix.exe --compare OLD NEW` as a user meets it, driven from outside
// under Wine by keys: the title names both files, F8 and Shift+F8 step
// through the differences, the results list below the panes has a line
// for each and Enter on one goes there, and 文件 → 结束比较 (Alt+F, X)
// shows the new file alone.
//
// The map pair of tests/data/make_diff_fixtures.rb: seven differences, in
// tree order the table, event 3 (商人) added, event 4 (旅人) removed, event
// 2's x and y, a command inserted on event 1's page and its first text.
#include <gtest/gtest.h>

#include "tests/win32/driver.h"
#include "ui/win32/win32_front_end.h"

namespace {
}  // namespace

TEST(CompareEndToEnd, TheCommandLinesComparisonSteppedByF8ChosenInTheResultsAndEnded) {
    Viewer viewer{{L"--compare", DataPath("diff/ruby18/map_old.rxdata"), DataPath("diff/ruby18/map_new.rxdata")}};
    ASSERT_TRUE(viewer.WaitForTitle(L"map_new.rxdata (旧: map_old.rxdata) - Quarnix"));
    const HWND results = viewer.Child(L"QuarnixResults");
    ASSERT_TRUE(results);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(results) && ResultsHeading(results) == "比较（旧: map_old.rxdata）　共 7 处差异"; }))
        << ResultsHeading(results);
    const HWND lines = FindWindowExW(results, nullptr, L"SysListView32", nullptr);
    EXPECT_EQ(SendMessageW(lines, LVM_GETITEMCOUNT, 0, 0), 7);

    struct Step {
        unsigned modifiers;
        WORD key;
        const char* status;
        const char* caret;
    };
    const Step steps[] = {
        {kNoModifier, VK_F8, "差异：第 1 处，共 7 处", "0 (7)"},
        {kShift, VK_F8, "差异：第 7 处，共 7 处", "parameters (1)"},
        {kNoModifier, VK_F8, "差异：第 1 处，共 7 处", "0 (7)"},
    };
    for (const Step& step : steps) {
        viewer.Press(step.modifiers, step.key);
        const PaneReport shown =
            viewer.DescribeWhen([&](const PaneReport& r) { return r.status == step.status && r.caret == step.caret; });
        EXPECT_EQ(shown.status, step.status);
        EXPECT_EQ(shown.caret, step.caret);
    }

    // The results' third line (a click on the first, Down twice, Enter):
    // the removed event, its grey row selected among the events.
    const LPARAM first = MAKELPARAM(20, 4);
    PostMessageW(lines, WM_LBUTTONDOWN, MK_LBUTTON, first);
    PostMessageW(lines, WM_LBUTTONUP, 0, first);
    ASSERT_TRUE(WaitFor([&] { return viewer.Describe().focus == "SysListView32"; }));
    viewer.Press(kNoModifier, VK_DOWN);
    viewer.Press(kNoModifier, VK_DOWN);
    viewer.Press(kNoModifier, VK_RETURN);
    const PaneReport chosen = viewer.DescribeWhen([](const PaneReport& r) { return r.status == "差异：第 3 处，共 7 处"; });
    EXPECT_EQ(chosen.status, "差异：第 3 处，共 7 处");
    EXPECT_EQ(chosen.caret, "events (6)");
    EXPECT_EQ(chosen.Selected(), std::vector<std::string>{"值2"});

    // 文件 → 结束比较 from the keyboard.
    viewer.Press(kAlt, 'F');
    viewer.Press(kNoModifier, 'X');
    const PaneReport ended = viewer.DescribeWhen([](const PaneReport& r) { return r.title == "map_new.rxdata - Quarnix"; });
    EXPECT_EQ(ended.title, "map_new.rxdata - Quarnix");
    EXPECT_EQ(ended.caret, "events");
    viewer.Command(kCommandExit);
    EXPECT_EQ(viewer.WaitForExit(), 0);
}
