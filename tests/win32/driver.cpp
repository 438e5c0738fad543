#include "tests/win32/driver.h"

#include <sstream>

#include "app/win32_switches.h"

namespace {
PaneReport g_lastReport;

LRESULT CALLBACK DriverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->dwData != kHookReport) return FALSE;
    std::wstring text(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
    PaneReport report;
    std::wistringstream lines(text);
    for (std::wstring line; std::getline(lines, line);) {
        std::size_t tab = line.find(L'\t');
        std::wstring key = line.substr(0, tab), value = tab == std::wstring::npos ? L"" : line.substr(tab + 1);
        if (key == L"title") report.title = Utf8(value);
        else if (key == L"caret") report.caret = Utf8(value);
        else if (key == L"status") report.status = Utf8(value);
        else if (key == L"count") report.items = std::stol(value);
        else if (key == L"loading") report.loading = value == L"1";
        else if (key == L"row") report.rows.push_back(Utf8(value));
        else if (key == L"find") report.findShown = true, report.find = Utf8(value);
        else if (key == L"path") report.pathShown = true, report.path = Utf8(value);
        else if (key == L"path_error") report.pathError = Utf8(value);
        else if (key == L"preview") report.preview = value == L"1";
        else if (key == L"focus") report.focus = Utf8(value);
    }
    g_lastReport = report;
    return TRUE;
}

HWND CreateDriverWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DriverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuarnixTestDriver";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    switch (key) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_INSERT: case VK_DELETE: input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY; break;
    default: break;
    }
    return input;
}

void PumpOwnMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}
}  // namespace

std::wstring Wide(const std::string& utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Utf8(const std::wstring& wide) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = Utf8(units);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void ClearClipboard() {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

std::wstring DataPath(const char* name) {
    std::wstring unix = Wide(std::string(QUARNIX_TEST_DATA) + "/" + name);
    wchar_t full[MAX_PATH];
    GetFullPathNameW(unix.c_str(), MAX_PATH, full, nullptr);  // Z:\... under Wine
    return full;
}

bool WaitFor(const std::function<bool()>& ready) {
    for (int i = 0; i < 600; ++i) {
        if (ready()) return true;
        PumpOwnMessages();
        Sleep(50);
    }
    return false;
}

std::wstring WindowText(HWND window) {
    wchar_t text[2048] = L"";
    GetWindowTextW(window, text, 2048);
    return text;
}

HWND WaitForDialog(HWND owner) {
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr))
            if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) found = w;
        return found != nullptr;
    });
    return found;
}

Viewer::Viewer(const std::wstring& file) : Viewer(file.empty() ? std::vector<std::wstring>{} : std::vector{file}) {}

Viewer::Viewer(const std::vector<std::wstring>& arguments) {
    driver_ = CreateDriverWindow();
    std::wstring command = L"\"" + Wide(QUARNIX_EXE) + L"\" --test-hooks";
    for (const std::wstring& argument : arguments) command += L" \"" + argument + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process_)) return;
    WaitForInputIdle(process_.hProcess, 30000);
    WaitFor([&] {
        for (HWND w = FindWindowW(L"MainWindow", nullptr); w; w = FindWindowExW(nullptr, w, L"MainWindow", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == process_.dwProcessId) window_ = w;
        }
        return window_ != nullptr;
    });
}

Viewer::~Viewer() {
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 10000);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    if (driver_) DestroyWindow(driver_);
}

bool Viewer::WaitForTitle(const std::wstring& title) {
    return WaitFor([&] { return WindowText(window_) == title && !Describe().loading; });
}

PaneReport Viewer::Describe() {
    g_lastReport = PaneReport{};
    COPYDATASTRUCT query{kHookDescribePanes, 0, nullptr};
    SendMessageW(window_, WM_COPYDATA, reinterpret_cast<WPARAM>(driver_), reinterpret_cast<LPARAM>(&query));
    return g_lastReport;
}

void Viewer::OpenPath(const std::wstring& path) {
    COPYDATASTRUCT data{kHookOpenPath, static_cast<DWORD>(path.size() * sizeof(wchar_t)), const_cast<wchar_t*>(path.data())};
    SendMessageW(window_, WM_COPYDATA, reinterpret_cast<WPARAM>(driver_), reinterpret_cast<LPARAM>(&data));
}

void Viewer::DropPath(const std::wstring& path) {
    COPYDATASTRUCT data{kHookDropPath, static_cast<DWORD>(path.size() * sizeof(wchar_t)), const_cast<wchar_t*>(path.data())};
    SendMessageW(window_, WM_COPYDATA, reinterpret_cast<WPARAM>(driver_), reinterpret_cast<LPARAM>(&data));
}

int Viewer::WaitForExit() {
    if (WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
}

std::vector<std::string> PaneReport::Selected() const {
    std::vector<std::string> names;
    for (const std::string& row : rows)
        if (row.size() >= 2 && row.compare(row.size() - 2, 2, "\t1") == 0) names.push_back(row.substr(0, row.find('\t')));
    return names;
}

// Keyboard input goes to the foreground window's focused control.
static void SendToForeground(HWND window, std::vector<INPUT> inputs) {
    if (GetForegroundWindow() != window) {
        SetForegroundWindow(window);
        WaitFor([&] { return GetForegroundWindow() == window; });
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

namespace {
std::vector<INPUT> Chord(unsigned modifiers, WORD key, bool keyLast) {
    const WORD held[] = {VK_CONTROL, VK_SHIFT, VK_MENU};
    std::vector<INPUT> inputs;
    for (int m = 0; m < 3; ++m)
        if (modifiers & (1u << m)) inputs.push_back(KeyInput(held[m], false));
    inputs.push_back(KeyInput(key, false));
    if (!keyLast) inputs.push_back(KeyInput(key, true));
    for (int m = 2; m >= 0; --m)
        if (modifiers & (1u << m)) inputs.push_back(KeyInput(held[m], true));
    if (keyLast) inputs.push_back(KeyInput(key, true));
    return inputs;
}
}  // namespace

void Viewer::Press(unsigned modifiers, WORD key) { SendToForeground(window_, Chord(modifiers, key, false)); }

void Viewer::PressReleasingModifiersFirst(unsigned modifiers, WORD key) {
    SendToForeground(window_, Chord(modifiers, key, true));
}

void Viewer::Type(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t unit : text)
        for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = unit;
            input.ki.dwFlags = KEYEVENTF_UNICODE | up;
            inputs.push_back(input);
        }
    SendToForeground(window_, std::move(inputs));
}

void Viewer::SideButton(HWND control, WORD button) {
    RECT r{};
    GetWindowRect(control, &r);
    std::vector<INPUT> inputs(3);
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.mouseData = button;
    }
    // Absolute positions run from 0 to 65535 across the screen.
    inputs[0].mi.dx = ((r.left + r.right) / 2) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    inputs[0].mi.dy = ((r.top + r.bottom) / 2) * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    inputs[0].mi.mouseData = 0;
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_XDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_XUP;
    SendToForeground(window_, std::move(inputs));
}

PaneReport Viewer::DescribeWhen(const std::function<bool(const PaneReport&)>& ready) {
    PaneReport report;
    WaitFor([&] {
        report = Describe();
        return ready(report);
    });
    return report;
}

std::string ResultsHeading(HWND results) {
    wchar_t text[512] = L"";
    SendMessageW(FindWindowExW(results, nullptr, L"Static", nullptr), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return Utf8(text);
}
