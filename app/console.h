// What a command-line program needs to behave the same on Linux and on
// Windows: arguments in UTF-8, stdout as bytes, messages a console shows.
#pragma once

// On Windows, replaces the arguments (which arrive in the ANSI code page,
// losing every character outside it) with the UTF-8 of the wide command
// line, and puts stdout and stderr in binary mode so that no CR is added
// before LF.
// Elsewhere the arguments are the system's own bytes and stay as they are.
void PrepareConsole(int& argc, char**& argv);
// One line on stderr: UTF-16 to a Windows console (which shows UTF-8 as
// mojibake), UTF-8 everywhere else.
void PrintErrorLine(const char16_t* text);
