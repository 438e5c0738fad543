// The commands of the 编辑, 查看 and 导航 menus (and the 文件 menu's
// comparison entries, after its 打开), once for every window: their
// menu, label, key, when they are enabled and what they run.  A window
// draws its menus and keys from the table and runs a command by its index;
// a new command is one row.  While an open runs, the loader writes the
// document: no command runs and none is enabled (cancel and progress are
// the open sequence's own).  The context menus' entries that one
// controller adds to another's menu come through ui/window_providers.h.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

class FindController;

enum class WindowMenu : std::uint8_t { kEdit, kView, kNavigate, kFile };
enum class CommandKey : std::uint8_t { kC, kF, kL, kF3, kF4, kLeft, kRight, kD, kF8, kNone };
enum KeyModifier : std::uint8_t { kKeyPlain = 0, kKeyCtrl = 1, kKeyShift = 2, kKeyAlt = 4 };

struct WindowCommand {
    WindowMenu menu;
    bool separatorBefore;  // a line above it in its menu
    const char16_t* label;
    std::uint8_t modifiers;  // KeyModifier bits
    CommandKey key;  // kNone: no key
    bool (*enabled)();  // none: whenever no open runs
    bool (*checked)();  // none: no check mark
    void (*run)();
};

// The rows, in the order of their menus.
enum WindowCommandIndex : int {
    kCopyCommand,
    kCopyPathCommand,
    kFindCommand,
    kFindNextCommand,
    kFindPreviousCommand,
    kGoToPathCommand,
    kFindInFolderCommand,
    kPreviewCommand,
    kBackCommand,
    kForwardCommand,
    kNextDifferenceCommand,
    kPreviousDifferenceCommand,
    kCompareCommand,
    kEndCompareCommand,
    kWindowCommandCount,
};
extern const WindowCommand kWindowCommands[kWindowCommandCount];

// "编辑(&E)", "查看(&V)", "导航(&N)", "文件(&F)".
const char16_t* WindowMenuTitle(WindowMenu menu);
// The key as a menu shows it: "Ctrl+Shift+C", "F3", "Alt+Left".
std::u16string CommandKeyText(const WindowCommand& command);

// What the commands need of the window beyond the controllers: its bars and
// its preview.  `revealFindBar` is what F3 does to the bar before stepping.
struct WindowCommandHooks {
    FindController* find = nullptr;
    std::function<void()> showFindBar, revealFindBar, showPathBar, togglePreview;
    std::function<bool()> previewShown;
};
void SetWindowCommandHooks(WindowCommandHooks hooks);

bool WindowCommandEnabled(int index);
bool WindowCommandChecked(int index);
// Runs the command when it is enabled; false when it did not run.
bool RunWindowCommand(int index);
