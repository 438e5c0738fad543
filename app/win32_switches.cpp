#include "app/win32_switches.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include <shlobj.h>

#include "app/compare_timing.h"
#include "app/navigation_timing.h"
#include "ui/compare_controller.h"
#include "lens/event_commands.h"
#include "ui/find_controller.h"
#include "ui/game_folder_controller.h"
#include "ui/handlers.h"
#include "ui/nav_panes.h"
#include "ui/open_sequence.h"
#include "ui/viewer.h"
#include "ui/win32/dpi_win32.h"
#include "ui/win32/preview_win32.h"

namespace {
// Message boxes are answered at once and remembered: these runs have no user.
bool OpenUnattended(const wchar_t* path) {
    bool failed = false;
    ModalHooks().message = [&failed](const char16_t*, MessageIcon) { failed = true; };
    OpenDocumentPath(reinterpret_cast<const char16_t*>(path));
    WaitForLoad();
    FlushListPane();
    ModalHooks().message = nullptr;
    return !failed;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

void PaintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int QuitAfterOpen(HWND window, const wchar_t* path) {
    LARGE_INTEGER start, opened, selected, beforeLast, atLast;
    QueryPerformanceCounter(&start);
    bool ok = OpenUnattended(path);
    PaintNow(window);
    QueryPerformanceCounter(&opened);
    if (TreeItem first = TreeChildItem(TreeRootItem())) TreeSelectItem(first);
    FlushListPane();
    PaintNow(window);
    QueryPerformanceCounter(&selected);
    // Then to the container's last row, as go to path or a find hit goes.
    Win32Navigation().Holders();  // built once after the open; not timed
    const int last = Win32ListStore().Size() - 1;
    QueryPerformanceCounter(&beforeLast);
    if (last >= 0) Win32Navigation().GoTo({TreeItemNode(TreeCaretItem()), ListRowNode(last)});
    FlushListPane();
    PaintNow(window);
    QueryPerformanceCounter(&atLast);
    std::fprintf(stderr, "open: %.0f ms\nselect: %.0f ms\nlast row: %.0f ms\ntree items: %zu\nlist rows: %d\n",
                 Seconds(start, opened) * 1000, Seconds(opened, selected) * 1000, Seconds(beforeLast, atLast) * 1000,
                 Win32TreeStore().Size(), Win32ListStore().Size());
    DestroyWindow(window);
    return ok ? 0 : 1;
}

int TimeNavigationSwitch(HWND window, const wchar_t* path) {
    if (!OpenUnattended(path)) return 1;
    NavigationTimes times;
    const bool done = TimeNavigation(
        Win32Navigation(), Win32Find(), u"RPG::EventCommand",
        [] {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            PumpMessages();
        },
        [window] {
            FlushListPane();
            PaintNow(window);
        },
        times);
    PrintNavigationTimes(times);
    DestroyWindow(window);
    return done ? 0 : 1;
}

int TimeCompareSwitch(HWND window, const wchar_t* oldPath, const wchar_t* newPath) {
    if (!OpenUnattended(newPath)) return 1;
    CompareTimes times;
    const bool done = TimeCompare(
        Win32Compare(), reinterpret_cast<const char16_t*>(oldPath),
        [] {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            PumpMessages();
        },
        [window] {
            PumpMessages();  // the preview follows on a posted message
            FlushListPane();
            PaintNow(window);
        },
        times);
    PrintCompareTimes(times);
    DestroyWindow(window);
    return done ? 0 : 1;
}

// MARK: screenshot

// Whether a container lists a link, or else a text with Chinese in it;
// read from the document, so the walk over every container touches no
// control.
bool ListsLink(const MarshalNode* node) {
    for (std::int64_t i = 0, n = ChildCount(node); i < n; ++i)
        if (ChildAt(node, i)->type == '@') return true;
    return false;
}

bool ListsChinese(const MarshalNode* node) {
    for (std::int64_t i = 0, n = ChildCount(node); i < n; ++i) {
        const MarshalNode* k = ChildAt(node, i);
        if (k->type == 'I' && k->count > 0) k = &k->data.attrs[0].value;  // a string with its encoding
        if (k->type != '"' || !k->data.bytes) continue;
        // U+4E00..U+9FFF are E4 B8 80 .. E9 BF BF in UTF-8.
        for (std::int32_t b = 0; b < k->count; ++b)
            if (static_cast<unsigned char>(k->data.bytes[b]) >= 0xE4 && static_cast<unsigned char>(k->data.bytes[b]) <= 0xE9)
                return true;
    }
    return false;
}

int FirstRowWhere(bool link) {
    const ListStore& rows = Win32ListStore();
    for (int row = 0; row < rows.Size(); ++row) {
        if (link ? rows.At(row).overlay == kLinkOverlay : false) return row;
        if (!link)
            for (char16_t unit : rows.Cell(row, 2))
                if (unit >= 0x4e00 && unit <= 0x9fff) return row;
    }
    return -1;
}

bool SaveWindowBitmap(HWND window, const wchar_t* path) {
    RECT r;
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    int stride = (width * 3 + 3) & ~3;
    std::string pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), '\0');
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::FILE* out = _wfopen(path, L"wb");
    if (!out) return false;
    bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
              std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    return std::fclose(out) == 0 && ok;
}

int SaveShot(HWND window, const wchar_t* picture);

// The container with the most rows among those that list a link, else a
// text in Chinese; one such row selected, the splitter moved right a little.
int Screenshot(HWND window, const wchar_t* path, const wchar_t* picture) {
    if (!OpenUnattended(path)) return 1;
    // The longest event page's command list, a command half-way down
    // selected, so the preview shows the page's lines around its mark;
    // else the container with the most rows among those that list a link,
    // else a text in Chinese.
    TreeItem page = nullptr;
    std::int64_t longest = 0;
    for (TreeItem item = TreeRootItem(); item; item = NextInPreOrder(item)) {
        const MarshalNode* node = TreeItemNode(item);
        if (IsEventCommandList(node) && ChildCount(node) > longest) {
            longest = ChildCount(node);
            page = item;
        }
    }
    if (page) {
        // The find bar with a search done, in the file and across its
        // folder, then the page shown.
        SendMessageW(window, WM_COMMAND, kCommandPreview, 0);
        SendMessageW(window, WM_COMMAND, kCommandFind, 0);
        SetWindowTextW(FindBarEdit(), L"欢迎光临");
        Win32Find().Start();
        for (int i = 0; i < 100 && Win32Find().Searching(); ++i) {
            PumpMessages();
            Sleep(20);
        }
        PumpMessages();
        // The same word across the folder: the results under the panes.
        SendMessageW(window, WM_COMMAND, kCommandFindInFolder, 0);
        for (int i = 0; i < 250 && Win32GameFolder().Running(); ++i) {
            PumpMessages();
            Sleep(20);
        }
        PumpMessages();
        TreeSelectItem(page);
        TreeExpandItem(page);
        for (int r = ListNextSelectedRow(-1); r >= 0; r = ListNextSelectedRow(r)) ListSetRowSelected(r, false);
        const int row = ListFindRow(&TreeItemNode(page)->data.nodes[longest / 2]);
        if (row >= 0) {
            ListSetRowSelected(row, true);
            ListShowRow(row);
        }
    } else {
        TreeItem shown = nullptr;
        bool link = true;
        for (bool (*wanted)(const MarshalNode*) : {ListsLink, ListsChinese}) {
            std::int64_t most = 0;
            for (TreeItem item = TreeRootItem(); item; item = NextInPreOrder(item)) {
                const MarshalNode* node = TreeItemNode(item);
                if (wanted(node) && ChildCount(node) > most) {
                    most = ChildCount(node);
                    shown = item;
                }
            }
            if (shown) break;
            link = false;
        }
        if (shown) {
            TreeSelectItem(shown);
            TreeExpandItem(shown);
            int row = FirstRowWhere(link);
            if (row >= 0) ListSetRowSelected(row, true);
        }
    }
    return SaveShot(window, picture);
}

// `--screenshot=BMP --compare OLD NEW`: F8 until the preview shows an
// event page's inserted command (else the last difference).
int CompareScreenshot(HWND window, const wchar_t* oldPath, const wchar_t* newPath, const wchar_t* picture) {
    if (!OpenUnattended(newPath)) return 1;
    SetPreviewShown(true);
    CompareController& compare = Win32Compare();
    compare.Start(reinterpret_cast<const char16_t*>(oldPath));
    while (compare.Running()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        PumpMessages();
    }
    for (int i = 0; i < compare.Count(); ++i) {
        compare.Next();
        const StoredDifference& d = compare.Differences()[static_cast<std::size_t>(compare.Current())];
        if (d.page.after && d.op == DiffOp::kAdded) break;
    }
    return SaveShot(window, picture);
}

// The same picture at every DPI, only sharper: the window's size and the
// splitter in lengths at 96 DPI, scaled; then saved, and the window goes.
int SaveShot(HWND window, const wchar_t* picture) {
    MoveWindow(window, 0, 0, Scaled(1000), Scaled(640), TRUE);
    SetFocus(ListPane);  // the selected row shows in colour
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Scaled(kInitialTreeWidth) + 1, 10));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Scaled(320), 10));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(Scaled(320), 10));
    FlushListPane();
    SetForegroundWindow(window);
    PaintNow(window);
    for (int i = 0; i < 20; ++i) {
        PumpMessages();
        Sleep(50);
    }
    bool saved = SaveWindowBitmap(window, picture);
    DestroyWindow(window);
    return saved ? 0 : 1;
}

// MARK: test hooks

WNDPROC g_mainProc = nullptr;

std::wstring Report() {
    std::wstring out;
    auto line = [&out](const wchar_t* key, std::u16string_view value) {
        out += key;
        out += L'\t';
        out.append(reinterpret_cast<const wchar_t*>(value.data()), value.size());
        out += L'\n';
    };
    wchar_t text[1024];
    GetWindowTextW(MainWindowHandle, text, 1024);
    line(L"title", reinterpret_cast<const char16_t*>(text));
    const TreeStore& tree = Win32TreeStore();
    TreeItem caret = TreeCaretItem();
    auto caretId = static_cast<TreeStore::Id>(reinterpret_cast<std::uintptr_t>(caret));
    line(L"caret", caret ? tree.Text(caretId) : u"");
    text[0] = L'\0';
    // Wine answers the simple text under part 0, Windows under part 255.
    for (WPARAM part : {WPARAM{SB_SIMPLEID}, WPARAM{0}})
        if (!text[0] && LOWORD(SendMessageW(StatusBar, SB_GETTEXTLENGTHW, part, 0)) < 1024)
            SendMessageW(StatusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    line(L"status", reinterpret_cast<const char16_t*>(text));
    line(L"count", reinterpret_cast<const char16_t*>(std::to_wstring(tree.Size()).c_str()));
    line(L"loading", OpenSequenceRunning() ? u"1" : u"0");
    // The bars under the panes, while they show, and the preview.
    auto controlText = [](HWND control) {
        const int units = GetWindowTextLengthW(control);
        std::wstring value(static_cast<std::size_t>(units) + 1, L'\0');
        GetWindowTextW(control, value.data(), units + 1);
        value.resize(static_cast<std::size_t>(units));
        return std::u16string(value.begin(), value.end());
    };
    if (FindBarShown()) line(L"find", controlText(FindBarStatus()));
    if (IsWindowVisible(PathBarEdit())) {
        line(L"path", controlText(PathBarEdit()));
        line(L"path_error", controlText(PathBarError()));
    }
    line(L"preview", PreviewShown() ? u"1" : u"0");
    wchar_t focus[64] = L"";
    GetClassNameW(GetFocus(), focus, 64);
    line(L"focus", reinterpret_cast<const char16_t*>(focus));
    const ListStore& rows = Win32ListStore();
    for (int r = 0; r < rows.Size(); ++r) {
        std::u16string row;
        for (int column = 0; column < ListStore::kColumns; ++column) {
            if (column) row += u'\t';
            row += rows.Cell(r, column);
        }
        UINT state = static_cast<UINT>(SendMessageW(ListPane, LVM_GETITEMSTATE, static_cast<WPARAM>(r), LVIS_SELECTED));
        std::wstring rest = L"\t" + std::to_wstring(rows.At(r).image) + L"\t" + std::to_wstring(rows.At(r).overlay) +
                            L"\t" + (state & LVIS_SELECTED ? L"1" : L"0");
        row.append(reinterpret_cast<const char16_t*>(rest.c_str()), rest.size());
        line(L"row", row);
    }
    return out;
}

// What the shell posts when a file is dropped on the window: a DROPFILES
// record with the path after it, in memory the receiver frees (DragFinish).
void PostDrop(HWND window, const std::wstring& path) {
    SIZE_T bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!memory) return;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = {40, 40};
    drop->fWide = TRUE;
    path.copy(reinterpret_cast<wchar_t*>(drop + 1), path.size());  // two NULs end the list
    GlobalUnlock(memory);
    if (!PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0)) GlobalFree(memory);
}

LRESULT CALLBACK HookedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return CallWindowProcW(g_mainProc, window, message, wParam, lParam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->dwData == kHookDescribePanes) {
        std::wstring report = Report();
        COPYDATASTRUCT answer{kHookReport, static_cast<DWORD>(report.size() * sizeof(wchar_t)), report.data()};
        SendMessageW(reinterpret_cast<HWND>(wParam), WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                     reinterpret_cast<LPARAM>(&answer));
        return TRUE;
    }
    if (data->dwData == kHookOpenPath) {
        std::wstring path(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
        PostOpenPath(path.c_str());  // after the driver's call has returned
        return TRUE;
    }
    if (data->dwData == kHookDropPath) {
        PostDrop(window, std::wstring(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t)));
        return TRUE;
    }
    return FALSE;
}
}  // namespace

int RunSwitches(HWND window, int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"--quit-after-open") == 0) return QuitAfterOpen(window, argv[2]);
    if (argc == 3 && std::wcscmp(argv[1], L"--time-navigation") == 0) return TimeNavigationSwitch(window, argv[2]);
    if (argc == 4 && std::wcscmp(argv[1], L"--time-compare") == 0) return TimeCompareSwitch(window, argv[2], argv[3]);
    if (argc == 3 && std::wcsncmp(argv[1], L"--screenshot=", 13) == 0) return Screenshot(window, argv[2], argv[1] + 13);
    if (argc == 5 && std::wcsncmp(argv[1], L"--screenshot=", 13) == 0 && std::wcscmp(argv[2], L"--compare") == 0)
        return CompareScreenshot(window, argv[3], argv[4], argv[1] + 13);
    if (argc >= 2 && std::wcscmp(argv[1], L"--test-hooks") == 0) {
        g_mainProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookedProc)));
        if (argc == 5 && std::wcscmp(argv[2], L"--compare") == 0) PostComparePaths(argv[3], argv[4]);
        else if (argc >= 3) PostOpenPath(argv[2]);
        return -1;
    }
    // FILE alone: opened once the window runs its message loop.
    if (argc == 2) PostOpenPath(argv[1]);
    if (argc == 4 && std::wcscmp(argv[1], L"--compare") == 0) PostComparePaths(argv[2], argv[3]);
    return -1;
}
