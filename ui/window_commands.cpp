#include "ui/window_commands.h"

#include "ui/compare_controller.h"
#include "ui/find_controller.h"
#include "ui/game_folder_controller.h"
#include "ui/nav_panes.h"
#include "ui/navigation_controller.h"
#include "ui/open_sequence.h"
#include "ui/viewer.h"

namespace {
WindowCommandHooks g_hooks;

template <typename Hook>
void Call(const Hook& hook) {
    if (hook) hook();
}

void Copy() {
    const std::u16string text = NavigationController::SelectedRowsText();
    if (!text.empty()) ClipboardSetText(text);
}

void CopyPath() { ClipboardSetText(NavigationController::CurrentPathText()); }

void Step(void (FindController::*move)()) {
    Call(g_hooks.revealFindBar);
    if (g_hooks.find) (g_hooks.find->*move)();
}

bool HasFolder() {
    GameFolderController* folder = ActiveGameFolder();
    return folder && !folder->Folder().empty();
}

// The find bar's text over every file of the folder; with no word typed
// yet, the bar opens for one.
void FindInFolder() {
    if (!g_hooks.find) return;
    const FindQuery& query = g_hooks.find->Query();
    if (query.text.empty()) Call(g_hooks.showFindBar);
    else ActiveGameFolder()->FindInFolder(query);
}

bool CanGoBack() { return ActiveNavigation() && ActiveNavigation()->History().CanGoBack(); }
bool CanGoForward() { return ActiveNavigation() && ActiveNavigation()->History().CanGoForward(); }
bool HasDifferences() { return ActiveCompare() && ActiveCompare()->Count() > 0; }
bool HasDocument() { return ActiveCompare() && TreeRootItem(); }
bool Comparing() { return ActiveCompare() && (ActiveCompare()->Active() || ActiveCompare()->Running()); }

// The Open dialog chooses the old version; the open document is the new one.
void CompareWithOther() {
    char16_t path[kDocumentPathUnits];
    if (ShowOpenDialog(path, kDocumentPathUnits)) ActiveCompare()->Start(path);
}

bool PreviewShown() { return g_hooks.previewShown && g_hooks.previewShown(); }

using M = WindowMenu;
using K = CommandKey;
}  // namespace

const WindowCommand kWindowCommands[kWindowCommandCount] = {
    {M::kEdit, false, u"复制(&C)", kKeyCtrl, K::kC, nullptr, nullptr, Copy},
    {M::kEdit, false, u"复制路径(&P)", kKeyCtrl | kKeyShift, K::kC, nullptr, nullptr, CopyPath},
    {M::kEdit, true, u"查找(&F)...", kKeyCtrl, K::kF, nullptr, nullptr, [] { Call(g_hooks.showFindBar); }},
    {M::kEdit, false, u"查找下一个(&N)", kKeyPlain, K::kF3, nullptr, nullptr, [] { Step(&FindController::Next); }},
    {M::kEdit, false, u"查找上一个(&V)", kKeyShift, K::kF3, nullptr, nullptr, [] { Step(&FindController::Previous); }},
    {M::kEdit, true, u"转到路径(&G)...", kKeyCtrl, K::kL, nullptr, nullptr, [] { Call(g_hooks.showPathBar); }},
    {M::kEdit, true, u"在文件夹中查找(&I)...", kKeyCtrl | kKeyShift, K::kF, HasFolder, nullptr, FindInFolder},
    {M::kView, false, u"预览", kKeyPlain, K::kF4, nullptr, PreviewShown, [] { Call(g_hooks.togglePreview); }},
    {M::kNavigate, false, u"后退(&B)", kKeyAlt, K::kLeft, CanGoBack, nullptr, [] { ActiveNavigation()->Back(); }},
    {M::kNavigate, false, u"前进(&F)", kKeyAlt, K::kRight, CanGoForward, nullptr, [] { ActiveNavigation()->Forward(); }},
    {M::kNavigate, true, u"下一处差异(&D)", kKeyPlain, K::kF8, HasDifferences, nullptr, [] { ActiveCompare()->Next(); }},
    {M::kNavigate, false, u"上一处差异(&R)", kKeyShift, K::kF8, HasDifferences, nullptr, [] { ActiveCompare()->Previous(); }},
    {M::kFile, true, u"与其他版本比较(&D)...", kKeyCtrl, K::kD, HasDocument, nullptr, CompareWithOther},
    {M::kFile, false, u"结束比较(&X)", kKeyPlain, K::kNone, Comparing, nullptr, [] { ActiveCompare()->End(); }},
};

const char16_t* WindowMenuTitle(WindowMenu menu) {
    switch (menu) {
    case WindowMenu::kEdit: return u"编辑(&E)";
    case WindowMenu::kView: return u"查看(&V)";
    case WindowMenu::kNavigate: return u"导航(&N)";
    case WindowMenu::kFile: return u"文件(&F)";
    }
    return u"";
}

std::u16string CommandKeyText(const WindowCommand& command) {
    static constexpr const char16_t* kKeys[] = {u"C", u"F", u"L", u"F3", u"F4", u"Left", u"Right", u"D", u"F8"};
    if (command.key == CommandKey::kNone) return {};
    std::u16string text;
    if (command.modifiers & kKeyCtrl) text += u"Ctrl+";
    if (command.modifiers & kKeyAlt) text += u"Alt+";
    if (command.modifiers & kKeyShift) text += u"Shift+";
    return text + kKeys[static_cast<int>(command.key)];
}

void SetWindowCommandHooks(WindowCommandHooks hooks) { g_hooks = std::move(hooks); }

bool WindowCommandEnabled(int index) {
    if (index < 0 || index >= kWindowCommandCount || OpenSequenceRunning()) return false;
    const WindowCommand& command = kWindowCommands[index];
    return !command.enabled || command.enabled();
}

bool WindowCommandChecked(int index) {
    return index >= 0 && index < kWindowCommandCount && kWindowCommands[index].checked && kWindowCommands[index].checked();
}

bool RunWindowCommand(int index) {
    if (!WindowCommandEnabled(index)) return false;
    kWindowCommands[index].run();
    return true;
}
