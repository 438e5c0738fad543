// What the Win32 pane tests share: handling the messages posted so far, and
// a control's place in the main window.
#pragma once
#include "ui/win32/win32_front_end.h"

inline void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// The control's rectangle in the main window's client coordinates.
inline RECT Bounds(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, MainWindowHandle, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
