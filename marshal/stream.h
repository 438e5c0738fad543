// The byte stream the readers consume: a file read through a large buffer,
// or a block of memory.  A read that runs past the end sets `eof`, and every
// reader tests it right after each read.  `BytesLeft` lets a reader check a
// count from the file against what the file can still hold before it
// allocates anything for that count.
#pragma once
#include <cstdint>
#include <cstdio>

struct MarshalStream {
    const std::uint8_t* cur;
    const std::uint8_t* end;
    std::FILE* file;            // none for a memory stream
    std::uint8_t* buffer;       // owned read buffer of a file stream
    std::uint64_t unbuffered;   // bytes of the file not yet in the buffer
    bool eof;
};

// A file stream: the file must be open for binary reading at its start.
// Returns false when the read buffer cannot be obtained.
bool OpenFileStream(MarshalStream* s, std::FILE* file);
void OpenMemoryStream(MarshalStream* s, const void* data, std::size_t size);
// Frees the buffer and closes the file, if any.
void CloseStream(MarshalStream* s);

bool RefillStream(MarshalStream* s);

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
