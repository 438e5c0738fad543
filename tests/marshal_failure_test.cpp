// Loads that go wrong: the result codes, every truncation of valid dumps,
// every allocation made to fail in turn, counts the file cannot hold, nesting
// at and beyond the limit.  Each must give its result code and leave nothing
// allocated once DocumentRoot is released.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "marshal/alloc.h"
#include "marshal/document.h"
#include "marshal/load.h"
#include "present/viewer_document.h"
#include "tests/hex_bytes.h"
#include "tests/rich_dumps.h"

namespace {

// MARK: byte vectors


int Load(const std::vector<std::uint8_t>& bytes) { return LoadDocumentFromMemory(bytes.data(), bytes.size()); }

std::vector<std::uint8_t> Repeat(const std::string& unit, int times) {
    std::vector<std::uint8_t> one = Bytes(unit), out;
    for (int i = 0; i < times; ++i) out.insert(out.end(), one.begin(), one.end());
    return out;
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Releasing twice must be harmless: the first release empties what it frees.
void ReleaseTwiceAndExpectNothingLive(const std::string& what) {
    ReleaseNode(&DocumentRoot);
    ReleaseNode(&DocumentRoot);
    EXPECT_EQ(LiveAllocationCount(), 0) << what;
}


// MARK: result codes

TEST(MarshalFailureTest, ResultCodes) {
    struct ResultCase {
        const char* bytes;
        int result;
        int dumps;  // children of DocumentRoot afterwards
    };
    const ResultCase cases[] = {
        {"04 08 30", kLoadOk, 1},
        {"04 08 30 04 08 54 04 08 46", kLoadOk, 3},
        {"04 08 30 ff", kLoadOk, 1},                // a stray byte is ignored
        {"04 08 30 04", kLoadOk, 1},
        {"04 08 30 04 09 30", kLoadOk, 1},          // bytes not starting 04 08 are ignored
        {"04 08 30 30 04 08 54", kLoadOk, 1},       // and so is what follows them
        {"", kLoadNotMarshal, 0},
        {"04", kLoadNotMarshal, 0},
        {"04 09 30", kLoadNotMarshal, 0},
        {"03 08 30", kLoadNotMarshal, 0},
        {"04 08", kLoadBadData, 1},
        {"04 08 30 04 08", kLoadBadData, 2},        // 04 08 at the end starts a dump
        {"04 08 5b fa", kLoadBadData, 1},           // negative count
        {"04 08 22 fa", kLoadBadData, 1},           // negative length
        {"04 08 2f fa 00", kLoadBadData, 1},        // negative length of a regexp
        {"04 08 75 3a 06 55 fa", kLoadBadData, 1},  // of a user dump
        {"04 08 49 22 00 fa", kLoadBadData, 1},     // negative count of instance variables
        {"04 08 22 07 61", kLoadBadData, 1},        // cut short
        {"04 08 69 02 01", kLoadBadData, 1},        // packed integer cut short
        {"04 08 6f 40 00", kLoadBadData, 1},        // class name is not a symbol
        {"04 08 6f 3a 06 41 06 22 06 61 30", kLoadBadData, 1},  // nor is an entry name
        {"04 08 65 30 30", kLoadBadData, 1},        // nor a module name
        {"04 08 5b 06 40 06", kLoadBadObjectLink, 1},
        {"04 08 5b 06 40 fa", kLoadBadObjectLink, 1},
        {"04 08 22 06 61 04 08 40 00", kLoadBadObjectLink, 2},  // no objects of earlier dumps
        {"04 08 3b 00", kLoadBadSymbolLink, 1},
        {"04 08 5b 07 3a 06 61 3b fa", kLoadBadSymbolLink, 1},
        {"04 08 6f 3b 00 00", kLoadBadSymbolLink, 1},  // in a name position too
        {"04 08 65 3b 00 30", kLoadBadSymbolLink, 1},
        {"04 08 4d", kLoadUnknownType, 1},          // old-style module
        {"04 08 64", kLoadUnknownType, 1},          // data object
        {"04 08 00", kLoadUnknownType, 1},
        {"04 08 5b 06 78", kLoadUnknownType, 1},
        {"04 08 30 04 08 5b 07 30 7e", kLoadUnknownType, 2},  // error in the second dump
    };
    for (const ResultCase& c : cases) {
        EXPECT_EQ(Load(Bytes(c.bytes)), c.result) << c.bytes;
        EXPECT_EQ(DocumentRoot.type, '[');
        EXPECT_EQ(DocumentRoot.count, c.dumps) << c.bytes;
        EXPECT_EQ(DocumentRoot.data.ptr != nullptr, c.dumps > 0) << c.bytes;
        ReleaseTwiceAndExpectNothingLive(c.bytes);
    }
}

TEST(MarshalFailureTest, ErrorInSecondDumpKeepsBothValues) {
    ASSERT_EQ(Load(Bytes("04 08 5b 06 69 06 04 08 5b 08 69 07 22 06")), kLoadBadData);
    ASSERT_EQ(DocumentRoot.count, 2);
    const MarshalNode& complete = DocumentRoot.data.nodes[0];
    EXPECT_EQ(complete.count, 1);
    EXPECT_EQ(FixnumValue(&complete.data.nodes[0]), 1);
    const MarshalNode& partial = DocumentRoot.data.nodes[1];
    ASSERT_EQ(partial.count, 3);
    EXPECT_EQ(partial.data.nodes[0].type, 'i');
    EXPECT_EQ(partial.data.nodes[1].type, '"');  // cut short
    EXPECT_EQ(partial.data.nodes[2].type, 0);    // never read
    ReleaseTwiceAndExpectNothingLive("error in the second dump");
}

// MARK: truncation

TEST(MarshalFailureTest, EveryProperPrefixFailsCleanly) {
    for (const char* dump : kRichDumps) {
        std::vector<std::uint8_t> bytes = Bytes(dump);
        ASSERT_EQ(Load(bytes), kLoadOk) << dump;
        ReleaseTwiceAndExpectNothingLive(dump);
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            EXPECT_EQ(Load(prefix), n < 2 ? kLoadNotMarshal : kLoadBadData) << "prefix of " << n << " bytes of " << dump;
            ReleaseTwiceAndExpectNothingLive(dump);
        }
    }
}

// MARK: release

TEST(MarshalFailureTest, ReleasingEachValueTwiceFreesItOnce) {
    // Every kind of value sits among the elements of the rich dumps; each
    // is released twice on its own before the root releases it once more.
    for (const char* dump : kRichDumps) {
        ASSERT_EQ(Load(Bytes(dump)), kLoadOk) << dump;
        MarshalNode& top = DocumentRoot.data.nodes[0];
        for (std::int32_t i = 0; i < top.count; ++i) {
            ReleaseNode(&top.data.nodes[i]);
            ReleaseNode(&top.data.nodes[i]);
        }
        ReleaseTwiceAndExpectNothingLive(dump);
    }
}

// What one value owns, freed when that value alone is released, while the
// document lives on (the viewer keeps its document while the user browses;
// the preview and the side-by-side loads make more of them).  Each value X
// follows an extended object Y in an array [Y, X], so that both side
// tables exist before X is read; releasing X must leave exactly the blocks
// that the document [Y, nil] holds.  Ruby wrote every vector.
TEST(MarshalFailureTest, ReleasingOneValueFreesEverythingItOwns) {
    // Marshal.dump([y, x]) without the x: y is an Object with @yv = 0,
    // extended by ModY.
    const std::string kArrayOfYAnd = "04 08 5b 07 65 3a 09 4d 6f 64 59 6f 3a 0b 4f 62 6a 65 63 74 06 3a 08 40 79 76 69 00 ";
    struct ValueCase {
        const char* what;
        const char* value;  // x, as Ruby wrote it after y
    };
    const ValueCase cases[] = {
        {"string with an encoding", "49 22 06 73 06 3a 06 45 54"},
        {"binary string", "22 06 62"},
        {"regexp", "49 2f 07 72 65 04 06 3a 06 45 46"},
        {"bignum", "6c 2b 0a 00 00 00 00 00 00 00 00 40 00"},
        {"float", "66 08 31 2e 35"},
        {"symbol", "3a 08 73 79 6d"},
        {"class", "63 0b 53 74 72 69 6e 67"},
        {"module", "6d 0b 4b 65 72 6e 65 6c"},
        {"user dump", "75 3a 07 55 44 07 61 62"},
        {"user marshal", "55 3a 07 55 4d 5b 07 69 06 49 22 06 6d 06 3a 06 45 54"},
        {"object", "6f 3a 08 4f 62 6a 07 3a 07 40 61 69 06 3a 07 40 62 49 22 06 74 06 3a 06 45 54"},
        {"empty object", "6f 3a 08 4f 62 6a 00"},
        {"struct", "53 3a 07 50 74 07 3a 07 70 78 69 06 3a 07 70 79 69 07"},
        {"hash", "7b 06 3a 07 68 6b 69 06"},
        {"hash with default", "7d 06 3a 06 6b 69 07 69 0a"},
        {"user class string (I around C)", "49 43 3a 09 55 53 74 72 22 06 75 06 3a 06 45 54"},
        {"user class array", "43 3a 09 55 41 72 72 5b 06 69 06"},
        {"user class hash", "43 3a 0a 55 48 61 73 68 7b 00"},
        {"extended twice", "65 3a 07 4d 32 65 3a 07 4d 31 6f 3a 08 4f 62 6a 06 3a 07 40 61 69 06"},
        {"extended string", "49 65 3a 07 4d 53 22 06 78 06 3a 06 45 54"},
        {"extended hash", "65 3a 07 4d 53 7b 00"},
        {"array of objects", "5b 06 6f 3a 08 4f 62 6a 06 3a 07 40 63 6f 3b 08 06 3a 07 40 64 69 06"},
        {"string with an ivar", "49 22 07 69 76 07 3a 06 45 54 3a 0a 40 6d 65 74 61 3a 06 6d"},
    };
    ASSERT_EQ(Load(Bytes(kArrayOfYAnd + "30")), kLoadOk);
    const long plain = DocumentLiveBlocks(&ViewerDocument);
    ReleaseTwiceAndExpectNothingLive("[y, nil]");
    for (const ValueCase& c : cases) {
        ASSERT_EQ(Load(Bytes(kArrayOfYAnd + c.value)), kLoadOk) << c.what;
        MarshalNode& x = DocumentRoot.data.nodes[0].data.nodes[1];
        EXPECT_GT(DocumentLiveBlocks(&ViewerDocument), plain) << c.what;
        ReleaseNode(&x);
        EXPECT_EQ(DocumentLiveBlocks(&ViewerDocument), plain) << c.what;
        ReleaseNode(&x);
        EXPECT_EQ(DocumentLiveBlocks(&ViewerDocument), plain) << c.what << ", released twice";
        ReleaseTwiceAndExpectNothingLive(c.what);
    }
}

// MARK: allocation failure

// Loads the bytes from a file, so the stream's buffer is allocated too.
int LoadFromFile(const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::tmpfile();
    if (!file) return -1;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return LoadDocument(file);
}

// Fails allocation 1, 2, ... N of the load in turn, N being what a load
// that succeeds makes: the root, the reference tables, the side tables and
// the stream's buffer included.  Shrinking never allocates, so no failure
// is harmless: each gives 3 and leaves nothing once released, and N + 1
// loads again.
void FailEachAllocation(const std::vector<std::uint8_t>& bytes, const std::string& what) {
    for (int fromFile = 0; fromFile < 2; ++fromFile) {
        auto load = [&] { return fromFile ? LoadFromFile(bytes) : Load(bytes); };
        ASSERT_EQ(load(), kLoadOk) << what;
        long made = DocumentAllocationCount(&ViewerDocument);
        long liveWhenLoaded = LiveAllocationCount();
        ReleaseTwiceAndExpectNothingLive(what);
        for (long n = 1; n <= made + 1; ++n) {
            SetAllocationFailureAt(n);
            int rc = load();
            SetAllocationFailureAt(0);
            std::string at = "allocation " + std::to_string(n) + " of " + std::to_string(made) + ", " + what;
            if (n <= made) {
                EXPECT_EQ(rc, kLoadNoMemory) << at;
            } else {
                EXPECT_EQ(rc, kLoadOk) << at;
                EXPECT_EQ(LiveAllocationCount(), liveWhenLoaded) << at;
            }
            ReleaseTwiceAndExpectNothingLive(at);
        }
    }
}

TEST(MarshalFailureTest, EveryAllocationMayFail) {
    for (const char* dump : kRichDumps) FailEachAllocation(Bytes(dump), dump);
}

TEST(MarshalFailureTest, EveryAllocationMayFailAcrossDumps) {
    // Growing the root array moves the earlier top-level values, whose
    // self-links are re-pointed and whose side-table entries move along.
    FailEachAllocation(Repeat("04 08 5b 06 40 00", 5), "five self-containing arrays");
    FailEachAllocation(Repeat("04 08 49 3a 06 4d 06 3a 06 45 65 3b 00 30", 3), "three wrapped symbols");
}

// MARK: counts the file cannot hold

TEST(MarshalFailureTest, CountsTheFileCannotHoldAreRefusedBeforeAllocating) {
    // Each count needs so many bytes per item (a string byte, two bignum
    // bytes, one byte per element, three per entry); one item more than the
    // rest of the file can hold gives 4 with nothing allocated for it.
    struct CountCase {
        const char* fits;      // a count the rest of the file just holds
        const char* tooMany;   // the same with one more item than it holds
        long liveAfterFailure;  // blocks of DocumentRoot: the root array, the class symbol and its text
    };
    const CountCase cases[] = {
        {"22 08 'abc'", "22 09 'abc'", 1},
        {"3a 08 'abc'", "3a 09 'abc'", 1},
        {"66 08 '1.5'", "66 09 '1.5'", 1},
        {"63 08 'Abc'", "63 09 'Abc'", 1},
        {"6d 08 'Abc'", "6d 09 'Abc'", 1},
        {"2f 08 'abc' 00", "2f 08 'abc'", 1},  // the option byte counts
        {"6c 2b 07 01 02 03 04", "6c 2b 08 01 02 03 04 05", 1},
        {"75 3a 06 55 08 'abc'", "75 3a 06 55 09 'abc'", 3},
        {"5b 08 30 30 30", "5b 09 30 30 30", 1},
        {"7b 07 30 30 30 30", "7b 07 30 30 30", 1},
        {"7d 06 30 30 30", "7d 06 30 30", 1},  // the default counts
        {"6f 3a 06 41 07 3b 00 30 3b 00 30", "6f 3a 06 41 07 3b 00 30 3b 00", 3},
        {"53 3a 06 41 07 3b 00 30 3b 00 30", "53 3a 06 41 07 3b 00 30 3b 00", 3},
        {"49 3a 06 45 07 3b 00 30 3b 00 30", "49 3a 06 45 07 3b 00 30 3b 00", 1},
        // Counts at the top of the range, where a larger item or 2n + 1 would overflow.
        {"22 00", "22 04 ff ff ff 7f 'abc'", 1},
        {"6c 2b 00", "6c 2b 04 ff ff ff 7f 'abc'", 1},
        {"7d 00 30", "7d 04 ff ff ff 7f 'abc'", 1},
        {"49 30 00", "49 30 04 ff ff ff 7f 'abc'", 1},
    };
    for (const CountCase& c : cases) {
        std::vector<std::uint8_t> fits = Join({Bytes("04 08"), Bytes(c.fits)});
        std::vector<std::uint8_t> tooMany = Join({Bytes("04 08"), Bytes(c.tooMany)});
        EXPECT_EQ(Load(fits), kLoadOk) << c.fits;
        ReleaseTwiceAndExpectNothingLive(c.fits);
        EXPECT_EQ(Load(tooMany), kLoadBadData) << c.tooMany;
        EXPECT_EQ(LiveAllocationCount(), c.liveAfterFailure) << c.tooMany;
        ReleaseTwiceAndExpectNothingLive(c.tooMany);
    }
}

TEST(MarshalFailureTest, ThirtyByteFileClaimingABillionElements) {
    std::vector<std::uint8_t> bytes = Join({Bytes("04 08 5b 04 00 00 00 40"), Repeat("30", 22)});
    ASSERT_EQ(bytes.size(), 30u);
    EXPECT_EQ(Load(bytes), kLoadBadData);
    EXPECT_EQ(LiveAllocationCount(), 1);  // the root array alone
    ReleaseTwiceAndExpectNothingLive("2^30 elements");
}

// MARK: nesting depth

// A value nested `levels` deep: `open` repeated, one innermost value, `close`
// repeated.  `first` replaces the first `open` where that one must differ
// (a new symbol that the following ones link to).
std::vector<std::uint8_t> Nested(const std::string& first, const std::string& open, int levels,
                                 const std::string& inner, const std::string& close) {
    return Join({Bytes("04 08"), Bytes(first), Repeat(open, levels - 2), Bytes(inner), Repeat(close, levels - 1)});
}

struct NestCase {
    const char* kind;
    const char* first;
    const char* open;
    const char* inner;
    const char* close;
};
const NestCase kNestCases[] = {
    {"array", "5b 06", "5b 06", "30", ""},
    {"hash default", "7d 00", "7d 00", "30", ""},
    {"object entry", "6f 3a 06 41 06 3a 06 62", "6f 3b 00 06 3b 06", "30", ""},
    {"user marshal", "55 3a 06 55", "55 3b 00", "30", ""},
    {"user class", "43 3a 06 55", "43 3b 00", "22 00", ""},
    {"ivar wrapper", "49", "49", "30", "00"},
    {"extension", "65 3a 06 4d", "65 3b 00", "30", ""},
};

TEST(MarshalFailureTest, NestingUpToTheLimitLoadsAndReleases) {
    for (const NestCase& c : kNestCases) {
        for (int levels : {10000, kMaxNestingDepth}) {
            EXPECT_EQ(Load(Nested(c.first, c.open, levels, c.inner, c.close)), kLoadOk) << c.kind << " " << levels;
            EXPECT_EQ(LoadedNestingDepth(), levels) << c.kind;
            ReleaseTwiceAndExpectNothingLive(c.kind);
        }
        EXPECT_EQ(Load(Nested(c.first, c.open, kMaxNestingDepth + 1, c.inner, c.close)), kLoadTooDeep) << c.kind;
        ReleaseTwiceAndExpectNothingLive(c.kind);
    }
}

TEST(MarshalFailureTest, DeepValuesInLaterDumpsAreRepointedWithoutOverflow) {
    // A deep value holding a link to its own top-level node, three times:
    // growing the root walks the deep values to re-point their links.
    std::vector<std::uint8_t> one = Join({Bytes("04 08"), Repeat("5b 06", kMaxNestingDepth - 1), Bytes("40 00")});
    std::vector<std::uint8_t> bytes = Join({one, one, one});
    ASSERT_EQ(Load(bytes), kLoadOk);
    for (int k = 0; k < 3; ++k) {
        const MarshalNode* n = &DocumentRoot.data.nodes[k];
        while (n->type == '[') n = &n->data.nodes[0];
        EXPECT_EQ(n->data.target, &DocumentRoot.data.nodes[k]);
    }
    ReleaseTwiceAndExpectNothingLive("deep self links");
}

}  // namespace
