// The --time-compare switch of the test builds (quarnix-test, Qt and
// Win32): with the new file open, the old one compared with it and the
// differences stepped through, timed from inside until the window has
// painted (bench/compare_windows.sh).
#pragma once
#include <functional>
#include <string>
#include <vector>

class CompareController;

// Each figure twice: on the clock, and in the process's CPU time, which a
// machine shared with other work inflates far less.
struct Span {
    double ms = 0, cpuMs = 0;
};

struct CompareTimes {
    Span loadOld;   // the old file loaded alone, as the comparison loads it
    Span compare;   // the two documents compared alone, no window
    Span shown;     // from the start until shown, the tree marked and painted
    Span mark;      // the window's part of it: tree and list marked, title and status
    int differences = 0;
    std::vector<Span> steps;  // F8 until painted, the preview too
    std::vector<Span> moves;  // of which the step itself: the panes moved, before the preview and painting
};

// Compares `oldPath` with the open document, then presses F8 up to 50
// times.  `wait` takes the window's events, blocking until one comes;
// `paint` runs what is posted and paints the window now.  False when the
// comparison does not show.
bool TimeCompare(CompareController& compare, const std::u16string& oldPath, const std::function<void()>& wait,
                 const std::function<void()>& paint, CompareTimes& times);
// "load old: 120 ms (cpu 95 ms)" and the rest, a line each, to stderr.
void PrintCompareTimes(const CompareTimes& times);
