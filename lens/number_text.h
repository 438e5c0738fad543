// Numbers and bytes as readings show them.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "marshal/node.h"

void AppendInt(std::u16string& out, std::int64_t value);
// ASCII text as UTF-16.
void AppendAscii(std::u16string& out, std::string_view text);
// A float as Ruby's Float#to_s writes it: the shortest digits that read
// back exactly, "255.0", "-0.5", "1.0e+300", "Infinity", "NaN".
void AppendRubyFloat(std::u16string& out, double value);
// A bignum ('l') in decimal, with its sign.
void AppendBignumDecimal(std::u16string& out, const MarshalNode* bignum);
// Bytes as lines of sixteen: offset, hexadecimal, and the printable ASCII.
// Past kHexBytesShown a last line says how many bytes there are: a hex view
// takes five times the memory of its bytes, and nobody reads a megabyte of it.
constexpr std::size_t kHexBytesShown = std::size_t{1} << 20;
void AppendHexLines(std::vector<std::u16string>& lines, std::string_view bytes);
