// The texts that presentation functions hand out, and the conversions
// between the document's UTF-8 and the UTF-16 that every control receives.
// All texts are NUL-terminated UTF-16 (char16_t).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// A caller's buffer for labels and integer texts: the longest, "-2147483648"
// or "键" with ten digits, takes 12 units with its NUL.
constexpr int kLabelBufferUnits = 20;
using LabelBuffer = char16_t[kLabelBufferUnits];

// Where a handed-out text lives, which decides who frees it.
enum class TextKind : std::uint8_t {
    kNone,    // no text at all (an empty cell), or the heap was exhausted
    kStatic,  // a constant of the program
    kBuffer,  // the caller's LabelBuffer
    kHeap,    // std::malloc'd, sized to fit; the caller frees it
};

struct Text {
    const char16_t* text;  // none exactly when kind is kNone
    TextKind kind;
};

constexpr Text NoText() { return {nullptr, TextKind::kNone}; }
constexpr Text StaticText(const char16_t* text) { return {text, TextKind::kStatic}; }
constexpr Text BufferText(const char16_t* text) { return {text, TextKind::kBuffer}; }
// A text from Utf8ToWide or another allocation; none (exhausted) stays none.
constexpr Text HeapText(char16_t* text) { return {text, text ? TextKind::kHeap : TextKind::kNone}; }

// Frees the text when it lives on the heap; every other kind is left alone.
// Heap texts come from std::malloc, so a caller that owns one may also grow
// it with std::realloc or free it with std::free directly.
void FreeText(Text text);

// The document's UTF-8 as UTF-16, in a std::malloc'd text sized to fit; none
// when the heap is exhausted or `utf8` is none.  The source ends at its
// first NUL byte.  Malformed input is no error: each maximal ill-formed
// subsequence (a stray continuation byte, an overlong form, an encoded
// surrogate, a code point above U+10FFFF, a cut sequence) becomes one U+FFFD,
// as the Unicode Standard recommends and as the Windows conversion does.
// Code points above U+FFFF become surrogate pairs.
char16_t* Utf8ToWide(const char* utf8);

// The same conversion for a text that is handed out at once: short texts
// (up to kLabelBufferUnits - 1 bytes) go into the caller's buffer, longer
// ones to the heap.  Lists of millions of short names and values then
// allocate nothing for them.
Text Utf8ToText(const char* utf8, LabelBuffer& buffer);

// The same conversion of all `length` bytes, NULs included (each becomes
// U+0000), for readings that show a value whole.  The byte at utf8[length]
// must be readable and NUL, as after every string of the document, so that
// no sequence is decoded past the end.  Throws std::bad_alloc.
std::u16string Utf8ToU16(const char* utf8, std::size_t length);

// The reverse, for file paths and printed output: a std::malloc'd UTF-8 text,
// or none when the heap is exhausted or `wide` is none.  An unpaired
// surrogate becomes U+FFFD.
char* WideToUtf8(const char16_t* wide);
