// printf-style formatting of UTF-16 text into a caller's fixed buffer.  The
// C library's wide functions work on wchar_t, which is 32 bits on Linux, so
// the program carries its own.
#pragma once

// Writes the formatted text into `buffer`: at most size - 1 units of text,
// then a NUL.  Output that does not fit is cut at that point, so the text is
// always terminated when size >= 1; size <= 0 writes nothing.
//
// Conversions and the argument each takes, as in printf:
//   %ld   a `long`, in signed decimal
//   %d    an `int`, in signed decimal
//   %s    a `const char16_t*` text (none writes nothing)
//   %%    a single '%'
// Callers holding a 32-bit value for "%ld" cast it to long: reading an int
// where a long was expected would lose the sign on LP64 systems.  Any other
// character after '%' is copied as it stands.
void FormatBounded(char16_t* buffer, int size, const char16_t* format, ...);
