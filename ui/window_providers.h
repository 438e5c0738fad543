// What the controllers give the window, and one another, without including
// one another: the entries they add to the context menus, the names the
// readings use, and what they do when a document arrives or goes.  Each
// controller fills its slot when it becomes the window's active one
// (SetActiveNavigation, SetActiveGameFolder, SetActiveCompare) and empties
// it when it stops being so; the menus, the preview and the open sequence
// ask the slots, in slot order, and know no controller.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "marshal/node.h"

struct GameNames;

// One entry of a context menu: a command, a disabled line, or a separator
// (empty text).
struct MenuEntry {
    std::u16string text;
    bool enabled = true;
    std::function<void()> choose;
};

// The menus other controllers add to: a row of the list pane (`row`, its
// node `node`), and a line of the preview (`node`: its event command, or none).
enum class MenuPlace : std::uint8_t { kListRow, kPreviewLine };

// The slots, in the order they hear of a document's arrival and departure:
// the indexes stop before the folder's reading, which stops before a
// comparison's.
enum class ProviderSlot : std::uint8_t { kNavigation, kGameFolder, kCompare, kCount };

struct WindowProvider {
    std::function<void(MenuPlace place, int row, const MarshalNode* node, std::vector<MenuEntry>& menu)> menuEntries;
    std::function<void()> documentShown;    // the open sequence showed a new tree
    std::function<void()> documentClosing;  // the document is about to be released
    // An open of `path` failed: true when the slot was waiting for that file
    // (a comparison's new version), so the message names it.
    std::function<bool(const char16_t* path)> openFailed;
    // The bytes the slot loads once the open of `path` ends (a comparison's
    // old version), so one progress covers both.
    std::function<std::uint64_t(const char16_t* path)> bytesAfterOpen;
    std::function<void()> cancel;  // 取消: the slot's own loading stops too
    std::function<const GameNames*()> names;  // what the readings name; none until read
    std::function<unsigned()> namesVersion;   // grows whenever the names change
};

void SetWindowProvider(ProviderSlot slot, WindowProvider provider);
void ClearWindowProvider(ProviderSlot slot);

// Appends every slot's entries for the place.
void AppendProvidedEntries(MenuPlace place, int row, const MarshalNode* node, std::vector<MenuEntry>& menu);
void NotifyDocumentShown();
void NotifyDocumentClosing();
// True when a slot was waiting for the file whose open failed.
bool NotifyOpenFailed(const char16_t* path);
std::uint64_t ProvidedBytesAfterOpen(const char16_t* path);
void NotifyCancel();
// The first slot's names that has any; none (and version 0) otherwise.
const GameNames* ProvidedNames();
unsigned ProvidedNamesVersion();
