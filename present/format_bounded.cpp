#include "present/format_bounded.h"

#include <cstdarg>

namespace {
// The output cursor: units beyond the bound are dropped, the NUL slot kept.
struct Output {
    char16_t* next;
    char16_t* last;  // where the NUL goes

    void Put(char16_t c) {
        if (next < last) *next++ = c;
    }
};

void PutDecimal(Output& out, long value) {
    // Magnitude in unsigned arithmetic, so the most negative value works too.
    unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    char16_t digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) out.Put(u'-');
    while (n > 0) out.Put(digits[--n]);
}
}  // namespace

void FormatBounded(char16_t* buffer, int size, const char16_t* format, ...) {
    if (!buffer || size <= 0) return;
    Output out{buffer, buffer + (size - 1)};
    std::va_list args;
    va_start(args, format);
    // Once the buffer is full nothing more can show, so the walk stops there.
    for (const char16_t* f = format; f && *f && out.next < out.last; ++f) {
        if (*f != u'%') {
            out.Put(*f);
            continue;
        }
        if (f[1] == u'l' && f[2] == u'd') {
            PutDecimal(out, va_arg(args, long));
            f += 2;
        } else if (f[1] == u'd') {
            PutDecimal(out, va_arg(args, int));
            f += 1;
        } else if (f[1] == u's') {
            for (const char16_t* s = va_arg(args, const char16_t*); s && *s && out.next < out.last; ++s) out.Put(*s);
            f += 1;
        } else if (f[1] == u'%') {
            out.Put(u'%');
            f += 1;
        } else {
            out.Put(u'%');  // not a conversion: the next character follows as text
        }
    }
    va_end(args);
    *out.next = u'\0';
}
