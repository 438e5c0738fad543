// The byte stream the readers consume: a file read through a buffer, or a
// block of memory handed out a window at a time.  Either way a refill comes
// every so many bytes, and the refill is where the document's progress is
// published and its cancel flag is seen.  A read that runs past the end
// sets `eof`, and every reader tests it right after each read; a stream that
// ended for another reason (no memory, cancelled, too long) also says why
// in `failure`, which outranks the result the readers return.
// `BytesLeft` lets a reader check a count from the file against what the
// file can still hold before it allocates anything for that count.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

struct MarshalDocument;

struct MarshalStream {
    const std::uint8_t* cur;
    const std::uint8_t* end;
    MarshalDocument* doc;         // owns the buffer; its progress and cancel flag
    std::FILE* file;              // none for a memory stream
    std::uint8_t* buffer;         // read buffer of a file stream
    std::size_t capacity;         // of the buffer
    std::size_t chunk;            // bytes a refill brings in
    const std::uint8_t* dataEnd;  // end of a memory stream's bytes
    std::uint64_t unbuffered;     // bytes not yet brought in; UINT64_MAX: unknown (a pipe)
    std::uint64_t consumed;       // bytes brought in so far
    int failure;                  // a LoadResult that ended the stream early, or 0
    bool eof;
};

// Bytes a pipe or device may give before the load fails for want of memory.
constexpr std::uint64_t kUnsizedReadLimit = std::uint64_t{4} << 30;
constexpr std::size_t kDefaultReadChunk = 256 * 1024;

// A file stream: the file must be open for binary reading at its start.
// Returns false (failure set) when the read buffer cannot be obtained.
bool OpenFileStream(MarshalStream* s, MarshalDocument* doc, std::FILE* file, std::size_t chunk);
void OpenMemoryStream(MarshalStream* s, MarshalDocument* doc, const void* data, std::size_t size, std::size_t chunk);
// Frees the buffer and closes the file, if any.
void CloseStream(MarshalStream* s);

bool RefillStream(MarshalStream* s);
// A stream whose size is unknown reads ahead until n bytes are at hand or
// the source ends; false when they are not there.
bool StreamHasBytes(MarshalStream* s, std::uint64_t n);

inline std::uint64_t BytesLeft(const MarshalStream* s) {
    if (s->unbuffered == UINT64_MAX) return UINT64_MAX;
    return static_cast<std::uint64_t>(s->end - s->cur) + s->unbuffered;
}

// One byte; at the end sets eof and yields 0.
inline std::uint8_t ReadByte(MarshalStream* s) {
    if (s->cur == s->end && !RefillStream(s)) {
        s->eof = true;
        return 0;
    }
    return *s->cur++;
}

// The next byte without taking it; -1 at the end.
inline int PeekByte(MarshalStream* s) {
    if (s->cur == s->end && !RefillStream(s)) return -1;
    return *s->cur;
}

// n bytes into dst; when fewer are left, copies what there is and sets eof.
void ReadBlock(MarshalStream* s, void* dst, std::uint64_t n);
