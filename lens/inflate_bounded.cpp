#include "lens/inflate_bounded.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <new>

bool LooksLikeZlib(std::string_view bytes) {
    if (bytes.size() < 2) return false;
    const unsigned cmf = static_cast<unsigned char>(bytes[0]);
    const unsigned flg = static_cast<unsigned char>(bytes[1]);
    return (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && (flg & 0x20) == 0 && (cmf * 256 + flg) % 31 == 0;
}

namespace {
std::size_t OutputCap(std::size_t inSize, const InflateLimits& limits) {
    std::size_t byRatio = inSize > (SIZE_MAX - limits.slack) / std::max<std::size_t>(limits.ratio, 1)
                              ? SIZE_MAX
                              : inSize * limits.ratio + limits.slack;
    return std::min(limits.maxBytes, byRatio);
}

// Grows the output in steps, so the memory taken follows what the stream
// really yields, not what its size suggests.
InflateStatus Run(z_stream& z, std::string_view in, std::size_t cap, std::string& out) {
    // zlib counts in 32-bit units; a longer input is fed in pieces.
    std::size_t fed = 0;
    for (;;) {
        if (z.avail_in == 0 && fed < in.size()) {
            std::size_t piece = std::min<std::size_t>(in.size() - fed, UINT_MAX);
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data() + fed));
            z.avail_in = static_cast<uInt>(piece);
            fed += piece;
        }
        std::size_t used = out.size();
        // One byte past the cap shows whether the stream goes beyond it.
        std::size_t room = std::min<std::size_t>({std::max<std::size_t>(used, 16384), cap + 1 - used, UINT_MAX});
        out.resize(used + room);
        z.next_out = reinterpret_cast<Bytef*>(out.data() + used);
        z.avail_out = static_cast<uInt>(room);
        int rc = inflate(&z, Z_NO_FLUSH);
        out.resize(used + room - z.avail_out);
        if (out.size() > cap) {
            out.resize(cap);
            return InflateStatus::kTooLarge;
        }
        if (rc == Z_STREAM_END) return z.avail_in == 0 && fed == in.size() ? InflateStatus::kOk : InflateStatus::kTrailing;
        if (rc == Z_MEM_ERROR) return InflateStatus::kNoMemory;
        if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT || rc == Z_STREAM_ERROR) return InflateStatus::kCorrupt;
        // No progress with all input used: the stream is cut short.
        if (rc == Z_BUF_ERROR && z.avail_in == 0 && fed == in.size()) return InflateStatus::kTruncated;
    }
}
}  // namespace

InflateStatus InflateBounded(std::string_view in, const InflateLimits& limits, std::string& out) {
    out.clear();
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return InflateStatus::kNoMemory;
    InflateStatus status;
    try {
        status = Run(z, in, OutputCap(in.size(), limits), out);
    } catch (const std::bad_alloc&) {
        status = InflateStatus::kNoMemory;
    }
    inflateEnd(&z);
    if (status == InflateStatus::kNoMemory) std::string().swap(out);
    return status;
}

const char16_t* InflateProblem(InflateStatus status) {
    switch (status) {
    case InflateStatus::kOk: return nullptr;
    case InflateStatus::kTrailing: return u"压缩数据之后还有多余的字节";
    case InflateStatus::kCorrupt: return u"压缩数据已损坏，无法解压，下面显示原始字节";
    case InflateStatus::kTruncated: return u"压缩数据不完整，无法解压，下面显示原始字节";
    case InflateStatus::kTooLarge: return u"解压后的数据超过上限，不予显示，下面显示原始字节";
    case InflateStatus::kNoMemory: return u"内存不足，无法解压，下面显示原始字节";
    }
    return nullptr;
}
