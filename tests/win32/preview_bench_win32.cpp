// How long the Win32 preview takes to show its largest readings, from the
// target to the painted pane, beside bench/preview_bench (Qt): a 1 MB
// script (inflated, split, its visible rows coloured and drawn) and a
// 500 x 500 x 3 Table (copied, gridded, heat-mapped).  Prints the median of
// RUNS runs of each, in milliseconds.
//
//   quarnix_win32_preview_bench.exe [RUNS]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/preview_bench_file.h"
#include "marshal/load.h"
#include "present/viewer_document.h"
#include "ui/handlers.h"
#include "ui/win32/preview_win32.h"

namespace {
double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

const MarshalNode* Value(int i) { return ChildAt(ChildAt(&DocumentRoot, 0), i); }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterMainWindowClass(GetModuleHandleW(nullptr));
    HWND window = CreateMainWindow(GetModuleHandleW(nullptr));
    SetWindowPos(window, nullptr, 0, 0, 1000, 700, SWP_NOZORDER);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetPreviewShown(true);
    Pump();

    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"quarnix-preview-bench.rxdata";
    const std::string bytes = preview_bench::FileBytes();
    std::FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out) return 1;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    ModalHooks().openDialog = [&path](char16_t* chosen, int size) {
        if (static_cast<int>(path.size()) >= size) return false;
        std::copy(path.begin(), path.end(), chosen);
        chosen[path.size()] = u'\0';
        return true;
    };
    OpenCommand();
    Pump();
    DeleteFileW(path.c_str());
    if (!ChildCount(&DocumentRoot)) return 1;

    const char* names[] = {"script 1 MB", "table 500x500x3"};
    for (int which : {1, 0}) {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            const double start = Now();
            ShowPreviewTarget({Value(which), -1, u"data0"});
            RedrawWindow(PreviewPane, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            times.push_back(Now() - start);
            std::fprintf(stderr, "%s run %d: %.1f ms\n", names[which], run, times.back());
            ShowPreviewTarget({});
            Pump();
        }
        std::printf("preview %s: %.1f ms\n", names[which], Median(times));
        std::fflush(stdout);
    }
    DestroyWindow(window);
    return 0;
}
