// Documents as values: loads into records of their own, side by side; every
// reader with its bytes cut by the stream's refill at every position;
// records that move taking their side-table entries along; progress and
// cancel of a load waiting on a pipe.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iterator>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "marshal/alloc.h"
#include "marshal/document.h"
#include "tests/hex_bytes.h"
#include "tests/render_document.h"
#include "tests/rich_dumps.h"

namespace {

// One vector per reader and per packed-integer form; kRichDumps hold every
// composite, wrapper, link and extension together.
const char* const kEveryReader[] = {
    "04 08 69 00", "04 08 69 06", "04 08 69 fa", "04 08 69 01 7b", "04 08 69 ff 00",
    "04 08 69 02 00 01", "04 08 69 fe ff fe", "04 08 69 03 00 00 01", "04 08 69 fd 00 00 ff",
    "04 08 69 04 ff ff ff 7f", "04 08 69 fc 00 00 00 80",
    "04 08 22 01 06 'abcdef'", "04 08 5b 01 03 30 30 30",  // lengths in the long forms
    "04 08 3a 08 'abc'", "04 08 6c 2b 07 01 02 03 04", "04 08 66 08 '1.5'", "04 08 2f 08 'abc' 05",
    "04 08 63 09 'A::B'", "04 08 6d 0b 'Kernel'", "04 08 75 3a 06 55 08 61 00 62",
    "04 08 30 04 08 5b 06 40 00",
};

struct Loaded {
    int result;
    std::string rendering;
};

Loaded LoadInto(MarshalDocument* doc, const std::vector<std::uint8_t>& bytes) {
    int rc = LoadIntoDocumentFromMemory(doc, bytes.data(), bytes.size());
    Loaded out{rc, rc == kLoadOk ? RenderDocument(&doc->root) : ""};
    return out;
}

// A packed length as Ruby writes it (lengths below 2^16 here).
void AppendLength(std::vector<std::uint8_t>& out, std::size_t n) {
    if (n == 0) out.push_back(0);
    else if (n < 123) out.push_back(static_cast<std::uint8_t>(n + 5));
    else if (n < 256) out.insert(out.end(), {1, static_cast<std::uint8_t>(n)});
    else out.insert(out.end(), {2, static_cast<std::uint8_t>(n & 0xFF), static_cast<std::uint8_t>(n >> 8)});
}

// [pad, [n fixnums], text]: a string of `pad` bytes moves the array's count
// to every position of the read buffer; the array needs n bytes read ahead
// and takes 2n, so the read-ahead ends part-way through it too.  No two
// neighbouring bytes are alike, so a stale or shifted byte changes a value.
// Only the pipe tests, which Windows builds leave out, use it.
[[maybe_unused]] std::vector<std::uint8_t> ShiftedCountDump(std::size_t pad, std::size_t n) {
    std::vector<std::uint8_t> out = {0x04, 0x08, 0x5b, 0x08, 0x22};
    AppendLength(out, pad);
    for (std::size_t i = 0; i < pad; ++i) out.push_back(static_cast<std::uint8_t>(i * 11 + 3));
    out.push_back(0x5b);
    AppendLength(out, n);
    for (std::size_t i = 0; i < n; ++i) out.insert(out.end(), {0x69, static_cast<std::uint8_t>(6 + (i * 37) % 117)});
    out.insert(out.end(), {0x22, 0x02, 0x2c, 0x01});  // a string of 300 bytes
    for (std::size_t j = 0; j < 300; ++j) out.push_back(static_cast<std::uint8_t>(j * 29 + 1));
    return out;
}

std::FILE* FileWith(const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::tmpfile();
    if (file) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::rewind(file);
    }
    return file;
}

TEST(DocumentTest, EveryReaderReadsAcrossTheRefillAtEveryByte) {
    std::vector<const char*> texts(std::begin(kEveryReader), std::end(kEveryReader));
    texts.insert(texts.end(), std::begin(kRichDumps), std::end(kRichDumps));
    for (const char* text : texts) {
        std::vector<std::uint8_t> bytes = Bytes(text);
        MarshalDocument doc{};
        Loaded whole = LoadInto(&doc, bytes);
        ASSERT_EQ(whole.result, kLoadOk) << text;
        ReleaseNode(&doc.root);
        // A refill every `chunk` bytes puts one at every position of the value.
        for (std::size_t chunk = 1; chunk <= bytes.size(); ++chunk) {
            doc.readChunk = chunk;
            Loaded cut = LoadInto(&doc, bytes);
            EXPECT_EQ(cut.result, kLoadOk) << text << " refilled every " << chunk;
            EXPECT_EQ(cut.rendering, whole.rendering) << text << " refilled every " << chunk;
            EXPECT_EQ(doc.bytesRead.load(), bytes.size());
            ReleaseNode(&doc.root);
            int rc = LoadIntoDocument(&doc, FileWith(bytes));
            EXPECT_EQ(rc, kLoadOk) << text << " read from a file every " << chunk;
            EXPECT_EQ(RenderDocument(&doc.root), whole.rendering) << text << " read from a file every " << chunk;
            EXPECT_EQ(doc.bytesTotal.load(), bytes.size());
            ReleaseNode(&doc.root);
            EXPECT_EQ(DocumentLiveBlocks(&doc), 0);
        }
    }
}

TEST(DocumentTest, TwoDocumentsLoadSideBySide) {
    std::vector<std::uint8_t> first = Bytes(kRichDumps[1]);
    std::vector<std::uint8_t> second = Bytes(kRichDumps[2]);
    MarshalDocument a{}, b{};
    std::string expectedFirst = LoadInto(&a, first).rendering;
    std::string expectedSecond = LoadInto(&b, second).rendering;
    ASSERT_NE(expectedFirst, "");
    ASSERT_NE(expectedSecond, "");
    // Both stay loaded while the other loads and goes, many times over.
    std::atomic<int> wrong{0};
    auto churn = [&](MarshalDocument* doc, const std::vector<std::uint8_t>* bytes, const std::string* expected) {
        for (int i = 0; i < 300; ++i) {
            MarshalDocument mine{};
            if (LoadInto(&mine, *bytes).rendering != *expected) ++wrong;
            ReleaseNode(&mine.root);
            if (RenderDocument(&doc->root) != *expected) ++wrong;
        }
    };
    std::thread t1(churn, &a, &first, &expectedFirst);
    std::thread t2(churn, &b, &second, &expectedSecond);
    t1.join();
    t2.join();
    EXPECT_EQ(wrong.load(), 0);
    // Releasing one leaves the other whole.
    ReleaseNode(&a.root);
    EXPECT_EQ(DocumentLiveBlocks(&a), 0);
    EXPECT_EQ(DocumentMappedBytes(&a), 0u);
    EXPECT_EQ(RenderDocument(&b.root), expectedSecond);
    EXPECT_GT(DocumentLiveBlocks(&b), 0);
    ReleaseNode(&b.root);
    EXPECT_EQ(LiveAllocationCount(), 0);
}

TEST(DocumentTest, MovedRecordsTakeTheirSideTableEntries) {
    struct MoveCase {
        const char* bytes;
        const char* rendering;
    };
    const MoveCase cases[] = {
        // Top-level values extended by a module move each time the root grows.
        {"04 08 65 3a 06 4d 5b 06 40 00 04 08 65 3a 06 4d 5b 06 40 00 04 08 65 3a 06 4d 5b 06 40 00",
         "e:M array(@0) | e:M array(@1) | e:M array(@2)"},
        // An extended string moves into the wrapper's entry ('I'), and
        // through a 'C' inside an 'I'.
        {"04 08 49 65 3a 06 4d 22 06 61 06 3a 06 45 54", "ivar(.=e:M \"a\", E=true)"},
        {"04 08 49 43 3a 06 55 65 3a 06 4d 22 06 61 06 3a 06 45 54", "ivar U(.=e:M \"a\", E=true)"},
    };
    for (const MoveCase& c : cases) {
        MarshalDocument doc{};
        EXPECT_EQ(LoadInto(&doc, Bytes(c.bytes)).rendering, c.rendering) << c.bytes;
        ReleaseNode(&doc.root);
    }
}

#ifndef _WIN32
// A pipe with the first `cut` bytes written and nothing more yet: the load
// waits for the rest, the cancel flag ends it.
TEST(DocumentTest, CancelEndsALoadWaitingOnAPipe) {
    std::vector<std::uint8_t> bytes = Bytes(kRichDumps[1]);
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{9}, bytes.size() - 1}) {
        SCOPED_TRACE(cut);
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        ASSERT_EQ(write(fds[1], bytes.data(), cut), static_cast<ssize_t>(cut));
        MarshalDocument doc{};
        int rc = -1;
        std::thread loader([&] { rc = LoadIntoDocument(&doc, fdopen(fds[0], "rb")); });
        for (int i = 0; i < 5000 && doc.bytesRead.load() < cut; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_EQ(doc.bytesRead.load(), cut);
        EXPECT_EQ(doc.bytesTotal.load(), 0u);  // a pipe tells no size
        doc.cancel = true;
        loader.join();
        EXPECT_EQ(rc, kLoadCancelled);
        ReleaseNode(&doc.root);
        EXPECT_EQ(DocumentLiveBlocks(&doc), 0);
        close(fds[1]);
    }
}

// What a pipe holds is read ahead as far as a count needs, in the pieces
// the writer sends, so counts are checked against bytes really there.
TEST(DocumentTest, PipesAreReadAheadForTheirCounts) {
    std::vector<std::uint8_t> held = Bytes("04 08 5b 03 e0 93 04");  // 300,000 elements
    held.insert(held.end(), 300000, '0');
    std::vector<std::uint8_t> short_ = Bytes("04 08 5b 03 e1 93 04");  // one more than there is
    short_.insert(short_.end(), 300000, '0');
    struct PipeCase {
        const std::vector<std::uint8_t>* bytes;
        int result;
    };
    // Negative counts are wrong data, not counts to read ahead for.
    const std::vector<std::uint8_t> negative[] = {Bytes("04 08 5b fa"), Bytes("04 08 22 fa"), Bytes("04 08 2f fa 00"),
                                                  Bytes("04 08 6f 3a 06 41 fa")};
    for (const PipeCase& c : {PipeCase{&held, kLoadOk}, PipeCase{&short_, kLoadBadData}, PipeCase{&negative[0], kLoadBadData},
                              PipeCase{&negative[1], kLoadBadData}, PipeCase{&negative[2], kLoadBadData},
                              PipeCase{&negative[3], kLoadBadData}}) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        std::thread writer([&] {
            for (std::size_t at = 0; at < c.bytes->size(); at += 1000) {
                std::size_t n = std::min<std::size_t>(1000, c.bytes->size() - at);
                if (write(fds[1], c.bytes->data() + at, n) != static_cast<ssize_t>(n)) break;
            }
            close(fds[1]);
        });
        MarshalDocument doc{};
        EXPECT_EQ(LoadIntoDocument(&doc, fdopen(fds[0], "rb")), c.result);
        writer.join();
        if (c.result == kLoadOk) {
            EXPECT_EQ(doc.root.data.nodes[0].count, 300000);
        }
        ReleaseNode(&doc.root);
        EXPECT_EQ(DocumentLiveBlocks(&doc), 0);
    }
}
// The same documents through a pipe, written in small pieces and read in
// small chunks, read as the file load reads them, byte for byte: counts
// that start and end part-way through the read-ahead buffer, reads ahead
// that grow the buffer and that only move what is unread to its start.
TEST(DocumentTest, PipesInSmallPiecesReadAsTheFile) {
    std::vector<std::vector<std::uint8_t>> documents;
    for (const char* text : kRichDumps) documents.push_back(Bytes(text));
    for (std::size_t pad : {0, 1, 2, 5, 12, 31})
        for (std::size_t n : {1, 3, 7, 40, 300}) documents.push_back(ShiftedCountDump(pad, n));
    for (const auto& bytes : documents) {
        MarshalDocument doc{};
        ASSERT_EQ(LoadIntoDocument(&doc, FileWith(bytes)), kLoadOk);
        const std::string fromFile = RenderDocument(&doc.root);
        ReleaseNode(&doc.root);
        for (std::size_t chunk : {1, 2, 3, 13, 64, 4096})
            for (std::size_t piece : {1, 7, 100000}) {
                SCOPED_TRACE("document of " + std::to_string(bytes.size()) + " bytes, chunk " + std::to_string(chunk) +
                             ", written " + std::to_string(piece) + " at a time");
                int fds[2];
                ASSERT_EQ(pipe(fds), 0);
                std::thread writer([&] {
                    for (std::size_t at = 0; at < bytes.size(); at += piece) {
                        std::size_t k = std::min(piece, bytes.size() - at);
                        if (write(fds[1], bytes.data() + at, k) != static_cast<ssize_t>(k)) break;
                    }
                    close(fds[1]);
                });
                doc.readChunk = chunk;
                int rc = LoadIntoDocument(&doc, fdopen(fds[0], "rb"));
                writer.join();
                EXPECT_EQ(rc, kLoadOk);
                EXPECT_EQ(RenderDocument(&doc.root), fromFile);
                EXPECT_EQ(doc.bytesRead.load(), bytes.size());
                ReleaseNode(&doc.root);
                EXPECT_EQ(DocumentLiveBlocks(&doc), 0);
            }
    }
}
#endif

// Blocks freed inside a load come back for later records of the same
// load: the root array, outgrown as dumps are added, is freed with the
// records it held.  An array whose reading fails part-way must read as
// never-read records where nothing was written, whatever block it got, as
// it does after as many dumps of nil; and releasing it frees what it holds
// once.
TEST(DocumentTest, ReusedBlocksReadAsFreshOnes) {
    // Eight dumps of [[1], [2]] outgrow the root array of 1, 2 and 4 records;
    // the ninth outgrows that of 8 (256 bytes, the size of 8 records).
    std::string dumps, nils;
    for (int i = 0; i < 9; ++i) {
        dumps += "04 08 5b 07 5b 06 69 06 5b 06 69 07 ";
        nils += "04 08 30 ";
    }
    struct ReuseCase {
        const char* last;  // the dump after them
        int result;
    };
    const ReuseCase cases[] = {
        {"04 08 5b 0d 69 06 69 07 22 7f 'abcdef'", kLoadBadData},      // 8 records, the third cut short
        {"04 08 5b 0d 69 06 69 07 40 09 30 30 30 30", kLoadBadObjectLink},  // the third a bad link
        {"04 08 5b 09 69 06 7b 06 69 07", kLoadBadData},               // 4 records, a hash of 2 cut short
        {"04 08 5b 09 69 06 65 3a 06 4d 5b 00 40 00", kLoadBadData},  // the first extension's table
    };
    for (const ReuseCase& c : cases) {
        SCOPED_TRACE(c.last);
        MarshalDocument nilsFirst{}, after{};
        ASSERT_EQ(LoadInto(&nilsFirst, Bytes(nils + c.last)).result, c.result);
        std::string expected = RenderDocument(&nilsFirst.root);
        expected = expected.substr(expected.rfind(" | ") + 3);
        ReleaseNode(&nilsFirst.root);
        ASSERT_EQ(LoadInto(&after, Bytes(dumps + c.last)).result, c.result);
        ASSERT_EQ(after.root.count, 10);
        const std::string rendering = RenderDocument(&after.root);
        EXPECT_EQ(rendering.substr(rendering.rfind(" | ") + 3), expected);
        // Every dump but the last is whole.
        EXPECT_EQ(Render(&after.root.data.nodes[8]), "array(array(1), array(2))");
        MarshalNode& last = after.root.data.nodes[9];
        for (std::int64_t i = 0; i < ChildCount(&last); ++i) ReleaseNode(&last.data.nodes[i]);
        ReleaseNode(&last);
        ReleaseNode(&after.root);
        EXPECT_EQ(DocumentLiveBlocks(&after), 0);
    }
}


}  // namespace
