// The status bar, the title, the file's icon in the image list, and what
// the program asks of the system: the Open dialog, message boxes, a file's
// display name and icon, the wait cursor.
#include "ui/win32/win32_front_end.h"

#include <commdlg.h>
#include <shellapi.h>

namespace {
const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text ? text : u""); }
HCURSOR g_cursorBeforeBusy = nullptr;
int g_busyDepth = 0;
}  // namespace

void StatusSetText(const char16_t* text) {
    SendMessageW(StatusBar, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(Wide(text)));
}

void WindowSetTitle(const char16_t* title) { SetWindowTextW(MainWindowHandle, Wide(title)); }

void ImagesReplaceFileIcon(FileIcon icon) {
    if (!icon) return;
    ImageList_ReplaceIcon(PaneImageList, kImageFile, static_cast<HICON>(icon));
    InvalidateRect(TreePane, nullptr, TRUE);
}

bool ShowOpenDialog(char16_t* path, int size) {
    if (ModalHooks().openDialog) return ModalHooks().openDialog(path, size);
    static const wchar_t kFilter[] = L"RPG Maker XP 数据文件(*.rxdata)\0*.rxdata\0所有文件\0*\0";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = MainWindowHandle;
    ofn.lpstrFilter = kFilter;
    ofn.lpstrFile = reinterpret_cast<wchar_t*>(path);
    ofn.nMaxFile = static_cast<DWORD>(size);
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    return GetOpenFileNameW(&ofn) == TRUE;
}

void ShowMessage(const char16_t* text, MessageIcon icon) {
    if (ModalHooks().message) return ModalHooks().message(text, icon);
    MessageBoxW(MainWindowHandle, Wide(text), L"错误",
                MB_OK | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONWARNING));
}

void GetFileDisplayInfo(const char16_t* path, char16_t* displayName, int size, FileIcon* icon) {
    SHFILEINFOW info{};
    SHGetFileInfoW(Wide(path), 0, &info, sizeof info, SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_SMALLICON);
    // Where the shell gives no name, the file's own name stands in: a title
    // or root item without one would name nothing.
    const wchar_t* name = info.szDisplayName;
    if (!name[0] && path) {
        name = Wide(path);
        for (const wchar_t* p = name; *p; ++p)
            if (*p == L'\\' || *p == L'/') name = p + 1;
    }
    if (displayName && size > 0) {
        int n = 0;
        for (; n < size - 1 && name[n]; ++n) displayName[n] = name[n];
        displayName[n] = u'\0';
    }
    if (icon) *icon = info.hIcon;
    else if (info.hIcon) DestroyIcon(info.hIcon);
}

void DestroyFileIcon(FileIcon icon) {
    if (icon) DestroyIcon(static_cast<HICON>(icon));
}

// The window answers messages during a load: the cursor is set at once
// here, and kept over the window by SetWaitCursor until the load is done.
void SetBusy(bool busy) {
    if (busy) {
        HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        if (g_busyDepth++ == 0) g_cursorBeforeBusy = previous;
    } else if (g_busyDepth > 0 && --g_busyDepth == 0) {
        SetCursor(g_cursorBeforeBusy);
    }
}

bool SetWaitCursor(LPARAM hitTest) {
    if (g_busyDepth == 0 || LOWORD(hitTest) != HTCLIENT) return false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return true;
}
