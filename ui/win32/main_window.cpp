// The main window: its class, menu, controls, commands, and the routing of
// its messages to the layout, the notifications and the viewer's logic.
#include "ui/win32/win32_front_end.h"

#include <shellapi.h>

#include <iterator>
#include <string>

#include "ui/compare_controller.h"
#include "ui/handlers.h"
#include "ui/open_sequence.h"
#include "ui/viewer.h"
#include "ui/win32/dpi_win32.h"
#include "ui/win32/preview_win32.h"

HWND MainWindowHandle;
HWND TreePane;
HWND ListPane;
HWND StatusBar;
HIMAGELIST PaneImageList;
bool SplitterDragging;

namespace {
HWND CreateControl(DWORD exStyle, const wchar_t* className, DWORD style, int width, int height) {
    return CreateWindowExW(exStyle, className, nullptr, style, 0, 0, width, height, MainWindowHandle, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// The controls, the image list and the list's columns; nothing is checked,
// a control that did not come leaves a null handle.
LRESULT OnCreate(HWND window) {
    MainWindowHandle = window;
    // Everything below is sized for the monitor the window is on.
    SetCurrentDpi(SystemWindowDpi(window));
    TreePane = CreateControl(WS_EX_CLIENTEDGE, WC_TREEVIEWW,
                             WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                             Scaled(kInitialTreeWidth), 0);
    PaneImageList = CreatePaneImageList();
    SendMessageW(TreePane, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(PaneImageList));
    // Virtual rows (LVS_OWNERDATA): a list of a million rows costs no more
    // to fill than its store.
    ListPane = CreateControl(WS_EX_CLIENTEDGE, WC_LISTVIEWW, WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0);
    SendMessageW(ListPane, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(PaneImageList));
    SendMessageW(ListPane, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_DOUBLEBUFFER);
    // The overlay of a row is asked for with its text and image.
    SendMessageW(ListPane, LVM_SETCALLBACKMASK, LVIS_OVERLAYMASK, 0);
    ResetPaneStores();
    FillPaneImageList();
    InitViewer();  // no document; the list's columns
    StatusBar = CreateControl(0, STATUSCLASSNAMEW, WS_CHILD | WS_VISIBLE, 0, 0);
    SendMessageW(StatusBar, SB_SIMPLE, TRUE, 0);
    SetPaneFonts();
    AttachFrontEnd();
    AttachNavigation();
    CreatePreviewPane(window);
    CreateResultsPane(window);
    DragAcceptFiles(window, TRUE);
    return 0;
}

LRESULT OnDestroy() {
    StopOpenSequence();
    ShutdownViewer();  // the document and the file icon
    DetachNavigation();
    ReleaseDpiFonts();
    PostQuitMessage(0);
    return 0;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    if (HandleNavigationCommand(wParam, lParam)) return 0;
    if (lParam) return 0;  // another control's report
    switch (LOWORD(wParam)) {
    case kCommandOpen: OpenCommand(); break;
    case kCommandExit: DestroyWindow(window); break;
    case kCommandAbout:
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kDialogAbout), window, AboutDialogProc, 0);
        break;
    default: break;
    }
    return 0;
}

// Esc cancels a running open wherever the focus is: the panes pass their
// keys on as notifications, the window gets them when it has the focus.
bool IsEscape(const NMHDR* header) {
    if (header->code == TVN_KEYDOWN) return reinterpret_cast<const NMTVKEYDOWN*>(header)->wVKey == VK_ESCAPE;
    if (header->code == LVN_KEYDOWN) return reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_ESCAPE;
    return false;
}

LRESULT OnNotify(const NMHDR* header) {
    if (header->code == NM_CUSTOMDRAW && header->hwndFrom == TreePane) return DrawTreeMarks(const_cast<NMHDR*>(header));
    if (header->code == NM_CUSTOMDRAW && header->hwndFrom == ListPane) return DrawListMarks(const_cast<NMHDR*>(header));
    if (IsEscape(header)) CancelOpenSequence();
    if (header->hwndFrom == TreePane) HandleTreeNotification(const_cast<NMHDR*>(header));
    else if (header->hwndFrom == ListPane) HandleListNotification(const_cast<NMHDR*>(header));
    if (header->hwndFrom == TreePane || header->hwndFrom == ListPane) PreviewPanesNotified(header);
    return 0;
}

// The first file dropped opens, as the Open command would open it.
LRESULT OnDropFiles(HDROP drop) {
    UINT units = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path(units + 1, L'\0');
    bool got = units > 0 && DragQueryFileW(drop, 0, path.data(), units + 1) == units;
    DragFinish(drop);
    if (got) OpenDocumentPath(reinterpret_cast<const char16_t*>(path.c_str()));
    return 0;
}

LRESULT OnOpenPath(LPARAM lParam) {
    auto* path = reinterpret_cast<wchar_t*>(lParam);
    if (path) OpenDocumentPath(reinterpret_cast<const char16_t*>(path));
    delete[] path;
    return 0;
}

LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: return OnDestroy();
    case WM_SIZE:
        LayoutPanes(wParam, lParam);
        PlaceLoadProgress();
        return 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND: return OnCommand(window, wParam, lParam);
    case WM_INITMENU:
        UpdateNavigationMenus();
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_CONTEXTMENU:
        if (HandleContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
        if (!PathErrorControl(reinterpret_cast<HWND>(lParam))) return DefWindowProcW(window, message, wParam, lParam);
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0xb0, 0x00, 0x20));
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_MOUSEMOVE: SplitterMouseMove(lParam); return 0;
    case WM_LBUTTONDOWN: SplitterButtonDown(); return 0;
    case WM_LBUTTONUP: SplitterButtonUp(); return 0;
    case WM_LBUTTONDBLCLK: SplitterReset(); return 0;
    case WM_DROPFILES: return OnDropFiles(reinterpret_cast<HDROP>(wParam));
    case kOpenPathMessage: return OnOpenPath(lParam);
    case kPostedStepMessage: OnPostedStep(lParam); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) CancelOpenSequence();
        return 0;
    case WM_SETCURSOR:
        if (SetWaitCursor(lParam)) return TRUE;
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_DPICHANGED:
        OnMainWindowDpiChanged(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
}  // namespace

LRESULT PaintMark(std::uint8_t mark, COLORREF* text, COLORREF* background) {
    auto colour = [](std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); };
    if (mark == kMarkRemoved) *text = colour(kMarkGreyText);
    else if (mark < std::size(kMarkBackground)) *background = colour(kMarkBackground[mark]);
    return CDRF_NEWFONT;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static int depth = 0;
    ++depth;
    LRESULT result = Dispatch(window, message, wParam, lParam);
    // Whatever the logic added to the list becomes visible before the next
    // message; not from inside a control's own report, which may come in
    // the middle of the operation that sent it.
    if (--depth == 0 && ListPane) FlushListPane();
    return result;
}

void SetPaneFonts() {
    SendMessageW(TreePane, WM_SETFONT, reinterpret_cast<WPARAM>(PaneFont()), TRUE);
    SendMessageW(ListPane, WM_SETFONT, reinterpret_cast<WPARAM>(PaneFont()), TRUE);
    SendMessageW(StatusBar, WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont()), TRUE);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconApplication), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconApplication), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_DEFAULTCOLOR));
    wc.hCursor = LoadCursorW(nullptr, IDC_SIZEWE);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"MainWindow";
    return RegisterClassExW(&wc) != 0;
}

bool RegisterPaneClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

HMENU BuildMenuBar() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kCommandOpen, L"打开(&O)...");
    AppendFileCommands(file);
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kCommandExit, L"退出(&E)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"文件(&F)");
    AppendNavigationMenus(bar);
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, kCommandAbout, L"关于(&A)...");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"帮助(&H)");
    return bar;
}

HWND CreateMainWindow(HINSTANCE instance) {
    return CreateWindowExW(0, L"MainWindow", L"Quarnix", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, BuildMenuBar(), instance, nullptr);
}

void PostComparePaths(const wchar_t* oldPath, const wchar_t* newPath) {
    // Both made absolute, as PostOpenPath makes NEW's: the comparison starts
    // once the open of that very path has shown its tree.
    auto full = [](const wchar_t* path) {
        std::wstring out(GetFullPathNameW(path, 0, nullptr, nullptr), L'\0');
        const DWORD units = out.empty() ? 0 : GetFullPathNameW(path, static_cast<DWORD>(out.size()), out.data(), nullptr);
        if (!units || units >= out.size()) return std::u16string(reinterpret_cast<const char16_t*>(path));
        return std::u16string(reinterpret_cast<const char16_t*>(out.c_str()), units);
    };
    // Two folders list their differing files instead of opening one.
    if (Win32Compare().CompareFromCommandLine(full(oldPath), full(newPath))) PostOpenPath(newPath);
}

void PostOpenPath(const wchar_t* path) {
    // Made absolute now: the shell names and pictures only full paths, and
    // the working folder may change before the file is opened.
    DWORD units = GetFullPathNameW(path, 0, nullptr, nullptr);
    auto* copy = new wchar_t[units ? units : wcslen(path) + 1];
    if (!units || GetFullPathNameW(path, units, copy, nullptr) >= units) wcscpy(copy, path);
    if (!PostMessageW(MainWindowHandle, kOpenPathMessage, 0, reinterpret_cast<LPARAM>(copy))) delete[] copy;
}

Win32ModalHooks& ModalHooks() {
    static Win32ModalHooks hooks;
    return hooks;
}
