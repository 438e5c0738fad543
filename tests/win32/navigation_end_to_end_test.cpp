// The 编辑, 查看 and 导航 commands of quarnix.exe as a user meets them,
// driven from outside under Wine with keyboard input that passes the
// program's message loop and its accelerators: the find bar, go to path,
// the preview, back and forward.
//
// Actors.rxdata, as its golden dump (tests/data/golden) lists it: data0 is
// an array of nil and eight RPG::Actor; actors 1 to 4 have character_name
// and battler_name "00N-FighterNN" (eight values hold "Fighter"), data0[2]
// is named "巴吉尔", and no value holds "zzz".
#include <gtest/gtest.h>

#include "tests/win32/driver.h"
#include "ui/win32/win32_front_end.h"

namespace {
// A user's action: text typed, if any, then a key with its modifiers.
struct Action {
    const wchar_t* typed;
    unsigned modifiers;
    WORD key;
};

void Perform(Viewer& viewer, const Action& action) {
    if (action.typed) viewer.Type(action.typed);
    viewer.Press(action.modifiers, action.key);
}

// What the window shows after an action.  A bar's text of nullptr: the bar
// is hidden.
struct Shown {
    const char* bar;       // the find bar's count text, or the path bar's error
    const char* status;    // the status bar
    const char* selected;  // the selected row's name; "" for none
};

// Waits until the window shows `want` (the find bar's, or the path bar's),
// and compares.
void ExpectShown(Viewer& viewer, const Shown& want, bool findBar) {
    auto bar = [findBar](const PaneReport& r) -> const std::string* {
        if (findBar) return r.findShown ? &r.find : nullptr;
        return r.pathShown ? &r.pathError : nullptr;
    };
    auto selected = [&want] {
        return *want.selected ? std::vector<std::string>{want.selected} : std::vector<std::string>{};
    };
    PaneReport shown = viewer.DescribeWhen([&](const PaneReport& r) {
        const std::string* text = bar(r);
        return (want.bar ? text && *text == want.bar : !text) && r.status == want.status && r.Selected() == selected();
    });
    const std::string* text = bar(shown);
    EXPECT_EQ(text ? *text : "(hidden)", want.bar ? want.bar : "(hidden)");
    EXPECT_EQ(shown.status, want.status);
    EXPECT_EQ(shown.Selected(), selected());
}

// Each test meets Actors.rxdata as opened from the command line and ends
// with 文件 → 退出.
class Navigation : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(viewer.WaitForTitle(L"Actors.rxdata - Quarnix")); }
    void TearDown() override {
        viewer.Command(kCommandExit);
        EXPECT_EQ(viewer.WaitForExit(), 0);
    }
    Viewer viewer{DataPath("Actors.rxdata")};
};

TEST_F(Navigation, FindStepsThroughTheHitsFromTheKeyboardAndEscCloses) {
    struct Step {
        const char* what;
        Action action;
        Shown shown;
    } steps[] = {
        {"Ctrl+F opens the bar", {nullptr, kCtrl, 'F'}, {"", "", ""}},
        {"a word in another case, Enter",
         {L"fighter", kNoModifier, VK_RETURN},
         {"第 1 个，共 8 个", "路径: data0[1].character_name", "character_name"}},
        {"Enter",
         {nullptr, kNoModifier, VK_RETURN},
         {"第 2 个，共 8 个", "路径: data0[1].battler_name", "battler_name"}},
        {"F3", {nullptr, kNoModifier, VK_F3}, {"第 3 个，共 8 个", "路径: data0[2].character_name", "character_name"}},
        {"Shift+F3", {nullptr, kShift, VK_F3}, {"第 2 个，共 8 个", "路径: data0[1].battler_name", "battler_name"}},
        {"Shift+Enter",
         {nullptr, kShift, VK_RETURN},
         {"第 1 个，共 8 个", "路径: data0[1].character_name", "character_name"}},
        {"Shift+Enter wraps to the last",
         {nullptr, kShift, VK_RETURN},
         {"第 8 个，共 8 个", "路径: data0[4].battler_name", "battler_name"}},
        {"Ctrl+F again selects the field's text",
         {nullptr, kCtrl, 'F'},
         {"第 8 个，共 8 个", "路径: data0[4].battler_name", "battler_name"}},
        {"a Chinese word replaces it",
         {L"巴吉尔", kNoModifier, VK_RETURN},
         {"第 1 个，共 1 个", "路径: data0[2].name", "name"}},
        {"Ctrl+F", {nullptr, kCtrl, 'F'}, {"第 1 个，共 1 个", "路径: data0[2].name", "name"}},
        {"a word nothing holds stays where it was",
         {L"zzz", kNoModifier, VK_RETURN},
         {"未找到", "路径: data0[2].name", "name"}},
        {"Esc closes the bar", {nullptr, kNoModifier, VK_ESCAPE}, {nullptr, "路径: data0[2].name", "name"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        Perform(viewer, step.action);
        ExpectShown(viewer, step.shown, true);
    }
    // Typing went to the field while the bar showed; Esc hands the keys to the list.
    EXPECT_EQ(viewer.Describe().focus, "SysListView32");
}

TEST_F(Navigation, GoToPathTakesTheStatusBarsFormAndSaysWhichStepIsMissing) {
    struct Step {
        const char* what;
        Action action;
        Shown shown;
        const char* field;  // the path bar's field once shown; nullptr: not checked
    } steps[] = {
        {"Ctrl+L opens the bar", {nullptr, kCtrl, 'L'}, {"", "", ""}, nullptr},
        {"a path, Enter: the row, the bar closes",
         {L"data0[2].name", kNoModifier, VK_RETURN},
         {nullptr, "路径: data0[2].name", "name"},
         nullptr},
        {"Ctrl+L starts from where the window is",
         {nullptr, kCtrl, 'L'},
         {"", "路径: data0[2].name", "name"},
         "data0[2].name"},
        {"an index past an object's",
         {L"data0[1][7]", kNoModifier, VK_RETURN},
         {"data0[1] 没有 [7]", "路径: data0[2].name", "name"},
         "data0[1][7]"},
        {"Ctrl+L again clears the error", {nullptr, kCtrl, 'L'}, {"", "路径: data0[2].name", "name"}, "data0[2].name"},
        {"an index past the array's end",
         {L"data0[9]", kNoModifier, VK_RETURN},
         {"data0 没有 [9]", "路径: data0[2].name", "name"},
         nullptr},
        {"Esc closes the bar and goes nowhere",
         {nullptr, kNoModifier, VK_ESCAPE},
         {nullptr, "路径: data0[2].name", "name"},
         nullptr},
        {"Ctrl+L", {nullptr, kCtrl, 'L'}, {"", "路径: data0[2].name", "name"}, nullptr},
        {"the status bar's text as it shows",
         {L"路径: data0[8].name", kNoModifier, VK_RETURN},
         {nullptr, "路径: data0[8].name", "name"},
         nullptr},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        Perform(viewer, step.action);
        ExpectShown(viewer, step.shown, false);
        if (step.field) {
            EXPECT_EQ(viewer.Describe().path, step.field);
        }
    }
}

TEST_F(Navigation, BackAndForwardFromTheKeyboardAndTheMousesSideButtons) {
    for (const wchar_t* path : {L"data0[2].name", L"data0[5].id"}) {
        viewer.Press(kCtrl, 'L');
        viewer.Type(path);
        viewer.Press(kNoModifier, VK_RETURN);
    }
    ExpectShown(viewer, {nullptr, "路径: data0[5].id", "id"}, false);
    const HWND list = viewer.Child(L"SysListView32");
    struct Step {
        const char* what;
        WORD key;  // with Alt; 0: the mouse's button
        WORD button;
        Shown shown;
    } steps[] = {
        {"Alt+Left", VK_LEFT, 0, {nullptr, "路径: data0[2].name", "name"}},
        {"Alt+Left to the file as opened", VK_LEFT, 0, {nullptr, "", ""}},
        {"Alt+Left at the first step", VK_LEFT, 0, {nullptr, "", ""}},
        {"Alt+Right", VK_RIGHT, 0, {nullptr, "路径: data0[2].name", "name"}},
        {"forward button", 0, XBUTTON2, {nullptr, "路径: data0[5].id", "id"}},
        {"Alt+Right at the last step", VK_RIGHT, 0, {nullptr, "路径: data0[5].id", "id"}},
        {"back button", 0, XBUTTON1, {nullptr, "路径: data0[2].name", "name"}},
        {"Alt+Left again", VK_LEFT, 0, {nullptr, "", ""}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.key)
            viewer.Press(kAlt, step.key);
        else
            viewer.SideButton(list, step.button);
        ExpectShown(viewer, step.shown, false);
    }
}

// Alt+Left leaves the menu bar alone, whichever key is let go first: the
// next key, F4, shows the preview.
TEST_F(Navigation, AfterAltLeftTheNextKeyGoesToTheWindow) {
    viewer.Press(kCtrl, 'L');
    viewer.Type(L"data0[2].name");
    viewer.Press(kNoModifier, VK_RETURN);
    ExpectShown(viewer, {nullptr, "路径: data0[2].name", "name"}, false);
    viewer.PressReleasingModifiersFirst(kAlt, VK_LEFT);
    ExpectShown(viewer, {nullptr, "", ""}, false);
    ASSERT_FALSE(viewer.Describe().preview);
    viewer.Press(kNoModifier, VK_F4);
    EXPECT_TRUE(viewer.DescribeWhen([](const PaneReport& r) { return r.preview; }).preview);
}

TEST_F(Navigation, CtrlCCopiesTheRowCtrlShiftCThePathAndInTheBarsItsField) {
    viewer.Press(kCtrl, 'L');
    viewer.Type(L"data0[2].name");
    viewer.Press(kNoModifier, VK_RETURN);
    ExpectShown(viewer, {nullptr, "路径: data0[2].name", "name"}, false);
    struct Step {
        const char* what;
        Action action;
        const char* copied;
    } steps[] = {
        {"Ctrl+C: the row as the list shows it", {nullptr, kCtrl, 'C'}, "name\t字符串\t巴吉尔\n"},
        {"Ctrl+Shift+C: its path", {nullptr, kCtrl | kShift, 'C'}, "data0[2].name"},
        {"in the path bar, the field's selected text", {L"data0", kShift, VK_HOME}, nullptr},
        {"Ctrl+C", {nullptr, kCtrl, 'C'}, "data0"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (!step.copied) {  // opens the path bar and selects what is typed
            viewer.Press(kCtrl, 'L');
            Perform(viewer, step.action);
            continue;
        }
        ClearClipboard();
        Perform(viewer, step.action);
        EXPECT_TRUE(WaitFor([&] { return ClipboardText() == step.copied; })) << ClipboardText();
    }
}

TEST_F(Navigation, F4AndTheViewMenuShowAndHideThePreviewUnderTheList) {
    const HWND list = viewer.Child(L"SysListView32");
    auto listHeight = [list] {
        RECT r{};
        GetWindowRect(list, &r);
        return r.bottom - r.top;
    };
    // At start the list takes the whole column.
    ASSERT_FALSE(viewer.Describe().preview);
    const long whole = listHeight();
    struct Step {
        const char* what;
        bool key;  // F4, else the menu's command
        bool shown;
    } steps[] = {
        {"F4 shows", true, true},
        {"F4 hides", true, false},
        {"预览 shows", false, true},
        {"F4 hides again", true, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.key)
            viewer.Press(kNoModifier, VK_F4);
        else
            viewer.Command(kCommandPreview);
        EXPECT_EQ(viewer.DescribeWhen([&](const PaneReport& r) { return r.preview == step.shown; }).preview,
                  step.shown);
        if (step.shown) {
            EXPECT_LT(listHeight(), whole);
        } else {
            EXPECT_EQ(listHeight(), whole);
        }
    }
}

// The heading of the game folder's results pane (another process's static:
// asked for its text).
// The game's folder of tests/data/game/ruby18, as make_game_fixtures.rb
// writes it: "火山" is in the name of Map003's only event ("火山口") and of
// map 3 in MapInfos ("火山星"), nowhere else; the list is in the files'
// name order.
TEST(GameFolderEndToEnd, CtrlShiftFWithAWordInTheFindBarListsItsHitsAcrossTheFolder) {
    Viewer viewer{DataPath("game/ruby18/Map001.rxdata")};
    ASSERT_TRUE(viewer.WaitForTitle(L"Map001.rxdata - Quarnix"));
    const HWND results = viewer.Child(L"QuarnixResults");
    ASSERT_TRUE(results);
    EXPECT_FALSE(IsWindowVisible(results));
    // With no word typed, the keys open the find bar for one.
    viewer.Press(kCtrl | kShift, 'F');
    EXPECT_TRUE(viewer.DescribeWhen([](const PaneReport& r) { return r.findShown; }).findShown);
    EXPECT_FALSE(IsWindowVisible(results));
    viewer.Type(L"火山");
    viewer.Press(kCtrl | kShift, 'F');
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(results) && ResultsHeading(results) == "在文件夹中查找 “火山”　共 2 个"; }))
        << ResultsHeading(results);
    const HWND lines = FindWindowExW(results, nullptr, L"SysListView32", nullptr);
    EXPECT_EQ(SendMessageW(lines, LVM_GETITEMCOUNT, 0, 0), 2);
    // The opened file stays the window's until a line is chosen: the
    // second from the keyboard (a click on the first, Down, Enter), then
    // the first by a double-click.
    EXPECT_EQ(viewer.Describe().title, "Map001.rxdata - Quarnix");
    const LPARAM first = MAKELPARAM(20, 4);
    PostMessageW(lines, WM_LBUTTONDOWN, MK_LBUTTON, first);
    PostMessageW(lines, WM_LBUTTONUP, 0, first);
    // The keys were the find field's until then.
    ASSERT_TRUE(WaitFor([&] { return viewer.Describe().focus == "SysListView32"; }));
    viewer.Press(kNoModifier, VK_DOWN);
    viewer.Press(kNoModifier, VK_RETURN);
    struct Step {
        const char* title;
        const char* status;
    } steps[] = {
        {"MapInfos.rxdata - Quarnix", "路径: data0.values[2].name"},
        {"Map003.rxdata - Quarnix", "路径: data0.events.values[0].name"},
    };
    for (const Step& step : steps) {
        if (&step != steps) PostMessageW(lines, WM_LBUTTONDBLCLK, MK_LBUTTON, first);
        const PaneReport opened = viewer.DescribeWhen(
            [&](const PaneReport& r) { return r.title == step.title && r.status == step.status; });
        EXPECT_EQ(opened.title, step.title);
        EXPECT_EQ(opened.status, step.status);
    }
    viewer.Command(kCommandExit);
    EXPECT_EQ(viewer.WaitForExit(), 0);
}

// A right-click on an event line of the preview: its menu asks for the
// uses of what the command names (line 3 of Map001's first page calls
// common event 1 "治疗全员", which nothing else calls).
TEST(GameFolderEndToEnd, TheMenuOfAnEventLineOfThePreviewListsTheUsesOfWhatItNames) {
    Viewer viewer{DataPath("game/ruby18/Map001.rxdata")};
    ASSERT_TRUE(viewer.WaitForTitle(L"Map001.rxdata - Quarnix"));
    viewer.Press(kNoModifier, VK_F4);
    viewer.Press(kCtrl, 'L');
    viewer.Type(L"data0.events.values[0].pages[0].list[3]");
    viewer.Press(kNoModifier, VK_RETURN);
    ASSERT_TRUE(viewer.DescribeWhen([](const PaneReport& r) {
                          return r.preview && r.status == "路径: data0.events.values[0].pages[0].list[3]";
                      }).preview);
    const HWND events = FindWindowExW(viewer.Child(L"QuarnixPreview"), nullptr, L"ListBox", nullptr);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(events) && SendMessageW(events, LB_GETCOUNT, 0, 0) > 3; }));
    const int line = static_cast<int>(SendMessageW(events, LB_GETITEMHEIGHT, 0, 0));
    POINT at{10, line * 3 + line / 2};
    ClientToScreen(events, &at);
    PostMessageW(events, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(events), MAKELPARAM(at.x, at.y));
    // The menu: a window of the class menus have, shown.
    ASSERT_TRUE(WaitFor([] {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w; w = FindWindowExW(nullptr, w, L"#32768", nullptr))
            if (IsWindowVisible(w)) return true;
        return false;
    }));
    viewer.Press(kNoModifier, VK_DOWN);
    viewer.Press(kNoModifier, VK_RETURN);
    const HWND results = viewer.Child(L"QuarnixResults");
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(results) && ResultsHeading(results) == "公共事件 [0001: 治疗全员] 的用处　共 1 处"; }))
        << ResultsHeading(results);
    viewer.Command(kCommandExit);
    EXPECT_EQ(viewer.WaitForExit(), 0);
}
}  // namespace
