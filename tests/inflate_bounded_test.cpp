// Bounded inflation at its limits: exactly at a cap and one byte past it,
// the output buffer's first refill, every cut of a stream, and headers.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "lens/inflate_bounded.h"

namespace {
std::string Deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                        static_cast<uLong>(data.size()), 9),
              Z_OK);
    out.resize(size);
    return out;
}

// Text that compresses a little, like source code does.
std::string CompressibleText(std::size_t size) {
    std::string s;
    for (std::size_t i = 0; s.size() < size; ++i) s += "line " + std::to_string(i * 7919 % 10007) + "\n";
    s.resize(size);
    return s;
}
}  // namespace

TEST(InflateBounded, OutputUpToEachCapAndNotOneBytePast) {
    struct Case {
        std::size_t size;
        InflateLimits limits;
        InflateStatus status;
    };
    const std::string probe = Deflate(std::string(100000, 'a'));
    const std::size_t in = probe.size();
    const Case cases[] = {
        {100000, {100000, 1000000, 0}, InflateStatus::kOk},
        {100000, {99999, 1000000, 0}, InflateStatus::kTooLarge},
        {100000, {100001, 1000000, 0}, InflateStatus::kOk},
        // By ratio: the cap is in * ratio + slack.
        {100000, {SIZE_MAX, 1, 100000 - in}, InflateStatus::kOk},
        {100000, {SIZE_MAX, 1, 100000 - in - 1}, InflateStatus::kTooLarge},
        {100000, {SIZE_MAX, 1, 100000 - in + 1}, InflateStatus::kOk},
        {100000, {SIZE_MAX, 2, 100000 - 2 * in}, InflateStatus::kOk},
        {100000, {SIZE_MAX, 2, 100000 - 2 * in - 1}, InflateStatus::kTooLarge},
        // Sizes around the first output buffer (16 KB) and its doubling.
        {16383, {}, InflateStatus::kOk}, {16384, {}, InflateStatus::kOk}, {16385, {}, InflateStatus::kOk},
        {32768, {}, InflateStatus::kOk}, {0, {}, InflateStatus::kOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string data = c.size == 100000 ? std::string(100000, 'a') : CompressibleText(c.size);
        std::string out;
        EXPECT_EQ(InflateBounded(Deflate(data), c.limits, out), c.status);
        if (c.status == InflateStatus::kOk) EXPECT_EQ(out, data);
        else EXPECT_LE(out.size(), std::min(c.limits.maxBytes, in * c.limits.ratio + c.limits.slack));
    }
}

TEST(InflateBounded, EveryCutOfAStreamFailsAndAnythingAfterItIsSaid) {
    const std::string data = CompressibleText(5000);
    const std::string stream = Deflate(data);
    std::string out;
    for (std::size_t n = 0; n < stream.size(); ++n) {
        InflateStatus s = InflateBounded(stream.substr(0, n), {}, out);
        EXPECT_TRUE(s == InflateStatus::kTruncated || s == InflateStatus::kCorrupt) << n;
    }
    EXPECT_EQ(InflateBounded(stream + "x", {}, out), InflateStatus::kTrailing);
    EXPECT_EQ(out, data);
    std::string flipped = stream;
    flipped[flipped.size() - 1] ^= 1;  // the Adler-32 check
    EXPECT_EQ(InflateBounded(flipped, {}, out), InflateStatus::kCorrupt);
}

TEST(InflateBounded, ZlibHeadersAreRecognised) {
    struct Case {
        std::string bytes;
        bool zlib;
    };
    const Case cases[] = {
        {"\x78\x9c", true}, {"\x78\xda", true}, {"\x78\x01", true}, {"x^", true},
        {"\x78\x9d", false},            // header check fails
        {"\x78\xbb", false},            // preset dictionary
        {"\x89\x9c", false},            // window above 32 KB
        {"\x79\x9c", false},            // method 9
        {"\x78", false}, {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(LooksLikeZlib(c.bytes), c.zlib) << c.bytes;
}
