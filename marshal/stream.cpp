#include "marshal/stream.h"

#include <cstring>
#include <sys/stat.h>

#include "marshal/alloc.h"

namespace {
constexpr std::size_t kBufferSize = 256 * 1024;

// Size of what is left of the file from its current position, when it can be
// known; otherwise the file is treated as unbounded for the count checks.
// Positions and sizes are 64-bit on every platform (long and st_size are
// 32-bit on Windows).
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
}  // namespace

namespace {
// A pipe or device tells no size, so it is read whole first: every count
// can then be checked against the bytes that are really there.
bool ReadWhole(MarshalStream* s) {
    std::size_t size = 0, capacity = kBufferSize;
    auto* data = static_cast<std::uint8_t*>(MarshalAlloc(capacity));
    if (!data) return false;
    for (;;) {
        size += std::fread(data + size, 1, capacity - size, s->file);
        if (size < capacity) break;
        auto* grown = static_cast<std::uint8_t*>(MarshalRealloc(data, capacity * 2));
        if (!grown) {
            MarshalFree(data);
            return false;
        }
        data = grown;
        capacity *= 2;
    }
    s->buffer = data;
    s->cur = data;
    s->end = data + size;
    s->unbuffered = 0;
    return true;
}
}  // namespace

bool OpenFileStream(MarshalStream* s, std::FILE* file) {
    *s = MarshalStream{};
    s->file = file;
    if (FileBytesLeft(file) == UINT64_MAX) return ReadWhole(s);
    s->buffer = static_cast<std::uint8_t*>(MarshalAlloc(kBufferSize));
    s->unbuffered = FileBytesLeft(file);
    s->cur = s->end = s->buffer;
    return s->buffer != nullptr;
}

void OpenMemoryStream(MarshalStream* s, const void* data, std::size_t size) {
    *s = MarshalStream{};
    s->cur = static_cast<const std::uint8_t*>(data);
    s->end = s->cur + size;
}

void CloseStream(MarshalStream* s) {
    if (s->file) std::fclose(s->file);
    MarshalFree(s->buffer);
    s->file = nullptr;
    s->buffer = nullptr;
    s->cur = s->end = nullptr;
}

bool RefillStream(MarshalStream* s) {
    if (!s->file || !s->buffer || s->unbuffered == 0) return false;
    std::size_t got = std::fread(s->buffer, 1, kBufferSize, s->file);
    s->cur = s->buffer;
    s->end = s->buffer + got;
    // The file is read as long as it was when opened; one that shrank
    // under us ends early, one that grew is not read past its old end.
    s->unbuffered = got == 0 || got > s->unbuffered ? 0 : s->unbuffered - got;
    return got > 0;
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
