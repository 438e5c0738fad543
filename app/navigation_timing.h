// The --time-navigation switch of the test builds (quarnix-test, Qt and
// Win32): on an opened file, the same steps in each window, timed from
// inside until the window has painted (bench/windows_bench.sh).
#pragma once
#include <functional>
#include <string>

class FindController;
class NavigationController;

struct NavigationTimes {
    double firstHitMs = 0;  // the search started until its first hit is shown
    double allHitsMs = 0;   // until every hit is counted
    int hits = 0;
    double goToPathMs = 0;  // a typed path to the last hit, from data0
    double backMs = 0;      // and back
    double repaintMs = 0;   // painting the window again with nothing changed
    std::u16string path;
};

// Finds `text` in every column, then goes to the last hit's path and back.
// `wait` takes the window's events, blocking until one comes; `paint`
// brings the panes up to date and paints the window now.  False when the
// text is never found or the path does not resolve.
bool TimeNavigation(NavigationController& navigation, FindController& find, const std::u16string& text,
                    const std::function<void()>& wait, const std::function<void()>& paint, NavigationTimes& times);
// "first hit: 12 ms" and the rest, a line each, to stderr.
void PrintNavigationTimes(const NavigationTimes& times);
