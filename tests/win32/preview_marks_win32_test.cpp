// The find bar's text marked on the Win32 preview's text page, driven as a
// user drives it: typed into the bar, the case box clicked, another script
// chosen, the bar closed.  The places are counted by eye in the fixture's
// script (make_lens_fixtures.rb, SCRIPT_MAIN).
#include "tests/preview_adapter.h"
#include "tests/viewer_fixture.h"
#include "ui/win32/preview_win32.h"
#include "ui/win32/rows_view_win32.h"

namespace {
using Marks = std::vector<TextMark>;

class PreviewMarksTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        PreviewStart();
        ASSERT_EQ(OpenPath(std::string(QUARNIX_TEST_DATA) + "/Scripts.rxdata"), 0);
        Activate("0");
        Activate("0");
        PanesClickRow(RowNamed("2"));
        ASSERT_EQ(PreviewPageShown(), SeenPage::kText);
        SendMessageW(MainWindowHandle, WM_COMMAND, kCommandFind, 0);
    }
    void TearDown() override {
        if (FindBarShown()) SendMessageW(FindBarEdit(), WM_KEYDOWN, VK_ESCAPE, 0);
        ViewerTest::TearDown();
    }
    static void Type(const wchar_t* text) { SetWindowTextW(FindBarEdit(), text); }
    static void ClickCaseBox() {
        HWND box = FindWindowExW(MainWindowHandle, nullptr, L"BUTTON", L"区分大小写");
        ASSERT_NE(box, nullptr);
        SendMessageW(box, BM_CLICK, 0, 0);
    }
    static Marks Shown() {
        PreviewLines();  // once the preview has followed
        return RowsMarksOf(PreviewControlHandles().text);
    }
};

TEST_F(PreviewMarksTest, TheFindBarsTextIsMarkedAsTypedAndGoesWithTheBar) {
    EXPECT_EQ(Shown(), Marks{});
    Type(L"sprite");
    EXPECT_EQ(Shown(), (Marks{{4, 5, 6}, {4, 14, 6}, {5, 5, 6}}));
    ClickCaseBox();
    EXPECT_EQ(Shown(), (Marks{{4, 5, 6}, {5, 5, 6}}));  // not Sprite
    ClickCaseBox();
    Type(L"数据");
    EXPECT_EQ(Shown(), (Marks{{3, 58, 2}}));
    // Another script: its own places; a name string has none.
    Type(L"gold");
    PanesClickRow(RowNamed("1"));
    EXPECT_EQ(Shown(), Marks{});
    Activate("..");
    Activate("1");
    PanesClickRow(RowNamed("2"));
    EXPECT_EQ(PreviewLines().at(2), u"  attr_reader :gold");
    EXPECT_EQ(Shown().size(), 4u);  // :gold, gain_gold, @gold twice
    // Esc closes the bar: no marks.
    SendMessageW(FindBarEdit(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(Shown(), Marks{});
}

TEST_F(PreviewMarksTest, AMarkOutOfSightIsScrolledIntoIt) {
    // The last line's place, in a view a few lines high.
    RECT r;
    GetWindowRect(PreviewControlHandles().text, &r);
    MapWindowPoints(nullptr, PreviewPane, reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(PreviewControlHandles().text, r.left, r.top, r.right - r.left, 60, TRUE);
    EXPECT_EQ(RowsTop(PreviewControlHandles().text), 0);
    Type(L"end");
    const Marks marks = Shown();
    ASSERT_FALSE(marks.empty());
    EXPECT_EQ(marks.front().line, 6);
    EXPECT_GT(RowsTop(PreviewControlHandles().text), 0);
    EXPECT_LE(RowsTop(PreviewControlHandles().text), 6);
}
}  // namespace
