// The short label each child of a container shows under, in the tree pane
// and in the list pane's name column.  Positions are those of ChildAt
// (marshal/node.h): a hash with default of INT32_MAX pairs has more than
// 2^32 children, hence 64-bit positions.  Callers pass a container and a
// position in range; neither function checks that.
#pragma once
#include <cstdint>

#include "marshal/node.h"
#include "present/text.h"

// The label of a child of a '{' or '}' hash, always written into `buffer`:
//   '{'  key n at 2n: "键n", value n at 2n+1: "值n"
//   '}'  0: "默认值", key n at 2n+1: "键n", value n at 2n+2: "值n"
// Pairs count from 0.  The longest label takes 12 units, so none is cut.
const char16_t* HashChildLabel(const MarshalNode* hash, std::int64_t position, LabelBuffer& buffer);

// The label of the child at `position`:
//   'o' 'S' 'C' 'I'  the entry's name (an instance variable without its '@';
//                    the wrapped value of 'C' and 'I' is "."), heap text,
//                    none when the heap is exhausted
//   '{' '}'          HashChildLabel, buffer text
//   'U'              "marshal_dump", static text
//   anything else    the position in decimal, buffer text (arrays and the
//                    document root)
Text ChildLabel(const MarshalNode* container, std::int64_t position, LabelBuffer& buffer);
