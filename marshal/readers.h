// The readers of the Marshal stream and the reference tables, shared by the
// load driver, the scalar readers and the composite readers.
#pragma once
#include <cstdint>

#include "marshal/load.h"
#include "marshal/stream.h"

// Reference tables of the dump being read.
struct NodeTable {
    std::int32_t count;
    std::int32_t capacity;
    MarshalNode** items;
};
extern NodeTable ObjectTable;
extern NodeTable SymbolTable;

int ReadValue(MarshalStream* s, MarshalNode* node);
int RegisterObject(MarshalNode* node);
int RegisterSymbol(MarshalNode* node);
int ReadObjectLink(MarshalStream* s, MarshalNode* node);
int ReadSymbolLink(MarshalStream* s, MarshalNode* node);

// Scalars and the small shared readers.
bool ReadPackedInt(MarshalStream* s, std::int8_t first, std::int32_t* out);
int ReadLength(MarshalStream* s, std::int32_t* out, bool allowNegative);
int ReadSymbolRef(MarshalStream* s, MarshalNode** out);
// A name position without the separate node for a symbol link: the text,
// and the new node the caller must keep (none for a plain link): a ':'
// symbol, or the 'I' wrapper of a name that carries its encoding.
int ReadSymbolName(MarshalStream* s, const char** name, MarshalNode** owned);
int ReadClassPrologue(MarshalStream* s, MarshalNode* node, bool withCount);
int ReadFixnum(MarshalStream* s, MarshalNode* node);
int ReadBignum(MarshalStream* s, MarshalNode* node);
int ReadFloat(MarshalStream* s, MarshalNode* node);
int ReadString(MarshalStream* s, MarshalNode* node);
int ReadRegexp(MarshalStream* s, MarshalNode* node);
int ReadSymbol(MarshalStream* s, MarshalNode* node);
int ReadClassRef(MarshalStream* s, MarshalNode* node);
int ReadUserDump(MarshalStream* s, MarshalNode* node);

// Composites.
int ReadArray(MarshalStream* s, MarshalNode* node);
int ReadHash(MarshalStream* s, MarshalNode* node);
int ReadObject(MarshalStream* s, MarshalNode* node);
int ReadEntry(MarshalStream* s, MarshalAttr* entry);
int ReadUserMarshal(MarshalStream* s, MarshalNode* node);
int ReadUserClass(MarshalStream* s, MarshalNode* node);
int ReadIvarWrapper(MarshalStream* s, MarshalNode* node);
int ReadExtended(MarshalStream* s, MarshalNode* node);

// Extensions and entry-name symbols beside the document (side_tables.cpp).  Setting one fails only
// when memory runs out.  A node record that is copied elsewhere takes its
// extension along with MoveExtension.
bool SetExtension(MarshalNode* node, MarshalNode* module);
MarshalNode* TakeExtension(MarshalNode* node);
void MoveExtension(const MarshalNode* from, MarshalNode* to);
// Re-keys the extensions of records that moved from [oldBase, oldEnd) to
// the same offsets from newBase.
void MoveExtensions(std::uintptr_t oldBase, std::uintptr_t oldEnd, MarshalNode* newBase);
// The symbol an entry owns for its name (entries never move).
bool SetNameSymbol(MarshalAttr* entry, MarshalNode* symbol);
MarshalNode* TakeNameSymbol(MarshalAttr* entry);

// A count of `perItem`-byte items that the rest of the file cannot hold
// is refused before anything is allocated for it.
inline bool FileCanHold(const MarshalStream* s, std::int64_t count, std::uint64_t perItem) {
    std::uint64_t left = BytesLeft(s);
    return static_cast<std::uint64_t>(count) <= left / perItem;
}
