// What `quarnix --help` and `quarnix --version` answer, the same in the Qt
// program and in quarnix.exe: they print (or, in quarnix.exe, which has no
// console, show in a message box) and exit without opening the window.
#pragma once
#include <algorithm>
#include <string>
#include <string_view>
#include <type_traits>

enum class ViewerRequest { kRun, kHelp, kVersion };

// --help, -h (and /? as Windows programs take it), or --version: the first
// such argument decides; anything else runs the viewer.  Before "--", which
// ends the options, only.
template <typename Char>
ViewerRequest ViewerRequestOf(int argc, Char* const* argv) {
    using View = std::basic_string_view<std::remove_const_t<Char>>;
    auto is = [](View arg, std::string_view name) {
        return arg.size() == name.size() && std::equal(arg.begin(), arg.end(), name.begin());
    };
    for (int i = 1; i < argc; ++i) {
        const View arg = argv[i];
        if (is(arg, "--")) break;
        if (is(arg, "--help") || is(arg, "-h") || is(arg, "/?")) return ViewerRequest::kHelp;
        if (is(arg, "--version")) return ViewerRequest::kVersion;
    }
    return ViewerRequest::kRun;
}

// The texts, UTF-8, each ending in a line break.
std::string ViewerHelpText();
std::string ViewerVersionText();
