// quarnix.exe as a user meets it, driven from outside under Wine: a file
// from the command line, a failing file with its message box, the Open
// dialog, the About dialog, the splitter, Exit; and what only Windows
// brings: Chinese folder and file names, paths past 260 units, files
// another program holds open for writing.
#include <gtest/gtest.h>

#include "tests/project_version.h"
#include "tests/win32/driver.h"

namespace {
constexpr int kOpen = 101, kExit = 102, kAbout = 103;

// Tree items of the corpus files: the "[path]" headers of their golden dumps.
constexpr long kMapItems = 1462, kActorsItems = 10;

std::wstring TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

// The text of a message box and its caption; the box is closed with OK.
struct Box {
    std::string caption, text;
};
Box CloseMessageBox(HWND owner) {
    HWND box = WaitForDialog(owner);
    if (!box) return {"(no box)", ""};
    Box seen{Utf8(WindowText(box)), Utf8(WindowText(GetDlgItem(box, 0xFFFF)))};
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindow(box); });
    return seen;
}

TEST(EndToEnd, OpensFromTheCommandLineFailsWithAMessageUsesTheDialogAndExits) {
    Viewer viewer(DataPath("Map001.rxdata"));
    ASSERT_TRUE(viewer.Window());
    ASSERT_TRUE(viewer.WaitForTitle(L"Map001.rxdata - Quarnix"));
    PaneReport shown = viewer.Describe();
    EXPECT_EQ(shown.caret, "Map001.rxdata");
    EXPECT_EQ(shown.items, kMapItems);
    EXPECT_EQ(shown.rows, std::vector<std::string>{"0\t对象\tRPG::Map\t1\t0\t0"});
    EXPECT_EQ(shown.status, "");

    // An empty file: its message, and no document left behind.
    viewer.OpenPath(DataPath("n_empty.bin"));
    Box box = CloseMessageBox(viewer.Window());
    EXPECT_EQ(box.caption, "错误");
    EXPECT_EQ(box.text, "无法识别该文件的格式");
    shown = viewer.Describe();
    EXPECT_EQ(shown.items, 0);
    EXPECT_TRUE(shown.rows.empty());
    EXPECT_EQ(shown.title, "Map001.rxdata - Quarnix");

    // The Open dialog: a path typed into its file name box, then OK.
    viewer.Command(kOpen);
    HWND dialog = WaitForDialog(viewer.Window());
    ASSERT_TRUE(dialog);
    HWND name = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM found) {
            wchar_t cls[32];
            GetClassNameW(child, cls, 32);
            if (lstrcmpiW(cls, L"Edit") != 0) return TRUE;
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&name));
    ASSERT_TRUE(name);
    std::wstring actors = DataPath("Actors.rxdata");
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(actors.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(viewer.WaitForTitle(L"Actors.rxdata - Quarnix"));
    EXPECT_EQ(viewer.Describe().items, kActorsItems);

    viewer.Command(kExit);
    EXPECT_EQ(viewer.WaitForExit(), 0);
}

TEST(Windows, ChineseFolderAndFileNamesOpenFromTheCommandLineAndByADrop) {
    std::wstring folder = TempFolder(L"地图文件夹");
    std::wstring map = folder + L"地图001.rxdata", actors = folder + L"角色.rxdata";
    ASSERT_TRUE(CopyFileW(DataPath("Map001.rxdata").c_str(), map.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(DataPath("Actors.rxdata").c_str(), actors.c_str(), FALSE));
    Viewer viewer(map);
    ASSERT_TRUE(viewer.WaitForTitle(L"地图001.rxdata - Quarnix"));
    EXPECT_EQ(viewer.Describe().caret, "地图001.rxdata");
    EXPECT_EQ(viewer.Describe().items, kMapItems);
    viewer.DropPath(actors);
    ASSERT_TRUE(viewer.WaitForTitle(L"角色.rxdata - Quarnix"));
    EXPECT_EQ(viewer.Describe().caret, "角色.rxdata");
    EXPECT_EQ(viewer.Describe().items, kActorsItems);
    viewer.Command(kExit);
    EXPECT_EQ(viewer.WaitForExit(), 0);
    DeleteFileW(map.c_str());
    DeleteFileW(actors.c_str());
}

TEST(Windows, PathsTheOpenDialogCouldNotReturnAndLockedFilesFailToOpen) {
    std::wstring held = TempFolder(L"quarnix-held") + L"held.rxdata";
    ASSERT_TRUE(CopyFileW(DataPath("Map001.rxdata").c_str(), held.c_str(), FALSE));
    HANDLE writer = CreateFileW(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    struct Case {
        const char* what;
        std::wstring path;
    } cases[] = {
        {"another program writes it", held},
        {"259 units and more", DataPath("") + std::wstring(300, L'a') + L".rxdata"},
    };
    Viewer viewer(DataPath("Actors.rxdata"));
    ASSERT_TRUE(viewer.WaitForTitle(L"Actors.rxdata - Quarnix"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        viewer.OpenPath(c.path);
        EXPECT_EQ(CloseMessageBox(viewer.Window()).text, "打开文件失败");
        EXPECT_EQ(viewer.Describe().items, 0);
    }
    // Once the writer is gone the file opens.
    CloseHandle(writer);
    viewer.OpenPath(held);
    EXPECT_TRUE(viewer.WaitForTitle(L"held.rxdata - Quarnix"));
    viewer.Command(kExit);
    EXPECT_EQ(viewer.WaitForExit(), 0);
    DeleteFileW(held.c_str());
}

TEST(Windows, AboutClosesWithOkEscAndTheCloseBox) {
    Viewer viewer;
    ASSERT_TRUE(viewer.WaitForTitle(L"Quarnix"));
    struct Case {
        const char* way;
        void (*close)(HWND dialog);
    } cases[] = {
        {"OK", [](HWND d) { PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK))); }},
        {"Esc", [](HWND d) { PostMessageW(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        viewer.Command(kAbout);
        HWND dialog = WaitForDialog(viewer.Window());
        ASSERT_TRUE(dialog);
        EXPECT_EQ(Utf8(WindowText(dialog)), "关于 Quarnix");
        EXPECT_TRUE(FindWindowExW(dialog, nullptr, L"Static", Wide(NameAndVersion("Quarnix")).c_str()));
        EXPECT_FALSE(IsWindowEnabled(viewer.Window()));  // modal
        c.close(dialog);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
        EXPECT_TRUE(IsWindowEnabled(viewer.Window()));
        EXPECT_EQ(WindowText(viewer.Window()), L"Quarnix");
    }
    viewer.Command(kExit);
    EXPECT_EQ(viewer.WaitForExit(), 0);
}

// `quarnix.exe --version` and `/?`: the text in a message box (the program
// has no console), no main window, exit 0 once it is closed.
TEST(Windows, HelpAndVersionShowTheirTextInAMessageBoxAndExit) {
    struct Case {
        const wchar_t* argument;
        std::string text;
    } cases[] = {{L"--version", NameAndVersion("quarnix")}, {L"/?", "usage: quarnix [FILE]\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.argument));
        std::wstring command = L"\"" + Wide(QUARNIX_EXE) + L"\" " + c.argument;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process));
        auto ownedByIt = [&](const wchar_t* className) {
            for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w;
                 w = FindWindowExW(nullptr, w, className, nullptr)) {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == process.dwProcessId && IsWindowVisible(w)) return w;
            }
            return HWND{};
        };
        HWND box = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (box = ownedByIt(L"#32770")) != nullptr; }));
        if (box) {
            EXPECT_EQ(Utf8(WindowText(box)), "Quarnix");
            EXPECT_EQ(Utf8(WindowText(GetDlgItem(box, 0xFFFF))).substr(0, c.text.size()), c.text);
            EXPECT_FALSE(ownedByIt(L"MainWindow"));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        DWORD status = 1;
        if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
        GetExitCodeProcess(process.hProcess, &status);
        EXPECT_EQ(status, 0u);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

// The panes' rectangles in the main window's client coordinates.
struct Layout {
    RECT tree, list;
};
Layout Panes(const Viewer& viewer) {
    Layout layout{};
    GetWindowRect(viewer.Child(L"SysTreeView32"), &layout.tree);
    GetWindowRect(viewer.Child(L"SysListView32"), &layout.list);
    MapWindowPoints(nullptr, viewer.Window(), reinterpret_cast<POINT*>(&layout), 4);
    return layout;
}

TEST(Windows, SplitterFollowsTheCursorIgnoresPositionsOutsideAndResetsOnDoubleClick) {
    Viewer viewer;
    ASSERT_TRUE(viewer.WaitForTitle(L"Quarnix"));
    SetWindowPos(viewer.Window(), nullptr, 0, 0, 700, 500, SWP_NOZORDER);
    RECT client;
    GetClientRect(viewer.Window(), &client);
    const int w = client.right;
    const int h = Panes(viewer).tree.bottom;
    ASSERT_GT(h, 100);
    auto mouse = [&](UINT message, int x) {
        SendMessageW(viewer.Window(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), 10));
    };
    struct Case {
        const char* what;
        int x;         // the cursor's x in a drag from the gap; 0x7fff: a double-click
        int treeWidth; // afterwards
    } cases[] = {
        {"initial", -1000, 200}, {"to 300", 300, 300}, {"to 0", 0, 0},           {"left of the window", -5, 0},
        {"to 150", 150, 150},    {"to W", w, w},      {"right of W", w + 1, w}, {"double-click", 0x7fff, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.x == 0x7fff) {
            mouse(WM_LBUTTONDBLCLK, 202);
        } else if (c.x != -1000) {
            mouse(WM_LBUTTONDOWN, 202);
            mouse(WM_MOUSEMOVE, c.x);
            mouse(WM_LBUTTONUP, c.x);
        }
        Layout layout = Panes(viewer);
        EXPECT_EQ(layout.tree.left, 0);
        EXPECT_EQ(layout.tree.right, c.treeWidth);
        EXPECT_EQ(layout.tree.bottom, h);
        EXPECT_EQ(layout.list.left, c.treeWidth + 4);
        EXPECT_EQ(layout.list.right - layout.list.left, std::max(0, w - c.treeWidth - 4));
    }
    viewer.Command(kExit);
    EXPECT_EQ(viewer.WaitForExit(), 0);
}
}  // namespace
