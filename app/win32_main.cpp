// quarnix.exe: the native Windows viewer.  `quarnix FILE` opens FILE once
// the window is shown, as a file association passes it; with no argument
// the window starts empty; `quarnix --compare OLD NEW` opens NEW and
// compares OLD with it.  `quarnix --help` and `quarnix --version` show
// their text in a message box (the program has no console) and exit.
#include "ui/win32/win32_front_end.h"

#include <objbase.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "app/viewer_command_line.h"

#ifdef QUARNIX_TEST_SWITCHES
#include "app/win32_switches.h"
#endif

namespace {
// --help or --version: its text in a message box, before any window.
bool AnswerRequest(int argc, wchar_t* const* argv) {
    const ViewerRequest request = ViewerRequestOf(argc, argv);
    if (request == ViewerRequest::kRun) return false;
    std::string text = request == ViewerRequest::kHelp ? ViewerHelpText() : ViewerVersionText();
    while (!text.empty() && text.back() == '\n') text.pop_back();
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    MessageBoxW(nullptr, wide.c_str(), L"Quarnix", MB_OK | MB_ICONINFORMATION);
    return true;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments && AnswerRequest(count, arguments)) {
        LocalFree(arguments);
        return 0;
    }
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

    if (arguments) {
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
