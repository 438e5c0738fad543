// Safe questions about a node whose shape comes from the file: every
// answer allows for a value of another type than the one expected.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "marshal/node.h"

// The value itself, through object links ('@') and the wrapper of an
// encoded string or user dump ('I' around '"' or 'u'); none stays none.
const MarshalNode* Unwrapped(const MarshalNode* node);

// The bytes of a string ('"', also inside 'I'); false for anything else.
bool StringBytes(const MarshalNode* node, std::string_view& bytes);
// The bytes of a user dump ('u', also inside 'I') of the class, or of any
// class when `className` is none.
bool UserDumpBytes(const MarshalNode* node, const char* className, std::string_view& bytes);
// The value of an integer ('i'); false for anything else.
bool IntegerValue(const MarshalNode* node, std::int64_t& value);

// The instance variable of an object ('o') by its name without '@'; none
// when the value is no object or has no such variable.
const MarshalNode* InstanceVariable(const MarshalNode* object, std::string_view name);
// The class name of an object or user dump, "" when it has none.
std::string_view ClassName(const MarshalNode* node);
