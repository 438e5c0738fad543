// Drives a running quarnix.exe from outside, as a user and the system
// would: finds its windows by class and title, posts commands and mouse
// messages and keyboard input, reads what the panes and bars show through
// the program's --test-hooks.
#pragma once
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// The heading of the results list under the panes.
std::string ResultsHeading(HWND results);

// What the panes show, from the program's report.
struct PaneReport {
    std::string title, caret, status;
    long items = 0;  // tree items
    bool loading = false;
    std::vector<std::string> rows;  // "name\ttype\tvalue\timage\toverlay\tselected"
    bool findShown = false, pathShown = false, preview = false;
    std::string find;       // the find bar's count text
    std::string path, pathError;  // the path bar's field and error
    std::string focus;      // class of the control with the keyboard focus
    // Names of the selected rows.
    std::vector<std::string> Selected() const;
};

// Keys held down around another, for Viewer::Press.
enum Modifier : unsigned { kNoModifier = 0, kCtrl = 1, kShift = 2, kAlt = 4 };

class Viewer {
public:
    // Starts quarnix.exe --test-hooks with the file (none: empty window).
    explicit Viewer(const std::wstring& file = L"");
    // Starts it with these arguments after --test-hooks (`--compare OLD NEW`).
    explicit Viewer(const std::vector<std::wstring>& arguments);
    ~Viewer();  // ends the program if the test did not
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    HWND Window() const { return window_; }
    // Waits for the main window to carry this title with no open running;
    // false after 30 s.
    bool WaitForTitle(const std::wstring& title);
    PaneReport Describe();
    // Opens a path the way the command line and dropped files do.
    void OpenPath(const std::wstring& path);
    // Drops a file on the window, as the shell does after a drag.
    void DropPath(const std::wstring& path);
    // The keyboard, as a user's: the window brought to the foreground, then
    // the keys sent as input (so the program's message loop and its
    // accelerators see them as a user's).  A chord: modifiers held around
    // `key`.  Text: one character at a time, as an input method sends it.
    void Press(unsigned modifiers, WORD key);
    // The same chord with the modifiers let go before the key, as a quick
    // hand often does.
    void PressReleasingModifiersFirst(unsigned modifiers, WORD key);
    void Type(const std::wstring& text);
    // The mouse's side button (XBUTTON1, XBUTTON2) clicked over `control`;
    // input like the keys, so the two arrive in the order sent.
    void SideButton(HWND control, WORD button);
    // The report once `ready` holds in it, or the last one after 30 s.
    PaneReport DescribeWhen(const std::function<bool(const PaneReport&)>& ready);
    void Command(int id) { PostMessageW(window_, WM_COMMAND, static_cast<WPARAM>(id), 0); }
    HWND Child(const wchar_t* className) const { return FindWindowExW(window_, nullptr, className, nullptr); }
    // Waits for the program to end; its exit code, or -1 after 30 s.
    int WaitForExit();

private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    HWND driver_ = nullptr;
};

// The clipboard's text (UTF-8), and emptying it; the system's, shared
// with the program.
std::string ClipboardText();
void ClearClipboard();
// A file of tests/data as a Windows path.
std::wstring DataPath(const char* name);
// Waits until `ready` holds, for up to 30 s.
bool WaitFor(const std::function<bool()>& ready);
// A dialog (class #32770) owned by `owner`; waits up to 30 s.
HWND WaitForDialog(HWND owner);
std::wstring WindowText(HWND window);
