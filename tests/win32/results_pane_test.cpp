// The game folder's side of the native window beyond the shared contract:
// 在文件夹中查找 greyed with no document and opening the find bar with no
// word, the results pane's place under the panes, 取消 while a search
// runs, 关闭, and write lines drawn in their own colour.  The game folder
// is tests/data/game/ruby18 (make_game_fixtures.rb): switch 1 is read by
// Map001's page condition and written by two commands.
#include "tests/viewer_fixture.h"
#include "ui/game_folder_controller.h"
#include "tests/win32/window_support.h"

namespace {
std::string Game(const std::string& file) { return std::string(QUARNIX_TEST_DATA) + "/game/" + file; }

HWND Pane() { return GetParent(ResultsPaneList()); }
HWND Button(const wchar_t* text) { return FindWindowExW(Pane(), nullptr, WC_BUTTONW, text); }

// The state of 编辑 → 在文件夹中查找 as the menu shows it when opened.
UINT FindInFolderState() {
    SendMessageW(MainWindowHandle, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(MainWindowHandle)), 0);
    return GetMenuState(GetMenu(MainWindowHandle), kCommandFindInFolder, MF_BYCOMMAND) & MF_GRAYED;
}

void FindInFolder(const wchar_t* text) {
    SetWindowTextW(FindBarEdit(), text);
    SendMessageW(MainWindowHandle, WM_COMMAND, kCommandFindInFolder, 0);
}

void WaitForResults() {
    for (int i = 0; i < 2000 && Win32GameFolder().Running(); ++i) {
        Pump();
        Sleep(5);
    }
    Pump();
}

class ResultsPaneTest : public ViewerTest {
protected:
    void OpenGame(const std::string& file) { ASSERT_EQ(OpenPath(Game(file)), 0); }
};
}  // namespace

TEST_F(ResultsPaneTest, FindInFolderIsGreyedWithNoDocumentAndAsksForAWordWithoutOne) {
    EXPECT_EQ(FindInFolderState(), static_cast<UINT>(MF_GRAYED));
    FindInFolder(L"火山");  // the key pressed anyway does nothing
    EXPECT_FALSE(IsWindowVisible(Pane()));
    EXPECT_FALSE(FindBarShown());

    OpenGame("ruby18/Map001.rxdata");
    EXPECT_EQ(FindInFolderState(), 0u);
    FindInFolder(L"");
    EXPECT_TRUE(FindBarShown());
    EXPECT_EQ(GetFocus(), FindBarEdit());
    EXPECT_FALSE(IsWindowVisible(Pane()));
}

TEST_F(ResultsPaneTest, ThePaneTakesARowUnderThePanesAboveTheFindBarAndGivesItBackOnClose) {
    OpenGame("ruby18/Map001.rxdata");
    SendMessageW(MainWindowHandle, WM_COMMAND, kCommandFind, 0);
    const RECT tree = Bounds(TreePane);
    FindInFolder(L"火山");
    // 取消 shows while the search runs, and goes when it ends.
    EXPECT_TRUE(IsWindowVisible(Button(L"取消")));
    WaitForResults();
    EXPECT_FALSE(IsWindowVisible(Button(L"取消")));
    ASSERT_TRUE(IsWindowVisible(Pane()));
    const RECT shorter = Bounds(TreePane), pane = Bounds(Pane()), find = Bounds(FindBarEdit());
    EXPECT_LT(shorter.bottom, tree.bottom);
    EXPECT_EQ(pane.top, shorter.bottom);
    EXPECT_EQ(Bounds(ListPane).bottom, shorter.bottom);
    EXPECT_LT(pane.bottom, find.top);  // the find bar stays next to the status bar
    EXPECT_EQ(ListView_GetItemCount(ResultsPaneList()), 2);

    SendMessageW(Pane(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(Button(L"关闭")));
    Pump();
    EXPECT_FALSE(IsWindowVisible(Pane()));
    EXPECT_TRUE(Win32GameFolder().Results().empty());
    EXPECT_EQ(ListView_GetItemCount(ResultsPaneList()), 0);
    // With the find bar still open, the panes reach down to it again.
    EXPECT_EQ(Bounds(TreePane).bottom, tree.bottom);
}

TEST_F(ResultsPaneTest, LinesThatWriteAreDrawnInTheirOwnColour) {
    OpenGame("ruby18/System.rxdata");
    Win32GameFolder().FindUses(RefKind::kSwitch, 1);
    WaitForResults();
    ASSERT_EQ(ListView_GetItemCount(ResultsPaneList()), 3);
    // Line 0 reads the switch in a page's condition; lines 1 and 2 set it.
    const bool writes[] = {false, true, true};
    COLORREF plain = 0;
    for (int line = 0; line < 3; ++line) {
        SCOPED_TRACE(line);
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.hdr = {ResultsPaneList(), 0, static_cast<UINT>(NM_CUSTOMDRAW)};
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(line);
        draw.clrText = CLR_DEFAULT;
        SendMessageW(Pane(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
        if (!writes[line]) plain = draw.clrText;
        EXPECT_EQ(draw.clrText != plain, writes[line]);
    }
}

TEST_F(ResultsPaneTest, ClosingThePaneFromItsListHandsTheKeysToTheRows) {
    OpenGame("ruby18/Map001.rxdata");
    FindInFolder(L"火山");
    WaitForResults();
    SetFocus(ResultsPaneList());
    SendMessageW(Pane(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(Button(L"关闭")));
    EXPECT_EQ(GetFocus(), ListPane);
}
