// The one-byte type codes of the Marshal 4.8 stream, in the order of the
// format's own table.  A node's `type` holds one of these as read.
#pragma once
#include <cstdint>

enum TypeCode : std::uint8_t {
    kTypeNil = '0',
    kTypeTrue = 'T',
    kTypeFalse = 'F',
    kTypeFixnum = 'i',
    kTypeExtended = 'e',      // prefix only: never stored as a node's type
    kTypeUserClass = 'C',
    kTypeUserDump = 'u',
    kTypeUserMarshal = 'U',
    kTypeIvar = 'I',
    kTypeObject = 'o',
    kTypeData = 'd',          // refused
    kTypeClass = 'c',
    kTypeModule = 'm',
    kTypeOldModule = 'M',     // refused
    kTypeSymbol = ':',
    kTypeSymlink = ';',
    kTypeLink = '@',
    kTypeFloat = 'f',
    kTypeBignum = 'l',
    kTypeString = '"',
    kTypeRegexp = '/',
    kTypeArray = '[',
    kTypeHash = '{',
    kTypeHashDef = '}',
    kTypeStruct = 'S',
};

// Containers are shown in the tree pane and listed first in the list pane.
constexpr bool IsContainerType(std::uint8_t t) {
    return t == 'C' || t == 'I' || t == 'S' || t == 'U' || t == '[' || t == 'o' || t == '{' || t == '}';
}

// Entry-list containers hold MarshalAttr entries rather than plain nodes.
constexpr bool IsEntryListType(std::uint8_t t) {
    return t == 'C' || t == 'I' || t == 'S' || t == 'o';
}
