// The one image list both panes draw from.  Its indices are the images'
// identities (ui/panes.h): the icons come from two system modules, and an
// icon that cannot be had is replaced by the warning icon, so the list
// always holds all seven in their places.
#include "ui/win32/win32_front_end.h"

#include "ui/win32/dpi_win32.h"

namespace {
struct ImageSource {
    int module;  // 0 regedit.exe, 1 shell32.dll
    int icon;
};
// In index order: file, container, two unused places, other value, number
// or raw bytes, link overlay.
constexpr ImageSource kSources[kImageCount] = {{1, 1}, {1, 4}, {1, 5}, {1, 16769}, {0, 205}, {0, 206}, {1, 30}};
}  // namespace

HIMAGELIST CreatePaneImageList() {
    // The icons are loaded at this size from their modules, which hold
    // several: at 150 % a 24-pixel picture, not a 16-pixel one stretched.
    return ImageList_Create(SmallIconSide(), SmallIconSide(), ILC_COLOR32 | ILC_MASK, 0, 1);
}

void FillPaneImageList() {
    HMODULE modules[2] = {LoadLibraryW(L"regedit.exe"), LoadLibraryW(L"shell32.dll")};
    int width = 0, height = 0;
    ImageList_GetIconSize(PaneImageList, &width, &height);
    for (const ImageSource& source : kSources) {
        HICON icon = nullptr;
        if (modules[source.module])
            icon = static_cast<HICON>(LoadImageW(modules[source.module], MAKEINTRESOURCEW(source.icon), IMAGE_ICON, width,
                                                 height, LR_DEFAULTCOLOR));
        if (!icon) icon = LoadIconW(nullptr, IDI_WARNING);
        ImageList_ReplaceIcon(PaneImageList, -1, icon);
        DestroyIcon(icon);  // the list keeps its own copy
    }
    ImageList_SetOverlayImage(PaneImageList, kImageLinkOverlay, kLinkOverlay);
    for (HMODULE module : modules)
        if (module) FreeLibrary(module);
}

void ResizePaneImageList() {
    ImageList_SetIconSize(PaneImageList, SmallIconSide(), SmallIconSide());  // and empties it
    FillPaneImageList();
    // Set again, so that the tree's items and the list's rows take the new height.
    SendMessageW(TreePane, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(PaneImageList));
    SendMessageW(ListPane, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(PaneImageList));
}
