// quarnix.exe: the native Windows viewer.  `quarnix FILE` opens FILE once
// the window is shown, as a file association passes it; with no argument
// the window starts empty; `quarnix --compare OLD NEW` opens NEW and
// compares OLD with it.
#include "ui/win32/window_state.h"

#include <objbase.h>
#include <shellapi.h>

#include <cwchar>

#ifdef QUARNIX_TEST_SWITCHES
#include "app/win32_switches.h"
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    InitCommonControls();
    // The shell's file icons and the Open dialog want COM on this thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (!RegisterMainWindowClass(instance)) {
        MessageBoxW(nullptr, L"注册窗口类失败！", L"错误", MB_ICONERROR);
        return 0;
    }
    HWND window = CreateMainWindow(instance);
    if (!window) {
        MessageBoxW(nullptr, L"创建主窗口失败！", L"错误", MB_ICONERROR);
        return 0;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    int count = 0;
    if (LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count)) {
#ifdef QUARNIX_TEST_SWITCHES
        int status = RunSwitches(window, count, arguments);
        LocalFree(arguments);
        if (status >= 0) return status;
#else
        if (count == 2) PostOpenPath(arguments[1]);
        if (count == 4 && std::wcscmp(arguments[1], L"--compare") == 0) PostComparePaths(arguments[2], arguments[3]);
        LocalFree(arguments);
#endif
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (TranslateNavigationMessage(&message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoUninitialize();
    return static_cast<int>(message.wParam);
}
