// The contract suites over the native Windows panes: a real main window
// with its real controls, in this process; everything is read back from
// the controls.
#include "ui/win32/win32_front_end.h"

#include <string>

#include "tests/pane_adapter.h"
#include "ui/game_folder_controller.h"
#include "ui/handlers.h"

namespace {
std::vector<SeenMessage> g_messages;
std::vector<std::u16string> g_openAnswers;

// Under Wine the window system's events must be taken in now and then.
void PumpAndFlush() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    FlushListPane();
}

std::u16string ListText(int row, int column, HWND list = ListPane) {
    wchar_t text[1024] = L"";
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 1024;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return reinterpret_cast<const char16_t*>(text);
}

LVITEMW ListItem(int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.iItem = row;
    item.stateMask = LVIS_OVERLAYMASK;
    SendMessageW(ListPane, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item;
}

// The pixels of an icon drawn on black, for comparing two pictures.
std::string Pixels(HICON icon) {
    int w = GetSystemMetrics(SM_CXSMICON), h = GetSystemMetrics(SM_CYSMICON);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
    BITMAPINFOHEADER info{sizeof info, w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::string pixels(static_cast<std::size_t>(w * h * 4), '\0');
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}
}  // namespace

void PanesStart() {
    static bool registered = RegisterMainWindowClass(GetModuleHandleW(nullptr));
    (void)registered;
    g_messages.clear();
    g_openAnswers.clear();
    ModalHooks().message = [](const char16_t* text, MessageIcon icon) { g_messages.push_back({text, icon}); };
    ModalHooks().openDialog = [](char16_t* path, int size) {
        if (g_openAnswers.empty()) return false;
        std::u16string answer = g_openAnswers.front();
        g_openAnswers.erase(g_openAnswers.begin());
        if (static_cast<int>(answer.size()) >= size) return false;
        answer.copy(path, answer.size());
        path[answer.size()] = u'\0';
        return true;
    };
    HWND window = CreateMainWindow(GetModuleHandleW(nullptr));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    PumpAndFlush();
}

void PanesStop() {
    DestroyWindow(MainWindowHandle);
    PumpAndFlush();
    MainWindowHandle = TreePane = ListPane = StatusBar = nullptr;
    ModalHooks() = Win32ModalHooks{};
}

void PanesRunEvents() {
    for (int i = 0; i < 3; ++i) {
        PumpAndFlush();
        Sleep(5);
    }
    PumpAndFlush();
}
NavigationController& PanesNavigation() { return Win32Navigation(); }
FindController& PanesFind() { return Win32Find(); }
GameFolderController& PanesGameFolder() { return Win32GameFolder(); }

bool PanesResultsShown() {
    PumpAndFlush();
    return IsWindowVisible(GetParent(ResultsPaneList())) != FALSE;
}

std::u16string PanesResultsHeading() {
    PumpAndFlush();
    wchar_t text[1024] = L"";
    GetWindowTextW(ResultsPaneHeading(), text, 1024);
    return reinterpret_cast<const char16_t*>(text);
}

std::vector<std::u16string> PanesResultLines() {
    PumpAndFlush();
    HWND list = ResultsPaneList();
    std::vector<std::u16string> lines;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) lines.push_back(ListText(i, 0, list));
    return lines;
}

void PanesChooseResult(int line) {
    // As a double-click on the line does: it is selected, then activated.
    PumpAndFlush();
    HWND list = ResultsPaneList();
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item));
    NMITEMACTIVATE activate{};
    activate.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), LVN_ITEMACTIVATE};
    activate.iItem = line;
    SendMessageW(GetParent(list), WM_NOTIFY, activate.hdr.idFrom, reinterpret_cast<LPARAM>(&activate));
    PumpAndFlush();
}

void PanesFindInFolder(const std::u16string& text) {
    SetWindowTextW(FindBarEdit(), reinterpret_cast<const wchar_t*>(text.c_str()));
    SendMessageW(MainWindowHandle, WM_COMMAND, MAKEWPARAM(kCommandFindInFolder, 0), 0);
    PumpAndFlush();
}
std::u16string PanesClipboard() {
    std::u16string text;
    if (!OpenClipboard(MainWindowHandle)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* units = static_cast<const char16_t*>(GlobalLock(data))) text = units;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}
void PanesWaitForOpen() {
    WaitForLoad();
    PumpAndFlush();
}
void PanesQueueOpenAnswer(const std::u16string& path) { g_openAnswers.push_back(path); }
const std::vector<SeenMessage>& PanesMessages() { return g_messages; }

std::u16string PanesTitle() {
    wchar_t text[1024] = L"";
    GetWindowTextW(MainWindowHandle, text, 1024);
    return reinterpret_cast<const char16_t*>(text);
}

std::u16string PanesStatus() {
    PumpAndFlush();
    // Wine answers the simple text under part 0, Windows under part 255.
    wchar_t text[1024] = L"";
    SendMessageW(StatusBar, SB_GETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text));
    if (!text[0]) SendMessageW(StatusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return reinterpret_cast<const char16_t*>(text);
}

std::u16string PanesItemText(TreeItem item) {
    // Read from the control where it has the item; the others are answered
    // by the tree's store, as the queries are.
    if (HTREEITEM handle = TreeItemHandleIfShown(item)) {
        wchar_t text[1024] = L"";
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = handle;
        tv.pszText = text;
        tv.cchTextMax = 1024;
        SendMessageW(TreePane, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        return reinterpret_cast<const char16_t*>(text);
    }
    auto id = static_cast<TreeStore::Id>(reinterpret_cast<std::uintptr_t>(item));
    return Win32TreeStore().Valid(id) ? std::u16string(Win32TreeStore().Text(id)) : u"";
}

bool PanesItemExpanded(TreeItem item) {
    // An item without children hides nothing: the control never marks it.
    if (!TreeChildItem(item)) return item != nullptr;
    HTREEITEM handle = TreeItemHandleIfShown(item);
    return handle && (SendMessageW(TreePane, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(handle), TVIS_EXPANDED) &
                      TVIS_EXPANDED);
}

std::size_t PanesItemCount() { return Win32TreeStore().Size(); }

int PanesRowCount() {
    PumpAndFlush();
    return static_cast<int>(SendMessageW(ListPane, LVM_GETITEMCOUNT, 0, 0));
}

std::u16string PanesCell(int row, int column) { return ListText(row, column); }
int PanesRowImage(int row) { return ListItem(row).iImage; }
namespace {
// The mark an item or row is painted with: the window's own custom-draw
// answer, read back from its colours.
int MarkOfDraw(COLORREF text, COLORREF back) {
    auto colour = [](std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); };
    if (text == colour(kMarkGreyText)) return kMarkRemoved;
    for (int mark : {kMarkChanged, kMarkAdded})
        if (back == colour(kMarkBackground[mark])) return mark;
    return kMarkNone;
}
constexpr COLORREF kUnpainted = RGB(1, 2, 3);
}  // namespace

int PanesItemMark(TreeItem item) {
    PumpAndFlush();
    NMTVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = TreePane;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.lItemlParam = static_cast<LPARAM>(reinterpret_cast<std::uintptr_t>(item));
    draw.clrText = draw.clrTextBk = kUnpainted;
    DrawTreeMarks(&draw.nmcd.hdr);
    return MarkOfDraw(draw.clrText, draw.clrTextBk);
}

int PanesRowMark(int row) {
    PumpAndFlush();
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = ListPane;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.clrText = draw.clrTextBk = kUnpainted;
    DrawListMarks(&draw.nmcd.hdr);
    return MarkOfDraw(draw.clrText, draw.clrTextBk);
}

int PanesRowOverlay(int row) { return static_cast<int>((ListItem(row).state & LVIS_OVERLAYMASK) >> 8); }

int PanesFocusedRow() {
    PumpAndFlush();
    const int row = static_cast<int>(SendMessageW(ListPane, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (row < 0) return -1;
    return SendMessageW(ListPane, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_FOCUSED) >= 0 ? -2 : row;
}

void PanesClickRow(int row, bool additive) {
    PumpAndFlush();
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    if (additive) {
        bool selected = SendMessageW(ListPane, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED;
        item.state = selected ? 0 : LVIS_SELECTED;
        SendMessageW(ListPane, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return;
    }
    for (int r = ListNextSelectedRow(-1); r >= 0; r = ListNextSelectedRow(r)) {
        if (r == row) continue;
        item.state = 0;
        SendMessageW(ListPane, LVM_SETITEMSTATE, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
    }
    item.state = LVIS_SELECTED;
    SendMessageW(ListPane, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

bool PanesFileImageIs(FileIcon icon) {
    if (!icon) return false;
    HICON shown = ImageList_GetIcon(PaneImageList, kImageFile, ILD_NORMAL);
    bool same = Pixels(shown) == Pixels(static_cast<HICON>(icon));
    DestroyIcon(shown);
    return same;
}

int PanesLiveIcons() { return -1; }
