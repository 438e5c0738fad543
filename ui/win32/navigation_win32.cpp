// Find, go to path, copy, back and forward, and the links that refer to a
// value, on the native window: the 编辑, 查看 and 导航 menus with their
// keys, the find and path bars under the panes, the context menus of both
// panes and the mouse's side buttons.  The decisions are the portable
// controllers'; this puts them on Windows' own controls.
#include "ui/win32/win32_front_end.h"

#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/compare_controller.h"
#include "ui/find_controller.h"
#include "ui/game_folder_controller.h"
#include "ui/nav_panes.h"
#include "ui/navigation_controller.h"
#include "ui/window_commands.h"
#include "ui/win32/dpi_win32.h"
#include "ui/win32/preview_win32.h"

namespace {
// A context menu's entries: kMenuEntryBase + index.
constexpr UINT kMenuEntryBase = 1000;

NavigationController g_navigation;
FindController g_find{g_navigation};
GameFolderController g_folder{g_navigation};
CompareController g_compare{g_navigation};
HACCEL g_accelerators = nullptr;
HMENU g_menus[4] = {};  // by WindowMenu

struct FindBarControls {
    HWND label, edit, columns[3], matchCase, previous, next, status, close;
} g_findBar{};
struct PathBarControls {
    HWND label, edit, error;
} g_pathBar{};
bool g_findShown = false, g_pathShown = false;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

HWND Child(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle = 0) {
    HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | style, 0, 0, 0, 0, MainWindowHandle, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont()), FALSE);
    return control;
}

std::u16string WindowText(HWND control) {
    const int units = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(units) + 1, L'\0');
    GetWindowTextW(control, text.data(), units + 1);
    text.resize(static_cast<std::size_t>(units));
    return std::u16string(text.begin(), text.end());
}

void SetText(HWND control, const std::u16string& text) { SetWindowTextW(control, Wide(text.c_str())); }

void Relayout() {
    RECT r{};
    GetClientRect(MainWindowHandle, &r);
    SendMessageW(MainWindowHandle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right, r.bottom));
}

void ShowControls(std::initializer_list<HWND> controls, bool shown) {
    for (HWND control : controls) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

void ShowFindBar(bool shown) {
    g_findShown = shown;
    ShowControls({g_findBar.label, g_findBar.edit, g_findBar.columns[0], g_findBar.columns[1], g_findBar.columns[2],
                  g_findBar.matchCase, g_findBar.previous, g_findBar.next, g_findBar.status, g_findBar.close},
                 shown);
    Relayout();
    if (shown) {
        SetFocus(g_findBar.edit);
        Edit_SetSel(g_findBar.edit, 0, -1);
    } else {
        g_find.Stop();
        PreviewMarkFindText({}, false);
        SetFocus(ListPane);
    }
}

void ShowPathBar(bool shown) {
    g_pathShown = shown;
    ShowControls({g_pathBar.label, g_pathBar.edit, g_pathBar.error}, shown);
    Relayout();
    if (shown) {
        SetText(g_pathBar.edit, NavigationController::CurrentPathText());
        SetWindowTextW(g_pathBar.error, L"");
        SetFocus(g_pathBar.edit);
        Edit_SetSel(g_pathBar.edit, 0, -1);
    } else {
        SetFocus(ListPane);
    }
}

FindQuery BarQuery() {
    FindQuery query;
    query.text = WindowText(g_findBar.edit);
    const unsigned bits[] = {kFindName, kFindType, kFindValue};
    query.columns = 0;
    for (int c = 0; c < 3; ++c)
        if (Button_GetCheck(g_findBar.columns[c]) == BST_CHECKED) query.columns |= bits[c];
    query.matchCase = Button_GetCheck(g_findBar.matchCase) == BST_CHECKED;
    return query;
}

void QueryChanged() {
    FindQuery query = BarQuery();
    PreviewMarkFindText(query.text, query.matchCase);
    g_find.SetQuery(std::move(query));
}

void GoToTypedPath() {
    FlushListPane();
    const std::u16string error = g_navigation.GoToPath(WindowText(g_pathBar.edit));
    SetText(g_pathBar.error, error);
    if (error.empty()) ShowPathBar(false);
}

// Enter steps through the hits (Shift+Enter backwards) or goes to the path;
// Esc closes the bar.
LRESULT CALLBACK BarEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        const bool find = edit == g_findBar.edit;
        if (wParam == VK_ESCAPE) find ? ShowFindBar(false) : ShowPathBar(false);
        else if (!find) GoToTypedPath();
        else if (GetKeyState(VK_SHIFT) < 0) g_find.Previous();
        else g_find.Next();
        FlushListPane();
        return 0;
    }
    if (message == WM_CHAR && (wParam == L'\r' || wParam == 0x1b)) return 0;  // no beep
    return DefSubclassProc(edit, message, wParam, lParam);
}

void CreateBars() {
    g_findBar.label = Child(L"STATIC", L"查找:", SS_CENTERIMAGE);
    g_findBar.edit = Child(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    const wchar_t* names[] = {L"名称", L"类型", L"值"};
    for (int c = 0; c < 3; ++c) {
        g_findBar.columns[c] = Child(L"BUTTON", names[c], WS_TABSTOP | BS_AUTOCHECKBOX);
        Button_SetCheck(g_findBar.columns[c], BST_CHECKED);
    }
    g_findBar.matchCase = Child(L"BUTTON", L"区分大小写", WS_TABSTOP | BS_AUTOCHECKBOX);
    g_findBar.previous = Child(L"BUTTON", L"上一个", WS_TABSTOP | BS_PUSHBUTTON);
    g_findBar.next = Child(L"BUTTON", L"下一个", WS_TABSTOP | BS_PUSHBUTTON);
    g_findBar.status = Child(L"STATIC", L"", SS_CENTERIMAGE);
    g_findBar.close = Child(L"BUTTON", L"关闭", WS_TABSTOP | BS_PUSHBUTTON);
    g_pathBar.label = Child(L"STATIC", L"转到路径:", SS_CENTERIMAGE);
    g_pathBar.edit = Child(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    g_pathBar.error = Child(L"STATIC", L"", SS_CENTERIMAGE);
    SetWindowSubclass(g_findBar.edit, BarEditProc, 1, 0);
    SetWindowSubclass(g_pathBar.edit, BarEditProc, 1, 0);
}

ACCEL Accelerator(int index) {
    static constexpr WORD kKeys[] = {'C', 'F', 'L', VK_F3, VK_F4, VK_LEFT, VK_RIGHT, 'D', VK_F8};
    const WindowCommand& command = kWindowCommands[index];
    BYTE flags = FVIRTKEY;
    if (command.modifiers & kKeyCtrl) flags |= FCONTROL;
    if (command.modifiers & kKeyShift) flags |= FSHIFT;
    if (command.modifiers & kKeyAlt) flags |= FALT;
    return {flags, kKeys[static_cast<int>(command.key)], static_cast<WORD>(WindowCommandId(index))};
}

// A context menu of entries at a screen point; the chosen entry runs.
void PopUp(std::vector<MenuEntry> entries, POINT at) {
    if (entries.empty()) return;
    HMENU menu = CreatePopupMenu();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].text.empty()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        AppendMenuW(menu, MF_STRING | (entries[i].enabled ? 0 : MF_GRAYED), kMenuEntryBase + i,
                    Wide(entries[i].text.c_str()));
    }
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, MainWindowHandle, nullptr));
    DestroyMenu(menu);
    if (chosen < kMenuEntryBase || chosen - kMenuEntryBase >= entries.size()) return;
    MenuEntry& entry = entries[chosen - kMenuEntryBase];
    if (entry.choose) entry.choose();
    FlushListPane();
}

POINT CursorOr(LPARAM position, HWND control, POINT fallback) {
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x != -1 || at.y != -1) return at;
    ClientToScreen(control, &fallback);  // from the keyboard: at the selection
    return fallback;
}
}  // namespace

// MARK: the pane operations the navigation needs (ui/nav_panes.h)

void ListShowRow(int row) {
    FlushListPane();
    // The control keeps one focused row, so focusing this one unfocuses
    // the last.  Unfocusing all rows first (item -1) would visit every row:
    // 0.6-0.8 s under Wine in a list of a million.
    ListView_SetItemState(ListPane, row, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_EnsureVisible(ListPane, row, FALSE);
}

const ListStore& ListPaneStore() { return Win32ListStore(); }

void ClipboardSetText(const std::u16string& text) {
    if (!OpenClipboard(MainWindowHandle)) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t))) {
        auto* units = static_cast<char16_t*>(GlobalLock(memory));
        text.copy(units, text.size());
        units[text.size()] = u'\0';
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

// MARK: the window's side

void AttachNavigation() {
    SetActiveNavigation(&g_navigation);
    g_navigation.historyChanged = UpdateNavigationMenus;
    g_navigation.showReferences = [](const MarshalNode* node) {
        POINT at{};
        GetCursorPos(&at);
        PopUp(g_navigation.ReferencesMenu(node), at);
    };
    g_find.statusChanged = [] { SetText(g_findBar.status, g_find.StatusText()); };
    SetActiveGameFolder(&g_folder);
    SetActiveCompare(&g_compare);
    g_compare.changed = [] {
        UpdateNavigationMenus();
        PreviewCompareChanged();
    };
    g_folder.namesChanged = RefreshPreviewNow;  // the readings name what commands refer to
    g_folder.resultsChanged = UpdateResultsPane;
    g_folder.showResults = [] { SetResultsPaneShown(true); };
    CreateBars();
    g_findShown = g_pathShown = false;
    WindowCommandHooks hooks;
    hooks.find = &g_find;
    hooks.showFindBar = [] { ShowFindBar(true); };
    hooks.revealFindBar = [] {
        if (!g_findShown) ShowFindBar(true);
    };
    hooks.showPathBar = [] { ShowPathBar(true); };
    hooks.togglePreview = [] { SetPreviewShown(!PreviewShown()); };
    hooks.previewShown = PreviewShown;
    SetWindowCommandHooks(std::move(hooks));
}

void DetachNavigation() {
    g_folder.namesChanged = g_folder.resultsChanged = g_folder.showResults = nullptr;
    g_folder.Clear();
    SetActiveGameFolder(nullptr);
    g_compare.changed = nullptr;
    g_compare.DocumentClosing();  // its worker reads the document
    SetActiveCompare(nullptr);
    SetWindowCommandHooks({});
    for (HMENU& menu : g_menus) menu = nullptr;
}

void UpdateNavigationMenus() {
    for (int i = 0; i < kWindowCommandCount; ++i) {
        HMENU menu = g_menus[static_cast<int>(kWindowCommands[i].menu)];
        if (!menu) continue;
        EnableMenuItem(menu, WindowCommandId(i), WindowCommandEnabled(i) ? MF_ENABLED : MF_GRAYED);
        if (kWindowCommands[i].checked) CheckMenuItem(menu, WindowCommandId(i), WindowCommandChecked(i) ? MF_CHECKED : MF_UNCHECKED);
    }
}

void DocumentShownWin32() { g_navigation.DocumentShown(); }

namespace {
void AppendCommands(HMENU menu, WindowMenu which) {
    g_menus[static_cast<int>(which)] = menu;
    for (int i = 0; i < kWindowCommandCount; ++i) {
        const WindowCommand& command = kWindowCommands[i];
        if (command.menu != which) continue;
        if (command.separatorBefore) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        std::u16string text = command.label;
        if (command.key != CommandKey::kNone) text += u"\t" + CommandKeyText(command);
        AppendMenuW(menu, MF_STRING, WindowCommandId(i), Wide(text.c_str()));
    }
}
}  // namespace

void AppendFileCommands(HMENU file) { AppendCommands(file, WindowMenu::kFile); }

void AppendNavigationMenus(HMENU bar) {
    for (WindowMenu which : {WindowMenu::kEdit, WindowMenu::kView, WindowMenu::kNavigate}) {
        HMENU menu = CreatePopupMenu();
        AppendCommands(menu, which);
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), Wide(WindowMenuTitle(which)));
    }
    UpdateNavigationMenus();
}

bool TranslateNavigationMessage(MSG* message) {
    if (!MainWindowHandle) return false;
    // The mouse's side buttons, over whichever control the pointer is.
    if (message->message == WM_XBUTTONUP) {
        FlushListPane();
        RunWindowCommand(GET_XBUTTON_WPARAM(message->wParam) == XBUTTON1 ? kBackCommand : kForwardCommand);
        FlushListPane();
        return true;
    }
    if (!g_accelerators) {
        ACCEL keys[kWindowCommandCount];
        int count = 0;
        for (int i = 0; i < kWindowCommandCount; ++i)
            if (kWindowCommands[i].key != CommandKey::kNone) keys[count++] = Accelerator(i);
        g_accelerators = CreateAcceleratorTableW(keys, count);
    }
    // In the bars' fields, Ctrl+C copies the field's own text.
    HWND focus = GetFocus();
    if ((focus == g_findBar.edit || focus == g_pathBar.edit) && message->message == WM_KEYDOWN &&
        message->wParam == 'C' && GetKeyState(VK_CONTROL) < 0)
        return false;
    if (!TranslateAcceleratorW(MainWindowHandle, g_accelerators, message)) return false;
    // An Alt accelerator's key-down is kept from the window: the default
    // procedure then sees Alt go down and up with no key between, and opens
    // the menu bar on its release (under Wine).  It sees the key-down too.
    if (message->message == WM_SYSKEYDOWN) DefWindowProcW(MainWindowHandle, WM_SYSKEYDOWN, message->wParam, message->lParam);
    return true;
}

bool HandleNavigationCommand(WPARAM wParam, LPARAM lParam) {
    FlushListPane();
    const HWND control = reinterpret_cast<HWND>(lParam);
    if (control) {
        const WORD code = HIWORD(wParam);
        if (control == g_findBar.edit && code == EN_CHANGE) QueryChanged();
        else if (code != BN_CLICKED) return false;
        else if (control == g_findBar.next) g_find.Next();
        else if (control == g_findBar.previous) g_find.Previous();
        else if (control == g_findBar.close) ShowFindBar(false);
        else if (control == g_findBar.matchCase || control == g_findBar.columns[0] || control == g_findBar.columns[1] ||
                 control == g_findBar.columns[2])
            QueryChanged();
        else return false;
        FlushListPane();
        return true;
    }
    const int index = static_cast<int>(LOWORD(wParam)) - kWindowCommandBase;
    if (index < 0 || index >= kWindowCommandCount) return false;
    RunWindowCommand(index);
    FlushListPane();
    return true;
}

bool HandleContextMenu(HWND control, LPARAM position) {
    FlushListPane();
    if (control == ListPane) {
        int row = -1;
        POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
        if (at.x == -1 && at.y == -1) {
            row = ListView_GetNextItem(ListPane, -1, LVNI_SELECTED);
        } else {
            LVHITTESTINFO hit{};
            hit.pt = at;
            ScreenToClient(ListPane, &hit.pt);
            row = ListView_HitTest(ListPane, &hit);
        }
        RECT cell{};
        if (row >= 0) ListView_GetItemRect(ListPane, row, &cell, LVIR_LABEL);
        PopUp(g_navigation.RowMenu(row), CursorOr(position, ListPane, {cell.left, cell.bottom}));
        return true;
    }
    if (control == TreePane) {
        HTREEITEM handle = TreeView_GetSelection(TreePane);
        POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
        if (at.x != -1 || at.y != -1) {
            TVHITTESTINFO hit{};
            hit.pt = at;
            ScreenToClient(TreePane, &hit.pt);
            handle = TreeView_HitTest(TreePane, &hit);
        }
        if (!handle) return true;
        RECT box{};
        TreeView_GetItemRect(TreePane, handle, &box, TRUE);
        PopUp(g_navigation.TreeMenu(TreeItemOfHandle(handle)), CursorOr(position, TreePane, {box.left, box.bottom}));
        return true;
    }
    // The preview passes its event lines' menu on.
    if (control == PreviewControlHandles().events) {
        int line = -1;
        POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
        if (at.x == -1 && at.y == -1) {
            line = static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0));
        } else {
            POINT client = at;
            ScreenToClient(control, &client);
            const LRESULT hit = SendMessageW(control, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
            if (!HIWORD(hit)) line = LOWORD(hit);  // the high word says "outside every line"
        }
        RECT box{};
        if (line >= 0) SendMessageW(control, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&box));
        PopUp(PreviewEventLineMenu(line), CursorOr(position, control, {box.left, box.bottom}));
        return true;
    }
    return false;
}

// The bars' rows: as high as a field of the font with a margin, each
// control as wide as its text; the fields take what is left.
int BarRowHeight() { return ControlHeight(MessageFont()) + Scaled(6); }

int BottomBarsHeight() { return (g_findShown ? BarRowHeight() : 0) + (g_pathShown ? BarRowHeight() : 0); }

void PlaceBottomBars(int top, int width) {
    const HFONT font = MessageFont();
    const int h = ControlHeight(font), gap = Scaled(4), row = BarRowHeight();
    auto place = [](HWND control, int x, int y, int w, int height) { MoveWindow(control, x, y, w < 0 ? 0 : w, height, TRUE); };
    if (g_findShown) {
        const int y = top + (row - h) / 2;
        // The fixed parts, right of the field: the columns, case, the two
        // buttons, the count (room for a count in the millions), close.
        int boxes[4], fixed = 0;
        const HWND checks[4] = {g_findBar.columns[0], g_findBar.columns[1], g_findBar.columns[2], g_findBar.matchCase};
        for (int c = 0; c < 4; ++c) fixed += (boxes[c] = CheckBoxWidth(font, Wide(WindowText(checks[c]).c_str()))) + gap;
        const int previous = ButtonWidth(font, L"上一个"), next = ButtonWidth(font, L"下一个"), close = ButtonWidth(font, L"关闭");
        const int status = TextWidth(font, L"第 123,456 个，共 1,234,567 个") + gap;
        fixed += previous + gap + next + gap + status + gap + close;
        int x = gap;
        const int labelWidth = TextWidth(font, L"查找:") + gap;
        place(g_findBar.label, x, y, labelWidth, h);
        x += labelWidth;
        const int field = std::max(width - x - gap - fixed - gap, Scaled(120));
        place(g_findBar.edit, x, y, field, h);
        x += field + gap;
        for (int c = 0; c < 3; ++c) {
            place(g_findBar.columns[c], x, y, boxes[c], h);
            x += boxes[c] + gap;
        }
        place(g_findBar.matchCase, x, y, boxes[3], h);
        x += boxes[3] + gap;
        place(g_findBar.previous, x, y, previous, h);
        x += previous + gap;
        place(g_findBar.next, x, y, next, h);
        x += next + gap;
        place(g_findBar.status, x, y, status, h);
        x += status + gap;
        place(g_findBar.close, x, y, close, h);
        top += row;
    }
    if (g_pathShown) {
        const int y = top + (row - h) / 2;
        const int labelWidth = TextWidth(font, L"转到路径:") + gap, x = gap + labelWidth;
        place(g_pathBar.label, gap, y, labelWidth, h);
        // The error gets room for a sentence; the field the rest.
        const int field = std::max(width - x - Scaled(260), Scaled(160));
        place(g_pathBar.edit, x, y, field, h);
        place(g_pathBar.error, x + field + gap, y, width - x - field - 2 * gap, h);
    }
}

void BarsDpiChanged() {
    for (HWND control : {g_findBar.label, g_findBar.edit, g_findBar.columns[0], g_findBar.columns[1],
                         g_findBar.columns[2], g_findBar.matchCase, g_findBar.previous, g_findBar.next,
                         g_findBar.status, g_findBar.close, g_pathBar.label, g_pathBar.edit, g_pathBar.error})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont()), TRUE);
}

bool PathErrorControl(HWND control) { return control == g_pathBar.error; }

NavigationController& Win32Navigation() { return g_navigation; }
FindController& Win32Find() { return g_find; }
GameFolderController& Win32GameFolder() { return g_folder; }
CompareController& Win32Compare() { return g_compare; }
HWND FindBarEdit() { return g_findBar.edit; }
HWND FindBarStatus() { return g_findBar.status; }
HWND PathBarEdit() { return g_pathBar.edit; }
HWND PathBarError() { return g_pathBar.error; }
bool FindBarShown() { return g_findShown; }

