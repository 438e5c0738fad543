// Drives a running quarnix.exe from outside, as a user and the system
// would: finds its windows by class and title, posts commands and mouse
// messages, reads what the panes show through the program's --test-hooks.
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

// What the panes show, from the program's report.
struct PaneReport {
    std::string title, caret, status;
    long items = 0;  // tree items
    bool loading = false;
    std::vector<std::string> rows;  // "name\ttype\tvalue\timage\toverlay\tselected"
};

class Viewer {
public:
    // Starts quarnix.exe --test-hooks with the file (none: empty window).
    explicit Viewer(const std::wstring& file = L"");
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
    void Command(int id) { PostMessageW(window_, WM_COMMAND, static_cast<WPARAM>(id), 0); }
    HWND Child(const wchar_t* className) const { return FindWindowExW(window_, nullptr, className, nullptr); }
    // Waits for the program to end; its exit code, or -1 after 30 s.
    int WaitForExit();

private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    HWND driver_ = nullptr;
};

// Waits until `ready` holds, for up to 30 s.
bool WaitFor(const std::function<bool()>& ready);
// A dialog (class #32770) owned by `owner`; waits up to 30 s.
HWND WaitForDialog(HWND owner);
std::wstring WindowText(HWND window);
