// Inflation of the zlib streams in which RPG Maker XP keeps each script's
// code, bounded so that a small hostile string cannot take the machine's
// memory or time.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// What a stream may inflate to: never more than `maxBytes`, and never more
// than `ratio` times its own size plus `slack` (a small stream of text may
// legitimately grow more than a large one).
struct InflateLimits {
    std::size_t maxBytes = std::size_t{64} << 20;
    std::size_t ratio = 256;
    std::size_t slack = std::size_t{64} << 10;
};

enum class InflateStatus {
    kOk,          // the whole stream, and nothing after it
    kTrailing,    // the whole stream, followed by bytes that are not part of it
    kCorrupt,     // zlib found the data wrong (bad header, bad block, bad check)
    kTruncated,   // the bytes end before the stream does
    kTooLarge,    // the output would pass a limit
    kNoMemory,
};

// True when the bytes begin with a zlib header: method 8 (deflate), a window
// of at most 32 KB, no preset dictionary and a valid header check.  Text can
// begin like that by chance ("x^"), so this only decides what to try.
bool LooksLikeZlib(std::string_view bytes);

// Inflates one zlib stream into `out` (emptied first).  Whatever the status,
// `out` never holds more than the limits allow.
InflateStatus InflateBounded(std::string_view in, const InflateLimits& limits, std::string& out);

// What a failed inflation says, in one line; none for kOk.
const char16_t* InflateProblem(InflateStatus status);
