// The decoded value: one plain record per value, tagged by its type byte.
//
// Field use by type ("-" = none/0; any node may have an extension):
//   '0' 'T' 'F'   -
//   'i'           data.bits: the signed 32-bit value in the low half
//   'l'           count = 2*words+1; data.bytes: sign byte then magnitude LE
//   'f'           data.real; class_symbol.marker '?' '+' '-' or 0; text owned
//                 (in the name's place: a float has no name)
//   '"'           count = byte length; data.bytes owned, NUL after them
//   '/'           data.bytes owned: "/source/opts" NUL
//   ':'           name owned
//   ';'           name borrowed from the target; data.target = symbol node
//   '@'           data.target = linked node
//   '['           count elements; data.nodes (none when count is 0)
//   '{'           count pairs; data.nodes 2*count (none when count is 0)
//   '}'           count pairs; data.nodes 2*count+1, default at 0
//   'o' 'S'       name borrowed class name; count entries; data.attrs
//   'C'           name class; count 1; data.attrs: one entry "."
//   'I'           name (see the reader); count ivars+1; entry 0 is "."
//   'u'           name class; count bytes; data.bytes, no terminator
//   'U'           name class; count 1; data.nodes: one node
//   'c' 'm'       name owned path
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "marshal/type_codes.h"

struct MarshalAttr;

// Laid out for size: a document holds one record per value, and a map file
// holds millions.  `type`, `flags`, `document` and `count` share the first
// word, and a float's text takes the place of the name it has no use for.
// The module that extends a value ('e') is rare, so it is kept beside the
// document (NodeExtension) and `flags` says whether there is one;
// `document` says which document's tables to look in (0: none).
struct MarshalNode {
    std::uint8_t type;
    std::uint8_t flags;
    std::uint16_t document;
    std::int32_t count;
    union {
        const char* name;
        char* text;   // 'f' only
    };
    union {
        void* ptr;
        MarshalNode* nodes;
        MarshalAttr* attrs;
        MarshalNode* target;
        char* bytes;
        std::uint64_t bits;
        double real;
    } data;
    union {
        MarshalNode* symbol;
        std::int32_t marker;
    } class_symbol;
};

// `flags`: the node owns an extension; the entry holding this value owns the
// symbol of its name.
constexpr std::uint8_t kNodeExtended = 1;
constexpr std::uint8_t kEntryOwnsName = 2;

// The symbol node (':' or ';') naming the module that extends the value, or
// none.  Of a chain of modules the first in the stream is kept here; the
// others hang below it, each the extension of the one before.
MarshalNode* NodeExtension(const MarshalNode* node);

// A named slot of an object, struct or wrapper.  The symbol node read for a
// new name belongs to the entry (EntryNameSymbol); like extensions it is
// kept beside the document, as only the first use of each name has one.
struct MarshalAttr {
    const char* name;
    MarshalNode value;
};

// The ':' node the entry owns for its name, or none (a name that came
// through a symbol link, and the wrapper entry ".").
MarshalNode* EntryNameSymbol(const MarshalAttr* entry);

static_assert(std::is_trivially_copyable_v<MarshalNode> && std::is_standard_layout_v<MarshalNode>);
static_assert(std::is_trivially_copyable_v<MarshalAttr> && std::is_standard_layout_v<MarshalAttr>);
static_assert(sizeof(void*) != 8 || sizeof(MarshalNode) == 32);
static_assert(sizeof(void*) != 8 || sizeof(MarshalAttr) == 40);

// The name of the wrapper entry of 'C' and 'I': a constant owned by nobody.
extern const char kWrapperEntryName[];

// Frees everything the node owns (never the record itself) and empties the
// freed pointer fields, so a second release does nothing.  Null is allowed.
// The root node of a document releases the whole document at once: its
// pages go back to the system without a walk over its nodes.
void ReleaseNode(MarshalNode* node);
void ReleaseAttr(MarshalAttr* entry);

// Number of children of a container by the children table; 0 otherwise.
std::int64_t ChildCount(const MarshalNode* node);
// Child at position i of a container (caller keeps i in range).
const MarshalNode* ChildAt(const MarshalNode* node, std::int64_t i);

inline std::int32_t FixnumValue(const MarshalNode* n) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(n->data.bits)); }
