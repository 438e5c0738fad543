// The readers of the Marshal stream and the reference tables, shared by the
// load driver, the scalar readers and the composite readers.
#pragma once
#include <cstdint>

#include "marshal/document.h"
#include "marshal/load.h"
#include "marshal/stream.h"

// The stream of a load belongs to the document being loaded: the readers
// reach its tables and pages through `s->doc`.
int ReadValue(MarshalStream* s, MarshalNode* node);
int RegisterObject(MarshalStream* s, MarshalNode* node);
int RegisterSymbol(MarshalStream* s, MarshalNode* node);
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

// Extensions and entry-name symbols beside the document (side_tables.cpp).
// Setting one fails only when memory runs out.  Every record that moves
// goes through MoveRecord (a node) or MoveEntry (an entry), which take its
// side-table entries to the new address.
bool SetExtension(MarshalDocument* doc, MarshalNode* node, MarshalNode* module);
MarshalNode* TakeExtension(MarshalDocument* doc, MarshalNode* node);
bool SetNameSymbol(MarshalDocument* doc, MarshalAttr* entry, MarshalNode* symbol);
MarshalNode* TakeNameSymbol(MarshalDocument* doc, MarshalAttr* entry);
void MoveRecord(MarshalDocument* doc, MarshalNode* to, const MarshalNode* from);
void MoveEntry(MarshalDocument* doc, MarshalAttr* to, const MarshalAttr* from);

// Release within a document (release.cpp): what the node owns, and the node
// record itself with DropNode.
void ReleaseNodeIn(MarshalDocument* doc, MarshalNode* node);
void ReleaseAttrIn(MarshalDocument* doc, MarshalAttr* entry);
void DropNode(MarshalDocument* doc, MarshalNode* node);
// Gives the document a number its nodes carry (document.cpp); false when
// every number is taken.
bool RegisterDocument(MarshalDocument* doc);
// A fresh record of the document, all zero but its document number.
MarshalNode* NewNode(MarshalStream* s);

// A count of `perItem`-byte items that the rest of the file cannot hold
// is refused before anything is allocated for it.  A pipe is read ahead
// until the bytes are there.
inline bool FileCanHold(MarshalStream* s, std::int64_t count, std::uint64_t perItem) {
    std::uint64_t left = BytesLeft(s);
    if (left == UINT64_MAX) return StreamHasBytes(s, static_cast<std::uint64_t>(count) * perItem);
    return static_cast<std::uint64_t>(count) <= left / perItem;
}
