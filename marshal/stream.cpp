#include "marshal/stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#ifndef _WIN32
#include <poll.h>
#include <unistd.h>
#endif

#include "marshal/alloc.h"
#include "marshal/document.h"
#include "marshal/load.h"

namespace {
// Size of what is left of the file from its current position, when it can be
// known; otherwise (a pipe, a device) UINT64_MAX.  Positions and sizes are
// 64-bit on every platform (long and st_size are 32-bit on Windows).
std::uint64_t FileBytesLeft(std::FILE* file) {
#ifdef _WIN32
    std::int64_t pos = _ftelli64(file);
    struct _stat64 st {};
    if (pos < 0 || _fstat64(_fileno(file), &st) != 0 || (st.st_mode & S_IFMT) != S_IFREG) return UINT64_MAX;
#else
    std::int64_t pos = ftello(file);
    struct stat st {};
    if (pos < 0 || fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) return UINT64_MAX;
#endif
    return st.st_size > pos ? static_cast<std::uint64_t>(st.st_size - pos) : 0;
}

bool Cancelled(MarshalStream* s) {
    if (s->failure) return true;
    if (s->doc && s->doc->cancel.load(std::memory_order_relaxed)) s->failure = kLoadCancelled;
    else if (s->doc && s->doc->memoryLimit && DocumentMappedBytes(s->doc) > s->doc->memoryLimit) s->failure = kLoadNoMemory;
    return s->failure != 0;
}

void Brought(MarshalStream* s, std::size_t bytes) {
    s->consumed += bytes;
    if (s->doc) s->doc->bytesRead.store(s->consumed, std::memory_order_relaxed);
}

// Up to n bytes of a pipe or device as soon as there are any; 0 at its end
// or when the load is cancelled.  A source that stays silent is waited for
// in short steps, so a cancel is seen while nothing arrives.
std::size_t ReadSome(MarshalStream* s, std::uint8_t* dst, std::size_t n) {
#ifdef _WIN32
    if (Cancelled(s)) return 0;
    return std::fread(dst, 1, n, s->file);
#else
    int fd = fileno(s->file);
    for (;;) {
        if (Cancelled(s)) return 0;
        pollfd p{fd, POLLIN, 0};
        int ready = poll(&p, 1, 50);
        if (ready == 0 || (ready < 0 && errno == EINTR)) continue;
        ssize_t got = read(fd, dst, n);
        if (got < 0 && errno == EINTR) continue;
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
#endif
}

// A pipe or device: what arrives is appended after the bytes still unread,
// bounded by kUnsizedReadLimit.  False at its end, or when it failed.
bool ReadUnsized(MarshalStream* s, std::size_t want) {
    std::size_t room = s->capacity - static_cast<std::size_t>(s->end - s->buffer);
    if (room > want) room = want;
    std::size_t got = ReadSome(s, const_cast<std::uint8_t*>(s->end), room);
    if (got == 0) {
        s->unbuffered = 0;  // from here on the size is known
        return false;
    }
    s->end += got;
    Brought(s, got);
    if (s->consumed > kUnsizedReadLimit) {
        s->failure = kLoadNoMemory;
        return false;
    }
    return true;
}
}  // namespace

bool OpenFileStream(MarshalStream* s, MarshalDocument* doc, std::FILE* file, std::size_t chunk) {
    *s = MarshalStream{};
    s->doc = doc;
    s->file = file;
    s->chunk = chunk;
    s->unbuffered = FileBytesLeft(file);
    if (doc) doc->bytesTotal.store(s->unbuffered == UINT64_MAX ? 0 : s->unbuffered, std::memory_order_relaxed);
    // A file smaller than a chunk is read into a buffer of its own size: a
    // game folder's names come from a dozen files of a few kilobytes.
    constexpr std::size_t kSmallestChunk = 4096;
    if (s->unbuffered < chunk) chunk = std::max(static_cast<std::size_t>(s->unbuffered), std::min(chunk, kSmallestChunk));
    s->chunk = chunk;
    s->buffer = static_cast<std::uint8_t*>(DocAlloc(doc, chunk));
    s->capacity = chunk;
    s->cur = s->end = s->buffer;
    if (!s->buffer) s->failure = kLoadNoMemory;
    return s->buffer != nullptr;
}

void OpenMemoryStream(MarshalStream* s, MarshalDocument* doc, const void* data, std::size_t size, std::size_t chunk) {
    *s = MarshalStream{};
    s->doc = doc;
    s->chunk = chunk;
    s->cur = s->end = static_cast<const std::uint8_t*>(data);
    s->dataEnd = s->cur + size;
    s->unbuffered = size;
    if (doc) doc->bytesTotal.store(size, std::memory_order_relaxed);
}

void CloseStream(MarshalStream* s) {
    if (s->file) std::fclose(s->file);
    DocFree(s->doc, s->buffer);
    s->file = nullptr;
    s->buffer = nullptr;
    s->cur = s->end = nullptr;
}

bool RefillStream(MarshalStream* s) {
    if (Cancelled(s) || s->unbuffered == 0) return false;
    if (!s->file) {
        std::size_t bytes = static_cast<std::size_t>(s->dataEnd - s->end);
        if (bytes > s->chunk) bytes = s->chunk;
        s->cur = s->end;
        s->end += bytes;
        s->unbuffered -= bytes;
        Brought(s, bytes);
        return bytes > 0;
    }
    if (!s->buffer) return false;
    s->cur = s->end = s->buffer;
    if (s->unbuffered == UINT64_MAX) return ReadUnsized(s, s->chunk);
    std::size_t got = std::fread(s->buffer, 1, s->chunk, s->file);
    s->end = s->buffer + got;
    // The file is read as long as it was when opened; one that shrank
    // under us ends early, one that grew is not read past its old end.
    s->unbuffered = got == 0 || got > s->unbuffered ? 0 : s->unbuffered - got;
    Brought(s, got);
    return got > 0;
}

bool StreamHasBytes(MarshalStream* s, std::uint64_t n) {
    std::uint64_t have = static_cast<std::uint64_t>(s->end - s->cur);
    if (s->unbuffered != UINT64_MAX || have >= n) return BytesLeft(s) >= n;
    if (s->consumed - have + n > kUnsizedReadLimit) {
        s->failure = kLoadNoMemory;  // past the bound: as if memory ran out
        return false;
    }
    // Room for n bytes from the current position, keeping what is unread.
    if (n > s->capacity) {
        std::uint64_t grown = s->capacity * std::uint64_t{2};
        if (grown < n) grown = n;
        auto* buffer = static_cast<std::uint8_t*>(DocAlloc(s->doc, static_cast<std::size_t>(grown)));
        if (!buffer) {
            s->failure = kLoadNoMemory;
            return false;
        }
        std::memcpy(buffer, s->cur, static_cast<std::size_t>(have));
        DocFree(s->doc, s->buffer);
        s->buffer = buffer;
        s->capacity = static_cast<std::size_t>(grown);
    } else {
        std::memmove(s->buffer, s->cur, static_cast<std::size_t>(have));
    }
    s->cur = s->buffer;
    s->end = s->buffer + have;
    while (static_cast<std::uint64_t>(s->end - s->cur) < n)
        if (!ReadUnsized(s, s->capacity)) break;
    return static_cast<std::uint64_t>(s->end - s->cur) >= n;
}

void ReadBlock(MarshalStream* s, void* dst, std::uint64_t n) {
    auto* out = static_cast<std::uint8_t*>(dst);
    while (n > 0) {
        if (s->cur == s->end && !RefillStream(s)) {
            s->eof = true;
            return;
        }
        std::uint64_t have = static_cast<std::uint64_t>(s->end - s->cur);
        std::size_t take = static_cast<std::size_t>(have < n ? have : n);
        std::memcpy(out, s->cur, take);
        s->cur += take;
        out += take;
        n -= take;
    }
}
