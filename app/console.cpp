#include "app/console.h"

#include <cstdio>
#include <cstdlib>

#include "present/text.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <vector>

void PrepareConsole(int& argc, char**& argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return;
    // Lives as long as the program.
    static std::vector<char*> utf8;
    utf8.clear();
    for (int i = 0; i < count; ++i) utf8.push_back(WideToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
    utf8.push_back(nullptr);
    LocalFree(wide);
    for (int i = 0; i < count; ++i)
        if (!utf8[static_cast<std::size_t>(i)]) return;  // out of memory: keep what the system gave
    argc = count;
    argv = utf8.data();
}

void PrintErrorLine(const char16_t* text) {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(err, &mode)) {
        std::fflush(stderr);
        std::size_t length = 0;
        while (text[length]) ++length;
        DWORD written = 0;
        WriteConsoleW(err, text, static_cast<DWORD>(length), &written, nullptr);
        WriteConsoleW(err, L"\r\n", 2, &written, nullptr);
        return;
    }
    char* utf8 = WideToUtf8(text);
    std::fprintf(stderr, "%s\n", utf8 ? utf8 : "");
    std::free(utf8);
}
#else
void PrepareConsole(int&, char**&) {}

void PrintErrorLine(const char16_t* text) {
    char* utf8 = WideToUtf8(text);
    std::fprintf(stderr, "%s\n", utf8 ? utf8 : "");
    std::free(utf8);
}
#endif
