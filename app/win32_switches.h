// Switches of quarnix.exe for the developers' scripts and the end-to-end
// test only; a user never needs them.
//   --quit-after-open FILE   opens FILE, paints, selects the file's first
//                            container, paints, goes to its last row,
//                            paints; prints the times to stderr and exits
//                            (bench/)
//   --time-navigation FILE   opens FILE, finds "RPG::EventCommand", goes to
//                            the last hit's path and back, prints the times
//                            to stderr and exits (app/navigation_timing.h)
//   --screenshot=BMP FILE    opens FILE, selects a container and one of its
//                            rows, saves the window as a bitmap and exits
//   --test-hooks [FILE]      answers WM_COPYDATA queries from a test driver:
//                            what the panes show, and paths to open
#pragma once
#include "ui/win32/win32_front_end.h"

// Protocol of --test-hooks: the driver sends WM_COPYDATA with wParam its own
// window and one of these in dwData.
constexpr ULONG_PTR kHookDescribePanes = 1;  // answered with kHookReport
constexpr ULONG_PTR kHookOpenPath = 2;       // lpData: a UTF-16 path, opened later
constexpr ULONG_PTR kHookReport = 3;
constexpr ULONG_PTR kHookDropPath = 4;       // lpData: a UTF-16 path, dropped on the window
// The report: lines of UTF-16, "title\t...", "caret\t...", "status\t...",
// "count\tN" (tree items the store holds), "loading\t1" while an open runs
// (else 0); "find\t<the find bar's count text>" while that bar shows,
// "path\t<typed path>" and "path_error\t<its error>" while the path bar
// shows, "preview\t1" or "preview\t0", "focus\t<class of the focused
// control>"; then one "row\tname\ttype\tvalue\timage\toverlay\tselected"
// per list row.

// Runs the switch's job on a window already shown and returns the exit
// code; or, to run as usual, returns -1 after handing the window the file
// to open, if one was given.
int RunSwitches(HWND window, int argc, wchar_t** argv);
