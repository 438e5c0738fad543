// What the list pane shows for a value: its type name and its value text.
// Pure functions of a node; they never change it and keep no state.
#pragma once
#include <cstdint>

#include "marshal/node.h"
#include "present/text.h"

// The type name of a type byte; every byte has one ("未知类型" for a byte
// that no value carries, 'e' and 0 included).  Always a static text.
const char16_t* TypeName(std::uint8_t type);

// The magnitude of an 'l' node in lowercase hexadecimal without leading
// zeros, behind '-' for a negative sign byte and "0x": "0x1234", "-0x40".
// No digit follows "0x" when the magnitude is zero.  A std::malloc'd text,
// or none when the node is no bignum (or holds no bytes) or the heap is
// exhausted.
char16_t* BignumHexText(const MarshalNode* node);

// The value text of a node:
//   '0' 'T' 'F'              "nil" "true" "false"            static
//   'i'                      decimal, written into `buffer`  buffer
//   'l'                      BignumHexText                   heap
//   'f'                      "+∞" "-∞" "NaN" for infinities and NaN (static),
//                            otherwise the float as stored   heap
//   '"'                      the bytes up to the first NUL   heap
//   '/'                      "/source/options"               heap
//   ':' ';' 'c' 'm'          the symbol text or path          heap
//   'o' 'S' 'C' 'U' 'u' 'I'  the class name (an 'I' around a
//                            symbol: its text)               heap
// Containers '[' '{' '}', links '@' (the list pane forms those from the
// target's path) and unknown bytes have none, as has an 'I' that brought no
// name along; none also when the heap is exhausted.  A zero-length string
// gives an empty heap text, not none.
Text ValueText(const MarshalNode* node, LabelBuffer& buffer);
